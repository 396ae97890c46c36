#include "cli/JsonReport.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using nlohmann::json;

MachineFacts SampleFacts() {
    MachineFacts facts;
    facts.windowsVersion = L"Windows 11 专业版 24H2 (26100.2605)";
    facts.bootMode = L"UEFI";
    facts.uefiBoot = true;
    facts.secureBootEnabled = true;
    facts.bitLocker = L"已启用";
    // A db of bytes that hold no certificate the matrix knows, read by names alone.
    facts.keys.stores.push_back(
        {L"db", VariableState::Present, FirmwareReadFailure::None, false, 0, ByteBuffer(64, 0xEE)});
    facts.dbNames = {L"Windows UEFI CA 2023"};
    test::ScriptedMachine machine = test::NormalWindows11();
    machine.AssignLetter(L'S', test::Windows11::Esp);
    machine.PutFile(L"S:\\EFI\\Microsoft\\Boot\\bootmgfw.efi",
                    test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    facts.bootFiles.current =
        InspectBootFile(machine, L"S:\\EFI\\Microsoft\\Boot\\bootmgfw.efi", L"bootmgfw.efi");
    facts.servicing = {{"UEFICA2023Status", std::wstring(L"InProgress")},
                       {"UEFICA2023Error", std::uint32_t{0}},
                       {"WindowsUEFICA2023Capable", RegistryValue{}}};
    facts.availableUpdates = std::uint32_t{0x5944};
    return facts;
}

std::string ReportOf(const MachineFacts& facts, int exitCode) {
    test::ScriptedMachine crypto;
    return JsonReport(facts, AssessMachine(crypto, facts, BuiltInReferenceLists()), exitCode);
}

TEST(JsonReport, StatesEveryFactAsData) {
    const json report = json::parse(ReportOf(SampleFacts(), 1));
    EXPECT_EQ(report["environment"]["windowsPE"], false);
    EXPECT_EQ(report["environment"]["windowsVersion"], "Windows 11 专业版 24H2 (26100.2605)");
    EXPECT_TRUE(report["environment"]["offlineWindowsDirectory"].is_null());
    EXPECT_EQ(report["bootMode"], "UEFI");
    EXPECT_EQ(report["secureBootEnabled"], true);
    EXPECT_EQ(report["bitLocker"], "已启用");
    EXPECT_EQ(report["db"]["names"], json::array({"Windows UEFI CA 2023"}));
    EXPECT_EQ(report["kek"]["readable"], false);
    EXPECT_EQ(report["readiness"]["exitCode"], 1);
    EXPECT_EQ(report["readiness"]["ca2023Ready"], false);
    EXPECT_EQ(report["readiness"]["bootManagerTrusted"], false);
    EXPECT_EQ(report["bootFiles"][0]["trusted"], false);
}

// What an administrator checks first; the CLI only reads it, and suspends nothing.
TEST(JsonReport, StatesTheBitLockerProtectorsAndTheSuspension) {
    MachineFacts facts = SampleFacts();
    EXPECT_TRUE(json::parse(ReportOf(facts, 1))["bitLockerDetail"].is_null());
    facts.bitLockerDetail = BitLockerDetail{L"C:", true, false, true, {1, 3, 42}, true, 2};
    const json detail = json::parse(ReportOf(facts, 1))["bitLockerDetail"];
    EXPECT_EQ(detail["drive"], "C:");
    EXPECT_EQ(detail["protectionOn"], false);
    EXPECT_EQ(detail["protectors"], json::array({"tpm", "recoveryPassword", "unknown"}));
    EXPECT_EQ(detail["hasRecoveryPassword"], true);
    EXPECT_EQ(detail["suspendCount"], 2);
    // Protectors that could not be read are unknown, not none.
    facts.bitLockerDetail = BitLockerDetail{L"C:", true, true, false, {}, false, std::nullopt};
    const json unknown = json::parse(ReportOf(facts, 1))["bitLockerDetail"];
    EXPECT_TRUE(unknown["protectors"].is_null());
    EXPECT_TRUE(unknown["hasRecoveryPassword"].is_null());
    EXPECT_TRUE(unknown["suspendCount"].is_null());
}

TEST(JsonReport, ReadinessSaysWhatIsMissingAndWhatCannotBeTold) {
    const json readiness = json::parse(ReportOf(SampleFacts(), 1))["readiness"];
    EXPECT_EQ(readiness["firmwareReady"], "not-ready");
    // The name alone is in db: Microsoft's certificate is not.
    EXPECT_EQ(
        readiness["missing"],
        json::array({{{"store", "db"}, {"key", "windows-uefi-ca-2023"}, {"reason", "absent"}}}));
    EXPECT_TRUE(readiness["kekReady"].is_null());
    EXPECT_EQ(readiness["trustsThirdPartyCa2011"], false);
    EXPECT_EQ(readiness["wouldBoot"], false);
    EXPECT_EQ(readiness["ca2023Ready"], false);
}

TEST(JsonReport, CertificatesCarryStableKeysStatusWordsAndStates) {
    const json certs = json::parse(ReportOf(SampleFacts(), 1))["certificates"];
    ASSERT_EQ(certs.size(), 5u);
    EXPECT_EQ(certs[0]["key"], "microsoft-windows-production-pca-2011");
    EXPECT_EQ(certs[0]["state"], "absent");
    EXPECT_EQ(certs[0]["status"], "[不存在]");
    EXPECT_EQ(certs[2]["key"], "windows-uefi-ca-2023");
    EXPECT_EQ(certs[2]["state"], "valid");
    EXPECT_EQ(certs[4]["key"], "microsoft-option-rom-uefi-ca-2023");
    EXPECT_EQ(certs[4]["description"], "硬件固件扩展卡 证书");
}

TEST(JsonReport, BootFilesAndServicingValuesKeepTheirTypes) {
    const json report = json::parse(ReportOf(SampleFacts(), 2));
    const json& file = report["bootFiles"][0];
    EXPECT_EQ(file["role"], "current");
    EXPECT_EQ(file["path"], "S:\\EFI\\Microsoft\\Boot\\bootmgfw.efi");
    EXPECT_EQ(file["generation"], "2011");
    EXPECT_EQ(file["verdict"], "否（固件不信任此签名）");
    EXPECT_EQ(report["servicing"]["values"]["UEFICA2023Status"], "InProgress");
    EXPECT_EQ(report["servicing"]["values"]["UEFICA2023Error"], 0);
    EXPECT_TRUE(report["servicing"]["values"]["WindowsUEFICA2023Capable"].is_null());
    EXPECT_EQ(report["servicing"]["availableUpdates"], 0x5944);
}

}  // namespace
}  // namespace certvane::cli
