#pragma once

#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

// The command line of the servicing task's query on this machine.
std::wstring TaskQueryCommandLine(const ScriptedMachine& machine);
inline constexpr wchar_t kServicingKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Secureboot";

// The Secure Boot servicing task exists (its query exits with 0), or hangs when queried.
void InstallSecureBootTask(ScriptedMachine& machine, bool queryHangs = false);

// The stored servicing request value, if any.
std::optional<ScriptedRegistryValue> AvailableUpdatesValue(const ScriptedMachine& machine);

}  // namespace certvane::test
