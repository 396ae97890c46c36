#include "ui/window/BlendEntries.h"
#include "ui/window/Colours.h"
#include "ui/window/DibSection.h"
#include "ui/window/GradientBands.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

BYTE Channel(std::uint32_t colour, int shift) {
    return static_cast<BYTE>(colour >> shift);
}

void GradientWithPrimitive(GradientFillEntry fill, HDC dc, const CUiRect& rect, std::uint32_t first,
                           std::uint32_t second, bool vertical) {
    TRIVERTEX vertices[2] = {};
    const std::uint32_t colours[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        vertices[i].Red = static_cast<COLOR16>(Channel(colours[i], 16) << 8);
        vertices[i].Green = static_cast<COLOR16>(Channel(colours[i], 8) << 8);
        vertices[i].Blue = static_cast<COLOR16>(Channel(colours[i], 0) << 8);
        vertices[i].Alpha = 0xFF00;
    }
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    GRADIENT_RECT gradient = {0, 1};
    fill(dc, vertices, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void DrawGradient(HDC dc, const CUiRect& rect, std::uint32_t first, std::uint32_t second,
                  bool vertical, int steps) {
    if (const GradientFillEntry fill = GetBlendEntries().gradientFill) {
        GradientWithPrimitive(fill, dc, rect, first, second, vertical);
    } else {
        GradientInBands(dc, rect, first, second, vertical, steps);
    }
}

}  // namespace

void CRenderEngine::FillSolid(HDC dc, const CUiRect& rect, std::uint32_t colour) {
    if (dc == nullptr || AlphaOf(colour) == 0) {
        return;
    }
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush(ToGdiplusColour(colour));
    graphics.FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                           static_cast<INT>(rect.Width()), static_cast<INT>(rect.Height()));
}

void CRenderEngine::FillGradient(HDC dc, const CUiRect& rect, std::uint32_t first,
                                 std::uint32_t second, bool vertical, int steps) {
    const BlendEntries& entries = GetBlendEntries();
    const unsigned alpha = (AlphaOf(first) + AlphaOf(second)) / 2;
    if (dc == nullptr || alpha == 0) {
        return;
    }
    if (alpha == 255) {
        DrawGradient(dc, rect, first, second, vertical, steps);
        return;
    }
    DibCanvas canvas(rect.Width(), rect.Height());
    if (!canvas.Ready()) {
        return;
    }
    CUiRect local = rect;
    local.MoveToOrigin();
    DrawGradient(canvas.Dc(), local, first, second, vertical, steps);
    // GDI leaves the alpha bytes of a DIB untouched; the gradient itself is opaque, and the
    // blend below brings in its translucency.
    ::GdiFlush();
    BYTE* bits = canvas.Bits();
    for (long i = 0, n = static_cast<long>(rect.Width()) * rect.Height(); i < n; ++i) {
        bits[i * 4 + 3] = 255;
    }
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
    entries.alphaBlend(dc, rect.left, rect.top, rect.Width(), rect.Height(), canvas.Dc(), 0, 0,
                       rect.Width(), rect.Height(), blend);
}

}  // namespace Weft
