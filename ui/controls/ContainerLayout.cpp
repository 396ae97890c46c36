#include <algorithm>

#include "ui/controls/ContainerUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/window/RenderEngine.h"

namespace Weft {

void CContainerUI::SetPos(CUiRect rect, bool invalidate) {
    CControlUI::SetPos(rect, invalidate);
    if (items.IsEmpty()) return;
    const CUiRect in = GetInset();
    CUiRect area(pos.left + in.left, pos.top + in.top, pos.right - in.right,
                 pos.bottom - in.bottom);
    if (VerticalBarShown()) {
        area.top -= verticalScrollBar->GetValue();
        area.bottom -= verticalScrollBar->GetValue();
        area.bottom += verticalScrollBar->GetRange();
        area.right -= verticalScrollBar->GetFixedWidth();
    }
    if (HorizontalBarShown()) {
        area.left -= horizontalScrollBar->GetValue();
        area.right -= horizontalScrollBar->GetValue();
        area.right += horizontalScrollBar->GetRange();
        area.bottom -= horizontalScrollBar->GetFixedHeight();
    }
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatChild(i);
            continue;
        }
        const LONG width = std::clamp<LONG>(area.Width(), child->GetMinWidth(),
                                            std::max(child->GetMinWidth(), child->GetMaxWidth()));
        const LONG height =
            std::clamp<LONG>(area.Height(), child->GetMinHeight(),
                             std::max(child->GetMinHeight(), child->GetMaxHeight()));
        child->SetPos(CUiRect(area.left, area.top, area.left + width, area.top + height), false);
    }
}

void CContainerUI::PlaceFloatChild(int index) {
    CControlUI* child = ItemAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat()) return;
    const CUiSize size = child->GetFixedSize();
    const CUiSize fixed = child->GetFixedPos();
    const std::uint32_t align = child->GetFloatAlign();
    const LONG width = pos.Width();
    const LONG height = pos.Height();
    CUiRect rect;
    if (align != 0) {
        const LONG x = (align & kFloatCenter) != 0  ? (width - size.cx) / 2
                       : (align & kFloatRight) != 0 ? width - size.cx
                                                    : fixed.cx;
        const LONG y = (align & kFloatVCenter) != 0  ? (height - size.cy) / 2
                       : (align & kFloatBottom) != 0 ? height - size.cy
                                                     : fixed.cy;
        rect = CUiRect(pos.left + x, pos.top + y, pos.left + x + size.cx, pos.top + y + size.cy);
    } else {
        const double* percent = child->GetFloatPercent();
        const LONG baseX = fixed.cx < 0 ? pos.right : pos.left;
        const LONG baseY = fixed.cy < 0 ? pos.bottom : pos.top;
        rect.left = baseX + static_cast<LONG>(width * percent[0]) + fixed.cx;
        rect.top = baseY + static_cast<LONG>(height * percent[1]) + fixed.cy;
        rect.right = baseX + static_cast<LONG>(width * percent[2]) + size.cx + fixed.cx;
        rect.bottom = baseY + static_cast<LONG>(height * percent[3]) + size.cy + fixed.cy;
    }
    child->SetPos(rect, false);
}

// Shows, hides or resizes one bar for an overflow. True when it laid the container out again:
// that nested layout has then placed both bars with the area left after the change, so the
// caller's area and needed extent are stale. A new range lays the children out again too,
// since children without a size fill the scrolled extent.
bool CContainerUI::UpdateScrollBar(CScrollBarUI* bar, int overflow, const CUiRect& barRect) {
    if (bar == nullptr) return false;
    if (overflow > 0 && !bar->IsVisible()) {
        bar->SetVisible(true);
        bar->SetRange(overflow);
        bar->SetValue(0);
        SetPos(pos, true);
        return true;
    }
    if (overflow > 0) {
        bar->SetPos(barRect, true);
        if (bar->GetRange() == overflow) return false;
        bar->SetRange(overflow);
        SetPos(pos, true);
        return true;
    }
    if (!bar->IsVisible()) return false;
    bar->SetVisible(false);
    bar->SetRange(0);
    bar->SetValue(0);
    SetPos(pos, true);
    return true;
}

void CContainerUI::UpdateScrollBars(const CUiRect& rect, int cxNeeded, int cyNeeded) {
    const int barHeight =
        horizontalScrollBar != nullptr ? horizontalScrollBar->GetFixedHeight() : 0;
    if (UpdateScrollBar(horizontalScrollBar, cxNeeded - rect.Width(),
                        CUiRect(rect.left, rect.bottom, rect.right, rect.bottom + barHeight))) {
        return;
    }
    const int barWidth = verticalScrollBar != nullptr ? verticalScrollBar->GetFixedWidth() : 0;
    UpdateScrollBar(verticalScrollBar, cyNeeded - rect.Height(),
                    CUiRect(rect.right, rect.top, rect.right + barWidth, rect.bottom));
}

CUiSize CContainerUI::GetScrollOffset() const {
    return CUiSize(HorizontalBarShown() ? horizontalScrollBar->GetValue() : 0,
                   VerticalBarShown() ? verticalScrollBar->GetValue() : 0);
}

CUiSize CContainerUI::GetScrollExtent() const {
    return CUiSize(HorizontalBarShown() ? horizontalScrollBar->GetRange() : 0,
                   VerticalBarShown() ? verticalScrollBar->GetRange() : 0);
}

void CContainerUI::SetScrollOffset(SIZE offset, bool notify) {
    const CUiSize before = GetScrollOffset();
    if (HorizontalBarShown()) horizontalScrollBar->SetValue(offset.cx);
    if (VerticalBarShown()) verticalScrollBar->SetValue(offset.cy);
    const CUiSize after = GetScrollOffset();
    const LONG dx = after.cx - before.cx;
    const LONG dy = after.cy - before.cy;
    if (dx == 0 && dy == 0) return;
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        CUiRect moved = child->GetPos();
        moved.Offset(-dx, -dy);
        child->SetPos(moved, true);
    }
    Invalidate();
    if (verticalScrollBar != nullptr && manager != nullptr && notify) {
        const int line = verticalScrollBar->GetLineSize();
        // A zero line size would divide by zero; the notification then carries the position.
        const WPARAM page = line != 0 ? (line + verticalScrollBar->GetValue()) / line
                                      : verticalScrollBar->GetValue();
        manager->SendNotification(this, L"scroll", page);
    }
}

void CContainerUI::SetScrollStepSize(int size) {
    if (size > 0) scrollStepSize = size;
}

int CContainerUI::GetScrollStepSize() const {
    return Scaled(scrollStepSize);
}

int CContainerUI::LineStep() const {
    const int step = GetScrollStepSize();
    if (step != 0) return step;
    if (manager == nullptr) return 8;
    return static_cast<int>(manager->Resources().GetDefaultFont()->metrics.tmHeight) + 8;
}

void CContainerUI::LineUp() {
    const CUiSize offset = GetScrollOffset();
    SetScrollOffset(CUiSize(offset.cx, offset.cy - LineStep()), true);
}

void CContainerUI::LineDown() {
    const CUiSize offset = GetScrollOffset();
    SetScrollOffset(CUiSize(offset.cx, offset.cy + LineStep()), true);
}

namespace {
int PageHeight(const CUiRect& pos, const RECT& storedInset, const CScrollBarUI* horizontal) {
    int page = pos.Height() - storedInset.top - storedInset.bottom;
    if (horizontal != nullptr && horizontal->IsVisible()) page -= horizontal->GetFixedHeight();
    return page;
}
}  // namespace

void CContainerUI::PageUp() {
    const CUiSize offset = GetScrollOffset();
    SetScrollOffset(CUiSize(offset.cx, offset.cy - PageHeight(pos, inset, horizontalScrollBar)),
                    true);
}

void CContainerUI::PageDown() {
    const CUiSize offset = GetScrollOffset();
    SetScrollOffset(CUiSize(offset.cx, offset.cy + PageHeight(pos, inset, horizontalScrollBar)),
                    true);
}

void CContainerUI::ScrollToTop() {
    SetScrollOffset(CUiSize(GetScrollOffset().cx, 0), true);
}

void CContainerUI::ScrollToBottom() {
    if (manager != nullptr) ::UpdateWindow(manager->GetWindowHandle());
    SetScrollOffset(CUiSize(GetScrollOffset().cx, GetScrollExtent().cy), true);
}

void CContainerUI::LineLeft() {
    const int step = GetScrollStepSize() != 0 ? GetScrollStepSize() : 8;
    const CUiSize offset = GetScrollOffset();
    SetScrollOffset(CUiSize(offset.cx - step, offset.cy), true);
}

void CContainerUI::LineRight() {
    const int step = GetScrollStepSize() != 0 ? GetScrollStepSize() : 8;
    const CUiSize offset = GetScrollOffset();
    SetScrollOffset(CUiSize(offset.cx + step, offset.cy), true);
}

void CContainerUI::PageLeft() {
    const CUiRect in = GetInset();
    int page = pos.Width() - in.left - in.right;
    if (VerticalBarShown()) page -= verticalScrollBar->GetFixedWidth();
    const CUiSize offset = GetScrollOffset();
    SetScrollOffset(CUiSize(offset.cx - page, offset.cy), true);
}

void CContainerUI::PageRight() {
    const CUiRect in = GetInset();
    int page = pos.Width() - in.left - in.right;
    if (VerticalBarShown()) page -= verticalScrollBar->GetFixedWidth();
    const CUiSize offset = GetScrollOffset();
    SetScrollOffset(CUiSize(offset.cx + page, offset.cy), true);
}

void CContainerUI::ScrollToLeft() {
    SetScrollOffset(CUiSize(0, GetScrollOffset().cy), true);
}

void CContainerUI::ScrollToRight() {
    if (manager != nullptr) ::UpdateWindow(manager->GetWindowHandle());
    SetScrollOffset(CUiSize(GetScrollExtent().cx, GetScrollOffset().cy), true);
}

bool CContainerUI::PaintSelf(HDC dc, const RECT& paintArea, CControlUI* stopAt) {
    CUiRect outer;
    if (!::IntersectRect(&outer, &paintArea, &pos)) return true;
    ClipGuard clip;
    clip.EnterRect(dc, outer);
    CControlUI::PaintSelf(dc, paintArea, stopAt);
    if (!items.IsEmpty()) {
        const CUiRect client = ClientArea();
        CUiRect inner;
        const bool meetsClient = ::IntersectRect(&inner, &paintArea, &client) != FALSE;
        ClipGuard childClip;
        if (meetsClient) childClip.EnterRect(dc, inner);
        for (int i = 0; i < items.Count(); ++i) {
            CControlUI* child = ItemAt(i);
            if (child == stopAt) return false;
            CUiRect overlap;
            if (!child->IsVisible() || !::IntersectRect(&overlap, &paintArea, &child->GetPos())) {
                continue;
            }
            if (child->IsFloat()) {
                if (!::IntersectRect(&overlap, &pos, &child->GetPos())) continue;
                if (meetsClient) CRenderEngine::SelectPreviousClip(childClip.Scope());
                const bool go = child->PaintRegion(dc, paintArea, stopAt);
                if (meetsClient) CRenderEngine::SelectScopeClip(childClip.Scope());
                if (!go) return false;
            } else if (meetsClient && ::IntersectRect(&overlap, &client, &child->GetPos())) {
                if (!child->PaintRegion(dc, paintArea, stopAt)) return false;
            }
        }
    }
    for (CScrollBarUI* bar : {verticalScrollBar, horizontalScrollBar}) {
        if (bar == nullptr || !bar->IsVisible()) continue;
        if (bar == stopAt) return false;
        CUiRect overlap;
        if (::IntersectRect(&overlap, &paintArea, &bar->GetPos()) &&
            !bar->PaintRegion(dc, paintArea, stopAt)) {
            return false;
        }
    }
    return true;
}

}  // namespace Weft
