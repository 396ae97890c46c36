#include "cli/KeyHierarchyJson.h"

#include "cli/Utf8.h"

namespace certvane::cli {
namespace {

using nlohmann::ordered_json;

std::string StateKey(VariableState state) {
    switch (state) {
        case VariableState::Present:
            return "present";
        case VariableState::Missing:
            return "missing";
        default:
            return "unreadable";
    }
}

ordered_json FailureKey(FirmwareReadFailure failure) {
    switch (failure) {
        case FirmwareReadFailure::None:
        case FirmwareReadFailure::NotFound:
            return nullptr;
        case FirmwareReadFailure::TooLarge:
            return "tooLarge";
        case FirmwareReadFailure::NoAccess:
            return "noAccess";
        case FirmwareReadFailure::NotSupported:
            return "notSupported";
        default:
            return "other";
    }
}

ordered_json VariableJson(const VariableFact& fact) {
    return {{"state", StateKey(fact.state)},
            {"error", FailureKey(fact.failure)},
            {"source", fact.captured ? "file" : "liveFirmware"},
            {"size", fact.image.size()}};
}

ordered_json FlagJson(const VariableFact& flag) {
    ordered_json json = VariableJson(flag);
    const int value = FlagValue(flag);
    json["value"] = value < 0 ? ordered_json(nullptr) : ordered_json(value);
    return json;
}

}  // namespace

void AddKeyHierarchy(ordered_json& report, const MachineFacts& facts) {
    ordered_json variables = ordered_json::object();
    for (const VariableFact& store : facts.keys.stores) {
        variables[ToUtf8(store.name)] = VariableJson(store);
    }
    variables["SecureBoot"] = FlagJson(facts.keys.secureBoot);
    variables["SetupMode"] = FlagJson(facts.keys.setupMode);
    report["variables"] = variables;
}

}  // namespace certvane::cli
