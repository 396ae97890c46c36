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

std::optional<std::vector<std::uint8_t>> Win32Platform::ReadFileBytes(std::wstring_view path,
                                                                      std::uint64_t maxBytes) {
    const HANDLE file = CreateFileW(Terminated(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> contents;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) <= maxBytes &&
        size.QuadPart <= MAXDWORD) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
            read == bytes.size()) {
            contents = std::move(bytes);
        }
    }
    CloseHandle(file);
    return contents;
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
