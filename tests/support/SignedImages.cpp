#include "tests/support/SignedImages.h"

#include <array>

#include "inspect/Authenticode.h"
#include "inspect/DerReader.h"
#include "inspect/DerWriter.h"
#include "inspect/X509Fields.h"
#include "tests/support/RealData.h"
#include "tests/support/ScriptedMachine.h"
#include "tests/support/Situations.h"

namespace certvane::test {
namespace {

using View = std::span<const std::uint8_t>;

Bytes Encode(std::uint8_t tag, View contents) {
    return DerEncode(tag, contents);
}
Bytes Encode(std::uint8_t tag, std::initializer_list<View> parts) {
    return DerEncode(tag, DerConcat(parts));
}
Bytes Ascii(std::string_view text) {
    return Bytes(text.begin(), text.end());
}
Bytes Narrow(std::wstring_view text) {
    return Bytes(text.begin(), text.end());
}

const Bytes kNull{0x05, 0x00};
const Bytes kRsaEncryption{0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x01, 0x01};
const Bytes kSha256WithRsa{0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x01, 0x0B};
const Bytes kSignedData{0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};
const Bytes kIndirectData{0x06, 0x0A, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x02, 0x01, 0x04};
const Bytes kPeImageData{0x06, 0x0A, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x02, 0x01, 0x0F};
const Bytes kContentType{0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x09, 0x03};
const Bytes kMessageDigest{0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x09, 0x04};

Bytes Algorithm(View oid) {
    return Encode(DerSequence, {oid, kNull});
}

Bytes NameOf(std::wstring_view commonName) {
    const Bytes organisation = Encode(
        DerSequence, {Bytes{0x06, 0x03, 0x55, 0x04, 0x0A}, Encode(0x0C, Ascii("Certvane Test"))});
    const Bytes cn = Encode(
        DerSequence, {Bytes{0x06, 0x03, 0x55, 0x04, 0x03}, Encode(0x0C, Narrow(commonName))});
    return Encode(DerSequence, {Encode(DerSet, organisation), Encode(DerSet, cn)});
}

Bytes KeyFrom(std::string_view seed) {
    const Sha256Digest material = Sha256Of(Ascii(seed));
    Bytes bits{0};
    bits.insert(bits.end(), material.begin(), material.end());
    return Encode(DerSequence, {Algorithm(kRsaEncryption), Encode(0x03, bits)});
}

// What a signature of `toBeSigned` by `key` looks like wrapped as a signed certificate is.
Bytes SignedForm(View toBeSigned, View algorithm, View key) {
    Bytes bits{0};
    const Bytes signature = ScriptedSignatureOver(key, toBeSigned);
    bits.insert(bits.end(), signature.begin(), signature.end());
    return Encode(DerSequence, {toBeSigned, algorithm, Encode(0x03, bits)});
}

Bytes Copy(View bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

}  // namespace

TestAuthority RealAuthority(const char* file) {
    Bytes certificate = RealCertificate(file);
    const Bytes key = Copy(ReadX509Parts(certificate)->publicKeyInfo);
    return {std::move(certificate), key};
}

TestAuthority MakeAuthority(std::wstring_view commonName, const TestAuthority* issuer,
                            std::string_view keySeed) {
    const std::string seed =
        keySeed.empty() ? std::string(commonName.begin(), commonName.end()) : std::string(keySeed);
    const Bytes key = KeyFrom(seed);
    const Bytes subject = NameOf(commonName);
    const Bytes issuerName = issuer ? Copy(ReadX509Parts(issuer->certificate)->subject) : subject;
    const Sha256Digest serialSource = Sha256Of(Ascii("serial " + seed));
    Bytes serial(serialSource.begin(), serialSource.begin() + 8);
    serial[0] = static_cast<std::uint8_t>((serial[0] & 0x7F) | 0x01);
    const Bytes validity = Encode(
        DerSequence, {Encode(0x17, Ascii("250101000000Z")), Encode(0x17, Ascii("450101000000Z"))});
    const Bytes toBeSigned =
        Encode(DerSequence, {Encode(0xA0, Encode(DerInteger, Bytes{2})), Encode(DerInteger, serial),
                             Algorithm(kSha256WithRsa), issuerName, validity, subject, key});
    return {SignedForm(toBeSigned, Algorithm(kSha256WithRsa), issuer ? issuer->publicKeyInfo : key),
            key};
}

Bytes AuthenticodeSignature(const PeImage& image, const TestAuthority& signer,
                            std::initializer_list<const TestAuthority*> carried,
                            DigestAlgorithm digest, SignatureFlaws flaws) {
    const Bytes digestAlgorithm = Algorithm(DigestAlgorithmOid(digest));
    Bytes fileDigest = AuthenticodeDigest(image.bytes, *ReadPeLayout(image.bytes), digest);
    if (flaws.fileDigest) fileDigest[0] ^= 0xFF;
    const Bytes indirectContents =
        DerConcat({Encode(DerSequence, kPeImageData),
                   Encode(DerSequence, {digestAlgorithm, Encode(DerOctetString, fileDigest)})});
    const Bytes indirect = Encode(DerSequence, indirectContents);
    Bytes messageDigest = DigestOf(digest, indirectContents);
    if (flaws.messageDigest) messageDigest[0] ^= 0xFF;
    const Bytes attributes =
        DerConcat({Encode(DerSequence, {kContentType, Encode(DerSet, kIndirectData)}),
                   Encode(DerSequence, {kMessageDigest,
                                        Encode(DerSet, Encode(DerOctetString, messageDigest))})});
    Bytes signature = ScriptedSignatureOver(signer.publicKeyInfo, Encode(DerSet, attributes));
    if (flaws.signature) signature[0] ^= 0xFF;
    const auto parts = ReadX509Parts(signer.certificate);
    const Bytes signerInfo = Encode(
        DerSequence, {Encode(DerInteger, Bytes{1}),
                      Encode(DerSequence, {parts->issuer, Encode(DerInteger, parts->serialNumber)}),
                      digestAlgorithm, Encode(0xA0, attributes), Algorithm(kRsaEncryption),
                      Encode(DerOctetString, signature)});
    Bytes certificates;
    for (const TestAuthority* authority : carried) {
        certificates.insert(certificates.end(), authority->certificate.begin(),
                            authority->certificate.end());
    }
    const Bytes signers = flaws.noSignerInfo ? Encode(DerSet, Bytes{}) : Encode(DerSet, signerInfo);
    const Bytes signedData =
        Encode(DerSequence, {Encode(DerInteger, Bytes{1}), Encode(DerSet, digestAlgorithm),
                             Encode(DerSequence, {kIndirectData, Encode(0xA0, indirect)}),
                             Encode(0xA0, certificates), signers});
    return Encode(DerSequence, {kSignedData, Encode(0xA0, signedData)});
}

Bytes WithSignatures(const PeImage& image, std::initializer_list<Bytes> signatures) {
    Bytes bytes(image.bytes.begin(), image.bytes.begin() + image.certificateTable);
    for (const Bytes& signature : signatures) {
        const std::uint32_t length = static_cast<std::uint32_t>(signature.size() + 8);
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
        const std::array<std::uint8_t, 4> header{0x00, 0x02, 0x02, 0x00};
        bytes.insert(bytes.end(), header.begin(), header.end());
        bytes.insert(bytes.end(), signature.begin(), signature.end());
        while (bytes.size() % 8 != 0) bytes.push_back(0);
    }
    const std::uint32_t size = static_cast<std::uint32_t>(bytes.size() - image.certificateTable);
    for (int i = 0; i < 4; ++i) {
        bytes[image.certificateEntry + 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    }
    return bytes;
}

const char* RealCertificateNamed(std::wstring_view authority) {
    if (authority == L"Windows UEFI CA 2023") return RealCert::WindowsCa2023;
    if (authority == L"Microsoft UEFI CA 2023") return RealCert::UefiCa2023;
    if (authority == L"Microsoft Option ROM UEFI CA 2023") return RealCert::OptionRom2023;
    if (authority == L"Microsoft Windows Production PCA 2011") return RealCert::Pca2011;
    if (authority == L"Microsoft Corporation UEFI CA 2011") return RealCert::UefiCa2011;
    return nullptr;
}

Bytes SignedBootFile(std::wstring_view authority) {
    const char* real = RealCertificateNamed(authority);
    const TestAuthority ca = real ? RealAuthority(real) : MakeAuthority(authority, nullptr);
    const std::string seed = "leaf under " + std::string(authority.begin(), authority.end());
    const TestAuthority leaf = MakeAuthority(L"Microsoft Windows", &ca, seed);
    const PeImage image = MinimalPe(0x5A);
    return WithSignatures(image, {AuthenticodeSignature(image, leaf, {&leaf, &ca})});
}

}  // namespace certvane::test
