// "Would it still boot": Microsoft's signed updates applied to db and dbx before judging.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "inspect/Authenticode.h"
#include "inspect/SignedUpdate.h"
#include "inspect/X509Fields.h"
#include "tests/cli/CliFixture.h"
#include "tests/cli/KeyHierarchies.h"
#include "tests/support/PeImages.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using nlohmann::json;
using test::Bytes;
using test::ScriptedMachine;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string UpdatePath(const std::string& name) {
    return std::string(CERTVANE_REALDATA_DIR) + "/updates/" + name;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

TEST(SignedUpdate, ReadsTheListsAndSignerOfEveryRealUpdate) {
    for (const char* name :
         {"db-update-windows-uefi-ca-2023.bin", "dbx-update-2024.bin", "dbx-update-amd64.bin",
          "dbx-update-svn.bin", "kek-update-ami-test-pk1.bin"}) {
        const auto update = ReadSignedUpdate(test::ReadWholeFile(UpdatePath(name)));
        ASSERT_TRUE(update) << name;
        EXPECT_EQ(update->lists, test::RealUpdateLists(name)) << name;
    }
    const auto kek =
        ReadSignedUpdate(test::ReadWholeFile(UpdatePath("kek-update-ami-test-pk1.bin")));
    ASSERT_EQ(kek->signerCertificates.size(), 1u);
    EXPECT_EQ(ReadX509Fields(kek->signerCertificates[0])->subjectCommonName,
              L"DO NOT TRUST - AMI Test PK");
}

TEST(SignedUpdate, RefusesFilesThatAreNoSignedUpdate) {
    const Bytes real = test::ReadWholeFile(UpdatePath("dbx-update-2024.bin"));
    EXPECT_FALSE(ReadSignedUpdate({}));
    EXPECT_FALSE(ReadSignedUpdate(std::span(real).first(39)));
    EXPECT_FALSE(ReadSignedUpdate(std::span(real).first(real.size() - 1)));  // lists cut short
    Bytes wrongType = real;
    wrongType[24] ^= 1;  // the certificate type GUID
    EXPECT_FALSE(ReadSignedUpdate(wrongType));
    Bytes longSignature = real;
    longSignature[19] = 0x7F;  // a signature longer than the file
    EXPECT_FALSE(ReadSignedUpdate(longSignature));
    EXPECT_FALSE(ReadSignedUpdate(test::RealUpdateLists("dbx-update-2024.bin")));  // no header
}

class WouldItBootTest : public CliRunTest {
  protected:
    json Json(std::vector<std::wstring> args, const ScriptedMachine& machine, int exitCode) {
        args.insert(args.begin(), L"--json");
        const CliResult result = Run(args, machine);
        EXPECT_THAT(result.err, IsEmpty());
        EXPECT_EQ(result.exitCode, exitCode);
        return json::parse(result.out);
    }
};

TEST_F(WouldItBootTest, The2024DbxStopsABootManagerSignedUnderPca2011) {
    const std::wstring dbx2024 = Wide(UpdatePath("dbx-update-2024.bin"));
    ScriptedMachine pca2011 = FullyUpdatedMachine();
    pca2011.PutFile(
        pca2011.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    EXPECT_EQ(Json({}, pca2011, 2)["bootFiles"][0]["wouldBoot"], true);
    // The question the option exists for: after the update this machine would not boot.
    const json after = Json({L"--apply-dbx", dbx2024}, pca2011, 4);
    EXPECT_EQ(after["bootFiles"][0]["wouldBoot"], false);
    EXPECT_EQ(after["bootFiles"][0]["verdict"], "否（固件不信任此签名）");
    EXPECT_EQ(after["dbxCurrency"]["pca2011Revoked"], true);
    EXPECT_EQ(after["readiness"]["bootManagerTrusted"], false);
    // The same update leaves a boot manager signed under Windows UEFI CA 2023 booting.
    const json signed2023 = Json({L"--apply-dbx", dbx2024}, FullyUpdatedMachine(), 0);
    EXPECT_EQ(signed2023["bootFiles"][0]["wouldBoot"], true);
    // The plain report answers alike.
    EXPECT_THAT(Run({L"--apply-dbx", dbx2024}, pca2011).out,
                HasSubstr("Windows 符合引导系统条件: 否（固件不信任此签名）"));
}

TEST_F(WouldItBootTest, UpdatesApplyInOrderOnCapturedAndMissingImages) {
    // A 2011 db brought to readiness by Microsoft's three db updates.
    const std::wstring db2011 = WriteFile("db.bin", RealDb2011());
    std::vector<std::wstring> args{L"--db", db2011};
    for (const char* name :
         {"db-update-windows-uefi-ca-2023.bin", "db-update-microsoft-uefi-ca-2023.bin",
          "db-update-option-rom-uefi-ca-2023.bin"}) {
        args.insert(args.end(), {L"--apply-db", Wide(UpdatePath(name))});
    }
    const json ready = Json(args, test::NormalWindows11(), 0);
    EXPECT_EQ(ready["db"]["names"].size(), 5u);
    EXPECT_EQ(ready["variables"]["db"]["source"], "file");
    EXPECT_EQ(ready["variables"]["db"]["updatesApplied"], 3);
    EXPECT_EQ(ready["variables"]["dbx"]["updatesApplied"], 0);
    EXPECT_EQ(ready["readiness"]["ca2023Ready"], true);
    // A machine without dbx gets the update as its whole dbx.
    ScriptedMachine withoutDbx = test::NormalWindows11();
    withoutDbx.firmwareVariables.erase({L"dbx", GuidToText(ImageSecurityDatabaseGuid)});
    const json fresh =
        Json({L"--apply-dbx", Wide(UpdatePath("dbx-update-svn.bin"))}, withoutDbx, 0);
    EXPECT_EQ(fresh["dbxCurrency"]["svns"][0]["held"], "9.0");
    EXPECT_EQ(fresh["variables"]["dbx"]["updatesApplied"], 1);
    // One the firmware refuses stays refused: nothing is judged on the update alone.
    ScriptedMachine refusing = test::LegacyBiosMachine();
    refusing.firmwareFailures[{L"dbx", GuidToText(ImageSecurityDatabaseGuid)}] =
        FirmwareReadFailure::NoAccess;
    const json refused =
        Json({L"--apply-dbx", Wide(UpdatePath("dbx-update-svn.bin"))}, refusing, 3);
    EXPECT_EQ(refused["variables"]["dbx"]["state"], "unreadable");
    EXPECT_EQ(refused["variables"]["dbx"]["updatesApplied"], 0);
    EXPECT_TRUE(refused["dbxCurrency"]["svns"][0]["held"].is_null());
    // An update that is no update is a usage error.
    const CliResult bad = Run({L"--apply-db", db2011}, test::NormalWindows11());
    EXPECT_EQ(bad.exitCode, 64);
    EXPECT_THAT(bad.err, HasSubstr("is not a signed variable update"));
}

TEST_F(WouldItBootTest, ABootFileWhoseOwnHashIsInDbxIsRevoked) {
    ScriptedMachine machine = FullyUpdatedMachine();
    const test::ScriptedFile bootmgr = test::SignedFile(L"Windows UEFI CA 2023");
    const Sha256Digest hash = *AuthenticodeSha256(*bootmgr.content);
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        bootmgr);
    machine.PutFile(L"C:\\loaders\\bootmgfw.efi", bootmgr);
    const json before = Json({}, machine, 0);
    EXPECT_EQ(before["bootFiles"][0]["authenticodeSha256"], HexOf(hash));
    EXPECT_EQ(before["bootFiles"][0]["hashRevoked"], false);

    Bytes revoking;
    test::AppendList(revoking, {.type = test::Sha256Type}, {Bytes(hash.begin(), hash.end())});
    const std::wstring dbx = WriteFile("dbx.bin", revoking);
    const json after = Json({L"--dbx", dbx}, machine, 4);
    EXPECT_EQ(after["bootFiles"][0]["trusted"], true);  // the authority itself is still trusted
    EXPECT_EQ(after["bootFiles"][0]["hashRevoked"], true);
    EXPECT_EQ(after["bootFiles"][0]["wouldBoot"], false);
    // The verdict says what the firmware does: it refuses the file.
    EXPECT_EQ(after["bootFiles"][0]["verdict"], "否（固件不信任此签名）");
    EXPECT_EQ(after["readiness"]["bootManagerTrusted"], false);
    EXPECT_EQ(after["readiness"]["wouldBoot"], false);
    EXPECT_EQ(Run({L"--dbx", dbx}, machine).exitCode, 4);  // the plain report decides alike

    const CliResult efi = Run({L"--efi", L"C:\\loaders\\bootmgfw.efi", L"--dbx", dbx}, machine);
    EXPECT_EQ(efi.exitCode, 4);  // signed, and the firmware would not start it
    EXPECT_THAT(efi.out, HasSubstr("Authenticode SHA-256: " + HexOf(hash) + "\r\n"));
    EXPECT_THAT(efi.out, HasSubstr("File hash revoked in dbx: yes\r\nWould boot: no\r\n"));
    EXPECT_THAT(efi.out, HasSubstr("Boot verdict: 否（固件不信任此签名）\r\n"));
    EXPECT_THAT(Run({L"--dbx", dbx}, machine).out,
                HasSubstr("  Windows 符合引导系统条件: 否（固件不信任此签名）\r\n"));
}

TEST_F(WouldItBootTest, EfiIsJudgedAgainstTheUpdatedDatabases) {
    ScriptedMachine machine = FullyUpdatedMachine();
    machine.PutFile(L"C:\\loaders\\old.efi",
                    test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    EXPECT_THAT(Run({L"--efi", L"C:\\loaders\\old.efi"}, machine).out,
                HasSubstr("Would boot: yes"));
    const CliResult after = Run({L"--efi", L"C:\\loaders\\old.efi", L"--apply-dbx",
                                 Wide(UpdatePath("dbx-update-2024.bin"))},
                                machine);
    EXPECT_EQ(after.exitCode, 4);
    EXPECT_THAT(after.out, HasSubstr("Authority trusted by db and dbx: no\r\n"));
    EXPECT_THAT(after.out, HasSubstr("Would boot: no\r\n"));
}

}  // namespace
}  // namespace certvane::cli
