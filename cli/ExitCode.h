#pragma once

#include <string>

namespace certvane::cli {

enum ExitCode : int {
    ExitBootManager2023 = 0,
    ExitFirmwareNotReady = 1,
    ExitBootManager2011 = 2,
    ExitUndetermined = 3,
    ExitUsage = 64,
};

// What the exit code is decided from.
struct ReadinessFacts {
    bool dbReadable = false;
    bool ca2023Ready = false;
    // Signing authority of the boot manager that decides the machine's boot; empty when none
    // was found or it carries no readable signature.
    std::wstring bootManagerSigner;
};

// The checks in their fixed order: db readable, firmware ready, boot manager signed by a
// known authority, and that authority's generation.
ExitCode DecideExitCode(const ReadinessFacts& facts);

}  // namespace certvane::cli
