#pragma once

#include <string>

#include "inspect/BootChain.h"
#include "platform/Platform.h"

namespace certvane {

// The whole status report, every line ended by CR LF. Never fails: what cannot be read is
// written as a fixed phrase in its place.
std::wstring ComposeStatusReport(Platform& platform);

// The same report, also handing back the boot files its last section was written from.
std::wstring ComposeStatusReport(Platform& platform, BootFiles& inspected);

}  // namespace certvane
