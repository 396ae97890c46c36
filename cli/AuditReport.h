#pragma once

#include "assess/ReferenceLists.h"
#include "cli/CliRun.h"

namespace certvane::cli {

// `--audit [PATH ...]`: every EFI file on every ESP of a fixed disk, or under the paths, judged
// under db and dbx (the firmware's, captured or updated); a table, or JSON with `--json`.
// Exit 4 when a file would not boot; else 3 when none could be judged, one is not proven to
// start, or a bound was hit; else 0.
CliResult RunAudit(Platform& platform, const CliOptions& options, const ReferenceLists& lists);

}  // namespace certvane::cli
