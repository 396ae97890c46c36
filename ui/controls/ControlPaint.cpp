#include "ui/controls/ControlUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/core/ModuleSettings.h"
#include "ui/window/RenderEngine.h"

namespace Weft {

bool CControlUI::PaintRegion(HDC dc, const RECT& paintArea, CControlUI* stopAt) {
    if (this == stopAt) return false;
    if (!::IntersectRect(&paintRect, &paintArea, &pos)) return true;
    return PaintSelf(dc, paintArea, stopAt);
}

bool CControlUI::PaintSelf(HDC dc, const RECT&, CControlUI*) {
    const CUiSize round = GetBorderRound();
    ClipGuard clip;
    if (round.cx > 0 || round.cy > 0) clip.EnterRound(dc, pos, round.cx, round.cy);
    DrawBackgroundColor(dc);
    DrawBackgroundImage(dc);
    DrawStateImage(dc);
    DrawForegroundColor(dc);
    DrawForegroundImage(dc);
    DrawTextContent(dc);
    DrawBorder(dc);
    return true;
}

void CControlUI::DrawBackgroundColor(HDC dc) {
    if (bkColor == 0) return;
    if (bkColor2 == 0) {
        const bool opaque = (bkColor >> 24) == 0xFF;
        CRenderEngine::FillSolid(dc, opaque ? paintRect : pos, AdjustColor(bkColor));
        return;
    }
    const bool vertical = gradient.CompareIgnoreCase(L"hor") != 0;
    if (bkColor3 == 0) {
        CRenderEngine::FillGradient(dc, pos, AdjustColor(bkColor), AdjustColor(bkColor2), vertical,
                                    16);
        return;
    }
    CUiRect upper = pos;
    upper.bottom = (pos.top + pos.bottom) / 2;
    CRenderEngine::FillGradient(dc, upper, AdjustColor(bkColor), AdjustColor(bkColor2), vertical,
                                8);
    CUiRect lower = pos;
    lower.top = upper.bottom;
    CRenderEngine::FillGradient(dc, lower, AdjustColor(bkColor2), AdjustColor(bkColor3), vertical,
                                8);
}

void CControlUI::DrawBackgroundImage(HDC dc) {
    if (!bkImage.IsEmpty()) DrawImage(dc, bkImage);
}

void CControlUI::DrawStateImage(HDC) {}

void CControlUI::DrawForegroundColor(HDC dc) {
    CRenderEngine::FillSolid(dc, pos, AdjustColor(foreColor));
}

void CControlUI::DrawForegroundImage(HDC dc) {
    if (!foreImage.IsEmpty()) DrawImage(dc, foreImage);
}

void CControlUI::DrawTextContent(HDC) {}

void CControlUI::DrawBorder(HDC dc) {
    if (borderColor == 0 && focusBorderColor == 0) return;
    const bool focusColoured = IsFocused() && focusBorderColor != 0 && GetBorderSize() >= 1;
    StrokeBorder(dc, AdjustColor(focusColoured ? focusBorderColor : borderColor), focusColoured);
}

void CControlUI::StrokeBorder(HDC dc, std::uint32_t colour, bool wholeOutline) {
    const int size = GetBorderSize();
    const CUiSize round = GetBorderRound();
    if (size > 0 && (round.cx > 0 || round.cy > 0)) {
        CRenderEngine::StrokeRoundRect(dc, pos, size, round.cx, colour, borderStyle);
        return;
    }
    const CUiRect sides = GetBorderRect();
    if (wholeOutline ||
        (sides.left <= 0 && sides.top <= 0 && sides.right <= 0 && sides.bottom <= 0)) {
        if (size >= 1) CRenderEngine::StrokeRect(dc, pos, size, colour, borderStyle);
        return;
    }
    if (sides.left > 0) {
        CRenderEngine::StrokeLine(dc, CUiRect(pos.left, pos.top, pos.left, pos.bottom), sides.left,
                                  colour, borderStyle);
    }
    if (sides.top > 0) {
        CRenderEngine::StrokeLine(dc, CUiRect(pos.left, pos.top, pos.right, pos.top), sides.top,
                                  colour, borderStyle);
    }
    if (sides.right > 0) {
        CRenderEngine::StrokeLine(dc, CUiRect(pos.right - 1, pos.top, pos.right - 1, pos.bottom),
                                  sides.right, colour, borderStyle);
    }
    if (sides.bottom > 0) {
        CRenderEngine::StrokeLine(dc, CUiRect(pos.left, pos.bottom - 1, pos.right, pos.bottom - 1),
                                  sides.bottom, colour, borderStyle);
    }
}

void CControlUI::PaintAfter(HDC, const RECT&) {}

std::uint32_t CControlUI::AdjustColor(std::uint32_t color) const {
    if (!colorHsl || manager == nullptr) return color;
    short hue = 0;
    short saturation = 0;
    short lightness = 0;
    manager->GetHsl(hue, saturation, lightness);
    return CRenderEngine::AdjustColorHsl(color, hue, saturation, lightness);
}

bool CControlUI::DrawImage(HDC dc, const wchar_t* imageText, const wchar_t* modifier) {
    return CRenderEngine::PaintImageText(dc, manager, pos, paintRect, imageText, modifier,
                                         GetResourceInstance());
}

// Colour, image and border setters: store, and repaint when something changed.
namespace {
template <typename T, typename U>
bool Store(T& field, const U& value) {
    if (field == value) return false;
    field = value;
    return true;
}
}  // namespace

void CControlUI::SetGradient(const wchar_t* direction) {
    if (gradient == (direction != nullptr ? direction : L"")) return;
    gradient = direction;
    Invalidate();
}

void CControlUI::SetBkColor(std::uint32_t color) {
    if (Store(bkColor, color)) Invalidate();
}

void CControlUI::SetBkColor2(std::uint32_t color) {
    if (Store(bkColor2, color)) Invalidate();
}

void CControlUI::SetBkColor3(std::uint32_t color) {
    if (Store(bkColor3, color)) Invalidate();
}

void CControlUI::SetForeColor(std::uint32_t color) {
    if (Store(foreColor, color)) Invalidate();
}

void CControlUI::SetBkImage(const wchar_t* image) {
    if (bkImage == (image ? image : L"")) return;
    bkImage = image;
    Invalidate();
}

void CControlUI::SetForeImage(const wchar_t* image) {
    if (foreImage == (image ? image : L"")) return;
    foreImage = image;
    Invalidate();
}

void CControlUI::SetBorderColor(std::uint32_t color) {
    if (Store(borderColor, color)) Invalidate();
}

void CControlUI::SetFocusBorderColor(std::uint32_t color) {
    if (Store(focusBorderColor, color)) Invalidate();
}

void CControlUI::SetColorHsl(bool hsl) {
    if (Store(colorHsl, hsl)) Invalidate();
}

int CControlUI::GetBorderSize() const {
    return Scaled(borderSize);
}

void CControlUI::SetBorderSize(int size) {
    if (Store(borderSize, size)) Invalidate();
}

void CControlUI::SetBorderRect(const RECT& rect) {
    borderRect = rect;
    Invalidate();
}

CUiRect CControlUI::GetBorderRect() const {
    return Scaled(borderRect);
}

void CControlUI::SetBorderStyle(int style) {
    borderStyle = style;
    Invalidate();
}

CUiSize CControlUI::GetBorderRound() const {
    return Scaled(borderRound);
}

void CControlUI::SetBorderRound(SIZE round) {
    borderRound = round;
    Invalidate();
}

void CControlUI::SetLeftBorderSize(int size) {
    borderRect.left = size;
    Invalidate();
}

void CControlUI::SetTopBorderSize(int size) {
    borderRect.top = size;
    Invalidate();
}

void CControlUI::SetRightBorderSize(int size) {
    borderRect.right = size;
    Invalidate();
}

void CControlUI::SetBottomBorderSize(int size) {
    borderRect.bottom = size;
    Invalidate();
}

}  // namespace Weft
