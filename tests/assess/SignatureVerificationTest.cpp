// Whether the firmware accepts a file by its signatures: every entry of the certificate table
// as EDK2's image verification walks them, on files made to attack the check. The scripted
// machine checks the signatures; the Wine tests check real ones.
#include "assess/SignatureVerification.h"

#include <gtest/gtest.h>

#include "assess/BootJudgement.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/SignedImages.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::Bytes;
using test::MakeAuthority;
using test::TestAuthority;

// A test root in db, a CA under it named like Microsoft's, and a signing leaf under that.
struct Chain {
    TestAuthority root = MakeAuthority(L"Certvane Test Root 2010", nullptr);
    TestAuthority ca = MakeAuthority(L"Windows UEFI CA 2023", &root, "test ca");
    TestAuthority leaf = MakeAuthority(L"Microsoft Windows", &ca, "test leaf");
};

const test::PeImage kImage = test::MinimalPe(0x61);

Bytes Store(std::initializer_list<const Bytes*> certificates,
            std::initializer_list<Bytes> hashes = {}) {
    Bytes image;
    if (hashes.size() != 0) test::AppendList(image, {.type = test::Sha256Type}, hashes);
    for (const Bytes* certificate : certificates) {
        const Bytes list = test::X509List(*certificate);
        image.insert(image.end(), list.begin(), list.end());
    }
    return image;
}

class SignatureVerification : public ::testing::Test {
  protected:
    FileVerification Verify(const Bytes& file, const Bytes& db, const Bytes& dbx = {}) {
        const auto layout = ReadPeLayout(file);
        EXPECT_TRUE(layout);
        return VerifyFileSignatures(machine_, ReadCertificateTable(file, *layout),
                                    AuthenticodeSha256(file), SignatureStoreOf(db),
                                    SignatureStoreOf(dbx));
    }
    Bytes Signed(const TestAuthority& signer, std::initializer_list<const TestAuthority*> carried,
                 DigestAlgorithm digest = DigestAlgorithm::Sha256,
                 test::SignatureFlaws flaws = {}) {
        return test::AuthenticodeSignature(kImage, signer, carried, digest, flaws);
    }

    test::ScriptedMachine machine_;
    Chain chain_;
};

TEST_F(SignatureVerification, AChainToADbCertificateIsAcceptedUnderEveryDigest) {
    for (DigestAlgorithm digest : {DigestAlgorithm::Sha1, DigestAlgorithm::Sha256,
                                   DigestAlgorithm::Sha384, DigestAlgorithm::Sha512}) {
        const Bytes file =
            test::WithSignatures(kImage, {Signed(chain_.leaf, {&chain_.leaf, &chain_.ca}, digest)});
        const FileVerification result = Verify(file, Store({&chain_.root.certificate}));
        ASSERT_EQ(result.signatures.size(), 1u);
        EXPECT_EQ(result.signatures[0].digestAlgorithm, digest);
        EXPECT_TRUE(result.signatures[0].verifies) << DigestAlgorithmName(digest);
        EXPECT_EQ(result.accepted, 0u);
    }
}

TEST_F(SignatureVerification, AnyDbCertificateOnThePathIsAnAnchorSelfSignedOrNot) {
    const Bytes file =
        test::WithSignatures(kImage, {Signed(chain_.leaf, {&chain_.leaf, &chain_.ca})});
    EXPECT_TRUE(Verify(file, Store({&chain_.ca.certificate})).Accepted());
    EXPECT_TRUE(Verify(file, Store({&chain_.leaf.certificate})).Accepted());
    // The CA's certificate need not be carried when db holds it.
    const Bytes leafOnly = test::WithSignatures(kImage, {Signed(chain_.leaf, {&chain_.leaf})});
    EXPECT_TRUE(Verify(leafOnly, Store({&chain_.ca.certificate})).Accepted());
    EXPECT_FALSE(Verify(leafOnly, Store({&chain_.root.certificate})).Accepted());
}

TEST_F(SignatureVerification, ASelfMadeCaWithMicrosoftsNameIsNotMicrosofts) {
    const TestAuthority impostor = MakeAuthority(L"Windows UEFI CA 2023", nullptr, "impostor");
    const TestAuthority leaf = MakeAuthority(L"Microsoft Windows", &impostor, "impostor leaf");
    const Bytes file = test::WithSignatures(kImage, {Signed(leaf, {&leaf, &impostor})});
    const Bytes real = test::RealCertificate(test::RealCert::WindowsCa2023);
    const FileVerification result = Verify(file, Store({&real, &chain_.root.certificate}));
    EXPECT_EQ(result.signatures[0].authority, L"Windows UEFI CA 2023");
    EXPECT_FALSE(result.signatures[0].verifies);
    EXPECT_FALSE(result.Accepted());
}

TEST_F(SignatureVerification, EachOfTheFourProofsIsNeeded) {
    const Bytes db = Store({&chain_.root.certificate});
    for (const test::SignatureFlaws flaws :
         {test::SignatureFlaws{.fileDigest = true}, test::SignatureFlaws{.messageDigest = true},
          test::SignatureFlaws{.signature = true}}) {
        const Bytes file = test::WithSignatures(
            kImage,
            {Signed(chain_.leaf, {&chain_.leaf, &chain_.ca}, DigestAlgorithm::Sha256, flaws)});
        const FileVerification result = Verify(file, db);
        EXPECT_FALSE(result.signatures[0].verifies);
        EXPECT_FALSE(result.Accepted());
    }
    // A patched byte of the file: the signed digest is no longer the file's.
    Bytes patched = test::WithSignatures(kImage, {Signed(chain_.leaf, {&chain_.leaf, &chain_.ca})});
    patched[kImage.headersEnd + 10] ^= 0x01;
    EXPECT_FALSE(Verify(patched, db).Accepted());
    // A middle certificate of the same name and another key does not carry the leaf.
    const TestAuthority swapped = MakeAuthority(L"Windows UEFI CA 2023", &chain_.root, "other");
    const Bytes replaced =
        test::WithSignatures(kImage, {Signed(chain_.leaf, {&chain_.leaf, &swapped})});
    EXPECT_FALSE(Verify(replaced, db).Accepted());
}

TEST_F(SignatureVerification, EveryEntryCountsAndTheFirstThatVerifiesIsTheAcceptedOne) {
    const TestAuthority stranger = MakeAuthority(L"Contoso Loader CA", nullptr);
    const TestAuthority strangerLeaf = MakeAuthority(L"Contoso Loader", &stranger);
    const Bytes untrusted = Signed(strangerLeaf, {&strangerLeaf, &stranger});
    const Bytes trusted = Signed(chain_.leaf, {&chain_.leaf, &chain_.ca});
    const Bytes db = Store({&chain_.root.certificate});
    const FileVerification second = Verify(test::WithSignatures(kImage, {untrusted, trusted}), db);
    ASSERT_EQ(second.signatures.size(), 2u);
    EXPECT_FALSE(second.signatures[0].verifies);
    EXPECT_TRUE(second.signatures[1].verifies);
    EXPECT_EQ(second.accepted, 1u);
    EXPECT_EQ(Verify(test::WithSignatures(kImage, {trusted, untrusted}), db).accepted, 0u);
}

TEST_F(SignatureVerification, DbxRefusesTheFileByAnyEntrysCertificateOrByItsHash) {
    const Bytes trusted = Signed(chain_.leaf, {&chain_.leaf, &chain_.ca});
    const TestAuthority other = MakeAuthority(L"Microsoft UEFI CA 2023", &chain_.root, "other ca");
    const TestAuthority otherLeaf = MakeAuthority(L"Signer", &other, "other leaf");
    const Bytes alsoTrusted = Signed(otherLeaf, {&otherLeaf, &other});
    const Bytes db = Store({&chain_.root.certificate});
    const Bytes file = test::WithSignatures(kImage, {trusted, alsoTrusted});
    EXPECT_EQ(Verify(file, db).accepted, 0u);

    // The second entry's CA is revoked: the first still verifies, and the file is refused.
    const FileVerification revoked = Verify(file, db, Store({&other.certificate}));
    EXPECT_TRUE(revoked.signatures[0].verifies);
    EXPECT_EQ(revoked.signatures[0].revokedBy, Revocation::None);
    EXPECT_EQ(revoked.signatures[1].revokedBy, Revocation::Certificate);
    EXPECT_FALSE(revoked.Accepted());

    const Sha256Digest hash = *AuthenticodeSha256(file);
    const FileVerification byHash = Verify(file, db, Store({}, {Bytes(hash.begin(), hash.end())}));
    EXPECT_TRUE(byHash.hashRevoked);
    EXPECT_EQ(byHash.signatures[0].revokedBy, Revocation::Hash);
    EXPECT_FALSE(byHash.Accepted());
}

TEST_F(SignatureVerification, ABrokenTableOrAnEntryWithoutASignerRefusesTheFile) {
    const Bytes trusted = Signed(chain_.leaf, {&chain_.leaf, &chain_.ca});
    const Bytes db = Store({&chain_.root.certificate});
    const Bytes noSigner = Signed(chain_.leaf, {&chain_.leaf, &chain_.ca}, DigestAlgorithm::Sha256,
                                  {.noSignerInfo = true});
    const FileVerification withoutSigner =
        Verify(test::WithSignatures(kImage, {trusted, noSigner}), db);
    EXPECT_TRUE(withoutSigner.unreadableEntry);
    EXPECT_FALSE(withoutSigner.Accepted());

    Bytes overrun = test::WithSignatures(kImage, {trusted});
    overrun.resize(overrun.size() + 8, 0);
    overrun[kImage.certificateEntry + 4] += 8;
    const FileVerification broken = Verify(overrun, db);
    EXPECT_FALSE(broken.tableIntact);
    EXPECT_FALSE(broken.Accepted());
}

TEST_F(SignatureVerification, ManyCertificatesOfOneNameAndKeyEndTheSearch) {
    // Forty certificates that all name, and are all signed by, the same key: every path
    // through them would be tried without a bound.
    std::vector<TestAuthority> loop;
    for (int i = 0; i < 40; ++i) loop.push_back(MakeAuthority(L"Loop CA", nullptr, "loop"));
    const TestAuthority leaf = MakeAuthority(L"Loop Leaf", &loop.front(), "loop leaf");
    Bytes file =
        test::WithSignatures(kImage, {Signed(leaf, {&leaf, &loop[0], &loop[1], &loop[2]})});
    EXPECT_FALSE(Verify(file, Store({&chain_.root.certificate})).Accepted());
}

TEST_F(SignatureVerification, WithoutTheSystemsSignatureChecksNothingIsAccepted) {
    machine_.signatureChecksUnavailable = true;
    const Bytes file =
        test::WithSignatures(kImage, {Signed(chain_.leaf, {&chain_.leaf, &chain_.ca})});
    const FileVerification result = Verify(file, Store({&chain_.root.certificate}));
    EXPECT_TRUE(result.checkUnavailable);
    EXPECT_FALSE(result.Accepted());
}

TEST(BootJudgementVerdict, SaysWhatTheSignaturesSay) {
    test::ScriptedMachine machine = test::NormalWindows11();
    const Chain chain;
    const Bytes db = Store({&chain.root.certificate});
    const auto verdictOf = [&](const Bytes& content, const Bytes& dbImage) {
        test::ScriptedFile file;
        file.content = content;
        machine.PutFile(L"C:\\file.efi", file);
        const BootFile read = InspectBootFile(machine, L"C:\\file.efi", L"file.efi");
        return JudgeBootFileAgainst(machine, read, dbImage, {});
    };
    const Bytes file = test::WithSignatures(
        kImage, {test::AuthenticodeSignature(kImage, chain.leaf, {&chain.leaf, &chain.ca})});
    const BootJudgement accepted = verdictOf(file, db);
    EXPECT_EQ(accepted.verdict, L"是");
    EXPECT_EQ(accepted.authority, L"Windows UEFI CA 2023");
    EXPECT_TRUE(accepted.WouldBoot());
    const BootJudgement refused = verdictOf(file, Store({}));
    EXPECT_EQ(refused.verdict, L"否（固件不信任此签名）");
    EXPECT_FALSE(refused.WouldBoot());
    EXPECT_EQ(verdictOf(kImage.bytes, db).verdict, L"无法检测（文件不存在或无签名）");
    machine.signatureChecksUnavailable = true;
    EXPECT_EQ(verdictOf(file, db).verdict, L"未知签名（无法判断）");
}

}  // namespace
}  // namespace certvane
