#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "assess/SignatureVerification.h"
#include "inspect/BootChain.h"
#include "inspect/CertGeneration.h"

namespace certvane {

// Which generations `db` holds, by the generation name patterns; these flags only choose the
// status words of the report's boot chain section, the verdict is the signatures'.
struct DbGenerations {
    bool has2011 = false;
    bool has2023 = false;
};
DbGenerations GenerationsIn(const NameList& dbNames);

// Whether the firmware starts one boot file, judged by its signatures against db and dbx.
struct BootJudgement {
    // "是", "否（固件不信任此签名）", "未知签名（无法判断）" (an authority of neither
    // generation that db does not trust, or no signature check possible), or
    // "无法检测（文件不存在或无签名）".
    std::wstring_view verdict;
    // The accepted signature's authority, else the first signature's: the file's generation.
    std::wstring authority;
    FileVerification verification;
    // Some signature chains to db and no dbx certificate revokes it.
    bool authorityTrusted = false;
    bool hashRevoked = false;  // the file's Authenticode SHA-256 is in dbx
    bool WouldBoot() const { return verification.Accepted(); }
};

BootJudgement JudgeBootFile(SignatureApi& crypto, const BootFile& file, const SignatureStore& db,
                            const SignatureStore& dbx);

// The same judgement against db and dbx images as read.
BootJudgement JudgeBootFileAgainst(SignatureApi& crypto, const BootFile& file,
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

JudgedBootFile JudgeBootFileAs(SignatureApi& crypto, std::string_view role, const BootFile& file,
                               const SignatureStore& db, const SignatureStore& dbx);

}  // namespace certvane
