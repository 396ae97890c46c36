#include "inspect/KeyStores.h"

#include <algorithm>

namespace certvane {

const VariableFact& KeyStores::Store(std::wstring_view name) const {
    for (const VariableFact& fact : stores) {
        if (fact.name == name) return fact;
    }
    static const VariableFact none{};
    return none;
}

namespace {

VariableFact ReadVariableFact(Platform& platform, std::wstring_view name, const Guid& vendor,
                              std::span<const std::wstring_view> capturedNames) {
    VariableFact fact;
    fact.name = name;
    fact.captured = std::ranges::find(capturedNames, name) != capturedNames.end();
    fact.image = ReadFirmwareVariable(platform, name, vendor);
    if (!fact.image.empty()) {
        fact.state = VariableState::Present;
        return fact;
    }
    fact.failure = platform.LastFirmwareReadFailure();
    // An empty read without a failure is a variable of zero bytes: an empty store.
    fact.state = fact.failure == FirmwareReadFailure::None       ? VariableState::Present
                 : fact.failure == FirmwareReadFailure::NotFound ? VariableState::Missing
                                                                 : VariableState::Unreadable;
    return fact;
}

}  // namespace

KeyStores ReadKeyStores(Platform& platform, std::span<const std::wstring_view> capturedNames) {
    KeyStores keys;
    for (const StoreVariable& variable : StoreVariables) {
        keys.stores.push_back(
            ReadVariableFact(platform, variable.name, variable.vendor, capturedNames));
    }
    keys.secureBoot =
        ReadVariableFact(platform, L"SecureBoot", EfiGlobalVariableGuid, capturedNames);
    keys.setupMode = ReadVariableFact(platform, L"SetupMode", EfiGlobalVariableGuid, capturedNames);
    return keys;
}

KeyStores ReadTrustStores(Platform& platform) {
    KeyStores keys;
    for (const StoreVariable& variable : StoreVariables) {
        if (variable.name == L"PK" || variable.name == L"KEK" || variable.name == L"db" ||
            variable.name == L"dbx")
            keys.stores.push_back(ReadVariableFact(platform, variable.name, variable.vendor, {}));
    }
    return keys;
}

int FlagValue(const VariableFact& flag) {
    if (flag.image.size() != 1 || flag.image[0] > 1) return -1;
    return flag.image[0];
}

}  // namespace certvane
