#include <windows.h>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<RegistryKey> Win32Platform::OpenRegistryKey(RegistryRoot, std::wstring_view subkey,
                                                          std::uint32_t access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Terminated(subkey).c_str(), 0, access, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return FromNative<RegistryKey>(key);
}

std::optional<RegistryValueData> Win32Platform::QueryRegistryValue(RegistryKey key,
                                                                   std::wstring_view name,
                                                                   std::span<std::uint8_t> buffer) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExW(ToNative<HKEY>(key), Terminated(name).c_str(), nullptr, &type,
                         buffer.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return RegistryValueData{type, size};
}

bool Win32Platform::WriteRegistryValue(RegistryKey key, std::wstring_view name, std::uint32_t type,
                                       std::span<const std::uint8_t> data) {
    return RegSetValueExW(ToNative<HKEY>(key), Terminated(name).c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

void Win32Platform::CloseRegistryKey(RegistryKey key) { RegCloseKey(ToNative<HKEY>(key)); }

bool Win32Platform::LoadRegistryHive(RegistryRoot, std::wstring_view name,
                                     std::wstring_view hiveFile) {
    return RegLoadKeyW(HKEY_LOCAL_MACHINE, Terminated(name).c_str(),
                       Terminated(hiveFile).c_str()) == ERROR_SUCCESS;
}

bool Win32Platform::UnloadRegistryHive(RegistryRoot, std::wstring_view name) {
    return RegUnLoadKeyW(HKEY_LOCAL_MACHINE, Terminated(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace certvane
