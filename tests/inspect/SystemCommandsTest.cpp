// The hidden command runner and the two mountvol runs.
#include "inspect/SystemCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

TEST(RunHiddenCommand, RunsTheInterpreterFromTheSystemDirectoryHidden) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.commands[L"cmd.exe /c schtasks /query"] = {0};
    machine.commands[L"cmd.exe /c exit 5"] = {5};
    EXPECT_EQ(RunHiddenCommand(machine, L"schtasks /query", 5000), 0);
    EXPECT_EQ(RunHiddenCommand(machine, L"exit 5", 5000), 5);
    ASSERT_EQ(machine.processStarts.size(), 2u);
    EXPECT_EQ(machine.processStarts[0].application, L"C:\\Windows\\system32\\cmd.exe");
    EXPECT_EQ(machine.processStarts[0].commandLine, L"cmd.exe /c schtasks /query");
    EXPECT_EQ(machine.processStarts[0].show, ShowWindowMode::Hidden);
    EXPECT_THAT(machine.log, Each(Not(StartsWith(L"KillProcess"))));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(RunHiddenCommand, ACommandStillRunningOrExitingWith259IsTerminatedAndFails) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.commands[L"cmd.exe /c ping -t localhost"] = {0, true};
    machine.commands[L"cmd.exe /c exit 259"] = {259};
    EXPECT_EQ(RunHiddenCommand(machine, L"ping -t localhost", 250), -1);
    EXPECT_EQ(RunHiddenCommand(machine, L"exit 259", 250), -1);
    EXPECT_THAT(
        machine.processWaits,
        ElementsAre(std::pair<std::wstring, std::uint32_t>{L"cmd.exe /c ping -t localhost", 250},
                    std::pair<std::wstring, std::uint32_t>{L"cmd.exe /c exit 259", 250}));
    EXPECT_THAT(
        machine.log,
        ElementsAre(L"KillProcessTree cmd.exe /c ping -t localhost",
                    L"CloseJob cmd.exe /c ping -t localhost",
                    L"CloseThread cmd.exe /c ping -t localhost",
                    L"CloseProcess cmd.exe /c ping -t localhost",
                    L"KillProcessTree cmd.exe /c exit 259", L"CloseJob cmd.exe /c exit 259",
                    L"CloseThread cmd.exe /c exit 259", L"CloseProcess cmd.exe /c exit 259"));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(RunHiddenCommand, FailsWithoutStartingWhatItCannotRunWhole) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_EQ(RunHiddenCommand(machine, std::wstring(1013, L'a'), 100), -1);
    EXPECT_THAT(machine.processStarts, IsEmpty());
    machine.commands[L"cmd.exe /c " + std::wstring(1012, L'a')] = {7};
    EXPECT_EQ(RunHiddenCommand(machine, std::wstring(1012, L'a'), 100), 7);
    machine.systemDirectory.clear();
    EXPECT_EQ(RunHiddenCommand(machine, L"exit 0", 100), -1);
    EXPECT_EQ(machine.processStarts.size(), 1u);
}

TEST(Mountvol, RunsFromTheSystemDirectoryAndReportsItsExitCode) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_TRUE(MountEspAtS(machine));
    EXPECT_FALSE(MountEspAtS(machine));  // S: is taken now
    UnmountS(machine);
    EXPECT_FALSE(machine.letters.count(L'S'));
    ASSERT_EQ(machine.processStarts.size(), 3u);
    for (const auto& start : machine.processStarts) {
        EXPECT_EQ(start.application, L"C:\\Windows\\system32\\mountvol.exe");
        EXPECT_EQ(start.show, ShowWindowMode::Unspecified);
    }
    EXPECT_EQ(machine.processStarts[2].commandLine, L"mountvol S: /d");
    EXPECT_EQ(machine.processWaits[0].second, 60000u);
    machine.systemDirectory = L"C:\\Windows\\system32\\";
    EXPECT_EQ(SystemCommandPath(machine, L"mountvol.exe"), L"C:\\Windows\\system32\\mountvol.exe");
    machine.systemDirectory.clear();
    EXPECT_FALSE(MountEspAtS(machine));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(Mountvol, AHungMountvolIsEndedAfterAMinuteAndCountsAsAFailure) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.mountvolHangs = true;
    EXPECT_FALSE(MountEspAtS(machine));
    UnmountS(machine);
    EXPECT_FALSE(machine.letters.count(L'S'));
    EXPECT_THAT(machine.log,
                ElementsAre(L"mountvol S: /s hangs", L"KillProcessTree mountvol S: /s",
                            L"CloseJob mountvol S: /s", L"CloseThread mountvol S: /s",
                            L"CloseProcess mountvol S: /s", L"mountvol S: /d hangs",
                            L"KillProcessTree mountvol S: /d", L"CloseJob mountvol S: /d",
                            L"CloseThread mountvol S: /d", L"CloseProcess mountvol S: /d"));
    EXPECT_THAT(machine.misuse, IsEmpty());  // no endless wait
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

}  // namespace
}  // namespace certvane
