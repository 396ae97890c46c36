#pragma once

#include <string>

#include "assess/MachineAssessment.h"
#include "platform/Platform.h"

namespace certvane {

// The whole status report, every line ended by CR LF, from facts already gathered and judged.
// What could not be read is written as a fixed phrase in its place.
std::wstring ComposeStatusReport(const MachineFacts& facts, const MachineAssessment& assessment);

// Reads the machine once, judges it and writes the report. Never fails.
std::wstring ComposeStatusReport(Platform& platform);

}  // namespace certvane
