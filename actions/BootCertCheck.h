#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace certvane {

// Whether the running system's boot manager is already signed under a 2023 authority and,
// if not, which Windows updates bring one that is. Changes nothing.
std::wstring CheckBootCertUpdate(Platform& platform);

// The build number of the running Windows ("CurrentBuild"), 0 when it cannot be read.
std::uint32_t ReadCurrentBuildNumber(Platform& platform);

}  // namespace certvane
