#include "inspect/BitLocker.h"

#include "inspect/Environment.h"
#include "inspect/PathText.h"
#include "inspect/Privileges.h"
#include "inspect/Registry.h"

namespace certvane {
namespace {

constexpr std::wstring_view kOfflineHiveName = L"TempOfflineSYSTEM";

std::int32_t Int32Property(WmiApi& wmi, ComObject object, std::wstring_view name) {
    const auto value = wmi.WmiProperty(object, name);
    return value && value->variantType == VariantInt32 ? value->int32Value : 0;
}

// The BitLocker provider normally answers in well under a second; a hung one must not hold
// the only worker forever.
constexpr std::uint32_t kWmiTimeoutMs = 60000;

int VolumeState(WmiApi& wmi, ComObject enumerator) {
    const WmiNext next = wmi.NextWmiObject(enumerator, kWmiTimeoutMs);
    // No answer says nothing about the volume: unlike "no such volume" it is not "not
    // encrypted".
    if (next.timedOut) return -1;
    const auto& volume = next.object;
    if (!volume) return 0;
    const std::int32_t conversion = Int32Property(wmi, *volume, L"ConversionStatus");
    const std::int32_t protection = Int32Property(wmi, *volume, L"ProtectionStatus");
    wmi.ReleaseComObject(*volume);
    if (conversion == 0) return 0;
    return protection == 1 ? 1 : 2;
}

int QueryThroughLocator(WmiApi& wmi, ComObject locator, const std::wstring& drive) {
    const auto services =
        wmi.ConnectWmiNamespace(locator, L"ROOT\\CIMV2\\Security\\MicrosoftVolumeEncryption");
    if (!services) return -1;
    wmi.SetWmiProxyBlanket(*services);
    const std::wstring query =
        L"SELECT ConversionStatus, ProtectionStatus FROM Win32_EncryptableVolume WHERE "
        L"DriveLetter = '" +
        drive + L"'";
    int state = -1;
    if (const auto enumerator = wmi.ExecWmiQuery(*services, query)) {
        state = VolumeState(wmi, *enumerator);
        wmi.ReleaseComObject(*enumerator);
    }
    wmi.ReleaseComObject(*services);
    return state;
}

// CurrentControlSet is a link the running system makes at boot; an offline hive holds only
// the numbered control sets, the current one named by Select\Current.
std::optional<RegistryKey> OpenOfflineStatusKey(Platform& platform) {
    const std::wstring hive(kOfflineHiveName);
    if (const auto key = platform.OpenRegistryKey(
            RegistryRoot::LocalMachine, hive + L"\\CurrentControlSet\\Control\\BitLockerStatus",
            RegistryKeyRead)) {
        return key;
    }
    std::uint32_t current = 0;
    if (!ReadRegistryDword(platform, RegistryRoot::LocalMachine, hive + L"\\Select", L"Current",
                           current) ||
        current == 0 || current > 999) {
        return std::nullopt;
    }
    std::wstring number = std::to_wstring(current);
    number.insert(0, 3 - number.size(), L'0');
    return platform.OpenRegistryKey(RegistryRoot::LocalMachine,
                                    hive + L"\\ControlSet" + number + L"\\Control\\BitLockerStatus",
                                    RegistryKeyRead);
}

}  // namespace

int QueryBitLockerWmi(Platform& platform, std::wstring_view drive) {
    if (!drive.empty() && drive.back() == L'\\') drive.remove_suffix(1);
    const bool comInitialized = platform.InitializeComApartment();
    platform.InitializeComSecurity();
    int state = -1;
    if (const auto locator = platform.CreateWmiLocator()) {
        state = QueryThroughLocator(platform, *locator, std::wstring(drive));
        platform.ReleaseComObject(*locator);
    }
    if (comInitialized) platform.UninitializeCom();
    return state;
}

OfflineBitLockerState ReadOfflineBitLockerState(Platform& platform,
                                                std::wstring_view windowsDirectory) {
    OfflineBitLockerState state;
    const std::wstring hive = UnderDirectory(windowsDirectory, L"System32\\config\\SYSTEM");
    if (!platform.PathExists(hive) || !LoadOfflineHive(platform, kOfflineHiveName, hive))
        return state;
    std::optional<std::uint32_t> protection;
    std::optional<std::uint32_t> encryption;
    if (const auto key = OpenOfflineStatusKey(platform)) {
        protection = QueryDwordValue(platform, *key, L"ProtectionStatus");
        encryption = QueryDwordValue(platform, *key, L"EncryptionStatus");
        platform.CloseRegistryKey(*key);
    }
    platform.UnloadRegistryHive(RegistryRoot::LocalMachine, kOfflineHiveName);
    state.found = protection || encryption;
    state.enabled = protection ? *protection == 1 : (encryption && *encryption == 1);
    return state;
}

std::wstring GetBitLockerStatusText(Platform& platform) {
    if (!IsWinPE(platform)) {
        const std::wstring windows = platform.WindowsDirectoryPath();
        if (windows.size() < 2 || windows[1] != L':') return L"无法检测系统盘";
        switch (QueryBitLockerWmi(platform, windows.substr(0, 1) + L":")) {
            case 0:
                return L"未启用";
            case 1:
                return L"已启用（锁定）";
            case 2:
                return L"已启用（已解锁）";
            default:
                return L"无法检测";
        }
    }
    const std::vector<std::wstring> offline = FindOfflineWindows(platform);
    if (offline.empty()) return L"未找到离线系统";
    const std::wstring& directory = offline.front();
    const int state = QueryBitLockerWmi(platform, directory.substr(0, 1) + L":");
    if (state == 0) return L"未启用";
    if (state == 1 || state == 2) return L"已启用";
    const OfflineBitLockerState offlineState = ReadOfflineBitLockerState(platform, directory);
    if (!offlineState.found) return L"无法检测";
    return offlineState.enabled ? L"已启用" : L"未启用";
}

}  // namespace certvane
