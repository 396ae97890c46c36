#include "inspect/EspSearch.h"

#include "inspect/BootOption.h"
#include "inspect/DiskNumbers.h"
#include "inspect/Holdings.h"
#include "inspect/PathText.h"
#include "inspect/PrivateFolder.h"
#include "inspect/SystemCommands.h"

namespace certvane {
namespace {

// Volume numbers probed through device paths; Windows numbers volumes from 1 as they arrive.
constexpr int kMaxDeviceVolumes = 128;
constexpr std::wstring_view kMountFolderName = L"ESP\\";

// The names this search's acquisitions are held under until they are given back.
constexpr std::wstring_view kHeldLetterS = L"letter:S:";
std::wstring HeldMountName(const std::wstring& folder) {
    return L"mount:" + folder;
}

// What may be taken: volumes of the accepted disks, of the kind the scope allows, and the
// partition the firmware started from on any disk.
struct Acceptance {
    EspScope scope = EspScope::EspPartitions;
    int systemDisk = -1;      // -1: unknown, every disk is accepted
    std::wstring systemRoot;  // the Windows volume, never an ESP
    std::optional<Guid> firmwarePartition;

    bool Kind(Platform& platform, std::wstring_view driveOrVolume) const {
        return scope == EspScope::BootVolumes || IsEspPartition(platform, driveOrVolume);
    }

    // The candidate for `path`, whose device `driveOrVolume` lies on `disk`, when it may be
    // taken.
    std::optional<EspCandidate> Take(Platform& platform, std::wstring path,
                                     std::wstring_view driveOrVolume, int disk) const {
        EspCandidate candidate{std::move(path), disk, false, false, false};
        if (firmwarePartition) {
            const auto partition = ReadPartitionInfo(platform, driveOrVolume);
            candidate.startedByFirmware = partition && partition->style == PartitionStyle::Gpt &&
                                          partition->gptId == *firmwarePartition;
        }
        if (candidate.startedByFirmware || systemDisk == -1 || disk == systemDisk) return candidate;
        return std::nullopt;
    }
};

bool HoldsBootFile(Platform& platform, std::wstring_view root) {
    for (std::wstring_view file : EspBootFiles) {
        if (IsRegularFile(platform, std::wstring(root) + std::wstring(file))) return true;
    }
    return false;
}

void AddLetteredEsps(Platform& platform, const Acceptance& accepted,
                     std::vector<EspCandidate>& list) {
    const std::uint32_t mask = platform.LogicalDriveMask();
    for (int index = 0; index < 26; ++index) {
        // X: is the Windows PE RAM drive, never an ESP.
        if ((mask & (1u << index)) == 0 || index == 23) continue;
        const std::wstring root{static_cast<wchar_t>(L'A' + index), L':', L'\\'};
        if (EqualsIgnoringCase(root, accepted.systemRoot)) continue;
        if (!accepted.Kind(platform, root) || !HoldsBootFile(platform, root)) continue;
        if (auto candidate =
                accepted.Take(platform, root, root, GetVolumeDiskNumber(platform, root)))
            list.push_back(std::move(*candidate));
    }
}

// An ESP reached through a path of its own (a volume name or a device path): no letter, no
// folder, nothing to release, nothing anybody else could have placed there.
void AddUnmountedEsp(Platform& platform, const Acceptance& accepted, const std::wstring& root,
                     std::vector<EspCandidate>& list) {
    if (!IsEspPartition(platform, root) || !HoldsBootFile(platform, root)) return;
    if (auto candidate = accepted.Take(platform, root, root, GetDeviceNumber(platform, root)))
        list.push_back(std::move(*candidate));
}

void AddEspsByVolumeName(Platform& platform, const Acceptance& accepted,
                         std::vector<EspCandidate>& list) {
    const auto start = platform.FindFirstVolumeName();
    if (!start) return;
    std::optional<std::wstring> volume = start->firstVolume;
    while (volume) {
        AddUnmountedEsp(platform, accepted, *volume, list);
        volume = platform.FindNextVolumeName(start->search);
    }
    platform.CloseVolumeSearch(start->search);
}

// Windows is sure to give basic data partitions a volume name, not ESPs; every volume has a
// device path.
void AddEspsByDevicePath(Platform& platform, const Acceptance& accepted,
                         std::vector<EspCandidate>& list) {
    for (int number = 1; number <= kMaxDeviceVolumes; ++number) {
        AddUnmountedEsp(
            platform, accepted,
            L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume" + std::to_wstring(number) + L"\\", list);
    }
}

void TryLetterS(Platform& platform, const Acceptance& accepted, std::vector<EspCandidate>& list) {
    // mountvol gives S: the partition Windows itself knows as the running system's ESP (no
    // file decides it), and only when S: is free: a letter it gives is this search's to take
    // back.
    if (!MountEspAtS(platform)) return;
    if (!HoldsBootFile(platform, L"S:\\")) {
        UnmountS(platform);
        return;
    }
    if (auto candidate =
            accepted.Take(platform, L"S:\\", L"S:", GetVolumeDiskNumber(platform, L"S:\\"))) {
        candidate->temporaryLetter = true;
        ProcessHoldings().Record(platform, std::wstring(kHeldLetterS),
                                 [](Platform& holder) { UnmountS(holder); });
        list.push_back(std::move(*candidate));
    } else {
        UnmountS(platform);
    }
}

// A fresh folder for one mount, inside a fresh private folder: nobody else can have made,
// replaced or filled either. Empty when either cannot be made new.
std::wstring MakeMountFolder(Platform& platform) {
    const std::wstring parent = MakeFreshPrivateFolder(platform, L"certvane-esp-");
    if (parent.empty()) return {};
    const std::wstring folder = parent + L"\\" + std::wstring(kMountFolderName);
    if (platform.MakePrivateDirectory(folder)) {
        if (platform.IsPlainFolder(folder)) return folder;
        // Something replaced what was just made: it is not ours to remove.
        return {};
    }
    platform.DeleteDirectory(parent);
    return {};
}

// The mount folder, then the private folder around it.
void RemoveMountFolder(Platform& platform, const std::wstring& folder) {
    platform.DeleteDirectory(folder);
    platform.DeleteDirectory(folder.substr(0, folder.size() - kMountFolderName.size() - 1));
}

// Mounts one volume without drive letter or mount folder on a folder of its own and keeps the
// mount only when it is an accepted ESP.
void TryFolderMount(Platform& platform, const Acceptance& accepted, const std::wstring& volume,
                    std::vector<EspCandidate>& list) {
    // A volume that is no ESP is not even mounted.
    if (!accepted.Kind(platform, volume)) return;
    const std::wstring folder = MakeMountFolder(platform);
    if (folder.empty()) return;
    if (!platform.MountVolumeAt(folder, volume)) {
        RemoveMountFolder(platform, folder);
        return;
    }
    if (HoldsBootFile(platform, folder)) {
        if (auto candidate =
                accepted.Take(platform, folder, volume, GetDeviceNumber(platform, volume))) {
            candidate->temporaryMount = true;
            ProcessHoldings().Record(platform, HeldMountName(folder), [folder](Platform& holder) {
                holder.RemoveMountPoint(folder);
                RemoveMountFolder(holder, folder);
            });
            list.push_back(std::move(*candidate));
            return;
        }
    }
    platform.RemoveMountPoint(folder);
    RemoveMountFolder(platform, folder);
}

void AddFolderMounts(Platform& platform, const Acceptance& accepted,
                     std::vector<EspCandidate>& list) {
    const auto start = platform.FindFirstVolumeName();
    if (!start) return;
    std::optional<std::wstring> volume = start->firstVolume;
    while (volume) {
        // A volume without drive letter or mount folder still needs one character, the NUL
        // that ends its empty list; any path makes the list longer.
        if (platform.VolumePathNamesLength(*volume) <= 1)
            TryFolderMount(platform, accepted, *volume, list);
        volume = platform.FindNextVolumeName(start->search);
    }
    platform.CloseVolumeSearch(start->search);
}

}  // namespace

bool IsRegularFile(Platform& platform, std::wstring_view path) {
    const auto attributes = platform.FileAttributesOf(path);
    return attributes && (*attributes & FileAttributeDirectory) == 0;
}

std::wstring GetSystemDriveRoot(Platform& platform) {
    const std::wstring windows = platform.WindowsDirectoryPath();
    if (windows.size() < 2 || windows[1] != L':') return {};
    return windows.substr(0, 3);
}

std::wstring FindEspVolumeOnDisk(Platform& platform, int diskNumber) {
    const auto start = platform.FindFirstVolumeName();
    if (!start) return {};
    std::optional<std::wstring> volume = start->firstVolume;
    while (volume) {
        if (IsEspPartition(platform, *volume) && GetDeviceNumber(platform, *volume) == diskNumber &&
            platform.PathExists(*volume + std::wstring(BootManagerFile))) {
            platform.CloseVolumeSearch(start->search);
            return *volume;
        }
        volume = platform.FindNextVolumeName(start->search);
    }
    platform.CloseVolumeSearch(start->search);
    return {};
}

std::vector<EspCandidate> FindEspVolumes(Platform& platform, EspScope scope) {
    Acceptance accepted;
    accepted.scope = scope;
    accepted.systemRoot = GetSystemDriveRoot(platform);
    if (!accepted.systemRoot.empty())
        accepted.systemDisk = GetVolumeDiskNumber(platform, accepted.systemRoot);
    std::vector<EspCandidate> list;
    // Inside Windows PE the medium need not be an ESP, and it has a letter.
    if (scope == EspScope::EspPartitions) {
        if (const auto target = ReadCurrentBootTarget(platform))
            accepted.firmwarePartition = target->partition;
        AddEspsByVolumeName(platform, accepted, list);
        if (list.empty()) AddEspsByDevicePath(platform, accepted, list);
    }
    if (list.empty()) AddLetteredEsps(platform, accepted, list);
    if (list.empty()) TryLetterS(platform, accepted, list);
    if (list.empty()) AddFolderMounts(platform, accepted, list);
    if (list.empty()) TryLetterS(platform, accepted, list);
    return list;
}

void ReleaseEspMounts(const std::vector<EspCandidate>& candidates) {
    for (const EspCandidate& candidate : candidates) {
        if (candidate.temporaryMount) ProcessHoldings().Release(HeldMountName(candidate.path));
    }
    for (const EspCandidate& candidate : candidates) {
        if (candidate.temporaryLetter) ProcessHoldings().Release(kHeldLetterS);
    }
}

std::wstring ChooseSystemEspRoot(Platform& platform, const std::vector<EspCandidate>& candidates) {
    for (const EspCandidate& candidate : candidates) {
        if (candidate.startedByFirmware && !candidate.path.empty()) return candidate.path;
    }
    const std::wstring windows = platform.WindowsDirectoryPath();
    if (windows.size() >= 2 && windows[1] == L':') {
        const int disk = GetVolumeDiskNumber(platform, windows.substr(0, 1) + L":\\");
        for (const EspCandidate& candidate : candidates) {
            if (candidate.diskNumber != disk) continue;
            if (!candidate.path.empty()) return candidate.path;
            break;
        }
    }
    if (!candidates.empty()) return candidates.front().path;
    return {};
}

std::wstring GetCurrentBootManagerPath(Platform& platform,
                                       const std::vector<EspCandidate>& candidates) {
    const std::wstring root = ChooseSystemEspRoot(platform, candidates);
    if (root.empty()) return {};
    const std::wstring path = root + std::wstring(BootManagerFile);
    return IsRegularFile(platform, path) ? path : std::wstring();
}

}  // namespace certvane
