// Plain text and text with inline markup tags drawn into DIB sections: colours, alignment,
// fonts, links and their rectangles, inline images, line breaks and measuring.
#include <gtest/gtest.h>

#include <cwchar>

#include "tests/ui/window/RenderTestSupport.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

using test::Canvas;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

class TextPaintTest : public ::testing::Test {
  protected:
    void Plain(Canvas& c, const wchar_t* text, std::uint32_t colour, UINT format,
               CUiRect rect = CUiRect(0, 0, 100, 20)) {
        CRenderEngine::PaintPlainText(c.Dc(), &host, rect, text, colour, 0, format);
    }
    int Markup(Canvas& c, const wchar_t* text, std::uint32_t colour, UINT format,
               CUiRect rect = CUiRect(0, 0, 120, 40), CUiRect* links = nullptr,
               CUiString* names = nullptr, int slots = 0) {
        CRenderEngine::PaintMarkupText(c.Dc(), &host, rect, text, colour, links, names, slots, 0,
                                       format);
        return slots;
    }
    CUiRect Measure(const wchar_t* text, UINT format, CUiRect rect = CUiRect(0, 0, 120, 40)) {
        Canvas scratch(4, 4);
        int none = 0;
        CRenderEngine::PaintMarkupText(scratch.Dc(), &host, rect, text, 0xFF000000, nullptr,
                                       nullptr, none, 0, format | DT_CALCRECT);
        return rect;
    }
    TEXTMETRICW Metrics(HFONT font) {
        Canvas scratch(4, 4);
        const HGDIOBJ old = ::SelectObject(scratch.Dc(), font);
        TEXTMETRICW tm{};
        ::GetTextMetricsW(scratch.Dc(), &tm);
        ::SelectObject(scratch.Dc(), old);
        return tm;
    }
    SIZE Extent(HFONT font, const wchar_t* text) {
        Canvas scratch(4, 4);
        const HGDIOBJ old = ::SelectObject(scratch.Dc(), font);
        SIZE size{};
        ::GetTextExtentPoint32W(scratch.Dc(), text, static_cast<int>(std::wcslen(text)), &size);
        ::SelectObject(scratch.Dc(), old);
        return size;
    }

    test::FakeHost host;
};

TEST_F(TextPaintTest, PlainTextIsDrawnInItsColour) {
    Canvas canvas(100, 20, kWhite);
    Plain(canvas, L"MMMM", 0xFFC01020, DT_SINGLELINE);
    const int ink = canvas.CountDifferent(kWhite);
    EXPECT_GT(ink, 20);
    EXPECT_EQ(canvas.CountColour(0xC01020), ink);
}

TEST_F(TextPaintTest, PlainTextFollowsItsAlignment) {
    RECT box{};
    Canvas left(100, 20, kWhite);
    Plain(left, L"MM", 0xFF000000, DT_SINGLELINE);
    left.CountDifferent(kWhite, &box);
    EXPECT_LT(box.left, 3);

    Canvas right(100, 20, kWhite);
    Plain(right, L"MM", 0xFF000000, DT_SINGLELINE | DT_RIGHT);
    right.CountDifferent(kWhite, &box);
    EXPECT_GT(box.right, 96);

    Canvas centre(100, 20, kWhite);
    Plain(centre, L"MM", 0xFF000000, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    centre.CountDifferent(kWhite, &box);
    EXPECT_NEAR((box.left + box.right) / 2, 50, 3);
    EXPECT_NEAR((box.top + box.bottom) / 2, 10, 3);
}

TEST_F(TextPaintTest, CharacterReferenceDrawsOneCodeUnit) {
    Canvas reference(100, 20, kWhite);
    Canvas letter(100, 20, kWhite);
    Canvas literal(100, 20, kWhite);
    Plain(reference, L"&#x0041;", 0xFF000000, DT_SINGLELINE);
    Plain(letter, L"A", 0xFF000000, DT_SINGLELINE);
    EXPECT_TRUE(reference.SameAs(letter));
    EXPECT_GT(letter.CountDifferent(kWhite), 0);

    Canvas privateUse(100, 20, kWhite);
    Canvas direct(100, 20, kWhite);
    Plain(privateUse, L"&#xE001;", 0xFF000000, DT_SINGLELINE);
    const HGDIOBJ old = ::SelectObject(direct.Dc(), host.GetFont(0)->font);
    ::SetBkMode(direct.Dc(), TRANSPARENT);
    RECT rect = {0, 0, 100, 20};
    ::DrawTextW(direct.Dc(), L"\xE001", -1, &rect, DT_SINGLELINE);
    ::SelectObject(direct.Dc(), old);
    EXPECT_TRUE(privateUse.SameAs(direct));
    Plain(literal, L"&#xE001;", 0xFF000000, DT_SINGLELINE);
    Canvas spelled(100, 20, kWhite);
    Plain(spelled, L"&#xE001", 0xFF000000, DT_SINGLELINE);
    EXPECT_TRUE(spelled.SameAs(literal));
}

TEST_F(TextPaintTest, TextOnColourFillsTheBackgroundFirst) {
    Canvas canvas(60, 20, kWhite);
    CUiRect rect(0, 0, 60, 20);
    CRenderEngine::PaintTextOnColour(canvas.Dc(), &host, rect, L"M", 0xFFFFFFFF, 0, DT_SINGLELINE,
                                     0xFF102030);
    EXPECT_EQ(canvas.Rgb(59, 19), 0x102030u);
    EXPECT_GT(canvas.CountColour(0xFFFFFF), 5);
}

TEST_F(TextPaintTest, MeasuresWithTheNumberedFont) {
    Canvas canvas(4, 4);
    host.AddFont(3, L"Tahoma", 24, true, false, false, false);
    const CUiSize small = CRenderEngine::MeasureTextExtent(canvas.Dc(), &host, L"Weft", 0);
    const CUiSize large = CRenderEngine::MeasureTextExtent(canvas.Dc(), &host, L"Weft", 3);
    EXPECT_EQ(small.cx, Extent(host.GetFont(0)->font, L"Weft").cx);
    EXPECT_EQ(large.cy, Extent(host.GetFont(3)->font, L"Weft").cy);
    EXPECT_GT(large.cx, small.cx);
}

TEST_F(TextPaintTest, GdiplusTextDrawsAndMeasures) {
    host.gdiplusText = true;
    Canvas canvas(100, 20, kWhite);
    Plain(canvas, L"MMMM", 0xFF0000FF, DT_SINGLELINE);
    EXPECT_GT(canvas.CountDifferent(kWhite), 20);
    EXPECT_GT(canvas.CountColour(0x0000FF, 40), 5);
    CUiRect rect(5, 5, 100, 20);
    CRenderEngine::PaintPlainText(canvas.Dc(), &host, rect, L"MMMM", 0xFF000000, 0,
                                  DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(rect.right, 20);
    EXPECT_LT(rect.right, 100);
    EXPECT_GT(rect.bottom, 10);
}

TEST_F(TextPaintTest, LayeredHostDrawsTextThroughGdiplus) {
    Canvas gdi(100, 20, kWhite);
    Plain(gdi, L"MMMM", 0xFF000000, DT_SINGLELINE);
    host.layered = true;
    Canvas layered(100, 20, kWhite);
    Plain(layered, L"MMMM", 0xFF000000, DT_SINGLELINE);
    EXPECT_GT(layered.CountDifferent(kWhite), 20);
    EXPECT_FALSE(layered.SameAs(gdi));
    host.layered = false;
    host.gdiplusText = true;
    Canvas option(100, 20, kWhite);
    Plain(option, L"MMMM", 0xFF000000, DT_SINGLELINE);
    EXPECT_TRUE(option.SameAs(layered));
}

TEST_F(TextPaintTest, ColourTagsMakeColourRuns) {
    Canvas canvas(120, 40, kWhite);
    Markup(canvas, L"<c #FF0000>xx</c>yy", 0xFF000000, DT_SINGLELINE);
    int redRight = -1;
    int blackLeft = 1000;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (canvas.Rgb(x, y) == 0xFF0000) {
                redRight = std::max(redRight, x);
            } else if (canvas.Rgb(x, y) == 0) {
                blackLeft = std::min(blackLeft, x);
            }
        }
    }
    ASSERT_GE(redRight, 0);
    ASSERT_LT(blackLeft, 1000);
    EXPECT_LT(redRight, blackLeft);

    Canvas angle(120, 40, kWhite);
    Canvas brace(120, 40, kWhite);
    Markup(angle, L"<c #FF0000>x</c>", 0xFF000000, DT_SINGLELINE);
    Markup(brace, L"{c FF0000}x{/c}", 0xFF000000, DT_SINGLELINE);
    EXPECT_TRUE(angle.SameAs(brace));
    EXPECT_EQ(angle.CountDifferent(kWhite), angle.CountColour(0xFF0000));
}

TEST_F(TextPaintTest, BoldTagUsesTheBoldVariantOfTheFont) {
    const LONG plain = Measure(L"abc", DT_SINGLELINE).Width();
    const LONG marked = Measure(L"a<b>b</b>c", DT_SINGLELINE).Width();
    EXPECT_GT(marked, plain);
    EXPECT_NE(host.FindFont(L"Tahoma", 13, true, false, false), nullptr);
    EXPECT_EQ(host.fontsAdded, 1);
    // The variant is found, not made again.
    Measure(L"<b>b</b>", DT_SINGLELINE);
    EXPECT_EQ(host.fontsAdded, 1);
}

TEST_F(TextPaintTest, EscapesDrawTheBracketsThemselves) {
    Canvas escaped(120, 40, kWhite);
    Canvas plain(120, 40, kWhite);
    Markup(escaped, L"<{>", 0xFF000000, DT_SINGLELINE);
    Markup(plain, L"{", 0xFF000000, DT_SINGLELINE);
    EXPECT_GT(plain.CountDifferent(kWhite), 0);
    EXPECT_TRUE(escaped.SameAs(plain));

    Canvas angle(120, 40, kWhite);
    Canvas direct(120, 40, kWhite);
    Markup(angle, L"{<}", 0xFF000000, DT_SINGLELINE);
    Markup(direct, L"<", 0xFF000000, DT_SINGLELINE);
    EXPECT_GT(direct.CountDifferent(kWhite), 0);
    EXPECT_TRUE(angle.SameAs(direct));
}

TEST_F(TextPaintTest, LinkFillsItsSlotWithNameAndRectangle) {
    Canvas canvas(120, 40, kWhite);
    CUiRect links[2];
    CUiString names[2];
    const int used = Markup(canvas, L"<a home>Home</a>", 0, DT_SINGLELINE, CUiRect(4, 6, 120, 40),
                            links, names, 1);
    ASSERT_EQ(used, 1);
    EXPECT_STREQ(names[0].GetData(), L"home");
    const HFONT underlined = host.FindFont(L"Tahoma", 13, false, true, false);
    ASSERT_NE(underlined, nullptr);
    const TEXTMETRICW tm = Metrics(underlined);
    EXPECT_EQ(links[0].left, 4);
    EXPECT_EQ(links[0].top, 6);
    EXPECT_EQ(links[0].right, 4 + Extent(underlined, L"Home").cx);
    EXPECT_EQ(links[0].bottom, 6 + tm.tmHeight + tm.tmExternalLeading);
    EXPECT_TRUE(names[1].IsEmpty());
    // Without a colour of its own the link is drawn in the host's link colour.
    EXPECT_EQ(canvas.CountDifferent(kWhite), canvas.CountColour(0x0000FF));

    Canvas unslotted(120, 40, kWhite);
    EXPECT_EQ(Markup(unslotted, L"<a home>Home</a>", 0, DT_SINGLELINE, CUiRect(4, 6, 120, 40),
                     links, names, 0),
              0);
    EXPECT_GT(unslotted.CountColour(0x0000FF), 10);
}

TEST_F(TextPaintTest, LinkUnderTheMouseTakesTheHoverColour) {
    Canvas first(120, 40, kWhite);
    CUiRect links[1];
    CUiString names[1];
    ASSERT_EQ(Markup(first, L"<a go>Go there</a>", 0, DT_SINGLELINE, CUiRect(0, 0, 120, 40), links,
                     names, 1),
              1);
    host.mouse = {links[0].left + 3, links[0].top + 3};
    Canvas hovered(120, 40, kWhite);
    Markup(hovered, L"<a go>Go there</a>", 0, DT_SINGLELINE, CUiRect(0, 0, 120, 40), links, names,
           1);
    EXPECT_GT(hovered.CountColour(0xD3215F), 10);
    EXPECT_EQ(hovered.CountColour(0x0000FF), 0);
}

TEST_F(TextPaintTest, LinkOverALineBreakGetsOneSlotPerLine) {
    Canvas canvas(120, 60, kWhite);
    CUiRect links[3];
    CUiString names[3];
    const int width = Extent(host.GetFont(0)->font, L"aaaa bb").cx;
    const int used = Markup(canvas, L"<a go>aaaa bbbb</a>", 0, DT_WORDBREAK,
                            CUiRect(0, 0, width, 60), links, names, 3);
    ASSERT_EQ(used, 2);
    EXPECT_STREQ(names[0].GetData(), L"go");
    EXPECT_STREQ(names[1].GetData(), L"go");
    EXPECT_EQ(links[0].top, 0);
    EXPECT_EQ(links[1].top, links[0].bottom);
    EXPECT_EQ(links[1].left, 0);
    EXPECT_GT(links[1].right, 0);
}

TEST_F(TextPaintTest, CalcRectGivesTheTextHeightAndAtMostItsWidth) {
    const TEXTMETRICW tm = Metrics(host.GetFont(0)->font);
    const int line = tm.tmHeight + tm.tmExternalLeading;
    const CUiRect one = Measure(L"ab", 0, CUiRect(0, 0, 120, 5));
    EXPECT_EQ(one.bottom, line);
    EXPECT_EQ(one.right, Extent(host.GetFont(0)->font, L"ab").cx);
    EXPECT_EQ(Measure(L"a\nb", 0).bottom, 2 * line);
    EXPECT_EQ(Measure(L"a<n>b", 0).bottom, 2 * line);
    EXPECT_EQ(Measure(L"a<n>b", DT_SINGLELINE).bottom, line);
    const CUiRect wrapped = Measure(L"a much longer line of text", 0, CUiRect(0, 0, 30, 5));
    EXPECT_LE(wrapped.right, 30);
    EXPECT_GT(wrapped.right, 20);
    EXPECT_GT(wrapped.bottom, 2 * line);
}

TEST_F(TextPaintTest, InlineImageSitsAfterTheTextAndRaisesTheLine) {
    host.AddImage(L"block.png", test::TestImage(6, 30, 0xFF00A000));
    Canvas canvas(120, 40, kWhite);
    Markup(canvas, L"x<i block.png>", 0xFF000000, DT_SINGLELINE);
    RECT box{};
    ASSERT_EQ(canvas.CountColour(0x00A000), 6 * 30);
    const int after = Extent(host.GetFont(0)->font, L"x").cx;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (canvas.Rgb(x, y) == 0x00A000) {
                box.left = box.right == 0 ? x : std::min<LONG>(box.left, x);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    EXPECT_EQ(box.left, after);
    EXPECT_EQ(box.right, after + 6);
    EXPECT_EQ(box.bottom, 30);
    EXPECT_EQ(Measure(L"x<i block.png>", DT_SINGLELINE).bottom, 30);

    // Two frames of 3: the second frame is drawn, 3 pixels wide.
    test::TestImage frames(6, 4, 0xFFFF0000);
    frames.FillRect(3, 0, 6, 4, 0xFF0000FF);
    host.AddImage(L"frames.png", frames);
    Canvas framed(120, 40, kWhite);
    Markup(framed, L"<i frames.png 2 1>", 0xFF000000, DT_SINGLELINE);
    EXPECT_EQ(framed.CountColour(0x0000FF), 12);
    EXPECT_EQ(framed.CountColour(0xFF0000), 0);
}

TEST_F(TextPaintTest, SelectionDrawsAnOpaqueBackground) {
    Canvas canvas(120, 40, kWhite);
    Markup(canvas, L"a<s>bc</s>d", 0xFF000000, DT_SINGLELINE);
    EXPECT_GT(canvas.CountColour(0xBAE4FF), 20);
    Canvas none(120, 40, kWhite);
    Markup(none, L"abcd", 0xFF000000, DT_SINGLELINE);
    EXPECT_EQ(none.CountColour(0xBAE4FF), 0);
}

TEST_F(TextPaintTest, CentredMarkupSitsInTheMiddle) {
    Canvas canvas(120, 40, kWhite);
    Markup(canvas, L"M<b>M</b>M", 0xFF000000, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    RECT box{};
    canvas.CountDifferent(kWhite, &box);
    EXPECT_NEAR((box.left + box.right) / 2, 60, 3);
    EXPECT_NEAR((box.top + box.bottom) / 2, 20, 4);
}

TEST_F(TextPaintTest, CentredLinesMoveAsAWhole) {
    Canvas canvas(120, 40, kWhite);
    Markup(canvas, L"MM<b>MM</b>MM", 0xFF000000, DT_CENTER);
    RECT box{};
    canvas.CountDifferent(kWhite, &box);
    const LONG width = Measure(L"MM<b>MM</b>MM", DT_SINGLELINE).Width();
    // Runs in different fonts keep their places side by side instead of each being centred.
    EXPECT_GE(box.right - box.left, width - 2);
    EXPECT_NEAR((box.left + box.right) / 2, 60, 3);

    Canvas right(120, 40, kWhite);
    Markup(right, L"MM<b>MM</b>", 0xFF000000, DT_RIGHT);
    right.CountDifferent(kWhite, &box);
    EXPECT_GT(box.right, 116);
    EXPECT_GE(box.right - box.left, Measure(L"MM<b>MM</b>", DT_SINGLELINE).Width() - 2);
}

TEST_F(TextPaintTest, ChineseFaceDrawsRealGlyphs) {
    Canvas first(160, 40, kWhite);
    Canvas swapped(160, 40, kWhite);
    Markup(first, L"<f 微软雅黑 16>中文</f>", 0xFF000000, DT_SINGLELINE, CUiRect(0, 0, 160, 40));
    Markup(swapped, L"<f 微软雅黑 16>文中</f>", 0xFF000000, DT_SINGLELINE, CUiRect(0, 0, 160, 40));
    EXPECT_NE(host.FindFont(L"微软雅黑", 16, false, false, false), nullptr);
    EXPECT_GT(first.CountDifferent(kWhite), 40);
    // Missing glyphs would draw the same two boxes in either order.
    EXPECT_FALSE(first.SameAs(swapped));
}

TEST_F(TextPaintTest, PositionAndLineHeightTags) {
    const HFONT font = host.GetFont(0)->font;
    const TEXTMETRICW tm = Metrics(font);
    const int line = tm.tmHeight + tm.tmExternalLeading;
    EXPECT_EQ(Measure(L"ab<x 7>", DT_SINGLELINE).right, Extent(font, L"ab").cx + 7);
    EXPECT_EQ(Measure(L"<y 30>ab", 0).bottom, 30);
    // A paragraph starts and ends its own lines; its spacing counts in every line that starts
    // while it is open, the one its closing tag moves to included.
    EXPECT_EQ(Measure(L"<p 5>b</p>c", 0).bottom, (line + 5) + (line + 5));
    // Closing at the end of the text, it adds no empty line.
    EXPECT_EQ(Measure(L"a<p 5>b</p>", 0).bottom, line + (line + 5));
    EXPECT_EQ(Measure(L"<p 5>b</p>", 0).bottom, line + 5);
}

TEST_F(TextPaintTest, RawTextIsDrawnLiterally) {
    Canvas raw(200, 40, kWhite);
    Canvas literal(200, 40, kWhite);
    Canvas bold(200, 40, kWhite);
    Markup(raw, L"<r><b>x</b></r>", 0xFF000000, DT_SINGLELINE, CUiRect(0, 0, 200, 40));
    // The escapes draw the same characters as one piece each, so a face that kerns may place
    // them up to a pixel apart from one run: the promise is the same characters in the same
    // place, not the same bits.
    Markup(literal, L"{<}b{>}x{<}/b{>}", 0xFF000000, DT_SINGLELINE, CUiRect(0, 0, 200, 40));
    EXPECT_EQ(host.fontsAdded, 0);
    Markup(bold, L"<b>x</b>", 0xFF000000, DT_SINGLELINE, CUiRect(0, 0, 200, 40));
    RECT rawBox{}, literalBox{}, boldBox{};
    const int rawInk = raw.CountDifferent(kWhite, &rawBox);
    const int literalInk = literal.CountDifferent(kWhite, &literalBox);
    bold.CountDifferent(kWhite, &boldBox);
    EXPECT_GT(rawInk, 20);
    EXPECT_NEAR(rawBox.left, literalBox.left, 1);
    EXPECT_NEAR(rawBox.right, literalBox.right, 6);  // a pixel for each of the six seams
    EXPECT_NEAR(rawBox.top, literalBox.top, 1);
    EXPECT_NEAR(rawBox.bottom, literalBox.bottom, 1);
    EXPECT_NEAR(rawInk, literalInk, literalInk / 10);
    // Interpreted, the tags would leave one bold x: far narrower than the literal text.
    EXPECT_GT(rawBox.right - rawBox.left, 3 * (boldBox.right - boldBox.left));
    EXPECT_EQ(Measure(L"<r><b>x</b></r>", DT_SINGLELINE).Height(),
              Measure(L"{<}b{>}x{<}/b{>}", DT_SINGLELINE).Height());
}

TEST_F(TextPaintTest, FontTagsPushAndPopTheirFonts) {
    host.AddFont(4, L"Tahoma", 26, false, false, false, false);
    const LONG big = Measure(L"<f 4>W</f>", DT_SINGLELINE).Width();
    EXPECT_EQ(big, Extent(host.GetFont(4)->font, L"W").cx);
    // After the closing tag the starting font is back.
    EXPECT_EQ(Measure(L"<f 4>W</f>W", DT_SINGLELINE).Width(),
              big + Extent(host.GetFont(0)->font, L"W").cx);
    EXPECT_EQ(
        Measure(L"<f 4>W</f>", DT_SINGLELINE).bottom,
        Metrics(host.GetFont(4)->font).tmHeight + Metrics(host.GetFont(4)->font).tmExternalLeading);
    // An unmatched closing tag never removes the starting font.
    EXPECT_EQ(Measure(L"</b></f>W", DT_SINGLELINE).Width(), Extent(host.GetFont(0)->font, L"W").cx);
    Measure(L"<u>a</u><i>b</i>", DT_SINGLELINE);
    EXPECT_NE(host.FindFont(L"Tahoma", 13, false, true, false), nullptr);
    EXPECT_NE(host.FindFont(L"Tahoma", 13, false, false, true), nullptr);
    Measure(L"<f Tahoma 18 Bold italic>a</f>", DT_SINGLELINE);
    EXPECT_NE(host.FindFont(L"Tahoma", 18, true, false, true), nullptr);
}

TEST_F(TextPaintTest, UnknownTagsAreSkipped) {
    Canvas tagged(120, 40, kWhite);
    Canvas plain(120, 40, kWhite);
    Markup(tagged, L"a<q whatever>b{z}c", 0xFF000000, DT_SINGLELINE);
    Markup(plain, L"abc", 0xFF000000, DT_SINGLELINE);
    EXPECT_TRUE(tagged.SameAs(plain));
}

TEST_F(TextPaintTest, EllipsisMarksACutRun) {
    const HFONT font = host.GetFont(0)->font;
    const int width = Extent(font, L"abcdef").cx;
    Canvas cut(120, 40, kWhite);
    Markup(cut, L"abcdefghijklmnop", 0xFF000000, DT_SINGLELINE | DT_END_ELLIPSIS,
           CUiRect(0, 0, width, 20));
    Canvas whole(120, 40, kWhite);
    Markup(whole, L"abcdefghijklmnop", 0xFF000000, DT_SINGLELINE, CUiRect(0, 0, width, 20));
    EXPECT_FALSE(cut.SameAs(whole));
    // The run lost two characters and gained the dots.
    const CUiRect measured =
        Measure(L"abcdefghijklmnop", DT_SINGLELINE | DT_END_ELLIPSIS, CUiRect(0, 0, width, 20));
    EXPECT_EQ(measured.right, std::min<LONG>(width, Extent(font, L"abcd...").cx));
}

TEST_F(TextPaintTest, NothingWithoutTextHostOrRoom) {
    Canvas canvas(40, 20, kWhite);
    CUiRect rect(0, 0, 40, 20);
    int slots = 1;
    CRenderEngine::PaintMarkupText(canvas.Dc(), nullptr, rect, L"x", 0xFF000000, nullptr, nullptr,
                                   slots, 0, 0);
    EXPECT_EQ(slots, 0);
    CUiRect empty(5, 5, 5, 5);
    CRenderEngine::PaintMarkupText(canvas.Dc(), &host, empty, L"x", 0xFF000000, nullptr, nullptr,
                                   slots, 0, 0);
    CRenderEngine::PaintPlainText(canvas.Dc(), &host, rect, nullptr, 0xFF000000, 0, 0);
    EXPECT_EQ(canvas.CountDifferent(kWhite), 0);
}

}  // namespace
}  // namespace Weft
