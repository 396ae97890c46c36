// The label and the text control: attribute paths into the text style, colour defaults taken
// from the manager at paint time, measurement for the layouts, links of the text control.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestSupport.h"
#include "tests/ui/controls/WidgetTestSupport.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/TextUI.h"

namespace Weft {
namespace {

constexpr std::uint32_t kSingle = DT_SINGLELINE;
constexpr std::uint32_t kVCenter = DT_VCENTER;

TEST(LabelAttributes, AlignWordsApplyInOrderAndKeepTheVerticalBits) {
    CLabelUI label;
    EXPECT_EQ(label.GetTextStyle(), kVCenter | kSingle);
    label.SetAttribute(L"align", L"right");
    EXPECT_EQ(label.GetTextStyle(), kVCenter | kSingle | DT_RIGHT);
    label.SetAttribute(L"align", L"center");
    EXPECT_EQ(label.GetTextStyle(), kVCenter | kSingle | DT_CENTER);
    label.SetAttribute(L"align", L"left");
    EXPECT_EQ(label.GetTextStyle(), kVCenter | kSingle);
    // Both words found: "left" then "right" applies last.
    label.SetAttribute(L"ALIGN", L"left right");
    EXPECT_EQ(label.GetTextStyle(), kVCenter | kSingle | DT_RIGHT);
    // The words themselves are case-sensitive.
    label.SetAttribute(L"align", L"CENTER");
    EXPECT_EQ(label.GetTextStyle(), kVCenter | kSingle | DT_RIGHT);
}

TEST(LabelAttributes, ValignAndWordbreakSwitchLineModes) {
    CLabelUI label;
    label.SetAttribute(L"wordbreak", L"true");
    EXPECT_EQ(label.GetTextStyle(), kVCenter | DT_WORDBREAK | DT_EDITCONTROL);
    label.SetAttribute(L"valign", L"top");
    EXPECT_EQ(label.GetTextStyle(), kSingle | DT_EDITCONTROL);
    label.SetAttribute(L"valign", L"bottom");
    EXPECT_EQ(label.GetTextStyle(), kSingle | DT_EDITCONTROL | DT_BOTTOM);
    label.SetAttribute(L"valign", L"vcenter");
    EXPECT_EQ(label.GetTextStyle(), kSingle | DT_EDITCONTROL | kVCenter);
    label.SetAttribute(L"wordbreak", L"false");
    EXPECT_EQ(label.GetTextStyle(), kSingle | kVCenter);
    label.SetAttribute(L"endellipsis", L"true");
    label.SetAttribute(L"noprefix", L"true");
    EXPECT_EQ(label.GetTextStyle(), kSingle | kVCenter | DT_END_ELLIPSIS | DT_NOPREFIX);
    label.SetAttribute(L"endellipsis", L"false");
    EXPECT_EQ(label.GetTextStyle(), kSingle | kVCenter | DT_NOPREFIX);
}

TEST(LabelAttributes, ColoursFontsPaddingAndFallThrough) {
    CLabelUI label;
    label.SetAttribute(L"textcolor", L"#FF112233");
    label.SetAttribute(L"disabledtextcolor", L"FF445566");
    label.SetAttribute(L"font", L"3");
    label.SetAttribute(L"textpadding", L"1,2,3,4");
    label.SetAttribute(L"showhtml", L"true");
    label.SetAttribute(L"autocalcwidth", L"true");
    label.SetAttribute(L"bkcolor", L"#FF010203");
    EXPECT_EQ(label.GetTextColor(), 0xFF112233u);
    EXPECT_EQ(label.GetDisabledTextColor(), 0xFF445566u);
    EXPECT_EQ(label.GetFont(), 3);
    test::ExpectRect(label.GetTextPadding(), 1, 2, 3, 4);
    EXPECT_TRUE(label.IsShowHtml());
    EXPECT_TRUE(label.IsAutoCalcWidth());
    EXPECT_FALSE(label.IsAutoCalcHeight());
    EXPECT_EQ(label.GetBkColor(), 0xFF010203u);
    // Only '#' is skipped: a leading blank reads as no colour.
    label.SetAttribute(L"textcolor", L" #FF112233");
    EXPECT_EQ(label.GetTextColor(), 0u);
}

TEST(LabelClass, NamesFlagsAndCasts) {
    CLabelUI label;
    EXPECT_STREQ(label.ClassName(), L"LabelUI");
    EXPECT_EQ(label.CastTo(L"Label"), &label);
    EXPECT_EQ(label.CastTo(L"Button"), nullptr);
    EXPECT_EQ(label.Flags(), kFlagSetCursor);
    label.SetEnabled(false);
    EXPECT_EQ(label.Flags(), 0u);
}

TEST(LabelPaint, ZeroColoursTakeTheManagersDefaultsAtPaint) {
    test::HostWindow window(300, 60);
    auto* label = new CLabelUI;
    label->SetText(L"Status");
    label->SetAttribute(L"textcolor", L"#00000000");
    window.manager.Resources().SetDefaultColour(DefaultColour::Text, 0xFF123456);
    window.manager.AttachRoot(label);
    EXPECT_EQ(label->GetTextColor(), 0u);
    window.Paint();
    EXPECT_EQ(label->GetTextColor(), 0xFF123456u);
    EXPECT_EQ(label->GetDisabledTextColor(), 0xFFA7A6AAu);
    EXPECT_GT(test::CountRgb(window.manager, label->GetPos(), 0x123456), 0);
}

TEST(LabelPaint, DisabledLabelDrawsInTheDisabledColour) {
    test::HostWindow window(300, 60);
    auto* label = new CLabelUI;
    label->SetText(L"Status");
    label->SetAttribute(L"textcolor", L"#FF0000FF");
    label->SetAttribute(L"disabledtextcolor", L"#FFFF0000");
    window.manager.AttachRoot(label);
    window.Paint();
    EXPECT_GT(test::CountRgb(window.manager, label->GetPos(), 0x0000FF), 0);
    label->SetEnabled(false);
    window.Paint();
    EXPECT_EQ(test::CountRgb(window.manager, label->GetPos(), 0x0000FF), 0);
    EXPECT_GT(test::CountRgb(window.manager, label->GetPos(), 0xFF0000), 0);
}

TEST(LabelMeasure, SingleLineHeightComesFromTheFont) {
    test::HostWindow window(300, 60);
    auto* label = new CLabelUI;
    label->SetAttribute(L"textpadding", L"0,3,0,5");
    window.manager.AttachRoot(label);
    const int fontHeight = window.manager.GetFont(-1)->metrics.tmHeight;
    ASSERT_GT(fontHeight, 0);
    EXPECT_EQ(label->MeasureSize(SIZE{300, 60}).cy, fontHeight + 8 + 8);
    EXPECT_EQ(label->MeasureSize(SIZE{300, 60}).cx, 0);
    label->SetFixedWidth(40);
    label->SetFixedHeight(20);
    EXPECT_EQ(label->MeasureSize(SIZE{300, 60}).cx, 40);
    EXPECT_EQ(label->MeasureSize(SIZE{300, 60}).cy, 20);
}

TEST(LabelMeasure, AutoWidthTakesTheTextWidthInAHorizontalLayout) {
    test::HostWindow window(400, 40);
    auto* row = new CHorizontalLayoutUI;
    auto* sized = new CLabelUI;
    auto* stretched = new CLabelUI;
    sized->SetText(L"Check again");
    sized->SetAttribute(L"autocalcwidth", L"true");
    sized->SetAttribute(L"textpadding", L"6,0,4,0");
    stretched->SetText(L"Check again");
    row->AddItem(sized);
    row->AddItem(stretched);
    window.manager.AttachRoot(row);
    window.Paint();
    const int textWidth = test::TextWidth(window.manager, L"Check again");
    ASSERT_GT(textWidth, 20);
    EXPECT_EQ(sized->GetWidth(), textWidth + 10);
    EXPECT_EQ(stretched->GetWidth(), 400 - textWidth - 10);
}

// At 150 % font 1 of 12 asks for 18 pixels to the em, and the padding 6,0,4,0 becomes 9,0,6,0: a
// label and a text control sized by their text are that text's width plus 15.
TEST(LabelMeasure, AutoWidthAt150PercentIsTheScaledTextAndPadding) {
    test::HostWindow window(600, 60, 150);
    window.manager.AddFont(1, L"微软雅黑", 12, false, false, false, false);
    auto* row = new CHorizontalLayoutUI;
    auto* label = new CLabelUI;
    auto* text = new CTextUI;
    for (CLabelUI* sized : {label, static_cast<CLabelUI*>(text)}) {
        sized->ApplyAttributeText(L"font=\"1\" autocalcwidth=\"true\" textpadding=\"6,0,4,0\"");
        sized->SetText(L"Check again");
        row->AddItem(sized);
    }
    auto* rest = new CControlUI;
    row->AddItem(rest);
    window.manager.AttachRoot(row);
    window.Paint();
    LOGFONTW font = {};
    ASSERT_NE(::GetObjectW(window.manager.GetFont(1)->font, sizeof(font), &font), 0);
    EXPECT_EQ(font.lfHeight, -18);
    const int textWidth = test::TextWidth(window.manager, L"Check again", 1);
    ASSERT_GT(textWidth, 40);
    EXPECT_EQ(label->GetWidth(), textWidth + 15);
    EXPECT_EQ(text->GetWidth(), textWidth + 15);
    EXPECT_EQ(rest->GetPos().left, 2 * (textWidth + 15));
}

// A new text measures again: the next layout gives the label the new text's width.
TEST(LabelMeasure, AutoWidthFollowsANewText) {
    for (const int scale : {100, 150}) {
        SCOPED_TRACE(scale);
        test::HostWindow window(600, 60, scale);
        auto* row = new CHorizontalLayoutUI;
        auto* label = new CLabelUI;
        label->SetAttribute(L"autocalcwidth", L"true");
        label->SetText(L"Check");
        row->AddItem(label);
        row->AddItem(new CControlUI);
        window.manager.AttachRoot(row);
        window.Paint();
        EXPECT_EQ(label->GetWidth(), test::TextWidth(window.manager, L"Check"));
        label->SetText(L"Check the boot manager again");
        window.Paint();
        EXPECT_EQ(label->GetWidth(),
                  test::TextWidth(window.manager, L"Check the boot manager again"));
    }
}

TEST(LabelMeasure, AutoHeightWrapsTheText) {
    test::HostWindow window(100, 300);
    auto* label = new CLabelUI;
    label->SetAttribute(L"wordbreak", L"true");
    label->SetAttribute(L"autocalcheight", L"true");
    label->SetFixedWidth(60);
    label->SetText(L"one two three four five six seven");
    window.manager.AttachRoot(label);
    const int lineHeight = window.manager.GetFont(-1)->metrics.tmHeight;
    const CUiSize size = label->MeasureSize(SIZE{100, 300});
    EXPECT_EQ(size.cx, 60);
    EXPECT_GE(size.cy, 3 * lineHeight);
}

TEST(TextControl, LinksAreFoundAndClickedByIndex) {
    test::HostWindow window(300, 80);
    auto* text = new CTextUI;
    text->SetText(L"See {a first}one{/a} and {a second}two{/a}");
    window.manager.AttachRoot(text);
    EXPECT_STREQ(text->ClassName(), L"TextUI");
    EXPECT_EQ(text->CastTo(L"Label"), text);
    EXPECT_EQ(text->Flags(), 0u);
    window.Paint();
    ASSERT_EQ(text->GetLinkCount(), 2);
    EXPECT_EQ(text->Flags(), kFlagSetCursor);
    const CUiRect second = text->GetLinkRect(1);
    const int x = (second.left + second.right) / 2;
    const int y = (second.top + second.bottom) / 2;
    window.Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, x, y);
    ASSERT_EQ(window.CountHeard(L"link"), 1);
    EXPECT_EQ(window.heard.back().wParam, 1u);
    // Outside every link a release sends nothing.
    window.Mouse(WM_LBUTTONDOWN, 295, 75, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 295, 75);
    EXPECT_EQ(window.CountHeard(L"link"), 1);
}

TEST(LabelSample, SavesAPictureOfLabels) {
    test::HostWindow window(360, 90);
    auto* column = new CVerticalLayoutUI;
    column->SetBkColor(0xFFFFFFFF);
    auto* title = new CLabelUI;
    title->SetText(L"Secure Boot certificates");
    title->SetAttribute(L"textcolor", L"#FF1F3A5F");
    title->SetAttribute(L"textpadding", L"8,0,8,0");
    auto* status = new CLabelUI;
    status->SetText(L"Ready — <b>bold</b> markup");
    status->SetAttribute(L"showhtml", L"true");
    status->SetAttribute(L"align", L"right");
    status->SetAttribute(L"bkcolor", L"#FFF4F4F4");
    status->SetAttribute(L"textpadding", L"8,0,8,0");
    column->AddItem(title);
    column->AddItem(status);
    window.manager.AttachRoot(column);
    window.Paint();
    EXPECT_GT(test::CountRgb(window.manager, title->GetPos(), 0x1F3A5F), 0);
    EXPECT_TRUE(test::SaveOffscreenPng(window.manager, WEFT_WIDGET_DIR L"\\label-sample.png"));
}

}  // namespace
}  // namespace Weft
