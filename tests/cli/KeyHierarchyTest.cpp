// The key hierarchy keys of certvane-cli's JSON report, on scripted machines with Microsoft's
// real certificates and updates.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/KeyStores.h"
#include "tests/cli/CliFixture.h"
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

class KeyHierarchyTest : public CliRunTest {
  protected:
    json Json(const std::vector<std::wstring>& args, const ScriptedMachine& machine) {
        std::vector<std::wstring> all{L"--json"};
        all.insert(all.end(), args.begin(), args.end());
        const CliResult result = Run(all, machine);
        EXPECT_THAT(result.err, IsEmpty());
        return json::parse(result.out);
    }
};

TEST_F(KeyHierarchyTest, EveryVariableIsPresentMissingOrUnreadableWithItsSource) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.SetFirmwareVariable(L"SecureBoot", kGlobal, {1});
    machine.SetFirmwareVariable(L"SetupMode", kGlobal, {0});
    machine.SetFirmwareVariable(
        L"KEKDefault", kGlobal,
        test::X509List(test::RealCertificate("microsoft-corporation-kek-ca-2011.der")));
    machine.firmwareFailures[{L"dbxDefault", kGlobal}] = FirmwareReadFailure::NoAccess;
    const std::wstring pk =
        WriteFile("pk.bin", test::X509List(test::RealCertificate("windows-oem-devices-pk.der")));

    const json report = Json({L"--pk", pk}, machine);
    EXPECT_EQ(report["schemaVersion"], 2);
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
    ScriptedMachine machine = test::LegacyBiosMachine();
    for (const StoreVariable& store : StoreVariables) {
        machine.firmwareFailures[{std::wstring(store.name), GuidToText(store.vendor)}] =
            FirmwareReadFailure::NotSupported;
    }
    const json variables = Json({}, machine)["variables"];
    EXPECT_EQ(variables["PK"]["state"], "unreadable");
    EXPECT_EQ(variables["PK"]["error"], "notSupported");
    EXPECT_EQ(variables["SecureBoot"]["state"], "missing");
    EXPECT_TRUE(variables["SecureBoot"]["value"].is_null());
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
