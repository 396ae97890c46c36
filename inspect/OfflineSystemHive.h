#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// Loads a private copy of the SYSTEM hive of an offline installation for one read
// (ReadOfflineHive): hands `read` the path (under HKEY_LOCAL_MACHINE) of the control set the
// installation boots with, then unloads the hive.
// `read` must close every key it opened, since the system refuses to unload a hive with open
// keys. False, without calling `read`, when the hive is missing, cannot be loaded, or names
// no current control set.
bool ReadOfflineControlSet(Platform& platform, std::wstring_view windowsDirectory,
                           const std::function<void(const std::wstring& controlSet)>& read);

}  // namespace certvane
