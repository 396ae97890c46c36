// Rectangle arithmetic; nothing normalises a rectangle.
#include "ui/core/UiRect.h"

#include <gtest/gtest.h>

namespace Weft {
namespace {

void ExpectRect(const RECT& rc, LONG l, LONG t, LONG r, LONG b) {
    EXPECT_EQ(rc.left, l);
    EXPECT_EQ(rc.top, t);
    EXPECT_EQ(rc.right, r);
    EXPECT_EQ(rc.bottom, b);
}

TEST(CUiRect, ConstructsAndMeasures) {
    ExpectRect(CUiRect(), 0, 0, 0, 0);
    const RECT native{1, 2, 3, 4};
    ExpectRect(CUiRect(native), 1, 2, 3, 4);
    const CUiRect inverted(10, 10, 4, 2);
    EXPECT_EQ(inverted.Width(), -6);
    EXPECT_EQ(inverted.Height(), -8);
}

TEST(CUiRect, OffsetMoveAndShrink) {
    CUiRect rc(10, 20, 50, 60);
    rc.Offset(5, -5);
    ExpectRect(rc, 15, 15, 55, 55);
    rc.MoveToOrigin();
    ExpectRect(rc, 0, 0, 40, 40);
    rc.Shrink(3, 4);
    ExpectRect(rc, 3, 4, 37, 36);
    rc.Shrink(-3, -4);
    ExpectRect(rc, 0, 0, 40, 40);
    rc.Shrink(30, 0);
    ExpectRect(rc, 30, 0, 10, 40);
    rc.Clear();
    ExpectRect(rc, 0, 0, 0, 0);
}

TEST(CUiRect, UnionCountsEmptyRectanglesToo) {
    CUiRect rc(10, 10, 20, 20);
    rc.Union(CUiRect());
    ExpectRect(rc, 0, 0, 20, 20);
    rc.Union(CUiRect(30, -5, 25, 40));
    ExpectRect(rc, 0, -5, 25, 40);
}

TEST(CUiSize, HoldsTwoIntegers) {
    const CUiSize size(3, -4);
    EXPECT_EQ(size.cx, 3);
    EXPECT_EQ(size.cy, -4);
    const SIZE native = size;
    EXPECT_EQ(CUiSize(native).cy, -4);
}

}  // namespace
}  // namespace Weft
