#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Guid.h"
#include "platform/Handles.h"

namespace certvane {

inline constexpr std::uint32_t DriveNoRootDir = 1;
inline constexpr std::uint32_t DriveRemovable = 2;
inline constexpr std::uint32_t DriveFixed = 3;

inline constexpr std::uint32_t DeviceReadAccess = 0x80000000;  // GENERIC_READ
inline constexpr std::uint32_t DeviceNoAccess = 0;

// The reply of the volume disk extents request into a buffer with room for one extent.
struct DiskExtentsReply {
    std::uint32_t bytesReturned;
    std::uint32_t extentCount;
    std::uint32_t firstDiskNumber;
};

enum class PartitionStyle { Mbr, Gpt, Raw };

// The partition a volume lies on: its GPT partition type and the partition's own GUID, or its
// MBR partition type byte.
struct PartitionInfo {
    PartitionStyle style = PartitionStyle::Raw;
    Guid gptType{};
    std::uint8_t mbrType = 0;
    Guid gptId{};
};

// The partition types of an EFI System Partition, and of a basic data partition.
inline constexpr Guid EspPartitionType{
    0xC12A7328, 0xF81F, 0x11D2, {0xBA, 0x4B, 0x00, 0xA0, 0xC9, 0x3E, 0xC9, 0x3B}};
inline constexpr std::uint8_t EspMbrPartitionType = 0xEF;
inline constexpr Guid BasicDataPartitionType{
    0xEBD0A0A2, 0xB9E5, 0x4433, {0x87, 0xC0, 0x68, 0xB6, 0xB7, 0x26, 0x99, 0xC7}};

struct VolumeSearchStart {
    VolumeSearch search;
    std::wstring firstVolume;
};

// Drives, volumes, their disks and their mount points.
class VolumeApi {
  public:
    virtual std::uint32_t LogicalDriveMask() = 0;
    virtual std::uint32_t DriveTypeOf(std::wstring_view root) = 0;

    // Opens a volume or drive device ("\\.\C:", a volume name without trailing backslash),
    // shared for reading and writing.
    virtual std::optional<DeviceHandle> OpenDevice(std::wstring_view path,
                                                   std::uint32_t access) = 0;
    virtual std::optional<DiskExtentsReply> QueryVolumeDiskExtents(DeviceHandle device) = 0;
    virtual std::optional<std::uint32_t> QueryStorageDeviceNumber(DeviceHandle device) = 0;
    // IOCTL_DISK_GET_PARTITION_INFO_EX of a volume device; nullopt when it fails.
    virtual std::optional<PartitionInfo> QueryPartitionInfo(DeviceHandle device) = 0;
    virtual void CloseDevice(DeviceHandle device) = 0;

    // Volume names end in a backslash ("\\?\Volume{...}\").
    virtual std::optional<VolumeSearchStart> FindFirstVolumeName() = 0;
    virtual std::optional<std::wstring> FindNextVolumeName(VolumeSearch search) = 0;
    virtual void CloseVolumeSearch(VolumeSearch search) = 0;

    virtual std::optional<std::wstring> VolumeFileSystemName(std::wstring_view volume) = 0;
    // The length the volume's list of drive letters and mount folders would need, as the
    // system reports it when asked without a buffer.
    virtual std::uint32_t VolumePathNamesLength(std::wstring_view volume) = 0;
    virtual bool MountVolumeAt(std::wstring_view folder, std::wstring_view volume) = 0;
    virtual bool RemoveMountPoint(std::wstring_view folder) = 0;

  protected:
    ~VolumeApi() = default;
};

}  // namespace certvane
