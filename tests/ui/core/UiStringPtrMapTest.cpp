// The string map's hashing, chain order, move-to-front and iteration order.
#include "ui/core/UiStringPtrMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace Weft {
namespace {

void* P(std::uintptr_t n) {
    return reinterpret_cast<void*>(n);
}

// The documented hash: ×33 taking the characters from the last to the first.
unsigned Bucket(const std::wstring& key, unsigned buckets) {
    unsigned hash = 0;
    for (auto it = key.rbegin(); it != key.rend(); ++it) hash = hash * 33 + *it;
    return hash % buckets;
}

std::vector<std::wstring> Keys(const CUiStringPtrMap& map) {
    std::vector<std::wstring> keys;
    for (int i = 0; i < map.Count(); ++i) keys.emplace_back(map.KeyAt(i));
    return keys;
}

// Two distinct keys of the same bucket, found by search.
std::pair<std::wstring, std::wstring> CollidingKeys(unsigned buckets) {
    const std::wstring first = L"key0";
    for (int i = 1;; ++i) {
        const std::wstring other = L"key" + std::to_wstring(i);
        if (Bucket(other, buckets) == Bucket(first, buckets)) return {first, other};
    }
}

TEST(CUiStringPtrMap, RaisesTheBucketCountToSixteen) {
    EXPECT_EQ(CUiStringPtrMap(5).BucketCount(), 16);
    EXPECT_EQ(CUiStringPtrMap(0).BucketCount(), 16);
    EXPECT_EQ(CUiStringPtrMap(83).BucketCount(), 83);
    EXPECT_EQ(CUiStringPtrMap().BucketCount(), 83);
}

TEST(CUiStringPtrMap, IteratesBucketsFromTheLastByTheReversedHash) {
    CUiStringPtrMap map(83);
    std::vector<std::wstring> keys = {L"ab", L"ba", L"Button", L"Label", L"x", L"VerticalLayout"};
    for (size_t i = 0; i < keys.size(); ++i) ASSERT_TRUE(map.Insert(keys[i].c_str(), P(i + 1)));
    std::stable_sort(keys.begin(), keys.end(), [](const std::wstring& a, const std::wstring& b) {
        return Bucket(a, 83) > Bucket(b, 83);
    });
    // The keys chosen here lie in distinct buckets, so the order is fully determined.
    for (size_t i = 1; i < keys.size(); ++i)
        ASSERT_NE(Bucket(keys[i - 1], 83), Bucket(keys[i], 83));
    EXPECT_EQ(Keys(map), keys);
    EXPECT_EQ(map.KeyAt(-1), nullptr);
    EXPECT_EQ(map.KeyAt(map.Count()), nullptr);
}

TEST(CUiStringPtrMap, NewItemsGoToTheHeadAndFindMovesToTheFront) {
    const auto [first, second] = CollidingKeys(83);
    CUiStringPtrMap map(83);
    map.Insert(first.c_str(), P(1));
    map.Insert(second.c_str(), P(2));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{second, first}));
    EXPECT_EQ(map.Find(first.c_str(), false), P(1));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{second, first}));
    EXPECT_EQ(map.Find(first.c_str()), P(1));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{first, second}));
    EXPECT_EQ(map.Find(second.c_str()), P(2));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{second, first}));
}

TEST(CUiStringPtrMap, KeysCompareCaseSensitively) {
    CUiStringPtrMap map;
    EXPECT_TRUE(map.Insert(L"Font", P(1)));
    EXPECT_TRUE(map.Insert(L"font", P(2)));
    EXPECT_FALSE(map.Insert(L"Font", P(3)));
    EXPECT_EQ(map.Find(L"Font"), P(1));
    EXPECT_EQ(map.Find(L"font"), P(2));
    EXPECT_EQ(map.Find(L"FONT"), nullptr);
    EXPECT_EQ(map.Count(), 2);
}

TEST(CUiStringPtrMap, SetReplacesAndReturnsTheOldValue) {
    CUiStringPtrMap map;
    EXPECT_EQ(map.Set(L"a", P(1)), nullptr);
    EXPECT_EQ(map.Set(L"a", P(2)), P(1));
    EXPECT_EQ(map.Find(L"a"), P(2));
    EXPECT_EQ(map.Count(), 1);
}

TEST(CUiStringPtrMap, WithoutBucketsSetStoresNothing) {
    CUiStringPtrMap map;
    map.Insert(L"a", P(1));
    map.Rebuild(0);
    EXPECT_EQ(map.BucketCount(), 0);
    EXPECT_EQ(map.Count(), 0);
    EXPECT_EQ(map.Set(L"a", P(5)), P(5));
    EXPECT_FALSE(map.Insert(L"a", P(5)));
    EXPECT_EQ(map.Find(L"a"), nullptr);
    EXPECT_EQ(map.Count(), 0);
    EXPECT_FALSE(map.Remove(L"a"));
    EXPECT_EQ(map.KeyAt(0), nullptr);
}

TEST(CUiStringPtrMap, ANullValueCountsAsAbsentForInsert) {
    CUiStringPtrMap map;
    EXPECT_TRUE(map.Insert(L"k", nullptr));
    EXPECT_TRUE(map.Insert(L"k", P(1)));
    EXPECT_EQ(map.Count(), 2);
    EXPECT_EQ(map.Find(L"k"), P(1));
}

TEST(CUiStringPtrMap, RemoveUnlinksFromAnyPlaceInTheChain) {
    const auto [first, second] = CollidingKeys(83);
    CUiStringPtrMap map;
    map.Insert(first.c_str(), P(1));
    map.Insert(second.c_str(), P(2));
    map.Insert(L"other", P(3));
    EXPECT_FALSE(map.Remove(L"missing"));
    EXPECT_TRUE(map.Remove(first.c_str()));
    EXPECT_EQ(map.Find(second.c_str()), P(2));
    EXPECT_EQ(map.Find(first.c_str()), nullptr);
    map.Insert(first.c_str(), P(1));
    EXPECT_TRUE(map.Remove(first.c_str()));
    EXPECT_EQ(map.Find(second.c_str()), P(2));
    EXPECT_EQ(map.Count(), 2);
    EXPECT_TRUE(map.Remove(second.c_str()));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"other"}));
}

TEST(CUiStringPtrMap, RemoveAllKeepsTheBucketCountAndRebuildTakesANewOne) {
    CUiStringPtrMap map;
    for (int i = 0; i < 200; ++i) map.Insert(std::to_wstring(i).c_str(), P(i + 1));
    EXPECT_EQ(map.Count(), 200);
    EXPECT_EQ(map.Find(L"150"), P(151));
    map.RemoveAll();
    EXPECT_EQ(map.Count(), 0);
    EXPECT_EQ(map.BucketCount(), 83);
    EXPECT_EQ(map.Find(L"150"), nullptr);
    map.Rebuild(5);
    EXPECT_EQ(map.BucketCount(), 5);
    EXPECT_TRUE(map.Insert(L"x", P(1)));
    EXPECT_EQ(map.Find(L"x"), P(1));
}

TEST(CUiStringPtrMap, HoldsLongKeysOfItsOwn) {
    std::wstring key(100, L'k');
    CUiStringPtrMap map;
    map.Insert(key.c_str(), P(1));
    key[0] = L'z';
    EXPECT_EQ(map.Find(std::wstring(100, L'k').c_str()), P(1));
    EXPECT_EQ(std::wstring(map.KeyAt(0)), std::wstring(100, L'k'));
}

}  // namespace
}  // namespace Weft
