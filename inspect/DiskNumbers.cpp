#include "inspect/DiskNumbers.h"

#include <string>

#include "inspect/PathText.h"

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

namespace {

// "\\.\C:" for a drive, the volume name without its backslash for a volume.
std::wstring DevicePath(std::wstring_view driveOrVolume) {
    if (driveOrVolume.size() >= 2 && driveOrVolume[1] == L':')
        return L"\\\\.\\" + std::wstring(driveOrVolume.substr(0, 2));
    if (!driveOrVolume.empty() && driveOrVolume.back() == L'\\') driveOrVolume.remove_suffix(1);
    return std::wstring(driveOrVolume);
}

// The volume root as the file system queries take it ("C:\\", "\\?\Volume{...}\\").
std::wstring RootPath(std::wstring_view driveOrVolume) {
    if (driveOrVolume.size() >= 2 && driveOrVolume[1] == L':')
        return std::wstring(driveOrVolume.substr(0, 2)) + L"\\";
    std::wstring root(driveOrVolume);
    if (root.empty() || root.back() != L'\\') root += L'\\';
    return root;
}

}  // namespace

std::optional<PartitionInfo> ReadPartitionInfo(Platform& platform,
                                               std::wstring_view driveOrVolume) {
    const auto handle = platform.OpenDevice(DevicePath(driveOrVolume), DeviceNoAccess);
    if (!handle) return std::nullopt;
    const auto partition = platform.QueryPartitionInfo(*handle);
    platform.CloseDevice(*handle);
    return partition;
}

bool IsEspPartition(Platform& platform, std::wstring_view driveOrVolume) {
    const auto partition = ReadPartitionInfo(platform, driveOrVolume);
    if (!partition) return false;
    const bool espType =
        (partition->style == PartitionStyle::Gpt && partition->gptType == EspPartitionType) ||
        (partition->style == PartitionStyle::Mbr && partition->mbrType == EspMbrPartitionType);
    if (!espType) return false;
    const auto fileSystem = platform.VolumeFileSystemName(RootPath(driveOrVolume));
    return fileSystem && AsciiLower(*fileSystem).starts_with(L"fat");
}

int GetDeviceNumber(Platform& platform, std::wstring_view driveOrVolume) {
    const auto handle = platform.OpenDevice(DevicePath(driveOrVolume), DeviceNoAccess);
    if (!handle) return -1;
    const auto number = platform.QueryStorageDeviceNumber(*handle);
    platform.CloseDevice(*handle);
    return number ? static_cast<int>(*number) : -1;
}

}  // namespace certvane
