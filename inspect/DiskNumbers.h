#pragma once

#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// The disk of the volume of the drive a path begins with; -1 when it cannot be told (also for
// a volume spread over several extents).
int GetVolumeDiskNumber(Platform& platform, std::wstring_view path);

// The storage device number of a drive ("C:") or a volume name; -1 when it cannot be told.
int GetDeviceNumber(Platform& platform, std::wstring_view driveOrVolume);

}  // namespace certvane
