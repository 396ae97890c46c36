// The portable digests and the DER certificate reader, against published values and
// Microsoft's real certificates.
#include <gtest/gtest.h>

#include <string>

#include "inspect/Sha.h"
#include "inspect/X509Fields.h"
#include "tests/support/RealData.h"

namespace certvane {
namespace {

std::span<const std::uint8_t> Ascii(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Sha, MatchesTheStandardTestVectors) {
    EXPECT_EQ(HexOf(Sha1Of(Ascii(""))), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(HexOf(Sha1Of(Ascii("abc"))), "a9993e364706816aba3e25717850c26c9cd0d89d");
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(HexOf(Sha1Of(Ascii(twoBlocks))), "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(HexOf(Sha256Of(Ascii(""))),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HexOf(Sha256Of(Ascii("abc"))),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(HexOf(Sha256Of(Ascii(twoBlocks))),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(Sha, FeedingInPiecesGivesTheDigestOfTheWhole) {
    const std::string text(1000, 'a');
    Sha256 pieces;
    for (std::size_t at = 0; at < text.size(); at += 7) {
        pieces.Update(Ascii(std::string_view(text).substr(at, 7)));
    }
    EXPECT_EQ(pieces.Final(), Sha256Of(Ascii(text)));
}

TEST(Sha, ThumbprintOfTheRealPca2011IsTheOneMicrosoftPublishes) {
    // The thumbprint dbx-info-latest.json gives for the revoked Windows Production PCA 2011.
    EXPECT_EQ(HexOf(Sha1Of(test::RealCertificate("microsoft-windows-production-pca-2011.der"))),
              "580a6f4cc4e4b669b9ebdc1b2b3e087b80d0678d");
}

TEST(X509Fields, ReadsNamesAndExpiryOfTheRealCertificates) {
    struct Expected {
        const char* file;
        const wchar_t* subject;
        const wchar_t* issuer;
        const char* notAfter;
    };
    const Expected certificates[] = {
        {"microsoft-corporation-kek-ca-2011.der", L"Microsoft Corporation KEK CA 2011",
         L"Microsoft Corporation Third Party Marketplace Root", "2026-06-24"},
        {"microsoft-corporation-kek-2k-ca-2023.der", L"Microsoft Corporation KEK 2K CA 2023",
         L"Microsoft RSA Devices Root CA 2021", "2038-03-02"},
        {"windows-uefi-ca-2023.der", L"Windows UEFI CA 2023",
         L"Microsoft Root Certificate Authority 2010", "2035-06-13"},
        {"windows-oem-devices-pk.der", L"Windows OEM Devices PK",
         L"Microsoft RSA Third Party PCA 2023", "2038-09-18"},
    };
    for (const Expected& expected : certificates) {
        const auto fields = ReadX509Fields(test::RealCertificate(expected.file));
        ASSERT_TRUE(fields) << expected.file;
        EXPECT_EQ(fields->subjectCommonName, expected.subject);
        EXPECT_EQ(fields->issuerCommonName, expected.issuer);
        EXPECT_EQ(fields->notAfter, expected.notAfter);
    }
}

TEST(X509Fields, RefusesBytesThatAreNoWholeCertificate) {
    const test::Bytes cert = test::RealCertificate("microsoft-uefi-ca-2023.der");
    EXPECT_FALSE(ReadX509Fields({}));
    // Every cut of the certificate is refused: no length may reach past the bytes given.
    for (std::size_t size : {std::size_t{1}, std::size_t{4}, std::size_t{100}, cert.size() - 1}) {
        EXPECT_FALSE(ReadX509Fields(std::span(cert).first(size))) << size;
    }
    test::Bytes trailing = cert;
    trailing.push_back(0);
    EXPECT_FALSE(ReadX509Fields(trailing));
    test::Bytes notSequence = cert;
    notSequence[0] = 0x31;
    EXPECT_FALSE(ReadX509Fields(notSequence));
}

}  // namespace
}  // namespace certvane
