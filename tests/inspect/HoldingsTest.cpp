// What runs hold until they give it back, and what a program that must end gives back for them.
#include "inspect/Holdings.h"

#include "tests/support/ScriptedMachine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace certvane {
namespace {

using ::testing::ElementsAre;

TEST(Holdings, EachReleaseRunsOnceWhoeverAsksFirst) {
    test::ScriptedMachine machine;
    Holdings held;
    std::vector<std::wstring> done;
    held.Record(machine, L"letter:S:", [&](Platform&) { done.push_back(L"S:"); });
    held.Record(machine, L"hive:TempOfflineSoft", [&](Platform&) { done.push_back(L"hive"); });
    held.Record(machine, L"folder:X", [&](Platform&) { done.push_back(L"never acquired"); });
    held.Forget(L"folder:X");
    held.Release(L"hive:TempOfflineSoft");
    held.Release(L"hive:TempOfflineSoft");
    held.Release(L"unknown");
    EXPECT_THAT(done, ElementsAre(L"hive"));
    EXPECT_EQ(held.Count(), 1u);
    held.ReleaseAll();
    // The holder's own release, coming after the program's, finds nothing left to do.
    held.Release(L"letter:S:");
    EXPECT_THAT(done, ElementsAre(L"hive", L"S:"));
    EXPECT_EQ(held.Count(), 0u);
}

// What was acquired inside another goes first: the hive before the folder holding its copy.
TEST(Holdings, ReleaseAllGivesBackNewestFirst) {
    test::ScriptedMachine machine;
    Holdings held;
    std::vector<std::wstring> done;
    held.Record(machine, L"folder:F", [&](Platform&) { done.push_back(L"folder"); });
    held.Record(machine, L"hive:H", [&](Platform&) { done.push_back(L"hive"); });
    held.ReleaseAll();
    EXPECT_THAT(done, ElementsAre(L"hive", L"folder"));
    held.ReleaseAll();
    EXPECT_THAT(done, ElementsAre(L"hive", L"folder"));
}

// A name held twice (a release an earlier run lost) is given back newest first: the newest is
// the one its holder means.
TEST(Holdings, ANameHeldTwiceReleasesTheNewest) {
    test::ScriptedMachine machine;
    Holdings held;
    std::vector<int> done;
    held.Record(machine, L"letter:S:", [&](Platform&) { done.push_back(1); });
    held.Record(machine, L"letter:S:", [&](Platform&) { done.push_back(2); });
    held.Release(L"letter:S:");
    EXPECT_THAT(done, ElementsAre(2));
    held.ReleaseAll();
    EXPECT_THAT(done, ElementsAre(2, 1));
}

// A platform that goes away takes its releases with it; those of others stay.
TEST(Holdings, APlatformGoingAwayLeavesNoReleaseToRunOnIt) {
    test::ScriptedMachine other;
    Holdings held;
    std::vector<int> done;
    {
        test::ScriptedMachine machine;
        held.Record(machine, L"hive:H", [&](Platform&) { done.push_back(1); });
        held.Record(other, L"letter:S:", [&](Platform&) { done.push_back(2); });
        held.ForgetEverythingOf(machine);
    }
    held.ReleaseAll();
    EXPECT_THAT(done, ElementsAre(2));
}

}  // namespace
}  // namespace certvane
