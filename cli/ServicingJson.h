#pragma once

#include <nlohmann/json.hpp>

#include "inspect/ServicingState.h"

namespace certvane::cli {

// The keys the servicing state adds to the JSON report's "servicing" object.
nlohmann::ordered_json ServicingJson(const ServicingState& state, ServicingStage stage);

// A stable English word for the exit code ("ready", "firmware-not-ready", ...).
std::string_view ReadinessWord(int exitCode);

}  // namespace certvane::cli
