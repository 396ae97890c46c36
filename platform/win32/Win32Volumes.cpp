#include <windows.h>
#include <winioctl.h>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::uint32_t Win32Platform::LogicalDriveMask() {
    return GetLogicalDrives();
}

std::uint32_t Win32Platform::DriveTypeOf(std::wstring_view root) {
    return GetDriveTypeW(Terminated(root).c_str());
}

std::optional<DeviceHandle> Win32Platform::OpenDevice(std::wstring_view path,
                                                      std::uint32_t access) {
    const HANDLE device =
        CreateFileW(Terminated(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) return std::nullopt;
    return FromNative<DeviceHandle>(device);
}

std::optional<DiskExtentsReply> Win32Platform::QueryVolumeDiskExtents(DeviceHandle device) {
    VOLUME_DISK_EXTENTS extents{};  // room for the count and exactly one extent
    static_assert(sizeof(extents) == 32);
    DWORD returned = 0;
    if (!DeviceIoControl(ToNative<HANDLE>(device), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                         &extents, sizeof(extents), &returned, nullptr)) {
        return std::nullopt;
    }
    return DiskExtentsReply{returned, extents.NumberOfDiskExtents, extents.Extents[0].DiskNumber};
}

std::optional<std::uint32_t> Win32Platform::QueryStorageDeviceNumber(DeviceHandle device) {
    STORAGE_DEVICE_NUMBER number{};
    DWORD returned = 0;
    if (!DeviceIoControl(ToNative<HANDLE>(device), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0,
                         &number, sizeof(number), &returned, nullptr)) {
        return std::nullopt;
    }
    return number.DeviceNumber;
}

namespace {

Guid FromNativeGuid(const GUID& native) {
    Guid guid{native.Data1, native.Data2, native.Data3, {}};
    for (int i = 0; i < 8; ++i) guid.data4[i] = native.Data4[i];
    return guid;
}

}  // namespace

std::optional<PartitionInfo> Win32Platform::QueryPartitionInfo(DeviceHandle device) {
    PARTITION_INFORMATION_EX info{};
    DWORD returned = 0;
    if (!DeviceIoControl(ToNative<HANDLE>(device), IOCTL_DISK_GET_PARTITION_INFO_EX, nullptr, 0,
                         &info, sizeof(info), &returned, nullptr) ||
        returned < sizeof(info)) {
        return std::nullopt;
    }
    PartitionInfo partition;
    if (info.PartitionStyle == PARTITION_STYLE_GPT) {
        partition.style = PartitionStyle::Gpt;
        partition.gptType = FromNativeGuid(info.Gpt.PartitionType);
        partition.gptId = FromNativeGuid(info.Gpt.PartitionId);
    } else if (info.PartitionStyle == PARTITION_STYLE_MBR) {
        partition.style = PartitionStyle::Mbr;
        partition.mbrType = info.Mbr.PartitionType;
    }
    return partition;
}

void Win32Platform::CloseDevice(DeviceHandle device) {
    CloseHandle(ToNative<HANDLE>(device));
}

std::optional<VolumeSearchStart> Win32Platform::FindFirstVolumeName() {
    wchar_t name[MAX_PATH] = {};
    const HANDLE search = FindFirstVolumeW(name, MAX_PATH);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    return VolumeSearchStart{FromNative<VolumeSearch>(search), name};
}

std::optional<std::wstring> Win32Platform::FindNextVolumeName(VolumeSearch search) {
    wchar_t name[MAX_PATH] = {};
    if (!FindNextVolumeW(ToNative<HANDLE>(search), name, MAX_PATH)) return std::nullopt;
    return std::wstring(name);
}

void Win32Platform::CloseVolumeSearch(VolumeSearch search) {
    FindVolumeClose(ToNative<HANDLE>(search));
}

std::optional<std::wstring> Win32Platform::VolumeFileSystemName(std::wstring_view volume) {
    wchar_t fileSystem[MAX_PATH] = {};
    if (!GetVolumeInformationW(Terminated(volume).c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                               fileSystem, MAX_PATH)) {
        return std::nullopt;
    }
    return std::wstring(fileSystem);
}

std::uint32_t Win32Platform::VolumePathNamesLength(std::wstring_view volume) {
    DWORD length = 0;
    GetVolumePathNamesForVolumeNameW(Terminated(volume).c_str(), nullptr, 0, &length);
    return length;
}

bool Win32Platform::MountVolumeAt(std::wstring_view folder, std::wstring_view volume) {
    return SetVolumeMountPointW(Terminated(folder).c_str(), Terminated(volume).c_str()) != FALSE;
}

bool Win32Platform::RemoveMountPoint(std::wstring_view folder) {
    return DeleteVolumeMountPointW(Terminated(folder).c_str()) != FALSE;
}

}  // namespace certvane
