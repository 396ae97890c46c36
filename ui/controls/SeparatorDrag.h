#pragma once

#include "ui/controls/LinearLayouts.h"

// The separator drag shared by the two linear layouts; `horizontal` picks the x axis.
namespace Weft::separator {

CUiRect Band(const SeparatorState& state, const CUiRect& pos, bool horizontal);

// What the layout must do after an event the separator consumed.
enum class Outcome { NotConsumed, Consumed, Released };

// Handles SetCursor, ButtonDown, MouseMove and ButtonUp over or during a drag. `pos` is the
// layout's position; limits are its minimum and maximum extent along the axis.
Outcome Handle(SeparatorState& state, CContainerUI& layout, CUiRect& pos, EventRecord& event,
               bool horizontal, int minExtent, int maxExtent);

// Handle, then the parent's layout once a drag ends; true when the event was consumed.
bool Route(SeparatorState& state, CContainerUI& layout, CUiRect& pos, EventRecord& event,
           bool horizontal, int minExtent, int maxExtent);

void PaintBand(const SeparatorState& state, HDC dc, bool horizontal);

// sepimm turning on during a drag takes the drag band off the manager's overlay list.
void SetImmediate(SeparatorState& state, CContainerUI& layout, bool immediate);

}  // namespace Weft::separator
