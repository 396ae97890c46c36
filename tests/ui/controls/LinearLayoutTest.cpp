// Geometry of the linear layouts: the main window's tree in a real window at several sizes,
// and the stretching, limiting and alignment rules on detached trees.
#include <gtest/gtest.h>

#include <memory>

#include "tests/ui/controls/ControlTestSupport.h"
#include "ui/controls/ScrollBarUI.h"

namespace Weft {
namespace {

using test::BuildMainLayout;
using test::ExpectRect;
using test::HostWindow;

struct WindowSize {
    int width;
    int height;
};

class MainLayoutGeometry : public ::testing::TestWithParam<WindowSize> {};

// Rich edit height = client height - 20 (inset) - 35 - 28 - 2 × 8; title width = client
// width - 20 - (90 + 140 + 140 + 100) - 4 × 12.
TEST_P(MainLayoutGeometry, FollowsTheWindowSize) {
    const WindowSize size = GetParam();
    HostWindow window(size.width, size.height);
    const test::MainLayout tree = BuildMainLayout();
    ASSERT_TRUE(window.manager.AttachRoot(tree.root));
    window.Paint();

    const int reportHeight = size.height - 20 - 79;
    const int titleWidth = size.width - 20 - 518;
    ExpectRect(tree.root->GetPos(), 0, 0, size.width, size.height);
    ExpectRect(tree.row->GetPos(), 10, 10, size.width - 10, 45);
    ExpectRect(tree.title->GetPos(), 10, 10, 10 + titleWidth, 45);
    int x = 10 + titleWidth + 12;
    const int widths[4] = {90, 140, 140, 100};
    for (int i = 0; i < 4; ++i) {
        ExpectRect(tree.buttons[i]->GetPos(), x, 10, x + widths[i], 38);
        x += widths[i] + 12;
    }
    EXPECT_EQ(x - 12, size.width - 10);
    ExpectRect(tree.report->GetPos(), 10, 53, size.width - 10, 53 + reportHeight);
    ExpectRect(tree.status->GetPos(), 10, 61 + reportHeight, size.width - 10, 89 + reportHeight);
    EXPECT_EQ(tree.status->GetPos().bottom, size.height - 10);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MainLayoutGeometry,
                         ::testing::Values(WindowSize{850, 640}, WindowSize{1024, 768},
                                           WindowSize{750, 520}));

TEST(MainLayout, WorkedExampleAt850By640) {
    HostWindow window(850, 640);
    const test::MainLayout tree = BuildMainLayout();
    window.manager.AttachRoot(tree.root);
    window.Paint();
    EXPECT_EQ(tree.report->GetHeight(), 541);
    EXPECT_EQ(tree.title->GetWidth(), 312);
    for (const test::TestButton* button : tree.buttons) {
        EXPECT_EQ(button->GetHeight(), 28);
        EXPECT_EQ(button->GetY(), tree.row->GetY());
    }
}

// At 150 %: inset 15, child padding 12 and 18, the row 53 high (35 × 1.5 rounded), buttons 42
// high and 135, 210, 210 and 150 wide, the status line 42. In 850 × 640 the title keeps
// 850 - 30 - 705 - 4 × 18 = 43 and the report 640 - 30 - 53 - 42 - 2 × 12 = 491.
TEST(MainLayout, At150Percent) {
    HostWindow window(850, 640, 150);
    const test::MainLayout tree = BuildMainLayout();
    window.manager.AttachRoot(tree.root);
    window.Paint();
    ExpectRect(tree.row->GetPos(), 15, 15, 835, 68);
    ExpectRect(tree.title->GetPos(), 15, 15, 58, 68);
    ExpectRect(tree.buttons[0]->GetPos(), 76, 15, 211, 57);
    ExpectRect(tree.buttons[1]->GetPos(), 229, 15, 439, 57);
    ExpectRect(tree.buttons[2]->GetPos(), 457, 15, 667, 57);
    ExpectRect(tree.buttons[3]->GetPos(), 685, 15, 835, 57);
    ExpectRect(tree.report->GetPos(), 15, 80, 835, 571);
    ExpectRect(tree.status->GetPos(), 15, 583, 835, 625);
    // Hit tests follow the scaled geometry: the gap between two buttons is the row's.
    EXPECT_EQ(window.manager.FindControlAt(POINT{229, 56}), tree.buttons[1]);
    EXPECT_EQ(window.manager.FindControlAt(POINT{438, 15}), tree.buttons[1]);
    EXPECT_EQ(window.manager.FindControlAt(POINT{228, 30}), tree.row);
    EXPECT_EQ(window.manager.FindControlAt(POINT{300, 57}), tree.row);
}

TEST(MainLayout, FollowsAResizeOfTheWindow) {
    HostWindow window(850, 640);
    const test::MainLayout tree = BuildMainLayout();
    window.manager.AttachRoot(tree.root);
    window.Paint();
    ::SetWindowPos(window.GetHandle(), nullptr, 0, 0, 900, 700,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.Paint();
    EXPECT_EQ(tree.report->GetHeight(), 700 - 99);
    EXPECT_EQ(tree.title->GetWidth(), 900 - 538);
    EXPECT_EQ(window.manager.OffscreenSize().cx, 900);
    EXPECT_EQ(window.manager.OffscreenSize().cy, 700);
}

TEST(MainLayout, AChangedButtonWidthLaysOutOnlyItsRowAgain) {
    HostWindow window(850, 640);
    const test::MainLayout tree = BuildMainLayout();
    window.manager.AttachRoot(tree.root);
    window.Paint();
    const CUiRect reportBefore = tree.report->GetPos();
    tree.buttons[0]->SetFixedWidth(50);
    EXPECT_TRUE(tree.row->IsUpdateNeeded());
    EXPECT_FALSE(tree.root->IsUpdateNeeded());
    window.Paint();
    EXPECT_FALSE(tree.row->IsUpdateNeeded());
    EXPECT_EQ(tree.title->GetWidth(), 352);
    EXPECT_EQ(tree.buttons[0]->GetPos().left, 10 + 352 + 12);
    ExpectRect(tree.report->GetPos(), reportBefore.left, reportBefore.top, reportBefore.right,
               reportBefore.bottom);
}

// Detached trees: without a manager the layouts work on the stored sizes.
std::unique_ptr<CVerticalLayoutUI> Column(int height, std::initializer_list<CControlUI*> children) {
    auto column = std::make_unique<CVerticalLayoutUI>();
    for (CControlUI* child : children) column->AddItem(child);
    column->SetPos(CUiRect(0, 0, 50, height), false);
    return column;
}

TEST(VerticalLayout, AdjustableChildrenShareTheRestAndTheLastTakesTheRemainder) {
    auto* a = new CControlUI;
    auto* b = new CControlUI;
    auto* c = new CControlUI;
    auto column = Column(100, {a, b, c});
    EXPECT_EQ(a->GetHeight(), 33);
    EXPECT_EQ(b->GetHeight(), 33);
    EXPECT_EQ(c->GetHeight(), 34);
    EXPECT_EQ(c->GetPos().bottom, 100);
    EXPECT_EQ(a->GetWidth(), 50);
}

TEST(VerticalLayout, AMaximumHeightLeavesTheRestToTheOtherAdjustableChild) {
    auto* limited = new CControlUI;
    limited->SetMaxHeight(20);
    auto* other = new CControlUI;
    auto column = Column(100, {limited, other});
    EXPECT_EQ(limited->GetHeight(), 20);
    EXPECT_EQ(other->GetHeight(), 80);
    EXPECT_EQ(other->GetY(), 20);
}

TEST(VerticalLayout, VCenterCentresOnlyABlockWithoutAdjustableChildren) {
    auto* fixed = new CControlUI;
    fixed->SetFixedHeight(20);
    auto column = Column(100, {fixed});
    column->SetAttribute(L"childvalign", L"vcenter");
    column->SetPos(CUiRect(0, 0, 50, 100), false);
    EXPECT_EQ(fixed->GetY(), 40);

    column->AddItem(new CControlUI);
    column->SetPos(CUiRect(0, 0, 50, 100), false);
    EXPECT_EQ(fixed->GetY(), 0);
    EXPECT_EQ(column->ItemAt(1)->GetHeight(), 80);
}

TEST(VerticalLayout, ChildAlignWordsAreCaseSensitive) {
    auto* narrow = new CControlUI;
    narrow->SetFixedWidth(10);
    auto column = Column(100, {narrow});
    column->SetAttribute(L"childalign", L"Center");
    column->SetPos(CUiRect(0, 0, 50, 100), false);
    EXPECT_EQ(narrow->GetX(), 0);
    column->SetAttribute(L"childalign", L"center");
    column->SetPos(CUiRect(0, 0, 50, 100), false);
    EXPECT_EQ(narrow->GetX(), 20);
    column->SetAttribute(L"childalign", L"right");
    column->SetPos(CUiRect(0, 0, 50, 100), false);
    EXPECT_EQ(narrow->GetPos().right, 50);
}

TEST(VerticalLayout, PaddingAndInvisibleChildren) {
    auto* first = new CControlUI;
    first->SetFixedHeight(10);
    first->SetPadding(CUiRect(2, 3, 4, 5));
    auto* hidden = new CControlUI;
    hidden->SetVisible(false);
    auto* last = new CControlUI;
    auto column = Column(100, {first, hidden, last});
    ExpectRect(first->GetPos(), 2, 3, 46, 13);
    ExpectRect(last->GetPos(), 0, 18, 50, 100);
}

TEST(HorizontalLayout, ChildrenWithoutHeightFillTheRow) {
    auto row = std::make_unique<CHorizontalLayoutUI>();
    auto* tall = new CControlUI;
    auto* shortOne = new CControlUI;
    shortOne->SetFixedHeight(10);
    shortOne->SetFixedWidth(30);
    row->AddItem(tall);
    row->AddItem(shortOne);
    row->SetPos(CUiRect(0, 0, 100, 40), false);
    ExpectRect(tall->GetPos(), 0, 0, 70, 40);
    ExpectRect(shortOne->GetPos(), 70, 0, 100, 10);
    row->SetAttribute(L"childvalign", L"bottom");
    row->SetPos(CUiRect(0, 0, 100, 40), false);
    ExpectRect(shortOne->GetPos(), 70, 30, 100, 40);
}

TEST(HorizontalLayout, OverflowWithoutScrollBarLeavesAdjustableChildrenNothing) {
    auto row = std::make_unique<CHorizontalLayoutUI>();
    auto* adjustable = new CControlUI;
    auto* wide = new CControlUI;
    wide->SetFixedWidth(150);
    row->AddItem(adjustable);
    row->AddItem(wide);
    row->SetPos(CUiRect(0, 0, 100, 20), false);
    EXPECT_EQ(adjustable->GetWidth(), 0);
    EXPECT_EQ(wide->GetPos().right, 150);
}

TEST(Container, FloatingChildrenByAlignmentAndByPercentages) {
    CContainerUI box;
    auto* centred = new CControlUI;
    centred->ApplyAttributeText(
        L"float=\"true\" width=\"20\" height=\"10\" floatalign=\"center,bottom\"");
    auto* relative = new CControlUI;
    relative->ApplyAttributeText(L"float=\"0.5,0.5,0.5,0.5\" pos=\"-5,-5,5,5\"");
    box.AddItem(centred);
    box.AddItem(relative);
    box.SetPos(CUiRect(100, 100, 200, 160), false);
    ExpectRect(centred->GetPos(), 140, 150, 160, 160);
    // "pos" with negative left and top takes right and bottom: fixed position (5, 5), 10 × 10.
    ExpectRect(relative->GetPos(), 155, 135, 165, 145);
}

TEST(Container, PlainLayoutClampsChildrenToTheirLimits) {
    CContainerUI box;
    box.SetAttribute(L"inset", L"5,5,5,5");
    auto* child = new CControlUI;
    child->SetMaxWidth(30);
    child->SetMinHeight(200);
    box.AddItem(child);
    box.SetPos(CUiRect(0, 0, 100, 100), false);
    ExpectRect(child->GetPos(), 5, 5, 35, 205);
}

TEST(Container, VerticalScrollBarAppearsOnOverflowAndPagesTheChildren) {
    HostWindow window(200, 100);
    auto* column = new CVerticalLayoutUI;
    column->SetAttribute(L"vscrollbar", L"true");
    for (int i = 0; i < 5; ++i) {
        auto* line = new CControlUI;
        line->SetFixedHeight(40);
        column->AddItem(line);
    }
    window.manager.AttachRoot(column);
    window.Paint();
    CScrollBarUI* bar = column->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetRange(), 100);
    ExpectRect(bar->GetPos(), 184, 0, 200, 100);
    EXPECT_EQ(column->ItemAt(0)->GetWidth(), 184);

    column->PageDown();
    EXPECT_EQ(column->GetScrollOffset().cy, 100);
    EXPECT_EQ(column->ItemAt(0)->GetY(), -100);
    EXPECT_EQ(window.CountHeard(L"scroll"), 1);
    column->ScrollToTop();
    EXPECT_EQ(column->ItemAt(0)->GetY(), 0);
}

// Five lines in a 200 × 100 window fit at 10 high. At 40 high, with one of them 300 wide, each
// bar takes the other's room: the vertical bar spans 84 px and scrolls 200 - 84 = 116, the
// horizontal one spans 184 px and scrolls 300 - 184 = 116.
TEST(Container, BothBarsOverflowingLeaveEachOtherRoom) {
    HostWindow window(200, 100);
    auto* column = new CVerticalLayoutUI;
    column->ApplyAttributeText(L"vscrollbar=\"true\" hscrollbar=\"true\"");
    for (int i = 0; i < 5; ++i) {
        auto* line = new CControlUI;
        line->SetFixedHeight(10);
        column->AddItem(line);
    }
    window.manager.AttachRoot(column);
    window.Paint();
    ASSERT_FALSE(column->GetVerticalScrollBar()->IsVisible());
    ASSERT_FALSE(column->GetHorizontalScrollBar()->IsVisible());
    ExpectRect(column->ItemAt(4)->GetPos(), 0, 40, 200, 50);

    for (int i = 0; i < 5; ++i) column->ItemAt(i)->SetFixedHeight(40);
    column->ItemAt(2)->SetFixedWidth(300);
    window.Paint();
    CScrollBarUI* vertical = column->GetVerticalScrollBar();
    CScrollBarUI* horizontal = column->GetHorizontalScrollBar();
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    ASSERT_TRUE(vertical->IsVisible());
    ASSERT_TRUE(horizontal->IsVisible());
    ExpectRect(vertical->GetPos(), 184, 0, 200, 84);
    ExpectRect(horizontal->GetPos(), 0, 84, 184, 100);
    EXPECT_EQ(vertical->GetRange(), 116);
    EXPECT_EQ(horizontal->GetRange(), 116);

    column->ScrollToBottom();
    column->ScrollToRight();
    // Lines without a width fill the scrolled extent, 184 + 116 = 300 wide.
    ExpectRect(column->ItemAt(4)->GetPos(), -116, 44, 184, 84);
    ExpectRect(column->ItemAt(2)->GetPos(), -116, -36, 184, 4);
}

// Presses at `from`, moves to `to` with the button held and releases there.
void Drag(HostWindow& window, POINT from, POINT to) {
    window.Mouse(WM_LBUTTONDOWN, from.x, from.y, MK_LBUTTON);
    window.Mouse(WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, to.x, to.y);
}

// A 100 × 200 white window: a panel with a bottom separator above a control taking the rest.
struct SeparatedPanel {
    explicit SeparatedPanel(const wchar_t* attributes) {
        root->SetBkColor(0xFFFFFFFF);
        panel->ApplyAttributeText(attributes);
        root->AddItem(panel);
        root->AddItem(new CControlUI);
        window.manager.AttachRoot(root);
        window.Paint();
    }
    HostWindow window{100, 200};
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    CVerticalLayoutUI* panel = new CVerticalLayoutUI;
};

TEST(SeparatorDrag, TheBottomSeparatorResizesWithinTheLimitsAndShowsItsBand) {
    SeparatedPanel tree(L"sepheight=\"4\" height=\"50\" minheight=\"20\" maxheight=\"80\"");
    HostWindow& window = tree.window;
    CVerticalLayoutUI* root = tree.root;
    CVerticalLayoutUI* panel = tree.panel;
    EXPECT_EQ(panel->Flags(), kFlagSetCursor);

    window.Mouse(WM_LBUTTONDOWN, 50, 48, MK_LBUTTON);
    window.Mouse(WM_MOUSEMOVE, 50, 120, MK_LBUTTON);
    window.Paint();
    // While dragging only the band moves: it is drawn translucent black over the white
    // background at the new edge, and the layout keeps its size until the release.
    const std::uint32_t band = window.manager.OffscreenPixel(50, 78) & 0xFF;
    EXPECT_GT(band, 0x20u);
    EXPECT_LT(band, 0xE0u);
    EXPECT_EQ(panel->GetHeight(), 50);
    EXPECT_EQ(panel->GetFixedHeight(), 50);
    EXPECT_EQ(root->ItemAt(1)->GetY(), 50);
    window.Mouse(WM_LBUTTONUP, 50, 120);
    window.Paint();
    EXPECT_EQ(panel->GetHeight(), 80);
    EXPECT_EQ(root->ItemAt(1)->GetY(), 80);
    EXPECT_EQ(window.manager.OffscreenPixel(50, 78) & 0xFFFFFF, 0xFFFFFFu);

    Drag(window, {50, 78}, {50, 0});
    window.Paint();
    EXPECT_EQ(panel->GetHeight(), 20);
    EXPECT_EQ(root->ItemAt(1)->GetY(), 20);
}

// With sepimm the layout follows the pointer at once, and no band is drawn.
TEST(SeparatorDrag, ImmediateModeLaysOutDuringTheDrag) {
    SeparatedPanel tree(L"sepheight=\"4\" sepimm=\"true\" height=\"50\" maxheight=\"80\"");
    HostWindow& window = tree.window;
    CVerticalLayoutUI* root = tree.root;
    CVerticalLayoutUI* panel = tree.panel;
    window.Mouse(WM_LBUTTONDOWN, 50, 48, MK_LBUTTON);
    window.Mouse(WM_MOUSEMOVE, 50, 68, MK_LBUTTON);
    window.Paint();
    EXPECT_EQ(panel->GetHeight(), 70);
    EXPECT_EQ(root->ItemAt(1)->GetY(), 70);
    EXPECT_EQ(window.manager.OffscreenPixel(50, 68) & 0xFFFFFF, 0xFFFFFFu);
    window.Mouse(WM_LBUTTONUP, 50, 68);
    window.Paint();
    EXPECT_EQ(panel->GetHeight(), 70);
}

// At 150 % both separators store what the pointer moved in stored units, so the layouts come
// out where the pointer let go: 50 high (75 px) dragged by 15 px is 90 px, and 60 wide
// (90 px) dragged by 30 px is 120 px.
TEST(SeparatorDrag, At150PercentTheLayoutEndsWhereThePointerLetGo) {
    HostWindow window(300, 300, 150);
    auto* root = new CVerticalLayoutUI;
    auto* column = new CVerticalLayoutUI;
    column->ApplyAttributeText(L"sepheight=\"4\" height=\"50\" minheight=\"20\" maxheight=\"100\"");
    auto* rowHolder = new CHorizontalLayoutUI;
    auto* row = new CHorizontalLayoutUI;
    row->ApplyAttributeText(L"sepwidth=\"4\" width=\"60\" minwidth=\"20\" maxwidth=\"150\"");
    rowHolder->AddItem(row);
    rowHolder->AddItem(new CControlUI);
    root->AddItem(column);
    root->AddItem(rowHolder);
    window.manager.AttachRoot(root);
    window.Paint();
    ExpectRect(column->GetPos(), 0, 0, 300, 75);
    ExpectRect(row->GetPos(), 0, 75, 90, 300);

    Drag(window, {150, 73}, {150, 88});
    window.Paint();
    EXPECT_EQ(column->GetHeight(), 90);
    EXPECT_EQ(row->GetY(), 90);

    Drag(window, {88, 200}, {118, 200});
    window.Paint();
    EXPECT_EQ(row->GetWidth(), 120);
    EXPECT_EQ(rowHolder->ItemAt(1)->GetX(), 120);
}

TEST(SeparatorDrag, PressesOutsideTheBandReachTheContainer) {
    HostWindow window(100, 100);
    auto* panel = new CHorizontalLayoutUI;
    panel->SetAttribute(L"sepwidth", L"-5");
    window.manager.AttachRoot(panel);
    window.Paint();
    Drag(window, {50, 50}, {90, 50});
    EXPECT_EQ(panel->GetFixedWidth(), 0);
    Drag(window, {2, 50}, {12, 50});
    EXPECT_EQ(panel->GetFixedWidth(), 90);
}

}  // namespace
}  // namespace Weft
