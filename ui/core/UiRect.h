#pragma once

#include <windows.h>

namespace Weft {

// A rectangle in device pixels, passed to Win32 calls as a RECT without conversion. No
// operation normalises it: an inverted rectangle stays inverted.
class CUiRect : public RECT {
  public:
    CUiRect() : RECT{0, 0, 0, 0} {}
    CUiRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    CUiRect(const RECT& rc) : RECT(rc) {}

    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
    void Offset(LONG dx, LONG dy);
    void MoveToOrigin();
    // A negative amount grows the rectangle.
    void Shrink(LONG cx, LONG cy);
    // Empty and inverted rectangles take part like any other, so callers keep that in mind.
    void Union(const RECT& other);
    void Clear();
};

// A size; the same two-integer shape also serves as a point.
class CUiSize : public SIZE {
  public:
    CUiSize() : SIZE{0, 0} {}
    CUiSize(LONG x, LONG y) : SIZE{x, y} {}
    CUiSize(const SIZE& size) : SIZE(size) {}
};

static_assert(sizeof(CUiRect) == sizeof(RECT) && sizeof(CUiRect) == 16);
static_assert(sizeof(CUiSize) == sizeof(SIZE) && sizeof(CUiSize) == 8);

}  // namespace Weft
