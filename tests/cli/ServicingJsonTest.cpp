#include <gtest/gtest.h>

#include "tests/cli/CliFixture.h"
#include "tests/support/ServicingEvents.h"
#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using ServicingJsonTest = CliRunTest;
using test::ScriptedMachine;

const std::wstring kSecureBootKey = L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot";

TEST_F(ServicingJsonTest, EventsCarryWindowsMessageWholeTheirClassAndTheRolloutsRawValues) {
    ScriptedMachine machine = test::NormalWindows11();
    const std::wstring message(300, L'm');  // longer than the report's 60 characters
    machine.eventLogs[L"System"] = {
        {test::ServicingEventXml(1802, L"2026-11-05T08:00:00.0Z",
                                 {{L"BucketId", L"9c2d"},
                                  {L"BucketConfidenceLevel", L"Temporarily Paused"},
                                  {L"SkipReason", L"KI_2"}}),
         message},
        test::ServicingEventXml(1797, L"2026-11-04T08:00:00.0Z")};
    machine.SetRegistryValue(kSecureBootKey + L"\\Servicing", L"BootMgrLastUpdateError",
                             test::DwordValue(0x80004005));
    const nlohmann::json report = Json({}, machine);
    const nlohmann::json& events = report["servicing"]["events"];
    ASSERT_EQ(events["events"].size(), 2u);
    EXPECT_EQ(events["events"][0]["message"], std::string(300, 'm'));
    EXPECT_EQ(events["events"][0]["class"], "blocking");
    EXPECT_EQ(events["events"][1]["id"], 1797);
    EXPECT_TRUE(events["events"][1]["message"].is_null());
    EXPECT_EQ(events["events"][1]["meaning"],
              "PCA 2011 revocation blocked: Windows UEFI CA 2023 is not in db");
    EXPECT_EQ(events["latest"]["message"], std::string(300, 'm'));

    const nlohmann::json& rollout = report["servicing"]["rollout"];
    EXPECT_EQ(rollout["eventId"], 1802);
    EXPECT_EQ(rollout["bucketId"], "9c2d");
    EXPECT_EQ(rollout["bucketConfidenceLevel"], "Temporarily Paused");
    EXPECT_EQ(rollout["confidence"], "paused");
    EXPECT_EQ(rollout["skipReason"], "KI_2");
    EXPECT_EQ(rollout["knownFirmwareIssue"], true);
    EXPECT_EQ(report["servicing"]["status"]["BootMgrLastUpdateError"], 0x80004005u);
    EXPECT_TRUE(report["virtualMachine"].is_null());

    machine.eventLogs[L"System"] = {};
    machine.SetRegistryValue(L"HARDWARE\\DESCRIPTION\\System\\BIOS", L"SystemManufacturer",
                             test::StringValue(L"VMware, Inc."));
    const nlohmann::json quiet = Json({}, machine);
    EXPECT_TRUE(quiet["servicing"]["rollout"].is_null());
    EXPECT_EQ(quiet["virtualMachine"], "vmware");
}

}  // namespace
}  // namespace certvane::cli
