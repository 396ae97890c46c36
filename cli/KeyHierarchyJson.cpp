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
            {"size", fact.image.size()},
            {"updatesApplied", fact.updatesApplied}};
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

ordered_json KekReadinessJson(const KekReadiness& kek, const PlatformKeyAssessment& pk) {
    ordered_json warnings = ordered_json::array();
    if (!kek.defaultsReadable) {
        warnings.push_back(
            "the default stores cannot be read: whether a firmware reset keeps the 2023 "
            "certificates is unknown");
    }
    if (kek.resetUndoesUpdate) {
        warnings.push_back(
            "the default stores lack 2023 certificates: a firmware \"reset to defaults\" "
            "removes what Windows servicing added");
    }
    if (!kek.kekHas2023 && pk.present && !pk.kekUpdate) {
        warnings.push_back("no Microsoft KEK update for this PK (the KEK step will stall)");
    }
    if (pk.testKey) {
        warnings.push_back(
            "PK is an untrusted test platform key: anyone can sign changes to "
            "KEK, db and dbx");
    }
    ordered_json missing = ordered_json::array();
    for (std::string_view key : kek.dbDefaultMissing2023) missing.push_back(key);
    return {{"kekHasMicrosoftKek2011", kek.kekHas2011},
            {"kekHasMicrosoftKek2023", kek.kekHas2023},
            {"defaultsReadable", kek.defaultsReadable},
            {"kekDefaultHasMicrosoftKek2023", kek.kekDefaultHas2023},
            {"dbDefaultMissing2023", missing},
            {"resetUndoesUpdate", kek.resetUndoesUpdate},
            {"warnings", warnings}};
}

ordered_json DateJson(const ListOrigin& origin) {
    return origin.date.empty() ? ordered_json(nullptr) : ordered_json(origin.date);
}

ordered_json PlatformKeyJson(const PlatformKeyAssessment& pk, bool kekHas2023,
                             const KekUpdateMap& map) {
    const auto text = [&](const auto& value) {
        return pk.present ? ordered_json(value) : ordered_json(nullptr);
    };
    return {
        {"present", pk.present},
        {"thumbprint", text(pk.thumbprint)},
        {"subject", text(ToUtf8(pk.subject))},
        {"issuer", text(ToUtf8(pk.issuer))},
        {"testKey", pk.testKey},
        {"kekUpdateAvailable", pk.kekUpdate != nullptr},
        {"kekUpdateFile",
         pk.kekUpdate ? ordered_json(pk.kekUpdate->updateFile) : ordered_json(nullptr)},
        {"kekUpdateNeeded", !kekHas2023},
        {"kekUpdate", !pk.present    ? ordered_json(nullptr)
                      : pk.kekUpdate ? ordered_json("KEK update available from Windows servicing")
                                     : ordered_json("no Microsoft KEK update for this PK (the "
                                                    "KEK step will stall)")},
        {"listDate", DateJson(map.origin)}};
}

std::string VersionText(std::uint16_t major, std::uint16_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

ordered_json DbxCurrencyJson(const DbxCurrency& dbx, const VariableFact& variable,
                             const DbxList& list) {
    ordered_json svns = ordered_json::array();
    for (const SvnState& svn : dbx.svns) {
        svns.push_back(
            {{"application", svn.latest->fileName},
             {"latest", VersionText(svn.latest->major, svn.latest->minor)},
             {"held", svn.held ? ordered_json(VersionText(svn.held->major, svn.held->minor))
                               : ordered_json(nullptr)},
             {"current", svn.Current()}});
    }
    return {{"listDate", DateJson(list.origin)},
            {"dbxState", StateKey(variable.state)},
            {"x64HashesListed", dbx.hashesListed},
            {"x64HashesHeld", dbx.listedHashesHeld},
            {"certificatesListed", dbx.certificatesListed},
            {"certificatesHeld", dbx.listedCertificatesHeld},
            {"pca2011Revoked", dbx.pca2011Revoked},
            {"svns", svns},
            {"current", dbx.Current()}};
}

ordered_json ListJson(const ListOrigin& origin, std::size_t entries) {
    return {{"source", origin.BuiltIn() ? "builtIn" : "file"},
            {"date", DateJson(origin)},
            {"file", origin.file ? ordered_json(ToUtf8(*origin.file)) : ordered_json(nullptr)},
            {"entries", entries}};
}

}  // namespace

void AddKeyHierarchy(ordered_json& report, const MachineFacts& facts,
                     const MachineAssessment& assessment) {
    ordered_json variables = ordered_json::object();
    for (const VariableFact& store : facts.keys.stores) {
        variables[ToUtf8(store.name)] = VariableJson(store);
    }
    variables["SecureBoot"] = FlagJson(facts.keys.secureBoot);
    variables["SetupMode"] = FlagJson(facts.keys.setupMode);
    report["variables"] = variables;
    report["certificateMatrix"] = MatrixJson(assessment.matrix);
    report["kekReadiness"] = KekReadinessJson(assessment.kekReadiness, assessment.platformKey);
    report["platformKey"] = PlatformKeyJson(
        assessment.platformKey, assessment.kekReadiness.kekHas2023, assessment.lists->kekMap);
    report["dbxCurrency"] =
        DbxCurrencyJson(assessment.dbxCurrency, facts.keys.Store(L"dbx"), assessment.lists->dbx);
    const ReferenceLists& lists = *assessment.lists;
    report["referenceLists"] = {
        {"kekUpdateMap", ListJson(lists.kekMap.origin, lists.kekMap.entries.size())},
        {"dbxInfo",
         ListJson(lists.dbx.origin, lists.dbx.x64Hashes.size() + lists.dbx.certificates.size() +
                                        lists.dbx.svns.size())}};
    report["listsStale"] = assessment.ListsStale();
    report["listsAgeDays"] = assessment.builtInListAge ? ordered_json(*assessment.builtInListAge)
                                                       : ordered_json(nullptr);
}

}  // namespace certvane::cli
