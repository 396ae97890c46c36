// Reading the certificate table of a PE file: a real file Microsoft signed twice, and tables
// made to break the reader.
#include "inspect/EmbeddedSignatures.h"

#include <gtest/gtest.h>

#include "inspect/X509Fields.h"
#include "tests/support/PeImages.h"
#include "tests/support/RealData.h"

namespace certvane {
namespace {

using test::Bytes;

CertificateTable TableOf(const Bytes& image) {
    const auto layout = ReadPeLayout(image);
    EXPECT_TRUE(layout);
    return layout ? ReadCertificateTable(image, *layout) : CertificateTable{};
}

std::wstring SignerSubject(const EmbeddedSignature& signature) {
    const auto fields = ReadX509Fields(signature.certificates.at(signature.signer));
    return fields ? fields->subjectCommonName : L"";
}

TEST(RealShim, CarriesTwoSignaturesThatEachProveTheFile) {
    const CertificateTable table = TableOf(test::RealShim());
    EXPECT_TRUE(table.intact);
    ASSERT_EQ(table.signatures.size(), 2u);
    const EmbeddedSignature& first = table.signatures[0];
    const EmbeddedSignature& second = table.signatures[1];
    EXPECT_EQ(first.authority, L"Microsoft Corporation UEFI CA 2011");
    EXPECT_EQ(SignerSubject(first), L"Microsoft Windows UEFI Driver Publisher");
    EXPECT_EQ(second.authority, L"Microsoft UEFI CA 2023");
    EXPECT_EQ(SignerSubject(second), L"Microsoft UEFI CA 2023 signer");
    for (const EmbeddedSignature& signature : table.signatures) {
        EXPECT_TRUE(signature.readable);
        EXPECT_EQ(signature.digestAlgorithm, DigestAlgorithm::Sha256);
        // Microsoft's signed digest is the one computed here: the Authenticode hash and the
        // messageDigest rule are those the signer used.
        EXPECT_TRUE(signature.fileDigestMatches);
        EXPECT_TRUE(signature.messageDigestMatches);
        EXPECT_FALSE(signature.signedAttributes.empty());
    }
}

TEST(RealShim, OneChangedByteOfCodeNoLongerMatchesEitherSignature) {
    Bytes image = test::RealShim();
    image[test::MiddleOfFirstSection(image)] ^= 0x01;
    const CertificateTable table = TableOf(image);
    ASSERT_EQ(table.signatures.size(), 2u);
    for (const EmbeddedSignature& signature : table.signatures) {
        EXPECT_FALSE(signature.fileDigestMatches);
        EXPECT_TRUE(signature.messageDigestMatches);  // the signature itself is untouched
    }
}

TEST(CertificateTable, ATableThatDoesNotParseToItsEndIsNotIntact) {
    Bytes image = test::RealShim();
    const auto layout = *ReadPeLayout(image);
    // Eight more bytes claimed by the directory: an entry of length 0.
    image.resize(image.size() + 8, 0);
    const std::uint32_t pe = image[0x3C] | image[0x3D] << 8;
    const std::size_t sizeField = pe + 24 + 112 + 4 * 8 + 4;
    const std::uint64_t size = layout.certificateTable.end - layout.certificateTable.begin + 8;
    for (int i = 0; i < 4; ++i) image[sizeField + i] = static_cast<std::uint8_t>(size >> (8 * i));
    const CertificateTable table = TableOf(image);
    EXPECT_FALSE(table.intact);
    EXPECT_EQ(table.signatures.size(), 2u);
}

TEST(CertificateTable, EntriesOfOtherTypesAreSkippedAndBrokenSignaturesAreUnreadable) {
    test::PeImage pe = test::MinimalPe(0x33);
    // Two entries of 8 bytes of header and 8 of body: a type the firmware ignores, then a
    // PKCS signed-data entry whose body is no signature.
    const Bytes entries{16, 0, 0, 0, 0x00, 0x02, 0x01, 0x00, 1,    2,    3, 4, 5, 6, 7, 8,
                        16, 0, 0, 0, 0x00, 0x02, 0x02, 0x00, 0x30, 0x06, 0, 0, 0, 0, 0, 0};
    pe.bytes.resize(pe.certificateTable);
    pe.bytes.insert(pe.bytes.end(), entries.begin(), entries.end());
    pe.bytes[pe.certificateEntry + 4] = static_cast<std::uint8_t>(entries.size());
    const CertificateTable table = TableOf(pe.bytes);
    EXPECT_TRUE(table.intact);
    ASSERT_EQ(table.signatures.size(), 1u);
    EXPECT_FALSE(table.signatures[0].readable);
    EXPECT_TRUE(table.signatures[0].authority.empty());
}

}  // namespace
}  // namespace certvane
