#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "inspect/BootChain.h"
#include "inspect/CertGeneration.h"

namespace certvane {

// Which generations `db` holds, by the generation name patterns; these flags only choose the
// status words of the report's boot chain section, the verdict reads `dbx` as well.
struct DbGenerations {
    bool has2011 = false;
    bool has2023 = false;
};
DbGenerations GenerationsIn(const NameList& dbNames);

// Whether the firmware starts a file signed by the authority `signer`: only when that very
// authority is in `db` and not revoked in `dbx`. A generation being present is not enough:
// the third-party UEFI CA 2011 does not sign Windows, and a revoked PCA 2011 boots nothing.
std::wstring_view BootVerdict(std::wstring_view signer, const NameList& dbNames,
                              const NameList& dbxNames);

// Whether the firmware starts one boot file, with the same verdict as the report's boot chain
// section, and whether dbx revokes the file itself by its Authenticode hash.
struct BootJudgement {
    std::wstring_view verdict;      // BootVerdict, and "否" for a file revoked by its hash
    bool authorityTrusted = false;  // the signing authority is in db and not in dbx
    bool hashRevoked = false;       // the file's Authenticode SHA-256 is in dbx
    bool WouldBoot() const { return authorityTrusted && !hashRevoked; }
};

BootJudgement JudgeBootFile(std::wstring_view signer, const std::optional<Sha256Digest>& hash,
                            const NameList& dbNames, const NameList& dbxNames,
                            std::span<const Sha256Digest> dbxHashes);

// The same judgement against db and dbx images as read; their certificate names come from the
// system's decoder, as everywhere else.
BootJudgement JudgeBootFileAgainst(CertificateApi& decoder, const BootFile& file,
                                   std::span<const std::uint8_t> db,
                                   std::span<const std::uint8_t> dbx);

// True for the authority that signs the 2023 Windows boot manager.
bool IsWindowsCa2023Signer(std::wstring_view signer);

// One boot file with its judgement; `role` is "current", or "offline" inside Windows PE.
struct JudgedBootFile {
    std::string_view role;
    const BootFile* file;
    CertGeneration generation;
    BootJudgement judgement;
};

}  // namespace certvane
