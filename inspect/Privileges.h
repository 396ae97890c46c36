#pragma once

#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// True when the privilege is now enabled in the process token; false also when the token
// does not hold it.
bool EnablePrivilege(PrivilegeApi& privileges, std::wstring_view privilegeName);

// True only when the process token could be opened and queried and says it is elevated.
bool IsProcessElevated(PrivilegeApi& privileges);

// The privilege firmware variable reads need.
bool EnableFirmwarePrivilege(Platform& platform);

// Loads a hive file as HKEY_LOCAL_MACHINE\name, first enabling the backup and restore
// privileges without which the system refuses every hive load.
bool LoadOfflineHive(Platform& platform, std::wstring_view name, std::wstring_view hiveFile);

}  // namespace certvane
