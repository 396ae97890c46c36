#include "inspect/OfflineHive.h"

#include <string>

#include "inspect/PathText.h"
#include "inspect/PrivateFolder.h"
#include "inspect/Privileges.h"

namespace certvane {

bool ReadOfflineHive(Platform& platform, std::wstring_view hiveFile, std::wstring_view name,
                     const std::function<void()>& read) {
    if (!platform.PathExists(hiveFile)) return false;
    const std::wstring folder = MakeFreshPrivateFolder(platform, L"certvane-hive-");
    if (folder.empty()) return false;
    const std::wstring copy =
        UnderDirectory(folder, hiveFile.substr(hiveFile.find_last_of(L'\\') + 1));
    bool loaded = false;
    if (platform.CopyFileTo(hiveFile, copy) && LoadOfflineHive(platform, name, copy)) {
        loaded = true;
        read();
        platform.UnloadRegistryHive(RegistryRoot::LocalMachine, name);
    }
    platform.DeleteDirectoryWithFiles(folder);
    return loaded;
}

}  // namespace certvane
