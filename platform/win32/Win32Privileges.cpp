#include <windows.h>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<TokenHandle> Win32Platform::OpenOwnProcessToken(std::uint32_t access) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), access, &token)) return std::nullopt;
    return FromNative<TokenHandle>(token);
}

std::optional<std::uint64_t> Win32Platform::LookupPrivilegeId(std::wstring_view privilegeName) {
    LUID luid{};
    if (!LookupPrivilegeValueW(nullptr, Terminated(privilegeName).c_str(), &luid)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(luid.HighPart)) << 32 |
           luid.LowPart;
}

PrivilegeAdjustment Win32Platform::AdjustTokenPrivilege(TokenHandle token,
                                                        std::uint64_t privilegeId,
                                                        std::uint32_t attributes) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid.LowPart = static_cast<DWORD>(privilegeId);
    privileges.Privileges[0].Luid.HighPart = static_cast<LONG>(privilegeId >> 32);
    privileges.Privileges[0].Attributes = attributes;
    const BOOL adjusted =
        AdjustTokenPrivileges(ToNative<HANDLE>(token), FALSE, &privileges, 0, nullptr, nullptr);
    return {adjusted != FALSE, GetLastError()};
}

void Win32Platform::CloseToken(TokenHandle token) {
    CloseHandle(ToNative<HANDLE>(token));
}

std::optional<bool> Win32Platform::QueryTokenElevation(TokenHandle token) {
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(ToNative<HANDLE>(token), TokenElevation, &elevation, sizeof elevation,
                             &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

}  // namespace certvane
