#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "inspect/SignatureDatabase.h"

namespace certvane::cli {

// EFI global variable GUID, the vendor of KEK.
inline constexpr Guid EfiGlobalVariableGuid{
    0x8BE4DF61, 0x93CA, 0x11D2, {0xAA, 0x0D, 0x00, 0xE0, 0x98, 0x03, 0x2B, 0x8C}};

// Variable images taken from files instead of the firmware.
struct CapturedVariables {
    std::optional<ByteBuffer> db;
    std::optional<ByteBuffer> dbx;
    std::optional<ByteBuffer> kek;
    std::optional<ByteBuffer> pk;

    // The captured image standing in for the named variable, or null.
    const ByteBuffer* Find(std::wstring_view name, std::wstring_view guidText) const;
};

// Copies a captured image the way the firmware read does: 0 when it does not fit.
std::uint32_t CopyCapturedImage(const ByteBuffer& image, std::span<std::uint8_t> buffer);

// A machine whose firmware variables are partly replaced by captured images; everything else
// is the machine's own.
template <class Machine>
class WithCapturedFirmware final : public Machine {
  public:
    template <class... Args>
    explicit WithCapturedFirmware(CapturedVariables captured, Args&&... args)
        : Machine(std::forward<Args>(args)...), captured_(std::move(captured)) {}

    std::uint32_t QueryFirmwareVariable(std::wstring_view name, std::wstring_view guidText,
                                        std::span<std::uint8_t> buffer) override {
        if (const ByteBuffer* image = captured_.Find(name, guidText)) {
            const std::uint32_t count = CopyCapturedImage(*image, buffer);
            lastCapturedFailure_ =
                count == 0 ? FirmwareReadFailure::TooLarge : FirmwareReadFailure::None;
            return count;
        }
        lastCapturedFailure_.reset();
        return Machine::QueryFirmwareVariable(name, guidText, buffer);
    }

    FirmwareReadFailure LastFirmwareReadFailure() override {
        return lastCapturedFailure_ ? *lastCapturedFailure_ : Machine::LastFirmwareReadFailure();
    }

  private:
    CapturedVariables captured_;
    // Set when the last read was answered from a captured image.
    std::optional<FirmwareReadFailure> lastCapturedFailure_;
};

}  // namespace certvane::cli
