#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace certvane {

// One found EFI System Partition root.
struct EspCandidate {
    std::wstring path;             // ends in a backslash
    int diskNumber = -1;           // -1 when unknown
    bool temporaryMount = false;   // mounted on a folder here; ReleaseEspMounts removes it
    bool temporaryLetter = false;  // S: assigned by this search; ReleaseEspMounts removes it
    // The partition the firmware's BootCurrent load option names: the one it started from.
    bool startedByFirmware = false;

    friend bool operator==(const EspCandidate&, const EspCandidate&) = default;
};

// The boot files whose presence marks a volume as an ESP, in probing order.
inline constexpr std::array<std::wstring_view, 4> EspBootFiles{
    L"EFI\\Microsoft\\Boot\\bootmgfw.efi", L"EFI\\Microsoft\\Boot\\bootmgr.efi",
    L"EFI\\BOOT\\BOOTX64.EFI", L"EFI\\BOOT\\BOOTIA32.EFI"};

inline constexpr std::wstring_view BootManagerFile = L"EFI\\Microsoft\\Boot\\bootmgfw.efi";

bool IsRegularFile(Platform& platform, std::wstring_view path);

// The drive root of the Windows directory (C:\), or empty when it has no drive letter.
std::wstring GetSystemDriveRoot(Platform& platform);

// The volume name (with trailing backslash) of a FAT ESP holding the boot manager on the
// disk; empty when there is none. Mounts nothing.
std::wstring FindEspVolumeOnDisk(Platform& platform, int diskNumber);

// Which volumes may be taken for the one the firmware started from.
enum class EspScope {
    // EFI System Partitions by their partition type: the running system, where a volume that
    // merely holds a boot file may be one a standard user wrote (C:\EFI\... is allowed to all).
    EspPartitions,
    // Any volume with a boot file, but the Windows volume: inside Windows PE the firmware
    // started the medium's loader, which need not lie on an ESP.
    BootVolumes,
};

// The ESPs of the running system's disk (of every disk when that disk is unknown), and the
// partition the firmware reports it started from, on whichever disk it lies. ESPs are read
// through their volume names, else through their device paths
// ("\\?\GLOBALROOT\Device\HarddiskVolumeN\"): no letter, no folder, nothing to release.
// Only where neither reaches one does the search fall back to drive letters, to S: and to
// folder mounts, which it may leave in place: release them with ReleaseEspMounts.
std::vector<EspCandidate> FindEspVolumes(Platform& platform, EspScope scope);

// Undoes what FindEspVolumes mounted, and nothing else: the folder mounts of the list (mount
// point first, then its folder and the private folder around it), then the letter S: when this
// search assigned it. An S: it found (a USB stick, another ESP a script lettered) keeps its
// letter. A step that fails does not stop the others. Each mount is held in ProcessHoldings()
// from the moment the search keeps it, with the platform that made it, until it is given back
// here or by ReleaseAll.
void ReleaseEspMounts(const std::vector<EspCandidate>& candidates);

// The root the firmware started from, else the root on the disk of the Windows directory, else
// the first one; empty when there is no usable root.
std::wstring ChooseSystemEspRoot(Platform& platform, const std::vector<EspCandidate>& candidates);

// The running system's boot manager on its ESP among the candidates, or empty. The path is
// valid until the candidates are released.
std::wstring GetCurrentBootManagerPath(Platform& platform,
                                       const std::vector<EspCandidate>& candidates);

}  // namespace certvane
