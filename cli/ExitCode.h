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
    // Whether that authority is in `db` and not revoked in `dbx`, and dbx does not revoke the
    // file itself by its hash.
    bool bootManagerTrusted = false;
};

// The checks in their fixed order: db readable, firmware ready, boot manager signed by a
// known authority, and that authority's generation. Only a 2023 authority that the firmware
// trusts gives 0.
ExitCode DecideExitCode(const ReadinessFacts& facts);

// The exit code of `--efi`: the generation of the file's signing authority (0 for 2023, 2 for
// 2011, 3 for none or an authority of neither generation).
ExitCode ExitCodeOfSigner(std::wstring_view signer);

}  // namespace certvane::cli
