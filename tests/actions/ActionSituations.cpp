#include "tests/actions/ActionSituations.h"

#include <algorithm>

namespace certvane::test {

std::wstring TaskCommandLine(const ScriptedMachine&, std::wstring_view action) {
    return L"schtasks.exe /" + std::wstring(action) +
           L" /tn \"\\Microsoft\\Windows\\PI\\Secure-Boot-Update\"";
}

void InstallSecureBootTask(ScriptedMachine& machine, bool queryHangs, ScriptedCommand run) {
    machine.commands[TaskCommandLine(machine, L"query")] = {.exitCode = 0, .hangs = queryHangs};
    machine.commands[TaskCommandLine(machine, L"run")] = run;
}

bool TaskStartWasRequested(const ScriptedMachine& machine) {
    const std::wstring run = TaskCommandLine(machine, L"run");
    return std::any_of(machine.processStarts.begin(), machine.processStarts.end(),
                       [&](const auto& start) { return start.commandLine == run; });
}

std::optional<ScriptedRegistryValue> AvailableUpdatesValue(const ScriptedMachine& machine) {
    for (const auto& [key, values] : machine.registry) {
        if (key != L"SYSTEM\\CURRENTCONTROLSET\\CONTROL\\SECUREBOOT") continue;
        const auto value = values.find(L"AVAILABLEUPDATES");
        if (value != values.end()) return value->second;
    }
    return std::nullopt;
}

}  // namespace certvane::test
