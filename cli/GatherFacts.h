#pragma once

#include "cli/ExitCode.h"
#include "cli/MachineFacts.h"
#include "inspect/BootChain.h"
#include "platform/Platform.h"

namespace certvane::cli {

// Reads every fact the JSON report states. Like the status report, it searches the ESPs and
// releases the mounts it made.
MachineFacts GatherMachineFacts(Platform& platform);

// What decides the exit code of a status report that inspected `files`. The deciding boot
// manager is the running system's; inside Windows PE, the offline installation's.
ReadinessFacts ReadinessOfReport(Platform& platform, bool isWinPE, const BootFiles& files);

ReadinessFacts ReadinessOf(const MachineFacts& facts);

// A registry value as a number (REG_DWORD) or text (REG_SZ), absent otherwise.
RegistryValue ReadRegistryValueOfAnyType(Platform& platform, std::wstring_view subkey,
                                         std::wstring_view name);

}  // namespace certvane::cli
