// The console companion end to end on scripted machines, with images captured from
// Microsoft's published objects.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/Utf8.h"
#include "report/StatusReport.h"
#include "tests/cli/CliFixture.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using test::Bytes;
using test::Concat;
using test::ScriptedMachine;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST_F(CliRunTest, PrintsExactlyTheStatusReportAsUtf8) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.decodeCertificate = test::DerSubjectCommonName;
    const std::wstring db = WriteFile("db.bin", RealDbFull());
    // The report the window would show for the same machine and images.
    std::wstring expected;
    {
        auto prepared = std::get<PreparedCommand>(PrepareCommand({L"--db", db}));
        CapturingMachine reference(std::move(prepared.captured), machine);
        reference.decodeCertificate = test::DerSubjectCommonName;
        expected = ComposeStatusReport(reference);
    }
    const CliResult result = Run({L"--db", db}, machine);
    EXPECT_EQ(result.out, ToUtf8(expected));
    EXPECT_THAT(result.out,
                HasSubstr("  [有效] Microsoft Option ROM UEFI CA 2023 [硬件固件扩展卡 证书]\r\n"));
    EXPECT_EQ(result.exitCode, 0);  // boot manager signed under Windows UEFI CA 2023
    EXPECT_THAT(result.err, IsEmpty());
}

TEST_F(CliRunTest, ExitCodesFollowTheCapturedDatabasesAndTheBootManager) {
    const std::wstring db2011 = WriteFile("db2011.bin", RealDb2011());
    const std::wstring dbFull = WriteFile("dbfull.bin", RealDbFull());
    const std::wstring dbxRevoking = WriteFile("dbx.bin", RealDbxRevoking2011());
    const std::wstring dbxRevoking2023 =
        WriteFile("dbx2023.bin", test::RealUpdateLists("db-update-microsoft-uefi-ca-2023.bin"));

    // A boot manager of 2023 on a db of 2011 would not start.
    EXPECT_EQ(Run({L"--db", db2011}, test::NormalWindows11()).exitCode, 4);
    EXPECT_EQ(Run({L"--db", db2011}, Windows11BootingWith(L"Microsoft Windows Production PCA 2011"))
                  .exitCode,
              1);
    EXPECT_EQ(Run({L"--db", dbFull, L"--dbx", dbxRevoking2023}, test::NormalWindows11()).exitCode,
              1);
    EXPECT_EQ(Run({L"--db", dbFull, L"--dbx", dbxRevoking}, test::NormalWindows11()).exitCode, 0);
    EXPECT_EQ(Run({L"--db", dbFull}, Windows11BootingWith(L"Microsoft Windows Production PCA 2011"))
                  .exitCode,
              2);
    // An authority db does not hold starts nothing.
    EXPECT_EQ(Run({L"--db", dbFull}, Windows11BootingWith(L"Contoso Boot CA")).exitCode, 4);
    // Microsoft's 2024 dbx revokes PCA 2011: a boot manager signed under it is not trusted,
    // in the JSON as in the report, and the machine would not boot.
    const CliResult revoked = Run({L"--json", L"--db", dbFull, L"--dbx", dbxRevoking},
                                  Windows11BootingWith(L"Microsoft Windows Production PCA 2011"));
    EXPECT_EQ(revoked.exitCode, 4);
    const auto json = nlohmann::json::parse(revoked.out);
    EXPECT_EQ(json["bootFiles"][0]["verdict"], "否（固件不信任此签名）");
    EXPECT_EQ(json["bootFiles"][0]["trusted"], false);
    EXPECT_EQ(json["readiness"]["bootManagerTrusted"], false);
    EXPECT_EQ(Run({}, test::LegacyBiosMachine()).exitCode, 3);
    // Secure Boot off changes nothing in the code.
    ScriptedMachine secureBootOff = test::NormalWindows11();
    secureBootOff.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                                   L"UEFISecureBootEnabled", test::DwordValue(0));
    const CliResult off = Run({L"--db", dbFull}, secureBootOff);
    EXPECT_EQ(off.exitCode, 0);
    EXPECT_THAT(off.out, HasSubstr("  安全启动 状态: 未启用\r\n"));
}

TEST_F(CliRunTest, InsideWindowsPeTheOfflineBootManagerDecides) {
    const std::wstring dbFull = WriteFile("db.bin", RealDbFull());
    const std::wstring kekBoth =
        WriteFile("kek.bin", test::RealStore({test::RealCert::Kek2011, test::RealCert::Kek2023}));
    // The offline installation on C: boots a manager signed under PCA 2011.
    EXPECT_EQ(Run({L"--db", dbFull, L"--kek", kekBoth}, test::WinPeWithOfflineOnC()).exitCode, 2);
    // On the USB disk it is signed under Windows UEFI CA 2023.
    EXPECT_EQ(Run({L"--db", dbFull, L"--kek", kekBoth}, test::WinPeWithOfflineOnUsb()).exitCode, 0);
    // The medium's own KEK of 2011 proves the firmware not ready.
    EXPECT_EQ(Run({L"--db", dbFull}, test::WinPeWithOfflineOnUsb()).exitCode, 1);
    // Without an installation nothing can be said about one.
    EXPECT_EQ(Run({L"--db", dbFull, L"--kek", kekBoth}, test::WinPeBase()).exitCode, 3);
}

TEST_F(CliRunTest, TheEfivarfsFormIsAcceptedLikeTheRawOne) {
    Bytes efivarfs;
    test::AppendLe32(efivarfs, 0x27);
    const std::wstring file = WriteFile("db-efivarfs", Concat({efivarfs, RealDbFull()}));
    const CliResult result = Run({L"--db", file}, test::NormalWindows11());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_THAT(result.out,
                HasSubstr("  [有效] Windows UEFI CA 2023 [新版 Windows 系统文件 证书]\r\n"));
}

TEST_F(CliRunTest, JsonStatesTheFactsTheServicingValuesAndTheKek) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\Servicing",
                             L"UEFICA2023Status", test::StringValue(L"Updated"));
    machine.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\Servicing",
                             L"UEFICA2023Error", test::DwordValue(0));
    machine.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot", L"AvailableUpdates",
                             test::DwordValue(0x4000));
    const std::wstring db = WriteFile("db.bin", RealDb2011());
    const std::wstring kek =
        WriteFile("kek.bin", test::X509List(test::RealCertificate("microsoft-uefi-ca-2023.der")));
    const CliResult result = Run({L"--json", L"--db", db, L"--kek", kek}, machine);
    ASSERT_THAT(result.err, IsEmpty());
    const auto json = nlohmann::json::parse(result.out);
    // Its boot manager of 2023 would not start on a db of 2011.
    EXPECT_EQ(json["readiness"]["exitCode"], 4);
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_EQ(json["readiness"]["firmwareReady"], "not-ready");
    EXPECT_EQ(json["readiness"]["kekReady"], false);
    EXPECT_EQ(json["readiness"]["trustsThirdPartyCa2011"], true);
    EXPECT_EQ(json["readiness"]["wouldBoot"], false);
    EXPECT_EQ(json["readiness"]["missing"].size(), 4u);
    EXPECT_EQ(json["readiness"]["missing"][0],
              nlohmann::json({{"store", "KEK"},
                              {"key", "microsoft-corporation-kek-2k-ca-2023"},
                              {"reason", "absent"}}));
    EXPECT_EQ(json["certificates"][0]["state"], "valid");
    EXPECT_EQ(json["certificates"][2]["state"], "absent");
    EXPECT_EQ(json["db"]["names"].size(), 2u);
    EXPECT_EQ(json["kek"]["names"], nlohmann::json::array({"Microsoft UEFI CA 2023"}));
    EXPECT_EQ(json["kek"]["hasMicrosoftKek2023"], false);
    EXPECT_EQ(json["servicing"]["values"]["UEFICA2023Status"], "Updated");
    EXPECT_EQ(json["servicing"]["values"]["UEFICA2023Error"], 0);
    EXPECT_TRUE(json["servicing"]["values"]["WindowsUEFICA2023Capable"].is_null());
    EXPECT_EQ(json["servicing"]["availableUpdates"], 0x4000);
    ASSERT_EQ(json["bootFiles"].size(), 1u);
    EXPECT_EQ(json["bootFiles"][0]["signer"], "Windows UEFI CA 2023");
    EXPECT_EQ(json["bootFiles"][0]["generation"], "2023");
    EXPECT_EQ(json["bootFiles"][0]["verdict"], "否（固件不信任此签名）");
    EXPECT_EQ(json["environment"]["windowsPE"], false);
}

TEST_F(CliRunTest, JsonInsideWindowsPeListsBothBootFiles) {
    const CliResult result = Run({L"--json"}, test::WinPeWithOfflineOnC());
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["environment"]["windowsPE"], true);
    EXPECT_EQ(json["environment"]["offlineWindowsDirectory"], "C:\\Windows");
    ASSERT_EQ(json["bootFiles"].size(), 2u);
    EXPECT_EQ(json["bootFiles"][1]["role"], "offline");
    EXPECT_EQ(json["bootFiles"][1]["generation"], "2011");
}

TEST_F(CliRunTest, NamesTheSigningAuthorityOfOneEfiFile) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(L"C:\\loaders\\old.efi",
                    test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    machine.PutFile(L"C:\\loaders\\unsigned.efi");
    machine.PutFile(L"C:\\loaders\\new.efi", test::SignedFile(L"Windows UEFI CA 2023"));
    machine.PutFile(L"C:\\loaders\\other.efi", test::SignedFile(L"Contoso Loader CA"));
    const std::wstring db = WriteFile("db.bin", RealDbFull());
    const CliResult old = Run({L"--efi", L"C:\\loaders\\old.efi", L"--db", db}, machine);
    EXPECT_EQ(old.exitCode, 2);
    const Sha256Digest hash =
        *AuthenticodeSha256(*test::SignedFile(L"Microsoft Windows Production PCA 2011").content);
    // The generation with the authority it is read from, not a name standing for the generation.
    EXPECT_EQ(old.out,
              "Signer: Microsoft Windows Production PCA 2011\r\n"
              "Generation: 2011 (Microsoft Windows Production PCA 2011)\r\n"
              "Signature 1: Microsoft Windows Production PCA 2011, 2011, sha256, verifies against "
              "db: yes, revoked: no (accepted)\r\n"
              "Authenticode SHA-256: " +
                  HexOf(hash) +
                  "\r\n"
                  "Boot verdict: 是\r\n"
                  "Authority trusted by db and dbx: yes\r\n"
                  "File hash revoked in dbx: no\r\n"
                  "Would boot: yes\r\n");
    EXPECT_EQ(Run({L"--efi", L"C:\\loaders\\new.efi"}, machine).exitCode, 0);
    // An authority of neither generation that db does not hold: signed, and it would not boot.
    EXPECT_EQ(Run({L"--efi", L"C:\\loaders\\other.efi"}, machine).exitCode, 4);
    const CliResult unsigned_ = Run({L"--efi", L"C:\\loaders\\unsigned.efi"}, machine);
    EXPECT_EQ(unsigned_.exitCode, 3);
    // A file that is there but cannot be read is no unsigned file.
    test::ScriptedFile locked = test::SignedFile(L"Windows UEFI CA 2023");
    locked.unreadable = true;
    machine.PutFile(L"C:\\loaders\\locked.efi", locked);
    const CliResult unreadable = Run({L"--efi", L"C:\\loaders\\locked.efi"}, machine);
    EXPECT_EQ(unreadable.exitCode, 64);
    EXPECT_THAT(unreadable.out, IsEmpty());
    EXPECT_EQ(unreadable.err,
              "certvane-cli: --efi file 'C:\\loaders\\locked.efi' cannot be read\n");
    const CliResult missing = Run({L"--efi", L"C:\\loaders\\none.efi"}, machine);
    EXPECT_EQ(missing.exitCode, 64);
    EXPECT_THAT(missing.out, IsEmpty());
    EXPECT_EQ(missing.err, "certvane-cli: --efi file 'C:\\loaders\\none.efi' cannot be read\n");
}

TEST_F(CliRunTest, BadFilesAndOptionsAreUsageErrorsOnOneLine) {
    const std::wstring notDatabase =
        WriteFile("cert.der", test::RealCertificate("windows-uefi-ca-2023.der"));
    const std::wstring empty = WriteFile("empty", {});
    const std::wstring huge = WriteFile("huge", Bytes(MaxFirmwareVariableSize + 5, 0));
    const std::vector<std::vector<std::wstring>> commands = {
        {L"--db", notDatabase}, {L"--dbx", empty},
        {L"--kek", huge},       {L"--db", (folder_ / "absent.bin").wstring()},
        {L"--frobnicate"},      {L"--db"},
    };
    for (const auto& args : commands) {
        const CliResult result = Run(args, test::NormalWindows11());
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_THAT(result.out, IsEmpty());
        ASSERT_FALSE(result.err.empty());
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
        EXPECT_EQ(result.err.rfind("certvane-cli: ", 0), 0u) << result.err;
    }
}

TEST_F(CliRunTest, HelpDocumentsTheExitCodes) {
    const CliResult result = Run({L"--help"}, test::NormalWindows11());
    EXPECT_EQ(result.exitCode, 0);
    for (const char* code :
         {"  64  usage error", "  5   internal failure", "  3   db cannot be read",
          "  4   the boot manager", "  1   KEK, db or dbx prove", "  3   readiness undetermined",
          "  2   the boot manager boots under a 2011",
          "  0   the boot manager boots under Windows"}) {
        EXPECT_THAT(result.out, HasSubstr(code));
    }
}

}  // namespace
}  // namespace certvane::cli
