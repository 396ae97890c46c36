#include "ui/controls/SeparatorDrag.h"

#include <algorithm>

#include "ui/controls/PaintManagerUI.h"
#include "ui/window/RenderEngine.h"

namespace Weft::separator {
namespace {

// The near and far edges of a rectangle along the axis.
LONG& Near(CUiRect& rect, bool horizontal) {
    return horizontal ? rect.left : rect.top;
}
LONG& Far(CUiRect& rect, bool horizontal) {
    return horizontal ? rect.right : rect.bottom;
}
LONG Along(POINT point, bool horizontal) {
    return horizontal ? point.x : point.y;
}

// Stores a dragged extent, measured in display pixels, as the layout's fixed size in stored
// units, which the layout scales again.
void StoreExtent(CContainerUI& layout, bool horizontal, LONG extent) {
    CPaintManagerUI* manager = layout.GetManager();
    const int stored = manager != nullptr ? manager->Unscale(extent) : extent;
    if (horizontal) {
        layout.SetFixedWidth(stored);
    } else {
        layout.SetFixedHeight(stored);
    }
}

}  // namespace

CUiRect Band(const SeparatorState& state, const CUiRect& pos, bool horizontal) {
    CUiRect rect = (state.dragState & SeparatorState::kDragging) != 0 ? state.dragRect : pos;
    const int size = state.sepSize;
    if (horizontal) {
        if (size >= 0) {
            rect.left = rect.right - size;
        } else {
            rect.right = rect.left - size;
        }
        return rect;
    }
    if (size >= 0) {
        rect.top = std::max(rect.top, rect.bottom - size);
    } else {
        rect.bottom = std::min(rect.top - size, rect.bottom);
    }
    return rect;
}

Outcome Handle(SeparatorState& state, CContainerUI& layout, CUiRect& pos, EventRecord& event,
               bool horizontal, int minExtent, int maxExtent) {
    if (state.sepSize == 0) return Outcome::NotConsumed;
    CPaintManagerUI* manager = layout.GetManager();
    const bool dragging = (state.dragState & SeparatorState::kDragging) != 0;
    if (event.type == UiEvent::SetCursor && layout.IsEnabled()) {
        const CUiRect band = Band(state, pos, horizontal);
        if (!::PtInRect(&band, event.mouse)) return Outcome::NotConsumed;
        ::SetCursor(::LoadCursorW(nullptr, horizontal ? IDC_SIZEWE : IDC_SIZENS));
        return Outcome::Consumed;
    }
    if (event.type == UiEvent::ButtonDown && layout.IsEnabled()) {
        const CUiRect band = Band(state, pos, horizontal);
        if (!::PtInRect(&band, event.mouse)) return Outcome::NotConsumed;
        state.dragState |= SeparatorState::kDragging;
        state.lastPoint = event.mouse;
        state.dragRect = pos;
        state.extentPending = false;
        if (!state.sepImmediate && manager != nullptr) manager->AddOverlayPainter(&layout);
        return Outcome::Consumed;
    }
    if (event.type == UiEvent::ButtonUp && dragging) {
        state.dragState &= ~SeparatorState::kDragging;
        pos = state.dragRect;
        if (state.extentPending) {
            state.extentPending = false;
            StoreExtent(layout, horizontal, Far(pos, horizontal) - Near(pos, horizontal));
        }
        if (!state.sepImmediate && manager != nullptr) manager->RemoveOverlayPainter(&layout);
        return Outcome::Released;
    }
    if (event.type != UiEvent::MouseMove || !dragging) return Outcome::NotConsumed;

    const LONG pointer = Along(event.mouse, horizontal);
    const LONG delta = pointer - Along(state.lastPoint, horizontal);
    state.lastPoint = event.mouse;
    CUiRect rect = state.dragRect;
    const int size = state.sepSize;
    if (size > 0) {
        if (delta > 0 && pointer < Far(rect, horizontal) - size) return Outcome::Consumed;
        if (delta < 0 && pointer > Far(rect, horizontal)) return Outcome::Consumed;
        Far(rect, horizontal) += delta;
    } else {
        if (delta < 0 && pointer > Near(rect, horizontal) - size) return Outcome::Consumed;
        if (delta > 0 && pointer < Near(rect, horizontal)) return Outcome::Consumed;
        Near(rect, horizontal) += delta;
    }
    // The edge that moved is set back so the extent stays within the limits.
    LONG& moved = size > 0 ? Far(rect, horizontal) : Near(rect, horizontal);
    const LONG oldExtent = Far(state.dragRect, horizontal) - Near(state.dragRect, horizontal);
    LONG extent = Far(rect, horizontal) - Near(rect, horizontal);
    if (extent <= minExtent) {
        if (oldExtent <= minExtent) return Outcome::Consumed;
        moved += (size > 0 ? 1 : -1) * (minExtent - extent);
        extent = minExtent;
    }
    if (extent >= maxExtent) {
        if (oldExtent >= maxExtent) return Outcome::Consumed;
        moved -= (size > 0 ? 1 : -1) * (extent - maxExtent);
        extent = maxExtent;
    }
    const CUiRect oldBand = Band(state, pos, horizontal);
    state.dragRect = rect;
    if (state.sepImmediate) {
        StoreExtent(layout, horizontal, extent);
        pos = state.dragRect;
        layout.RequestParentLayout();
        return Outcome::Consumed;
    }
    // A preview leaves the layout as it is until the release: a new fixed size now would lay
    // the parent out again at the next paint, under the band.
    state.extentPending = true;
    if (manager != nullptr) {
        CUiRect dirty = oldBand;
        dirty.Union(Band(state, pos, horizontal));
        state.dragState &= ~SeparatorState::kDragging;
        dirty.Union(Band(state, pos, horizontal));
        state.dragState |= SeparatorState::kDragging;
        manager->Repaint(dirty);
    }
    return Outcome::Consumed;
}

bool Route(SeparatorState& state, CContainerUI& layout, CUiRect& pos, EventRecord& event,
           bool horizontal, int minExtent, int maxExtent) {
    const Outcome outcome = Handle(state, layout, pos, event, horizontal, minExtent, maxExtent);
    if (outcome == Outcome::Released) layout.RequestParentLayout();
    return outcome != Outcome::NotConsumed;
}

void PaintBand(const SeparatorState& state, HDC dc, bool horizontal) {
    if ((state.dragState & SeparatorState::kDragging) == 0 || state.sepImmediate) return;
    CRenderEngine::FillSolid(dc, Band(state, state.dragRect, horizontal), 0xAA000000);
}

void SetImmediate(SeparatorState& state, CContainerUI& layout, bool immediate) {
    const bool turnedOnMidDrag =
        !state.sepImmediate && immediate && (state.dragState & SeparatorState::kDragging) != 0;
    state.sepImmediate = immediate;
    if (turnedOnMidDrag && layout.GetManager() != nullptr) {
        layout.GetManager()->RemoveOverlayPainter(&layout);
    }
}

}  // namespace Weft::separator
