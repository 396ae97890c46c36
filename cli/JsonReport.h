#pragma once

#include <string>

#include "assess/MachineAssessment.h"

namespace certvane::cli {

// A stable English key for a known certificate: its name in lower case, blanks as hyphens.
std::string CertificateKey(const KnownCertificate& row);

// "2011", "2023" or "unclassified": a generation as the JSON names it.
std::string GenerationKey(CertGeneration generation);

// One JSON object (UTF-8, indented, ending in a line break) with every fact, and the exit
// code the facts lead to.
std::string JsonReport(const MachineFacts& facts, const MachineAssessment& assessment,
                       int exitCode);

}  // namespace certvane::cli
