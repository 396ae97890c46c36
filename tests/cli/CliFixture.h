#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::cli {

using CapturingMachine = WithCapturedFirmware<test::ScriptedMachine>;

// Images built from Microsoft's published objects.
test::Bytes RealDb2011();
test::Bytes RealDbFull();           // the 2011 pair and the three 2023 certificates
test::Bytes RealDbxRevoking2011();  // the amd64 hash list and the 2024 update

// Runs the console companion on scripted machines, with captured files in a folder of its own.
class CliRunTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring WriteFile(const std::string& name, const test::Bytes& bytes);

    // Runs the arguments on `machine` (a copy whose firmware carries the captured images);
    // `after` sees the machine once the command has run. The command must leave the machine
    // as it found it and write nothing.
    CliResult Run(const std::vector<std::wstring>& args, test::ScriptedMachine machine,
                  const std::function<void(const test::ScriptedMachine&)>& after = {});

    // The JSON report of `--json` and the arguments on `machine`, which must say nothing on
    // standard error.
    nlohmann::json Json(const std::vector<std::wstring>& args,
                        const test::ScriptedMachine& machine);

    // Normal Windows 11 whose ESP boot manager is signed under `authority`.
    static test::ScriptedMachine Windows11BootingWith(std::wstring_view authority);

    std::filesystem::path folder_;
};

}  // namespace certvane::cli
