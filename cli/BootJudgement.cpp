#include "cli/BootJudgement.h"

#include <algorithm>

namespace certvane::cli {

BootJudgement JudgeBootFile(std::wstring_view signer, const std::optional<Sha256Digest>& hash,
                            const NameList& dbNames, const NameList& dbxNames,
                            std::span<const Sha256Digest> dbxHashes) {
    return {BootVerdict(signer, dbNames, dbxNames),
            FirmwareTrustsAuthority(signer, dbNames, dbxNames),
            hash && std::ranges::find(dbxHashes, *hash) != dbxHashes.end()};
}

}  // namespace certvane::cli
