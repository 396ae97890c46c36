#include "ui/core/UiScale.h"

namespace Weft {

int CUiScale::Scale(int value) const {
    if (mode_ == ModeNone || value == 0) return value;
    const int scaled = MulDiv(value, percentage_, 100);
    if (scaled == 0) return value > 0 ? 1 : -1;
    return scaled;
}

int CUiScale::Unscale(int pixels) const {
    if (mode_ == ModeNone || pixels == 0 || percentage_ <= 0) return pixels;
    return MulDiv(pixels, 100, percentage_);
}

CUiSize CUiScale::Scale(const SIZE& size) const {
    return CUiSize(Scale(size.cx), Scale(size.cy));
}

POINT CUiScale::Scale(const POINT& point) const {
    return POINT{Scale(point.x), Scale(point.y)};
}

CUiRect CUiScale::Scale(const RECT& rect) const {
    const LONG left = Scale(rect.left);
    const LONG top = Scale(rect.top);
    return CUiRect(left, top, left + Scale(rect.right - rect.left),
                   top + Scale(rect.bottom - rect.top));
}

}  // namespace Weft
