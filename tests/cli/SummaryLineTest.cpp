// The one-line summary for report columns, at each stage of servicing, and the servicing
// keys of the JSON report.
#include "cli/SummaryLine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliRun.h"
#include "tests/support/RealData.h"
#include "tests/support/ServicingEvents.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using test::ScriptedMachine;
using test::ServicingEventXml;

const std::wstring kSecureBootKey = L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot";

// Windows 11 with the 2011 certificates only in db and its boot manager of 2011, both KEKs,
// the servicing task (run once, result 0) and the given request value and events.
ScriptedMachine Servicing(std::optional<std::uint32_t> availableUpdates,
                          std::vector<RenderedEvent> events) {
    ScriptedMachine machine = test::NormalWindows11();
    test::SetRealDb(machine, {test::RealCert::Pca2011, test::RealCert::UefiCa2011});
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(L"Microsoft Windows Production PCA 2011"));
    if (availableUpdates) {
        machine.SetRegistryValue(kSecureBootKey, L"AvailableUpdates",
                                 test::DwordValue(*availableUpdates));
    }
    machine.eventLogs[L"System"] = std::move(events);
    machine.scheduledTasks[std::wstring(SecureBootTaskPath)] = {TaskLookup::Found, true, 45658.5, 0,
                                                                std::nullopt};
    return machine;
}

std::string Summary(const ScriptedMachine& machine) {
    const CliResult result = RunCli<ScriptedMachine>({L"--summary"}, machine);
    EXPECT_TRUE(result.err.empty());
    return result.out;
}

const std::string kDbLacks2023 =
    "not-ready (db windows-uefi-ca-2023 absent, db microsoft-uefi-ca-2023 absent, db "
    "microsoft-option-rom-uefi-ca-2023 absent)";

TEST(SummaryLine, StatesEachStageWhole) {
    EXPECT_EQ(Summary(test::NormalWindows11()),
              "certvane: ready; firmware: ready; stage: not-requested; pending: none; last event: "
              "unavailable; "
              "task: missing\r\n");
    EXPECT_EQ(Summary(Servicing(0x5944, {})),
              "certvane: firmware-not-ready; firmware: " + kDbLacks2023 +
                  "; stage: in-progress; pending: "
                  "db-windows-uefi-ca-2023,db-option-rom-uefi-ca-2023,db-microsoft-uefi-ca-2023,"
                  "kek-2023,boot-manager-2023; last event: none; task: last result 0x00000000\r\n");
    EXPECT_EQ(
        Summary(Servicing(0x4104, {ServicingEventXml(1036, L"2026-11-02T08:00:00.0Z")})),
        "certvane: firmware-not-ready; firmware: " + kDbLacks2023 +
            "; stage: restart-pending; pending: "
            "kek-2023,boot-manager-2023; last event: 1036 db applied at 2026-11-02T08:00:00.0Z; "
            "task: last result 0x00000000\r\n");
    EXPECT_EQ(Summary(Servicing(0x4004, {ServicingEventXml(1803, L"2026-11-03T08:00:00.0Z"),
                                         ServicingEventXml(1803, L"2026-11-02T08:00:00.0Z")})),
              "certvane: firmware-not-ready; firmware: " + kDbLacks2023 +
                  "; stage: kek-stalled; pending: kek-2023; last event: "
                  "1803 no PK-signed KEK for this machine at 2026-11-03T08:00:00.0Z; task: last "
                  "result 0x00000000\r\n");
    EXPECT_EQ(Summary(Servicing(0x4000, {ServicingEventXml(1808, L"2026-11-04T08:00:00.0Z")})),
              "certvane: firmware-not-ready; firmware: " + kDbLacks2023 +
                  "; stage: done; pending: none; last event: 1808 fully "
                  "updated at 2026-11-04T08:00:00.0Z; task: last result 0x00000000\r\n");
    EXPECT_EQ(Summary(Servicing(0x5944, {ServicingEventXml(1032, L"2026-11-02T08:00:00.0Z")})),
              "certvane: firmware-not-ready; firmware: " + kDbLacks2023 +
                  "; stage: blocked; pending: "
                  "db-windows-uefi-ca-2023,db-option-rom-uefi-ca-2023,db-microsoft-uefi-ca-2023,"
                  "kek-2023,boot-manager-2023; last event: 1032 blocked: BitLocker would ask for "
                  "recovery at 2026-11-02T08:00:00.0Z; task: last result 0x00000000\r\n");
    EXPECT_EQ(Summary(Servicing(0x5944, {ServicingEventXml(1802, L"2026-11-02T08:00:00.0Z",
                                                           {{L"SkipReason", L"KI_4"}})})),
              "certvane: firmware-not-ready; firmware: " + kDbLacks2023 +
                  "; stage: blocked; pending: "
                  "db-windows-uefi-ca-2023,db-option-rom-uefi-ca-2023,db-microsoft-uefi-ca-2023,"
                  "kek-2023,boot-manager-2023; last event: 1802 blocked by a known firmware issue "
                  "KI_4 at 2026-11-02T08:00:00.0Z; task: last result 0x00000000\r\n");
}

TEST(SummaryLine, AKekStepWithoutAMicrosoftKekForThePkStalls) {
    // A platform key of no OEM in Microsoft's KEK update map: any certificate will do.
    ScriptedMachine machine = Servicing(0x4004, {});
    machine.decodeCertificate = test::DerSubjectCommonName;
    machine.SetFirmwareVariable(
        L"PK", GuidToText(EfiGlobalVariableGuid),
        test::X509List(test::RealCertificate("microsoft-option-rom-uefi-ca-2023.der")));
    EXPECT_THAT(Summary(machine), ::testing::HasSubstr("; stage: kek-stalled; pending: kek-2023;"));
    // With the PK Microsoft offers OEMs, a KEK update exists: the step is only pending.
    machine.SetFirmwareVariable(
        L"PK", GuidToText(EfiGlobalVariableGuid),
        test::X509List(test::RealCertificate("windows-oem-devices-pk.der")));
    EXPECT_THAT(Summary(machine), ::testing::HasSubstr("; stage: kek-pending; pending: kek-2023;"));
}

TEST(SummaryLine, InWindowsPeSpeaksOfTheOfflineInstallation) {
    EXPECT_EQ(Summary(test::WinPeWithOfflineServicingAt(0x4100)),
              "certvane: firmware-not-ready; firmware: not-ready (KEK "
              "microsoft-corporation-kek-2k-ca-2023 absent, db windows-uefi-ca-2023 absent, db "
              "microsoft-uefi-ca-2023 absent, db microsoft-option-rom-uefi-ca-2023 absent); "
              "stage: restart-pending; pending: boot-manager-2023; "
              "last event: unavailable; task: unavailable; read from the offline "
              "installation\r\n");
}

TEST(SummaryLine, NeverExceedsWhatIntuneShowsNorSplitsACharacter) {
    const std::wstring wide(512, L'中');  // three bytes each in UTF-8
    ScriptedMachine machine =
        Servicing(0x5944, {ServicingEventXml(1802, wide, {{L"SkipReason", wide}})});
    const std::string line = Summary(machine);
    ASSERT_TRUE(line.ends_with("\r\n"));
    const std::string text = line.substr(0, line.size() - 2);
    EXPECT_LE(text.size(), MaxSummaryLength);
    EXPECT_GT(text.size(), MaxSummaryLength - 3);
    // The text ends after a whole character: its last lead byte has all its continuations.
    std::size_t lead = text.size() - 1;
    while ((static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80) --lead;
    EXPECT_EQ(text.size() - lead, static_cast<unsigned char>(text[lead]) >= 0xE0 ? 3u : 1u);
}

TEST(SummaryLine, ExcludesJsonAndEfi) {
    EXPECT_EQ(RunCli<ScriptedMachine>({L"--summary", L"--json"}, test::NormalWindows11()).exitCode,
              64);
    EXPECT_EQ(RunCli<ScriptedMachine>({L"--efi", L"x.efi", L"--summary"}, test::NormalWindows11())
                  .exitCode,
              64);
}

TEST(JsonServicing, AddsTheServicingStateBesideTheKeysItHadBefore) {
    ScriptedMachine machine = Servicing(
        0x4004, {ServicingEventXml(1803, L"2026-11-03T08:00:00.0Z", {{L"BucketId", L"b1"}})});
    machine.SetRegistryValue(kSecureBootKey + L"\\Servicing\\DeviceAttributes",
                             L"CanAttemptUpdateAfter",
                             {3, {0x00, 0x00, 0x46, 0x8B, 0xAA, 0x88, 0xDB, 0x01}});
    const CliResult result = RunCli<ScriptedMachine>({L"--json"}, machine);
    const auto servicing = nlohmann::json::parse(result.out)["servicing"];
    EXPECT_EQ(servicing["availableUpdates"], 0x4004);
    EXPECT_TRUE(servicing["values"].is_object());
    EXPECT_EQ(servicing["source"], "running");
    EXPECT_EQ(servicing["stage"], "kek-stalled");
    EXPECT_EQ(servicing["requested"]["AvailableUpdates"], 0x4004);
    ASSERT_EQ(servicing["pendingSteps"].size(), 1u);
    EXPECT_EQ(servicing["pendingSteps"][0]["key"], "kek-2023");
    EXPECT_EQ(servicing["deviceAttributes"]["CanAttemptUpdateAfter"], "2025-02-27T00:00:00Z");
    EXPECT_EQ(servicing["events"]["latest"]["id"], 1803);
    EXPECT_EQ(servicing["events"]["latest"]["data"]["BucketId"], "b1");
    EXPECT_EQ(servicing["events"]["byId"][0]["count"], 1);
    EXPECT_EQ(servicing["task"]["state"], "present");
    EXPECT_EQ(servicing["task"]["lastRunTime"], "2025-01-01T12:00:00");
    EXPECT_TRUE(servicing["task"]["nextRunTime"].is_null());
}

}  // namespace
}  // namespace certvane::cli
