#include "cli/AuditReport.h"

#include <nlohmann/json.hpp>

#include "assess/BootFileAuditJudgement.h"
#include "cli/ExitCode.h"
#include "cli/JsonReport.h"
#include "cli/KeyHierarchyJson.h"
#include "cli/Utf8.h"
#include "inspect/SignatureDatabase.h"

namespace certvane::cli {
namespace {

using nlohmann::ordered_json;

std::string RevokedKey(const AuditRow& row) {
    if (row.judgement.hashRevoked) return "hash";
    const auto& signatures = row.judgement.verification.signatures;
    const bool byCertificate = std::ranges::any_of(signatures, [](const SignatureVerdict& s) {
        return s.revokedBy == Revocation::Certificate;
    });
    return byCertificate ? "certificate" : "no";
}

std::string SvnText(const AuditRow& row) {
    if (row.svnApplication.empty()) return "-";
    return "unknown";
}

std::string BootsText(const AuditRow& row) {
    return !row.wouldBoot ? "unproven" : *row.wouldBoot ? "yes" : "no";
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text + ' ';
}

std::string Table(const std::vector<AuditRow>& rows, const BootFileAudit& audit) {
    std::string out = "EFI files judged: " + std::to_string(rows.size()) + "\r\n" +
                      Padded("Boots", 8) + Padded("Revoked", 11) + Padded("SVN", 8) +
                      Padded("Gen", 12) + Padded("Authority", 38) +
                      Padded("Authenticode SHA-256", 64) + "Path\r\n";
    for (const AuditRow& row : rows) {
        const BootFile& file = *row.file;
        const std::string authority =
            file.signer.empty() ? "(no signature)" : ToUtf8(row.judgement.authority);
        out +=
            Padded(BootsText(row), 8) + Padded(RevokedKey(row), 11) + Padded(SvnText(row), 8) +
            Padded(file.signer.empty() ? "-" : GenerationKey(row.generation), 12) +
            Padded(authority, 38) +
            Padded(file.authenticodeSha256 ? HexOf(*file.authenticodeSha256) : "(not a PE image)",
                   64) +
            ToUtf8(file.path) + "\r\n";
    }
    for (const std::wstring& limit : audit.limits) out += "Limit: " + ToUtf8(limit) + "\r\n";
    return out;
}

ordered_json Json(const std::vector<AuditRow>& rows, const BootFileAudit& audit) {
    ordered_json list = ordered_json::array();
    for (const AuditRow& row : rows) {
        const BootFile& file = *row.file;
        list.push_back(
            {{"path", ToUtf8(file.path)},
             {"signer", file.signer.empty() ? ordered_json(nullptr)
                                            : ordered_json(ToUtf8(row.judgement.authority))},
             {"generation", file.signer.empty() ? ordered_json(nullptr)
                                                : ordered_json(GenerationKey(row.generation))},
             {"authenticodeSha256", file.authenticodeSha256
                                        ? ordered_json(HexOf(*file.authenticodeSha256))
                                        : ordered_json(nullptr)},
             {"revoked", RevokedKey(row)},
             {"originalFileName", file.originalFileName.empty()
                                      ? ordered_json(nullptr)
                                      : ordered_json(ToUtf8(file.originalFileName))},
             {"svnApplication", row.svnApplication.empty()
                                    ? ordered_json(nullptr)
                                    : ordered_json(std::string(row.svnApplication))},
             {"svn", row.svnApplication.empty() ? ordered_json(nullptr) : ordered_json("unknown")},
             {"dbxSvn", row.dbxSvn ? ordered_json(std::to_string(row.dbxSvn->major) + "." +
                                                  std::to_string(row.dbxSvn->minor))
                                   : ordered_json(nullptr)},
             {"wouldBoot", row.wouldBoot ? ordered_json(*row.wouldBoot) : ordered_json(nullptr)}});
    }
    ordered_json limits = ordered_json::array();
    for (const std::wstring& limit : audit.limits) limits.push_back(ToUtf8(limit));
    return {{"schemaVersion", JsonSchemaVersion},
            {"audit", list},
            {"auditLimits", limits},
            {"auditFilesSeen", audit.filesSeen}};
}

ExitCode AuditExitCode(const std::vector<AuditRow>& rows, const BootFileAudit& audit) {
    if (!RowsThatWouldNotBoot(rows).empty()) return ExitWouldNotBoot;
    const bool unproven =
        std::ranges::any_of(rows, [](const AuditRow& row) { return !row.wouldBoot; });
    if (rows.empty() || unproven || !audit.limits.empty()) return ExitUndetermined;
    return ExitReady;
}

}  // namespace

CliResult RunAudit(Platform& platform, const CliOptions& options, const ReferenceLists& lists) {
    BootFileAudit audit;
    std::vector<std::wstring> roots = options.auditPaths;
    if (roots.empty()) {
        roots = FixedDiskEspRoots(platform);
        if (roots.empty()) audit.limits.push_back(L"no EFI System Partition on a fixed disk");
    }
    const AuditBounds bounds;
    for (const std::wstring& root : roots) AuditRoot(platform, root, bounds, audit);

    const ByteBuffer db = ReadFirmwareVariable(platform, L"db", ImageSecurityDatabaseGuid);
    const ByteBuffer dbx = ReadFirmwareVariable(platform, L"dbx", ImageSecurityDatabaseGuid);
    if (db.empty()) audit.limits.push_back(L"db cannot be read: no file can be judged");
    const std::vector<AuditRow> rows = JudgeAudit(platform, audit.files, db, dbx, lists.dbx);
    const ExitCode code = AuditExitCode(rows, audit);
    return {code, options.json ? Json(rows, audit).dump(2) + "\n" : Table(rows, audit), {}};
}

}  // namespace certvane::cli
