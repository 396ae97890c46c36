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

ordered_json Text(const std::optional<X509Fields>& fields, std::wstring X509Fields::*member) {
    return fields ? ordered_json(ToUtf8((*fields).*member)) : ordered_json(nullptr);
}

ordered_json MatrixJson(const std::vector<MatrixRow>& matrix) {
    ordered_json rows = ordered_json::array();
    for (const MatrixRow& row : matrix) {
        rows.push_back(
            {{"store", ToUtf8(row.store)},
             {"subject", Text(row.fields, &X509Fields::subjectCommonName)},
             {"issuer", Text(row.fields, &X509Fields::issuerCommonName)},
             {"thumbprint", row.thumbprint},
             {"notAfter", row.fields ? ordered_json(row.fields->notAfter) : ordered_json(nullptr)},
             {"expired", row.expired},
             {"known", row.known ? ordered_json(row.known->key) : ordered_json(nullptr)},
             {"knownBy", !row.known              ? ordered_json(nullptr)
                         : row.knownByThumbprint ? ordered_json("thumbprint")
                                                 : ordered_json("subject")}});
    }
    return rows;
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
    report["certificateMatrix"] = MatrixJson(facts.matrix);
}

}  // namespace certvane::cli
