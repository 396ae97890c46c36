// Boot files judged by their signatures with the system's CryptoAPI: Debian's shim, which
// Microsoft signed twice, files signed with osslsigncode, and files made to attack the check.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "assess/BootJudgement.h"
#include "platform/win32/Win32Platform.h"
#include "tests/support/PeImages.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::Bytes;

std::wstring Fixture(std::wstring_view name) {
    return std::wstring(CERTVANE_SIGNED_FIXTURES_DIR) + L"\\" + std::wstring(name);
}

std::wstring Attack(std::wstring_view name) {
    return std::wstring(CERTVANE_ATTACK_FIXTURES_DIR) + L"\\" + std::wstring(name);
}

Bytes AttackCertificate(const char* name) {
    return test::ReadWholeFile(std::string(CERTVANE_ATTACK_FIXTURES_NARROW) + "/" + name);
}

Bytes Store(std::initializer_list<Bytes> certificates, std::initializer_list<Bytes> hashes = {}) {
    Bytes image;
    if (hashes.size() != 0) test::AppendList(image, {.type = test::Sha256Type}, hashes);
    for (const Bytes& certificate : certificates) {
        const Bytes list = test::X509List(certificate);
        image.insert(image.end(), list.begin(), list.end());
    }
    return image;
}

class Win32Signatures : public ::testing::Test {
  protected:
    BootJudgement Judge(const std::wstring& path, const Bytes& db, const Bytes& dbx = {}) {
        const BootFile file = InspectBootFile(platform_, path, L"file");
        EXPECT_TRUE(file.readable) << std::string(path.begin(), path.end());
        return JudgeBootFileAgainst(platform_, file, db, dbx);
    }
    Win32Platform platform_;
    const Bytes uefiCa2011_ = test::RealCertificate(test::RealCert::UefiCa2011);
    const Bytes uefiCa2023_ = test::RealCertificate(test::RealCert::UefiCa2023);
    const Bytes windowsCa2023_ = test::RealCertificate(test::RealCert::WindowsCa2023);
    const Bytes testRoot_ = AttackCertificate("test-root.der");
};

TEST_F(Win32Signatures, MicrosoftsTwoSignaturesOfTheShimEachVerifyAgainstTheirOwnCa) {
    const std::wstring shim(CERTVANE_REAL_SHIM_WINDOWS);
    const BootJudgement under2011 = Judge(shim, Store({uefiCa2011_}));
    ASSERT_EQ(under2011.verification.signatures.size(), 2u);
    EXPECT_TRUE(under2011.verification.signatures[0].verifies);
    EXPECT_FALSE(under2011.verification.signatures[1].verifies);
    EXPECT_EQ(under2011.verification.accepted, 0u);
    EXPECT_EQ(under2011.authority, L"Microsoft Corporation UEFI CA 2011");

    // A db that has only the 2023 CA accepts the file through its second entry, which firmware
    // built before 2013 never reads.
    const BootJudgement under2023 = Judge(shim, Store({uefiCa2023_}));
    EXPECT_EQ(under2023.verification.accepted, 1u);
    EXPECT_EQ(under2023.authority, L"Microsoft UEFI CA 2023");
    EXPECT_EQ(under2023.verdict, L"是");

    // The Windows CA signs no shim; and a revoked 2011 CA refuses the file whatever else
    // verifies.
    EXPECT_FALSE(Judge(shim, Store({windowsCa2023_})).WouldBoot());
    const BootJudgement revoked =
        Judge(shim, Store({uefiCa2011_, uefiCa2023_}), Store({uefiCa2011_}));
    EXPECT_EQ(revoked.verification.signatures[0].revokedBy, Revocation::Certificate);
    EXPECT_FALSE(revoked.WouldBoot());
    EXPECT_EQ(revoked.verdict, L"否（固件不信任此签名）");
}

TEST_F(Win32Signatures, AShimWithOneChangedByteVerifiesUnderNeitherCa) {
    Bytes shim = test::RealShim();
    shim[test::MiddleOfFirstSection(shim)] ^= 0x01;
    const std::string narrow = std::string(CERTVANE_ATTACK_FIXTURES_NARROW) + "/patched-shim.efi";
    std::ofstream(narrow, std::ios::binary)
        .write(reinterpret_cast<const char*>(shim.data()),
               static_cast<std::streamsize>(shim.size()));
    const std::wstring path = Attack(L"patched-shim.efi");
    const BootJudgement judgement = Judge(path, Store({uefiCa2011_, uefiCa2023_}));
    ASSERT_EQ(judgement.verification.signatures.size(), 2u);
    EXPECT_FALSE(judgement.verification.signatures[0].verifies);
    EXPECT_FALSE(judgement.verification.signatures[1].verifies);
    EXPECT_EQ(judgement.verdict, L"否（固件不信任此签名）");
}

TEST_F(Win32Signatures, FilesSignedUnderEveryDigestVerifyAgainstTheirRootOrTheirCa) {
    const Bytes ca = AttackCertificate("test-ca.der");
    for (const wchar_t* name :
         {L"signed-sha256.efi", L"signed-sha1.efi", L"signed-sha384.efi", L"signed-sha512.efi"}) {
        EXPECT_TRUE(Judge(Attack(name), Store({testRoot_})).WouldBoot()) << name;
        EXPECT_TRUE(Judge(Attack(name), Store({ca})).WouldBoot()) << name;
        EXPECT_FALSE(Judge(Attack(name), Store({windowsCa2023_})).WouldBoot()) << name;
        EXPECT_FALSE(Judge(Attack(name), Store({testRoot_}), Store({ca})).WouldBoot()) << name;
    }
}

TEST_F(Win32Signatures, NoAttackFileIsAccepted) {
    const Bytes db = Store({windowsCa2023_, testRoot_, AttackCertificate("impostor-ca.der")});
    // The impostor CA is in db here only to show that the self-named file is refused by its
    // bytes when db holds the real one: the other attacks are refused with it too.
    const Bytes realOnly = Store({windowsCa2023_, testRoot_});
    EXPECT_FALSE(Judge(Attack(L"self-named.efi"), realOnly).WouldBoot());
    for (const wchar_t* name :
         {L"patched-byte.efi", L"patched-digest.efi", L"patched-attribute.efi",
          L"replaced-middle.efi", L"table-overrun.efi", L"nested-trusted.efi"}) {
        const BootJudgement judgement = Judge(Attack(name), realOnly);
        EXPECT_FALSE(judgement.WouldBoot()) << name;
        EXPECT_EQ(judgement.verdict, L"否（固件不信任此签名）") << name;
    }
    EXPECT_TRUE(Judge(Attack(L"self-named.efi"), db).WouldBoot());
}

TEST_F(Win32Signatures, EveryEntryOfTheTableCounts) {
    const BootJudgement second = Judge(Attack(L"two-entries.efi"), Store({testRoot_}));
    ASSERT_EQ(second.verification.signatures.size(), 2u);
    EXPECT_EQ(second.verification.accepted, 1u);
    EXPECT_EQ(
        Judge(Attack(L"two-entries-trusted-first.efi"), Store({testRoot_})).verification.accepted,
        0u);
    const auto hash =
        InspectBootFile(platform_, Attack(L"two-entries.efi"), L"").authenticodeSha256;
    ASSERT_TRUE(hash);
    const BootJudgement byHash = Judge(Attack(L"two-entries.efi"), Store({testRoot_}),
                                       Store({}, {Bytes(hash->begin(), hash->end())}));
    EXPECT_TRUE(byHash.hashRevoked);
    EXPECT_FALSE(byHash.WouldBoot());
}

TEST_F(Win32Signatures, TheAuthorityIsTheSignersIssuerWhateverTheCertificateOrder) {
    for (const wchar_t* name : {L"leaf-and-ca.efi", L"leaf-only.efi", L"ca-first.efi"}) {
        EXPECT_EQ(InspectBootFile(platform_, Fixture(name), L"").signer, L"Windows UEFI CA 2023")
            << name;
    }
    EXPECT_EQ(InspectBootFile(platform_, Fixture(L"pca2011.efi"), L"").signer,
              L"Microsoft Windows Production PCA 2011");
    EXPECT_EQ(InspectBootFile(platform_, Fixture(L"unsigned.efi"), L"").signer, L"");
    EXPECT_FALSE(InspectBootFile(platform_, Fixture(L"no-such-file.efi"), L"").readable);
}

}  // namespace
}  // namespace certvane
