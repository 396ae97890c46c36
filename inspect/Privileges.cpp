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

bool EnableFirmwarePrivilege(Platform& platform) {
    return EnablePrivilege(platform, L"SeSystemEnvironmentPrivilege");
}

bool LoadOfflineHive(Platform& platform, std::wstring_view name, std::wstring_view hiveFile) {
    EnablePrivilege(platform, L"SeBackupPrivilege");
    EnablePrivilege(platform, L"SeRestorePrivilege");
    return platform.LoadRegistryHive(RegistryRoot::LocalMachine, name, hiveFile);
}

}  // namespace certvane
