#include "inspect/Environment.h"

#include "inspect/PathText.h"
#include "inspect/Registry.h"
#include "inspect/SignatureDatabase.h"

namespace certvane {
namespace {

constexpr std::wstring_view kSecureBootStateKey =
    L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State";

bool DbIsReadable(Platform& platform) {
    return !ReadFirmwareVariable(platform, L"db", ImageSecurityDatabaseGuid).empty();
}

}  // namespace

bool IsWinPE(Platform& platform) {
    if (platform.FileAttributesOf(L"X:\\Windows\\System32\\winpeshl.exe")) return true;
    const std::wstring options =
        ReadRegistryString(platform, RegistryRoot::LocalMachine,
                           L"SYSTEM\\CurrentControlSet\\Control", L"SystemStartOptions");
    return options.size() >= 6 && options.find(L"MININT") != std::wstring::npos;
}

std::vector<std::wstring> FindOfflineWindows(Platform& platform) {
    const std::wstring running = WithoutTrailingBackslash(platform.WindowsDirectoryPath());
    std::vector<std::wstring> found;
    const std::uint32_t mask = platform.LogicalDriveMask();
    for (int index = 0; index < 26; ++index) {
        if ((mask & (1u << index)) == 0) continue;
        const std::wstring root{static_cast<wchar_t>(L'A' + index), L':', L'\\'};
        const std::uint32_t type = platform.DriveTypeOf(root);
        if (type != DriveRemovable && type != DriveFixed) continue;
        const std::wstring candidate = root + L"Windows";
        if (!platform.PathExists(candidate) ||
            !platform.PathExists(UnderDirectory(candidate, L"System32\\config\\SYSTEM"))) {
            continue;
        }
        if (EqualsIgnoringCase(WithoutTrailingBackslash(candidate), running)) continue;
        found.push_back(candidate);
    }
    return found;
}

bool IsUefiBoot(Platform& platform) {
    if (const auto type = platform.QueryFirmwareType()) return *type == FirmwareTypeUefi;
    return DbIsReadable(platform);
}

std::wstring BootModeText(Platform& platform) {
    if (const auto type = platform.QueryFirmwareType()) {
        if (*type == FirmwareTypeBios) return L"Legacy BIOS";
        if (*type == FirmwareTypeUefi) return L"UEFI";
        return L"未知";
    }
    return DbIsReadable(platform) ? L"UEFI (推测)" : L"无法检测 (可能为 Legacy BIOS)";
}

bool IsSecureBootEnabled(Platform& platform) {
    std::uint32_t enabled = 0;
    return ReadRegistryDword(platform, RegistryRoot::LocalMachine, kSecureBootStateKey,
                             L"UEFISecureBootEnabled", enabled) &&
           enabled != 0;
}

}  // namespace certvane
