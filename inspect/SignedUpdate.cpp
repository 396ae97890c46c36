#include "inspect/SignedUpdate.h"

#include <algorithm>

#include "inspect/CapturedVariable.h"
#include "inspect/DerReader.h"
#include "platform/ByteOrder.h"

namespace certvane {
namespace {

constexpr std::size_t kTimeSize = 16;
// dwLength, wRevision, wCertificateType, then the certificate type GUID.
constexpr std::size_t kWinCertificateHeader = 24;
constexpr std::uint16_t kRevision = 0x0200;
constexpr std::uint16_t kTypeEfiGuid = 0x0EF1;
constexpr Guid kPkcs7Guid{
    0x4AAFD29D, 0x68DF, 0x49EE, {0x8A, 0xA9, 0x34, 0x7D, 0x37, 0x56, 0x65, 0xA7}};
constexpr std::uint8_t kContextZero = 0xA0;

// The certificates of a PKCS#7 SignedData, bare or inside its ContentInfo.
std::vector<ByteBuffer> CertificatesOf(std::span<const std::uint8_t> der) {
    auto outer = ReadDerElement(der, 0, der.size());
    if (!outer || outer->tag != DerSequence) return {};
    auto first = ReadDerElement(der, outer->begin, outer->end);
    if (first && first->tag == DerObjectId) {
        const auto wrapped = NextDerElement(der, *first, outer->end);
        if (!wrapped || wrapped->tag != kContextZero) return {};
        outer = ReadDerElement(der, wrapped->begin, wrapped->end);
        if (!outer || outer->tag != DerSequence) return {};
        first = ReadDerElement(der, outer->begin, outer->end);
    }
    // version, digestAlgorithms, contentInfo, then [0] certificates when present.
    auto field = first;
    for (int skip = 0; skip < 3 && field; ++skip) field = NextDerElement(der, *field, outer->end);
    std::vector<ByteBuffer> certificates;
    if (!field || field->tag != kContextZero) return certificates;
    // A certificate is kept whole, header included: the bytes its thumbprint is taken over.
    std::size_t at = field->begin;
    while (const auto cert = ReadDerElement(der, at, field->end)) {
        if (cert->tag == DerSequence) {
            certificates.emplace_back(der.begin() + at, der.begin() + cert->end);
        }
        at = cert->end;
    }
    return certificates;
}

}  // namespace

std::optional<SignedUpdate> ReadSignedUpdate(std::span<const std::uint8_t> file) {
    if (file.size() < kTimeSize + kWinCertificateHeader) return std::nullopt;
    const auto certificate = file.subspan(kTimeSize);
    const std::uint32_t length = LittleEndian32(certificate.data());
    if (length < kWinCertificateHeader || length > certificate.size()) return std::nullopt;
    if (LittleEndian16(certificate.data() + 4) != kRevision ||
        LittleEndian16(certificate.data() + 6) != kTypeEfiGuid) {
        return std::nullopt;
    }
    const auto pkcs7Type = GuidToBytes(kPkcs7Guid);
    if (!std::equal(pkcs7Type.begin(), pkcs7Type.end(), certificate.begin() + 8)) {
        return std::nullopt;
    }
    const auto lists = certificate.subspan(length);
    if (!IsSignatureDatabaseImage(lists)) return std::nullopt;
    return SignedUpdate{
        ByteBuffer(lists.begin(), lists.end()),
        CertificatesOf(certificate.subspan(kWinCertificateHeader, length - kWinCertificateHeader))};
}

}  // namespace certvane
