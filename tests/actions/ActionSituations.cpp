#include "tests/actions/ActionSituations.h"

namespace certvane::test {

std::wstring TaskQueryCommandLine(const ScriptedMachine& machine) {
    return L"cmd.exe /c " + machine.systemDirectory +
           L"\\schtasks.exe /query /tn \"\\Microsoft\\Windows\\PI\\Secure-Boot-Update\"";
}

void InstallSecureBootTask(ScriptedMachine& machine, bool queryHangs) {
    machine.commands[TaskQueryCommandLine(machine)] = {.exitCode = 0, .hangs = queryHangs};
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
