// The attribute value parsers.
#include "ui/core/UiValueParsers.h"

#include <gtest/gtest.h>

namespace Weft {
namespace {

TEST(ParseColour, ReadsArgbWithOptionalHashAndLeadingBlanks) {
    EXPECT_EQ(ParseColour(L"#FFD0D0D0"), 0xFFD0D0D0u);
    EXPECT_EQ(ParseColour(L" #FFD0D0D0"), 0xFFD0D0D0u);
    EXPECT_EQ(ParseColour(L"\t\r\n #FF102030"), 0xFF102030u);
    EXPECT_EQ(ParseColour(L"FF0000FF"), 0xFF0000FFu);
    EXPECT_EQ(ParseColour(L"#FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseColour(L"#00FFFFFF"), 0x00FFFFFFu);
    EXPECT_EQ(ParseColour(L"red"), 0u);
    EXPECT_EQ(ParseColour(L""), 0u);
    EXPECT_EQ(ParseColour(nullptr), 0u);
}

TEST(ParseBorderColour, SkipsOnlyTheHash) {
    EXPECT_EQ(ParseBorderColour(L"#FFD0D0D0"), 0xFFD0D0D0u);
    EXPECT_EQ(ParseBorderColour(L"FFD0D0D0"), 0xFFD0D0D0u);
    EXPECT_EQ(ParseBorderColour(L" #FFD0D0D0"), 0u);
}

TEST(ParseInteger, FollowsWtoi) {
    EXPECT_EQ(ParseInteger(L"42"), 42);
    EXPECT_EQ(ParseInteger(L"-7px"), -7);
    EXPECT_EQ(ParseInteger(L"solid"), 0);
    EXPECT_EQ(ParseInteger(nullptr), 0);
}

TEST(ParseRect, SkipsOneSeparatorAfterEachNumber) {
    const CUiRect rc = ParseRect(L"1,2,3,4");
    EXPECT_EQ(rc.left, 1);
    EXPECT_EQ(rc.top, 2);
    EXPECT_EQ(rc.right, 3);
    EXPECT_EQ(rc.bottom, 4);
    const CUiRect spaced = ParseRect(L"10 -20;30x40");
    EXPECT_EQ(spaced.left, 10);
    EXPECT_EQ(spaced.top, -20);
    EXPECT_EQ(spaced.right, 30);
    EXPECT_EQ(spaced.bottom, 40);
}

TEST(ParseRect, MissingFieldsReadAsZero) {
    const CUiRect rc = ParseRect(L"5,6");
    EXPECT_EQ(rc.left, 5);
    EXPECT_EQ(rc.top, 6);
    EXPECT_EQ(rc.right, 0);
    EXPECT_EQ(rc.bottom, 0);
    const CUiRect trailing = ParseRect(L"5,");
    EXPECT_EQ(trailing.left, 5);
    EXPECT_EQ(trailing.top, 0);
    const CUiRect empty = ParseRect(L"");
    EXPECT_EQ(empty.left, 0);
    EXPECT_EQ(empty.bottom, 0);
}

TEST(ParseRect, TwoSeparatorsInARowLeaveAZeroField) {
    const CUiRect rc = ParseRect(L"1,,3,4");
    EXPECT_EQ(rc.left, 1);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 3);
    EXPECT_EQ(rc.bottom, 4);
}

TEST(ParseSize, ReadsTwoNumbers) {
    const CUiSize size = ParseSize(L"640,480,99");
    EXPECT_EQ(size.cx, 640);
    EXPECT_EQ(size.cy, 480);
    EXPECT_EQ(ParseSize(L"12").cy, 0);
}

TEST(ParseRealList, ReadsRealsTheSameWay) {
    double values[4];
    ParseRealList(L"0.25,0.5,1.5", values, 4);
    EXPECT_DOUBLE_EQ(values[0], 0.25);
    EXPECT_DOUBLE_EQ(values[1], 0.5);
    EXPECT_DOUBLE_EQ(values[2], 1.5);
    EXPECT_DOUBLE_EQ(values[3], 0.0);
}

TEST(ParseBoolean, IsTrueOnlyForTrueInAnyCase) {
    EXPECT_TRUE(ParseBoolean(L"true"));
    EXPECT_TRUE(ParseBoolean(L"TRUE"));
    EXPECT_TRUE(ParseBoolean(L"True"));
    EXPECT_FALSE(ParseBoolean(L"1"));
    EXPECT_FALSE(ParseBoolean(L"yes"));
    EXPECT_FALSE(ParseBoolean(L"true "));
    EXPECT_FALSE(ParseBoolean(L""));
    EXPECT_FALSE(ParseBoolean(nullptr));
}

}  // namespace
}  // namespace Weft
