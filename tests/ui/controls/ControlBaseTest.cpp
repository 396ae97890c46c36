// The control base on its own: attributes, attribute text, texts, geometry setters, listener
// lists, and the painting layers drawn into a DIB.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestSupport.h"
#include "tests/ui/controls/WidgetTestSupport.h"
#include "tests/ui/window/RenderTestSupport.h"

namespace Weft {
namespace {

using test::Canvas;

TEST(ControlAttributes, PosGivesFixedPositionAndSize) {
    CControlUI control;
    control.SetAttribute(L"pos", L"10,20,110,50");
    EXPECT_EQ(control.GetFixedPos().cx, 10);
    EXPECT_EQ(control.GetFixedPos().cy, 20);
    EXPECT_EQ(control.GetFixedWidth(), 100);
    EXPECT_EQ(control.GetFixedHeight(), 30);
    control.SetAttribute(L"POS", L"-1,20,110,50");
    EXPECT_EQ(control.GetFixedPos().cx, 110);
    EXPECT_EQ(control.GetFixedWidth(), 111);
}

TEST(ControlAttributes, FloatTakesABooleanOrFourFractions) {
    CControlUI control;
    control.SetAttribute(L"float", L"true");
    EXPECT_TRUE(control.IsFloat());
    control.SetAttribute(L"float", L"false");
    EXPECT_FALSE(control.IsFloat());
    control.SetAttribute(L"float", L"0.25,0.5,0.75,1");
    EXPECT_TRUE(control.IsFloat());
    EXPECT_DOUBLE_EQ(control.GetFloatPercent()[0], 0.25);
    EXPECT_DOUBLE_EQ(control.GetFloatPercent()[3], 1.0);
}

TEST(ControlAttributes, FloatAlignWordsChangeTheCurrentBits) {
    CControlUI control;
    control.SetAttribute(L"floatalign", L"RIGHT bottom");
    EXPECT_EQ(control.GetFloatAlign(), static_cast<std::uint32_t>(DT_RIGHT | DT_BOTTOM));
    control.SetAttribute(L"floatalign", L"center,whatever");
    EXPECT_EQ(control.GetFloatAlign(), static_cast<std::uint32_t>(DT_CENTER | DT_BOTTOM));
    control.SetAttribute(L"floatalign", L"vcenter");
    EXPECT_EQ(control.GetFloatAlign(), static_cast<std::uint32_t>(DT_CENTER | DT_VCENTER));
    control.SetAttribute(L"floatalign", L"null left");
    EXPECT_EQ(control.GetFloatAlign(), 0u);
}

TEST(ControlAttributes, BorderSizeOneNumberOrFour) {
    CControlUI control;
    control.SetAttribute(L"bordersize", L"1,2,3,4");
    EXPECT_EQ(control.GetBorderRect().bottom, 4);
    control.SetAttribute(L"bordersize", L"1");
    EXPECT_EQ(control.GetBorderSize(), 1);
    EXPECT_EQ(control.GetBorderRect().left, 0);
    EXPECT_EQ(control.GetBorderRect().bottom, 0);
}

TEST(ControlAttributes, LimitsIgnoreNegativeValues) {
    CControlUI control;
    control.SetAttribute(L"minwidth", L"12");
    control.SetAttribute(L"minwidth", L"-5");
    EXPECT_EQ(control.GetMinWidth(), 12);
    control.SetAttribute(L"width", L"-3");
    EXPECT_EQ(control.GetFixedWidth(), 0);
    EXPECT_EQ(control.GetMaxHeight(), 9999);
}

TEST(ControlAttributes, CursorWordsMapToSystemCursorsAndOthersAreIgnored) {
    CControlUI control;
    control.SetAttribute(L"cursor", L"hand");
    EXPECT_EQ(control.GetCursorShape(), 32649);
    control.SetAttribute(L"cursor", L"pointer");
    EXPECT_EQ(control.GetCursorShape(), 32649);
    control.SetAttribute(L"cursor", L"SIZENS");
    EXPECT_EQ(control.GetCursorShape(), 32645);
}

TEST(ControlAttributes, UnknownNamesBecomeCustomAttributesFirstValueKept) {
    CControlUI control;
    control.SetAttribute(L"myvalue", L"one");
    control.SetAttribute(L"myvalue", L"two");
    control.SetAttribute(L"empty", L"");
    EXPECT_STREQ(control.GetCustomAttribute(L"myvalue"), L"one");
    EXPECT_EQ(control.GetCustomAttribute(L"empty"), nullptr);
    control.ClearCustomAttributes();
    EXPECT_EQ(control.GetCustomAttribute(L"myvalue"), nullptr);
}

TEST(ControlAttributes, ColoursAndFlags) {
    CControlUI control;
    control.SetAttribute(L"BkColor", L"#FF102030");
    control.SetAttribute(L"bordercolor", L" #FF102030");
    control.SetAttribute(L"enabled", L"false");
    control.SetAttribute(L"shortcut", L"Q");
    control.SetAttribute(L"tooltip", L"a<n>b");
    EXPECT_EQ(control.GetBkColor(), 0xFF102030u);
    EXPECT_EQ(control.GetBorderColor(), 0u);
    EXPECT_FALSE(control.IsEnabled());
    EXPECT_EQ(control.GetShortcut(), L'Q');
    EXPECT_EQ(control.GetToolTip(), L"a\r\nb");
}

TEST(AttributeText, PairsSeparatedByCommaOrBlankAndStoppingAtAnythingElse) {
    CControlUI control;
    control.ApplyAttributeText(L"name=\"a\",width=\"10\" height=\"20\"");
    EXPECT_EQ(control.GetName(), L"a");
    EXPECT_EQ(control.GetFixedWidth(), 10);
    EXPECT_EQ(control.GetFixedHeight(), 20);
    CControlUI other;
    other.ApplyAttributeText(L"width=\"10\";height=\"20\"");
    EXPECT_EQ(other.GetFixedWidth(), 10);
    EXPECT_EQ(other.GetFixedHeight(), 0);
    CControlUI quoted;
    quoted.ApplyAttributeText(L"\r\n\ttext=&quot;x y&quot; width=5");
    EXPECT_EQ(quoted.GetText(), L"x y");
    EXPECT_EQ(quoted.GetFixedWidth(), 0);
}

TEST(AttributeText, StylesApplyTheirTextAndASelfReachingStyleEnds) {
    test::HostWindow window(50, 50);
    window.manager.Resources().AddStyle(L"big", L"width=\"40\" style=\"loop\"");
    window.manager.Resources().AddStyle(L"loop", L"height=\"7\" style=\"big\"");
    auto* control = new CControlUI;
    auto* root = new CVerticalLayoutUI;
    root->AddItem(control);
    window.manager.AttachRoot(root);
    control->SetAttribute(L"style", L"big");
    EXPECT_EQ(control->GetFixedWidth(), 40);
    EXPECT_EQ(control->GetFixedHeight(), 7);
    control->SetAttribute(L"style", L"nosuchstyle");
    EXPECT_STREQ(control->GetCustomAttribute(L"style"), L"nosuchstyle");
}

TEST(ControlText, LineBreakMarkersAndResourceTexts) {
    CControlUI control;
    control.SetText(L"one{\\n}two");
    EXPECT_EQ(control.GetText(), L"one\ntwo");
    SetResourceTextEntry(L"greeting", L"你好");
    control.SetText(L"greeting");
    control.SetResourceText(true);
    EXPECT_EQ(control.GetText(), L"你好");
    control.SetText(L"unknown.key");
    EXPECT_EQ(control.GetText(), L"unknown.key");
}

TEST(ControlText, AProviderFillsTheTextTableOnce) {
    static int asked = 0;
    SetTextProvider([](const wchar_t* key) {
        ++asked;
        return CUiString(L"<") + key + L">";
    });
    CControlUI control;
    control.SetResourceText(true);
    control.SetText(L"provided.key");
    control.SetToolTip(L"provided.key");
    EXPECT_EQ(control.GetText(), L"<provided.key>");
    EXPECT_EQ(control.GetToolTip(), L"<provided.key>");
    EXPECT_EQ(asked, 1);
    SetTextProvider(nullptr);
}

TEST(ControlGeometry, PositionInParentAndMove) {
    test::HostWindow window(100, 100);
    auto* parent = new CVerticalLayoutUI;
    auto* child = new CControlUI;
    parent->AddItem(child);
    window.manager.AttachRoot(parent);
    window.Paint();
    parent->SetPos(CUiRect(10, 20, 110, 120), false);
    const CUiRect inParent = child->GetPosInParent();
    EXPECT_EQ(inParent.left, 0);
    EXPECT_EQ(inParent.bottom, 100);
    // Laid out, nothing is pending; the move asks the parent to lay out again.
    ASSERT_FALSE(parent->IsUpdateNeeded());
    child->Move(CUiSize(3, 4));
    EXPECT_EQ(child->GetFixedPos().cx, 3);
    EXPECT_EQ(child->GetFixedPos().cy, 4);
    EXPECT_TRUE(parent->IsUpdateNeeded());
    CControlUI orphan;
    EXPECT_EQ(orphan.GetPosInParent().right, 0);
}

TEST(ControlGeometry, SetPosNormalisesAnInvertedRectangle) {
    CControlUI control;
    control.SetPos(CUiRect(30, 40, 10, 20), false);
    EXPECT_EQ(control.GetPos().left, 30);
    EXPECT_EQ(control.GetWidth(), 0);
    EXPECT_EQ(control.GetHeight(), 0);
}

TEST(ControlGeometry, VirtualWindowIsInheritedFromTheNearestAncestor) {
    CVerticalLayoutUI parent;
    auto* child = new CControlUI;
    parent.AddItem(child);
    child->Attach(nullptr, &parent, false);
    EXPECT_EQ(child->GetVirtualWindow(), L"");
    parent.SetVirtualWindow(L"page");
    EXPECT_EQ(child->GetVirtualWindow(), L"page");
    child->SetVirtualWindow(L"own");
    EXPECT_EQ(child->GetVirtualWindow(), L"own");
}

TEST(Listeners, EqualDelegatesAreAddedOnceAndFalseStopsTheWalk) {
    struct Counter {
        int calls = 0;
        bool answer = true;
        bool Count(void*) {
            ++calls;
            return answer;
        }
        bool Other(void*) {
            ++calls;
            return true;
        }
    };
    Counter first;
    Counter second;
    CEventSource source;
    source += MakeDelegate(&first, &Counter::Count);
    source += MakeDelegate(&first, &Counter::Count);
    source += MakeDelegate(&first, &Counter::Other);
    source += MakeDelegate(&second, &Counter::Count);
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(first.calls, 2);
    EXPECT_EQ(second.calls, 1);
    first.answer = false;
    EXPECT_FALSE(source(nullptr));
    EXPECT_EQ(first.calls, 3);
    EXPECT_EQ(second.calls, 1);
    source -= MakeDelegate(&first, &Counter::Count);
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(first.calls, 4);
}

// Painting layers, drawn without a manager into a white canvas.
struct Painted {
    Canvas canvas{40, 30, 0xFFFFFFFF};
    void Paint(CControlUI& control) {
        control.SetPos(CUiRect(5, 5, 35, 25), false);
        control.PaintRegion(canvas.Dc(), CUiRect(0, 0, 40, 30), nullptr);
    }
};

TEST(ControlPainting, BorderOfOneSizeOutlinesTheWholeRectangle) {
    CControlUI control;
    control.ApplyAttributeText(L"bordercolor=\"#FFD0D0D0\" bordersize=\"1\"");
    Painted painted;
    painted.Paint(control);
    EXPECT_EQ(painted.canvas.Rgb(5, 5), 0xD0D0D0u);
    EXPECT_EQ(painted.canvas.Rgb(34, 24), 0xD0D0D0u);
    EXPECT_EQ(painted.canvas.Rgb(20, 15), 0xFFFFFFu);
    EXPECT_EQ(painted.canvas.CountColour(0xD0D0D0), 2 * 30 + 2 * 18);
}

TEST(ControlPainting, FourBorderNumbersDrawOnlyTheGivenSides) {
    CControlUI control;
    control.ApplyAttributeText(L"bordercolor=\"#FF000000\" bordersize=\"1,0,0,0\"");
    Painted painted;
    painted.Paint(control);
    RECT box{};
    EXPECT_EQ(painted.canvas.CountDifferent(0xFFFFFFFF, &box), 20);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 6);
}

// A border of size 1, grey, with a black focus colour: the whole 30 × 20 outline (2 × 30 +
// 2 × 18 pixels) is grey while unfocused and black while focused.
TEST(ControlPainting, TheFocusBorderColourReplacesTheBorderWhileFocused) {
    test::HostWindow window(60, 40);
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    // Not a tab stop, so that the first paint gives it no focus.
    auto* control = new CControlUI;
    control->ApplyAttributeText(
        L"width=\"30\" height=\"20\" bordersize=\"1\" bordercolor=\"#FFD0D0D0\" "
        L"focusbordercolor=\"#FF000000\"");
    root->AddItem(control);
    window.manager.AttachRoot(root);
    window.Paint();
    const CUiRect box(0, 0, 30, 20);
    EXPECT_EQ(test::CountRgb(window.manager, box, 0xD0D0D0), 2 * 30 + 2 * 18);
    EXPECT_EQ(test::CountRgb(window.manager, box, 0x000000), 0);
    control->SetFocus();
    ASSERT_TRUE(control->IsFocused());
    window.Paint();
    EXPECT_EQ(test::CountRgb(window.manager, box, 0x000000), 2 * 30 + 2 * 18);
    EXPECT_EQ(test::CountRgb(window.manager, box, 0xD0D0D0), 0);
    EXPECT_EQ(test::RgbAt(window.manager, 15, 10), 0xFFFFFFu);
}

TEST(ControlPainting, BackgroundColoursAndGradient) {
    CControlUI solid;
    solid.SetAttribute(L"bkcolor", L"#FF2040FF");
    Painted painted;
    painted.Paint(solid);
    EXPECT_EQ(painted.canvas.Rgb(6, 6), 0x2040FFu);
    EXPECT_EQ(painted.canvas.Rgb(4, 4), 0xFFFFFFu);

    CControlUI transparent;
    transparent.SetAttribute(L"bkcolor", L"#00FFFFFF");
    EXPECT_NE(transparent.GetBkColor(), 0u);
    Painted clear;
    clear.canvas.Fill(0xFF808080);
    clear.Paint(transparent);
    EXPECT_EQ(clear.canvas.CountDifferent(0xFF808080), 0);

    CControlUI gradient;
    gradient.ApplyAttributeText(L"bkcolor=\"#FF000000\" bkcolor2=\"#FFFFFFFF\" gradient=\"HOR\"");
    Painted shaded;
    shaded.Paint(gradient);
    EXPECT_LT(shaded.canvas.Rgb(6, 15) & 0xFF, shaded.canvas.Rgb(33, 15) & 0xFF);
    EXPECT_EQ(shaded.canvas.Rgb(20, 6), shaded.canvas.Rgb(20, 24));
}

TEST(ControlPainting, PaintingStopsAtTheStopControl) {
    CControlUI control;
    control.SetAttribute(L"bkcolor", L"#FF000000");
    control.SetPos(CUiRect(0, 0, 10, 10), false);
    Canvas canvas(10, 10);
    EXPECT_FALSE(control.PaintRegion(canvas.Dc(), CUiRect(0, 0, 10, 10), &control));
    EXPECT_EQ(canvas.CountDifferent(0xFFFFFFFF), 0);
    EXPECT_TRUE(control.PaintRegion(canvas.Dc(), CUiRect(20, 20, 30, 30), nullptr));
    EXPECT_EQ(canvas.CountDifferent(0xFFFFFFFF), 0);
}

TEST(ControlPainting, RoundedCornersClipTheLayersAndTheClipIsRestored) {
    CControlUI control;
    control.ApplyAttributeText(L"bkcolor=\"#FF000000\" borderround=\"12,12\"");
    Painted painted;
    painted.Paint(control);
    EXPECT_EQ(painted.canvas.Rgb(5, 5), 0xFFFFFFu);
    EXPECT_EQ(painted.canvas.Rgb(20, 15), 0u);
    const HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, 0));
    const RECT corner = {0, 0, 2, 2};
    ::FillRect(painted.canvas.Dc(), &corner, brush);
    ::DeleteObject(brush);
    EXPECT_EQ(painted.canvas.Rgb(0, 0), 0u);
}

}  // namespace
}  // namespace Weft
