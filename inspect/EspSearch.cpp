#include "inspect/EspSearch.h"

#include <functional>

#include "inspect/DiskNumbers.h"
#include "inspect/PathText.h"
#include "inspect/SystemCommands.h"

namespace certvane {
namespace {

using DiskFilter = std::function<bool(int)>;

// What may be taken: volumes of the accepted disks, of the kind the scope allows.
struct Acceptance {
    EspScope scope;
    DiskFilter disk;
    std::wstring systemRoot;  // the Windows volume, never an ESP

    bool Kind(Platform& platform, std::wstring_view driveOrVolume) const {
        return scope == EspScope::BootVolumes || IsEspPartition(platform, driveOrVolume);
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
        const int disk = GetVolumeDiskNumber(platform, root);
        if (accepted.disk(disk)) list.push_back({root, disk, false, false});
    }
}

// ESPs read through their volume names ("\\?\Volume{...}\"): no letter, no folder, nothing
// to release, nothing anybody else could have placed there.
void AddEspsByVolumeName(Platform& platform, const Acceptance& accepted,
                         std::vector<EspCandidate>& list) {
    const auto start = platform.FindFirstVolumeName();
    if (!start) return;
    std::optional<std::wstring> volume = start->firstVolume;
    while (volume) {
        if (IsEspPartition(platform, *volume) && HoldsBootFile(platform, *volume)) {
            const int disk = GetDeviceNumber(platform, *volume);
            if (accepted.disk(disk)) list.push_back({*volume, disk, false, false});
        }
        volume = platform.FindNextVolumeName(start->search);
    }
    platform.CloseVolumeSearch(start->search);
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
    const int disk = GetVolumeDiskNumber(platform, L"S:\\");
    if (accepted.disk(disk)) {
        list.push_back({L"S:\\", disk, false, true});
    } else {
        UnmountS(platform);
    }
}

std::wstring TemporaryFolderBase(Platform& platform) {
    std::wstring base = platform.TempDirectoryPath();
    if (base.empty()) base = platform.CurrentDirectoryPath();
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    return base + L"ESP_TEMP_";
}

// Mounts one volume without drive letter or mount folder on `folder` and keeps the mount
// only when it is an accepted ESP.
void TryFolderMount(Platform& platform, const Acceptance& accepted, const std::wstring& volume,
                    const std::wstring& folder, std::vector<EspCandidate>& list) {
    // A volume that is no ESP is not even mounted.
    if (!accepted.Kind(platform, volume)) return;
    platform.MakeDirectory(folder);
    if (!platform.MountVolumeAt(folder, volume)) {
        platform.DeleteDirectory(folder);
        return;
    }
    if (HoldsBootFile(platform, folder)) {
        const int disk = GetDeviceNumber(platform, volume);
        if (accepted.disk(disk)) {
            list.push_back({folder, disk, true, false});
            return;
        }
    }
    platform.RemoveMountPoint(folder);
    platform.DeleteDirectory(folder);
}

void AddFolderMounts(Platform& platform, const Acceptance& accepted,
                     std::vector<EspCandidate>& list) {
    const std::wstring base = TemporaryFolderBase(platform);
    const auto start = platform.FindFirstVolumeName();
    if (!start) return;
    int n = 0;
    std::optional<std::wstring> volume = start->firstVolume;
    while (volume) {
        // A volume without drive letter or mount folder still needs one character, the NUL
        // that ends its empty list; any path makes the list longer.
        if (platform.VolumePathNamesLength(*volume) <= 1) {
            TryFolderMount(platform, accepted, *volume, base + std::to_wstring(n) + L"\\", list);
            ++n;
        }
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
    const std::wstring systemRoot = GetSystemDriveRoot(platform);
    const int systemDisk = systemRoot.empty() ? -1 : GetVolumeDiskNumber(platform, systemRoot);
    const Acceptance accepted{
        scope, [systemDisk](int disk) { return systemDisk == -1 || disk == systemDisk; },
        systemRoot};
    std::vector<EspCandidate> list;
    // Inside Windows PE the medium need not be an ESP, and it has a letter.
    if (scope == EspScope::EspPartitions) AddEspsByVolumeName(platform, accepted, list);
    if (list.empty()) AddLetteredEsps(platform, accepted, list);
    if (list.empty()) TryLetterS(platform, accepted, list);
    if (list.empty()) AddFolderMounts(platform, accepted, list);
    if (list.empty()) TryLetterS(platform, accepted, list);
    return list;
}

void ReleaseEspMounts(Platform& platform, const std::vector<EspCandidate>& candidates) {
    for (const EspCandidate& candidate : candidates) {
        if (!candidate.temporaryMount) continue;
        platform.RemoveMountPoint(candidate.path);
        platform.DeleteDirectory(candidate.path);
    }
    for (const EspCandidate& candidate : candidates) {
        if (candidate.temporaryLetter) UnmountS(platform);
    }
}

std::wstring ChooseSystemEspRoot(Platform& platform, const std::vector<EspCandidate>& candidates) {
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
