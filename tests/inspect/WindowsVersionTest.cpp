// The Windows version line, from the live registry, an offline hive or file versions.
#include "inspect/WindowsVersion.h"

#include "inspect/Registry.h"
#include "inspect/WindowsEditions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::wstring RunningVersion(std::wstring_view build, std::uint32_t ubr, std::wstring_view edition,
                            std::wstring_view product) {
    ScriptedMachine machine = test::NormalWindows11();
    test::SetVersion(machine.registry, test::kOnlineVersionKey, build, ubr, edition, product);
    std::wstring text = GetWindowsVersionText(machine, L"ignored", false);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    return text;
}

TEST(WindowsVersionText, NamesTheGenerationAtEachBoundary) {
    EXPECT_EQ(RunningVersion(L"22000", 0, L"", L""), L"Windows 11-内部版本（22000）");
    EXPECT_EQ(RunningVersion(L"21999", 0, L"", L""), L"Windows 10-内部版本（21999）");
    EXPECT_EQ(RunningVersion(L"10240", 0, L"", L""), L"Windows 10-内部版本（10240）");
    EXPECT_EQ(RunningVersion(L"10239", 0, L"", L""), L"Windows 8.1-内部版本（10239）");
    EXPECT_EQ(RunningVersion(L"9600", 0, L"", L""), L"Windows 8.1-内部版本（9600）");
    EXPECT_EQ(RunningVersion(L"9599", 0, L"", L""), L"Windows 8-内部版本（9599）");
    EXPECT_EQ(RunningVersion(L"9200", 0, L"", L""), L"Windows 8-内部版本（9200）");
    EXPECT_EQ(RunningVersion(L"9199", 0, L"", L""), L"Windows 7-内部版本（9199）");
    EXPECT_EQ(RunningVersion(L"7600", 0, L"", L""), L"Windows 7-内部版本（7600）");
    EXPECT_EQ(RunningVersion(L"7599", 0, L"", L""), L"Windows-内部版本（7599）");
    EXPECT_EQ(RunningVersion(L"1", 0, L"", L""), L"Windows-内部版本（1）");
}

TEST(WindowsVersionText, ARunawayBuildNumberCountsAsNoneAndTheFileVersionIsUsed) {
    // NormalWindows11's winver.exe carries 26100.4652.
    EXPECT_EQ(RunningVersion(L"99999999999", 7, L"Professional", L""),
              L"Windows 11 专业版-内部版本（26100.4652）");
    EXPECT_EQ(RunningVersion(L"4294967295", 0, L"", L""), L"Windows 11-内部版本（4294967295）");
}

TEST(LeadingDecimal, ReadsTheLeadingDigitsAndRefusesNumbersBeyond32Bits) {
    EXPECT_EQ(LeadingDecimal(L"22631.4460"), 22631u);
    EXPECT_EQ(LeadingDecimal(L"x1"), 0u);
    EXPECT_EQ(LeadingDecimal(L""), 0u);
    EXPECT_EQ(LeadingDecimal(L"4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(LeadingDecimal(L"4294967296"), 0u);
}

TEST(GenerationForBuild, BuildZeroHasNoGeneration) {
    EXPECT_EQ(GenerationForBuild(0), L"");
    EXPECT_EQ(GenerationForBuild(0xFFFFFFFF), L"Windows 11");
}

TEST(WindowsVersionText, TranslatesTheEditionIdCaseSensitively) {
    EXPECT_EQ(RunningVersion(L"19045", 5737, L"Professional", L"x"),
              L"Windows 10 专业版-内部版本（19045.5737）");
    EXPECT_EQ(RunningVersion(L"17763", 1, L"ServerStandard", L"x"),
              L"Windows 10 ServerStandard-内部版本（17763.1）");
    EXPECT_EQ(RunningVersion(L"22631", 0, L"Core", L""), L"Windows 11 核心版-内部版本（22631）");
    EXPECT_EQ(RunningVersion(L"22631", 0, L"professional", L""),
              L"Windows 11 professional-内部版本（22631）");
    EXPECT_EQ(RunningVersion(L"26100", 1, L"IoTEnterpriseS", L""),
              L"Windows 11 IoT 企业版 LTSC-内部版本（26100.1）");
    EXPECT_EQ(RunningVersion(L"26100", 1, L"CoreCountrySpecific", L""),
              L"Windows 11 核心版特定国家-内部版本（26100.1）");
}

TEST(WindowsVersionText, WithoutEditionIdUsesTheProductNameKeywordsInOrder) {
    EXPECT_EQ(RunningVersion(L"19045", 1, L"", L"Windows 10 Pro Education"),
              L"Windows 10 专业版-内部版本（19045.1）");
    EXPECT_EQ(RunningVersion(L"19045", 1, L"", L"Windows 10 IoT Enterprise"),
              L"Windows 10 企业版-内部版本（19045.1）");
    EXPECT_EQ(RunningVersion(L"19045", 1, L"", L"Windows 10 Pro for Workstations"),
              L"Windows 10 专业工作站版-内部版本（19045.1）");
    EXPECT_EQ(RunningVersion(L"19045", 1, L"", L"Windows 10 HOME"),
              L"Windows 10 家庭版-内部版本（19045.1）");
    EXPECT_EQ(RunningVersion(L"19045", 1, L"", L"Windows 10 IoT Core"),
              L"Windows 10 IoT 版-内部版本（19045.1）");
    EXPECT_EQ(RunningVersion(L"19045", 1, L"", L"Windows Server 2019 Datacenter"),
              L"Windows 10 Windows Server 2019 Datacenter-内部版本（19045.1）");
    EXPECT_EQ(RunningVersion(L"26100", 1, L"", L""), L"Windows 11-内部版本（26100.1）");
}

TEST(WindowsVersionText, ReadsOnlyTheLeadingDigitsOfAStringBuild) {
    EXPECT_EQ(RunningVersion(L"19041abc", 0, L"", L""), L"Windows 10-内部版本（19041）");
    ScriptedMachine machine = test::NormalWindows11();
    machine.SetRegistryValue(test::kOnlineVersionKey, L"CurrentBuild", test::DwordValue(22000));
    // A build of another type counts as missing: the file version answers.
    EXPECT_EQ(GetWindowsVersionText(machine, L"", false),
              L"Windows 11 专业版-内部版本（26100.4652）");
}

TEST(WindowsVersionText, FallsBackToWinverThenNtoskrnlThenGivesUp) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.registry.clear();
    EXPECT_EQ(GetWindowsVersionText(machine, L"", false), L"Windows 11-内部版本（26100.4652）");
    machine.PutFile(L"C:\\Windows\\System32\\winver.exe");
    test::ScriptedFile kernel;
    kernel.version = FixedFileVersion{10u << 16, 19041u << 16 | 1};
    machine.PutFile(L"C:\\Windows\\System32\\ntoskrnl.exe", kernel);
    EXPECT_EQ(GetWindowsVersionText(machine, L"", false), L"Windows 10-内部版本（19041.1）");
    machine.PutFile(L"C:\\Windows\\System32\\ntoskrnl.exe");
    EXPECT_EQ(GetWindowsVersionText(machine, L"", false), L"Windows (未知版本)");
    EXPECT_FALSE(ReadWindowsVersion(machine, L"C:\\Windows").has_value());
}

TEST(OfflineWindowsVersion, LoadsTheSoftwareHiveWithItsPrivilegesAndUnloadsIt) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    EXPECT_EQ(GetWindowsVersionText(machine, L"C:\\Windows", true),
              L"Windows 10 专业版-内部版本（19045.5737）");
    // A private copy is loaded, never the installation's own file.
    EXPECT_THAT(machine.hiveLoads,
                ElementsAre(L"TempOfflineSoft <- X:\\Windows\\TEMP\\certvane-hive-"
                            L"{00000000-0000-0000-0000-000000000001}\\SOFTWARE"));
    EXPECT_TRUE(machine.enabledPrivileges.count(L"SeBackupPrivilege"));
    EXPECT_TRUE(machine.enabledPrivileges.count(L"SeRestorePrivilege"));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
    // A trailing backslash names the same installation.
    EXPECT_EQ(GetWindowsVersionText(machine, L"C:\\Windows\\", true),
              L"Windows 10 专业版-内部版本（19045.5737）");
}

TEST(OfflineWindowsVersion, WhenTheHiveCannotBeUsedTheFileVersionAnswers) {
    const auto withWinver = [](ScriptedMachine& machine) {
        test::ScriptedFile winver;
        winver.version = FixedFileVersion{10u << 16, 19041u << 16 | 1};
        machine.PutFile(L"C:\\Windows\\System32\\winver.exe", winver);
    };
    ScriptedMachine refused = test::WinPeWithOfflineOnC();
    refused.heldPrivileges.clear();
    withWinver(refused);
    EXPECT_EQ(GetWindowsVersionText(refused, L"C:\\Windows", true),
              L"Windows 10-内部版本（19041.1）");

    ScriptedMachine emptyHive = test::WinPeWithOfflineOnC();
    emptyHive.PutFile(L"C:\\Windows\\System32\\config\\SOFTWARE", test::HiveFile({}));
    withWinver(emptyHive);
    EXPECT_EQ(GetWindowsVersionText(emptyHive, L"C:\\Windows", true),
              L"Windows 10-内部版本（19041.1）");
    EXPECT_THAT(emptyHive.log, ::testing::Contains(L"UnloadRegistryHive TempOfflineSoft"));
    EXPECT_THAT(emptyHive.HeldResources(), IsEmpty());

    ScriptedMachine noHive = test::WinPeWithOfflineOnC();
    noHive.volumes[3].files.erase(L"WINDOWS\\SYSTEM32\\CONFIG\\SOFTWARE");
    EXPECT_EQ(GetWindowsVersionText(noHive, L"C:\\Windows", true), L"Windows (未知版本)");
    EXPECT_THAT(noHive.hiveLoads, IsEmpty());
}

}  // namespace
}  // namespace certvane
