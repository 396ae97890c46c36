#pragma once

#include <cstdint>
#include <string_view>

#include "assess/ServicingSignals.h"
#include "inspect/ServicingUpdates.h"

namespace certvane {

// Chinese words of section 【4】 for what Windows servicing reports.

std::wstring_view StageText(ServicingStage stage);

// What one servicing step does, by its AvailableUpdates bit; empty for a bit of no step.
std::wstring_view StepText(std::uint32_t bit);

// What a servicing event means; empty for an id servicing does not write.
std::wstring_view EventText(std::uint32_t id);

// What a rollout bucket's confidence level means for this machine.
std::wstring_view ConfidenceText(BucketConfidence confidence);

}  // namespace certvane
