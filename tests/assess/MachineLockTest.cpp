// Two runs at once (the window, and a CLI run as SYSTEM in another session) never share S:,
// the mount folders or the offline hive names: the second acquires nothing.
#include "inspect/MachineLock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "actions/BootCertCheck.h"
#include "actions/FirmwareCertUpdate.h"
#include "cli/CliRun.h"
#include "inspect/MachineFacts.h"
#include "report/StatusReport.h"
#include "tests/actions/ActionSituations.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Another run holds the lock, or it exists but cannot be opened.
std::vector<ScriptedMachine> BusyMachines() {
    std::vector<ScriptedMachine> machines(2, test::NormalWindows11());
    machines[0].lockHeldElsewhere = true;
    machines[1].lockRefused = true;
    for (ScriptedMachine& machine : machines) {
        machine.volumes[test::Windows11::Esp].filesByVolumeName = false;  // S: would be needed
        test::InstallSecureBootTask(machine);
    }
    return machines;
}

void ExpectNothingAcquired(const ScriptedMachine& machine) {
    EXPECT_TRUE(machine.letters.count(L'S') == 0);
    EXPECT_THAT(machine.hiveLoads, IsEmpty());
    EXPECT_THAT(machine.mountFolders, IsEmpty());
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(MachineLock, IsWaitedForTwoMinutesAndReleased) {
    ScriptedMachine machine = test::NormalWindows11();
    {
        const MachineLock lock(machine);
        EXPECT_TRUE(lock.Held());
        EXPECT_THAT(machine.HeldResources(), ElementsAre(::testing::HasSubstr(L"machine lock")));
    }
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    ASSERT_EQ(machine.lockWaits.size(), 1u);
    EXPECT_EQ(machine.lockWaits[0].second, 120000u);
}

TEST(MachineLock, WithoutItTheReportReadsNothing) {
    for (ScriptedMachine machine : BusyMachines()) {
        EXPECT_FALSE(GatherMachineFacts(machine).has_value());
        EXPECT_THAT(machine.firmwareReads, IsEmpty());
        EXPECT_THAT(machine.processStarts, IsEmpty());
        EXPECT_EQ(ComposeStatusReport(machine), MachineBusyReport);
        ExpectNothingAcquired(machine);
    }
}

TEST(MachineLock, WithoutItTheCliExitsThreeWithOneLine) {
    for (const ScriptedMachine& machine : BusyMachines()) {
        for (const auto& args : {std::vector<std::wstring>{}, {L"--json"}, {L"--summary"}}) {
            const auto result = cli::RunCli<ScriptedMachine>(args, machine);
            EXPECT_EQ(result.exitCode, 3);
            EXPECT_THAT(result.out, IsEmpty());
            EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
        }
    }
}

TEST(MachineLock, WithoutItTheActionsLookAtNoEspAndWriteNothing) {
    for (ScriptedMachine machine : BusyMachines()) {
        EXPECT_EQ(CheckBootCertUpdate(machine), MachineBusyText);
        ExpectNothingAcquired(machine);
        // The firmware is ready: whether anything is left to do needs the boot manager.
        EXPECT_EQ(TriggerFirmwareCertUpdate(machine), MachineBusyText);
        EXPECT_FALSE(test::AvailableUpdatesValue(machine).has_value());
        ExpectNothingAcquired(machine);
    }
}

}  // namespace
}  // namespace certvane
