#include "assess/BootJudgement.h"

#include <algorithm>

#include "assess/DbxCurrency.h"

namespace certvane {

DbGenerations GenerationsIn(const NameList& dbNames) {
    DbGenerations flags;
    for (const std::wstring& name : dbNames) {
        flags.has2011 = flags.has2011 || HasGen2011Pattern(name);
        flags.has2023 = flags.has2023 || HasGen2023Pattern(name);
    }
    return flags;
}

std::wstring_view BootVerdict(std::wstring_view signer, const NameList& dbNames,
                              const NameList& dbxNames) {
    if (signer.empty()) return L"无法检测（文件不存在或无签名）";
    if (ClassifyCertName(signer) == Unclassified) return L"未知签名（无法判断）";
    return FirmwareTrustsAuthority(signer, dbNames, dbxNames) ? L"是" : L"否（固件不信任此签名）";
}

BootJudgement JudgeBootFile(std::wstring_view signer, const std::optional<Sha256Digest>& hash,
                            const NameList& dbNames, const NameList& dbxNames,
                            std::span<const Sha256Digest> dbxHashes) {
    const bool hashRevoked = hash && std::ranges::find(dbxHashes, *hash) != dbxHashes.end();
    std::wstring_view verdict = BootVerdict(signer, dbNames, dbxNames);
    // A file dbx revokes by its own hash is refused whoever signed it: the verdict says what
    // the firmware does.
    if (hashRevoked && verdict == L"是") verdict = L"否（固件不信任此签名）";
    return {verdict, FirmwareTrustsAuthority(signer, dbNames, dbxNames), hashRevoked};
}

BootJudgement JudgeBootFileAgainst(CertificateApi& decoder, const BootFile& file,
                                   std::span<const std::uint8_t> db,
                                   std::span<const std::uint8_t> dbx) {
    return JudgeBootFile(file.signer, file.authenticodeSha256, SignatureListNames(decoder, db),
                         SignatureListNames(decoder, dbx), DbxHashes(dbx));
}

bool IsWindowsCa2023Signer(std::wstring_view signer) {
    return signer.find(L"Windows UEFI CA 2023") != std::wstring_view::npos;
}

}  // namespace certvane
