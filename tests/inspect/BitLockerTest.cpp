// The BitLocker word, from WMI and from an offline SYSTEM hive.
#include "inspect/BitLocker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

WmiValue Int(std::int32_t value) {
    return {VariantInt32, value};
}

std::wstring RunningWord(std::optional<WmiValue> conversion, std::optional<WmiValue> protection) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.encryptableVolumes[L"C:"] = {conversion, protection};
    std::wstring word = GetBitLockerStatusText(machine);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
    return word;
}

TEST(BitLockerOnRunningWindows, MapsConversionAndProtection) {
    EXPECT_EQ(RunningWord(Int(0), Int(1)), L"未启用");
    EXPECT_EQ(RunningWord(Int(1), Int(1)), L"已启用（锁定）");
    EXPECT_EQ(RunningWord(Int(2), Int(0)), L"已启用（已解锁）");
    // A property of another variant type counts as 0.
    EXPECT_EQ(RunningWord(Int(1), WmiValue{2, 1}), L"已启用（已解锁）");
    EXPECT_EQ(RunningWord(WmiValue{8, 1}, Int(1)), L"未启用");
    EXPECT_EQ(RunningWord(std::nullopt, std::nullopt), L"未启用");
}

TEST(BitLockerOnRunningWindows, AsksForTheSystemDriveOnly) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.windowsDirectory = L"c:\\windows";
    machine.encryptableVolumes = {{L"C:", {Int(1), Int(1)}}};
    EXPECT_EQ(GetBitLockerStatusText(machine), L"已启用（锁定）");
    EXPECT_THAT(machine.wmiQueries,
                ElementsAre(L"SELECT * FROM Win32_EncryptableVolume WHERE DriveLetter = 'c:'"));
    machine.encryptableVolumes.clear();
    EXPECT_EQ(GetBitLockerStatusText(machine), L"未启用");
    machine.windowsDirectory = L"\\\\server\\windows";
    EXPECT_EQ(GetBitLockerStatusText(machine), L"无法检测系统盘");
    machine.windowsDirectory.clear();
    EXPECT_EQ(GetBitLockerStatusText(machine), L"无法检测系统盘");
}

TEST(BitLockerOnRunningWindows, WithoutAnAnswerFromWmiCannotTell) {
    ScriptedMachine noWmi = test::NormalWindows11();
    noWmi.wmiAvailable = false;
    EXPECT_EQ(GetBitLockerStatusText(noWmi), L"无法检测");
    ScriptedMachine rejected = test::NormalWindows11();
    rejected.wmiQueryFails = true;
    EXPECT_EQ(GetBitLockerStatusText(rejected), L"无法检测");
    EXPECT_THAT(rejected.HeldResources(), IsEmpty());
}

TEST(BitLockerOnRunningWindows, AFailedEnumerationIsNoUnencryptedVolume) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.wmiEnumerationFails = true;
    EXPECT_EQ(QueryBitLockerWmi(machine, L"C:"), -1);
    EXPECT_EQ(GetBitLockerStatusText(machine), L"无法检测");
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    // Inside Windows PE the offline installation's hive answers instead.
    ScriptedMachine pe = test::WinPeWithOfflineOnC();
    pe.wmiAvailable = true;
    pe.encryptableVolumes[L"C:"] = {WmiValue{VariantInt32, 0}, WmiValue{VariantInt32, 0}};
    pe.wmiEnumerationFails = true;
    EXPECT_EQ(GetBitLockerStatusText(pe), L"已启用");
}

TEST(BitLockerOnRunningWindows, AHungProviderIsWaitedForAMinuteAndTellsNothing) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.wmiProviderHangs = true;
    EXPECT_EQ(QueryBitLockerWmi(machine, L"C:"), -1);
    EXPECT_EQ(GetBitLockerStatusText(machine), L"无法检测");
    EXPECT_THAT(machine.wmiWaits, Each(60000u));
    EXPECT_THAT(machine.misuse, IsEmpty());
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(QueryBitLockerWmi, ReleasesInOrderAndUninitialisesOnlyWhatItInitialised) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_EQ(QueryBitLockerWmi(machine, L"C:\\"), 1);
    EXPECT_THAT(machine.log,
                ElementsAre(L"Release enumerator", L"Release volume C:", L"Release services",
                            L"Release locator", L"UninitializeCom"));
    ScriptedMachine refused = test::NormalWindows11();
    refused.comInitFails = true;
    EXPECT_EQ(QueryBitLockerWmi(refused, L"C:"), -1);
    EXPECT_THAT(refused.misuse, IsEmpty());
}

TEST(BitLockerInWindowsPe, WmiAnswersWithoutTellingLockedFromUnlocked) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    machine.wmiAvailable = true;
    machine.encryptableVolumes[L"C:"] = {Int(1), Int(1)};
    EXPECT_EQ(GetBitLockerStatusText(machine), L"已启用");
    machine.encryptableVolumes[L"C:"] = {Int(1), Int(0)};
    EXPECT_EQ(GetBitLockerStatusText(machine), L"已启用");
    machine.encryptableVolumes[L"C:"] = {Int(0), Int(0)};
    EXPECT_EQ(GetBitLockerStatusText(machine), L"未启用");
    EXPECT_THAT(machine.hiveLoads, IsEmpty());
}

std::wstring OfflineWord(test::RegistryTree hive) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    machine.PutFile(L"C:\\Windows\\System32\\config\\SYSTEM", test::HiveFile(std::move(hive)));
    std::wstring word = GetBitLockerStatusText(machine);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
    return word;
}

TEST(BitLockerInWindowsPe, WithoutWmiReadsTheOfflineHive) {
    const auto hive = [](std::wstring_view key,
                         std::initializer_list<std::pair<const wchar_t*, std::uint32_t>> values) {
        test::RegistryTree tree;
        test::SetValue(tree, L"Select", L"Current", test::DwordValue(2));
        for (const auto& [name, value] : values)
            test::SetValue(tree, key, name, test::DwordValue(value));
        return tree;
    };
    constexpr wchar_t kSet2[] = L"ControlSet002\\Control\\BitLockerStatus";
    constexpr wchar_t kLink[] = L"CurrentControlSet\\Control\\BitLockerStatus";
    EXPECT_EQ(OfflineWord(hive(kSet2, {{L"EncryptionStatus", 1}})), L"已启用");
    EXPECT_EQ(OfflineWord(hive(kSet2, {{L"EncryptionStatus", 0}})), L"未启用");
    EXPECT_EQ(OfflineWord(hive(kSet2, {{L"ProtectionStatus", 0}, {L"EncryptionStatus", 1}})),
              L"未启用");
    EXPECT_EQ(OfflineWord(hive(kSet2, {{L"ProtectionStatus", 1}})), L"已启用");
    EXPECT_EQ(OfflineWord(hive(kLink, {{L"ProtectionStatus", 1}})), L"已启用");
    EXPECT_EQ(OfflineWord(hive(kSet2, {})), L"无法检测");
    EXPECT_EQ(
        OfflineWord(hive(L"ControlSet001\\Control\\BitLockerStatus", {{L"ProtectionStatus", 1}})),
        L"无法检测");
    test::RegistryTree noCurrentSet = hive(kSet2, {{L"ProtectionStatus", 1}});
    test::SetValue(noCurrentSet, L"Select", L"Current", test::DwordValue(0));
    EXPECT_EQ(OfflineWord(noCurrentSet), L"无法检测");
    test::RegistryTree stringValue = hive(kSet2, {});
    test::SetValue(stringValue, kSet2, L"ProtectionStatus", test::StringValue(L"1"));
    EXPECT_EQ(OfflineWord(stringValue), L"无法检测");
}

TEST(BitLockerInWindowsPe, WithoutAnOfflineInstallationAsksNothing) {
    ScriptedMachine machine = test::WinPeBase();
    machine.wmiAvailable = true;
    EXPECT_EQ(GetBitLockerStatusText(machine), L"未找到离线系统");
    EXPECT_THAT(machine.wmiQueries, IsEmpty());
}

TEST(ReadOfflineBitLockerState, IsNotFoundWhenTheHiveIsMissingOrRefused) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    const OfflineBitLockerState found = ReadOfflineBitLockerState(machine, L"C:\\Windows");
    EXPECT_TRUE(found.found);
    EXPECT_TRUE(found.enabled);
    EXPECT_FALSE(ReadOfflineBitLockerState(machine, L"D:\\Windows").found);
    machine.heldPrivileges.clear();
    machine.enabledPrivileges.clear();
    EXPECT_FALSE(ReadOfflineBitLockerState(machine, L"C:\\Windows").found);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(ReadBitLockerDetail, NamesEveryProtectorAndTheRestartsLeftWhileSuspended) {
    ScriptedMachine machine = test::NormalWindows11();
    auto detail = ReadBitLockerDetail(machine, L"C:");
    ASSERT_TRUE(detail);
    EXPECT_TRUE(detail->encrypted);
    EXPECT_TRUE(detail->protectionOn);
    EXPECT_THAT(detail->protectorTypes, ElementsAre(1, 3));
    EXPECT_TRUE(detail->hasRecoveryPassword);
    EXPECT_FALSE(detail->LacksRecoveryPassword());
    EXPECT_EQ(detail->suspendCount, std::nullopt);  // not suspended: the count means nothing
    EXPECT_THAT(machine.wmiMethodCalls,
                ElementsAre(L"C: GetKeyProtectors KeyProtectorType=0",
                            L"C: GetKeyProtectorType VolumeKeyProtectorID={TPM-0001}",
                            L"C: GetKeyProtectorType VolumeKeyProtectorID={PASSWORD-0002}"));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());

    machine.encryptableVolumes[L"C:"].protectionStatus = Int(0);
    machine.encryptableVolumes[L"C:"].suspendCount = 2;
    machine.encryptableVolumes[L"C:"].protectors = {{L"{TPM-PIN}", 4}};
    detail = ReadBitLockerDetail(machine, L"C:");
    ASSERT_TRUE(detail);
    EXPECT_FALSE(detail->protectionOn);
    EXPECT_EQ(detail->suspendCount, 2);
    EXPECT_TRUE(detail->LacksRecoveryPassword());
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(ReadBitLockerDetail, TellsUnreadableFromUnencryptedAndUnknownProtectorsFromNone) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.wmiAvailable = false;
    EXPECT_EQ(ReadBitLockerDetail(machine, L"C:"), std::nullopt);
    machine.wmiAvailable = true;
    machine.wmiEnumerationFails = true;
    EXPECT_EQ(ReadBitLockerDetail(machine, L"C:"), std::nullopt);
    machine.wmiEnumerationFails = false;
    const auto other = ReadBitLockerDetail(machine, L"E:");  // a volume BitLocker does not know
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->encrypted);
    EXPECT_FALSE(other->LacksRecoveryPassword());

    machine.encryptableVolumes[L"C:"].protectorsUnreadable = true;
    const auto unknown = ReadBitLockerDetail(machine, L"C:");
    ASSERT_TRUE(unknown);
    EXPECT_FALSE(unknown->protectorsKnown);
    // Protectors that cannot be read are not proof that there is no recovery password.
    EXPECT_FALSE(unknown->LacksRecoveryPassword());
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

}  // namespace
}  // namespace certvane
