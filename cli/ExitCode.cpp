#include "cli/ExitCode.h"

#include "inspect/CertGeneration.h"

namespace certvane::cli {

ExitCode DecideExitCode(const ReadinessFacts& facts) {
    if (!facts.dbReadable) return ExitUndetermined;
    if (!facts.ca2023Ready) return ExitFirmwareNotReady;
    const ExitCode code = ExitCodeOfSigner(facts.bootManagerSigner);
    // A name of the 2023 generation that is not itself in `db` is no authority the firmware
    // knows: nothing can be said about the boot chain.
    if (code == ExitBootManager2023 && !facts.bootManagerTrusted) return ExitUndetermined;
    return code;
}

ExitCode ExitCodeOfSigner(std::wstring_view signer) {
    switch (ClassifyCertName(signer)) {
        case Gen2011:
            return ExitBootManager2011;
        case Gen2023:
            return ExitBootManager2023;
        default:
            // Unsigned, missing, or signed by an authority of neither generation.
            return ExitUndetermined;
    }
}

}  // namespace certvane::cli
