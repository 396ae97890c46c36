#pragma once

#include <string>

#include "assess/MachineAssessment.h"

namespace certvane::cli {

enum ExitCode : int {
    ExitReady = 0,
    ExitFirmwareNotReady = 1,
    ExitBootManager2011 = 2,
    ExitUndetermined = 3,
    ExitWouldNotBoot = 4,
    ExitInternalFailure = 5,
    ExitUsage = 64,
};

// What the exit code of a report is decided from.
struct ReadinessFacts {
    bool dbReadable = false;
    ReadinessState firmware = ReadinessState::Undetermined;
    // Signing authority of the boot manager that decides the machine's boot; empty when none
    // was found or it carries no readable signature.
    std::wstring bootManagerSigner;
    // The firmware starts that file: its authority is in db and not revoked in dbx, and dbx
    // does not hold the file's own hash.
    bool bootManagerWouldBoot = false;
};

ReadinessFacts ReadinessOf(const MachineFacts& facts, const MachineAssessment& assessment);

// The first that applies: db unreadable (3); the boot manager found would not boot (4); the
// firmware proven not ready (1); readiness undetermined or no boot manager (3); a 2011
// boot manager (2); a boot manager signed under Windows UEFI CA 2023 on ready firmware (0).
// A boot manager of any other authority tells nothing certain (3).
ExitCode DecideExitCode(const ReadinessFacts& facts);

// The exit code of `--efi`: 3 when db cannot be read or the file carries no signature; 4 when
// db and dbx would not let it boot; else the generation of its signing authority (0 for 2023,
// 2 for 2011, 3 for an authority of neither generation).
ExitCode ExitCodeOfFile(bool dbReadable, std::wstring_view signer, bool wouldBoot);

}  // namespace certvane::cli
