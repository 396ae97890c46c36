#include <windows.h>
#include <shlwapi.h>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<std::uint32_t> Win32Platform::FileAttributesOf(std::wstring_view path) {
    const DWORD attributes = GetFileAttributesW(Terminated(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool Win32Platform::PathExists(std::wstring_view path) {
    return PathFileExistsW(Terminated(path).c_str()) != FALSE;
}

std::wstring Win32Platform::WindowsDirectoryPath() {
    wchar_t buffer[MAX_PATH] = {};
    return FromPathBuffer(buffer, GetWindowsDirectoryW(buffer, MAX_PATH));
}

std::wstring Win32Platform::SystemDirectoryPath() {
    wchar_t buffer[MAX_PATH] = {};
    return FromPathBuffer(buffer, GetSystemDirectoryW(buffer, MAX_PATH));
}

std::wstring Win32Platform::TempDirectoryPath() {
    wchar_t buffer[MAX_PATH] = {};
    return FromPathBuffer(buffer, GetTempPathW(MAX_PATH, buffer));
}

std::wstring Win32Platform::CurrentDirectoryPath() {
    wchar_t buffer[MAX_PATH] = {};
    return FromPathBuffer(buffer, GetCurrentDirectoryW(MAX_PATH, buffer));
}

bool Win32Platform::MakeDirectory(std::wstring_view path) {
    return CreateDirectoryW(Terminated(path).c_str(), nullptr) != FALSE;
}

bool Win32Platform::DeleteDirectory(std::wstring_view path) {
    return RemoveDirectoryW(Terminated(path).c_str()) != FALSE;
}

}  // namespace certvane
