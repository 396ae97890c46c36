#include "inspect/DiskNumbers.h"

#include <string>

namespace certvane {

int GetVolumeDiskNumber(Platform& platform, std::wstring_view path) {
    const std::wstring device = L"\\\\.\\" + std::wstring(path.substr(0, 2));
    const auto handle = platform.OpenDevice(device, DeviceReadAccess);
    if (!handle) return -1;
    const auto extents = platform.QueryVolumeDiskExtents(*handle);
    platform.CloseDevice(*handle);
    if (!extents || extents->bytesReturned < 32 || extents->extentCount == 0) return -1;
    return static_cast<int>(extents->firstDiskNumber);
}

int GetDeviceNumber(Platform& platform, std::wstring_view driveOrVolume) {
    std::wstring device;
    if (driveOrVolume.size() == 2 && driveOrVolume[1] == L':') {
        device = L"\\\\.\\" + std::wstring(driveOrVolume);
    } else {
        if (!driveOrVolume.empty() && driveOrVolume.back() == L'\\') driveOrVolume.remove_suffix(1);
        device = std::wstring(driveOrVolume);
    }
    const auto handle = platform.OpenDevice(device, DeviceNoAccess);
    if (!handle) return -1;
    const auto number = platform.QueryStorageDeviceNumber(*handle);
    platform.CloseDevice(*handle);
    return number ? static_cast<int>(*number) : -1;
}

}  // namespace certvane
