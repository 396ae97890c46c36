#pragma once

#include <nlohmann/json.hpp>

#include "assess/ServicingSignals.h"
#include "inspect/ServicingState.h"

namespace certvane::cli {

// The keys the servicing state adds to the JSON report's "servicing" object.
nlohmann::ordered_json ServicingJson(const ServicingState& state, ServicingStage stage);

// What the newest event carrying the rollout bucket says: raw values and their meaning; null
// when no such event was read.
nlohmann::ordered_json RolloutJson(const std::optional<DeviceBucket>& bucket);

// A stable English word for the exit code ("ready", "firmware-not-ready", ...).
std::string_view ReadinessWord(int exitCode);

}  // namespace certvane::cli
