// The portable digests and the DER certificate reader, against published values and
// Microsoft's real certificates.
#include <gtest/gtest.h>

#include <string>

#include "inspect/Digest.h"
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

TEST(Sha, TheSha2DigestsOfLongerWordsMatchTheStandardTestVectors) {
    const std::string twoBlocks =
        "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlm"
        "n"
        "opqrsmnopqrstnopqrstu";
    EXPECT_EQ(HexOf(DigestOf(DigestAlgorithm::Sha384, Ascii(""))),
              "38b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf63f6e1da274edebfe76f65fbd5"
              "1ad2f14898b95b");
    EXPECT_EQ(HexOf(DigestOf(DigestAlgorithm::Sha384, Ascii("abc"))),
              "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358"
              "baeca134c825a7");
    EXPECT_EQ(HexOf(DigestOf(DigestAlgorithm::Sha384, Ascii(twoBlocks))),
              "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966"
              "c3e9fa91746039");
    EXPECT_EQ(HexOf(DigestOf(DigestAlgorithm::Sha512, Ascii(""))),
              "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff"
              "8318d2877eec2f63b931bd47417a81a538327af927da3e");
    EXPECT_EQ(HexOf(DigestOf(DigestAlgorithm::Sha512, Ascii("abc"))),
              "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836"
              "ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f");
    EXPECT_EQ(HexOf(DigestOf(DigestAlgorithm::Sha512, Ascii(twoBlocks))),
              "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018501d289e4900f7e433"
              "1b99dec4b5433ac7d329eeb6dd26545e96e55b874be909");
}

TEST(Sha, FeedingInPiecesGivesTheDigestOfTheWhole) {
    const std::string text(1000, 'a');
    for (DigestAlgorithm algorithm : {DigestAlgorithm::Sha1, DigestAlgorithm::Sha256,
                                      DigestAlgorithm::Sha384, DigestAlgorithm::Sha512}) {
        Hasher pieces(algorithm);
        for (std::size_t at = 0; at < text.size(); at += 7) {
            pieces.Update(Ascii(std::string_view(text).substr(at, 7)));
        }
        EXPECT_EQ(pieces.Final(), DigestOf(algorithm, Ascii(text)))
            << DigestAlgorithmName(algorithm);
    }
    EXPECT_EQ(HexOf(DigestOf(DigestAlgorithm::Sha512, Ascii(text))),
              "67ba5535a46e3f86dbfbed8cbbaf0125c76ed549ff8b0b9e03e0c88cf90fa634fa7b12b47d77b694de"
              "488ace8d9a65967dc96df599727d3292a8d9d447709c97");
    EXPECT_EQ(HexOf(Sha1Of(Ascii(text))), HexOf(DigestOf(DigestAlgorithm::Sha1, Ascii(text))));
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
