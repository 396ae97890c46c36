#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "assess/ReferenceLists.h"
#include "cli/CommandLine.h"
#include "inspect/CapturedFirmware.h"
#include "platform/Platform.h"

namespace certvane::cli {

// What the program prints (UTF-8) and the code it exits with.
struct CliResult {
    int exitCode = 0;
    std::string out;
    std::string err;
};

struct PreparedCommand {
    CliOptions options;
    CapturedVariables captured;
    ReferenceLists lists;  // the built-in ones, or those the command line gave
};

// Parses the arguments and reads the captured images. Help and usage errors are finished
// results already; nothing of the machine is touched for them.
std::variant<CliResult, PreparedCommand> PrepareCommand(const std::vector<std::wstring>& args);

// Runs a prepared command on a machine that already carries the captured images.
CliResult RunCommand(Platform& platform, const PreparedCommand& command);

template <class Machine, class... MachineArgs>
CliResult RunCli(const std::vector<std::wstring>& args, MachineArgs&&... machineArgs) {
    auto prepared = PrepareCommand(args);
    if (auto* finished = std::get_if<CliResult>(&prepared)) return std::move(*finished);
    auto& command = std::get<PreparedCommand>(prepared);
    WithCapturedFirmware<Machine> machine(std::move(command.captured),
                                          std::forward<MachineArgs>(machineArgs)...);
    return RunCommand(machine, command);
}

}  // namespace certvane::cli
