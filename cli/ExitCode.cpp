#include "cli/ExitCode.h"

#include "inspect/CertGeneration.h"

namespace certvane::cli {

ExitCode DecideExitCode(const ReadinessFacts& facts) {
    if (!facts.dbReadable) return ExitUndetermined;
    if (!facts.ca2023Ready) return ExitFirmwareNotReady;
    switch (ClassifyCertName(facts.bootManagerSigner)) {
        case Gen2011:
            return ExitBootManager2011;
        case Gen2023:
            return ExitBootManager2023;
        default:
            // Unsigned, missing, or signed by an authority of neither generation: nothing
            // can be said about the boot chain.
            return ExitUndetermined;
    }
}

}  // namespace certvane::cli
