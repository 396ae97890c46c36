#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// "Windows 11 专业版-内部版本（26100.4652）" for the installation in `directory` (the running one
// or an offline one); nullopt when no build number can be found.
std::optional<std::wstring> ReadWindowsVersion(Platform& platform, std::wstring_view directory);

// The running system's description (offline false: `directory` is not looked at) or that of
// the offline installation; "Windows (未知版本)" when it cannot be read.
std::wstring GetWindowsVersionText(Platform& platform, std::wstring_view directory, bool offline);

}  // namespace certvane
