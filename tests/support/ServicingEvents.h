#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

// An event of the Secure Boot servicing provider as the event log renders it.
std::wstring ServicingEventXml(std::uint32_t id, std::wstring_view systemTime,
                               const std::vector<std::pair<std::wstring, std::wstring>>& data = {});

// Windows PE with Windows 10 on C: whose SYSTEM hive (control set 001 current) holds the
// servicing request value.
ScriptedMachine WinPeWithOfflineServicingAt(std::uint32_t availableUpdates);

}  // namespace certvane::test
