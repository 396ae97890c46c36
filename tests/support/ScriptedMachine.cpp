#include "tests/support/ScriptedMachine.h"

#include "tests/support/RealData.h"

#include <algorithm>
#include <string_view>

#include "inspect/Holdings.h"
#include "tests/support/Fold.h"

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

const wchar_t* KindName(int kind) {
    static const wchar_t* const names[] = {L"key",           L"token",   L"device",
                                           L"volume search", L"process", L"thread",
                                           L"COM object",    L"job",     L"machine lock"};
    return names[kind];
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

ScriptedMachine::~ScriptedMachine() {
    ProcessHoldings().ForgetEverythingOf(*this);
}

ScriptedMachine::ScriptedMachine()
    : decodeCertificate([](std::span<const std::uint8_t> der) {
          auto fake = DecodeFakeCertificate(der);
          return fake ? fake : DerSubjectCommonName(der);
      }) {}

void ScriptedMachine::SetFirmwareVariable(std::wstring name, std::wstring guidText, Bytes value) {
    firmwareVariables[{std::move(name), std::move(guidText)}] = std::move(value);
}

std::uint32_t ScriptedMachine::QueryFirmwareVariable(std::wstring_view name,
                                                     std::wstring_view guidText,
                                                     std::span<std::uint8_t> buffer) {
    // Windows refuses every firmware variable read (ERROR_PRIVILEGE_NOT_HELD, 1314) until the
    // process has enabled the privilege.
    const bool refused = !enabledPrivileges.count(L"SeSystemEnvironmentPrivilege");
    firmwareReads.push_back({std::wstring(name), std::wstring(guidText), buffer.size(), refused});
    const std::pair<std::wstring, std::wstring> key{name, guidText};
    lastFirmwareFailure_ = FirmwareReadFailure::None;
    if (refused) {
        lastFirmwareFailure_ = FirmwareReadFailure::NoAccess;
        return 0;
    }
    if (firmwareCountOverride) {
        if (*firmwareCountOverride == 0) lastFirmwareFailure_ = FirmwareReadFailure::Other;
        return *firmwareCountOverride;
    }
    if (const auto failure = firmwareFailures.find(key); failure != firmwareFailures.end()) {
        lastFirmwareFailure_ = failure->second;
        return 0;
    }
    const auto found = firmwareVariables.find(key);
    // A legacy BIOS boot has no variable services at all (ERROR_INVALID_FUNCTION).
    if (found == firmwareVariables.end() && firmwareType == FirmwareTypeBios) {
        lastFirmwareFailure_ = FirmwareReadFailure::NotSupported;
        return 0;
    }
    if (found == firmwareVariables.end()) {
        lastFirmwareFailure_ = FirmwareReadFailure::NotFound;
        return 0;
    }
    if (found->second.size() > buffer.size()) {
        lastFirmwareFailure_ = FirmwareReadFailure::TooLarge;
        return 0;
    }
    std::copy(found->second.begin(), found->second.end(), buffer.begin());
    return static_cast<std::uint32_t>(found->second.size());
}

FirmwareReadFailure ScriptedMachine::LastFirmwareReadFailure() {
    return lastFirmwareFailure_;
}

std::optional<std::uint32_t> ScriptedMachine::QueryFirmwareType() {
    return firmwareType;
}

std::optional<std::wstring> ScriptedMachine::CertificateSubjectName(
    std::span<const std::uint8_t> der) {
    decodedCertificates.emplace_back(der.begin(), der.end());
    return decodeCertificate(der);
}

std::uintptr_t ScriptedMachine::NewHandle(Handle handle) {
    const std::uintptr_t value = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(value, std::move(handle));
    return value;
}

ScriptedMachine::Handle* ScriptedMachine::FindHandle(std::uintptr_t value, HandleKind kind) {
    const auto found = handles_.find(value);
    if (found == handles_.end() || found->second.kind != kind) {
        misuse.push_back(std::wstring(L"use of an unknown ") + KindName(static_cast<int>(kind)));
        return nullptr;
    }
    return &found->second;
}

void ScriptedMachine::ReleaseHandle(std::uintptr_t value, HandleKind kind,
                                    std::wstring_view operation) {
    const Handle* handle = FindHandle(value, kind);
    if (handle == nullptr) return;
    log.push_back(std::wstring(operation) + L" " + handle->description);
    handles_.erase(value);
}

std::vector<std::wstring> ScriptedMachine::HeldResources() const {
    std::vector<std::wstring> held;
    for (const auto& [value, handle] : handles_) {
        held.push_back(std::wstring(KindName(static_cast<int>(handle.kind))) + L" " +
                       handle.description);
    }
    for (const auto& [name, tree] : loadedHives_) held.push_back(L"hive " + name);
    if (comDepth_ != 0) held.push_back(L"COM initialised " + std::to_wstring(comDepth_));
    for (const Process& process : processes_) {
        if (process.running) held.push_back(L"running " + process.commandLine);
    }
    return held;
}

std::wstring ScriptedMachine::DescribeSystem() const {
    std::wstring text;
    for (const auto& [letter, volume] : letters) {
        text += std::wstring(1, letter) + L": " + volumes[volume].name + L"\n";
    }
    for (const auto& [folder, volume] : mountFolders) {
        text += L"mount " + folder + L" " + volumes[volume].name + L"\n";
    }
    for (const ScriptedVolume& volume : volumes) {
        for (const std::wstring& folder : volume.folders) text += volume.name + folder + L"\n";
    }
    for (const auto& [name, tree] : loadedHives_) text += L"hive " + name + L"\n";
    return text;
}

}  // namespace certvane::test
