// The system program runner and the two mountvol runs.
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

TEST(RunSystemProgram, RunsTheProgramItselfFromTheSystemDirectoryHiddenAndThere) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.currentDirectory = L"C:\\Users\\admin\\Downloads";
    machine.commands[L"schtasks.exe /query"] = {0};
    machine.commands[L"schtasks.exe /run"] = {5};
    EXPECT_EQ(RunSystemProgram(machine, L"schtasks.exe", L"/query", 5000), 0);
    EXPECT_EQ(RunSystemProgram(machine, L"schtasks.exe", L"/run", 5000), 5);
    ASSERT_EQ(machine.processStarts.size(), 2u);
    EXPECT_EQ(machine.processStarts[0].application, L"C:\\Windows\\system32\\schtasks.exe");
    EXPECT_EQ(machine.processStarts[0].commandLine, L"schtasks.exe /query");
    EXPECT_EQ(machine.processStarts[0].show, ShowWindowMode::Hidden);
    // Not the folder the program was started from: children run in the system directory.
    EXPECT_EQ(machine.processStarts[0].currentDirectory, L"C:\\Windows\\system32");
    EXPECT_THAT(machine.log, Each(Not(StartsWith(L"KillProcess"))));
    EXPECT_THAT(machine.misuse, IsEmpty());  // no command interpreter
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(RunSystemProgram, AProgramStillRunningOrExitingWith259IsTerminatedAndFails) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.commands[L"ping.exe -t localhost"] = {0, true};
    machine.commands[L"schtasks.exe /exit"] = {259};
    EXPECT_EQ(RunSystemProgram(machine, L"ping.exe", L"-t localhost", 250), -1);
    EXPECT_EQ(RunSystemProgram(machine, L"schtasks.exe", L"/exit", 250), -1);
    EXPECT_THAT(machine.processWaits,
                ElementsAre(std::pair<std::wstring, std::uint32_t>{L"ping.exe -t localhost", 250},
                            std::pair<std::wstring, std::uint32_t>{L"schtasks.exe /exit", 250}));
    EXPECT_THAT(
        machine.log,
        ElementsAre(L"KillProcessTree ping.exe -t localhost", L"CloseJob ping.exe -t localhost",
                    L"CloseThread ping.exe -t localhost", L"CloseProcess ping.exe -t localhost",
                    L"KillProcessTree schtasks.exe /exit", L"CloseJob schtasks.exe /exit",
                    L"CloseThread schtasks.exe /exit", L"CloseProcess schtasks.exe /exit"));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(RunSystemProgram, FailsWithoutStartingWhatItCannotRunWhole) {
    ScriptedMachine machine = test::NormalWindows11();
    // "a.exe " and the arguments: 1,024 characters are one too many.
    EXPECT_EQ(RunSystemProgram(machine, L"a.exe", std::wstring(1018, L'a'), 100), -1);
    EXPECT_THAT(machine.processStarts, IsEmpty());
    machine.commands[L"a.exe " + std::wstring(1017, L'a')] = {7};
    EXPECT_EQ(RunSystemProgram(machine, L"a.exe", std::wstring(1017, L'a'), 100), 7);
    machine.systemDirectory.clear();
    EXPECT_EQ(RunSystemProgram(machine, L"a.exe", L"", 100), -1);
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
