// The image attribute language: keys, separators, malformed pairs and the scaled file name.
#include <gtest/gtest.h>

#include "tests/ui/window/RenderTestSupport.h"
#include "ui/window/DrawingDescription.h"

namespace Weft {
namespace {

DrawingDescription Parse(const wchar_t* image, const wchar_t* modifier = L"",
                         IRenderHostUI* host = nullptr) {
    DrawingDescription d;
    d.fade = 3;  // a leftover value the parse must reset
    ParseImageDescription(d, image, modifier, host);
    return d;
}

void ExpectRect(const CUiRect& r, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(ParseImageDescription, BareNameKeepsEveryDefault) {
    const DrawingDescription d = Parse(L"btn.png");
    EXPECT_STREQ(d.imageName.GetData(), L"btn.png");
    EXPECT_STREQ(d.sourceText.GetData(), L"btn.png");
    EXPECT_TRUE(d.modifierText.IsEmpty());
    EXPECT_TRUE(d.resourceType.IsEmpty());
    EXPECT_EQ(d.fade, 255u);
    EXPECT_EQ(d.rotate, 0u);
    EXPECT_EQ(d.mask, 0u);
    EXPECT_FALSE(d.hole || d.xTiled || d.yTiled || d.gdiplus);
    ExpectRect(d.dest, 0, 0, 0, 0);
    ExpectRect(d.corner, 0, 0, 0, 0);
    EXPECT_EQ(d.size.cx, 0);
}

TEST(ParseImageDescription, ScaledHostRewritesTheFileName) {
    test::FakeHost host;
    host.scale = 150;
    EXPECT_STREQ(Parse(L"btn.png", L"", &host).imageName.GetData(), L"btn@150.png");
    host.scale = 100;
    EXPECT_STREQ(Parse(L"btn.png", L"", &host).imageName.GetData(), L"btn.png");
}

TEST(ParseImageDescription, ReadsPairsSeparatedByOneOrMoreBlanks) {
    DrawingDescription d = Parse(L"file='a.png' corner='4,4,4,4' hole='true'");
    EXPECT_STREQ(d.imageName.GetData(), L"a.png");
    ExpectRect(d.corner, 4, 4, 4, 4);
    EXPECT_TRUE(d.hole);

    d = Parse(L"file='a.png'  dest='1,2,3,4'");
    EXPECT_STREQ(d.imageName.GetData(), L"a.png");
    ExpectRect(d.dest, 1, 2, 3, 4);

    d = Parse(L"file='a.png',dest='1,2,3,4'");
    EXPECT_STREQ(d.imageName.GetData(), L"a.png");
    ExpectRect(d.dest, 0, 0, 0, 0);
}

TEST(ParseImageDescription, AppliesEveryKey) {
    const DrawingDescription d = Parse(
        L"res='7' restype='PNG' dest='1,2,30,40' source='5,6,7,8' corner='1;2;3;4' "
        L"mask='#FFFF00FF' fade='128' xtiled='TRUE' ytiled='yes' size='16,12' "
        L"align='right,bottom' padding='0,0,2,2' gdiplus='false'");
    EXPECT_STREQ(d.imageName.GetData(), L"7");
    EXPECT_STREQ(d.resourceType.GetData(), L"PNG");
    ExpectRect(d.dest, 1, 2, 30, 40);
    ExpectRect(d.source, 5, 6, 7, 8);
    ExpectRect(d.corner, 1, 2, 3, 4);
    EXPECT_EQ(d.mask, 0xFFFF00FFu);
    EXPECT_EQ(d.fade, 128u);
    EXPECT_TRUE(d.xTiled);
    EXPECT_FALSE(d.yTiled);
    EXPECT_EQ(d.size.cx, 16);
    EXPECT_EQ(d.size.cy, 12);
    EXPECT_STREQ(d.align.GetData(), L"right,bottom");
    ExpectRect(d.padding, 0, 0, 2, 2);
    EXPECT_FALSE(d.gdiplus);
    EXPECT_FALSE(d.hole);
}

TEST(ParseImageDescription, RotateForcesGdiplusAndMaskTakesNoHash) {
    const DrawingDescription d = Parse(L"file='r.png' rotate='90' mask='ff00ff00'");
    EXPECT_EQ(d.rotate, 90u);
    EXPECT_TRUE(d.gdiplus);
    EXPECT_EQ(d.mask, 0xFF00FF00u);
}

TEST(ParseImageDescription, ModifierTextOverridesTheImageText) {
    const DrawingDescription d = Parse(L"file='a.png' fade='10'", L"fade='200' file='b.png'");
    EXPECT_EQ(d.fade, 200u);
    EXPECT_STREQ(d.imageName.GetData(), L"b.png");
    EXPECT_STREQ(d.sourceText.GetData(), L"file='a.png' fade='10'");
    EXPECT_STREQ(d.modifierText.GetData(), L"fade='200' file='b.png'");
}

TEST(ParseImageDescription, IgnoresUnknownCaseChangedAndEmptyKeys) {
    const DrawingDescription d = Parse(L"FILE='x.png' fade='' colour='red' hole='true'");
    EXPECT_STREQ(d.imageName.GetData(), L"FILE='x.png' fade='' colour='red' hole='true'");
    EXPECT_EQ(d.fade, 255u);
    EXPECT_TRUE(d.hole);
}

TEST(ParseImageDescription, MalformedPairsStopTheParseButKeepEarlierPairs) {
    EXPECT_EQ(Parse(L"fade='9' file 'x.png'").fade, 9u);
    EXPECT_STREQ(Parse(L"fade='9' file=x.png hole='true'").imageName.GetData(),
                 L"fade='9' file=x.png hole='true'");
    EXPECT_FALSE(Parse(L"fade='9' file=x.png hole='true'").hole);
    const DrawingDescription open = Parse(L"fade='9' file='x.png");
    EXPECT_EQ(open.fade, 9u);
    EXPECT_STREQ(open.imageName.GetData(), L"fade='9' file='x.png");
    EXPECT_EQ(Parse(L"fade = '7'").fade, 7u);
}

}  // namespace
}  // namespace Weft
