#pragma once

#include <optional>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// The disk of the volume of the drive a path begins with; -1 when it cannot be told (also for
// a volume spread over several extents).
int GetVolumeDiskNumber(Platform& platform, std::wstring_view path);

// The storage device number of a drive ("C:") or a volume name; -1 when it cannot be told.
int GetDeviceNumber(Platform& platform, std::wstring_view driveOrVolume);

// The partition of a drive ("C:") or a volume name; nullopt when it cannot be read.
std::optional<PartitionInfo> ReadPartitionInfo(Platform& platform, std::wstring_view driveOrVolume);

// True when the volume of a drive ("C:", "C:\") or a volume name lies on an EFI System
// Partition by its partition type (GPT or MBR) and holds a FAT file system. What a volume holds
// does not make it one: anybody may create EFI\Microsoft\Boot on a data volume.
bool IsEspPartition(Platform& platform, std::wstring_view driveOrVolume);

}  // namespace certvane
