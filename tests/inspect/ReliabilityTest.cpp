// Properties every report run holds on every scripted machine: what it acquires it releases,
// and it leaves the system as it found it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "inspect/SystemCommands.h"
#include "report/StatusReport.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::IsEmpty;

struct Situation {
    const char* name;
    std::function<ScriptedMachine()> make;
};

ScriptedMachine Windows11With(const std::function<void(ScriptedMachine&)>& change) {
    ScriptedMachine machine = test::NormalWindows11();
    change(machine);
    return machine;
}

const Situation kSituations[] = {
    {"Windows 11, letterless ESP", test::NormalWindows11},
    {"Windows 11, ESP on B:",
     [] { return Windows11With([](auto& m) { m.AssignLetter(L'B', test::Windows11::Esp); }); }},
    {"Windows 11, ESP found only by a folder mount",
     [] { return Windows11With([](auto& m) { m.mountvolEsp.reset(); }); }},
    {"Windows 11, every mount fails",
     [] {
         return Windows11With([](auto& m) {
             m.mountvolEsp.reset();
             m.volumes[test::Windows11::Esp].refusesFolderMount = true;
         });
     }},
    {"Windows 11, ESP on another disk",
     [] { return Windows11With([](auto& m) { m.volumes[test::Windows11::Esp].disk = 1; }); }},
    {"Windows 11, S: is a data drive",
     [] {
         return Windows11With([](auto& m) {
             const std::size_t data = m.AddVolume({L"\\\\?\\Volume{data}\\"});
             m.AssignLetter(L'S', data);
         });
     }},
    {"Windows 11, no temporary folder",
     [] {
         return Windows11With([](auto& m) {
             m.mountvolEsp.reset();
             m.tempDirectory.clear();
         });
     }},
    {"Windows 11, COM refuses to start",
     [] { return Windows11With([](auto& m) { m.comInitFails = true; }); }},
    {"Windows 11, BitLocker query rejected",
     [] { return Windows11With([](auto& m) { m.wmiQueryFails = true; }); }},
    {"Windows 11, BitLocker provider hangs",
     [] { return Windows11With([](auto& m) { m.wmiProviderHangs = true; }); }},
    {"Windows 11, mountvol hangs",
     [] { return Windows11With([](auto& m) { m.mountvolHangs = true; }); }},

    {"Windows PE, offline Windows on C:", test::WinPeWithOfflineOnC},
    {"Windows PE, offline Windows on a USB disk", test::WinPeWithOfflineOnUsb},
    {"Windows PE, no offline Windows", test::WinPeBase},
    {"Windows PE, offline hive without privileges",
     [] {
         ScriptedMachine m = test::WinPeWithOfflineOnC();
         m.heldPrivileges.clear();
         return m;
     }},
    {"Legacy BIOS", test::LegacyBiosMachine},
};

TEST(ReportRunProperties, EveryRunReleasesWhatItAcquiredAndLeavesTheSystemAsFound) {
    for (const Situation& situation : kSituations) {
        SCOPED_TRACE(situation.name);
        ScriptedMachine machine = situation.make();
        const std::wstring before = machine.DescribeSystem();
        ComposeStatusReport(machine);
        EXPECT_THAT(machine.HeldResources(), IsEmpty());
        EXPECT_THAT(machine.misuse, IsEmpty());
        EXPECT_EQ(machine.DescribeSystem(), before);
        EXPECT_EQ(machine.DescribeSystem().find(L"certvane-esp-"), std::wstring::npos);
    }
}

TEST(ReportRunProperties, SystemCommandsAreStartedFromTheSystemDirectoryOnly) {
    for (const Situation& situation : kSituations) {
        SCOPED_TRACE(situation.name);
        ScriptedMachine machine = situation.make();
        ComposeStatusReport(machine);
        for (const auto& start : machine.processStarts) {
            EXPECT_EQ(start.application, machine.systemDirectory + L"\\mountvol.exe");
            EXPECT_TRUE(start.commandLine == L"mountvol S: /s" ||
                        start.commandLine == L"mountvol S: /d")
                << start.commandLine.size();
        }
    }
}

TEST(ReportRunProperties, AHungCommandIsWaitedForOnlyUntilItsTimeOutAndThenTerminated) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.commands[L"schtasks.exe /query /tn x"] = {0, true};
    EXPECT_EQ(RunSystemProgram(machine, L"schtasks.exe", L"/query /tn x", 5000), -1);
    ASSERT_EQ(machine.processWaits.size(), 1u);
    EXPECT_EQ(machine.processWaits[0].second, 5000u);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
}

}  // namespace
}  // namespace certvane
