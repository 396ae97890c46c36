// Run environment: Windows PE, offline installations, boot mode, Secure Boot, privileges.
#include "inspect/Environment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/Privileges.h"
#include "inspect/Registry.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr wchar_t kControl[] = L"SYSTEM\\CurrentControlSet\\Control";
constexpr wchar_t kSecureBootState[] = L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State";

TEST(IsWinPE, RecognisesTheShellFileOrTheStartOption) {
    ScriptedMachine pe = test::WinPeBase();
    EXPECT_TRUE(IsWinPE(pe));

    ScriptedMachine folderOnly = test::NormalWindows11();
    const std::size_t ram = folderOnly.AddVolume({L"\\\\?\\Volume{ram}\\"});
    folderOnly.AssignLetter(L'X', ram);
    folderOnly.PutFolder(L"X:\\Windows\\System32\\winpeshl.exe");
    EXPECT_TRUE(IsWinPE(folderOnly));

    ScriptedMachine noX = test::NormalWindows11();
    noX.SetRegistryValue(kControl, L"SystemStartOptions", test::StringValue(L"MININT"));
    EXPECT_TRUE(IsWinPE(noX));
    EXPECT_THAT(noX.HeldResources(), IsEmpty());
}

TEST(IsWinPE, RefusesLowerCaseShortOrMistypedStartOptions) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_FALSE(IsWinPE(machine));
    machine.SetRegistryValue(kControl, L"SystemStartOptions",
                             test::StringValue(L" minint noguiboot"));
    EXPECT_FALSE(IsWinPE(machine));
    machine.SetRegistryValue(kControl, L"SystemStartOptions", test::StringValue(L"MININ"));
    EXPECT_FALSE(IsWinPE(machine));
    machine.SetRegistryValue(kControl, L"SystemStartOptions", test::DwordValue(1));
    EXPECT_FALSE(IsWinPE(machine));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(ReadRegistryString, TakesTheTextUpToItsFirstNulAndOnlyFromRegSz) {
    ScriptedMachine machine;
    machine.SetRegistryValue(L"SOFTWARE\\K", L"Text",
                             test::StringValue(std::wstring(L"ab\0cd", 5)));
    machine.SetRegistryValue(L"SOFTWARE\\K", L"Expand", {2, test::StringValue(L"x").data});
    EXPECT_EQ(ReadRegistryString(machine, RegistryRoot::LocalMachine, L"SOFTWARE\\K", L"Text"),
              L"ab");
    EXPECT_EQ(ReadRegistryString(machine, RegistryRoot::LocalMachine, L"SOFTWARE\\K", L"Expand"),
              L"");
    EXPECT_EQ(ReadRegistryString(machine, RegistryRoot::LocalMachine, L"SOFTWARE\\K", L"None"),
              L"");
    EXPECT_EQ(ReadRegistryString(machine, RegistryRoot::LocalMachine, L"SOFTWARE\\No", L"Text"),
              L"");
    // A value too large for the 8,192-byte buffer cannot be read.
    machine.SetRegistryValue(L"SOFTWARE\\K", L"Long", test::StringValue(std::wstring(4096, L'a')));
    EXPECT_EQ(ReadRegistryString(machine, RegistryRoot::LocalMachine, L"SOFTWARE\\K", L"Long"),
              L"");
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(IsSecureBootEnabled, OnlyANonZeroDwordCountsAsOn) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_TRUE(IsSecureBootEnabled(machine));
    machine.SetRegistryValue(kSecureBootState, L"UEFISecureBootEnabled", test::DwordValue(0));
    EXPECT_FALSE(IsSecureBootEnabled(machine));
    machine.SetRegistryValue(kSecureBootState, L"UEFISecureBootEnabled", test::StringValue(L"1"));
    EXPECT_FALSE(IsSecureBootEnabled(machine));
    ScriptedMachine bios = test::LegacyBiosMachine();
    EXPECT_FALSE(IsSecureBootEnabled(bios));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(BootMode, FollowsTheFirmwareTypeAndFallsBackToDb) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_EQ(BootModeText(machine), L"UEFI");
    EXPECT_TRUE(IsUefiBoot(machine));
    machine.firmwareType = FirmwareTypeBios;
    EXPECT_EQ(BootModeText(machine), L"Legacy BIOS");
    EXPECT_FALSE(IsUefiBoot(machine));
    machine.firmwareType = 3;
    EXPECT_EQ(BootModeText(machine), L"未知");
    EXPECT_FALSE(IsUefiBoot(machine));
    machine.firmwareType.reset();
    EXPECT_EQ(BootModeText(machine), L"UEFI (推测)");
    EXPECT_TRUE(IsUefiBoot(machine));
    machine.firmwareVariables.clear();
    EXPECT_EQ(BootModeText(machine), L"无法检测 (可能为 Legacy BIOS)");
    EXPECT_FALSE(IsUefiBoot(machine));
}

TEST(FindOfflineWindows, ListsOtherLocalInstallationsInLetterOrder) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_THAT(FindOfflineWindows(machine), IsEmpty());
    const auto addDrive = [&](wchar_t letter, std::uint32_t type, bool withHive) {
        test::ScriptedVolume volume{L"\\\\?\\Volume{" + std::wstring(1, letter) + L"}\\"};
        volume.driveType = type;
        machine.AssignLetter(letter, machine.AddVolume(volume));
        machine.PutFolder(std::wstring(1, letter) + L":\\Windows\\System32\\config");
        if (withHive)
            machine.PutFile(std::wstring(1, letter) + L":\\Windows\\System32\\config\\SYSTEM");
    };
    addDrive(L'G', DriveRemovable, true);
    addDrive(L'E', DriveFixed, true);
    addDrive(L'F', DriveFixed, false);
    addDrive(L'N', 4, true);  // network
    addDrive(L'R', 5, true);  // CD-ROM
    EXPECT_THAT(FindOfflineWindows(machine), ElementsAre(L"E:\\Windows", L"G:\\Windows"));
}

TEST(FindOfflineWindows, InsideWindowsPeListsCButNeverTheRamDrive) {
    ScriptedMachine pe = test::WinPeWithOfflineOnC();
    EXPECT_THAT(FindOfflineWindows(pe), ElementsAre(L"C:\\Windows"));
    pe.windowsDirectory = L"x:\\windows\\";
    EXPECT_THAT(FindOfflineWindows(pe), ElementsAre(L"C:\\Windows"));
}

TEST(EnableFirmwarePrivilege, IsTrueOnlyWhenTheTokenHoldsThePrivilege) {
    ScriptedMachine machine;
    EXPECT_TRUE(EnableFirmwarePrivilege(machine));
    EXPECT_TRUE(machine.enabledPrivileges.count(L"SeSystemEnvironmentPrivilege"));
    machine.heldPrivileges.clear();
    machine.enabledPrivileges.clear();
    EXPECT_FALSE(EnableFirmwarePrivilege(machine));
    EXPECT_THAT(machine.enabledPrivileges, IsEmpty());
    EXPECT_FALSE(EnablePrivilege(machine, L"SeNoSuchPrivilege"));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    machine.tokenOpenFails = true;
    EXPECT_FALSE(EnableFirmwarePrivilege(machine));
}

TEST(IsProcessElevated, OnlyATokenThatSaysSoCountsAndTheTokenIsClosed) {
    ScriptedMachine machine;
    EXPECT_TRUE(IsProcessElevated(machine));
    machine.tokenElevated = false;
    EXPECT_FALSE(IsProcessElevated(machine));
    machine.tokenElevated = std::nullopt;  // the query fails
    EXPECT_FALSE(IsProcessElevated(machine));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
    machine.tokenElevated = true;
    machine.tokenOpenFails = true;
    EXPECT_FALSE(IsProcessElevated(machine));
}

}  // namespace
}  // namespace certvane
