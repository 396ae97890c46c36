#pragma once

#include <string>

#include "assess/MachineAssessment.h"

namespace certvane {

// Writes the lines of section 【4】 (after its banner): where this machine stands on the way to
// the 2023 certificates, one fact a line, and always last the next step to take.
void WriteProgressSection(std::wstring& report, const MachineFacts& facts,
                          const MachineAssessment& assessment);

}  // namespace certvane
