#include "cli/ExitCode.h"

#include "assess/BootJudgement.h"

namespace certvane::cli {

ReadinessFacts ReadinessOf(const MachineFacts& facts, const MachineAssessment& assessment) {
    ReadinessFacts readiness{facts.DbReadable(), assessment.firmware.state, {}, false};
    if (const auto& boot = assessment.decidingBootManager) {
        if (!boot->file->signer.empty()) readiness.bootManagerSigner = boot->judgement.authority;
        readiness.bootManagerWouldBoot = boot->judgement.WouldBoot();
    }
    return readiness;
}

ExitCode DecideExitCode(const ReadinessFacts& facts) {
    if (!facts.dbReadable) return ExitUndetermined;
    const bool found = !facts.bootManagerSigner.empty();
    if (found && !facts.bootManagerWouldBoot) return ExitWouldNotBoot;
    if (facts.firmware == ReadinessState::NotReady) return ExitFirmwareNotReady;
    if (facts.firmware == ReadinessState::Undetermined || !found) return ExitUndetermined;
    if (ClassifyCertName(facts.bootManagerSigner) == Gen2011) return ExitBootManager2011;
    return IsWindowsCa2023Signer(facts.bootManagerSigner) ? ExitReady : ExitUndetermined;
}

ExitCode ExitCodeOfFile(bool dbReadable, std::wstring_view signer, bool wouldBoot) {
    // Without db nothing can be said of whether the firmware starts the file.
    if (!dbReadable || signer.empty()) return ExitUndetermined;
    if (!wouldBoot) return ExitWouldNotBoot;
    switch (ClassifyCertName(signer)) {
        case Gen2011:
            return ExitBootManager2011;
        case Gen2023:
            return ExitReady;
        default:
            // Signed by an authority of neither generation.
            return ExitUndetermined;
    }
}

}  // namespace certvane::cli
