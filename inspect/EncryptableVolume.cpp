#include "inspect/EncryptableVolume.h"

namespace certvane {
namespace {

// The BitLocker provider normally answers in well under a second; a hung one must not hold
// the only worker forever.
constexpr std::uint32_t kWmiTimeoutMs = 60000;

}  // namespace

EncryptableVolume::EncryptableVolume(Platform& platform, std::wstring_view drive)
    : platform_(platform) {
    comInitialized_ = platform_.InitializeComApartment();
    platform_.InitializeComSecurity();
    locator_ = platform_.CreateWmiLocator();
    if (!locator_) return;
    services_ = platform_.ConnectWmiNamespace(*locator_,
                                              L"ROOT\\CIMV2\\Security\\MicrosoftVolumeEncryption");
    if (!services_) return;
    platform_.SetWmiProxyBlanket(*services_);
    // The whole instance, so that its methods can be called through its path.
    const auto enumerator = platform_.ExecWmiQuery(
        *services_, L"SELECT * FROM Win32_EncryptableVolume WHERE DriveLetter = '" +
                        std::wstring(drive) + L"'");
    if (!enumerator) return;
    const WmiNext next = platform_.NextWmiObject(*enumerator, kWmiTimeoutMs);
    platform_.ReleaseComObject(*enumerator);
    // No answer, or a failed one, says nothing about the volume: unlike "no such volume" it is
    // not "not encrypted".
    if (next.timedOut || next.failed) return;
    volume_ = next.object;
    state_ = volume_ ? State::Present : State::Absent;
}

EncryptableVolume::~EncryptableVolume() {
    for (const auto& object : {volume_, services_, locator_}) {
        if (object) platform_.ReleaseComObject(*object);
    }
    if (comInitialized_) platform_.UninitializeCom();
}

std::optional<std::int32_t> EncryptableVolume::Number(std::wstring_view name) {
    if (!volume_) return std::nullopt;
    const auto value = platform_.WmiProperty(*volume_, name);
    if (!value || value->variantType != VariantInt32) return std::nullopt;
    return value->int32Value;
}

std::optional<ComObject> EncryptableVolume::Outputs(std::wstring_view method,
                                                    const std::vector<WmiArgument>& inputs) {
    if (!volume_) return std::nullopt;
    return platform_.ExecWmiMethod(*services_, *volume_, method, inputs);
}

std::optional<std::int32_t> EncryptableVolume::Call(std::wstring_view method,
                                                    const std::vector<WmiArgument>& inputs) {
    return CallForNumber(method, inputs, L"ReturnValue");
}

std::optional<std::int32_t> EncryptableVolume::CallForNumber(std::wstring_view method,
                                                             const std::vector<WmiArgument>& inputs,
                                                             std::wstring_view output) {
    const auto outputs = Outputs(method, inputs);
    if (!outputs) return std::nullopt;
    const auto result = platform_.WmiProperty(*outputs, L"ReturnValue");
    const auto value = platform_.WmiProperty(*outputs, output);
    platform_.ReleaseComObject(*outputs);
    const bool succeeded = result && result->variantType == VariantInt32 &&
                           (output == L"ReturnValue" || result->int32Value == 0);
    if (!succeeded || !value || value->variantType != VariantInt32) return std::nullopt;
    return value->int32Value;
}

std::optional<std::vector<std::wstring>> EncryptableVolume::CallForTexts(
    std::wstring_view method, const std::vector<WmiArgument>& inputs, std::wstring_view output) {
    const auto outputs = Outputs(method, inputs);
    if (!outputs) return std::nullopt;
    const auto result = platform_.WmiProperty(*outputs, L"ReturnValue");
    auto texts = platform_.WmiStringArrayProperty(*outputs, output);
    platform_.ReleaseComObject(*outputs);
    if (!result || result->variantType != VariantInt32 || result->int32Value != 0)
        return std::nullopt;
    // An empty array may come as no value at all.
    return texts.value_or(std::vector<std::wstring>{});
}

}  // namespace certvane
