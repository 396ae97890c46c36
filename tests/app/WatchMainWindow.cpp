// watch-main-window PROGRAM.exe SCREENSHOT.png
// watch-main-window --baseline EMPTY.exe
// Starts certvane.exe, watches its main window from outside and prints how long the window
// took to show its first picture and its report, and the program's peak working set; saves a
// screenshot of the window with its report and one of the firmware update's confirmation box
// (declined), closes the window as a user would and prints the exit code. The window's controls are
// windowless, so the watcher reads their state from pixels of the light theme: the status line's
// background (#EEEEEE, at its right end, where no text reaches) marks the first paint; black text
// on "刷新" marks the report shown, as the button is disabled (grey text) from creation until the
// report arrives. The baseline is what Wine alone costs: an empty program's time from start to exit
// and its peak working set.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/ui/window/RenderTestSupport.h"

namespace {

constexpr DWORD kGiveUpMs = 60000;

// A top-level window of the watched process with the class name: its main window
// ("Certvane_Weft"), or a message box ("#32770") once it is visible.
struct Found {
    DWORD processId;
    const wchar_t* className;
    HWND window = nullptr;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM parameter) {
    auto* found = reinterpret_cast<Found*>(parameter);
    wchar_t className[64] = {};
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    GetClassNameW(window, className, 64);
    if (owner != found->processId || std::wstring(className) != found->className) return TRUE;
    if (std::wstring(className) == L"#32770" && !IsWindowVisible(window)) return TRUE;
    found->window = window;
    return FALSE;
}

// The client area (or, `whole`, the window with its frame and caption) as it is on the screen
// now, 0xAARRGGBB from the top.
Weft::test::TestImage Capture(HWND window, bool whole = false) {
    RECT area = {};
    if (whole) {
        GetWindowRect(window, &area);
        OffsetRect(&area, -area.left, -area.top);
    } else {
        GetClientRect(window, &area);
    }
    Weft::test::Canvas canvas(area.right, area.bottom);
    HDC dc = whole ? GetWindowDC(window) : GetDC(window);
    BitBlt(canvas.Dc(), 0, 0, area.right, area.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    Weft::test::TestImage image(area.right, area.bottom);
    for (int y = 0; y < area.bottom; ++y) {
        for (int x = 0; x < area.right; ++x) image.At(x, y) = 0xFF000000 | canvas.Rgb(x, y);
    }
    return image;
}

bool FirstPaintShown(Weft::test::TestImage& image, int scale) {
    const int x = image.width - 15 * scale / 100;
    const int y = image.height - 15 * scale / 100;
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return false;
    return (image.At(x, y) & 0xFFFFFF) == 0xEEEEEE;
}

// "刷新" spans 334..424 × 10..38 at 100 %.
bool RefreshEnabled(Weft::test::TestImage& image, int scale) {
    int black = 0;
    for (int y = 10 * scale / 100; y < 38 * scale / 100 && y < image.height; ++y) {
        for (int x = 334 * scale / 100; x < 424 * scale / 100 && x < image.width; ++x) {
            if ((image.At(x, y) & 0xFFFFFF) == 0) ++black;
        }
    }
    return black > 0;
}

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

bool Start(const wchar_t* program, PROCESS_INFORMATION& process, LARGE_INTEGER& start) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
    QueryPerformanceCounter(&start);
    if (CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        return true;
    }
    std::fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
    return false;
}

double PeakWorkingSetMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, &memory, sizeof memory)) return -1;
    return memory.PeakWorkingSetSize / (1024.0 * 1024.0);
}

// The empty program's first visible window, and its working set while it stands.
int Baseline(const wchar_t* program) {
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start;
    if (!Start(program, process, start)) return 1;
    HWND shown = nullptr;
    while (shown == nullptr && MillisecondsSince(start) < kGiveUpMs &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        for (HWND window = GetTopWindow(nullptr); window != nullptr;
             window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process.dwProcessId && IsWindowVisible(window)) shown = window;
        }
        Sleep(1);
    }
    const double elapsed = MillisecondsSince(start);
    Sleep(300);
    std::printf("empty program: window shown %.0f ms after the start, peak working set %.1f MB\n",
                elapsed, PeakWorkingSetMb(process.hProcess));
    if (shown != nullptr) PostMessageW(shown, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return shown != nullptr ? 0 : 1;
}

// Clicks "固件证书更新" (436..576 × 10..38 at 100 %), saves a picture of the confirmation box
// it opens, and declines it. The window tests check the box's glyphs; this shows them.
bool SaveConfirmationBox(HWND window, DWORD processId, int scale, const std::wstring& path) {
    const LPARAM at = MAKELPARAM(506 * scale / 100, 24 * scale / 100);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
    Found found = {processId, L"#32770"};
    for (int waited = 0; found.window == nullptr && waited < 10000; waited += 10) {
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
        Sleep(10);
    }
    if (found.window == nullptr) return false;
    // A moment for the box to draw itself.
    Sleep(500);
    Weft::test::TestImage image = Capture(found.window, true);
    const bool saved = Weft::test::SavePngFile(image, path.c_str());
    PostMessageW(found.window, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(found.window, IDNO)));
    for (int waited = 0; IsWindow(found.window) && waited < 10000; waited += 10) Sleep(10);
    return saved && !IsWindow(found.window);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"--baseline") return Baseline(argv[2]);
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: watch-main-window PROGRAM.exe SCREENSHOT.png\n"
                     "       watch-main-window --baseline EMPTY.exe\n");
        return 64;
    }
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start;
    if (!Start(argv[1], process, start)) return 1;
    Found found = {process.dwProcessId, L"Certvane_Weft"};
    double firstPaint = -1, reportShown = -1;
    int scale = 100;
    while (MillisecondsSince(start) < kGiveUpMs &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        if (found.window == nullptr) {
            EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
            if (found.window != nullptr) scale = MulDiv(GetDpiForWindow(found.window), 100, 96);
        } else {
            Weft::test::TestImage image = Capture(found.window);
            if (firstPaint < 0 && FirstPaintShown(image, scale))
                firstPaint = MillisecondsSince(start);
            if (firstPaint >= 0 && RefreshEnabled(image, scale)) {
                reportShown = MillisecondsSince(start);
                break;
            }
        }
        Sleep(2);
    }
    if (reportShown < 0) {
        std::fprintf(stderr, "the report was not shown within %lu ms\n", kGiveUpMs);
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    // A moment for the report's own repaint to land before the picture.
    Sleep(300);
    Weft::test::TestImage image = Capture(found.window);
    const bool saved = Weft::test::SavePngFile(image, argv[2]);
    const double peak = PeakWorkingSetMb(process.hProcess);
    std::wstring boxPath = argv[2];
    if (boxPath.ends_with(L".png")) boxPath.resize(boxPath.size() - 4);
    boxPath += L"-confirmation.png";
    const bool boxSaved = SaveConfirmationBox(found.window, process.dwProcessId, scale, boxPath);
    RECT frame = {};
    GetWindowRect(found.window, &frame);
    PostMessageW(found.window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("window: %ld x %ld at %d dpi\n", frame.right - frame.left, frame.bottom - frame.top,
                MulDiv(scale, 96, 100));
    std::printf("first paint: %.0f ms after the start\n", firstPaint);
    std::printf("report shown: %.0f ms after the start\n", reportShown);
    if (peak >= 0) std::printf("peak working set: %.1f MB\n", peak);
    std::printf("screenshot: %ls%s\n", argv[2], saved ? "" : " (could not be written)");
    if (boxSaved)
        std::printf("confirmation box: %ls\n", boxPath.c_str());
    else
        std::printf("confirmation box: not shown, or could not be written\n");
    std::printf("exit code: %lu%s\n", exitCode, ended ? "" : " (the window did not close)");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return saved && boxSaved && ended && exitCode == 0 ? 0 : 1;
}
