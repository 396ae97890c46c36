#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

constexpr std::uint32_t kOutlineColour = 0xFF85E4FF;

}  // namespace

bool CScrollBarUI::PaintPart(HDC dc, Part part, std::uint32_t& state, const CUiRect& rect) {
    if (IsEnabled()) {
        state &= ~kStateDisabled;
    } else {
        state |= kStateDisabled;
    }
    const CUiString* chosen = nullptr;
    if ((state & kStateDisabled) != 0) {
        chosen = &images[part][Disabled];
    } else if ((state & kStatePushed) != 0) {
        chosen = &images[part][Pushed];
    } else if ((state & kStateHot) != 0) {
        chosen = &images[part][Hot];
    }
    const wchar_t* modifier = nullptr;
    if (part != Background) {
        // The image painter scales the destination again, so it is given unscaled.
        const int percent = manager != nullptr ? manager->GetScalePercentage() : 100;
        imageModifier.Format(L"dest='%d,%d,%d,%d'", ::MulDiv(rect.left - pos.left, 100, percent),
                             ::MulDiv(rect.top - pos.top, 100, percent),
                             ::MulDiv(rect.right - pos.left, 100, percent),
                             ::MulDiv(rect.bottom - pos.top, 100, percent));
        modifier = imageModifier;
    }
    if (chosen != nullptr && !chosen->IsEmpty() && DrawImage(dc, *chosen, modifier)) return true;
    const CUiString& normal = images[part][Normal];
    return !normal.IsEmpty() && DrawImage(dc, normal, modifier);
}

bool CScrollBarUI::PaintSelf(HDC dc, const RECT&, CControlUI*) {
    if (!showScrollbar) return true;
    DrawBackgroundColor(dc);
    DrawBackgroundImage(dc);
    PaintPart(dc, Background, backgroundState, pos);
    if (showButton1 && !PaintPart(dc, Button1, button1State, button1Rect)) {
        CRenderEngine::StrokeRect(dc, button1Rect, 2, kOutlineColour);
    }
    if (showButton2 && !PaintPart(dc, Button2, button2State, button2Rect)) {
        CRenderEngine::StrokeRect(dc, button2Rect, 2, kOutlineColour);
    }
    if (!::IsRectEmpty(&thumbRect) && !PaintPart(dc, Thumb, thumbState, thumbRect)) {
        CRenderEngine::StrokeRect(dc, thumbRect, 2, kOutlineColour);
    }
    PaintRail(dc);
    DrawBorder(dc);
    return true;
}

void CScrollBarUI::PaintRail(HDC dc) {
    if (thumbRect.left == 0 && thumbRect.top == 0 && thumbRect.right == 0 &&
        thumbRect.bottom == 0) {
        return;
    }
    CUiRect rail = thumbRect;
    if (horizontal) {
        const LONG middle = (thumbRect.left + thumbRect.right) / 2;
        rail.left = middle - fixedSize.cy / 2;
        rail.right = rail.left + fixedSize.cy;
    } else {
        const LONG middle = (thumbRect.top + thumbRect.bottom) / 2;
        rail.top = middle - fixedSize.cx / 2;
        rail.bottom = rail.top + fixedSize.cx;
    }
    railState = thumbState;
    PaintPart(dc, Rail, railState, rail);
}

}  // namespace Weft
