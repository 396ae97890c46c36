#pragma once

#include <functional>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// Loads a private copy of an offline installation's hive file under HKEY_LOCAL_MACHINE\`name`
// for one read, then unloads it. The copy lies in a fresh folder of an unguessable name that
// only SYSTEM and Administrators may open; the folder and everything the load wrote into it are
// deleted afterwards. The installation's own file is only ever read: a load writes to the
// hive it loads, and a hibernated or Fast-Startup installation must not be touched. `read` must
// close every key it opened. False, without calling `read`, when the file is missing or the
// copy or the load fails.
bool ReadOfflineHive(Platform& platform, std::wstring_view hiveFile, std::wstring_view name,
                     const std::function<void()>& read);

}  // namespace certvane
