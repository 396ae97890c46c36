// The scripted machine's signature checks.
#include <algorithm>

#include "inspect/DerReader.h"
#include "inspect/DerWriter.h"
#include "inspect/Sha.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

Bytes ScriptedSignatureOver(std::span<const std::uint8_t> publicKeyInfo,
                            std::span<const std::uint8_t> toBeSigned) {
    static constexpr std::string_view kScheme = "scripted signature";
    Sha256 hash;
    hash.Update({reinterpret_cast<const std::uint8_t*>(kScheme.data()), kScheme.size()});
    hash.Update(publicKeyInfo);
    hash.Update(toBeSigned);
    const Sha256Digest digest = hash.Final();
    return Bytes(digest.begin(), digest.end());
}

SignatureCheck ScriptedMachine::VerifySignedContent(std::span<const std::uint8_t> signedContent,
                                                    std::span<const std::uint8_t> publicKeyInfo) {
    if (signatureChecksUnavailable) return SignatureCheck::Unavailable;
    const auto outer = ReadDerElement(signedContent, 0, signedContent.size());
    if (!outer || outer->tag != DerSequence) return SignatureCheck::Invalid;
    const auto toBeSigned = ReadDerElement(signedContent, outer->begin, outer->end);
    const auto algorithm =
        toBeSigned ? NextDerElement(signedContent, *toBeSigned, outer->end) : std::nullopt;
    const auto bits =
        algorithm ? NextDerElement(signedContent, *algorithm, outer->end) : std::nullopt;
    if (!bits || bits->tag != 0x03 || bits->end - bits->begin < 1) return SignatureCheck::Invalid;
    const auto signedBytes = signedContent.subspan(outer->begin, toBeSigned->end - outer->begin);
    const Bytes expected = ScriptedSignatureOver(publicKeyInfo, signedBytes);
    const auto signature = signedContent.subspan(bits->begin + 1, bits->end - bits->begin - 1);
    return std::ranges::equal(signature, expected) ? SignatureCheck::Valid
                                                   : SignatureCheck::Invalid;
}

}  // namespace certvane::test
