// The scripted machine's COM and its BitLocker provider.
#include "tests/support/Fold.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {
namespace {

constexpr std::wstring_view kBitLockerQuery =
    L"SELECT ConversionStatus, ProtectionStatus FROM Win32_EncryptableVolume WHERE DriveLetter = '";

}  // namespace

bool ScriptedMachine::InitializeComApartment() {
    if (comInitFails) return false;
    ++comDepth_;
    return true;
}

bool ScriptedMachine::InitializeComSecurity() {
    // Process-wide and once only: later calls are refused, as by the system.
    const bool first = !comSecurityInitialized_;
    comSecurityInitialized_ = true;
    return first;
}

void ScriptedMachine::UninitializeCom() {
    if (comDepth_ == 0) {
        misuse.push_back(L"COM uninitialised more often than initialised");
        return;
    }
    --comDepth_;
    log.push_back(L"UninitializeCom");
}

std::optional<ComObject> ScriptedMachine::CreateWmiLocator() {
    if (!wmiAvailable || comDepth_ == 0) return std::nullopt;
    return ComObject{NewHandle({HandleKind::Com, L"locator"})};
}

std::optional<ComObject> ScriptedMachine::ConnectWmiNamespace(ComObject locator,
                                                              std::wstring_view wmiNamespace) {
    if (FindHandle(static_cast<std::uintptr_t>(locator), HandleKind::Com) == nullptr ||
        wmiNamespace != L"ROOT\\CIMV2\\Security\\MicrosoftVolumeEncryption") {
        return std::nullopt;
    }
    return ComObject{NewHandle({HandleKind::Com, L"services"})};
}

bool ScriptedMachine::SetWmiProxyBlanket(ComObject services) {
    return FindHandle(static_cast<std::uintptr_t>(services), HandleKind::Com) != nullptr;
}

std::optional<ComObject> ScriptedMachine::ExecWmiQuery(ComObject services, std::wstring_view wql) {
    wmiQueries.emplace_back(wql);
    if (FindHandle(static_cast<std::uintptr_t>(services), HandleKind::Com) == nullptr ||
        wmiQueryFails || !StartsWith(wql, kBitLockerQuery) || !wql.ends_with(L"'")) {
        return std::nullopt;
    }
    Handle enumerator{HandleKind::Com, L"enumerator"};
    enumerator.text =
        Fold(wql.substr(kBitLockerQuery.size(), wql.size() - kBitLockerQuery.size() - 1));
    return ComObject{NewHandle(std::move(enumerator))};
}

WmiNext ScriptedMachine::NextWmiObject(ComObject enumerator, std::uint32_t milliseconds) {
    wmiWaits.push_back(milliseconds);
    Handle* handle = FindHandle(static_cast<std::uintptr_t>(enumerator), HandleKind::Com);
    if (handle == nullptr) return {};
    if (wmiProviderHangs) {
        if (milliseconds == WaitForever) misuse.push_back(L"endless wait for a hung WMI provider");
        return {std::nullopt, true, false};
    }
    if (wmiEnumerationFails) return {std::nullopt, false, true};
    if (handle->index != 0 || !encryptableVolumes.count(handle->text)) return {};
    handle->index = 1;  // the one matching volume has been delivered
    Handle volume{HandleKind::Com, L"volume " + handle->text};
    volume.text = handle->text;
    return {ComObject{NewHandle(std::move(volume))}, false};
}

std::optional<WmiValue> ScriptedMachine::WmiProperty(ComObject object, std::wstring_view name) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(object), HandleKind::Com);
    if (handle == nullptr) return std::nullopt;
    const ScriptedEncryptableVolume& volume = encryptableVolumes.at(handle->text);
    if (name == L"ConversionStatus") return volume.conversionStatus;
    if (name == L"ProtectionStatus") return volume.protectionStatus;
    return std::nullopt;
}

void ScriptedMachine::ReleaseComObject(ComObject object) {
    ReleaseHandle(static_cast<std::uintptr_t>(object), HandleKind::Com, L"Release");
}

}  // namespace certvane::test
