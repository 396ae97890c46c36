#include "tests/support/ScriptedMachine.h"

#include <algorithm>
#include <string_view>

namespace certvane::test {
namespace {

constexpr std::string_view kFakeCertMagic = "FAKECERT:";

std::optional<std::wstring> DecodeFakeCertificate(std::span<const std::uint8_t> der) {
    if (der.size() < kFakeCertMagic.size() ||
        !std::equal(kFakeCertMagic.begin(), kFakeCertMagic.end(), der.begin())) {
        return std::nullopt;
    }
    // The name is stored as little-endian UTF-16 code units.
    std::wstring name;
    for (std::size_t i = kFakeCertMagic.size(); i + 1 < der.size(); i += 2) {
        name.push_back(static_cast<wchar_t>(der[i] | der[i + 1] << 8));
    }
    return name;
}

}  // namespace

Bytes FakeCertificate(std::wstring_view displayName) {
    Bytes bytes(kFakeCertMagic.begin(), kFakeCertMagic.end());
    for (wchar_t c : displayName) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

ScriptedMachine::ScriptedMachine() : decodeCertificate(DecodeFakeCertificate) {}

void ScriptedMachine::SetFirmwareVariable(std::wstring name, std::wstring guidText, Bytes value) {
    firmwareVariables[{std::move(name), std::move(guidText)}] = std::move(value);
}

std::uint32_t ScriptedMachine::QueryFirmwareVariable(std::wstring_view name,
                                                              std::wstring_view guidText,
                                                              std::span<std::uint8_t> buffer) {
    firmwareReads.push_back({std::wstring(name), std::wstring(guidText), buffer.size()});
    if (firmwareCountOverride) return *firmwareCountOverride;
    const auto found = firmwareVariables.find({std::wstring(name), std::wstring(guidText)});
    if (found == firmwareVariables.end() || found->second.size() > buffer.size()) return 0;
    std::copy(found->second.begin(), found->second.end(), buffer.begin());
    return static_cast<std::uint32_t>(found->second.size());
}

std::optional<std::wstring> ScriptedMachine::CertificateSubjectName(
    std::span<const std::uint8_t> der) {
    decodedCertificates.emplace_back(der.begin(), der.end());
    return decodeCertificate(der);
}

}  // namespace certvane::test
