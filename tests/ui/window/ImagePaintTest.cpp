// Drawing images by description: stretching, nine-slice corners, tiling, fading, masks,
// dest/source, aligned boxes and rotation, read back from 32-bit DIB sections.
#include <gtest/gtest.h>

#include <memory>

#include "tests/ui/window/RenderTestSupport.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

using test::Canvas;
using test::TestImage;

constexpr std::uint32_t kBack = 0xFFFFFFFF;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0xFF00C000;

class ImagePaintTest : public ::testing::Test {
  protected:
    bool Paint(const wchar_t* text, const CUiRect& control, const CUiRect& paint,
               const wchar_t* modifier = L"") {
        return CRenderEngine::PaintImageText(canvas.Dc(), &host, control, paint, text, modifier,
                                             nullptr);
    }
    bool Paint(const wchar_t* text, const CUiRect& control) {
        return Paint(text, control, CUiRect(0, 0, canvas.Width(), canvas.Height()));
    }

    // 12 × 12: corners of 4 with a marked pixel each, red edges, blue middle.
    void AddSliceImage() {
        TestImage image(12, 12, kRed);
        image.FillRect(4, 4, 8, 8, kBlue);
        for (auto [x, y] : {std::pair{0, 0}, {8, 0}, {0, 8}, {8, 8}}) {
            image.FillRect(x, y, x + 4, y + 4, kGreen);
            image.At(x + 1, y + 2) = 0xFF000000;
        }
        host.AddImage(L"slice.png", image);
    }

    test::FakeHost host;
    Canvas canvas{64, 48, kBack};
};

TEST_F(ImagePaintTest, StretchesTheWholeImageOverTheControl) {
    TestImage image(8, 8, kRed);
    image.FillRect(4, 0, 8, 4, kBlue);
    image.FillRect(0, 4, 4, 8, kBlue);
    host.AddImage(L"quad.png", image);
    ASSERT_TRUE(Paint(L"quad.png", CUiRect(0, 0, 40, 40)));
    // Halftone stretching may soften the seams; the middle of each quarter keeps its colour.
    EXPECT_TRUE(test::Near(canvas.Rgb(10, 10), kRed, 8)) << std::hex << canvas.Rgb(10, 10);
    EXPECT_TRUE(test::Near(canvas.Rgb(30, 10), kBlue, 8)) << std::hex << canvas.Rgb(30, 10);
    EXPECT_TRUE(test::Near(canvas.Rgb(10, 30), kBlue, 8)) << std::hex << canvas.Rgb(10, 30);
    EXPECT_TRUE(test::Near(canvas.Rgb(30, 30), kRed, 8)) << std::hex << canvas.Rgb(30, 30);
    EXPECT_EQ(canvas.Rgb(45, 5), kBack & 0xFFFFFF);
}

TEST_F(ImagePaintTest, NineSliceKeepsCornersAtTheirSize) {
    AddSliceImage();
    ASSERT_TRUE(Paint(L"file='slice.png' corner='4,4,4,4'", CUiRect(2, 3, 52, 43)));
    // Each corner is copied unstretched, marked pixel included.
    for (auto [x, y] : {std::pair{2, 3}, {48, 3}, {2, 39}, {48, 39}}) {
        EXPECT_EQ(canvas.Rgb(x + 1, y + 2), 0u) << x << "," << y;
        EXPECT_EQ(canvas.Rgb(x, y), kGreen & 0xFFFFFF) << x << "," << y;
        EXPECT_EQ(canvas.Rgb(x + 3, y + 3), kGreen & 0xFFFFFF) << x << "," << y;
        EXPECT_EQ(canvas.Rgb(x + 2, y + 1), kGreen & 0xFFFFFF) << x << "," << y;
    }
    // Edges stretch along their length, the middle both ways.
    EXPECT_EQ(canvas.Rgb(27, 4), kRed & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(3, 23), kRed & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(50, 23), kRed & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(27, 41), kRed & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(27, 23), kBlue & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(53, 23), kBack & 0xFFFFFF);
}

TEST_F(ImagePaintTest, HoleLeavesTheMiddleUndrawn) {
    AddSliceImage();
    ASSERT_TRUE(Paint(L"file='slice.png' corner='4,4,4,4' hole='true'", CUiRect(0, 0, 40, 40)));
    EXPECT_EQ(canvas.Rgb(20, 20), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(20, 1), kRed & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(1, 2), 0u);
}

TEST_F(ImagePaintTest, TilesTheMiddleAtItsNaturalWidth) {
    // Three columns of 2 pixels: red, blue, green.
    TestImage image(6, 4, kRed);
    image.FillRect(2, 0, 4, 4, kBlue);
    image.FillRect(4, 0, 6, 4, kGreen);
    host.AddImage(L"stripes.png", image);
    ASSERT_TRUE(Paint(L"file='stripes.png' xtiled='true'", CUiRect(0, 0, 16, 20)));
    const std::uint32_t expected[] = {kRed, kRed, kBlue, kBlue, kGreen, kGreen};
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(canvas.Rgb(x, 10), expected[x % 6] & 0xFFFFFF) << x;
        EXPECT_EQ(canvas.Rgb(x, 19), expected[x % 6] & 0xFFFFFF) << x;
    }
    EXPECT_EQ(canvas.Rgb(16, 10), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(5, 20), kBack & 0xFFFFFF);
}

TEST_F(ImagePaintTest, TilesBothWaysInNaturalSizeCopies) {
    TestImage image(3, 3, kRed);
    image.At(0, 0) = kBlue;
    host.AddImage(L"cell.png", image);
    ASSERT_TRUE(Paint(L"file='cell.png' xtiled='true' ytiled='true'", CUiRect(0, 0, 10, 8)));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const std::uint32_t want = (x % 3 == 0 && y % 3 == 0) ? kBlue : kRed;
            EXPECT_EQ(canvas.Rgb(x, y), want & 0xFFFFFF) << x << "," << y;
        }
    }
    EXPECT_EQ(canvas.Rgb(10, 0), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(0, 8), kBack & 0xFFFFFF);
}

TEST_F(ImagePaintTest, FadeBlendsAnOpaqueImageAtConstantOpacity) {
    host.AddImage(L"black.png", TestImage(4, 4, 0xFF000000));
    ASSERT_TRUE(Paint(L"file='black.png' fade='128'", CUiRect(0, 0, 4, 4)));
    EXPECT_TRUE(test::Near(canvas.Rgb(2, 2), 0x7F7F7F, 2)) << std::hex << canvas.Rgb(2, 2);
}

TEST_F(ImagePaintTest, TranslucentPixelsBlendOverTheBackground) {
    host.AddImage(L"half.png", TestImage(4, 4, 0x800000FF));
    ASSERT_TRUE(Paint(L"half.png", CUiRect(0, 0, 4, 4)));
    EXPECT_TRUE(test::Near(canvas.Rgb(1, 1), 0x7F7FFF, 2)) << std::hex << canvas.Rgb(1, 1);
}

TEST_F(ImagePaintTest, MaskedPixelsLetTheBackgroundThrough) {
    TestImage image(4, 4, kBlue);
    image.FillRect(0, 0, 2, 4, 0xFFFF00FF);
    const std::wstring path = test::WriteTempFile(L"magenta.png", test::EncodePng(image));
    const std::wstring text = L"file='" + path + L"' mask='#FFFF00FF'";
    ASSERT_TRUE(Paint(text.c_str(), CUiRect(0, 0, 4, 4)));
    EXPECT_EQ(canvas.Rgb(0, 0), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(1, 3), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(3, 3), kBlue & 0xFFFFFF);
}

TEST_F(ImagePaintTest, DestPlacesAndSourcePicksThePart) {
    TestImage image(4, 2, kRed);
    image.FillRect(2, 0, 4, 2, kBlue);
    host.AddImage(L"pair.png", image);
    ASSERT_TRUE(
        Paint(L"file='pair.png' dest='10,5,14,7' source='2,0,4,2'", CUiRect(20, 20, 60, 40)));
    EXPECT_EQ(canvas.Rgb(30, 25), kBlue & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(33, 26), kBlue & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(29, 25), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(34, 25), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(30, 27), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.CountColour(kRed), 0);
}

TEST_F(ImagePaintTest, SourceIsCutAtTheImageAndZeroMeansWhole) {
    TestImage image(4, 2, kRed);
    image.FillRect(2, 0, 4, 2, kBlue);
    host.AddImage(L"cut.png", image);
    // A source 8 wide is cut to 4, so the 4-pixel box is a 1:1 copy of the whole image.
    ASSERT_TRUE(Paint(L"file='cut.png' dest='0,0,4,2' source='0,0,8,2'", CUiRect(0, 0, 40, 40)));
    EXPECT_EQ(canvas.Rgb(1, 0), kRed & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(2, 1), kBlue & 0xFFFFFF);
    canvas.Fill(kBack);
    ASSERT_TRUE(Paint(L"file='cut.png' dest='0,0,4,2' source='0,0,0,0'", CUiRect(0, 0, 40, 40)));
    EXPECT_EQ(canvas.Rgb(0, 0), kRed & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(3, 1), kBlue & 0xFFFFFF);
}

TEST_F(ImagePaintTest, SizeAndAlignPlaceABoxThatPaddingShifts) {
    host.AddImage(L"dot.png", TestImage(16, 16, kBlue));
    ASSERT_TRUE(Paint(L"file='dot.png' size='16,16' align='right,bottom'", CUiRect(0, 0, 40, 30)));
    RECT box{};
    canvas.CountDifferent(kBack, &box);
    EXPECT_EQ(box.left, 24);
    EXPECT_EQ(box.top, 14);
    EXPECT_EQ(box.right, 40);
    EXPECT_EQ(box.bottom, 30);

    canvas.Fill(kBack);
    ASSERT_TRUE(Paint(L"file='dot.png' size='16,16' align='right,bottom' padding='0,0,2,2'",
                      CUiRect(0, 0, 40, 30)));
    canvas.CountDifferent(kBack, &box);
    EXPECT_EQ(box.left, 22);
    EXPECT_EQ(box.top, 12);
    EXPECT_EQ(box.right, 38);
    EXPECT_EQ(box.bottom, 28);

    canvas.Fill(kBack);
    ASSERT_TRUE(
        Paint(L"file='dot.png' size='16,16' align='hcenter,vcenter'", CUiRect(0, 0, 40, 30)));
    canvas.CountDifferent(kBack, &box);
    EXPECT_EQ(box.left, 12);
    EXPECT_EQ(box.top, 7);
}

TEST_F(ImagePaintTest, RotationTurnsTheImageAboutTheBoxCentre) {
    TestImage image(8, 8, kRed);
    image.FillRect(4, 0, 8, 8, kBlue);
    host.AddImage(L"turn.png", image);
    ASSERT_TRUE(Paint(L"file='turn.png' rotate='90'", CUiRect(0, 0, 32, 32)));
    // Turned clockwise, the left half (red) comes on top.
    EXPECT_TRUE(test::Near(canvas.Rgb(16, 4), kRed & 0xFFFFFF, 40))
        << std::hex << canvas.Rgb(16, 4);
    EXPECT_TRUE(test::Near(canvas.Rgb(16, 28), kBlue & 0xFFFFFF, 40))
        << std::hex << canvas.Rgb(16, 28);
}

TEST_F(ImagePaintTest, GdiplusDrawingHonoursFade) {
    host.AddImage(L"ink.png", TestImage(8, 8, 0xFF000000));
    ASSERT_TRUE(Paint(L"file='ink.png' gdiplus='true' fade='128'", CUiRect(0, 0, 8, 8)));
    EXPECT_TRUE(test::Near(canvas.Rgb(4, 4), 0x7F7F7F, 3)) << std::hex << canvas.Rgb(4, 4);
}

TEST_F(ImagePaintTest, GdiplusDrawingFallsBackToThePixelsOfABitmapRecord) {
    TestImage image(4, 4, kBlue);
    const std::wstring path = test::WriteTempFile(L"plain-only.png", test::EncodePng(image));
    const std::unique_ptr<ImageRecord> record(
        CRenderEngine::LoadBitmapRecord(path.c_str(), nullptr, 0, nullptr));
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->gdiplusImage, nullptr);
    CRenderEngine::PaintImageGdiplus(canvas.Dc(), record.get(), CUiRect(0, 0, 8, 8),
                                     CUiRect(0, 0, 4, 4), 255, 0);
    EXPECT_TRUE(test::Near(canvas.Rgb(4, 4), kBlue, 8)) << std::hex << canvas.Rgb(4, 4);
    EXPECT_EQ(canvas.Rgb(12, 4), kBack & 0xFFFFFF);
}

TEST_F(ImagePaintTest, DrawsOnlyWhereThePaintRectangleReaches) {
    host.AddImage(L"wide.png", TestImage(40, 10, kBlue));
    ASSERT_TRUE(Paint(L"wide.png", CUiRect(0, 0, 40, 10), CUiRect(10, 0, 20, 10)));
    EXPECT_EQ(canvas.Rgb(15, 5), kBlue & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(5, 5), kBack & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(25, 5), kBack & 0xFFFFFF);

    canvas.Fill(kBack);
    EXPECT_TRUE(Paint(L"wide.png", CUiRect(0, 0, 40, 10), CUiRect(0, 20, 40, 30)));
    EXPECT_EQ(canvas.CountDifferent(kBack), 0);
}

TEST_F(ImagePaintTest, MissingNameOrImageDrawsNothing) {
    EXPECT_FALSE(Paint(L"", CUiRect(0, 0, 10, 10)));
    EXPECT_FALSE(Paint(L"file=''", CUiRect(0, 0, 10, 10)));
    EXPECT_FALSE(Paint(L"no-such-image.png", CUiRect(0, 0, 10, 10)));
    EXPECT_FALSE(CRenderEngine::PaintImageText(nullptr, &host, CUiRect(0, 0, 4, 4),
                                               CUiRect(0, 0, 4, 4), L"x.png", L"", nullptr));
    EXPECT_EQ(canvas.CountDifferent(kBack), 0);
}

}  // namespace
}  // namespace Weft
