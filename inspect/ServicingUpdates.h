#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace certvane {

// One step of Windows' Secure Boot servicing, as a bit of the request value AvailableUpdates.
// A bit still set is a step still pending.
struct ServicingStep {
    std::uint32_t bit;
    std::string_view key;      // stable English key
    std::string_view meaning;  // for the summary line
};

// The publicly documented steps, in the order servicing applies them.
inline constexpr ServicingStep ServicingSteps[] = {
    {0x0040, "db-windows-uefi-ca-2023", "Windows UEFI CA 2023 into db"},
    {0x0800, "db-option-rom-uefi-ca-2023", "Option ROM UEFI CA 2023 into db"},
    {0x1000, "db-microsoft-uefi-ca-2023", "Microsoft UEFI CA 2023 into db"},
    {0x0004, "kek-2023", "KEK 2023"},
    {0x0100, "boot-manager-2023", "boot manager signed under the 2023 CA"},
    {0x0002, "dbx-update", "dbx update"},
    {0x0200, "svn-update", "SVN update"},
    {0x0400, "sbat-update", "SBAT update"},
    {0x0020, "skusipolicy", "SkuSiPolicy"},
    {0x0080, "dbx-pca-2011", "PCA 2011 into dbx"},
};

// Not a step: it restricts the third-party and Option ROM CAs to machines that already trust
// the 2011 UEFI CA.
inline constexpr std::uint32_t ConditionalThirdPartyBit = 0x4000;

// The steps whose bits are set, in servicing order.
std::vector<const ServicingStep*> PendingSteps(std::uint32_t availableUpdates);

// Bits set that no documented step or flag names.
std::uint32_t UnknownServicingBits(std::uint32_t availableUpdates);

// Where servicing stands, from the request value and what the events and status say.
enum class ServicingStage {
    NotRequested,    // no request value, or 0, and no sign that anything was applied
    InProgress,      // certificate or revocation steps still pending
    KekPending,      // only the KEK step left
    KekStalled,      // only the KEK step left, and Windows found no PK-signed KEK for it
    RestartPending,  // the boot manager step is left (with at most the KEK step)
    Blocked,         // the newest servicing event says a step was refused
    Done,            // nothing pending of a request that was made (a request value, the status
                     // "Updated" or event 1808 says it was made)
};

std::string_view ServicingStageKey(ServicingStage stage);

struct StageInputs {
    std::optional<std::uint32_t> availableUpdates;
    bool statusUpdated = false;     // UEFICA2023Status is "Updated"
    bool kekUpdateMissing = false;  // event 1803: no KEK signed by this machine's PK
    bool blockedByNewestEvent = false;
    bool fullyUpdatedEvent = false;  // event 1808: servicing says every step is done
};

ServicingStage DeriveServicingStage(const StageInputs& inputs);

}  // namespace certvane
