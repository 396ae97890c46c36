#include "assess/BootFileAuditJudgement.h"

#include <algorithm>

#include "inspect/PathText.h"

namespace certvane {
namespace {

// Windows boot applications by the original file name they state, and the entry of
// Microsoft's SVN list that covers each.
struct BootApplication {
    std::wstring_view originalFileName;
    std::string_view svnApplication;
};
constexpr BootApplication kBootApplications[] = {
    {L"bootmgfw.efi", "bootmgfw.efi"}, {L"bootmgr.efi", "bootmgfw.efi"},
    {L"cdboot.efi", "cdboot.efi"},     {L"cdboot_noprompt.efi", "cdboot.efi"},
    {L"wdsmgfw.efi", "wdsmgfw.efi"},
};

std::string_view SvnApplicationOf(const BootFile& file) {
    const std::wstring name = AsciiLower(file.originalFileName);
    for (const BootApplication& application : kBootApplications) {
        if (name == application.originalFileName) return application.svnApplication;
    }
    return {};
}

}  // namespace

std::vector<AuditRow> JudgeAudit(SignatureApi& crypto, std::span<const BootFile> files,
                                 std::span<const std::uint8_t> db,
                                 std::span<const std::uint8_t> dbx, const DbxList& list) {
    const SignatureStore dbStore = SignatureStoreOf(db);
    const SignatureStore dbxStore = SignatureStoreOf(dbx);
    const DbxCurrency currency = AssessDbxCurrency(dbx, {}, list);
    std::vector<AuditRow> rows;
    for (const BootFile& file : files) {
        AuditRow row{&file, JudgeBootFile(crypto, file, dbStore, dbxStore), Unclassified, {}, {},
                     {}};
        row.generation = ClassifyCertName(row.judgement.authority);
        row.svnApplication = SvnApplicationOf(file);
        for (const SvnState& svn : currency.svns) {
            if (!row.svnApplication.empty() && svn.latest->fileName == row.svnApplication)
                row.dbxSvn = svn.held;
        }
        if (db.empty() || !file.readable) {
            row.wouldBoot = std::nullopt;  // nothing can be said of it
        } else if (!row.judgement.WouldBoot()) {
            row.wouldBoot = false;
        } else if (row.dbxSvn) {
            // The file's own security version is not read: below dbx's floor it refuses to run,
            // so it is not proven to start.
            row.wouldBoot = std::nullopt;
        } else {
            row.wouldBoot = true;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<const AuditRow*> RowsThatWouldNotBoot(const std::vector<AuditRow>& rows) {
    std::vector<const AuditRow*> refused;
    for (const AuditRow& row : rows) {
        if (row.wouldBoot == false) refused.push_back(&row);
    }
    return refused;
}

}  // namespace certvane
