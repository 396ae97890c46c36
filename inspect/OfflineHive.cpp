#include "inspect/OfflineHive.h"

#include <string>

#include "inspect/Holdings.h"
#include "inspect/PathText.h"
#include "inspect/PrivateFolder.h"
#include "inspect/Privileges.h"

namespace certvane {

bool ReadOfflineHive(Platform& platform, std::wstring_view hiveFile, std::wstring_view name,
                     const std::function<void()>& read) {
    if (!platform.PathExists(hiveFile)) return false;
    const std::wstring folder = MakeFreshPrivateFolder(platform, L"certvane-hive-");
    if (folder.empty()) return false;
    Holdings& held = ProcessHoldings();
    const std::wstring heldFolder = L"folder:" + folder;
    held.Record(platform, heldFolder,
                [folder](Platform& holder) { holder.DeleteDirectoryWithFiles(folder); });
    const std::wstring copy =
        UnderDirectory(folder, hiveFile.substr(hiveFile.find_last_of(L'\\') + 1));
    // The unload is held before the load: a load that never returns (the process ends while it
    // waits) may still have loaded the hive.
    const std::wstring heldHive = L"hive:" + std::wstring(name);
    held.Record(platform, heldHive, [hiveName = std::wstring(name)](Platform& holder) {
        holder.UnloadRegistryHive(RegistryRoot::LocalMachine, hiveName);
    });
    bool loaded = false;
    if (platform.CopyFileTo(hiveFile, copy) && LoadOfflineHive(platform, name, copy)) {
        loaded = true;
        read();
        held.Release(heldHive);
    } else {
        held.Forget(heldHive);
    }
    held.Release(heldFolder);
    return loaded;
}

}  // namespace certvane
