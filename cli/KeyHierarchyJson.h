#pragma once

#include <nlohmann/json.hpp>

#include "assess/MachineAssessment.h"

namespace certvane::cli {

// The version of the JSON report's layout: raised when keys are added.
inline constexpr int JsonSchemaVersion = 5;

// The JSON report's keys about the key hierarchy: "variables", "certificateMatrix",
// "kekReadiness", "platformKey", "dbxCurrency", "referenceLists", "listsStale" and
// "listsAgeDays".
void AddKeyHierarchy(nlohmann::ordered_json& report, const MachineFacts& facts,
                     const MachineAssessment& assessment);

}  // namespace certvane::cli
