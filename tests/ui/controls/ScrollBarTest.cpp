// The scroll bar's arithmetic, its held-press repetition on the 50 ms control timer, thumb
// drags, and its drawing without images.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestSupport.h"
#include "ui/controls/ScrollBarUI.h"

namespace Weft {
namespace {

using test::ExpectRect;
using test::HostWindow;

TEST(ScrollBarGeometry, RangeZeroFillsTheTrackBetweenTheButtons) {
    CScrollBarUI bar;
    bar.SetPos(CUiRect(0, 0, 16, 200), false);
    ExpectRect(bar.GetButton1Rect(), 0, 0, 16, 16);
    ExpectRect(bar.GetButton2Rect(), 0, 184, 16, 200);
    ExpectRect(bar.GetThumbRect(), 0, 16, 16, 184);
}

TEST(ScrollBarGeometry, ThumbLengthAndPositionFollowRangeAndValue) {
    CScrollBarUI bar;
    bar.SetPos(CUiRect(0, 0, 16, 200), false);
    bar.SetRange(100);
    // Track 168; thumb 168 × 200 / 300 = 112, travelling over 56.
    ExpectRect(bar.GetThumbRect(), 0, 16, 16, 128);
    bar.SetValue(50);
    ExpectRect(bar.GetThumbRect(), 0, 44, 16, 156);
    bar.SetValue(100);
    ExpectRect(bar.GetThumbRect(), 0, 72, 16, 184);
    bar.SetRange(1000000);
    EXPECT_EQ(bar.GetThumbRect().Height(), 16);
}

// A range near the 32-bit limit plus the length does not wrap: a bar 200000 long keeps a
// thumb of 199968 × 200000 / 2147583647 = 18, which ends at button 2 at the end.
TEST(ScrollBarGeometry, AHugeRangeDoesNotOverflowTheThumbLength) {
    CScrollBarUI bar;
    bar.SetPos(CUiRect(0, 0, 16, 200000), false);
    bar.SetRange(INT32_MAX - 100000);
    EXPECT_EQ(bar.GetThumbRect().Height(), 18);
    bar.SetValue(INT32_MAX - 100000);
    ExpectRect(bar.GetThumbRect(), 0, 199966, 16, 199984);
}

TEST(ScrollBarGeometry, ABarTooShortForItsButtonsHasNoThumb) {
    CScrollBarUI bar;
    bar.SetRange(10);
    bar.SetPos(CUiRect(0, 0, 16, 40), false);
    ExpectRect(bar.GetButton1Rect(), 0, 0, 16, 16);
    ExpectRect(bar.GetButton2Rect(), 0, 24, 16, 40);
    ExpectRect(bar.GetThumbRect(), 0, 0, 0, 0);
    bar.SetPos(CUiRect(0, 0, 16, 20), false);
    ExpectRect(bar.GetButton1Rect(), 0, 0, 16, 10);
    ExpectRect(bar.GetButton2Rect(), 0, 10, 16, 20);
    bar.SetShowButton1(false);
    ExpectRect(bar.GetButton1Rect(), 0, 0, 0, 0);
}

TEST(ScrollBarGeometry, HorizontalBarLaysOutAlongX) {
    CScrollBarUI bar;
    bar.SetAttribute(L"hor", L"true");
    EXPECT_EQ(bar.GetFixedHeight(), 16);
    EXPECT_EQ(bar.GetFixedWidth(), 0);
    bar.SetPos(CUiRect(0, 0, 200, 16), false);
    bar.SetRange(100);
    bar.SetValue(50);
    ExpectRect(bar.GetButton1Rect(), 0, 0, 16, 16);
    ExpectRect(bar.GetButton2Rect(), 184, 0, 200, 16);
    ExpectRect(bar.GetThumbRect(), 44, 0, 156, 16);
}

TEST(ScrollBarValue, ClampedToZeroAndRange) {
    CScrollBarUI bar;
    bar.SetRange(30);
    bar.SetValue(99);
    EXPECT_EQ(bar.GetValue(), 30);
    bar.SetValue(-4);
    EXPECT_EQ(bar.GetValue(), 0);
    bar.SetValue(20);
    bar.SetRange(-10);
    EXPECT_EQ(bar.GetRange(), 0);
    EXPECT_EQ(bar.GetValue(), 0);
}

// A bar as the whole tree of a window as thick as the bar and 200 long at 100 % (300 at 150 %).
// Its repeat timer is the window's only timer: a tick is the next WM_TIMER the system posts.
struct BarWindow {
    explicit BarWindow(int scale = 100)
        : window(16 * scale / 100, 200 * scale / 100, scale), bar(new CScrollBarUI) {
        bar->SetRange(100);
        bar->SetValue(50);
        window.manager.AttachRoot(bar);
        window.Paint();
        window.RunQueuedWork();
        window.heard.clear();
    }
    // Waits up to two seconds for the timer to fire and dispatches it.
    void Tick() {
        const DWORD deadline = ::GetTickCount() + 2000;
        MSG msg;
        while (static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
            if (::PeekMessageW(&msg, window.GetHandle(), WM_TIMER, WM_TIMER, PM_REMOVE)) {
                ::DispatchMessageW(&msg);
                return;
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
        }
        ADD_FAILURE() << "the repeat timer did not fire";
    }
    // No tick within three periods of the 50 ms timer: it was stopped.
    bool TimerStopped() {
        ::Sleep(150);
        MSG msg;
        return ::PeekMessageW(&msg, window.GetHandle(), WM_TIMER, WM_TIMER, PM_NOREMOVE) == FALSE;
    }

    HostWindow window;
    CScrollBarUI* bar;
};

struct HeldBar : ::testing::Test, BarWindow {};

TEST_F(HeldBar, AnArrowStepsAtThePressThenRepeatsFromTheSixthTick) {
    window.Mouse(WM_LBUTTONDOWN, 8, 8, MK_LBUTTON);
    EXPECT_EQ(bar->GetValue(), 42);
    EXPECT_NE(bar->GetButton1State() & CScrollBarUI::kStatePushed, 0u);
    EXPECT_EQ(window.CountHeard(L"scroll"), 1);
    for (int i = 0; i < 5; ++i) Tick();
    EXPECT_EQ(bar->GetValue(), 42);
    Tick();
    EXPECT_EQ(bar->GetValue(), 34);
    Tick();
    EXPECT_EQ(bar->GetValue(), 26);
    window.Mouse(WM_LBUTTONUP, 8, 8);
    EXPECT_EQ(bar->GetButton1State() & CScrollBarUI::kStatePushed, 0u);
    EXPECT_TRUE(TimerStopped());
    EXPECT_EQ(bar->GetValue(), 26);
}

TEST_F(HeldBar, TheSecondArrowStepsForward) {
    window.Mouse(WM_LBUTTONDOWN, 8, 195, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 8, 195);
    EXPECT_EQ(bar->GetValue(), 58);
}

TEST_F(HeldBar, PressingTheTrackPagesTowardsThePointer) {
    // Thumb at 44..156 for value 50; below it the page is the bar's length.
    window.Mouse(WM_LBUTTONDOWN, 8, 170, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 8, 170);
    EXPECT_EQ(bar->GetValue(), 100);
    window.Mouse(WM_LBUTTONDOWN, 8, 20, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 8, 20);
    EXPECT_EQ(bar->GetValue(), 0);
}

TEST_F(HeldBar, DraggingTheThumbMovesTheValueOnTheTimer) {
    window.Mouse(WM_LBUTTONDOWN, 8, 100, MK_LBUTTON);
    EXPECT_NE(bar->GetThumbState() & CScrollBarUI::kStateCaptured, 0u);
    EXPECT_EQ(bar->GetValue(), 50);
    // Length 200 - thumb 112 = 88 against two 16-pixel buttons: 14 pixels × 100 / 56 = 25.
    window.Mouse(WM_MOUSEMOVE, 8, 114, MK_LBUTTON);
    Tick();
    EXPECT_EQ(bar->GetValue(), 75);
    window.Mouse(WM_MOUSEMOVE, 8, 0, MK_LBUTTON);
    Tick();
    EXPECT_EQ(bar->GetValue(), 0);
    window.Mouse(WM_LBUTTONUP, 8, 0);
    EXPECT_EQ(bar->GetThumbState() & CScrollBarUI::kStateCaptured, 0u);
    EXPECT_TRUE(TimerStopped());
}

// At 150 % the bar is 24 thick with 24-pixel buttons on a 300 track: thumb 252 × 300 / 400 =
// 189, travelling over 63, at 24 + 31 for value 50. A drag of 21 pixels moves the value by
// 21 × 100 / 63 = 33, so the thumb stays under the pointer.
TEST(ScaledScrollBar, At150PercentPartsAndThumbDragFollowThePointer) {
    BarWindow held(150);
    CScrollBarUI* bar = held.bar;
    ExpectRect(bar->GetPos(), 0, 0, 24, 300);
    ExpectRect(bar->GetButton1Rect(), 0, 0, 24, 24);
    ExpectRect(bar->GetButton2Rect(), 0, 276, 24, 300);
    ExpectRect(bar->GetThumbRect(), 0, 55, 24, 244);
    held.window.Mouse(WM_LBUTTONDOWN, 12, 23, MK_LBUTTON);
    held.window.Mouse(WM_LBUTTONUP, 12, 23);
    EXPECT_EQ(bar->GetValue(), 42);
    bar->SetValue(50);

    held.window.Mouse(WM_LBUTTONDOWN, 12, 150, MK_LBUTTON);
    ASSERT_NE(bar->GetThumbState() & CScrollBarUI::kStateCaptured, 0u);
    held.window.Mouse(WM_MOUSEMOVE, 12, 171, MK_LBUTTON);
    held.Tick();
    EXPECT_EQ(bar->GetValue(), 83);
    ExpectRect(bar->GetThumbRect(), 0, 76, 24, 265);
    held.window.Mouse(WM_LBUTTONUP, 12, 171);
}

TEST_F(HeldBar, ADisabledBarIgnoresPressesAndClearsItsStates) {
    bar->SetEnabled(false);
    window.Mouse(WM_LBUTTONDOWN, 8, 8, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 8, 8);
    EXPECT_EQ(bar->GetValue(), 50);
    EXPECT_EQ(bar->GetButton1State(), 0u);
}

TEST_F(HeldBar, WithoutImagesThePartsAreOutlined) {
    window.Paint();
    const CUiRect thumb = bar->GetThumbRect();
    EXPECT_EQ(window.manager.OffscreenPixel(0, 0) & 0xFFFFFF, 0x85E4FFu);
    EXPECT_EQ(window.manager.OffscreenPixel(15, 199) & 0xFFFFFF, 0x85E4FFu);
    EXPECT_EQ(window.manager.OffscreenPixel(0, thumb.top + 5) & 0xFFFFFF, 0x85E4FFu);
    EXPECT_NE(window.manager.OffscreenPixel(8, thumb.top + 20) & 0xFFFFFF, 0x85E4FFu);
}

TEST(OwnedScrollBar, WheelOverTheBarScrollsItsContainer) {
    HostWindow window(100, 100);
    auto* column = new CVerticalLayoutUI;
    column->SetAttribute(L"vscrollbar", L"true");
    column->SetAttribute(L"scrollstepsize", L"10");
    for (int i = 0; i < 4; ++i) {
        auto* line = new CControlUI;
        line->SetFixedHeight(50);
        column->AddItem(line);
    }
    window.manager.AttachRoot(column);
    window.Paint();
    POINT onBar{92, 50};
    ::ClientToScreen(window.GetHandle(), &onBar);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                MAKELPARAM(onBar.x, onBar.y));
    EXPECT_EQ(column->GetScrollOffset().cy, 10);
    EXPECT_EQ(column->ItemAt(0)->GetY(), -10);
    window.Send(WM_KEYDOWN, VK_END);
    column->SetFocus();
    window.Send(WM_KEYDOWN, VK_END);
    EXPECT_EQ(column->GetScrollOffset().cy, 100);
}

TEST(OwnedScrollBar, AZeroLineSizeStillNotifiesTheScroll) {
    HostWindow window(100, 100);
    auto* column = new CVerticalLayoutUI;
    column->SetAttribute(L"vscrollbarstyle", L"linesize=\"0\"");
    auto* tall = new CControlUI;
    tall->SetFixedHeight(300);
    column->AddItem(tall);
    window.manager.AttachRoot(column);
    window.Paint();
    ASSERT_EQ(column->GetVerticalScrollBar()->GetLineSize(), 0);
    column->SetScrollOffset(CUiSize(0, 40));
    ASSERT_EQ(window.CountHeard(L"scroll"), 1);
    EXPECT_EQ(window.heard.back().wParam, 40u);
}

}  // namespace
}  // namespace Weft
