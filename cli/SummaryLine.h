#pragma once

#include <string>

#include "assess/MachineAssessment.h"

namespace certvane::cli {

// Intune shows at most this many characters of a remediation script's output.
inline constexpr std::size_t MaxSummaryLength = 2048;

// One line (ending in CR LF, at most MaxSummaryLength characters before it) that an
// administrator can read in a report column: readiness, what the firmware lacks, servicing
// stage, pending steps, the newest servicing event and the task's last result.
std::string SummaryLine(const MachineFacts& facts, const MachineAssessment& assessment,
                        int exitCode);

}  // namespace certvane::cli
