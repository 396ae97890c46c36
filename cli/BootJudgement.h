#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "inspect/BootChain.h"

namespace certvane::cli {

// Whether the firmware starts one boot file, with the same verdict as the report's boot chain
// section, and whether dbx revokes the file itself by its Authenticode hash.
struct BootJudgement {
    std::wstring_view verdict;      // BootVerdict
    bool authorityTrusted = false;  // the signing authority is in db and not in dbx
    bool hashRevoked = false;       // the file's Authenticode SHA-256 is in dbx
    bool WouldBoot() const { return authorityTrusted && !hashRevoked; }
};

BootJudgement JudgeBootFile(std::wstring_view signer, const std::optional<Sha256Digest>& hash,
                            const NameList& dbNames, const NameList& dbxNames,
                            std::span<const Sha256Digest> dbxHashes);

}  // namespace certvane::cli
