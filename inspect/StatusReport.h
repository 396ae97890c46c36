#pragma once

#include <string>

#include "platform/Platform.h"

namespace certvane {

// The whole status report, every line ended by CR LF. Never fails: what cannot be read is
// written as a fixed phrase in its place.
std::wstring ComposeStatusReport(Platform& platform);

}  // namespace certvane
