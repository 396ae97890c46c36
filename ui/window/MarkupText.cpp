#include "ui/window/MarkupLayout.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

// Moves the rectangle to where the measured text is aligned inside it.
void AlignMeasured(CUiRect& rect, const CUiRect& measured, UINT format) {
    const LONG width = measured.Width();
    const LONG height = measured.Height();
    if (format & DT_SINGLELINE) {
        if (format & DT_CENTER) {
            rect.left += (rect.Width() - width) / 2;
            rect.right = rect.left + width;
        } else if (format & DT_RIGHT) {
            rect.left = rect.right - width;
        }
    }
    if (format & DT_VCENTER) {
        rect.top += (rect.Height() - height) / 2;
        rect.bottom = rect.top + height;
    } else if (format & DT_BOTTOM) {
        rect.top = rect.bottom - height;
    }
}

}  // namespace

void CRenderEngine::PaintMarkupText(HDC dc, IRenderHostUI* host, CUiRect& rect, const wchar_t* text,
                                    std::uint32_t colour, CUiRect* linkRects, CUiString* linkNames,
                                    int& linkCount, int font, UINT format) {
    const int capacity = linkCount;
    linkCount = 0;
    if (dc == nullptr || host == nullptr || text == nullptr || ::IsRectEmpty(&rect)) {
        return;
    }
    const bool calculating = (format & DT_CALCRECT) != 0;
    ClipGuard clip;
    if (!calculating) {
        clip.EnterRect(dc, rect);
    }
    const HGDIOBJ previousFont = ::GetCurrentObject(dc, OBJ_FONT);
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousText = ::GetTextColor(dc);
    const COLORREF previousBack = ::SetBkColor(dc, 0);
    const std::uint32_t selected = host->GetDefaultSelectedBkColor();
    ::SetBkColor(dc, RGB((selected >> 16) & 0xFF, (selected >> 8) & 0xFF, selected & 0xFF));

    CUiRect area = rect;
    if (!calculating && (format & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) != 0) {
        CUiRect measured(0, 0, 9999, 100);
        int none = 0;
        PaintMarkupText(dc, host, measured, text, colour, nullptr, nullptr, none, font,
                        format | DT_CALCRECT);
        AlignMeasured(area, measured, format);
    }
    MarkupLayout layout(dc, host, area, colour, linkRects, linkNames, capacity, font, format);
    layout.Run(text);
    linkCount = layout.LinksUsed();
    if (calculating) {
        rect.bottom = layout.Bottom();
        rect.right = std::min(rect.right, layout.Widest());
    }

    ::SelectObject(dc, previousFont);
    ::SetBkMode(dc, previousMode);
    ::SetTextColor(dc, previousText);
    ::SetBkColor(dc, previousBack);
}

}  // namespace Weft
