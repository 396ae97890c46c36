// The scripted machine's COM and its BitLocker provider.
#include <algorithm>

#include "tests/support/Fold.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {
namespace {

// The query the BitLocker provider answers: the whole instance, whose methods can then be
// called.
constexpr std::wstring_view kBitLockerQuery =
    L"SELECT * FROM Win32_EncryptableVolume WHERE DriveLetter = '";

std::optional<std::wstring_view> QueriedDrive(std::wstring_view wql) {
    if (!StartsWith(wql, kBitLockerQuery) || !wql.ends_with(L"'") ||
        wql.size() <= kBitLockerQuery.size())
        return std::nullopt;
    return wql.substr(kBitLockerQuery.size(), wql.size() - kBitLockerQuery.size() - 1);
}

std::wstring ArgumentsText(const std::vector<WmiArgument>& inputs) {
    std::wstring text;
    for (const WmiArgument& input : inputs)
        text +=
            L" " + input.name + L"=" + (input.number ? std::to_wstring(*input.number) : input.text);
    return text;
}

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
    const auto drive = QueriedDrive(wql);
    if (FindHandle(static_cast<std::uintptr_t>(services), HandleKind::Com) == nullptr ||
        wmiQueryFails || !drive) {
        return std::nullopt;
    }
    Handle enumerator{HandleKind::Com, L"enumerator"};
    enumerator.text = Fold(*drive);
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
    if (const auto outputs = wmiOutputs_.find(static_cast<std::uintptr_t>(object));
        outputs != wmiOutputs_.end()) {
        const auto number = outputs->second.numbers.find(std::wstring(name));
        if (number == outputs->second.numbers.end()) return std::nullopt;
        return WmiValue{VariantInt32, number->second};
    }
    const ScriptedEncryptableVolume& volume = encryptableVolumes.at(handle->text);
    if (name == L"ConversionStatus") return volume.conversionStatus;
    if (name == L"ProtectionStatus") return volume.protectionStatus;
    return std::nullopt;
}

std::optional<std::vector<std::wstring>> ScriptedMachine::WmiStringArrayProperty(
    ComObject object, std::wstring_view name) {
    const auto outputs = wmiOutputs_.find(static_cast<std::uintptr_t>(object));
    if (outputs == wmiOutputs_.end()) return std::nullopt;
    const auto texts = outputs->second.texts.find(std::wstring(name));
    if (texts == outputs->second.texts.end()) return std::nullopt;
    return texts->second;
}

// The methods of Win32_EncryptableVolume the program calls, with their documented outputs.
std::optional<ComObject> ScriptedMachine::ExecWmiMethod(ComObject services, ComObject object,
                                                        std::wstring_view method,
                                                        const std::vector<WmiArgument>& inputs) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(object), HandleKind::Com);
    if (FindHandle(static_cast<std::uintptr_t>(services), HandleKind::Com) == nullptr ||
        handle == nullptr || !encryptableVolumes.count(handle->text)) {
        misuse.push_back(L"WMI method on no volume: " + std::wstring(method));
        return std::nullopt;
    }
    const std::wstring drive = handle->text;
    wmiMethodCalls.push_back(drive + L" " + std::wstring(method) + ArgumentsText(inputs));
    ScriptedEncryptableVolume& volume = encryptableVolumes.at(drive);
    WmiOutputs outputs;
    outputs.numbers[L"ReturnValue"] = 0;
    if (method == L"GetKeyProtectors") {
        if (volume.protectorsUnreadable) return std::nullopt;
        for (const ScriptedKeyProtector& protector : volume.protectors)
            outputs.texts[L"VolumeKeyProtectorID"].push_back(protector.id);
    } else if (method == L"GetKeyProtectorType") {
        const auto found = std::ranges::find_if(volume.protectors, [&](const auto& protector) {
            return inputs.size() == 1 && protector.id == inputs[0].text;
        });
        if (found == volume.protectors.end()) return std::nullopt;
        outputs.numbers[L"KeyProtectorType"] = found->type;
    } else if (method == L"GetSuspendCount") {
        if (!volume.suspendCount) return std::nullopt;
        outputs.numbers[L"SuspendCount"] = *volume.suspendCount;
    } else if (method == L"DisableKeyProtectors") {
        outputs.numbers[L"ReturnValue"] = volume.disableResult;
        if (volume.disableResult == 0) {
            volume.protectionStatus = WmiValue{VariantInt32, 0};
            volume.suspendCount = inputs.empty() || !inputs[0].number ? -1 : *inputs[0].number;
        }
    } else if (method == L"EnableKeyProtectors") {
        outputs.numbers[L"ReturnValue"] = volume.enableResult;
        if (volume.enableResult == 0) {
            volume.protectionStatus = WmiValue{VariantInt32, 1};
            volume.suspendCount = 0;
        }
    } else {
        misuse.push_back(L"unscripted WMI method " + std::wstring(method));
        return std::nullopt;
    }
    const std::uintptr_t value =
        NewHandle({HandleKind::Com, L"outputs of " + std::wstring(method)});
    wmiOutputs_[value] = std::move(outputs);
    return ComObject{value};
}

void ScriptedMachine::ReleaseComObject(ComObject object) {
    wmiOutputs_.erase(static_cast<std::uintptr_t>(object));
    ReleaseHandle(static_cast<std::uintptr_t>(object), HandleKind::Com, L"Release");
}

}  // namespace certvane::test
