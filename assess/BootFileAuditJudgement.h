#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "assess/BootJudgement.h"
#include "assess/DbxCurrency.h"
#include "inspect/BootFileAudit.h"

namespace certvane {

// One audited EFI file under db and dbx.
struct AuditRow {
    const BootFile* file;
    BootJudgement judgement;
    CertGeneration generation;
    // For a Windows boot application (known by its version resource's original file name,
    // whatever its path) that dbx's security version entries cover: the application's name
    // in Microsoft's list, and the version dbx holds for it.
    std::string_view svnApplication;
    std::optional<SecurityVersion> dbxSvn;
    // Whether the firmware starts it and it starts: nullopt when that is not proven (db
    // cannot be read, or a Windows boot application whose own version cannot be read stands
    // below a version floor in dbx, which it enforces on itself).
    std::optional<bool> wouldBoot;
};

// The rows point into `files` and `list`.
std::vector<AuditRow> JudgeAudit(SignatureApi& crypto, std::span<const BootFile> files,
                                 std::span<const std::uint8_t> db,
                                 std::span<const std::uint8_t> dbx, const DbxList& list);

// The rows that would not boot.
std::vector<const AuditRow*> RowsThatWouldNotBoot(const std::vector<AuditRow>& rows);

}  // namespace certvane
