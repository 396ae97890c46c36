#include "tests/app/MainWindowHarness.h"

#include "app/StartUp.h"
#include "tests/app/BoxGlyphs.h"

namespace certvane::test {

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

namespace {

HWND FindOwnDialog() {
    struct Search {
        HWND dialog = nullptr;
    } search;
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (process != GetCurrentProcessId() || std::wstring(className) != L"#32770" ||
                !IsWindowVisible(window)) {
                return TRUE;
            }
            reinterpret_cast<Search*>(parameter)->dialog = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.dialog;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// The system icon the box's icon control shows, found among the shared system icons.
LPCWSTR IconOf(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const auto shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (shown == nullptr) continue;
        for (LPCWSTR icon : {IDI_WARNING, IDI_INFORMATION, IDI_ERROR, IDI_QUESTION}) {
            if (LoadIconW(nullptr, icon) == shown) return icon;
        }
    }
    return nullptr;
}

}  // namespace

BoxAnswerer::BoxAnswerer(int answer) : answer_(answer) {
    thread_ = std::thread([this] {
        const ULONGLONG deadline = GetTickCount64() + 20000;
        while (!stop_ && GetTickCount64() < deadline) {
            if (HWND dialog = FindOwnDialog()) {
                seen_.caption = WindowText(dialog);
                const HWND text = GetDlgItem(dialog, 0xFFFF);
                seen_.text = WindowText(text);
                seen_.missingGlyphs = GlyphsMissingIn(
                    reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), seen_.text);
                seen_.yes = GetDlgItem(dialog, IDYES) != nullptr;
                seen_.no = GetDlgItem(dialog, IDNO) != nullptr;
                seen_.ok = GetDlgItem(dialog, IDOK) != nullptr;
                seen_.icon = IconOf(dialog);
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, answer_)));
                return;
            }
            Sleep(5);
        }
    });
}

BoxAnswerer::~BoxAnswerer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

const SeenBox& BoxAnswerer::Seen() {
    if (thread_.joinable()) thread_.join();
    return seen_;
}

MainWindowUnderTest::MainWindowUnderTest(ScriptedMachine& machine, CMainWnd::Operations operations)
    : window_(std::make_unique<CMainWnd>(machine, std::move(operations))) {
    CreateMainWindow(*window_);
    // Not activated: under Wine, destroying the active top-level window waits two seconds
    // for the X server's focus events, in every test.
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(Handle());
}

MainWindowUnderTest::~MainWindowUnderTest() {
    if (IsWindow(Handle())) {
        WaitForWorker();
        DestroyWindow(Handle());
    }
    // The window's quit request is for a loop these tests do not run.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

Weft::CControlUI* MainWindowUnderTest::Named(const wchar_t* name) {
    return window_->PaintManager().FindControlByName(name);
}

std::wstring MainWindowUnderTest::TextOf(const wchar_t* name) {
    return Named(name)->GetText().GetData();
}

std::wstring MainWindowUnderTest::ToolTipOf(const wchar_t* name) {
    return Named(name)->GetToolTip().GetData();
}

bool MainWindowUnderTest::IsEnabled(const wchar_t* name) {
    return Named(name)->IsEnabled();
}

bool MainWindowUnderTest::WaitForWorker() {
    const auto& mailbox = window_->Mailbox();
    return mailbox == nullptr || mailbox->WaitForWorkers(30000);
}

bool MainWindowUnderTest::FinishWork() {
    return WaitForWorker() && PumpUntil([this] { return !window_->IsBusy(); });
}

void MainWindowUnderTest::Click(const wchar_t* name) {
    const RECT rect = Named(name)->GetPos();
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(Handle(), WM_MOUSEMOVE, 0, point);
    SendMessageW(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(Handle(), WM_LBUTTONUP, 0, point);
}

void MainWindowUnderTest::Paint() {
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

std::uint32_t MainWindowUnderTest::RgbAt(int x, int y) {
    return window_->PaintManager().OffscreenPixel(x, y) & 0xFFFFFF;
}

}  // namespace certvane::test
