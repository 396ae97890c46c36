#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace certvane {

inline constexpr std::uint32_t FirmwareTypeBios = 1;
inline constexpr std::uint32_t FirmwareTypeUefi = 2;

// Why a firmware variable read gave nothing.
enum class FirmwareReadFailure {
    None,
    NotFound,      // the firmware holds no such variable
    TooLarge,      // it exists but does not fit the buffer
    NoAccess,      // the privilege to read firmware variables is missing
    NotSupported,  // no UEFI variable services (legacy BIOS boot)
    Other,
};

// UEFI firmware services.
class FirmwareApi {
  public:
    // Copies the variable's value into `buffer` and returns its byte count; 0 when the variable
    // cannot be read or does not fit.
    virtual std::uint32_t QueryFirmwareVariable(std::wstring_view name, std::wstring_view guidText,
                                                std::span<std::uint8_t> buffer) = 0;
    // Why the last QueryFirmwareVariable of this object returned 0; None after one that
    // returned data.
    virtual FirmwareReadFailure LastFirmwareReadFailure() = 0;
    // The firmware type the machine booted with; nullopt when the system cannot tell.
    virtual std::optional<std::uint32_t> QueryFirmwareType() = 0;

  protected:
    ~FirmwareApi() = default;
};

}  // namespace certvane
