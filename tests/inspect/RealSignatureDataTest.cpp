// The signature walk, statuses and readiness on Microsoft's published certificates and
// signed db/dbx updates. On the host a small DER reader stands in for the system decoder;
// on Windows the real one is tested separately on the same data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "assess/MachineAssessment.h"
#include "inspect/SignatureDatabase.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::Bytes;
using test::Concat;
using test::RealCertificate;
using test::RealUpdateLists;
using test::ScriptedMachine;
using test::X509List;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::wstring kDbGuidText = L"{D719B2CB-3D3A-4596-A3BC-DAD00E67656F}";

class RealSignatureData : public ::testing::Test {
  protected:
    RealSignatureData() { machine.decodeCertificate = test::DerSubjectCommonName; }

    Bytes Pca2011() {
        return X509List(RealCertificate("microsoft-windows-production-pca-2011.der"));
    }
    Bytes Uefi2011() { return X509List(RealCertificate("microsoft-corporation-uefi-ca-2011.der")); }
    Bytes Windows2023() { return RealUpdateLists("db-update-windows-uefi-ca-2023.bin"); }
    Bytes Uefi2023() { return RealUpdateLists("db-update-microsoft-uefi-ca-2023.bin"); }
    Bytes OptionRom2023() { return RealUpdateLists("db-update-option-rom-uefi-ca-2023.bin"); }
    Bytes DbxAmd64() { return RealUpdateLists("dbx-update-amd64.bin"); }
    Bytes Dbx2024() { return RealUpdateLists("dbx-update-2024.bin"); }

    std::vector<std::wstring_view> Statuses(const Bytes& db, const Bytes& dbx) {
        const NameList dbNames = SignatureListNames(machine, db);
        const NameList dbxNames = SignatureListNames(machine, dbx);
        std::vector<std::wstring_view> out;
        for (const auto& row : KnownCertificates) {
            out.push_back(CertificateStatus(row, dbNames, dbxNames));
        }
        return out;
    }

    // The three 2023 certificates by name, none revoked by name: the JSON's ca2023Ready.
    bool Ready(const Bytes& db, const Bytes& dbx) {
        return Ca2023SetTrustedByName(SignatureListNames(machine, db),
                                      SignatureListNames(machine, dbx));
    }

    ScriptedMachine machine = test::AfterStartUp();
};

TEST_F(RealSignatureData, DbUpdatesWalkToTheirCertificate) {
    EXPECT_THAT(SignatureListNames(machine, Windows2023()), ElementsAre(L"Windows UEFI CA 2023"));
    EXPECT_THAT(SignatureListNames(machine, Uefi2023()), ElementsAre(L"Microsoft UEFI CA 2023"));
    EXPECT_THAT(SignatureListNames(machine, OptionRom2023()),
                ElementsAre(L"Microsoft Option ROM UEFI CA 2023"));
}

TEST_F(RealSignatureData, DbxUpdatesWalkToTheRevokedCertificateOnly) {
    const Bytes amd64 = DbxAmd64();
    EXPECT_THAT(SignatureListNames(machine, amd64), IsEmpty());
    EXPECT_TRUE(machine.decodedCertificates.empty());
    EXPECT_EQ(amd64.size(), 28u + 443u * 48u);  // one list of 443 SHA-256 entries
    EXPECT_THAT(SignatureListNames(machine, Dbx2024()),
                ElementsAre(L"Microsoft Windows Production PCA 2011"));
}

TEST_F(RealSignatureData, FullyUpdatedMachine) {
    const Bytes db = Concat({Pca2011(), Uefi2011(), Windows2023(), Uefi2023(), OptionRom2023()});
    const Bytes dbx = DbxAmd64();
    EXPECT_THAT(SignatureListNames(machine, db),
                ElementsAre(L"Microsoft Windows Production PCA 2011",
                            L"Microsoft Corporation UEFI CA 2011", L"Windows UEFI CA 2023",
                            L"Microsoft UEFI CA 2023", L"Microsoft Option ROM UEFI CA 2023"));
    EXPECT_THAT(Statuses(db, dbx),
                ElementsAre(L"[有效]", L"[有效]", L"[有效]", L"[有效]", L"[有效]"));
    EXPECT_TRUE(Ready(db, dbx));
}

TEST_F(RealSignatureData, MachineWithOnlyThe2011Pair) {
    const Bytes db = Concat({Pca2011(), Uefi2011()});
    EXPECT_THAT(Statuses(db, DbxAmd64()),
                ElementsAre(L"[有效]", L"[有效]", L"[不存在]", L"[不存在]", L"[不存在]"));
    EXPECT_FALSE(Ready(db, DbxAmd64()));
}

TEST_F(RealSignatureData, The2023PairWithoutTheOptionRomCa) {
    const Bytes db = Concat({Pca2011(), Uefi2011(), Windows2023(), Uefi2023()});
    EXPECT_THAT(Statuses(db, DbxAmd64()),
                ElementsAre(L"[有效]", L"[有效]", L"[有效]", L"[有效]", L"[不存在]"));
    EXPECT_FALSE(Ready(db, DbxAmd64()));
}

TEST_F(RealSignatureData, MachineThatRevokedThe2011WindowsCa) {
    const Bytes db = Concat({Pca2011(), Uefi2011(), Windows2023(), Uefi2023(), OptionRom2023()});
    const Bytes dbx = Concat({DbxAmd64(), Dbx2024()});
    EXPECT_THAT(Statuses(db, dbx),
                ElementsAre(L"[已吊销]", L"[有效]", L"[有效]", L"[有效]", L"[有效]"));
    EXPECT_TRUE(Ready(db, dbx));
}

TEST_F(RealSignatureData, A2023CaAlsoInDbxIsRevokedAndNotReady) {
    const Bytes db = Concat({Windows2023(), Uefi2023(), OptionRom2023()});
    const Bytes dbx = Concat({DbxAmd64(), Uefi2023()});
    EXPECT_THAT(Statuses(db, dbx),
                ElementsAre(L"[不存在]", L"[不存在]", L"[有效]", L"[已吊销]", L"[有效]"));
    EXPECT_FALSE(Ready(db, dbx));
}

}  // namespace
}  // namespace certvane
