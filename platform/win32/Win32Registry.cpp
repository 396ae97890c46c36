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

std::vector<std::wstring> Win32Platform::RegistryValueNames(RegistryKey key, std::size_t maxNames) {
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(ToNative<HKEY>(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &count, &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<std::wstring> names;
    std::vector<wchar_t> name(static_cast<std::size_t>(longest) + 1);
    for (DWORD index = 0; index < count && names.size() < maxNames; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(ToNative<HKEY>(key), index, name.data(), &length, nullptr, nullptr,
                          nullptr, nullptr) != ERROR_SUCCESS) {
            continue;  // changed while enumerated, or longer than announced
        }
        names.emplace_back(name.data(), length);
    }
    return names;
}

void Win32Platform::CloseRegistryKey(RegistryKey key) {
    RegCloseKey(ToNative<HKEY>(key));
}

bool Win32Platform::LoadRegistryHive(RegistryRoot, std::wstring_view name,
                                     std::wstring_view hiveFile) {
    return RegLoadKeyW(HKEY_LOCAL_MACHINE, Terminated(name).c_str(),
                       Terminated(hiveFile).c_str()) == ERROR_SUCCESS;
}

bool Win32Platform::UnloadRegistryHive(RegistryRoot, std::wstring_view name) {
    return RegUnLoadKeyW(HKEY_LOCAL_MACHINE, Terminated(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace certvane
