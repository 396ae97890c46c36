#include "ui/window/Colours.h"
#include "ui/window/RenderEngine.h"

namespace Weft {

void CRenderEngine::StrokeLine(HDC dc, const CUiRect& rect, int width, std::uint32_t colour,
                               int penStyle) {
    if (dc == nullptr) {
        return;
    }
    LOGPEN description = {static_cast<UINT>(penStyle), {width, 0}, ToColorRef(colour)};
    const HPEN pen = ::CreatePenIndirect(&description);
    if (pen == nullptr) {
        return;
    }
    const HGDIOBJ previous = ::SelectObject(dc, pen);
    ::MoveToEx(dc, rect.left, rect.top, nullptr);
    ::LineTo(dc, rect.right, rect.bottom);
    ::SelectObject(dc, previous);
    ::DeleteObject(pen);
}

void CRenderEngine::StrokeRect(HDC dc, const CUiRect& rect, int width, std::uint32_t colour,
                               int dashStyle) {
    if (dc == nullptr) {
        return;
    }
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Pen pen(ToGdiplusColour(colour), static_cast<Gdiplus::REAL>(width));
    pen.SetAlignment(Gdiplus::PenAlignmentInset);
    pen.SetDashStyle(static_cast<Gdiplus::DashStyle>(dashStyle));
    graphics.DrawRectangle(&pen, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                           static_cast<INT>(rect.Width() - 1), static_cast<INT>(rect.Height() - 1));
}

void CRenderEngine::StrokeRoundRect(HDC dc, const CUiRect& rect, int width, int cornerWidth,
                                    std::uint32_t colour, int dashStyle) {
    if (dc == nullptr) {
        return;
    }
    const INT x = rect.left;
    const INT y = rect.top;
    const INT w = rect.Width() - 1;
    const INT h = rect.Height() - 1;
    const INT r = cornerWidth / 2;
    const INT d = 2 * r;
    Gdiplus::GraphicsPath path;
    path.AddLine(x + r, y, x + w - r, y);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddLine(x + w, y + r, x + w, y + h - r);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddLine(x + w - r, y + h, x + r, y + h);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.AddLine(x, y + h - r, x, y + r);
    path.AddArc(x, y, d, d, 180, 90);
    path.CloseFigure();

    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    Gdiplus::Pen pen(ToGdiplusColour(colour), static_cast<Gdiplus::REAL>(width));
    pen.SetDashStyle(static_cast<Gdiplus::DashStyle>(dashStyle));
    graphics.DrawPath(&pen, &path);
}

}  // namespace Weft
