#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace certvane {

bool IsWinPE(Platform& platform);

// Windows directories of the installations on local drives other than the running one,
// such as C:\Windows, in drive letter order.
std::vector<std::wstring> FindOfflineWindows(Platform& platform);

bool IsUefiBoot(Platform& platform);
std::wstring BootModeText(Platform& platform);
bool IsSecureBootEnabled(Platform& platform);

}  // namespace certvane
