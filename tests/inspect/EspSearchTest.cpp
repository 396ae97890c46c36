// Finding, mounting and releasing EFI System Partitions.
#include "inspect/EspSearch.h"
#include "inspect/Holdings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/DiskNumbers.h"
#include "tests/support/BootOptions.h"
#include "tests/support/Fold.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace W = test::Windows11;

const std::wstring kTemp = L"C:\\Users\\admin\\AppData\\Local\\Temp\\";
constexpr EspScope kEsp = EspScope::EspPartitions;

// The private folder of the n-th unguessable name the scripted machine gives, and the mount
// folder inside it.
std::wstring PrivateFolder(int n) {
    return kTemp + L"certvane-esp-{00000000-0000-0000-0000-00000000000" + std::to_wstring(n) + L"}";
}
std::wstring MountFolder(int n) {
    return PrivateFolder(n) + L"\\ESP\\";
}

std::vector<std::wstring> CommandLines(const ScriptedMachine& machine) {
    std::vector<std::wstring> lines;
    for (const auto& start : machine.processStarts) lines.push_back(start.commandLine);
    return lines;
}

// The system gives the ESP no usable volume path: only a letter or a mount folder reaches it.
void WithoutVolumePath(ScriptedMachine& machine, std::size_t volume = W::Esp) {
    machine.volumes[volume].filesByVolumeName = false;
}

TEST(FindEspVolumes, AnEspIsReadThroughItsVolumeNameWithoutLetterOrMount) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_THAT(FindEspVolumes(machine, kEsp),
                ElementsAre(EspCandidate{machine.volumes[W::Esp].name, 0, false, false}));
    EXPECT_THAT(machine.processStarts, IsEmpty());
    EXPECT_THAT(machine.mountFolders, IsEmpty());
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(FindEspVolumes, AnEspWithALetterOnTheSystemDiskIsFoundWithoutMounting) {
    ScriptedMachine machine = test::NormalWindows11();
    WithoutVolumePath(machine);
    machine.AssignLetter(L'B', W::Esp);
    EXPECT_THAT(FindEspVolumes(machine, kEsp), ElementsAre(EspCandidate{L"B:\\", 0, false}));
    EXPECT_THAT(machine.processStarts, IsEmpty());
    EXPECT_THAT(machine.mountFolders, IsEmpty());
}

TEST(FindEspVolumes, AStickOnAnotherDiskCountsOnlyWhenTheSystemDiskIsUnknown) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.mountvolEsp.reset();
    machine.volumes[W::Esp].refusesFolderMount = true;
    WithoutVolumePath(machine);
    const std::size_t stick = machine.AddVolume({L"\\\\?\\Volume{stick}\\", L"FAT32", 4, 1});
    WithoutVolumePath(machine, stick);
    machine.AssignLetter(L'E', stick);
    machine.PutFile(L"E:\\EFI\\BOOT\\BOOTX64.EFI");
    EXPECT_THAT(FindEspVolumes(machine, kEsp), IsEmpty());
    machine.volumes[W::System].disk = -1;
    EXPECT_THAT(FindEspVolumes(machine, kEsp), ElementsAre(EspCandidate{L"E:\\", 4, false}));
}

TEST(FindEspVolumes, NeverProbesTheRamDrive) {
    ScriptedMachine machine = test::NormalWindows11();
    WithoutVolumePath(machine);
    machine.mountvolEsp.reset();
    machine.volumes[W::Esp].refusesFolderMount = true;
    machine.AssignLetter(L'X', W::Esp);
    EXPECT_THAT(FindEspVolumes(machine, kEsp), IsEmpty());
}

TEST(FindEspVolumes, TakesSWhenMountvolFindsTheEsp) {
    ScriptedMachine machine = test::NormalWindows11();
    WithoutVolumePath(machine);
    EXPECT_THAT(FindEspVolumes(machine, kEsp),
                ElementsAre(EspCandidate{L"S:\\", 0, false, true}));  // this search's letter
    EXPECT_THAT(CommandLines(machine), ElementsAre(L"mountvol S: /s"));
    EXPECT_EQ(machine.letters.at(L'S'), W::Esp);
}

TEST(FindEspVolumes, AnSWithoutBootFilesOrOnAnotherDiskIsRemovedAtOnce) {
    ScriptedMachine empty = test::NormalWindows11();
    WithoutVolumePath(empty);
    empty.mountvolEsp = W::Recovery;
    empty.volumes[W::Esp].refusesFolderMount = true;
    EXPECT_THAT(FindEspVolumes(empty, kEsp), IsEmpty());
    EXPECT_THAT(CommandLines(empty), ElementsAre(L"mountvol S: /s", L"mountvol S: /d",
                                                 L"mountvol S: /s", L"mountvol S: /d"));
    ScriptedMachine foreign = test::NormalWindows11();
    foreign.volumes[W::Esp].disk = 1;
    foreign.volumes[W::Esp].refusesFolderMount = true;
    EXPECT_THAT(FindEspVolumes(foreign, kEsp), IsEmpty());
    EXPECT_THAT(CommandLines(foreign), ElementsAre(L"mountvol S: /s", L"mountvol S: /d",
                                                   L"mountvol S: /s", L"mountvol S: /d"));
    EXPECT_FALSE(foreign.letters.count(L'S'));
}

TEST(FindEspVolumes, MountsALetterlessEspOnAFreshPrivateFolderAndNoOtherVolume) {
    ScriptedMachine machine = test::NormalWindows11();
    WithoutVolumePath(machine);
    machine.mountvolEsp.reset();
    const std::vector<EspCandidate> found = FindEspVolumes(machine, kEsp);
    // The recovery volume has no path names either, but is no ESP by its partition type: no
    // folder is made for it, and it is not mounted.
    EXPECT_THAT(found, ElementsAre(EspCandidate{MountFolder(1), 0, true}));
    EXPECT_THAT(machine.log, Not(Contains(L"MakePrivateDirectory " + PrivateFolder(2))));
    EXPECT_EQ(machine.mountFolders.size(), 1u);
    EXPECT_TRUE(machine.privateFolders.count(test::Fold(PrivateFolder(1) + L"\\")));
    EXPECT_TRUE(machine.privateFolders.count(test::Fold(MountFolder(1))));
    EXPECT_TRUE(IsRegularFile(machine, found[0].path + L"EFI\\Microsoft\\Boot\\bootmgfw.efi"));

    ReleaseEspMounts(found);
    EXPECT_THAT(machine.mountFolders, IsEmpty());
    EXPECT_FALSE(machine.FolderExists(MountFolder(1)));
    EXPECT_FALSE(machine.FolderExists(PrivateFolder(1)));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

// A folder that exists already, or one that something replaced by a reparse point after it was
// made, is neither mounted on nor removed: it is not this run's.
TEST(FindEspVolumes, NeverMountsOnAFolderItDidNotJustMake) {
    ScriptedMachine existing = test::NormalWindows11();
    WithoutVolumePath(existing);
    existing.mountvolEsp.reset();
    existing.PutFolder(PrivateFolder(1));
    EXPECT_THAT(FindEspVolumes(existing, kEsp), IsEmpty());
    EXPECT_TRUE(existing.FolderExists(PrivateFolder(1)));
    EXPECT_THAT(existing.mountFolders, IsEmpty());
    EXPECT_THAT(existing.log, Not(Contains(L"DeleteDirectory " + PrivateFolder(1))));

    ScriptedMachine replaced = test::NormalWindows11();
    WithoutVolumePath(replaced);
    replaced.mountvolEsp.reset();
    replaced.privateFoldersReplaced = true;
    EXPECT_THAT(FindEspVolumes(replaced, kEsp), IsEmpty());
    EXPECT_THAT(replaced.mountFolders, IsEmpty());
    for (const std::wstring& entry : replaced.log) {
        EXPECT_FALSE(entry.starts_with(L"DeleteDirectory")) << entry;
        EXPECT_FALSE(entry.starts_with(L"MountVolumeAt")) << entry;
    }
}

TEST(FindEspVolumes, WhenNothingIsFoundRunsMountvolTwiceAndMountsNoOtherVolume) {
    ScriptedMachine machine = test::LegacyBiosMachine();
    EXPECT_THAT(FindEspVolumes(machine, kEsp), IsEmpty());
    EXPECT_THAT(CommandLines(machine), ElementsAre(L"mountvol S: /s", L"mountvol S: /s"));
    EXPECT_THAT(machine.mountFolders, IsEmpty());
    EXPECT_EQ(machine.DescribeSystem().find(L"certvane-esp-"), std::wstring::npos);
}

TEST(FindEspVolumes, AFailedFolderMountRemovesItsFolder) {
    ScriptedMachine machine = test::NormalWindows11();
    WithoutVolumePath(machine);
    machine.mountvolEsp.reset();
    machine.volumes[W::Esp].refusesFolderMount = true;
    EXPECT_THAT(FindEspVolumes(machine, kEsp), IsEmpty());
    EXPECT_THAT(machine.log, Contains(L"DeleteDirectory " + MountFolder(1)));
    EXPECT_THAT(machine.log, Contains(L"DeleteDirectory " + PrivateFolder(1)));
    EXPECT_EQ(machine.DescribeSystem().find(L"certvane-esp-"), std::wstring::npos);
}

// The current directory is often Downloads, which a standard user writes.
TEST(FindEspVolumes, WithoutATemporaryDirectoryMakesNoFolderAnywhere) {
    ScriptedMachine machine = test::NormalWindows11();
    WithoutVolumePath(machine);
    machine.mountvolEsp.reset();
    machine.tempDirectory.clear();
    EXPECT_THAT(FindEspVolumes(machine, kEsp), IsEmpty());
    for (const std::wstring& entry : machine.log)
        EXPECT_EQ(entry.find(L"Directory"), std::wstring::npos) << entry;
}

TEST(ReleaseEspMounts, AStepThatFailsDoesNotStopTheOthers) {
    ScriptedMachine machine = test::NormalWindows11();
    WithoutVolumePath(machine);
    machine.mountvolEsp.reset();
    const std::vector<EspCandidate> found = FindEspVolumes(machine, kEsp);
    ASSERT_THAT(found, ElementsAre(EspCandidate{MountFolder(1), 0, true}));
    machine.removeMountPointFails = true;
    machine.deleteDirectoryFails = true;
    machine.log.clear();
    ReleaseEspMounts(found);
    EXPECT_THAT(machine.log, ElementsAre(L"RemoveMountPoint " + MountFolder(1) + L" refused",
                                         L"DeleteDirectory " + MountFolder(1) + L" refused",
                                         L"DeleteDirectory " + PrivateFolder(1) + L" refused"));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
}

// A program that must end while the run is stuck gives back the mounts the search kept, and the
// run's own release afterwards removes nothing a second time.
TEST(ReleaseEspMounts, WhatTheSearchKeptIsHeldUntilGivenBackOnce) {
    for (const bool withFolder : {true, false}) {
        ScriptedMachine machine = test::NormalWindows11();
        WithoutVolumePath(machine);
        if (withFolder) machine.mountvolEsp.reset();
        const std::vector<EspCandidate> found = FindEspVolumes(machine, kEsp);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(ProcessHoldings().Count(), 1u);
        ProcessHoldings().ReleaseAll();
        EXPECT_THAT(machine.HeldResources(), IsEmpty()) << withFolder;
        const std::size_t logged = machine.log.size();
        ReleaseEspMounts(found);
        EXPECT_EQ(machine.log.size(), logged) << withFolder;
        EXPECT_EQ(ProcessHoldings().Count(), 0u);
        EXPECT_THAT(machine.misuse, IsEmpty());
    }
}

TEST(ReleaseEspMounts, AnSThatMountvolCannotRemoveStaysWithoutHarm) {
    ScriptedMachine machine = test::NormalWindows11();
    WithoutVolumePath(machine);
    const std::vector<EspCandidate> found = FindEspVolumes(machine, kEsp);
    ASSERT_THAT(found, ElementsAre(EspCandidate{L"S:\\", 0, false, true}));
    machine.mountvolUnmountFails = true;
    ReleaseEspMounts(found);
    EXPECT_THAT(machine.log, Contains(L"mountvol S: /d -> 1"));
    EXPECT_TRUE(machine.letters.count(L'S'));
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
}

// An S: that this run did not assign (a USB stick, another disk's ESP, the ESP a deployment
// script lettered) is never removed, whatever it holds.
TEST(ReleaseEspMounts, RemovesOnlyWhatThisSearchAssigned) {
    for (const bool esp : {true, false}) {
        ScriptedMachine machine = test::NormalWindows11();
        if (esp) {
            machine.AssignLetter(L'S', W::Esp);
        } else {
            const std::size_t stick =
                machine.AddVolume({L"\\\\?\\Volume{stick}\\", L"FAT32", 1, 1, DriveRemovable});
            machine.AssignLetter(L'S', stick);
            machine.PutFile(L"S:\\EFI\\BOOT\\BOOTX64.EFI");
        }
        const std::vector<EspCandidate> found = FindEspVolumes(machine, kEsp);
        ReleaseEspMounts(found);
        EXPECT_TRUE(machine.letters.count(L'S')) << esp;
        EXPECT_THAT(CommandLines(machine), Not(Contains(L"mountvol S: /d")));
        EXPECT_THAT(machine.HeldResources(), IsEmpty());
    }
}

// By default a standard user may create C:\EFI\Microsoft\Boot\bootmgfw.efi, and a FAT data
// partition has no permissions at all: neither is the ESP, only the partition of ESP type is.
TEST(FindEspVolumes, TakesOnlyAnEspPartitionNeverAPlantedBootFile) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(L"C:\\EFI\\Microsoft\\Boot\\bootmgfw.efi",
                    test::SignedFile(L"Windows UEFI CA 2023"));
    test::ScriptedVolume data{L"\\\\?\\Volume{data}\\", L"FAT32", 0};
    data.partition = {PartitionStyle::Gpt, BasicDataPartitionType, 0};
    machine.AssignLetter(L'E', machine.AddVolume(std::move(data)));
    machine.PutFile(L"E:\\EFI\\Microsoft\\Boot\\bootmgfw.efi");
    const std::vector<EspCandidate> found = FindEspVolumes(machine, kEsp);
    EXPECT_THAT(found, ElementsAre(EspCandidate{machine.volumes[W::Esp].name, 0, false, false}));
    // Also where only letters reach the ESP, neither C: nor E: is taken.
    WithoutVolumePath(machine);
    const std::vector<EspCandidate> lettered = FindEspVolumes(machine, kEsp);
    EXPECT_THAT(lettered, ElementsAre(EspCandidate{L"S:\\", 0, false, true}));
    EXPECT_EQ(machine.letters.at(L'S'), W::Esp);
    ReleaseEspMounts(lettered);
    // An MBR partition of type 0xEF is an ESP as well.
    ScriptedMachine mbr = test::NormalWindows11();
    mbr.volumes[W::Esp].partition = {PartitionStyle::Mbr, {}, EspMbrPartitionType};
    WithoutVolumePath(mbr);
    mbr.AssignLetter(L'B', W::Esp);
    EXPECT_THAT(FindEspVolumes(mbr, kEsp), ElementsAre(EspCandidate{L"B:\\", 0, false}));
    // An ESP-typed partition without FAT is none.
    mbr.volumes[W::Esp].fileSystem = L"NTFS";
    EXPECT_THAT(FindEspVolumes(mbr, kEsp), Not(Contains(EspCandidate{L"B:\\", 0, false})));
}

TEST(FindEspVolumes, InsideWindowsPeTakesTheMediumButNeverTheWindowsVolume) {
    ScriptedMachine machine = test::WinPeBase();  // the medium D: is no ESP by type
    machine.windowsDirectory = L"D:\\Windows";
    EXPECT_THAT(FindEspVolumes(machine, EspScope::BootVolumes), IsEmpty());
    machine.windowsDirectory = L"X:\\Windows";
    EXPECT_THAT(FindEspVolumes(machine, EspScope::BootVolumes),
                ElementsAre(EspCandidate{L"D:\\", 1, false}));
    EXPECT_THAT(FindEspVolumes(machine, kEsp), IsEmpty());
}

std::wstring CurrentBootManager(ScriptedMachine& machine) {
    return GetCurrentBootManagerPath(machine, FindEspVolumes(machine, kEsp));
}

TEST(GetCurrentBootManagerPath, PrefersTheSystemDisk) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_EQ(CurrentBootManager(machine),
              machine.volumes[W::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi");
    WithoutVolumePath(machine);
    EXPECT_EQ(CurrentBootManager(machine), L"S:\\EFI\\Microsoft\\Boot\\bootmgfw.efi");

    ScriptedMachine twoEsps = test::NormalWindows11();
    WithoutVolumePath(twoEsps);
    const std::size_t other = twoEsps.AddVolume({L"\\\\?\\Volume{other}\\", L"FAT32", 1});
    WithoutVolumePath(twoEsps, other);
    twoEsps.AssignLetter(L'A', other);
    twoEsps.PutFile(L"A:\\EFI\\Microsoft\\Boot\\bootmgfw.efi");
    twoEsps.AssignLetter(L'B', W::Esp);
    twoEsps.volumes[W::System].disk = -1;  // every candidate accepted, the first on disk -1: none
    EXPECT_EQ(CurrentBootManager(twoEsps), L"A:\\EFI\\Microsoft\\Boot\\bootmgfw.efi");
    twoEsps.volumes[W::System].disk = 0;
    twoEsps.volumes[other].disk = 0;
    twoEsps.volumes[W::Esp].disk = 0;
    EXPECT_EQ(CurrentBootManager(twoEsps), L"A:\\EFI\\Microsoft\\Boot\\bootmgfw.efi");

    ScriptedMachine fallbackOnly = test::NormalWindows11();
    fallbackOnly.volumes[W::Esp].files.erase(L"EFI\\MICROSOFT\\BOOT\\BOOTMGFW.EFI");
    EXPECT_EQ(CurrentBootManager(fallbackOnly), L"");
}

// Windows need not give an ESP a volume name; its device path needs no letter and no folder.
TEST(FindEspVolumes, ReadsAnEspWithoutVolumeNameThroughItsDevicePath) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.volumes[W::Esp].listed = false;
    EXPECT_THAT(FindEspVolumes(machine, kEsp),
                ElementsAre(EspCandidate{ScriptedMachine::DevicePathOf(W::Esp), 0, false, false}));
    EXPECT_THAT(machine.processStarts, IsEmpty());
    EXPECT_THAT(machine.mountFolders, IsEmpty());
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_EQ(CurrentBootManager(machine),
              ScriptedMachine::DevicePathOf(W::Esp) + L"EFI\\Microsoft\\Boot\\bootmgfw.efi");
}

// A second ESP on the system disk (a cloned or dual-boot disk) holds a boot manager too; only
// the firmware knows which one it started, and no file can change its answer.
TEST(FindEspVolumes, TakesThePartitionTheFirmwareStartedFrom) {
    ScriptedMachine machine = test::NormalWindows11();
    const std::size_t second = machine.AddVolume({L"\\\\?\\Volume{second-esp}\\", L"FAT32", 0});
    machine.PutFile(machine.volumes[second].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
                    test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    EXPECT_EQ(CurrentBootManager(machine),
              machine.volumes[W::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi");
    test::BootedFrom(machine, second);
    const std::vector<EspCandidate> found = FindEspVolumes(machine, kEsp);
    EXPECT_THAT(found,
                ElementsAre(EspCandidate{machine.volumes[W::Esp].name, 0, false, false},
                            EspCandidate{machine.volumes[second].name, 0, false, false, true}));
    EXPECT_EQ(CurrentBootManager(machine),
              machine.volumes[second].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi");

    // The firmware's ESP may lie on another disk than Windows.
    machine.volumes[second].disk = 2;
    EXPECT_EQ(CurrentBootManager(machine),
              machine.volumes[second].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi");
    // What the firmware names is still taken only when it is an ESP by type.
    machine.volumes[second].partition->gptType = BasicDataPartitionType;
    EXPECT_EQ(CurrentBootManager(machine),
              machine.volumes[W::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi");
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(ChooseSystemEspRoot, FallsBackToTheFirstCandidateWhenTheSystemDisksHasNoPath) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_EQ(ChooseSystemEspRoot(machine, {{L"E:\\", 3, false}, {L"", 0, false}}), L"E:\\");
    EXPECT_EQ(ChooseSystemEspRoot(machine, {{L"E:\\", 3, false}, {L"F:\\", 0, false}}), L"F:\\");
    EXPECT_EQ(ChooseSystemEspRoot(machine, {{L"", 3, false}}), L"");
    EXPECT_EQ(ChooseSystemEspRoot(machine, {}), L"");
}

TEST(FindEspVolumeOnDisk, FindsOnlyAFatEspOfThatDiskWithTheBootManager) {
    ScriptedMachine machine = test::NormalWindows11();
    const std::wstring esp = machine.volumes[W::Esp].name;
    EXPECT_EQ(FindEspVolumeOnDisk(machine, 0), esp);
    EXPECT_EQ(FindEspVolumeOnDisk(machine, 1), L"");
    machine.volumes[W::Esp].fileSystem = L"fat";
    EXPECT_EQ(FindEspVolumeOnDisk(machine, 0), esp);
    machine.volumes[W::Esp].fileSystem = L"NTFS";
    EXPECT_EQ(FindEspVolumeOnDisk(machine, 0), L"");
    machine.volumes[W::Esp].fileSystem = L"FAT32";
    machine.volumes[W::Esp].partition = {PartitionStyle::Gpt, BasicDataPartitionType, 0};
    EXPECT_EQ(FindEspVolumeOnDisk(machine, 0), L"");
    machine.volumes[W::Esp].partition = {PartitionStyle::Gpt, EspPartitionType, 0};
    machine.volumes[W::Esp].files.erase(L"EFI\\MICROSOFT\\BOOT\\BOOTMGFW.EFI");
    EXPECT_EQ(FindEspVolumeOnDisk(machine, 0), L"");
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.mountFolders, IsEmpty());
}

TEST(DiskNumbers, OpenTheDeviceTheyAreGivenAndReadItsDisk) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_EQ(GetDeviceNumber(machine, L"C:"), 0);
    EXPECT_EQ(GetDeviceNumber(machine, machine.volumes[W::Esp].name), 0);
    EXPECT_THAT(
        machine.log,
        ElementsAre(
            L"CloseDevice \\\\.\\C: (no access)",
            L"CloseDevice \\\\?\\Volume{00000001-0000-0000-0000-000000000000} (no access)"));
    EXPECT_EQ(GetVolumeDiskNumber(machine, L"C:\\Windows\\System32"), 0);
    EXPECT_EQ(machine.log.back(), L"CloseDevice \\\\.\\C: (read)");
    EXPECT_EQ(GetDeviceNumber(machine, L"D:"), -1);
    EXPECT_EQ(GetDeviceNumber(machine, L"Q:"), -1);
    EXPECT_EQ(GetVolumeDiskNumber(machine, L"D:\\"), -1);
    machine.volumes[W::System].extents = 2;
    EXPECT_EQ(GetVolumeDiskNumber(machine, L"C:\\"), -1);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(GetSystemDriveRoot, IsTheDriveRootOfTheWindowsDirectory) {
    ScriptedMachine machine;
    EXPECT_EQ(GetSystemDriveRoot(machine), L"C:\\");
    machine.windowsDirectory = L"\\\\?\\GLOBALROOT\\Windows";
    EXPECT_EQ(GetSystemDriveRoot(machine), L"");
    machine.windowsDirectory.clear();
    EXPECT_EQ(GetSystemDriveRoot(machine), L"");
}

}  // namespace
}  // namespace certvane
