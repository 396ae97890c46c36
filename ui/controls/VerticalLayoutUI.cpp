#include <algorithm>

#include "ui/controls/LinearLayouts.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/SeparatorDrag.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {

const wchar_t* CVerticalLayoutUI::ClassName() const {
    return L"VerticalLayoutUI";
}

void* CVerticalLayoutUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && ::lstrcmpW(interfaceName, L"VerticalLayout") == 0) return this;
    return CContainerUI::CastTo(interfaceName);
}

std::uint32_t CVerticalLayoutUI::Flags() const {
    return IsEnabled() && separator.sepSize != 0 ? kFlagSetCursor : 0;
}

void CVerticalLayoutUI::SetPos(CUiRect rect, bool invalidate) {
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
    int cyFixed = 0;
    int cxNeeded = 0;
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        const CUiRect p = child->GetPadding();
        const int wLimit =
            child->GetFixedWidth() < 1 ? child->GetMaxWidth() : child->GetFixedWidth();
        const int hLimit =
            child->GetFixedHeight() < 1 ? child->GetMaxHeight() : child->GetFixedHeight();
        CUiSize size = child->MeasureSize(
            CUiSize(std::min<LONG>(wLimit, cx - p.left - p.right), std::min(hLimit, cy)));
        if (size.cy == 0) {
            ++adjustable;
        } else {
            size.cy = ClampSize(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        }
        cyFixed += p.top + p.bottom + size.cy;
        size.cx = std::max<LONG>(size.cx, 0);
        size.cx = ClampSize(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        cxNeeded = std::max<int>(cxNeeded, p.left + size.cx + p.right);
        ++n;
    }
    cyFixed += (n - 1) * gap;
    const int cyExpand = adjustable > 0 ? std::max(0, (cy - cyFixed) / adjustable) : 0;

    int y = rc.top;
    if (vBar) {
        y -= verticalScrollBar->GetValue();
    } else if (adjustable == 0) {
        if (childVAlign == DT_VCENTER) y += (cy - cyFixed) / 2;
        if (childVAlign == DT_BOTTOM) y += cy - cyFixed;
    }
    const int xScroll = hBar ? horizontalScrollBar->GetValue() : 0;
    const int xRange = hBar ? horizontalScrollBar->GetRange() : 0;
    int k = 0;
    int adjustableSeen = 0;
    int cyRemaining = cy;
    int cyFixedRemaining = cyFixed;
    int cyNeeded = 0;
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatChild(i);
            continue;
        }
        ++k;
        const CUiRect p = child->GetPadding();
        cyRemaining -= p.top;
        cyFixedRemaining -= p.top + p.bottom + (k > 1 ? gap : 0);
        const int wLimit =
            child->GetFixedWidth() < 1 ? child->GetMaxWidth() : child->GetFixedWidth();
        const int hLimit =
            child->GetFixedHeight() < 1 ? child->GetMaxHeight() : child->GetFixedHeight();
        const int wLimit2 = std::min<int>(wLimit, cx - p.left - p.right);
        const int hLimit2 = std::min(hLimit, cyRemaining);
        CUiSize size = child->MeasureSize(CUiSize(wLimit2, hLimit2));
        if (size.cy == 0) {
            ++adjustableSeen;
            size.cy = adjustableSeen == adjustable
                          ? std::max<LONG>(0, cyRemaining - p.bottom - cyFixedRemaining)
                          : cyExpand;
            size.cy = ClampSize(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        } else {
            size.cy = ClampSize(size.cy, child->GetMinHeight(), child->GetMaxHeight());
            cyFixedRemaining -= size.cy;
        }
        size.cx = std::max<LONG>(size.cx, 0);
        if (size.cx == 0) size.cx = cx - p.left - p.right;
        size.cx = std::max<LONG>(std::min<LONG>(size.cx, wLimit2), child->GetMinWidth());

        CUiRect placed;
        if (childAlign == 1) {
            const int centre = (rc.left + rc.right) / 2 + (hBar ? xRange / 2 - xScroll : 0);
            placed.left = centre - size.cx / 2;
        } else if (childAlign == 2) {
            placed.left = rc.right + (hBar ? xRange - xScroll : 0) - p.right - size.cx;
        } else {
            placed.left = rc.left - xScroll + p.left;
        }
        placed.right = placed.left + size.cx;
        placed.top = y + p.top;
        placed.bottom = placed.top + size.cy;
        child->SetPos(placed, false);

        y += p.top + size.cy + p.bottom + gap;
        cyRemaining -= size.cy + p.bottom + gap;
        cyNeeded += p.top + size.cy + p.bottom;
    }
    cyNeeded += (n - 1) * gap;
    UpdateScrollBars(rc, cxNeeded, cyNeeded);
}

void CVerticalLayoutUI::ProcessEvent(EventRecord& event) {
    switch (
        separator::Handle(separator, *this, pos, event, false, GetMinHeight(), GetMaxHeight())) {
        case separator::Outcome::Released:
            RequestParentLayout();
            return;
        case separator::Outcome::Consumed:
            return;
        case separator::Outcome::NotConsumed:
            break;
    }
    CContainerUI::ProcessEvent(event);
}

void CVerticalLayoutUI::SetSepImmediateMode(bool immediate) {
    separator::SetImmediate(separator, *this, immediate);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* attribute, const wchar_t* value) {
    if (attribute != nullptr && ::lstrcmpiW(attribute, L"sepheight") == 0) {
        SetSepHeight(ParseInteger(value));
    } else if (attribute != nullptr && ::lstrcmpiW(attribute, L"sepimm") == 0) {
        SetSepImmediateMode(ParseBoolean(value));
    } else {
        CContainerUI::SetAttribute(attribute, value);
    }
}

void CVerticalLayoutUI::PaintAfter(HDC dc, const RECT&) {
    separator::PaintBand(separator, dc, false);
}

}  // namespace Weft
