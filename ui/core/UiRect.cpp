#include "ui/core/UiRect.h"

#include <algorithm>

namespace Weft {

void CUiRect::Offset(LONG dx, LONG dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

void CUiRect::MoveToOrigin() {
    Offset(-left, -top);
}

void CUiRect::Shrink(LONG cx, LONG cy) {
    left += cx;
    right -= cx;
    top += cy;
    bottom -= cy;
}

void CUiRect::Union(const RECT& other) {
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
}

void CUiRect::Clear() {
    left = top = right = bottom = 0;
}

}  // namespace Weft
