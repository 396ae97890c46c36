// The button driven by real window messages: clicks only when pressed and released on it,
// keyboard activation, disabled buttons, the state colours in pixels, attribute paths, the
// tab page a click selects, and a picture of the four main-window buttons in each state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/controls/ControlTestSupport.h"
#include "tests/ui/controls/WidgetTestSupport.h"
#include "tests/ui/window/RenderTestSupport.h"
#include "ui/controls/ButtonUI.h"
#include "ui/core/ModuleSettings.h"

namespace Weft {
namespace {

constexpr std::uint32_t kNormal = 0x3A6EA5;
constexpr std::uint32_t kHot = 0x003D7A;
constexpr std::uint32_t kPushed = 0x12304F;
constexpr std::uint32_t kDisabled = 0xB0B0B0;
constexpr std::uint32_t kBorder = 0x204060;

// A window holding a row of four buttons 120 × 28, as the main window's toolbar has them.
struct ButtonRow {
    test::HostWindow window;
    CButtonUI* buttons[4] = {};

    explicit ButtonRow(int scale = 100) : window(540 * scale / 100, 40 * scale / 100, scale) {
        auto* row = new CHorizontalLayoutUI;
        row->SetBkColor(0xFFFFFFFF);
        row->ApplyAttributeText(L"inset=\"6,6,6,6\" childpadding=\"12\"");
        const wchar_t* names[4] = {L"Check again", L"Update db", L"Update boot", L"Export"};
        for (int i = 0; i < 4; ++i) {
            buttons[i] = new CButtonUI;
            buttons[i]->SetText(names[i]);
            buttons[i]->ApplyAttributeText(
                L"width=\"120\" height=\"28\" bkcolor=\"#FF3A6EA5\" hotbkcolor=\"#FF003D7A\" "
                L"pushedbkcolor=\"#FF12304F\" disabledbkcolor=\"#FFB0B0B0\" "
                L"bordercolor=\"#FF204060\" bordersize=\"1\" textcolor=\"#FFFFFFFF\"");
            row->AddItem(buttons[i]);
        }
        window.manager.AttachRoot(row);
        window.Paint();
    }

    POINT Centre(int index) const {
        const CUiRect& pos = buttons[index]->GetPos();
        return POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    }
    void Press(int index) {
        const POINT at = Centre(index);
        window.Mouse(WM_MOUSEMOVE, at.x, at.y);
        window.Mouse(WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    }
    void Release(POINT at) { window.Mouse(WM_LBUTTONUP, at.x, at.y); }
    // A face pixel of the button, clear of its border and of its text.
    std::uint32_t Face(int index) {
        window.Paint();
        const CUiRect& pos = buttons[index]->GetPos();
        return test::RgbAt(window.manager, pos.left + 3, pos.top + 3);
    }
    std::uint32_t Edge(int index) {
        const CUiRect& pos = buttons[index]->GetPos();
        return test::RgbAt(window.manager, pos.left, pos.top + 10);
    }
};

TEST(ButtonClick, PressAndReleaseInsideClicksOnce) {
    ButtonRow row;
    row.Press(1);
    EXPECT_EQ(row.buttons[1]->GetButtonState() & (kButtonPushed | kButtonCaptured),
              kButtonPushed | kButtonCaptured);
    row.Release(row.Centre(1));
    ASSERT_EQ(row.window.CountHeard(L"click"), 1);
    EXPECT_EQ(row.window.heard.back().sender, row.buttons[1]);
    EXPECT_EQ(row.buttons[1]->GetButtonState() & (kButtonPushed | kButtonCaptured), 0u);
}

// At 150 % the row's inset is 9 and its gap 18, and each button 180 × 42: the second spans
// 207..387. Its last pixels click it; the gap after it does not.
TEST(ButtonClick, At150PercentTheScaledButtonIsHit) {
    ButtonRow row(150);
    test::ExpectRect(row.buttons[0]->GetPos(), 9, 9, 189, 51);
    test::ExpectRect(row.buttons[1]->GetPos(), 207, 9, 387, 51);
    test::ExpectRect(row.buttons[3]->GetPos(), 603, 9, 783, 51);
    row.window.Mouse(WM_LBUTTONDOWN, 386, 50, MK_LBUTTON);
    row.window.Mouse(WM_LBUTTONUP, 386, 50);
    ASSERT_EQ(row.window.CountHeard(L"click"), 1);
    EXPECT_EQ(row.window.heard.back().sender, row.buttons[1]);
    row.window.Mouse(WM_LBUTTONDOWN, 388, 30, MK_LBUTTON);
    row.window.Mouse(WM_LBUTTONUP, 388, 30);
    row.window.Mouse(WM_LBUTTONDOWN, 207, 8, MK_LBUTTON);
    row.window.Mouse(WM_LBUTTONUP, 207, 8);
    EXPECT_EQ(row.window.CountHeard(L"click"), 1);
    // The caption is drawn in white on the scaled face.
    row.window.Paint();
    EXPECT_GT(test::CountRgb(row.window.manager, row.buttons[1]->GetPos(), 0xFFFFFF), 0);
}

TEST(ButtonClick, ReleaseOutsideOrPressOutsideSendsNothing) {
    ButtonRow row;
    row.Press(0);
    row.window.Mouse(WM_MOUSEMOVE, row.Centre(1).x, row.Centre(1).y, MK_LBUTTON);
    EXPECT_EQ(row.buttons[0]->GetButtonState() & kButtonPushed, 0u);
    EXPECT_NE(row.buttons[0]->GetButtonState() & kButtonCaptured, 0u);
    row.Release(row.Centre(1));
    // Pressed on the white gap left of the first button, released on it.
    row.window.Mouse(WM_LBUTTONDOWN, 2, 20, MK_LBUTTON);
    row.Release(row.Centre(0));
    EXPECT_EQ(row.window.CountHeard(L"click"), 0);
}

TEST(ButtonClick, LeavingAndComingBackWhilePressedStillClicks) {
    ButtonRow row;
    row.Press(2);
    row.window.Mouse(WM_MOUSEMOVE, 2, 2, MK_LBUTTON);
    EXPECT_EQ(row.buttons[2]->GetButtonState() & kButtonPushed, 0u);
    row.window.Mouse(WM_MOUSEMOVE, row.Centre(2).x, row.Centre(2).y, MK_LBUTTON);
    EXPECT_NE(row.buttons[2]->GetButtonState() & kButtonPushed, 0u);
    row.Release(row.Centre(2));
    EXPECT_EQ(row.window.CountHeard(L"click"), 1);
}

TEST(ButtonClick, DisabledButtonIgnoresPressesAndTrigger) {
    ButtonRow row;
    row.buttons[3]->SetEnabled(false);
    EXPECT_NE(row.buttons[3]->GetButtonState() & kButtonDisabled, 0u);
    row.Press(3);
    EXPECT_EQ(row.buttons[3]->GetButtonState() & kButtonPushed, 0u);
    row.Release(row.Centre(3));
    EXPECT_FALSE(row.buttons[3]->Trigger());
    EXPECT_EQ(row.window.CountHeard(L"click"), 0);
    row.buttons[3]->SetEnabled(true);
    EXPECT_EQ(row.buttons[3]->GetButtonState() & kButtonDisabled, 0u);
    EXPECT_TRUE(row.buttons[3]->Trigger());
    EXPECT_EQ(row.window.CountHeard(L"click"), 1);
}

TEST(ButtonClick, MouseDisabledButtonPassesPressesToItsParent) {
    ButtonRow row;
    row.buttons[0]->SetMouseEnabled(false);
    EventRecord press;
    press.type = UiEvent::ButtonDown;
    press.mouse = row.Centre(0);
    row.buttons[0]->ProcessEvent(press);
    EXPECT_EQ(row.buttons[0]->GetButtonState() & kButtonPushed, 0u);
    EventRecord key;
    key.type = UiEvent::KeyDown;
    key.key = VK_RETURN;
    row.buttons[0]->ProcessEvent(key);
    key.type = UiEvent::KeyUp;
    row.buttons[0]->ProcessEvent(key);
    EXPECT_EQ(row.window.CountHeard(L"click"), 1);
}

TEST(ButtonKeyboard, SpaceAndEnterActivateTheFocusedButton) {
    ButtonRow row;
    row.window.manager.FocusControl(row.buttons[0]);
    ASSERT_EQ(row.window.manager.GetFocusControl(), row.buttons[0]);
    row.window.Send(WM_KEYDOWN, VK_SPACE);
    row.window.Send(WM_KEYUP, VK_SPACE);
    row.window.Send(WM_KEYDOWN, VK_RETURN);
    row.window.Send(WM_KEYUP, VK_RETURN);
    row.window.Send(WM_KEYDOWN, 'A');
    EXPECT_EQ(row.window.CountHeard(L"click"), 2);
}

// A held key repeats its key-down; a repeat that clicked again would reach the box the first
// click opened and press its default button.
TEST(ButtonKeyboard, AHeldKeyFiresOnceWhenItIsReleased) {
    ButtonRow row;
    row.window.manager.FocusControl(row.buttons[0]);
    const LPARAM repeat = LPARAM{1} << 30;
    row.window.Send(WM_KEYDOWN, VK_RETURN, 1);
    row.window.Send(WM_KEYDOWN, VK_RETURN, repeat | 1);
    row.window.Send(WM_KEYDOWN, VK_RETURN, repeat | 1);
    EXPECT_EQ(row.window.CountHeard(L"click"), 0);
    EXPECT_NE(row.buttons[0]->GetButtonState() & kButtonPushed, 0u);
    row.window.Send(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(row.window.CountHeard(L"click"), 1);
    EXPECT_EQ(row.buttons[0]->GetButtonState() & kButtonPushed, 0u);
    // A release without its press (the press went to another control) clicks nothing.
    row.window.Send(WM_KEYUP, VK_RETURN);
    EXPECT_EQ(row.window.CountHeard(L"click"), 1);
}

TEST(ButtonKeyboard, TabAndShiftTabMoveTheFocusInLayoutOrderAndWrap) {
    ButtonRow row;
    row.window.manager.FocusControl(row.buttons[0]);
    row.window.Send(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(row.window.manager.GetFocusControl(), row.buttons[1]);
    BYTE keys[256] = {};
    ASSERT_TRUE(::GetKeyboardState(keys));
    keys[VK_SHIFT] = 0x80;
    ASSERT_TRUE(::SetKeyboardState(keys));
    row.window.Send(WM_KEYDOWN, VK_TAB);
    row.window.Send(WM_KEYDOWN, VK_TAB);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(row.window.manager.GetFocusControl(), row.buttons[3]);
    EXPECT_EQ(row.window.CountHeard(L"click"), 0);
}

// "刷新" is disabled under the pointer at every refresh; enabled again after the pointer
// left, it must not look hot.
TEST(ButtonHover, ADisabledButtonLosesItsHotLookAndDoesNotGetItBack) {
    ButtonRow row;
    EventRecord enter;
    enter.type = UiEvent::MouseEnter;
    row.buttons[0]->ProcessEvent(enter);
    ASSERT_NE(row.buttons[0]->GetButtonState() & kButtonHot, 0u);
    row.buttons[0]->SetEnabled(false);
    EXPECT_EQ(row.buttons[0]->GetButtonState() & kButtonHot, 0u);
    EventRecord leave;
    leave.type = UiEvent::MouseLeave;
    row.buttons[0]->ProcessEvent(leave);
    row.buttons[0]->SetEnabled(true);
    EXPECT_EQ(row.buttons[0]->GetButtonState() & kButtonHot, 0u);
    // Left while enabled, as before.
    row.buttons[1]->ProcessEvent(enter);
    row.buttons[1]->ProcessEvent(leave);
    EXPECT_EQ(row.buttons[1]->GetButtonState() & kButtonHot, 0u);
}

// WM_CLOSE ends the press of the control under the pointer; closing clicks nothing.
TEST(ButtonClick, ClosingTheWindowDuringAPressClicksNothing) {
    ButtonRow row;
    const POINT centre = row.Centre(0);
    const LPARAM point = MAKELPARAM(centre.x, centre.y);
    row.window.Send(WM_MOUSEMOVE, 0, point);
    row.window.Send(WM_LBUTTONDOWN, MK_LBUTTON, point);
    ASSERT_NE(row.buttons[0]->GetButtonState() & kButtonPushed, 0u);
    row.window.Send(WM_CLOSE);
    EXPECT_EQ(row.window.CountHeard(L"click"), 0);
    EXPECT_EQ(row.buttons[0]->GetButtonState() & kButtonPushed, 0u);
}

TEST(ButtonKeyboard, KeyboardFalseNeitherActivatesNorStopsTheTab) {
    ButtonRow row;
    row.window.manager.FocusControl(row.buttons[0]);
    row.buttons[0]->SetAttribute(L"keyboard", L"false");
    EXPECT_EQ(row.buttons[0]->Flags(), kFlagSetCursor);
    row.window.Send(WM_KEYDOWN, VK_SPACE);
    row.window.Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(row.window.CountHeard(L"click"), 0);
    EXPECT_EQ(row.buttons[1]->Flags(), kFlagSetCursor | kFlagTabStop);
}

TEST(ButtonState, ColoursOfNormalHotPushedAndDisabled) {
    ButtonRow row;
    EXPECT_EQ(row.Face(0), kNormal);
    EXPECT_EQ(row.Edge(0), kBorder);
    row.window.Mouse(WM_MOUSEMOVE, row.Centre(0).x, row.Centre(0).y);
    EXPECT_NE(row.buttons[0]->GetButtonState() & kButtonHot, 0u);
    EXPECT_EQ(row.Face(0), kHot);
    EXPECT_EQ(row.Face(1), kNormal);
    row.window.Mouse(WM_LBUTTONDOWN, row.Centre(0).x, row.Centre(0).y, MK_LBUTTON);
    EXPECT_EQ(row.Face(0), kPushed);
    row.Release(row.Centre(0));
    row.window.Mouse(WM_MOUSEMOVE, 2, 2);
    EXPECT_EQ(row.buttons[0]->GetButtonState() & kButtonHot, 0u);
    EXPECT_EQ(row.Face(0), kNormal);
    row.buttons[2]->SetEnabled(false);
    EXPECT_EQ(row.Face(2), kDisabled);
}

TEST(ButtonState, PushedWithoutItsColourShowsTheNormalBackground) {
    ButtonRow row;
    row.buttons[0]->SetAttribute(L"pushedbkcolor", L"#00000000");
    row.Press(0);
    EXPECT_EQ(row.Face(0), kNormal);
}

TEST(ButtonState, StateBorderAndTextColours) {
    ButtonRow row;
    row.buttons[0]->SetAttribute(L"hotbordercolor", L"#FFFF0000");
    row.buttons[0]->SetAttribute(L"hottextcolor", L"#FF00FF00");
    row.window.Mouse(WM_MOUSEMOVE, row.Centre(0).x, row.Centre(0).y);
    row.window.Paint();
    EXPECT_EQ(row.Edge(0), 0xFF0000u);
    EXPECT_GT(test::CountRgb(row.window.manager, row.buttons[0]->GetPos(), 0x00FF00), 0);
    row.window.Mouse(WM_MOUSEMOVE, 2, 2);
    row.window.Paint();
    EXPECT_EQ(row.Edge(0), kBorder);
    EXPECT_EQ(test::CountRgb(row.window.manager, row.buttons[0]->GetPos(), 0x00FF00), 0);
}

TEST(ButtonState, StateImageCellsFollowTheState) {
    // Four cells of 10 × 10 side by side: normal, hot, pushed, disabled.
    test::TestImage strip(40, 10);
    const std::uint32_t cells[4] = {0xFF10A010, 0xFFA01010, 0xFF1010A0, 0xFF808000};
    for (int cell = 0; cell < 4; ++cell)
        strip.FillRect(cell * 10, 0, cell * 10 + 10, 10, cells[cell]);
    test::WriteTempFile(L"button-cells.png", test::EncodePng(strip));
    SetResourceDirectory(test::TempFolder().c_str());
    ButtonRow row;
    row.buttons[0]->SetAttribute(L"stateimage", L"button-cells.png");
    row.buttons[0]->SetAttribute(L"statecount", L"4");
    EXPECT_EQ(row.Face(0), cells[0] & 0xFFFFFF);
    EXPECT_NE(row.buttons[0]->GetHotImage().Find(L"source='10,0,20,10'"), -1);
    row.window.Mouse(WM_MOUSEMOVE, row.Centre(0).x, row.Centre(0).y);
    EXPECT_EQ(row.Face(0), cells[1] & 0xFFFFFF);
    row.window.Mouse(WM_LBUTTONDOWN, row.Centre(0).x, row.Centre(0).y, MK_LBUTTON);
    EXPECT_EQ(row.Face(0), cells[2] & 0xFFFFFF);
    row.Release(row.Centre(0));
    row.buttons[0]->SetEnabled(false);
    EXPECT_EQ(row.Face(0), cells[3] & 0xFFFFFF);
    SetResourceDirectory(L"");
}

TEST(ButtonAttributes, ThemeColoursAndCaseSensitiveBorderNames) {
    CButtonUI button;
    EXPECT_EQ(button.GetTextStyle(),
              static_cast<std::uint32_t>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    button.SetAttribute(L"HotBkColor", L"#FF003D7A");
    EXPECT_EQ(button.GetHotBkColor(), 0xFF003D7Au);
    button.SetAttribute(L"HOTBORDERCOLOR", L"#FFFF0000");
    EXPECT_EQ(button.GetHotBorderColor(), 0u);
    ASSERT_NE(button.GetCustomAttribute(L"HOTBORDERCOLOR"), nullptr);
    EXPECT_STREQ(button.GetCustomAttribute(L"HOTBORDERCOLOR"), L"#FFFF0000");
    button.SetAttribute(L"normalimage", L"face.png");
    button.SetAttribute(L"stateimage", L"states.png");
    EXPECT_STREQ(button.GetStateImage(), L"states.png");
    EXPECT_TRUE(button.GetNormalImage().IsEmpty());
    EXPECT_STREQ(button.ClassName(), L"ButtonUI");
    EXPECT_EQ(button.CastTo(L"Button"), &button);
    EXPECT_EQ(button.CastTo(L"Label"), &button);
}

TEST(ButtonNotifications, RichEventsAndMenu) {
    ButtonRow row;
    row.buttons[0]->SetAttribute(L"richevent", L"true");
    row.buttons[0]->SetAttribute(L"menu", L"true");
    row.window.heard.clear();
    row.Press(0);
    row.Release(row.Centre(0));
    row.window.Mouse(WM_RBUTTONDOWN, row.Centre(0).x, row.Centre(0).y, MK_RBUTTON);
    row.window.Mouse(WM_RBUTTONUP, row.Centre(0).x, row.Centre(0).y);
    row.window.Mouse(WM_CONTEXTMENU, row.Centre(0).x, row.Centre(0).y);
    row.window.Mouse(WM_MOUSEMOVE, 2, 2);
    std::vector<std::wstring> fromButton;
    for (const auto& one : row.window.heard) {
        if (one.sender == row.buttons[0] && one.type != L"setfocus") fromButton.push_back(one.type);
    }
    EXPECT_EQ(fromButton, (std::vector<std::wstring>{L"mouseenter", L"buttondown", L"click",
                                                     L"menu", L"mouseleave"}));
}

TEST(ButtonNotifications, PlainButtonSendsOnlyTheClick) {
    ButtonRow row;
    row.window.heard.clear();
    row.Press(1);
    row.Release(row.Centre(1));
    row.window.Mouse(WM_RBUTTONDOWN, row.Centre(1).x, row.Centre(1).y, MK_RBUTTON);
    row.window.Mouse(WM_CONTEXTMENU, row.Centre(1).x, row.Centre(1).y);
    row.window.Mouse(WM_MOUSEMOVE, 2, 2);
    EXPECT_EQ(row.window.CountHeard(L"click"), 1);
    EXPECT_EQ(row.window.CountHeard(L"mouseenter") + row.window.CountHeard(L"buttondown") +
                  row.window.CountHeard(L"mouseleave") + row.window.CountHeard(L"menu"),
              0);
}

// Drives one button into a state: 0 normal, 1 hot, 2 pushed, 3 disabled.
void EnterState(ButtonRow& row, int index, int state) {
    row.window.Mouse(WM_MOUSEMOVE, 2, 2);
    row.buttons[index]->SetEnabled(state != 3);
    if (state == 1) row.window.Mouse(WM_MOUSEMOVE, row.Centre(index).x, row.Centre(index).y);
    if (state == 2) row.Press(index);
}

// A stand-in for a tab layout: it records the pages it is asked to select.
class TestPages : public CControlUI, public ITabPagesUI {
  public:
    void* CastTo(const wchar_t* interfaceName) override {
        if (std::wstring(interfaceName) == L"TabLayout") return static_cast<ITabPagesUI*>(this);
        return CControlUI::CastTo(interfaceName);
    }
    bool SelectItem(int index) override {
        selected.push_back(index);
        return true;
    }
    std::vector<int> selected;
};

TEST(ButtonBinding, AClickSelectsTheBoundPageOfTheNamedTabLayout) {
    ButtonRow row;
    auto* pages = new TestPages;
    pages->SetName(L"pages");
    static_cast<CContainerUI*>(row.buttons[0]->GetParent())->AddItem(pages);
    row.buttons[0]->ApplyAttributeText(L"bindtabindex=\"2\" bindtablayoutname=\"pages\"");
    // A negative index is ignored, so the button stays unbound.
    row.buttons[1]->ApplyAttributeText(L"bindtabindex=\"-1\" bindtablayoutname=\"pages\"");
    // Named controls that are missing or are no tab layout select nothing.
    row.buttons[2]->ApplyAttributeText(L"bindtabindex=\"1\" bindtablayoutname=\"nowhere\"");
    row.buttons[3]->SetName(L"export");
    row.buttons[3]->ApplyAttributeText(L"bindtabindex=\"1\" bindtablayoutname=\"export\"");
    row.window.onNotify = [&](NotifyRecord&) { EXPECT_TRUE(pages->selected.empty()); };
    for (int i = 0; i < 4; ++i) {
        row.Press(i);
        row.Release(row.Centre(i));
        row.window.onNotify = nullptr;
    }
    EXPECT_EQ(row.window.CountHeard(L"click"), 4);
    EXPECT_EQ(pages->selected, std::vector<int>{2});
}

TEST(ButtonSample, SavesTheFourButtonsInEachState) {
    ButtonRow row;
    const SIZE size = row.window.manager.OffscreenSize();
    test::TestImage picture(size.cx, size.cy * 4);
    const std::uint32_t faces[4] = {kNormal, kHot, kPushed, kDisabled};
    for (int state = 0; state < 4; ++state) {
        for (int index = 0; index < 4; ++index) {
            EnterState(row, index, state);
            EXPECT_EQ(row.Face(index), faces[state]) << "state " << state << " button " << index;
            const CUiRect& pos = row.buttons[index]->GetPos();
            for (int y = 0; y < size.cy; ++y) {
                for (int x = pos.left - 1; x <= pos.right; ++x) {
                    picture.At(x, state * size.cy + y) =
                        row.window.manager.OffscreenPixel(x, y) | 0xFF000000;
                }
            }
            if (state == 2) row.Release(POINT{2, 2});
        }
    }
    EXPECT_TRUE(test::SavePngFile(picture, WEFT_WIDGET_DIR L"\\button-states.png"));
}

}  // namespace
}  // namespace Weft
