#include "assess/BootJudgement.h"

#include <algorithm>

namespace certvane {

DbGenerations GenerationsIn(const NameList& dbNames) {
    DbGenerations flags;
    for (const std::wstring& name : dbNames) {
        flags.has2011 = flags.has2011 || HasGen2011Pattern(name);
        flags.has2023 = flags.has2023 || HasGen2023Pattern(name);
    }
    return flags;
}

BootJudgement JudgeBootFile(SignatureApi& crypto, const BootFile& file, const SignatureStore& db,
                            const SignatureStore& dbx) {
    BootJudgement judgement;
    judgement.verification =
        VerifyFileSignatures(crypto, file.certificateTable, file.authenticodeSha256, db, dbx);
    const FileVerification& verification = judgement.verification;
    judgement.hashRevoked = verification.hashRevoked;
    judgement.authorityTrusted =
        std::ranges::any_of(verification.signatures, [](const SignatureVerdict& signature) {
            return signature.verifies && signature.revokedBy != Revocation::Certificate;
        });
    if (verification.signatures.empty()) {
        judgement.verdict = verification.hashTrusted ? L"是" : L"无法检测（文件不存在或无签名）";
        return judgement;
    }
    judgement.authority = verification.signatures[verification.accepted.value_or(0)].authority;
    const bool revoked =
        verification.hashRevoked ||
        std::ranges::any_of(verification.signatures, [](const SignatureVerdict& signature) {
            return signature.revokedBy != Revocation::None;
        });
    if (verification.Accepted()) {
        judgement.verdict = L"是";
    } else if (verification.checkUnavailable ||
               (!revoked && !judgement.authorityTrusted &&
                ClassifyCertName(judgement.authority) == Unclassified)) {
        judgement.verdict = L"未知签名（无法判断）";
    } else {
        judgement.verdict = L"否（固件不信任此签名）";
    }
    return judgement;
}

BootJudgement JudgeBootFileAgainst(SignatureApi& crypto, const BootFile& file,
                                   std::span<const std::uint8_t> db,
                                   std::span<const std::uint8_t> dbx) {
    return JudgeBootFile(crypto, file, SignatureStoreOf(db), SignatureStoreOf(dbx));
}

JudgedBootFile JudgeBootFileAs(SignatureApi& crypto, std::string_view role, const BootFile& file,
                               const SignatureStore& db, const SignatureStore& dbx) {
    BootJudgement judgement = JudgeBootFile(crypto, file, db, dbx);
    const CertGeneration generation = ClassifyCertName(judgement.authority);
    return {role, &file, generation, std::move(judgement)};
}

bool IsWindowsCa2023Signer(std::wstring_view signer) {
    return signer.find(L"Windows UEFI CA 2023") != std::wstring_view::npos;
}

}  // namespace certvane
