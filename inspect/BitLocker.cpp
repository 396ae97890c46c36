#include "inspect/BitLocker.h"

#include "inspect/Environment.h"
#include "inspect/OfflineSystemHive.h"
#include "inspect/PathText.h"
#include "inspect/Privileges.h"
#include "inspect/Registry.h"

namespace certvane {
namespace {

std::int32_t Int32Property(WmiApi& wmi, ComObject object, std::wstring_view name) {
    const auto value = wmi.WmiProperty(object, name);
    return value && value->variantType == VariantInt32 ? value->int32Value : 0;
}

// The BitLocker provider normally answers in well under a second; a hung one must not hold
// the only worker forever.
constexpr std::uint32_t kWmiTimeoutMs = 60000;

int VolumeState(WmiApi& wmi, ComObject enumerator) {
    const WmiNext next = wmi.NextWmiObject(enumerator, kWmiTimeoutMs);
    // No answer, or a failed one, says nothing about the volume: unlike "no such volume" it is
    // not "not encrypted".
    if (next.timedOut || next.failed) return -1;
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
    std::optional<std::uint32_t> protection;
    std::optional<std::uint32_t> encryption;
    ReadOfflineControlSet(platform, windowsDirectory, [&](const std::wstring& controlSet) {
        const auto key =
            platform.OpenRegistryKey(RegistryRoot::LocalMachine,
                                     controlSet + L"\\Control\\BitLockerStatus", RegistryKeyRead);
        if (!key) return;
        protection = QueryDwordValue(platform, *key, L"ProtectionStatus");
        encryption = QueryDwordValue(platform, *key, L"EncryptionStatus");
        platform.CloseRegistryKey(*key);
    });
    OfflineBitLockerState state;
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
