#include "inspect/OfflineSystemHive.h"

#include "inspect/OfflineHive.h"
#include "inspect/PathText.h"
#include "inspect/Registry.h"

namespace certvane {
namespace {

constexpr std::wstring_view kOfflineHiveName = L"TempOfflineSYSTEM";

bool KeyExists(Platform& platform, const std::wstring& path) {
    const auto key = platform.OpenRegistryKey(RegistryRoot::LocalMachine, path, RegistryKeyRead);
    if (key) platform.CloseRegistryKey(*key);
    return key.has_value();
}

// CurrentControlSet is a link the running system makes at boot; an offline hive holds only
// the numbered control sets, the current one named by Select\Current.
std::optional<std::wstring> CurrentControlSet(Platform& platform) {
    const std::wstring hive(kOfflineHiveName);
    if (KeyExists(platform, hive + L"\\CurrentControlSet")) return hive + L"\\CurrentControlSet";
    std::uint32_t current = 0;
    if (!ReadRegistryDword(platform, RegistryRoot::LocalMachine, hive + L"\\Select", L"Current",
                           current) ||
        current == 0 || current > 999) {
        return std::nullopt;
    }
    std::wstring number = std::to_wstring(current);
    number.insert(0, 3 - number.size(), L'0');
    return hive + L"\\ControlSet" + number;
}

}  // namespace

bool ReadOfflineControlSet(Platform& platform, std::wstring_view windowsDirectory,
                           const std::function<void(const std::wstring& controlSet)>& read) {
    const std::wstring hive = UnderDirectory(windowsDirectory, L"System32\\config\\SYSTEM");
    std::optional<std::wstring> controlSet;
    ReadOfflineHive(platform, hive, kOfflineHiveName, [&] {
        controlSet = CurrentControlSet(platform);
        if (controlSet) read(*controlSet);
    });
    return controlSet.has_value();
}

}  // namespace certvane
