#include "inspect/ServicingUpdates.h"

namespace certvane {
namespace {

constexpr std::uint32_t kKekBit = 0x0004;
constexpr std::uint32_t kBootManagerBit = 0x0100;

std::uint32_t StepBits(std::uint32_t value) {
    std::uint32_t bits = 0;
    for (const ServicingStep& step : ServicingSteps) bits |= value & step.bit;
    return bits;
}

}  // namespace

std::vector<const ServicingStep*> PendingSteps(std::uint32_t availableUpdates) {
    std::vector<const ServicingStep*> pending;
    for (const ServicingStep& step : ServicingSteps) {
        if ((availableUpdates & step.bit) != 0) pending.push_back(&step);
    }
    return pending;
}

std::uint32_t UnknownServicingBits(std::uint32_t availableUpdates) {
    return availableUpdates & ~StepBits(0xFFFFFFFFu) & ~ConditionalThirdPartyBit;
}

std::string_view ServicingStageKey(ServicingStage stage) {
    switch (stage) {
        case ServicingStage::NotRequested:
            return "not-requested";
        case ServicingStage::InProgress:
            return "in-progress";
        case ServicingStage::KekPending:
            return "kek-pending";
        case ServicingStage::KekStalled:
            return "kek-stalled";
        case ServicingStage::RestartPending:
            return "restart-pending";
        case ServicingStage::Blocked:
            return "blocked";
        case ServicingStage::Done:
            return "done";
    }
    return "unknown";
}

ServicingStage DeriveServicingStage(const StageInputs& inputs) {
    const std::uint32_t steps = StepBits(inputs.availableUpdates.value_or(0));
    // A block is a block whatever the request value says.
    if (inputs.blockedByNewestEvent) return ServicingStage::Blocked;
    if (steps == 0) {
        // Any event is no proof of a request: 1801, for one, only says the certificates are
        // not applied yet.
        const bool requested = inputs.availableUpdates.value_or(0) != 0 || inputs.statusUpdated ||
                               inputs.fullyUpdatedEvent;
        return requested ? ServicingStage::Done : ServicingStage::NotRequested;
    }
    if (steps == kKekBit) {
        return inputs.kekUpdateMissing ? ServicingStage::KekStalled : ServicingStage::KekPending;
    }
    if ((steps & ~(kKekBit | kBootManagerBit)) == 0) return ServicingStage::RestartPending;
    return ServicingStage::InProgress;
}

}  // namespace certvane
