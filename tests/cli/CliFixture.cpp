#include "tests/cli/CliFixture.h"

#include <gmock/gmock.h>

#include <fstream>

#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane::cli {

using test::Bytes;
using test::Concat;
using test::ScriptedMachine;
using ::testing::IsEmpty;

Bytes RealDb2011() {
    return Concat(
        {test::X509List(test::RealCertificate("microsoft-windows-production-pca-2011.der")),
         test::X509List(test::RealCertificate("microsoft-corporation-uefi-ca-2011.der"))});
}

Bytes RealDbFull() {
    return Concat({RealDb2011(), test::RealUpdateLists("db-update-windows-uefi-ca-2023.bin"),
                   test::RealUpdateLists("db-update-microsoft-uefi-ca-2023.bin"),
                   test::RealUpdateLists("db-update-option-rom-uefi-ca-2023.bin")});
}

Bytes RealDbxRevoking2011() {
    return Concat({test::RealUpdateLists("dbx-update-amd64.bin"),
                   test::RealUpdateLists("dbx-update-2024.bin")});
}

void CliRunTest::SetUp() {
    folder_ =
        std::filesystem::temp_directory_path() /
        ("certvane-cli-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
}

void CliRunTest::TearDown() {
    std::filesystem::remove_all(folder_);
}

std::wstring CliRunTest::WriteFile(const std::string& name, const Bytes& bytes) {
    const auto path = folder_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.wstring();
}

nlohmann::json CliRunTest::Json(const std::vector<std::wstring>& args,
                                const test::ScriptedMachine& machine) {
    std::vector<std::wstring> all{L"--json"};
    all.insert(all.end(), args.begin(), args.end());
    const CliResult result = Run(all, machine);
    EXPECT_TRUE(result.err.empty()) << result.err;
    return nlohmann::json::parse(result.out);
}

CliResult CliRunTest::Run(const std::vector<std::wstring>& args, ScriptedMachine machine,
                          const std::function<void(const ScriptedMachine&)>& after) {
    auto prepared = PrepareCommand(args);
    if (auto* finished = std::get_if<CliResult>(&prepared)) return *finished;
    auto& command = std::get<PreparedCommand>(prepared);
    CapturingMachine capturing(std::move(command.captured), std::move(machine));
    capturing.decodeCertificate = test::DerSubjectCommonName;
    const std::wstring before = capturing.DescribeSystem();
    CliResult result = RunCommand(capturing, command);
    EXPECT_THAT(capturing.HeldResources(), IsEmpty());
    EXPECT_EQ(capturing.DescribeSystem(), before);
    // Nothing but mountvol, for the ESP: no task query or start, no other command.
    for (const auto& start : capturing.processStarts) {
        EXPECT_EQ(start.application, capturing.systemDirectory + L"\\mountvol.exe");
    }
    for (const std::wstring& entry : capturing.log) {
        EXPECT_EQ(entry.find(L"WriteRegistryValue"), std::wstring::npos);
    }
    if (after) after(capturing);
    return result;
}

ScriptedMachine CliRunTest::Windows11BootingWith(std::wstring_view authority) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(
        machine.volumes[test::Windows11::Esp].name + L"EFI\\Microsoft\\Boot\\bootmgfw.efi",
        test::SignedFile(authority));
    return machine;
}

}  // namespace certvane::cli
