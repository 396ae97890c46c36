// The rich edit over the system's text services under Wine: a long read-only report shows the
// vertical bar with the services' range, the wheel scrolls it, a short text hides it; SetText
// leaves nothing to undo; typing into a read-only box changes nothing; select all and copy put
// the text on the clipboard; and a picture of Chinese text.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "report/StatusReport.h"
#include "tests/support/ReportLines.h"
#include "tests/support/Situations.h"
#include "tests/ui/controls/ControlTestSupport.h"
#include "tests/ui/controls/WidgetTestSupport.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/ScrollBarUI.h"

namespace Weft {
namespace {

// The status report of a scripted Windows 11 machine, long enough to scroll in the box.
std::wstring LongReport() {
    certvane::test::ScriptedMachine machine = certvane::test::NormalWindows11();
    return certvane::ComposeStatusReport(machine);
}

// Runs the message loop until `done` holds or two seconds pass; the control timers fire there.
template <typename Condition>
bool PumpUntil(Condition done) {
    const DWORD deadline = ::GetTickCount() + 2000;
    while (!done() && static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    return done();
}

struct RichEditBox {
    test::HostWindow window;
    CRichEditUI* edit = new CRichEditUI;

    explicit RichEditBox(bool readOnly = true, int scale = 100)
        : window(400 * scale / 100, 240 * scale / 100, scale) {
        auto* root = new CVerticalLayoutUI;
        root->SetBkColor(0xFFFFFFFF);
        root->ApplyAttributeText(L"inset=\"10,10,10,10\"");
        window.manager.AddFont(4, L"微软雅黑", 13, false, false, false, false);
        edit->ApplyAttributeText(
            L"name=\"editInfo\" multiline=\"true\" vscrollbar=\"true\" wanttab=\"false\" "
            L"bkcolor=\"#00FFFFFF\" bordersize=\"1\" bordercolor=\"#FFD0D0D0\" font=\"4\" "
            L"textcolor=\"#FF000000\"");
        if (readOnly) edit->SetAttribute(L"readonly", L"true");
        root->AddItem(edit);
        window.manager.AttachRoot(root);
        window.Paint();
    }
    void SetText(const std::wstring& text) {
        edit->SetText(text.c_str());
        window.Paint();
        window.Paint();
    }
    CScrollBarUI* Bar() const { return edit->GetVerticalScrollBar(); }
};

TEST(RichEdit, HostsTheSystemTextServicesReadOnly) {
    RichEditBox box;
    ASSERT_TRUE(box.edit->HasHost());
    EXPECT_TRUE(box.edit->IsReadOnly());
    EXPECT_NE(box.edit->GetStyleBits() & ES_READONLY, 0u);
    box.SetText(L"Secure Boot");
    EXPECT_STREQ(box.edit->GetText(), L"Secure Boot");
}

TEST(RichEdit, LongTextShowsTheBarWithTheServicesRangeAndShortTextHidesIt) {
    RichEditBox box;
    ASSERT_NE(box.Bar(), nullptr);
    box.SetText(LongReport());
    ASSERT_TRUE(box.Bar()->IsVisible());
    LONG maximum = 0, position = 0, page = 0;
    ASSERT_TRUE(box.edit->GetVerticalScroll(maximum, position, page));
    EXPECT_GT(box.Bar()->GetRange(), 0);
    EXPECT_EQ(box.Bar()->GetRange(), maximum - page);
    EXPECT_EQ(box.Bar()->GetValue(), 0);
    box.SetText(L"Short report");
    EXPECT_FALSE(box.Bar()->IsVisible());
}

TEST(RichEdit, TheWheelScrollsTheTextAndTheBarTogether) {
    RichEditBox box;
    box.SetText(LongReport());
    ASSERT_TRUE(box.Bar()->IsVisible());
    const CUiRect pos = box.edit->GetPos();
    POINT screen = {(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    ::ClientToScreen(box.window.GetHandle(), &screen);
    box.window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                    MAKELPARAM(screen.x, screen.y));
    box.window.Paint();
    LONG maximum = 0, position = 0, page = 0;
    ASSERT_TRUE(box.edit->GetVerticalScroll(maximum, position, page));
    EXPECT_GT(box.Bar()->GetValue(), 0);
    EXPECT_EQ(position, box.Bar()->GetValue());
}

void ResizeWindow(test::HostWindow& window, int width, int height) {
    ::SetWindowPos(window.GetHandle(), nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.Paint();
    window.Paint();
}

// The bar a resize makes the services show is placed at the box's right edge, and the text
// area gives it room.
TEST(RichEdit, ABarShownByAResizeIsPlacedAndNarrowsTheText) {
    RichEditBox box;
    box.SetText(L"1\r2\r3\r4\r5\r6\r7\r8");
    ASSERT_FALSE(box.Bar()->IsVisible());
    ResizeWindow(box.window, 400, 90);
    ASSERT_TRUE(box.Bar()->IsVisible());
    const CUiRect edit = box.edit->GetPos();
    test::ExpectRect(box.Bar()->GetPos(), edit.right - box.Bar()->GetFixedWidth(), edit.top,
                     edit.right, edit.bottom);
    EXPECT_LE(box.edit->GetTextArea().right, box.Bar()->GetPos().left);
}

TEST(RichEdit, AWindowResizeWithALongReportKeepsTheBarInsideWithTheServicesRange) {
    RichEditBox box;
    box.SetText(LongReport());
    for (const SIZE size : {SIZE{400, 420}, SIZE{300, 160}, SIZE{520, 240}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        ResizeWindow(box.window, size.cx, size.cy);
        ASSERT_TRUE(box.Bar()->IsVisible());
        const CUiRect edit = box.edit->GetPos();
        EXPECT_EQ(edit.right, size.cx - 10);
        EXPECT_EQ(edit.bottom, size.cy - 10);
        test::ExpectRect(box.Bar()->GetPos(), edit.right - box.Bar()->GetFixedWidth(), edit.top,
                         edit.right, edit.bottom);
        LONG maximum = 0, position = 0, page = 0;
        ASSERT_TRUE(box.edit->GetVerticalScroll(maximum, position, page));
        EXPECT_EQ(box.Bar()->GetRange(), maximum - page);
    }
}

// At 150 % the box lies inside an inset of 15, its bar is 24 wide, and the font of 13 asks
// for 20 pixels to the em (19.5 rounded).
TEST(RichEdit, At150PercentTheBoxBarAndFontAreScaled) {
    RichEditBox box(true, 150);
    box.SetText(LongReport());
    test::ExpectRect(box.edit->GetPos(), 15, 15, 585, 345);
    ASSERT_TRUE(box.Bar()->IsVisible());
    test::ExpectRect(box.Bar()->GetPos(), 561, 15, 585, 345);
    EXPECT_LE(box.edit->GetTextArea().right, 561);
    LOGFONTW font = {};
    ASSERT_NE(::GetObjectW(box.window.manager.GetFont(4)->font, sizeof(font), &font), 0);
    EXPECT_EQ(font.lfHeight, -20);
    LONG maximum = 0, position = 0, page = 0;
    ASSERT_TRUE(box.edit->GetVerticalScroll(maximum, position, page));
    EXPECT_EQ(box.Bar()->GetRange(), maximum - page);
    // The wheel over the box scrolls it.
    POINT screen = {300, 180};
    ::ClientToScreen(box.window.GetHandle(), &screen);
    box.window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                    MAKELPARAM(screen.x, screen.y));
    box.window.Paint();
    EXPECT_GT(box.Bar()->GetValue(), 0);
}

TEST(RichEdit, DraggingTheBarScrollsTheText) {
    RichEditBox box;
    box.SetText(LongReport());
    CScrollBarUI* bar = box.Bar();
    ASSERT_TRUE(bar->IsVisible());
    const CUiRect thumb = bar->GetThumbRect();
    const int x = (thumb.left + thumb.right) / 2;
    box.window.Mouse(WM_MOUSEMOVE, x, thumb.top + 4);
    box.window.Mouse(WM_LBUTTONDOWN, x, thumb.top + 4, MK_LBUTTON);
    box.window.Mouse(WM_MOUSEMOVE, x, thumb.top + 40, MK_LBUTTON);
    EXPECT_TRUE(PumpUntil([&] { return bar->GetValue() > 0; }));
    box.window.Mouse(WM_LBUTTONUP, x, thumb.top + 40);
    LONG maximum = 0, position = 0, page = 0;
    ASSERT_TRUE(box.edit->GetVerticalScroll(maximum, position, page));
    EXPECT_GT(position, 0);
    EXPECT_EQ(position, bar->GetValue());
}

TEST(RichEdit, AMouseDisabledBoxLeavesTheWheelToItsParent) {
    RichEditBox box;
    box.SetText(LongReport());
    box.edit->SetMouseEnabled(false);
    EventRecord wheel;
    wheel.type = UiEvent::ScrollWheel;
    // Downwards, as the manager encodes a negative wheel delta.
    wheel.wParam = MAKEWPARAM(1, static_cast<WORD>(-WHEEL_DELTA));
    wheel.mouse = POINT{box.edit->GetX() + 20, box.edit->GetY() + 20};
    box.edit->ProcessEvent(wheel);
    EXPECT_EQ(box.Bar()->GetValue(), 0);
    box.edit->SetMouseEnabled(true);
    box.edit->ProcessEvent(wheel);
    EXPECT_GT(box.Bar()->GetValue(), 0);
}

LRESULT ToServices(RichEditBox& box, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    box.edit->GetTextServices()->TxSendMessage(message, wParam, lParam, &result);
    return result;
}

// One notch of the wheel towards the user at a client point, with the Ctrl key down.
void CtrlWheel(RichEditBox& box, POINT client) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::ClientToScreen(box.window.GetHandle(), &client);
    box.window.Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)),
                    MAKELPARAM(client.x, client.y));
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
}

std::pair<WPARAM, LPARAM> Zoom(RichEditBox& box) {
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    ToServices(box, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
               reinterpret_cast<LPARAM>(&denominator));
    return {numerator, denominator};
}

TEST(RichEditInput, CtrlWheelReachesTheServicesOnlyOverTheBox) {
    RichEditBox box;
    box.SetText(LongReport());
    const auto zoom = Zoom(box);
    CtrlWheel(box, POINT{5, 120});
    EXPECT_EQ(Zoom(box), zoom);
    LONG maximum = 0, position = 0, page = 0;
    ASSERT_TRUE(box.edit->GetVerticalScroll(maximum, position, page));
    EXPECT_EQ(position, 0);
    // Over the box the services zoom the text out by a tenth.
    CtrlWheel(box, POINT{200, 120});
    EXPECT_EQ(Zoom(box), (std::pair<WPARAM, LPARAM>{90, 100}));
}

TEST(RichEditInput, ComposedCharactersReachAFocusedBoxOnce) {
    RichEditBox box(false);
    box.window.manager.FocusControl(box.edit);
    box.window.Send(WM_IME_CHAR, 0x4E2D, 1);
    EXPECT_STREQ(box.edit->GetText(), L"\x4E2D");
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    EXPECT_STREQ(box.edit->GetText(), L"\x4E2D");

    RichEditBox readOnly;
    readOnly.window.manager.FocusControl(readOnly.edit);
    readOnly.window.Send(WM_IME_CHAR, 0x4E2D, 1);
    EXPECT_STREQ(readOnly.edit->GetText(), L"");
}

// Positions past 65535 pixels reach the services whole, and come back to the bar whole.
TEST(RichEditInput, ScrollPositionsBeyondSixteenBitsArePassedWhole) {
    RichEditBox box;
    std::wstring lines;
    for (int i = 0; i < 6000; ++i) lines += L"line " + std::to_wstring(i) + L"\r";
    box.SetText(lines);
    LONG maximum = 0, position = 0, page = 0;
    ASSERT_TRUE(box.edit->GetVerticalScroll(maximum, position, page));
    ASSERT_GT(maximum - page, 70000);
    EXPECT_EQ(box.Bar()->GetRange(), maximum - page);
    box.edit->SetScrollOffset(CUiSize(0, 70000), true);
    box.window.Paint();
    ASSERT_TRUE(box.edit->GetVerticalScroll(maximum, position, page));
    EXPECT_EQ(position, 70000);
    EXPECT_EQ(box.Bar()->GetValue(), 70000);
    EXPECT_EQ(box.Bar()->GetRange(), maximum - page);
}

TEST(RichEdit, SetTextLeavesNothingToUndo) {
    RichEditBox box(false);
    box.SetText(L"first");
    box.SetText(L"second");
    EXPECT_FALSE(box.edit->CanUndo());
    EXPECT_STREQ(box.edit->GetText(), L"second");
}

// Focuses the box and types "xy" through the window, as the keyboard would.
void Type(RichEditBox& box) {
    box.window.manager.FocusControl(box.edit);
    for (wchar_t ch : {L'X', L'Y'}) {
        box.window.Send(WM_KEYDOWN, ch, 1);
        box.window.Send(WM_CHAR, static_cast<WPARAM>(ch + (L'x' - L'X')), 1);
        box.window.Send(WM_KEYUP, ch, 0xC0000001);
    }
}

TEST(RichEdit, TypingChangesAnEditableBoxButNotAReadOnlyOne) {
    RichEditBox editable(false);
    editable.SetText(L"ab");
    Type(editable);
    EXPECT_NE(std::wstring(editable.edit->GetText()), L"ab");
    EXPECT_NE(std::wstring(editable.edit->GetText()).find(L"xy"), std::wstring::npos);

    RichEditBox readOnly;
    readOnly.SetText(L"ab");
    Type(readOnly);
    EXPECT_STREQ(readOnly.edit->GetText(), L"ab");
}

TEST(RichEdit, SelectAllAndCopyPutTheReportOnTheClipboard) {
    RichEditBox box;
    const std::wstring report = LongReport();
    box.SetText(report);
    ASSERT_TRUE(::OpenClipboard(box.window.GetHandle()));
    ::EmptyClipboard();
    ::CloseClipboard();
    box.edit->SelectAll();
    box.edit->Copy();
    ASSERT_TRUE(::OpenClipboard(box.window.GetHandle()));
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    std::wstring copied;
    if (data != nullptr) {
        copied = static_cast<const wchar_t*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    ASSERT_FALSE(copied.empty());
    EXPECT_EQ(certvane::test::WithoutLineFeeds(copied), certvane::test::WithoutLineFeeds(report));
}

// The menu's item texts and whether each is enabled, in order (separators as "-").
std::vector<std::pair<std::wstring, bool>> MenuItems(HMENU menu) {
    std::vector<std::pair<std::wstring, bool>> items;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t label[64] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
        info.dwTypeData = label;
        info.cch = 64;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        items.emplace_back(separator ? L"-" : label, separator || (info.fState & MFS_GRAYED) == 0);
    }
    return items;
}

TEST(RichEditMenu, ReadOnlyGreysCutPasteAndClear) {
    RichEditBox box;
    box.SetText(L"Secure Boot");
    box.edit->SelectAll();
    HMENU menu = box.edit->CreateEditMenu();
    ASSERT_NE(menu, nullptr);
    const std::vector<std::pair<std::wstring, bool>> expected = {
        {L"撤销(&U)", false}, {L"重做(&R)", false}, {L"-", true},
        {L"剪切(&X)", false}, {L"复制(&C)", true},  {L"粘帖(&V)", false},
        {L"清空(&L)", false}, {L"-", true},         {L"全选(&A)", true}};
    EXPECT_EQ(MenuItems(menu), expected);
    EXPECT_EQ(::GetMenuItemID(menu, 4), CRichEditUI::kEditCopy);
    ::DestroyMenu(menu);
}

TEST(RichEditMenu, CommandsReachTheServicesOnlyWhileFocused) {
    RichEditBox box(false);
    box.SetText(L"Secure Boot");
    box.window.manager.FocusControl(nullptr);
    ASSERT_FALSE(box.edit->IsFocused());
    box.edit->SelectAll();
    box.window.Send(WM_COMMAND, CRichEditUI::kEditClear);
    EXPECT_STREQ(box.edit->GetText(), L"Secure Boot");
    box.window.manager.FocusControl(box.edit);
    box.edit->SelectAll();
    box.window.Send(WM_COMMAND, CRichEditUI::kEditClear);
    EXPECT_STREQ(box.edit->GetText(), L"");
    // An editable box with a selection offers cut and paste.
    box.edit->SetText(L"Secure Boot");
    box.edit->SelectAll();
    HMENU menu = box.edit->CreateEditMenu();
    EXPECT_TRUE(MenuItems(menu)[3].second);
    EXPECT_TRUE(MenuItems(menu)[5].second);
    ::DestroyMenu(menu);
}

TEST(RichEdit, TipValueShowsWhileEmptyAndUnfocused) {
    RichEditBox box(false);
    box.edit->ApplyAttributeText(L"tipvalue=\"Report\" tipvaluecolor=\"#FFFF0000\"");
    box.SetText(L"");
    box.window.manager.FocusControl(nullptr);
    box.window.Paint();
    ASSERT_FALSE(box.edit->IsFocused());
    ASSERT_STREQ(box.edit->GetText(), L"");
    const CUiRect pos = box.edit->GetPos();
    EXPECT_GT(test::CountRgb(box.window.manager, pos, 0xFF0000), 0);
    box.edit->SetText(L"Secure Boot");
    box.window.Paint();
    EXPECT_EQ(test::CountRgb(box.window.manager, pos, 0xFF0000), 0);
    box.edit->SetText(L"");
    box.window.manager.FocusControl(box.edit);
    box.window.Paint();
    EXPECT_EQ(test::CountRgb(box.window.manager, pos, 0xFF0000), 0);
}

TEST(RichEdit, TextChangesAreNotified) {
    RichEditBox box(false);
    box.window.heard.clear();
    box.window.manager.FocusControl(box.edit);
    box.window.Send(WM_CHAR, L'z', 1);
    EXPECT_GE(box.window.CountHeard(L"textchanged"), 1);
}

TEST(RichEditSample, SavesAPictureOfChineseText) {
    RichEditBox box;
    box.SetText(
        L"UEFI 安全启动证书状态\r固件证书更新：数据库已包含 Windows UEFI CA 2023\r"
        L"引导证书更新：启动管理器由 2023 证书签名");
    const CUiRect pos = box.edit->GetPos();
    EXPECT_GT(test::CountRgb(box.window.manager, pos, 0x000000), 20);
    // The text is drawn in the control's font, not in the services' own default.
    CHARFORMAT2W format = {};
    box.edit->SelectAll();
    ASSERT_TRUE(box.edit->GetSelectionFormat(format));
    EXPECT_STREQ(format.szFaceName, L"微软雅黑");
    EXPECT_EQ(format.crTextColor & 0xFFFFFF, 0u);
    EXPECT_TRUE(
        test::SaveOffscreenPng(box.window.manager, WEFT_WIDGET_DIR L"\\richedit-sample.png"));
}

}  // namespace
}  // namespace Weft
