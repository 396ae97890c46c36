// Each case of the rollout as every view tells it: section 【4】 of the report, the JSON, the
// summary line and the exit code of certvane-cli, the firmware certificate update and the boot
// certificate check. All of them judge by the same readiness.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "actions/BootCertCheck.h"
#include "actions/FirmwareCertUpdate.h"
#include "cli/CliRun.h"
#include "report/StatusReport.h"
#include "tests/actions/ActionSituations.h"
#include "tests/assess/ReadinessMachines.h"
#include "tests/support/ReportLines.h"

namespace certvane {
namespace {

using nlohmann::json;
using test::ReadinessMachine;
using test::ScriptedMachine;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// The machines' system volumes are BitLocker-encrypted: the update suspends them first.
const std::wstring kTriggered = L"更新任务已触发。请重启电脑两次以完成证书更新。";
const std::wstring kSuspended = L"\nBitLocker 保护已暂停，两次重启后自动恢复。";
const std::wstring kNothingToDo =
    L"固件已包含最新且有效的 CA 2023 证书（Windows UEFI CA 2023, Microsoft UEFI CA 2023, "
    L"Microsoft Option ROM UEFI CA 2023），无需更新。";
const std::wstring kBootManagerIs2023 = L"当前引导文件已由 CA 2023 证书签名，无需更新。";
const std::wstring kFirmwareFirst = L"固件中未找到有效的 CA 2023 证书，请先执行“固件证书更新”。";
const std::wstring kThirdPartyNeeded =
    L"  db 信任第三方 Microsoft Corporation UEFI CA 2011：是，因此还需要 Microsoft UEFI CA 2023 "
    L"和 Microsoft Option ROM UEFI CA 2023";
const std::wstring kNextWouldNotBoot =
    L"  下一步：固件不会启动当前的引导管理器（签名证书不受信任、已被吊销，或文件本身已被吊销）："
    L"重启之前请先换用受信任的引导管理器。";
const std::wstring kNextClick = L"  下一步：点击“固件证书更新”，由 Windows 写入缺少的证书。";

struct Case {
    ReadinessMachine (*make)();
    std::string firmwareReady;
    json missing;  // readiness.missing
    json kekReady;
    json trustsThirdPartyCa2011;
    int exitCode;
    std::string summaryStart;
    // Slots 3 and 4 of section 【4】, and its last line.
    std::vector<std::wstring> readinessLines;
    std::wstring nextStep;
    std::wstring firmwareUpdate;
    bool writesAvailableUpdates;
    std::wstring bootCheck;
};

json Missing(const char* store, const char* key, const char* reason) {
    return {{"store", store}, {"key", key}, {"reason", reason}};
}

const Case kCases[] = {
    {test::Kek2011Only,
     "not-ready",
     json::array({Missing("KEK", "microsoft-corporation-kek-2k-ca-2023", "absent")}),
     false,
     true,
     1,
     "certvane: firmware-not-ready; firmware: not-ready (KEK microsoft-corporation-kek-2k-ca-2023 "
     "absent); stage: not-requested;",
     {L"  固件证书就绪：否", L"    KEK 缺少 Microsoft Corporation KEK 2K CA 2023",
      kThirdPartyNeeded},
     kNextClick,
     kTriggered +
         L"\ndb 中的 2023 证书已就绪，只缺 KEK 中的 Microsoft Corporation KEK 2K CA 2023："
         L"Windows 需要写入由本机平台密钥 (PK) 签名的 KEK 更新。" +
         kSuspended,
     true,
     kBootManagerIs2023},
    {test::BothKeks,
     "ready",
     json::array(),
     true,
     true,
     0,
     "certvane: ready; firmware: ready; stage: not-requested;",
     {L"  固件证书就绪：是", kThirdPartyNeeded},
     L"  下一步：无需操作。",
     kNothingToDo,
     false,
     kBootManagerIs2023},
    {test::NoThirdPartyCa2011,
     "ready",
     json::array(),
     true,
     false,
     0,
     "certvane: ready; firmware: ready; stage: not-requested;",
     {L"  固件证书就绪：是",
      L"  db 信任第三方 Microsoft Corporation UEFI CA 2011：否，因此不需要两张第三方 2023 证书"},
     L"  下一步：无需操作。",
     kNothingToDo,
     false,
     kBootManagerIs2023},
    {test::ThirdPartyCa2011Without2023Pair,
     "not-ready",
     json::array({Missing("db", "microsoft-uefi-ca-2023", "absent"),
                  Missing("db", "microsoft-option-rom-uefi-ca-2023", "absent")}),
     true,
     true,
     1,
     "certvane: firmware-not-ready; firmware: not-ready (db microsoft-uefi-ca-2023 absent, db "
     "microsoft-option-rom-uefi-ca-2023 absent); stage: not-requested;",
     {L"  固件证书就绪：否", L"    db 缺少 Microsoft UEFI CA 2023",
      L"    db 缺少 Microsoft Option ROM UEFI CA 2023", kThirdPartyNeeded},
     kNextClick,
     kTriggered + kSuspended,
     true,
     kBootManagerIs2023},
    {test::Revoked2023,
     "not-ready",
     json::array({Missing("db", "windows-uefi-ca-2023", "revoked")}),
     true,
     true,
     4,
     "certvane: would-not-boot; firmware: not-ready (db windows-uefi-ca-2023 revoked); stage: "
     "not-requested;",
     {L"  固件证书就绪：否", L"    db 需要的 Windows UEFI CA 2023 已被 dbx 吊销",
      kThirdPartyNeeded},
     kNextWouldNotBoot,
     kTriggered + kSuspended,
     true,
     kFirmwareFirst},
    {test::KekUnreadable,
     "undetermined",
     json::array(),
     nullptr,
     true,
     3,
     "certvane: undetermined; firmware: undetermined; stage: not-requested;",
     {L"  固件证书就绪：无法判断（无法读取 KEK）", kThirdPartyNeeded},
     L"  下一步：无法读取固件证书，无法判断是否就绪：请确认电脑以 UEFI 模式启动，并以管理员身份运行"
     L"。",
     kTriggered + kSuspended,
     true,
     kBootManagerIs2023},
    // The boot manager, signed under Microsoft's real Windows UEFI CA 2023, does not boot under
    // a db that holds only a certificate of that name.
    {test::NameOnlyWindowsCa,
     "not-ready",
     json::array({Missing("db", "windows-uefi-ca-2023", "nameOnly")}),
     true,
     true,
     4,
     "certvane: would-not-boot; firmware: not-ready (db windows-uefi-ca-2023 nameOnly); "
     "stage: not-requested;",
     {L"  固件证书就绪：否", L"    db 缺少 Windows UEFI CA 2023（只有同名证书）",
      L"  注意：db 中名为“Windows UEFI CA 2023”的证书不是 Microsoft 的证书（指纹不符），不计入就绪",
      kThirdPartyNeeded},
     kNextWouldNotBoot,
     kTriggered + kSuspended,
     true,
     kFirmwareFirst},
};

class ReadinessCase : public ::testing::TestWithParam<Case> {
  protected:
    ScriptedMachine Machine() const { return GetParam().make().machine; }

    json Json() const {
        const auto result = cli::RunCli<ScriptedMachine>({L"--json"}, Machine());
        EXPECT_EQ(result.exitCode, GetParam().exitCode);
        return json::parse(result.out);
    }
};

std::string NameOf(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (char c : info.param.make().name) {
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    }
    return name;
}

// The lines of slots 3 and 4: from the readiness line to the third-party line.
std::vector<std::wstring> ReadinessLines(const std::vector<std::wstring>& section) {
    auto first = std::find_if(section.begin(), section.end(), [](const std::wstring& line) {
        return line.starts_with(L"  固件证书就绪：");
    });
    auto last = std::find_if(first, section.end(), [](const std::wstring& line) {
        return line.starts_with(L"  db 信任第三方");
    });
    return {first, last == section.end() ? last : last + 1};
}

TEST_P(ReadinessCase, TheReportSaysWhereTheMachineStandsAndWhatToDoNext) {
    ScriptedMachine machine = Machine();
    const auto section = test::ProgressLines(ComposeStatusReport(machine));
    ASSERT_FALSE(section.empty());
    EXPECT_THAT(ReadinessLines(section), ElementsAreArray(GetParam().readinessLines));
    EXPECT_EQ(section.back(), GetParam().nextStep);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST_P(ReadinessCase, TheJsonStatesTheSameReadinessAndTheExitCode) {
    const json readiness = Json()["readiness"];
    EXPECT_EQ(readiness["firmwareReady"], GetParam().firmwareReady);
    EXPECT_EQ(readiness["missing"], GetParam().missing);
    EXPECT_EQ(readiness["kekReady"], GetParam().kekReady);
    EXPECT_EQ(readiness["trustsThirdPartyCa2011"], GetParam().trustsThirdPartyCa2011);
    EXPECT_EQ(readiness["exitCode"], GetParam().exitCode);
}

TEST_P(ReadinessCase, TheSummaryAndThePlainReportExitAlike) {
    const auto summary = cli::RunCli<ScriptedMachine>({L"--summary"}, Machine());
    EXPECT_EQ(summary.exitCode, GetParam().exitCode);
    EXPECT_TRUE(summary.out.starts_with(GetParam().summaryStart)) << summary.out;
    EXPECT_EQ(cli::RunCli<ScriptedMachine>({}, Machine()).exitCode, GetParam().exitCode);
}

TEST_P(ReadinessCase, TheFirmwareUpdateWritesOnlyWhereSomethingIsMissing) {
    ScriptedMachine machine = Machine();
    EXPECT_EQ(TriggerFirmwareCertUpdate(machine), GetParam().firmwareUpdate);
    EXPECT_EQ(test::AvailableUpdatesValue(machine).has_value(), GetParam().writesAvailableUpdates);
    EXPECT_EQ(test::TaskStartWasRequested(machine), GetParam().writesAvailableUpdates);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST_P(ReadinessCase, TheBootCheckNeedsOnlyWindowsUefiCa2023) {
    ScriptedMachine machine = Machine();
    EXPECT_EQ(CheckBootCertUpdate(machine), GetParam().bootCheck);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rollout, ReadinessCase, ::testing::ValuesIn(kCases), NameOf);

}  // namespace
}  // namespace certvane
