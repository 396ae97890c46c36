#include <windows.h>

#include <string>

#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<std::wstring> Win32Platform::OwnProgramPath() {
    // Long enough for any path the loader accepts; a cut-off path is no path.
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::nullopt;
    path.resize(length);
    return path;
}

bool Win32Platform::RelaunchElevated(std::wstring_view path, int showCommand) {
    const ShellEntries* shell = Shell();
    if (shell == nullptr) return false;
    const std::wstring file(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own (the caller shows one), and the start is complete
    // before this returns, as the process ends right after.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.nShow = showCommand;
    return shell->ShellExecuteExW(&info) != FALSE;
}

}  // namespace certvane
