// The pointer array's growth policy and range checks.
#include "ui/core/UiPtrArray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace Weft {
namespace {

void* P(std::uintptr_t n) {
    return reinterpret_cast<void*>(n);
}

std::vector<std::uintptr_t> Items(const CUiPtrArray& a) {
    std::vector<std::uintptr_t> items;
    for (int i = 0; i < a.Count(); ++i) items.push_back(reinterpret_cast<std::uintptr_t>(a[i]));
    return items;
}

TEST(CUiPtrArray, GrowsToElevenThenDoubles) {
    CUiPtrArray a;
    EXPECT_EQ(a.Capacity(), 0);
    EXPECT_EQ(a.Data(), nullptr);
    ASSERT_TRUE(a.Push(P(1)));
    EXPECT_EQ(a.Capacity(), 11);
    for (std::uintptr_t i = 2; i <= 10; ++i) ASSERT_TRUE(a.Push(P(i)));
    EXPECT_EQ(a.Capacity(), 11);
    ASSERT_TRUE(a.Push(P(11)));
    EXPECT_EQ(a.Capacity(), 22);
    EXPECT_EQ(a.Count(), 11);
    for (std::uintptr_t i = 12; i <= 22; ++i) ASSERT_TRUE(a.Push(P(i)));
    EXPECT_EQ(a.Capacity(), 44);
    EXPECT_EQ(a.GetAt(21), P(22));
}

TEST(CUiPtrArray, PreallocationAndZeroedResize) {
    CUiPtrArray a(3);
    EXPECT_EQ(a.Capacity(), 3);
    EXPECT_TRUE(a.IsEmpty());
    a.Push(P(1));
    a.Push(P(2));
    EXPECT_EQ(a.Capacity(), 3);
    a.Push(P(3));
    EXPECT_EQ(a.Capacity(), 6);
    a.ResizeZeroed(4);
    EXPECT_EQ(a.Count(), 4);
    EXPECT_EQ(a.Capacity(), 4);
    EXPECT_EQ(Items(a), (std::vector<std::uintptr_t>{0, 0, 0, 0}));
    a.Clear();
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Capacity(), 0);
}

TEST(CUiPtrArray, InsertAtChecksItsBounds) {
    CUiPtrArray a;
    EXPECT_FALSE(a.InsertAt(1, P(9)));
    EXPECT_FALSE(a.InsertAt(-1, P(9)));
    EXPECT_TRUE(a.InsertAt(0, P(2)));
    EXPECT_TRUE(a.InsertAt(0, P(1)));
    EXPECT_TRUE(a.InsertAt(2, P(4)));
    EXPECT_TRUE(a.InsertAt(2, P(3)));
    EXPECT_FALSE(a.InsertAt(a.Count() + 1, P(5)));
    EXPECT_EQ(Items(a), (std::vector<std::uintptr_t>{1, 2, 3, 4}));
}

TEST(CUiPtrArray, InsertingIntoAFullArrayGrowsIt) {
    CUiPtrArray a;
    for (std::uintptr_t i = 1; i <= 10; ++i) a.Push(P(i));
    ASSERT_TRUE(a.InsertAt(0, P(0)));
    EXPECT_EQ(a.Capacity(), 22);
    EXPECT_EQ(a.Count(), 11);
    EXPECT_EQ(a.GetAt(0), P(0));
    EXPECT_EQ(a.GetAt(10), P(10));
}

TEST(CUiPtrArray, RemoveSetGetAndIndexOf) {
    CUiPtrArray a;
    for (std::uintptr_t i = 1; i <= 4; ++i) a.Push(P(i));
    EXPECT_FALSE(a.RemoveAt(4));
    EXPECT_FALSE(a.RemoveAt(-1));
    EXPECT_TRUE(a.RemoveAt(1));
    EXPECT_EQ(Items(a), (std::vector<std::uintptr_t>{1, 3, 4}));
    EXPECT_TRUE(a.RemoveAt(2));
    EXPECT_EQ(Items(a), (std::vector<std::uintptr_t>{1, 3}));
    EXPECT_FALSE(a.SetAt(2, P(7)));
    EXPECT_TRUE(a.SetAt(1, P(7)));
    EXPECT_EQ(a.GetAt(1), P(7));
    EXPECT_EQ(a.GetAt(2), nullptr);
    EXPECT_EQ(a.GetAt(-1), nullptr);
    a.Push(P(7));
    EXPECT_EQ(a.IndexOf(P(7)), 1);
    EXPECT_EQ(a.IndexOf(P(8)), -1);
}

TEST(CUiPtrArray, CopiesPushEveryItemInOrder) {
    CUiPtrArray a;
    for (std::uintptr_t i = 1; i <= 12; ++i) a.Push(P(i));
    const CUiPtrArray b(a);
    EXPECT_EQ(Items(b), Items(a));
    EXPECT_NE(b.Data(), a.Data());
    EXPECT_EQ(b.Capacity(), 22);
    CUiPtrArray c(2);
    c = a;
    EXPECT_EQ(Items(c), Items(a));
}

}  // namespace
}  // namespace Weft
