// The key hierarchy keys of certvane-cli's JSON report, on scripted machines with Microsoft's
// real certificates and updates.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "assess/CertificateMatrix.h"
#include "assess/DbxCurrency.h"
#include "assess/KeyReadiness.h"
#include "cli/Utf8.h"
#include "inspect/KeyStores.h"
#include "inspect/Sha.h"
#include "tests/cli/CliFixture.h"
#include "tests/cli/KeyHierarchies.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using nlohmann::json;
using test::Bytes;
using test::ScriptedMachine;
using ::testing::IsEmpty;

const std::wstring kGlobal = GuidToText(EfiGlobalVariableGuid);

using KeyHierarchyTest = CliRunTest;

TEST_F(KeyHierarchyTest, EveryVariableIsPresentMissingOrUnreadableWithItsSource) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.SetFirmwareVariable(L"SecureBoot", kGlobal, {1});
    machine.SetFirmwareVariable(L"SetupMode", kGlobal, {0});
    machine.SetFirmwareVariable(
        L"KEKDefault", kGlobal,
        test::X509List(test::RealCertificate("microsoft-corporation-kek-ca-2011.der")));
    machine.firmwareFailures[{L"dbxDefault", kGlobal}] = FirmwareReadFailure::NoAccess;
    machine.firmwareVariables.erase({L"KEK", kGlobal});
    const std::wstring pk =
        WriteFile("pk.bin", test::X509List(test::RealCertificate("windows-oem-devices-pk.der")));

    const json report = Json({L"--pk", pk}, machine);
    EXPECT_EQ(report["schemaVersion"], 5);
    const json& variables = report["variables"];
    EXPECT_EQ(variables["PK"]["state"], "present");
    EXPECT_EQ(variables["PK"]["source"], "file");
    EXPECT_EQ(variables["db"]["state"], "present");
    EXPECT_EQ(variables["db"]["source"], "liveFirmware");
    EXPECT_EQ(variables["KEKDefault"]["state"], "present");
    EXPECT_EQ(variables["KEK"]["state"], "missing");
    EXPECT_TRUE(variables["KEK"]["error"].is_null());
    EXPECT_EQ(variables["dbxDefault"]["state"], "unreadable");
    EXPECT_EQ(variables["dbxDefault"]["error"], "noAccess");
    EXPECT_EQ(variables["SecureBoot"]["value"], 1);
    EXPECT_EQ(variables["SetupMode"]["value"], 0);
    for (const char* name : {"PK", "KEK", "db", "dbx", "PKDefault", "KEKDefault", "dbDefault",
                             "dbxDefault", "SecureBoot", "SetupMode"}) {
        EXPECT_TRUE(variables.contains(name)) << name;
    }
}

TEST_F(KeyHierarchyTest, ALegacyBiosMachineHasNoVariableServices) {
    // Windows answers every variable read of a legacy BIOS boot with ERROR_INVALID_FUNCTION.
    const json report = Json({}, test::LegacyBiosMachine());
    const json& variables = report["variables"];
    EXPECT_EQ(variables["PK"]["state"], "unreadable");
    EXPECT_EQ(variables["PK"]["error"], "notSupported");
    EXPECT_EQ(variables["SecureBoot"]["state"], "unreadable");
    EXPECT_TRUE(variables["SecureBoot"]["value"].is_null());
    EXPECT_EQ(report["readiness"]["firmwareReady"], "undetermined");
    EXPECT_TRUE(report["readiness"]["kekReady"].is_null());
    EXPECT_TRUE(report["readiness"]["trustsThirdPartyCa2011"].is_null());
}

TEST_F(KeyHierarchyTest, InsideWindowsPeTheVariablesAreTheLiveFirmwares) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    machine.SetFirmwareVariable(
        L"PK", kGlobal, test::X509List(test::RealCertificate("windows-oem-devices-pk.der")));
    const json report = Json({}, machine);
    EXPECT_EQ(report["environment"]["windowsPE"], true);
    EXPECT_EQ(report["variables"]["PK"]["source"], "liveFirmware");
    EXPECT_EQ(report["variables"]["db"]["source"], "liveFirmware");
    EXPECT_EQ(report["platformKey"]["subject"], "Windows OEM Devices PK");
}

TEST_F(KeyHierarchyTest, ACapturedPkIsCheckedLikeTheOtherImages) {
    const std::wstring notDatabase =
        WriteFile("pk.der", test::RealCertificate("windows-oem-devices-pk.der"));
    const CliResult result = Run({L"--json", L"--pk", notDatabase}, test::NormalWindows11());
    EXPECT_EQ(result.exitCode, 64);
    EXPECT_THAT(result.out, IsEmpty());
    EXPECT_THAT(result.err, ::testing::HasSubstr("--pk file"));
}

}  // namespace
}  // namespace certvane::cli

namespace certvane::cli {
namespace {

VariableFact Store(std::wstring_view name, Bytes image) {
    VariableFact fact;
    fact.name = name;
    fact.image = std::move(image);
    return fact;
}

TEST(CertificateMatrix, StatesNamesThumbprintExpiryAndWhichKnownCertificate) {
    const Bytes kek2011 = test::RealCertificate("microsoft-corporation-kek-ca-2011.der");
    Bytes padded;
    test::AppendList(
        padded,
        {.type = CertX509Guid, .entrySize = static_cast<std::uint32_t>(16 + kek2011.size() + 8)},
        {kek2011});
    KeyStores keys;
    keys.stores = {
        Store(L"KEK", test::Concat({padded, test::RealUpdateLists("kek-update-ami-test-pk1.bin")})),
        Store(L"db", test::Concat({test::X509List({0x30, 0x03, 0x02, 0x01, 0x05}),
                                   test::RealUpdateLists("dbx-update-amd64.bin")}))};

    const auto matrix = CertificateMatrix(keys, "2026-07-01");
    ASSERT_EQ(matrix.size(), 3u);  // the hash list has no certificates
    EXPECT_EQ(matrix[0].store, L"KEK");
    ASSERT_TRUE(matrix[0].fields);
    EXPECT_EQ(matrix[0].fields->subjectCommonName, L"Microsoft Corporation KEK CA 2011");
    EXPECT_EQ(matrix[0].fields->notAfter, "2026-06-24");
    // The padding after the certificate is not part of it.
    EXPECT_EQ(matrix[0].thumbprint, HexOf(Sha1Of(kek2011)));
    EXPECT_EQ(matrix[0].known, &Kek2011);
    EXPECT_TRUE(matrix[0].knownByThumbprint);
    EXPECT_TRUE(matrix[0].expired);
    EXPECT_EQ(matrix[1].known, &Kek2023);
    EXPECT_FALSE(matrix[1].expired);
    EXPECT_EQ(matrix[1].fields->issuerCommonName, L"Microsoft RSA Devices Root CA 2021");
    // No certificate at all: stated with its thumbprint only.
    EXPECT_EQ(matrix[2].store, L"db");
    EXPECT_FALSE(matrix[2].fields);
    EXPECT_EQ(matrix[2].known, nullptr);
    EXPECT_FALSE(matrix[2].expired);
    // The day before expiry the same certificate is not expired.
    EXPECT_FALSE(CertificateMatrix(keys, "2026-06-23")[0].expired);
}

TEST(CertificateMatrix, EveryWellKnownThumbprintIsThatOfMicrosoftsFile) {
    const std::pair<const char*, const WellKnownCertificate*> files[] = {
        {"microsoft-windows-production-pca-2011.der", &WellKnownCertificates[0]},
        {"microsoft-corporation-uefi-ca-2011.der", &WellKnownCertificates[1]},
        {"windows-uefi-ca-2023.der", &WellKnownCertificates[2]},
        {"microsoft-uefi-ca-2023.der", &WellKnownCertificates[3]},
        {"microsoft-option-rom-uefi-ca-2023.der", &WellKnownCertificates[4]},
        {"microsoft-corporation-kek-ca-2011.der", &Kek2011},
        {"microsoft-corporation-kek-2k-ca-2023.der", &Kek2023},
    };
    for (const auto& [file, known] : files) {
        const Bytes der = test::RealCertificate(file);
        EXPECT_EQ(HexOf(Sha1Of(der)), known->thumbprint) << file;
        EXPECT_EQ(ReadX509Fields(der)->subjectCommonName, known->subject) << file;
    }
}

TEST_F(KeyHierarchyTest, TheMatrixCoversEveryStoreOfAFullyUpdatedMachine) {
    const json matrix = Json({}, FullyUpdatedMachine())["certificateMatrix"];
    // PK 1, KEK 2, db 5, and the same again in the defaults; dbx holds hashes only.
    ASSERT_EQ(matrix.size(), 16u);
    EXPECT_EQ(matrix[0]["store"], "PK");
    EXPECT_EQ(matrix[0]["subject"], "Windows OEM Devices PK");
    EXPECT_EQ(matrix[0]["known"], nullptr);
    EXPECT_EQ(matrix[2]["store"], "KEK");
    EXPECT_EQ(matrix[2]["known"], "microsoft-corporation-kek-2k-ca-2023");
    EXPECT_EQ(matrix[2]["knownBy"], "thumbprint");
    EXPECT_EQ(matrix[2]["notAfter"], "2038-03-02");
    EXPECT_EQ(matrix[2]["expired"], false);
    EXPECT_EQ(matrix[3]["issuer"], "Microsoft Root Certificate Authority 2010");
    EXPECT_EQ(matrix[15]["store"], "dbDefault");
    EXPECT_EQ(matrix[15]["known"], "microsoft-option-rom-uefi-ca-2023");
}

}  // namespace
}  // namespace certvane::cli

namespace certvane::cli {
namespace {

TEST(PlatformKey, TheBuiltInMapIsMicrosoftsWholeListInLookupOrder) {
    const KekUpdateMap& map = BuiltInReferenceLists().kekMap;
    EXPECT_EQ(map.entries.size(), 484u);
    for (const KekUpdateEntry& entry : map.entries) {
        ASSERT_EQ(map.Find(entry.thumbprint), &entry) << entry.thumbprint;
    }
    EXPECT_EQ(map.Find("0000000000000000000000000000000000000000"), nullptr);
    // The PK that signed the real KEK update is in it, as the update's own signature says.
    const KekUpdateEntry* ami = map.Find(HexOf(Sha1Of(AmiTestPk())));
    ASSERT_NE(ami, nullptr);
    EXPECT_EQ(ami->updateFile, "AMI/KEKUpdate_AMI_PK1.bin");
    EXPECT_EQ(ami->issuedTo, "CN=DO NOT TRUST - AMI Test PK");
}

TEST(PlatformKey, TestKeysAreKnownByTheirNames) {
    for (std::wstring_view name : {L"DO NOT TRUST - AMI Test PK", L"do not ship",
                                   L"Test Certificate", L"Contoso Test PK 2019"}) {
        EXPECT_TRUE(IsTestKeyName(name)) << ToUtf8(name);
    }
    for (std::wstring_view name : {L"Windows OEM Devices PK", L"LENOVO",
                                   L"Trust - Lenovo Certificate", L"MSI SHIP PK", L""}) {
        EXPECT_FALSE(IsTestKeyName(name)) << ToUtf8(name);
    }
}

TEST_F(KeyHierarchyTest, AFullyUpdatedMachineIsReadyAndKeepsItsCertificatesOnAReset) {
    const json report = Json({}, FullyUpdatedMachine());
    const json& kek = report["kekReadiness"];
    EXPECT_EQ(kek["kekHasMicrosoftKek2011"], true);
    EXPECT_EQ(kek["kekHasMicrosoftKek2023"], true);
    EXPECT_EQ(kek["defaultsReadable"], true);
    EXPECT_EQ(kek["kekDefaultHasMicrosoftKek2023"], true);
    EXPECT_EQ(kek["dbDefaultMissing2023"], json::array());
    EXPECT_EQ(kek["resetUndoesUpdate"], false);
    EXPECT_EQ(kek["warnings"], json::array());
    const json& pk = report["platformKey"];
    EXPECT_EQ(pk["subject"], "Windows OEM Devices PK");
    EXPECT_EQ(pk["thumbprint"], HexOf(Sha1Of(test::RealCertificate("windows-oem-devices-pk.der"))));
    EXPECT_EQ(pk["testKey"], false);
    EXPECT_EQ(pk["kekUpdateAvailable"], true);
    EXPECT_EQ(pk["kekUpdateFile"], "Microsoft/KEKUpdate_Microsoft_PK3d8660c0.bin");
    EXPECT_EQ(pk["kekUpdateNeeded"], false);
    EXPECT_EQ(pk["listDate"], "2026-07");
}

TEST_F(KeyHierarchyTest, A2011MachineWithATestPkIsFlagged) {
    const json report = Json({}, Only2011WithTestPk());
    const json& kek = report["kekReadiness"];
    EXPECT_EQ(kek["kekHasMicrosoftKek2011"], true);
    EXPECT_EQ(kek["kekHasMicrosoftKek2023"], false);
    EXPECT_EQ(kek["resetUndoesUpdate"], true);
    const json& pk = report["platformKey"];
    EXPECT_EQ(pk["subject"], "DO NOT TRUST - AMI Test PK");
    EXPECT_EQ(pk["issuer"], "DO NOT TRUST - AMI Test PK");
    EXPECT_EQ(pk["testKey"], true);
    // Microsoft did sign a KEK update for this very test key.
    EXPECT_EQ(pk["kekUpdateAvailable"], true);
    EXPECT_EQ(pk["kekUpdate"], "KEK update available from Windows servicing");
    EXPECT_EQ(pk["kekUpdateNeeded"], true);
    EXPECT_THAT(kek["warnings"].dump(), ::testing::HasSubstr("untrusted test platform key"));
}

TEST_F(KeyHierarchyTest, APkWithoutMicrosoftKekUpdateStallsTheKekStep) {
    ScriptedMachine machine = Only2011WithTestPk();
    machine.SetFirmwareVariable(
        L"PK", kGlobal, test::X509List(test::RealCertificate("microsoft-uefi-ca-2023.der")));
    const json report = Json({}, machine);
    EXPECT_EQ(report["platformKey"]["kekUpdateAvailable"], false);
    EXPECT_TRUE(report["platformKey"]["kekUpdateFile"].is_null());
    EXPECT_EQ(report["platformKey"]["kekUpdate"],
              "no Microsoft KEK update for this PK (the KEK step will stall)");
    EXPECT_EQ(report["platformKey"]["testKey"], false);
    EXPECT_THAT(report["kekReadiness"]["warnings"].dump(), ::testing::HasSubstr("will stall"));
}

TEST_F(KeyHierarchyTest, DefaultsWithout2023CertificatesWarnThatAResetUndoesTheUpdate) {
    const json kek = Json({}, DefaultsWithout2023())["kekReadiness"];
    EXPECT_EQ(kek["kekHasMicrosoftKek2023"], true);
    EXPECT_EQ(kek["kekDefaultHasMicrosoftKek2023"], false);
    EXPECT_EQ(kek["dbDefaultMissing2023"],
              json::array({"windows-uefi-ca-2023", "microsoft-uefi-ca-2023",
                           "microsoft-option-rom-uefi-ca-2023"}));
    EXPECT_EQ(kek["resetUndoesUpdate"], true);
    ASSERT_EQ(kek["warnings"].size(), 1u);
    EXPECT_THAT(kek["warnings"][0].get<std::string>(), ::testing::HasSubstr("reset to defaults"));
}

TEST_F(KeyHierarchyTest, WithoutDefaultsAResetCannotBeJudgedAndNoPkIsStated) {
    const json report = Json({}, test::NormalWindows11());
    EXPECT_EQ(report["kekReadiness"]["defaultsReadable"], false);
    EXPECT_EQ(report["kekReadiness"]["resetUndoesUpdate"], false);
    EXPECT_THAT(report["kekReadiness"]["warnings"].dump(), ::testing::HasSubstr("unknown"));
    EXPECT_EQ(report["platformKey"]["present"], false);
    EXPECT_TRUE(report["platformKey"]["kekUpdate"].is_null());
}

}  // namespace
}  // namespace certvane::cli

namespace certvane::cli {
namespace {

// One SVN entry as Microsoft's dbx update stores it, for `application`.
Bytes SvnList(const DbxSvn& application, std::uint16_t major, std::uint16_t minor,
              std::uint8_t format = 1) {
    Bytes data{format};
    data.insert(data.end(), application.application.begin(), application.application.end());
    data.insert(data.end(),
                {static_cast<std::uint8_t>(minor), static_cast<std::uint8_t>(minor >> 8),
                 static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(major >> 8)});
    data.resize(32, 0);
    const auto owner = GuidToBytes(SvnOwnerGuid);
    Bytes list;
    test::AppendList(list, {.type = test::Sha256Type}, {data});
    std::copy(owner.begin(), owner.end(), list.begin() + 28);  // the builder's filler owner
    return list;
}

TEST(DbxCurrency, TheRealSvnUpdateBringsEveryBootApplicationToTheLatestVersion) {
    const Bytes svnUpdate = test::RealUpdateLists("dbx-update-svn.bin");
    EXPECT_TRUE(DbxHashes(svnUpdate).empty());  // SVN entries are no hashes
    const DbxCurrency currency = AssessDbxCurrency(svnUpdate, {}, BuiltInReferenceLists().dbx);
    ASSERT_EQ(currency.svns.size(), 3u);
    EXPECT_EQ(currency.svns[0].latest->fileName, "bootmgfw.efi");
    ASSERT_TRUE(currency.svns[0].held);
    EXPECT_EQ(currency.svns[0].held->major, 9);
    EXPECT_EQ(currency.svns[0].held->minor, 0);
    for (const SvnState& svn : currency.svns) EXPECT_TRUE(svn.Current()) << svn.latest->fileName;
    EXPECT_EQ(currency.listedHashesHeld, 0u);
    EXPECT_FALSE(currency.Current());
}

TEST(DbxCurrency, TheHighestSvnCountsAndMalformedOnesAreIgnored) {
    const DbxList& list = BuiltInReferenceLists().dbx;
    const DbxSvn& bootmgr = list.svns[0];
    const DbxCurrency older = AssessDbxCurrency(SvnList(bootmgr, 8, 5), {}, list);
    EXPECT_FALSE(older.svns[0].Current());
    const DbxCurrency both =
        AssessDbxCurrency(test::Concat({SvnList(bootmgr, 8, 5), SvnList(bootmgr, 9, 1)}), {}, list);
    EXPECT_EQ(both.svns[0].held->minor, 1);
    EXPECT_TRUE(both.svns[0].Current());
    EXPECT_FALSE(both.svns[1].held);
    EXPECT_FALSE(AssessDbxCurrency(SvnList(bootmgr, 9, 0, 2), {}, list).svns[0].held);
}

TEST_F(KeyHierarchyTest, DbxCurrencyCountsMicrosoftsHashesTheRevocationAndTheVersions) {
    const json before = Json({}, FullyUpdatedMachine())["dbxCurrency"];
    EXPECT_EQ(before["listDate"], "2026-05-21");
    EXPECT_EQ(before["x64HashesListed"], 443);
    EXPECT_EQ(before["x64HashesHeld"], 443);  // Microsoft's amd64 update is the listed set
    EXPECT_EQ(before["pca2011Revoked"], false);
    EXPECT_EQ(before["certificatesHeld"], 0);
    EXPECT_TRUE(before["svns"][0]["held"].is_null());
    EXPECT_EQ(before["svns"][0]["latest"], "9.0");
    EXPECT_EQ(before["current"], false);

    ScriptedMachine revoked = Pca2011Revoked();
    const json afterRevocation = Json({}, revoked)["dbxCurrency"];
    EXPECT_EQ(afterRevocation["pca2011Revoked"], true);
    EXPECT_EQ(afterRevocation["certificatesHeld"], 1);
    EXPECT_EQ(afterRevocation["current"], false);  // no SVNs yet

    revoked.SetFirmwareVariable(
        L"dbx", GuidToText(ImageSecurityDatabaseGuid),
        test::Concat({RealDbxRevoking2011(), test::RealUpdateLists("dbx-update-svn.bin")}));
    const json current = Json({}, revoked)["dbxCurrency"];
    EXPECT_EQ(current["svns"][0]["held"], "9.0");
    EXPECT_EQ(current["svns"][2]["application"], "wdsmgfw.efi");
    EXPECT_EQ(current["current"], true);

    const json legacy = Json({}, test::LegacyBiosMachine())["dbxCurrency"];
    EXPECT_EQ(legacy["dbxState"], "unreadable");
    EXPECT_EQ(legacy["x64HashesHeld"], 0);
}

TEST_F(KeyHierarchyTest, VersionNamesTheDatesOfTheBuiltInLists) {
    const CliResult result = Run({L"--version"}, test::NormalWindows11());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_THAT(result.out, ::testing::HasSubstr("KEK update map: 2026-07 (484 platform keys)"));
    EXPECT_THAT(result.out, ::testing::HasSubstr("dbx list: 2026-05-21 (443 x64 image hashes"));
}

}  // namespace
}  // namespace certvane::cli
