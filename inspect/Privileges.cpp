#include "inspect/Privileges.h"

namespace certvane {

bool EnablePrivilege(PrivilegeApi& privileges, std::wstring_view privilegeName) {
    const auto token = privileges.OpenOwnProcessToken(TokenAdjustAndQuery);
    if (!token) return false;
    const auto id = privileges.LookupPrivilegeId(privilegeName);
    if (!id) {
        privileges.CloseToken(*token);
        return false;
    }
    const PrivilegeAdjustment adjusted =
        privileges.AdjustTokenPrivilege(*token, *id, PrivilegeEnabled);
    privileges.CloseToken(*token);
    return adjusted.succeeded && adjusted.lastError == 0;
}

bool IsProcessElevated(PrivilegeApi& privileges) {
    const auto token = privileges.OpenOwnProcessToken(TokenQuery);
    if (!token) return false;
    const std::optional<bool> elevated = privileges.QueryTokenElevation(*token);
    privileges.CloseToken(*token);
    return elevated.value_or(false);
}

bool EnableFirmwarePrivilege(Platform& platform) {
    return EnablePrivilege(platform, L"SeSystemEnvironmentPrivilege");
}

bool LoadOfflineHive(Platform& platform, std::wstring_view name, std::wstring_view hiveFile) {
    EnablePrivilege(platform, L"SeBackupPrivilege");
    EnablePrivilege(platform, L"SeRestorePrivilege");
    return platform.LoadRegistryHive(RegistryRoot::LocalMachine, name, hiveFile);
}

}  // namespace certvane
