#include "cli/JsonReport.h"

#include <nlohmann/json.hpp>

#include "cli/ExitCode.h"
#include "cli/KeyHierarchyJson.h"
#include "cli/ServicingJson.h"
#include "cli/Utf8.h"

namespace certvane::cli {
namespace {

using nlohmann::ordered_json;

std::string StateOf(std::wstring_view status) {
    if (status == StatusWord::Valid) return "valid";
    if (status == StatusWord::Revoked) return "revoked";
    if (status == StatusWord::Absent) return "absent";
    return "unknown";
}

// Each entry of a boot file's certificate table, as the firmware walks them.
ordered_json SignaturesJson(const FileVerification& verification) {
    ordered_json signatures = ordered_json::array();
    for (std::size_t i = 0; i < verification.signatures.size(); ++i) {
        const SignatureVerdict& signature = verification.signatures[i];
        const ordered_json revokedBy =
            signature.revokedBy == Revocation::Hash          ? ordered_json("hash")
            : signature.revokedBy == Revocation::Certificate ? ordered_json("certificate")
                                                             : ordered_json(nullptr);
        signatures.push_back(
            {{"index", i},
             {"authority", ToUtf8(signature.authority)},
             {"generation", GenerationKey(ClassifyCertName(signature.authority))},
             {"digestAlgorithm", signature.digestAlgorithm
                                     ? ordered_json(DigestAlgorithmName(*signature.digestAlgorithm))
                                     : ordered_json(nullptr)},
             {"verifies", signature.verifies},
             {"revokedBy", revokedBy}});
    }
    return signatures;
}

ordered_json Names(const NameList& names) {
    ordered_json list = ordered_json::array();
    for (const auto& name : names) list.push_back(ToUtf8(name));
    return list;
}

ordered_json Value(const RegistryValue& value) {
    if (const auto* number = std::get_if<std::uint32_t>(&value)) return *number;
    if (const auto* text = std::get_if<std::wstring>(&value)) return ToUtf8(*text);
    return nullptr;
}

ordered_json Optional(const std::optional<std::wstring>& text) {
    return text ? ordered_json(ToUtf8(*text)) : ordered_json(nullptr);
}

ordered_json Tristate(const std::optional<bool>& value) {
    return value ? ordered_json(*value) : ordered_json(nullptr);
}

ordered_json ReadinessJson(const MachineFacts& facts, const MachineAssessment& assessment,
                           int exitCode) {
    const FirmwareReadiness& firmware = assessment.firmware;
    ordered_json missing = ordered_json::array();
    for (const MissingCertificate& entry : firmware.missing) {
        missing.push_back({{"store", ToUtf8(entry.store)},
                           {"key", entry.certificate->key},
                           {"reason", MissingReasonKey(entry.reason)}});
    }
    const auto& boot = assessment.decidingBootManager;
    return {
        {"ca2023Ready", assessment.ca2023Ready},
        {"bootManagerTrusted", ReadinessOf(facts, assessment).bootManagerWouldBoot},
        {"exitCode", exitCode},
        {"firmwareReady", ReadinessStateKey(firmware.state)},
        {"missing", missing},
        {"kekReady", Tristate(firmware.kekReady)},
        {"trustsThirdPartyCa2011", Tristate(firmware.trustsThirdPartyCa2011)},
        {"wouldBoot", boot ? ordered_json(boot->judgement.WouldBoot()) : ordered_json(nullptr)}};
}

std::string_view ProtectorKey(std::int32_t type) {
    static constexpr std::string_view kKeys[] = {"unknown",          "tpm",         "externalKey",
                                                 "recoveryPassword", "tpmPin",      "tpmStartupKey",
                                                 "tpmPinStartupKey", "publicKey",   "passphrase",
                                                 "tpmCertificate",   "cngProtector"};
    return type >= 0 && type < 11 ? kKeys[type] : "unknown";
}

ordered_json BitLockerDetailJson(const std::optional<BitLockerDetail>& detail) {
    if (!detail) return nullptr;
    ordered_json protectors = nullptr;
    if (detail->protectorsKnown) {
        protectors = ordered_json::array();
        for (const std::int32_t type : detail->protectorTypes)
            protectors.push_back(ProtectorKey(type));
    }
    return {
        {"drive", ToUtf8(detail->drive)},
        {"encrypted", detail->encrypted},
        {"protectionOn", detail->protectionOn},
        {"protectors", protectors},
        {"hasRecoveryPassword", detail->protectorsKnown ? ordered_json(detail->hasRecoveryPassword)
                                                        : ordered_json(nullptr)},
        {"suspendCount",
         detail->suspendCount ? ordered_json(*detail->suspendCount) : ordered_json(nullptr)}};
}
}  // namespace

std::string GenerationKey(CertGeneration generation) {
    switch (generation) {
        case Gen2011:
            return "2011";
        case Gen2023:
            return "2023";
        default:
            return "unclassified";
    }
}

std::string CertificateKey(const KnownCertificate& row) {
    std::string key;
    for (wchar_t c : row.matchName) {
        if (c == L' ') {
            key.push_back('-');
        } else if (c >= L'A' && c <= L'Z') {
            key.push_back(static_cast<char>(c - L'A' + 'a'));
        } else {
            key.push_back(static_cast<char>(c));
        }
    }
    return key;
}

std::string JsonReport(const MachineFacts& facts, const MachineAssessment& assessment,
                       int exitCode) {
    ordered_json certificates = ordered_json::array();
    for (const CertificateFact& cert : assessment.certificates) {
        certificates.push_back({{"key", CertificateKey(*cert.row)},
                                {"name", ToUtf8(cert.row->displayName)},
                                {"description", ToUtf8(cert.row->description)},
                                {"status", ToUtf8(cert.status)},
                                {"state", StateOf(cert.status)}});
    }
    ordered_json bootFiles = ordered_json::array();
    for (const JudgedBootFile& judged : assessment.bootFiles) {
        const BootFile& file = *judged.file;
        bootFiles.push_back(
            {{"role", judged.role},
             {"label", ToUtf8(file.label)},
             {"path", ToUtf8(file.path)},
             {"signer", ToUtf8(judged.judgement.authority)},
             {"generation", GenerationKey(judged.generation)},
             {"verdict", ToUtf8(judged.judgement.verdict)},
             {"trusted", judged.judgement.authorityTrusted},
             {"authenticodeSha256", file.authenticodeSha256
                                        ? ordered_json(HexOf(*file.authenticodeSha256))
                                        : ordered_json(nullptr)},
             {"hashRevoked", judged.judgement.hashRevoked},
             {"wouldBoot", judged.judgement.WouldBoot()},
             {"signatures", SignaturesJson(judged.judgement.verification)},
             {"acceptedSignature", judged.judgement.verification.accepted
                                       ? ordered_json(*judged.judgement.verification.accepted)
                                       : ordered_json(nullptr)},
             {"acceptedByHash", judged.judgement.verification.hashTrusted}});
    }
    ordered_json values = ordered_json::object();
    for (const NamedRegistryValue& value : facts.servicing) values[value.name] = Value(value.value);
    ordered_json servicing = {{"values", values},
                              {"availableUpdates", Value(facts.availableUpdates)}};
    servicing.update(ServicingJson(facts.servicingState, assessment.stage));
    servicing["rollout"] = RolloutJson(assessment.deviceBucket);

    ordered_json report = {
        {"schemaVersion", JsonSchemaVersion},
        {"environment",
         {{"windowsPE", facts.winPE},
          {"windowsVersion", ToUtf8(facts.windowsVersion)},
          {"offlineWindowsDirectory", Optional(facts.offlineWindowsDirectory)},
          {"offlineWindowsVersion", Optional(facts.offlineWindowsVersion)}}},
        {"bootMode", ToUtf8(facts.bootMode)},
        {"uefiBoot", facts.uefiBoot},
        {"secureBootEnabled", facts.secureBootEnabled},
        {"bitLocker", ToUtf8(facts.bitLocker)},
        {"db", {{"readable", facts.DbReadable()}, {"names", Names(facts.dbNames)}}},
        {"dbx", {{"readable", facts.DbxReadable()}, {"names", Names(facts.dbxNames)}}},
        {"kek",
         {{"readable", facts.KekReadable()},
          {"names", Names(facts.kekNames)},
          {"hasMicrosoftKek2023", assessment.kekReadiness.kekHas2023}}},
        {"certificates", certificates},
        {"bootFiles", bootFiles},
        {"servicing", servicing},
        {"readiness", ReadinessJson(facts, assessment, exitCode)},
        {"bitLockerDetail", BitLockerDetailJson(facts.bitLockerDetail)},
        {"virtualMachine",
         assessment.virtualPlatform == VirtualPlatform::HyperV   ? ordered_json("hyper-v")
         : assessment.virtualPlatform == VirtualPlatform::VMware ? ordered_json("vmware")
                                                                 : ordered_json(nullptr)},
    };
    ordered_json espFiles = ordered_json::array();
    for (const AuditRow& row : assessment.systemEspFiles) {
        espFiles.push_back(
            {{"path", ToUtf8(row.file->path)},
             {"signer", ToUtf8(row.judgement.authority)},
             {"wouldBoot", row.wouldBoot ? ordered_json(*row.wouldBoot) : ordered_json(nullptr)}});
    }
    report["systemEspFiles"] = espFiles;
    AddKeyHierarchy(report, facts, assessment);
    return report.dump(2) + "\n";
}

}  // namespace certvane::cli
