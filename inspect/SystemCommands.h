#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// Runs `program` of the system directory (such as "schtasks.exe") with `arguments`, hidden,
// with the system directory as its current directory, and returns its exit code; -1 when it
// cannot start or is still running after `timeoutMs` (it is then ended with everything it
// started). No command interpreter runs: it would run the user's AutoRun command first.
int RunSystemProgram(Platform& platform, std::wstring_view program, std::wstring_view arguments,
                     std::uint32_t timeoutMs);

// "mountvol S: /s": true when it ran and exited with code 0 within a minute (a hung mountvol
// is ended and counts as a failure).
bool MountEspAtS(Platform& platform);

// "mountvol S: /d".
void UnmountS(Platform& platform);

// The full path of a program in the system directory (what follows the name, such as its
// arguments, is kept); empty when that directory is unknown.
// Elevated commands are never found by search, where a planted file of the same name could
// stand in for them.
std::wstring SystemCommandPath(Platform& platform, std::wstring_view executable);

}  // namespace certvane
