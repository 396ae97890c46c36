#include <windows.h>
#include <winternl.h>

#include <string>

#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

// The boot environment class of NtQuerySystemInformation. Unlike GetFirmwareType (missing
// before Windows 8 and an aborting stub in some Wine versions) it fails with a status where
// the system does not know the answer.
constexpr ULONG kSystemBootEnvironmentInformation = 90;

struct BootEnvironmentInformation {
    GUID bootIdentifier;
    ULONG firmwareType;
    ULONGLONG bootFlags;
};

}  // namespace

std::uint32_t Win32Platform::QueryFirmwareVariable(std::wstring_view name,
                                                   std::wstring_view guidText,
                                                   std::span<std::uint8_t> buffer) {
    const std::wstring nameZ(name);
    const std::wstring guidZ(guidText);
    const DWORD size = buffer.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(buffer.size());
    const DWORD count =
        ::GetFirmwareEnvironmentVariableW(nameZ.c_str(), guidZ.c_str(), buffer.data(), size);
    lastFirmwareError_ = count == 0 ? ::GetLastError() : ERROR_SUCCESS;
    return count;
}

FirmwareReadFailure Win32Platform::LastFirmwareReadFailure() {
    switch (lastFirmwareError_) {
        case ERROR_SUCCESS:
            return FirmwareReadFailure::None;
        case ERROR_ENVVAR_NOT_FOUND:
            return FirmwareReadFailure::NotFound;
        case ERROR_INSUFFICIENT_BUFFER:
            return FirmwareReadFailure::TooLarge;
        case ERROR_PRIVILEGE_NOT_HELD:
        case ERROR_ACCESS_DENIED:
            return FirmwareReadFailure::NoAccess;
        case ERROR_INVALID_FUNCTION:
            return FirmwareReadFailure::NotSupported;
        default:
            return FirmwareReadFailure::Other;
    }
}

std::optional<std::uint32_t> Win32Platform::QueryFirmwareType() {
    BootEnvironmentInformation information{};
    ULONG returned = 0;
    const NTSTATUS status = NtQuerySystemInformation(
        static_cast<SYSTEM_INFORMATION_CLASS>(kSystemBootEnvironmentInformation), &information,
        sizeof(information), &returned);
    if (status < 0 || returned < offsetof(BootEnvironmentInformation, bootFlags)) {
        return std::nullopt;
    }
    return information.firmwareType;
}

}  // namespace certvane
