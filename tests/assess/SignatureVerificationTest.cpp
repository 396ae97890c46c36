// Whether the firmware accepts a file by its signatures: every entry of the certificate table
// as EDK2's image verification walks them, on files made to attack the check. The scripted
// machine checks the signatures; the Wine tests check real ones.
#include "assess/SignatureVerification.h"

#include <gtest/gtest.h>

#include "assess/BootJudgement.h"
#include "inspect/Sha.h"
#include "inspect/X509Fields.h"
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

// An X.509 SHA-256 entry of dbx names a certificate by the SHA-256 of its TBSCertificate,
// with a time of revocation after it: it revokes that certificate wherever it stands.
Bytes CertificateHashList(const Bytes& certificate) {
    const auto parts = ReadX509Parts(certificate);
    EXPECT_TRUE(parts);
    const Sha256Digest hash = Sha256Of(parts->toBeSigned);
    Bytes entry(hash.begin(), hash.end());
    entry.resize(entry.size() + 16, 0);  // EFI_TIME of revocation: none
    Bytes list;
    test::AppendList(
        list,
        {.type = {0x3BD2A492, 0x96C0, 0x4079, {0xB4, 0x20, 0xFC, 0xF9, 0x8E, 0xF1, 0x03, 0xED}}},
        {entry});
    return list;
}

TEST_F(SignatureVerification, DbxRevokesACertificateByTheHashOfItsContent) {
    const Bytes file =
        test::WithSignatures(kImage, {Signed(chain_.leaf, {&chain_.leaf, &chain_.ca})});
    const Bytes db = Store({&chain_.root.certificate});
    // A certificate the entry carries.
    const FileVerification carried = Verify(file, db, CertificateHashList(chain_.ca.certificate));
    EXPECT_EQ(carried.signatures[0].revokedBy, Revocation::Certificate);
    EXPECT_FALSE(carried.Accepted());
    // The db certificate the chain leads to: it anchors nothing.
    const FileVerification anchor = Verify(file, db, CertificateHashList(chain_.root.certificate));
    EXPECT_FALSE(anchor.signatures[0].verifies);
    EXPECT_FALSE(anchor.Accepted());
    // Another certificate's hash revokes nothing of this file.
    const TestAuthority other = MakeAuthority(L"Other CA", &chain_.root, "other ca");
    EXPECT_TRUE(Verify(file, db, CertificateHashList(other.certificate)).Accepted());
}

// The image without a certificate table: no entry in the header, nothing after the sections.
Bytes UnsignedImage() {
    Bytes bytes(kImage.bytes.begin(),
                kImage.bytes.begin() + static_cast<std::ptrdiff_t>(kImage.certificateTable));
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(kImage.certificateEntry), 8, 0);
    return bytes;
}

// The firmware's last test: a file that no signature admits starts when db holds its own
// hash, signed or not, unless dbx refuses it.
TEST_F(SignatureVerification, AFileWhoseOwnHashDbHoldsIsAcceptedByNoSignature) {
    const TestAuthority stranger = MakeAuthority(L"Stranger", nullptr, "stranger");
    const Bytes file = test::WithSignatures(kImage, {Signed(stranger, {&stranger})});
    const Sha256Digest hash = *AuthenticodeSha256(file);
    const Bytes db = Store({&chain_.root.certificate}, {Bytes(hash.begin(), hash.end())});
    const FileVerification listed = Verify(file, db);
    EXPECT_FALSE(listed.signatures[0].verifies);
    EXPECT_EQ(listed.accepted, std::nullopt);
    EXPECT_TRUE(listed.hashTrusted);
    EXPECT_TRUE(listed.Accepted());

    // Signing leaves the Authenticode hash as it was: the unsigned image has the same.
    const FileVerification unsignedFile = Verify(UnsignedImage(), db);
    EXPECT_TRUE(unsignedFile.tableIntact);
    EXPECT_TRUE(unsignedFile.signatures.empty());
    EXPECT_TRUE(unsignedFile.Accepted());

    // dbx still decides first: by the file's hash, or by a certificate of an entry.
    EXPECT_FALSE(Verify(file, db, Store({}, {Bytes(hash.begin(), hash.end())})).Accepted());
    EXPECT_FALSE(Verify(file, db, Store({&stranger.certificate})).Accepted());
    // Another file's hash admits nothing.
    const Sha256Digest otherHash = *AuthenticodeSha256(test::MinimalPe(0x62).bytes);
    EXPECT_FALSE(Verify(file, Store({}, {Bytes(otherHash.begin(), otherHash.end())})).Accepted());
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
    // An unsigned file whose own hash db holds boots.
    const Sha256Digest hash = *AuthenticodeSha256(UnsignedImage());
    const BootJudgement byHash = verdictOf(
        UnsignedImage(), Store({&chain.root.certificate}, {Bytes(hash.begin(), hash.end())}));
    EXPECT_EQ(byHash.verdict, L"是");
    EXPECT_TRUE(byHash.WouldBoot());
    machine.signatureChecksUnavailable = true;
    EXPECT_EQ(verdictOf(file, db).verdict, L"未知签名（无法判断）");
}

}  // namespace
}  // namespace certvane
