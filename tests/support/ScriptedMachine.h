#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace certvane::test {

using Bytes = std::vector<std::uint8_t>;

// Bytes that the scripted machine's default certificate decoder reads as a certificate whose
// subject display name is `displayName` (any other bytes are no certificate).
Bytes FakeCertificate(std::wstring_view displayName);

// An in-memory machine: tests script its state, run the portable algorithms on it, and read
// back what the algorithms asked of it.
class ScriptedMachine : public Platform {
public:
    ScriptedMachine();

    // Firmware variables by name and GUID text; absent ones cannot be read.
    void SetFirmwareVariable(std::wstring name, std::wstring guidText, Bytes value);
    std::map<std::pair<std::wstring, std::wstring>, Bytes> firmwareVariables;
    struct FirmwareRead {
        std::wstring name;
        std::wstring guidText;
        std::size_t bufferSize;
    };
    std::vector<FirmwareRead> firmwareReads;
    // Replaces the return value of every firmware read (to script misbehaving firmware).
    std::optional<std::uint32_t> firmwareCountOverride;

    // Decodes certificates; FakeCertificate bytes by default. Each call's input is recorded.
    std::function<std::optional<std::wstring>(std::span<const std::uint8_t>)> decodeCertificate;
    std::vector<Bytes> decodedCertificates;

    std::uint32_t QueryFirmwareVariable(std::wstring_view name,
                                                 std::wstring_view guidText,
                                                 std::span<std::uint8_t> buffer) override;
    std::optional<std::wstring> CertificateSubjectName(std::span<const std::uint8_t> der) override;
};

}  // namespace certvane::test
