#pragma once

#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

// The command line of the servicing task's query ("query") or start ("run") on this machine.
std::wstring TaskCommandLine(const ScriptedMachine& machine, std::wstring_view action);
inline constexpr wchar_t kServicingKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Secureboot";

// The Secure Boot servicing task exists: its query exits with 0 (or hangs), and starting it
// behaves as `run` says (it starts, exit code 0, unless told otherwise).
void InstallSecureBootTask(ScriptedMachine& machine, bool queryHangs = false,
                           ScriptedCommand run = {});

// Whether the task was asked to start.
bool TaskStartWasRequested(const ScriptedMachine& machine);

// The stored servicing request value, if any.
std::optional<ScriptedRegistryValue> AvailableUpdatesValue(const ScriptedMachine& machine);

}  // namespace certvane::test
