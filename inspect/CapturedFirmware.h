#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "inspect/SignatureDatabase.h"

namespace certvane {

// EFI global variable GUID, the vendor of KEK.
inline constexpr Guid EfiGlobalVariableGuid{
    0x8BE4DF61, 0x93CA, 0x11D2, {0xAA, 0x0D, 0x00, 0xE0, 0x98, 0x03, 0x2B, 0x8C}};

// Variable images taken from files instead of the firmware.
struct CapturedVariables {
    std::optional<ByteBuffer> db;
    std::optional<ByteBuffer> dbx;
    std::optional<ByteBuffer> kek;
    std::optional<ByteBuffer> pk;
    // Signature lists of signed updates, appended to what db and dbx hold.
    ByteBuffer dbAppended;
    ByteBuffer dbxAppended;

    // The captured image standing in for the named variable, or null.
    const ByteBuffer* Find(std::wstring_view name, std::wstring_view guidText) const;
    // The lists appended to the named variable; empty for all but db and dbx.
    const ByteBuffer& Appended(std::wstring_view name, std::wstring_view guidText) const;
};

// Copies a captured image the way the firmware read does: 0 when it does not fit.
std::uint32_t CopyCapturedImage(const ByteBuffer& image, std::span<std::uint8_t> buffer);

// Appends `lists` after the `count` bytes read into `buffer`, as the firmware appends an
// update to a variable; a variable that did not exist becomes the lists alone. 0 when the
// result does not fit; `count` unchanged when there is nothing to append or the read failed
// for another reason than a missing variable.
std::uint32_t AppendLists(std::uint32_t count, bool missing, const ByteBuffer& lists,
                          std::span<std::uint8_t> buffer);

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
        const ByteBuffer& appended = captured_.Appended(name, guidText);
        std::uint32_t count = 0;
        bool missing = false;
        if (const ByteBuffer* image = captured_.Find(name, guidText)) {
            count = CopyCapturedImage(*image, buffer);
        } else {
            count = Machine::QueryFirmwareVariable(name, guidText, buffer);
            missing =
                count == 0 && Machine::LastFirmwareReadFailure() == FirmwareReadFailure::NotFound;
            if (appended.empty() || (count == 0 && !missing)) {
                lastCapturedFailure_.reset();
                return count;
            }
        }
        count = AppendLists(count, missing, appended, buffer);
        lastCapturedFailure_ =
            count == 0 ? FirmwareReadFailure::TooLarge : FirmwareReadFailure::None;
        return count;
    }

    FirmwareReadFailure LastFirmwareReadFailure() override {
        return lastCapturedFailure_ ? *lastCapturedFailure_ : Machine::LastFirmwareReadFailure();
    }

  private:
    CapturedVariables captured_;
    // Set when the last read was answered from a captured image or carried appended lists.
    std::optional<FirmwareReadFailure> lastCapturedFailure_;
};

}  // namespace certvane
