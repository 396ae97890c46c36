#include <algorithm>

#include "ui/controls/LinearLayouts.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/SeparatorDrag.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {

const wchar_t* CHorizontalLayoutUI::ClassName() const {
    return L"HorizontalLayoutUI";
}

void* CHorizontalLayoutUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && ::lstrcmpW(interfaceName, L"HorizontalLayout") == 0) {
        return this;
    }
    return CContainerUI::CastTo(interfaceName);
}

std::uint32_t CHorizontalLayoutUI::Flags() const {
    return IsEnabled() && separator.sepSize != 0 ? kFlagSetCursor : 0;
}

void CHorizontalLayoutUI::SetPos(CUiRect rect, bool invalidate) {
    CControlUI::SetPos(rect, invalidate);
    const CUiRect rc = ClientArea();
    const bool vBar = VerticalBarShown();
    const bool hBar = HorizontalBarShown();
    if (items.IsEmpty()) {
        UpdateScrollBars(rc, 0, 0);
        return;
    }
    const int gap = GetChildPadding();
    const int cx = rc.Width() + (hBar ? horizontalScrollBar->GetRange() : 0);
    const int cy = rc.Height() + (vBar ? verticalScrollBar->GetRange() : 0);

    int n = 0;
    int adjustable = 0;
    int cxFixed = 0;
    int cyNeeded = 0;
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        const CUiRect p = child->GetPadding();
        const int wLimit =
            child->GetFixedWidth() < 1 ? child->GetMaxWidth() : child->GetFixedWidth();
        const int hLimit =
            child->GetFixedHeight() < 1 ? child->GetMaxHeight() : child->GetFixedHeight();
        CUiSize size = child->MeasureSize(
            CUiSize(std::min(wLimit, cx), std::min<LONG>(hLimit, cy - p.top - p.bottom)));
        if (size.cx == 0) {
            ++adjustable;
        } else {
            size.cx = ClampSize(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        }
        cxFixed += p.left + p.right + size.cx;
        size.cy = std::max<LONG>(size.cy, 0);
        size.cy = ClampSize(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        cyNeeded = std::max<int>(cyNeeded, p.top + size.cy + p.bottom);
        ++n;
    }
    cxFixed += (n - 1) * gap;
    const int cxExpand = adjustable > 0 ? std::max(0, (cx - cxFixed) / adjustable) : 0;

    int x = rc.left;
    if (hBar) {
        x -= horizontalScrollBar->GetValue();
    } else if (adjustable == 0) {
        if (childAlign == 1) x += (cx - cxFixed) / 2;
        if (childAlign == 2) x += cx - cxFixed;
    }
    const int yScroll = vBar ? verticalScrollBar->GetValue() : 0;
    const int yRange = vBar ? verticalScrollBar->GetRange() : 0;
    int k = 0;
    int adjustableSeen = 0;
    int cxRemaining = cx;
    int cxFixedRemaining = cxFixed;
    int cxNeeded = 0;
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatChild(i);
            continue;
        }
        ++k;
        const CUiRect p = child->GetPadding();
        cxRemaining -= p.left;
        cxFixedRemaining -= p.left + p.right + (k > 1 ? gap : 0);
        const int wLimit =
            child->GetFixedWidth() < 1 ? child->GetMaxWidth() : child->GetFixedWidth();
        const int hLimit =
            child->GetFixedHeight() < 1 ? child->GetMaxHeight() : child->GetFixedHeight();
        const int crossLimit = std::min<int>(hLimit, cy - p.top - p.bottom);
        CUiSize size = child->MeasureSize(CUiSize(std::min(wLimit, cxRemaining), crossLimit));
        if (size.cx == 0) {
            ++adjustableSeen;
            size.cx = adjustableSeen == adjustable
                          ? std::max<LONG>(0, cxRemaining - p.right - cxFixedRemaining)
                          : cxExpand;
            size.cx = ClampSize(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        } else {
            size.cx = ClampSize(size.cx, child->GetMinWidth(), child->GetMaxWidth());
            cxFixedRemaining -= size.cx;
        }
        // The cross size is not measured: a child without a fixed height fills the row.
        int height = child->GetMaxHeight();
        if (height == 0) height = cy - p.top - p.bottom;
        height = std::max(std::min(std::max(height, 0), crossLimit), child->GetMinHeight());

        CUiRect placed;
        if (childVAlign == DT_VCENTER) {
            const int centre = (rc.top + rc.bottom) / 2 + (vBar ? yRange / 2 - yScroll : 0);
            placed.top = centre - height / 2;
        } else if (childVAlign == DT_BOTTOM) {
            placed.top = rc.bottom + (vBar ? yRange - yScroll : 0) - p.bottom - height;
        } else {
            placed.top = rc.top - yScroll + p.top;
        }
        placed.bottom = placed.top + height;
        placed.left = x + p.left;
        placed.right = placed.left + size.cx;
        child->SetPos(placed, false);

        x += p.left + size.cx + p.right + gap;
        cxRemaining -= size.cx + p.right + gap;
        cxNeeded += p.left + size.cx + p.right;
    }
    cxNeeded += (n - 1) * gap;
    UpdateScrollBars(rc, cxNeeded, cyNeeded);
}

void CHorizontalLayoutUI::ProcessEvent(EventRecord& event) {
    if (!separator::Route(separator, *this, pos, event, true, GetMinWidth(), GetMaxWidth())) {
        CContainerUI::ProcessEvent(event);
    }
}

void CHorizontalLayoutUI::SetSepImmediateMode(bool immediate) {
    separator::SetImmediate(separator, *this, immediate);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* attribute, const wchar_t* value) {
    if (attribute != nullptr && ::lstrcmpiW(attribute, L"sepwidth") == 0) {
        SetSepWidth(ParseInteger(value));
    } else if (attribute != nullptr && ::lstrcmpiW(attribute, L"sepimm") == 0) {
        SetSepImmediateMode(ParseBoolean(value));
    } else {
        CContainerUI::SetAttribute(attribute, value);
    }
}

void CHorizontalLayoutUI::PaintAfter(HDC dc, const RECT&) {
    separator::PaintBand(separator, dc, true);
}

}  // namespace Weft
