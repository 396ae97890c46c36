// The rich edit's own states and its host under Wine, driven by real messages: state images,
// the text padding and the cursor over it, the input method's composition window, the
// services' resize requests and notifications, the caret after the window is resized, and
// clicks in a window that does not activate.
#include <windows.h>

#include <gtest/gtest.h>
// After windows.h, which it needs.
#include <imm.h>

#include <vector>

#include "tests/ui/controls/ControlTestSupport.h"
#include "tests/ui/controls/WidgetTestSupport.h"
#include "tests/ui/window/RenderTestSupport.h"
#include "ui/controls/RichEditUI.h"
#include "ui/core/ModuleSettings.h"

namespace Weft {
namespace {

// A host window that also records the WM_NOTIFY messages it receives.
class NotifiedWindow : public test::HostWindow {
  public:
    using HostWindow::HostWindow;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            notified.push_back(*header);
            if (header->code == EN_SELCHANGE)
                selections.push_back(reinterpret_cast<const SELCHANGE*>(lParam)->chrg);
        }
        return HostWindow::ProcessMessage(message, wParam, lParam);
    }
    std::vector<NMHDR> notified;
    std::vector<CHARRANGE> selections;
};

// An editable box 200 wide at the right of a row, so that widening the window moves it.
struct EditRow {
    NotifiedWindow window{400, 120};
    CControlUI* spacer = new CControlUI;
    CRichEditUI* edit;

    explicit EditRow(const wchar_t* attributes = L"", CRichEditUI* box = new CRichEditUI)
        : edit(box) {
        auto* root = new CHorizontalLayoutUI;
        root->SetBkColor(0xFFFFFFFF);
        root->AddItem(spacer);
        edit->ApplyAttributeText(L"width=\"200\" multiline=\"true\" textcolor=\"#FF000000\"");
        edit->ApplyAttributeText(attributes);
        root->AddItem(edit);
        window.manager.AttachRoot(root);
        window.Paint();
        window.Paint();
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        LRESULT result = 0;
        edit->GetTextServices()->TxSendMessage(message, wParam, lParam, &result);
        return result;
    }
    void Focus() {
        window.manager.FocusControl(edit);
        window.Paint();
    }
    POINT Caret() const {
        POINT caret = {};
        ::GetCaretPos(&caret);
        return caret;
    }
};

std::wstring SolidPng(const wchar_t* name, std::uint32_t colour) {
    test::TestImage image(8, 8);
    image.FillRect(0, 0, 8, 8, colour);
    return test::WriteTempFile(name, test::EncodePng(image));
}

TEST(RichEditState, ImagesFollowDisabledFocusedHotAndNormal) {
    SolidPng(L"edit-normal.png", 0xFFC00000);
    SolidPng(L"edit-hot.png", 0xFF00C000);
    SolidPng(L"edit-focused.png", 0xFF0000C0);
    SolidPng(L"edit-disabled.png", 0xFF808080);
    SetResourceDirectory(test::TempFolder().c_str());
    EditRow row(
        L"NormalImage=\"edit-normal.png\" hotimage=\"edit-hot.png\" "
        L"focusedimage=\"edit-focused.png\" DisabledImage=\"edit-disabled.png\"");
    // The box is the row's only tab stop, so the first paints gave it the focus.
    row.window.manager.FocusControl(nullptr);
    const CUiRect pos = row.edit->GetPos();
    const auto corner = [&] {
        row.window.Paint();
        return test::RgbAt(row.window.manager, pos.right - 3, pos.bottom - 3);
    };
    EXPECT_EQ(corner(), 0xC00000u);
    row.window.Mouse(WM_MOUSEMOVE, pos.left + 5, pos.top + 5);
    EXPECT_EQ(corner(), 0x00C000u);
    row.window.manager.FocusControl(row.edit);
    EXPECT_EQ(corner(), 0x0000C0u);
    row.edit->SetEnabled(false);
    EXPECT_EQ(corner(), 0x808080u);
    row.edit->SetEnabled(true);
    row.window.manager.FocusControl(nullptr);
    row.window.Mouse(WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(corner(), 0xC00000u);
    SetResourceDirectory(L"");
}

TEST(RichEditLayout, TextPaddingShrinksTheTextAreaAndTheIBeamStaysInside) {
    EditRow row(L"textpadding=\"10,6,20,4\"");
    const CUiRect pos = row.edit->GetPos();
    test::ExpectRect(row.edit->GetTextArea(), pos.left + 10, pos.top + 6, pos.right - 20,
                     pos.bottom - 4);
    HCURSOR beam = ::LoadCursorW(nullptr, IDC_IBEAM);
    POINT before = {};
    ::GetCursorPos(&before);
    const auto cursorAt = [&](int x, int y) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        POINT screen = {x, y};
        ::ClientToScreen(row.window.GetHandle(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        row.window.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(row.window.GetHandle()),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    };
    EXPECT_EQ(cursorAt(pos.left + 30, pos.top + 20), beam);
    EXPECT_NE(cursorAt(pos.left + 4, pos.top + 20), beam);
    EXPECT_NE(cursorAt(pos.right - 10, pos.top + 20), beam);
    // Where the cursor stands decides the mouse messages of later tests.
    ::SetCursorPos(before.x, before.y);
}

// A focused report must not swallow what belongs to the window: Alt+F4, Alt+Space, F10 and
// Alt+letter go to the default handling, and Tab to the focus order when the box wants none.
TEST(RichEditInput, SystemKeysAndAnUnwantedTabPassTheFocusedBox) {
    EditRow row(L"wanttab=\"false\"");
    row.edit->SetText(L"Secure Boot");
    row.Focus();
    const LPARAM altDown = LPARAM{1} << 29;
    for (const UINT message : {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR}) {
        bool handled = false;
        row.edit->MessageHandler(message, VK_F4, altDown, handled);
        EXPECT_FALSE(handled) << message;
    }
    bool tab = false;
    row.edit->MessageHandler(WM_KEYDOWN, VK_TAB, 0, tab);
    EXPECT_FALSE(tab);
    bool letter = false;
    row.edit->MessageHandler(WM_KEYDOWN, 'A', 0, letter);
    EXPECT_TRUE(letter);  // the box's own keys stay its own

    EditRow wanting;
    wanting.Focus();
    bool wanted = false;
    wanting.edit->MessageHandler(WM_KEYDOWN, VK_TAB, 0, wanted);
    EXPECT_TRUE(wanted);
}

TEST(RichEditInput, TheCompositionWindowIsPlacedAtTheCaret) {
    EditRow row;
    row.edit->SetText(L"Secure Boot");
    row.Focus();
    const POINT caret = row.Caret();
    ASSERT_GT(caret.x, row.edit->GetPos().left);
    row.window.Send(WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    HIMC context = ::ImmGetContext(row.window.GetHandle());
    ASSERT_NE(context, nullptr);
    COMPOSITIONFORM form = {};
    ASSERT_TRUE(::ImmGetCompositionWindow(context, &form));
    ::ImmReleaseContext(row.window.GetHandle(), context);
    EXPECT_EQ(form.dwStyle, static_cast<DWORD>(CFS_POINT));
    EXPECT_EQ(form.ptCurrentPos.x, caret.x);
    EXPECT_EQ(form.ptCurrentPos.y, caret.y);
}

TEST(RichEditHost, ResizeRequestsGiveTheTextAreaTheContentSize) {
    EditRow row;
    row.Send(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_REQUESTRESIZE);
    const CUiRect laidOut = row.edit->GetTextArea();
    row.edit->SetText(L"one line");
    row.Send(EM_REQUESTRESIZE);
    const CUiRect oneLine = row.edit->GetTextArea();
    row.edit->SetText(L"1\r2\r3\r4");
    row.Send(EM_REQUESTRESIZE);
    const CUiRect fourLines = row.edit->GetTextArea();
    EXPECT_EQ(oneLine.left, laidOut.left);
    EXPECT_EQ(oneLine.top, laidOut.top);
    EXPECT_LT(oneLine.Height(), laidOut.Height());
    EXPECT_GT(oneLine.Width(), 0);
    EXPECT_GT(fourLines.Height(), 3 * oneLine.Height());
    EXPECT_EQ(fourLines.top, laidOut.top);
    // Once the services stop asking, the next layout places the text area again.
    row.Send(EM_SETEVENTMASK, 0, ENM_CHANGE);
    row.edit->RequestLayout();
    row.window.Paint();
    test::ExpectRect(row.edit->GetTextArea(), laidOut.left, laidOut.top, laidOut.right,
                     laidOut.bottom);
}

TEST(RichEditHost, TheCaretMovesWithTheBoxWhenTheWindowIsResized) {
    EditRow row;
    row.edit->SetText(L"abc");
    row.Focus();
    const LONG offset = row.Caret().x - row.edit->GetPos().left;
    ::SetWindowPos(row.window.GetHandle(), nullptr, 0, 0, 500, 120,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    row.window.Paint();
    ASSERT_EQ(row.edit->GetPos().left, 300);
    EXPECT_EQ(row.Caret().x - row.edit->GetPos().left, offset);
}

TEST(RichEditNotify, ServiceNotificationsReachTheWindowAsWmNotify) {
    EditRow row;
    row.edit->SetText(L"Secure Boot");
    row.Send(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    row.window.notified.clear();
    CHARRANGE range = {2, 6};
    row.Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    ASSERT_FALSE(row.window.selections.empty());
    EXPECT_EQ(row.window.selections.back().cpMin, 2);
    EXPECT_EQ(row.window.selections.back().cpMax, 6);
    ASSERT_FALSE(row.window.notified.empty());
    EXPECT_EQ(row.window.notified.back().hwndFrom, row.window.GetHandle());
    EXPECT_EQ(row.window.notified.back().code, static_cast<UINT>(EN_SELCHANGE));
    // A change is the "textchanged" notification, not a WM_NOTIFY.
    row.window.notified.clear();
    row.window.heard.clear();
    row.window.manager.FocusControl(row.edit);
    row.window.Send(WM_CHAR, L'z', 1);
    EXPECT_GE(row.window.CountHeard(L"textchanged"), 1);
    for (const NMHDR& header : row.window.notified) EXPECT_NE(header.code, EN_CHANGE);
}

// Sends what the box used to take: keys, characters, composed characters, the mouse, the
// cursor, the wheel with and without Ctrl, and a paint.
void SendEverything(EditRow& row, POINT at) {
    row.window.Send(WM_KEYDOWN, 'A', 1);
    row.window.Send(WM_CHAR, L'a', 1);
    row.window.Send(WM_KEYUP, 'A', 1);
    row.window.Send(WM_IME_CHAR, 0x4E2D, 1);
    row.window.Mouse(WM_MOUSEMOVE, at.x, at.y);
    row.window.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(row.window.GetHandle()), HTCLIENT);
    row.window.Mouse(WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    row.window.Mouse(WM_LBUTTONUP, at.x, at.y);
    POINT screen = at;
    ::ClientToScreen(row.window.GetHandle(), &screen);
    for (const WORD keys : {WORD{0}, WORD{MK_CONTROL}}) {
        row.window.Send(WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(-WHEEL_DELTA)),
                        MAKELPARAM(screen.x, screen.y));
    }
    row.window.Paint();
}

// A focused box with text, its caret timer and its message hook running, deleted out of a
// shown tree: nothing the window gets afterwards reaches it (it is poisoned, so a call that
// did would crash), and no timer of it fires.
TEST(RichEditLifetime, ALiveBoxRemovedFromAShownTreeLeavesNothingBehind) {
    {
        EditRow row(L"", new test::Poisoned<CRichEditUI>);
        row.edit->SetText(L"Secure Boot");
        row.Focus();
        ASSERT_TRUE(row.edit->IsFocused());
        const CUiRect area = row.edit->GetTextArea();
        const POINT inside = {area.left + 5, area.top + 5};
        auto* root = static_cast<CContainerUI*>(row.window.manager.GetRootControl());
        ASSERT_TRUE(root->RemoveItem(row.edit));
        row.window.RunQueuedWork();
        ASSERT_EQ(test::GraveCount(), 1u);
        EXPECT_EQ(row.window.manager.GetFocusControl(), nullptr);
        SendEverything(row, inside);
        // The caret blinks on a control timer; the deleted box's is gone with it.
        ::Sleep(2 * ::GetCaretBlinkTime());
        MSG msg;
        EXPECT_FALSE(::PeekMessageW(&msg, row.window.GetHandle(), WM_TIMER, WM_TIMER, PM_REMOVE));
        EXPECT_EQ(row.spacer->GetPos().right, 400);
    }
    test::EmptyGraveyard();
}

// Without the system's text services (the ui_richedit_without_services run tells Wine not to
// load msftedit.dll) the box stays a plain container that keeps its text and takes no input.
TEST(RichEditWithoutServices, KeepsItsTextDrawsItsBackgroundAndTakesNoInput) {
    if (HMODULE services =
            ::LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::FreeLibrary(services);
        GTEST_SKIP() << "the text services load here; the run without them covers this";
    }
    EditRow row(L"bkcolor=\"#FF102030\"");
    EXPECT_FALSE(row.edit->HasHost());
    EXPECT_EQ(row.edit->GetTextServices(), nullptr);
    row.edit->SetText(L"Secure Boot");
    EXPECT_STREQ(row.edit->GetText(), L"Secure Boot");
    row.window.manager.FocusControl(row.edit);
    const CUiRect pos = row.edit->GetPos();
    SendEverything(row, POINT{pos.left + 5, pos.top + 5});
    EXPECT_STREQ(row.edit->GetText(), L"Secure Boot");
    EXPECT_GT(test::CountRgb(row.window.manager, pos, 0x102030), pos.Width() * pos.Height() / 2);
}

TEST(RichEditInput, AClickInANoActivateWindowLeavesTheNativeFocusWhereItWas) {
    test::HostWindow other(50, 50);
    for (bool noActivate : {true, false}) {
        EditRow row;
        row.window.manager.SetNoActivate(noActivate);
        ::SetFocus(other.GetHandle());
        ASSERT_EQ(::GetFocus(), other.GetHandle());
        const CUiRect area = row.edit->GetTextArea();
        row.window.Mouse(WM_LBUTTONDOWN, area.left + 5, area.top + 5, MK_LBUTTON);
        row.window.Mouse(WM_LBUTTONUP, area.left + 5, area.top + 5);
        EXPECT_TRUE(row.edit->IsFocused());
        EXPECT_EQ(::GetFocus(), noActivate ? other.GetHandle() : row.window.GetHandle());
    }
}

}  // namespace
}  // namespace Weft
