// Solid, translucent and gradient fills, strokes, clip scopes, the software blend, control
// capture and colour adjustment.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/ui/window/RenderTestSupport.h"
#include "ui/window/BlendEntries.h"
#include "ui/window/GradientBands.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

using test::Canvas;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

TEST(FillSolid, OpaqueTranslucentAndTransparent) {
    Canvas canvas(20, 10, kWhite);
    CRenderEngine::FillSolid(canvas.Dc(), CUiRect(0, 0, 10, 10), 0xFF204080);
    CRenderEngine::FillSolid(canvas.Dc(), CUiRect(10, 0, 20, 5), 0x80FF0000);
    CRenderEngine::FillSolid(canvas.Dc(), CUiRect(10, 5, 20, 10), 0x0000FF00);
    EXPECT_EQ(canvas.Rgb(0, 0), 0x204080u);
    EXPECT_EQ(canvas.Rgb(9, 9), 0x204080u);
    EXPECT_TRUE(test::Near(canvas.Rgb(15, 2), 0xFF7F7F, 2)) << std::hex << canvas.Rgb(15, 2);
    EXPECT_EQ(canvas.Rgb(15, 7), 0xFFFFFFu);
}

TEST(FillGradient, OpaqueGradientStepsBetweenItsColours) {
    Canvas canvas(64, 64, kWhite);
    CRenderEngine::FillGradient(canvas.Dc(), CUiRect(0, 0, 64, 8), 0xFF000000, 0xFFFFFFFF, false,
                                64);
    int previous = -1;
    for (int x = 0; x < 64; x += 4) {
        const int grey = static_cast<int>(canvas.Rgb(x, 4) & 0xFF);
        EXPECT_GE(grey, previous) << x;
        previous = grey;
    }
    EXPECT_LT(canvas.Rgb(0, 4) & 0xFF, 16u);
    EXPECT_GT(canvas.Rgb(63, 4) & 0xFF, 239u);

    CRenderEngine::FillGradient(canvas.Dc(), CUiRect(0, 16, 8, 64), 0xFFFF0000, 0xFF0000FF, true,
                                64);
    EXPECT_TRUE(test::Near(canvas.Rgb(4, 16), 0xFF0000, 12));
    EXPECT_TRUE(test::Near(canvas.Rgb(4, 63), 0x0000FF, 12));
    EXPECT_EQ(canvas.Rgb(4, 40), canvas.Rgb(0, 40));
    EXPECT_NE(canvas.Rgb(4, 20), canvas.Rgb(4, 60));
}

TEST(FillGradient, TranslucentGradientBlendsAtTheMeanAlpha) {
    Canvas canvas(32, 8, kWhite);
    // Mean alpha (0x80 + 0xFF) / 2 = 191, between two shades of one blue.
    CRenderEngine::FillGradient(canvas.Dc(), CUiRect(0, 0, 32, 8), 0x800000FF, 0xFF0000FF, false,
                                64);
    const std::uint32_t expected = ((255 * 64 / 255) << 16) | ((255 * 64 / 255) << 8) | 255;
    EXPECT_TRUE(test::Near(canvas.Rgb(16, 4), expected, 3)) << std::hex << canvas.Rgb(16, 4);

    Canvas untouched(8, 8, kWhite);
    CRenderEngine::FillGradient(untouched.Dc(), CUiRect(0, 0, 8, 8), 0x00FF0000, 0x000000FF, false,
                                64);
    EXPECT_EQ(untouched.CountDifferent(kWhite), 0);
}

TEST(GradientInBands, FillsEqualBandsSteppingBetweenTheColours) {
    Canvas canvas(8, 4, kWhite);
    GradientInBands(canvas.Dc(), CUiRect(0, 0, 8, 4), 0xFF000000, 0xFF0000FF, false, 5);
    // Five steps allow four bands of two pixels: blue 0, 63, 127, 191.
    const std::uint32_t expected[] = {0, 0, 63, 63, 127, 127, 191, 191};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(canvas.Rgb(x, 0), expected[x]) << x;
        EXPECT_EQ(canvas.Rgb(x, 3), expected[x]) << x;
    }

    Canvas vertical(2, 64, kWhite);
    GradientInBands(vertical.Dc(), CUiRect(0, 0, 2, 64), 0xFFFF0000, 0xFF000000, true, 1);
    EXPECT_EQ(vertical.Rgb(1, 31), 0xFF0000u);
    EXPECT_EQ(vertical.Rgb(1, 32), 0x7F0000u);
    EXPECT_EQ(vertical.Rgb(0, 63), 0x7F0000u);

    Canvas fine(64, 1, kWhite);
    GradientInBands(fine.Dc(), CUiRect(0, 0, 64, 1), 0xFF000000, 0xFF0000FF, false, 100);
    EXPECT_EQ(fine.Rgb(1, 0), 3u);
    EXPECT_EQ(fine.Rgb(63, 0), 251u);
}

TEST(SoftwareAlphaBlend, MatchesTheSystemBlendOnPremultipliedPixels) {
    Canvas source(4, 4, 0x80400000);  // premultiplied half-transparent red
    source.Fill(0x80400000);
    Canvas bySystem(4, 4, 0xFF00FF00);
    Canvas bySoftware(4, 4, 0xFF00FF00);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 200, AC_SRC_ALPHA};
    ASSERT_NE(GetBlendEntries().alphaBlend, nullptr);
    ASSERT_NE(GetBlendEntries().alphaBlend, &SoftwareAlphaBlend);
    ASSERT_TRUE(
        GetBlendEntries().alphaBlend(bySystem.Dc(), 0, 0, 4, 4, source.Dc(), 0, 0, 4, 4, blend));
    ASSERT_TRUE(SoftwareAlphaBlend(bySoftware.Dc(), 0, 0, 4, 4, source.Dc(), 0, 0, 4, 4, blend));
    EXPECT_TRUE(test::Near(bySoftware.Rgb(2, 2), bySystem.Rgb(2, 2), 1))
        << std::hex << bySoftware.Rgb(2, 2) << " " << bySystem.Rgb(2, 2);
    // Red 0x40 × 200/255 on top of green kept at 1 − 0x80 × 200 / 255²,
    EXPECT_TRUE(test::Near(bySoftware.Rgb(1, 1), 0x329B00, 1)) << std::hex << bySoftware.Rgb(1, 1);
}

TEST(SoftwareAlphaBlend, StretchesTheSourcePart) {
    Canvas source(2, 1, 0xFFFF0000);
    Canvas dest(8, 4, kWhite);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(SoftwareAlphaBlend(dest.Dc(), 2, 1, 4, 2, source.Dc(), 0, 0, 2, 1, blend));
    EXPECT_EQ(dest.Rgb(2, 1), 0xFF0000u);
    EXPECT_EQ(dest.Rgb(5, 2), 0xFF0000u);
    EXPECT_EQ(dest.Rgb(1, 1), 0xFFFFFFu);
    EXPECT_EQ(dest.Rgb(6, 2), 0xFFFFFFu);
}

TEST(Strokes, LineRectangleAndRoundRectangle) {
    Canvas canvas(40, 40, kWhite);
    CRenderEngine::StrokeLine(canvas.Dc(), CUiRect(0, 2, 20, 2), 1, 0xFF0000FF);
    EXPECT_EQ(canvas.Rgb(10, 2), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(10, 3), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(25, 2), 0xFFFFFFu);

    CRenderEngine::StrokeRect(canvas.Dc(), CUiRect(5, 10, 25, 30), 1, 0xFFFF0000);
    EXPECT_EQ(canvas.Rgb(5, 20), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(15, 10), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(24, 20), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(15, 29), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(15, 20), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(25, 20), 0xFFFFFFu);

    Canvas round(40, 40, kWhite);
    CRenderEngine::StrokeRoundRect(round.Dc(), CUiRect(0, 0, 40, 40), 1, 16, 0xFF000000);
    EXPECT_EQ(round.Rgb(0, 0), 0xFFFFFFu);
    EXPECT_EQ(round.Rgb(1, 1), 0xFFFFFFu);
    EXPECT_LT(round.Rgb(20, 0) & 0xFF, 0x80u);
    EXPECT_LT(round.Rgb(0, 20) & 0xFF, 0x80u);
    EXPECT_EQ(round.Rgb(20, 20), 0xFFFFFFu);
}

TEST(ClipScopes, RectClipLimitsDrawingUntilRestored) {
    Canvas canvas(30, 30, kWhite);
    ClipScope scope;
    CRenderEngine::EnterRectClip(canvas.Dc(), CUiRect(10, 10, 20, 20), scope);
    const HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, 0));
    const RECT all = {0, 0, 30, 30};
    ::FillRect(canvas.Dc(), &all, brush);
    RECT box{};
    EXPECT_EQ(canvas.CountDifferent(kWhite, &box), 100);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.bottom, 20);

    CRenderEngine::SelectPreviousClip(scope);
    const RECT corner = {0, 0, 2, 2};
    ::FillRect(canvas.Dc(), &corner, brush);
    CRenderEngine::SelectScopeClip(scope);
    const RECT other = {28, 28, 30, 30};
    ::FillRect(canvas.Dc(), &other, brush);
    EXPECT_EQ(canvas.CountDifferent(kWhite), 104);

    CRenderEngine::RestoreClip(scope);
    EXPECT_EQ(scope.region, nullptr);
    ::FillRect(canvas.Dc(), &all, brush);
    EXPECT_EQ(canvas.CountDifferent(kWhite), 900);
    ::DeleteObject(brush);
}

TEST(BlendEntries, TheSystemPrimitivesAreUsedWithoutAnEarlierLoadOfTheirModule) {
    const BlendEntries& entries = GetBlendEntries();
    EXPECT_NE(entries.alphaBlend, &SoftwareAlphaBlend);
    EXPECT_NE(entries.gradientFill, nullptr);
    EXPECT_NE(::GetModuleHandleW(L"msimg32.dll"), nullptr);
}

TEST(ClipScopes, RestoringTwiceKeepsTheOuterClip) {
    Canvas canvas(30, 30, kWhite);
    ClipScope outer;
    CRenderEngine::EnterRectClip(canvas.Dc(), CUiRect(0, 0, 20, 20), outer);
    {
        ClipGuard inner;
        inner.EnterRect(canvas.Dc(), CUiRect(5, 5, 10, 10));
        inner.Restore();
        inner.Restore();
    }
    ClipScope never;
    CRenderEngine::RestoreClip(never);
    const HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, 0));
    const RECT all = {0, 0, 30, 30};
    ::FillRect(canvas.Dc(), &all, brush);
    EXPECT_EQ(canvas.CountDifferent(kWhite), 400);
    CRenderEngine::RestoreClip(outer);
    CRenderEngine::RestoreClip(outer);
    ::FillRect(canvas.Dc(), &all, brush);
    EXPECT_EQ(canvas.CountDifferent(kWhite), 900);
    ::DeleteObject(brush);
}

TEST(ClipScopes, RoundClipCutsTheCorners) {
    Canvas canvas(30, 30, kWhite);
    ClipScope scope;
    CRenderEngine::EnterRoundClip(canvas.Dc(), CUiRect(0, 0, 30, 30), 12, 12, scope);
    const HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, 0));
    const RECT all = {0, 0, 30, 30};
    ::FillRect(canvas.Dc(), &all, brush);
    CRenderEngine::RestoreClip(scope);
    ::DeleteObject(brush);
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(29, 29), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(15, 0), 0u);
    EXPECT_EQ(canvas.Rgb(15, 15), 0u);
}

TEST(CaptureControlBitmap, CopiesThePaintedPartWithItsOverlay) {
    test::FakeHost host;
    Canvas screen(4, 4);
    host.paintDc = screen.Dc();
    auto* control = reinterpret_cast<CControlUI*>(&host);
    const HBITMAP plain =
        CRenderEngine::CaptureControlBitmap(&host, control, CUiRect(10, 20, 30, 30), 0);
    ASSERT_NE(plain, nullptr);
    ASSERT_EQ(host.paintedAreas.size(), 1u);
    EXPECT_EQ(host.paintedAreas[0].left, 10);
    EXPECT_EQ(host.paintedAreas[0].bottom, 30);
    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectW(plain, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmWidth, 20);
    EXPECT_EQ(dib.dsBm.bmHeight, 10);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    const auto* pixels = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(pixels[199] & 0xFFFFFF, 0x00FF00u);
    ::DeleteObject(plain);

    const HBITMAP tinted =
        CRenderEngine::CaptureControlBitmap(&host, control, CUiRect(0, 0, 8, 8), 0x80FF0000);
    ASSERT_NE(tinted, nullptr);
    ASSERT_EQ(::GetObjectW(tinted, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    const std::uint32_t mixed = static_cast<const std::uint32_t*>(dib.dsBm.bmBits)[9];
    EXPECT_TRUE(test::Near(mixed, 0x807F00, 2)) << std::hex << mixed;
    ::DeleteObject(tinted);

    EXPECT_EQ(CRenderEngine::CaptureControlBitmap(&host, nullptr, CUiRect(0, 0, 8, 8), 0), nullptr);
    EXPECT_EQ(CRenderEngine::CaptureControlBitmap(nullptr, control, CUiRect(0, 0, 8, 8), 0),
              nullptr);
}

TEST(AdjustColorHsl, NeutralKeepsAndShiftsFollowHsl) {
    EXPECT_EQ(CRenderEngine::AdjustColorHsl(0x80123456, 180, 100, 100), 0x80123456u);
    // Hue + 120 turns pure red into pure green; alpha stays.
    EXPECT_EQ(CRenderEngine::AdjustColorHsl(0x80FF0000, 300, 100, 100), 0x8000FF00u);
    EXPECT_EQ(CRenderEngine::AdjustColorHsl(0xFFFF0000, 60, 100, 100), 0xFF0000FFu);
    // No saturation leaves the grey of the lightness; no lightness is black.
    EXPECT_EQ(CRenderEngine::AdjustColorHsl(0xFFFF0000, 180, 0, 100), 0xFF808080u);
    EXPECT_EQ(CRenderEngine::AdjustColorHsl(0xFF3366CC, 180, 100, 0), 0xFF000000u);
    EXPECT_EQ(CRenderEngine::AdjustColorHsl(0xFF3366CC, 180, 100, 99) & 0xFF, 0xCAu);
}

TEST(AdjustImageHsl, RewritesPixelsFromTheLoadedCopy) {
    auto record = std::make_unique<ImageRecord>();
    std::uint32_t pixels[2] = {0xFFFF0000, 0x80800000};
    std::uint32_t loaded[2] = {0xFFFF0000, 0x80800000};
    record->width = 2;
    record->height = 1;
    record->pixels = reinterpret_cast<BYTE*>(pixels);
    record->loadedPixels = reinterpret_cast<BYTE*>(loaded);
    CRenderEngine::AdjustImageHsl(true, record.get(), 300, 100, 100);
    EXPECT_EQ(pixels[0], 0xFF00FF00u);
    // Premultiplied: the brightened colour never outgrows its alpha.
    EXPECT_EQ(pixels[1], 0x80008000u);
    CRenderEngine::AdjustImageHsl(false, record.get(), 300, 100, 100);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    EXPECT_EQ(std::memcmp(pixels, loaded, sizeof(pixels)), 0);
    record->pixels = nullptr;
    record->loadedPixels = nullptr;
}

}  // namespace
}  // namespace Weft
