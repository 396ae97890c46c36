#include "inspect/BitLocker.h"

#include <algorithm>

#include "inspect/EncryptableVolume.h"
#include "inspect/Environment.h"
#include "inspect/OfflineSystemHive.h"
#include "inspect/PathText.h"
#include "inspect/Privileges.h"
#include "inspect/Registry.h"

namespace certvane {
namespace {

constexpr std::int32_t kRecoveryPassword = 3;  // KeyProtectorType of a numerical password

}  // namespace

int QueryBitLockerWmi(Platform& platform, std::wstring_view drive) {
    if (!drive.empty() && drive.back() == L'\\') drive.remove_suffix(1);
    EncryptableVolume volume(platform, drive);
    if (volume.state() == EncryptableVolume::State::Unreadable) return -1;
    if (volume.state() == EncryptableVolume::State::Absent) return 0;
    if (volume.Number(L"ConversionStatus").value_or(0) == 0) return 0;
    return volume.Number(L"ProtectionStatus").value_or(0) == 1 ? 1 : 2;
}

std::optional<BitLockerDetail> ReadBitLockerDetail(Platform& platform, std::wstring_view drive) {
    EncryptableVolume volume(platform, drive);
    if (volume.state() == EncryptableVolume::State::Unreadable) return std::nullopt;
    BitLockerDetail detail;
    detail.drive = std::wstring(drive);
    if (volume.state() == EncryptableVolume::State::Absent) return detail;
    detail.encrypted = volume.Number(L"ConversionStatus").value_or(0) != 0;
    detail.protectionOn = volume.Number(L"ProtectionStatus").value_or(0) == 1;
    // KeyProtectorType 0: every protector.
    if (const auto ids = volume.CallForTexts(L"GetKeyProtectors", {{L"KeyProtectorType", 0, {}}},
                                             L"VolumeKeyProtectorID")) {
        detail.protectorsKnown = true;
        for (const std::wstring& id : *ids) {
            const auto type = volume.CallForNumber(
                L"GetKeyProtectorType", {{L"VolumeKeyProtectorID", {}, id}}, L"KeyProtectorType");
            detail.protectorTypes.push_back(type.value_or(0));
        }
        detail.hasRecoveryPassword = std::ranges::find(detail.protectorTypes, kRecoveryPassword) !=
                                     detail.protectorTypes.end();
    }
    // Only while protection is suspended does the count mean restarts left.
    if (detail.encrypted && !detail.protectionOn) {
        const auto count = volume.CallForNumber(L"GetSuspendCount", {}, L"SuspendCount");
        if (count && *count > 0) detail.suspendCount = *count;
    }
    return detail;
}

std::optional<std::wstring> SystemDrive(Platform& platform) {
    const std::wstring windows = platform.WindowsDirectoryPath();
    if (windows.size() < 2 || windows[1] != L':') return std::nullopt;
    return windows.substr(0, 2);
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
