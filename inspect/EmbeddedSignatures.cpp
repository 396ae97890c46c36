#include "inspect/EmbeddedSignatures.h"

#include <algorithm>
#include <array>

#include "inspect/DerReader.h"
#include "inspect/DerWriter.h"
#include "inspect/X509Fields.h"
#include "platform/ByteOrder.h"

namespace certvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using View = std::span<const std::uint8_t>;

constexpr std::uint16_t kPkcsSignedData = 0x0002;
constexpr std::uint16_t kEfiGuid = 0x0EF1;
constexpr std::size_t kEntryHeader = 8;
// EFI_CERT_TYPE_PKCS7_GUID 4aafd29d-68df-49ee-8aa9-347d375665a7, as stored.
constexpr std::array<std::uint8_t, 16> kPkcs7Guid{0x9D, 0xD2, 0xAF, 0x4A, 0xDF, 0x68, 0xEE, 0x49,
                                                  0x8A, 0xA9, 0x34, 0x7D, 0x37, 0x56, 0x65, 0xA7};

// Contents bytes of the object identifiers read.
constexpr std::array<std::uint8_t, 9> kSignedDataOid{0x2A, 0x86, 0x48, 0x86, 0xF7,
                                                     0x0D, 0x01, 0x07, 0x02};
constexpr std::array<std::uint8_t, 10> kIndirectDataOid{0x2B, 0x06, 0x01, 0x04, 0x01,
                                                        0x82, 0x37, 0x02, 0x01, 0x04};
constexpr std::array<std::uint8_t, 9> kMessageDigestOid{0x2A, 0x86, 0x48, 0x86, 0xF7,
                                                        0x0D, 0x01, 0x09, 0x04};
// 1.2.840.113549.1.1.x: 1 rsaEncryption, 5 sha1-, 11 sha256-, 12 sha384-, 13 sha512WithRSA.
constexpr std::array<std::uint8_t, 8> kRsaArc{0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x01};

constexpr std::uint8_t kContext0 = 0xA0;
constexpr std::uint8_t kContext1 = 0xA1;
constexpr std::uint8_t kBitString = 0x03;
constexpr std::uint8_t kNull = 0x05;

// Reads the elements of one constructed element in order; any failure sticks.
class Reader {
  public:
    Reader(View data, std::size_t begin, std::size_t end) : data_(data), at_(begin), end_(end) {}
    Reader(View data, const DerElement& parent) : Reader(data, parent.begin, parent.end) {}

    // The next element when it has `tag`; nothing is consumed otherwise.
    std::optional<DerElement> Take(std::uint8_t tag) {
        const auto element = Peek();
        if (!element || element->tag != tag) return std::nullopt;
        start_ = at_;
        at_ = element->end;
        return element;
    }
    std::optional<DerElement> Peek() const {
        if (at_ >= end_) return std::nullopt;
        return ReadDerElement(data_, at_, end_);
    }
    bool AtEnd() const { return at_ == end_; }
    // The whole of the element taken last, tag and length included.
    View LastWhole(const DerElement& element) const {
        return data_.subspan(start_, element.end - start_);
    }

  private:
    View data_;
    std::size_t at_;
    std::size_t end_;
    std::size_t start_ = 0;
};

View Contents(View data, const DerElement& element) {
    return data.subspan(element.begin, element.end - element.begin);
}

// The OID of an AlgorithmIdentifier, whose parameters (absent or NULL here) are not read.
std::optional<View> AlgorithmOid(View data, const DerElement& identifier) {
    Reader reader(data, identifier);
    const auto oid = reader.Take(DerObjectId);
    if (!oid) return std::nullopt;
    return Contents(data, *oid);
}

std::optional<DigestAlgorithm> DigestAlgorithmOf(View data, const std::optional<DerElement>& id) {
    if (!id) return std::nullopt;
    const auto oid = AlgorithmOid(data, *id);
    return oid ? DigestAlgorithmOfOid(*oid) : std::nullopt;
}

// The RSA signature algorithm with `digest`, as the DER of its AlgorithmIdentifier; nullopt
// when the signer's algorithm is no RSA one or names another digest.
std::optional<Bytes> RsaAlgorithm(View signerOid, DigestAlgorithm digest) {
    if (signerOid.size() != kRsaArc.size() + 1 || !std::ranges::equal(signerOid.first(8), kRsaArc))
        return std::nullopt;
    static constexpr std::array<std::uint8_t, 4> arcs{5, 11, 12, 13};
    const std::uint8_t wanted = arcs[static_cast<std::size_t>(digest)];
    const std::uint8_t given = signerOid.back();
    if (given != 1 && given != wanted) return std::nullopt;
    Bytes oid(kRsaArc.begin(), kRsaArc.end());
    oid.push_back(wanted);
    const std::array<std::uint8_t, 0> none{};
    return DerEncode(DerSequence, DerConcat({DerEncode(DerObjectId, oid), DerEncode(kNull, none)}));
}

// The value of the only messageDigest attribute; nullopt when there is none or more than one.
std::optional<View> MessageDigest(View data, const DerElement& attributes) {
    std::optional<View> found;
    Reader reader(data, attributes);
    while (const auto attribute = reader.Take(DerSequence)) {
        Reader fields(data, *attribute);
        const auto oid = fields.Take(DerObjectId);
        const auto values = fields.Take(DerSet);
        if (!oid || !values) return std::nullopt;
        if (!std::ranges::equal(Contents(data, *oid), kMessageDigestOid)) continue;
        Reader value(data, *values);
        const auto digest = value.Take(DerOctetString);
        if (found || !digest || !value.AtEnd()) return std::nullopt;
        found = Contents(data, *digest);
    }
    return reader.AtEnd() ? found : std::nullopt;
}

struct SignedContent {
    std::optional<DigestAlgorithm> algorithm;
    View fileDigest;
    View indirectData;  // the contents octets of SpcIndirectDataContent, what messageDigest covers
};

std::optional<SignedContent> ReadSignedContent(View data, const DerElement& contentInfo) {
    Reader reader(data, contentInfo);
    const auto type = reader.Take(DerObjectId);
    const auto explicitContent = reader.Take(kContext0);
    if (!type || !explicitContent || !std::ranges::equal(Contents(data, *type), kIndirectDataOid))
        return std::nullopt;
    const auto indirect = Reader(data, *explicitContent).Take(DerSequence);
    if (!indirect) return std::nullopt;
    Reader fields(data, *indirect);
    const auto attribute = fields.Take(DerSequence);
    const auto digestInfo = fields.Take(DerSequence);
    if (!attribute || !digestInfo) return std::nullopt;
    Reader info(data, *digestInfo);
    const auto algorithm = info.Take(DerSequence);
    const auto digest = info.Take(DerOctetString);
    if (!algorithm || !digest) return std::nullopt;
    return SignedContent{DigestAlgorithmOf(data, algorithm), Contents(data, *digest),
                         Contents(data, *indirect)};
}

std::optional<std::size_t> FindSigner(const std::vector<Bytes>& certificates, View issuer,
                                      View serial) {
    for (std::size_t i = 0; i < certificates.size(); ++i) {
        const auto parts = ReadX509Parts(certificates[i]);
        if (parts && std::ranges::equal(parts->issuer, issuer) &&
            std::ranges::equal(parts->serialNumber, serial)) {
            return i;
        }
    }
    return std::nullopt;
}

void ReadSignerInfo(View data, const DerElement& signerInfo, const SignedContent& content,
                    EmbeddedSignature& signature) {
    Reader reader(data, signerInfo);
    const auto version = reader.Take(DerInteger);
    const auto id = reader.Take(DerSequence);
    if (!version || !id) return;
    Reader idFields(data, *id);
    const auto issuer = idFields.Take(DerSequence);
    const View issuerWhole = issuer ? idFields.LastWhole(*issuer) : View{};
    const auto serial = idFields.Take(DerInteger);
    if (!issuer || !serial) return;
    const auto found = FindSigner(signature.certificates, issuerWhole, Contents(data, *serial));
    if (!found) return;
    signature.signer = *found;
    signature.readable = true;
    if (const auto fields = ReadX509Fields(signature.certificates[*found]))
        signature.authority = fields->issuerCommonName;

    const auto digestAlgorithm = DigestAlgorithmOf(data, reader.Take(DerSequence));
    const auto attributes = reader.Take(kContext0);
    const auto signatureAlgorithm = reader.Take(DerSequence);
    const auto value = reader.Take(DerOctetString);
    if (!digestAlgorithm || !attributes || !signatureAlgorithm || !value) return;
    const auto messageDigest = MessageDigest(data, *attributes);
    signature.messageDigestMatches =
        messageDigest &&
        std::ranges::equal(*messageDigest, DigestOf(*digestAlgorithm, content.indirectData));
    const auto signerOid = AlgorithmOid(data, *signatureAlgorithm);
    const auto algorithm = signerOid ? RsaAlgorithm(*signerOid, *digestAlgorithm) : std::nullopt;
    if (!algorithm) return;
    // The signature covers the attributes' DER with the SET tag in place of the implicit [0].
    const Bytes set = DerEncode(DerSet, Contents(data, *attributes));
    Bytes bits{0};
    const View signatureBytes = Contents(data, *value);
    bits.insert(bits.end(), signatureBytes.begin(), signatureBytes.end());
    signature.signedAttributes =
        DerEncode(DerSequence, DerConcat({set, *algorithm, DerEncode(kBitString, bits)}));
}

EmbeddedSignature ReadSignature(View data, View image, const PeLayout& layout) {
    EmbeddedSignature signature;
    const auto outer = ReadDerElement(data, 0, data.size());
    if (!outer || outer->tag != DerSequence) return signature;
    Reader contentInfo(data, *outer);
    const auto type = contentInfo.Take(DerObjectId);
    const auto explicitSigned = contentInfo.Take(kContext0);
    if (!type || !explicitSigned || !std::ranges::equal(Contents(data, *type), kSignedDataOid))
        return signature;
    const auto signedData = Reader(data, *explicitSigned).Take(DerSequence);
    if (!signedData) return signature;
    Reader fields(data, *signedData);
    const auto version = fields.Take(DerInteger);
    const auto algorithms = fields.Take(DerSet);
    const auto content = fields.Take(DerSequence);
    if (!version || !algorithms || !content) return signature;
    const auto certificates = fields.Take(kContext0);
    fields.Take(kContext1);  // revocation lists, not read
    const auto signerInfos = fields.Take(DerSet);
    const auto signed_ = ReadSignedContent(data, *content);
    if (!signed_ || !signerInfos) return signature;

    if (certificates) {
        Reader list(data, *certificates);
        while (const auto certificate = list.Take(DerSequence)) {
            const View whole = list.LastWhole(*certificate);
            signature.certificates.emplace_back(whole.begin(), whole.end());
        }
    }
    signature.digestAlgorithm = signed_->algorithm;
    if (signed_->algorithm) {
        signature.fileDigestMatches = std::ranges::equal(
            signed_->fileDigest, AuthenticodeDigest(image, layout, *signed_->algorithm));
    }
    // Authenticode has exactly one signer.
    Reader signers(data, *signerInfos);
    const auto signerInfo = signers.Take(DerSequence);
    if (signerInfo && signers.AtEnd()) ReadSignerInfo(data, *signerInfo, *signed_, signature);
    if (!signature.readable && !signature.certificates.empty()) {
        if (const auto first = ReadX509Fields(signature.certificates.front()))
            signature.authority = first->subjectCommonName;
    }
    return signature;
}

}  // namespace

CertificateTable ReadCertificateTable(std::span<const std::uint8_t> image, const PeLayout& layout) {
    CertificateTable table;
    const std::uint64_t end = layout.certificateTable.end;
    std::uint64_t at = layout.certificateTable.begin;
    while (at < end) {
        if (end - at < kEntryHeader) break;
        const std::uint64_t length = LittleEndian32(image.data() + at);
        const std::uint16_t type = LittleEndian16(image.data() + at + 6);
        if (length < kEntryHeader || length > end - at) break;
        View body = image.subspan(at + kEntryHeader, length - kEntryHeader);
        const bool efiPkcs7 = type == kEfiGuid && body.size() >= kPkcs7Guid.size() &&
                              std::ranges::equal(body.first(kPkcs7Guid.size()), kPkcs7Guid);
        if (efiPkcs7) body = body.subspan(kPkcs7Guid.size());
        if (type == kPkcsSignedData || efiPkcs7)
            table.signatures.push_back(ReadSignature(body, image, layout));
        at += (length + 7) & ~std::uint64_t{7};
    }
    table.intact = at == end;
    return table;
}

}  // namespace certvane
