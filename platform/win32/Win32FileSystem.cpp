#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <sddl.h>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<std::uint32_t> Win32Platform::FileAttributesOf(std::wstring_view path) {
    const DWORD attributes = GetFileAttributesW(Terminated(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool Win32Platform::PathExists(std::wstring_view path) {
    return GetFileAttributesW(Terminated(path).c_str()) != INVALID_FILE_ATTRIBUTES;
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

std::optional<std::vector<std::uint8_t>> Win32Platform::ReadFileRange(std::wstring_view path,
                                                                      std::uint64_t offset,
                                                                      std::uint32_t maxBytes) {
    if (offset > static_cast<std::uint64_t>(MAXLONGLONG)) return std::nullopt;
    const HANDLE file =
        CreateFileW(Terminated(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> contents;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    std::vector<std::uint8_t> bytes(maxBytes);
    DWORD read = 0;
    if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
        ReadFile(file, bytes.data(), maxBytes, &read, nullptr)) {
        bytes.resize(read);
        contents = std::move(bytes);
    }
    CloseHandle(file);
    return contents;
}

std::optional<std::vector<DirectoryEntry>> Win32Platform::ListDirectory(std::wstring_view folder,
                                                                        std::size_t maxEntries) {
    WIN32_FIND_DATAW found{};
    // The pattern of every name; the folder's own reparse point is listed, never followed.
    const HANDLE search = FindFirstFileExW((std::wstring(folder) + L"*").c_str(), FindExInfoBasic,
                                           &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<DirectoryEntry> entries;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back(
            {std::wstring(name), found.dwFileAttributes,
             (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
    } while (entries.size() <= maxEntries && FindNextFileW(search, &found));
    FindClose(search);
    return entries;
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

bool Win32Platform::MakePrivateDirectory(std::wstring_view path) {
    // Full access for SYSTEM and Administrators, inherited by what is made inside; nothing
    // inherited from the parent, which a standard user may be able to write.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", SDDL_REVISION_1, &descriptor, nullptr)) {
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const bool made = CreateDirectoryW(Terminated(path).c_str(), &attributes) != FALSE;
    LocalFree(descriptor);
    return made;
}

bool Win32Platform::IsPlainFolder(std::wstring_view path) {
    const HANDLE folder =
        CreateFileW(Terminated(path).c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool read = GetFileInformationByHandle(folder, &info) != FALSE;
    CloseHandle(folder);
    return read && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool Win32Platform::CopyFileTo(std::wstring_view source, std::wstring_view destination) {
    return CopyFileW(Terminated(source).c_str(), Terminated(destination).c_str(), TRUE) != FALSE;
}

bool Win32Platform::DeleteDirectoryWithFiles(std::wstring_view folder) {
    std::wstring base(folder);
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW((base + L"*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const DWORD kind = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
            if ((found.dwFileAttributes & kind) == 0) DeleteFileW((base + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(Terminated(folder).c_str()) != FALSE;
}

std::wstring Win32Platform::UnguessableName() {
    GUID guid{};
    if (FAILED(CoCreateGuid(&guid))) return {};
    wchar_t text[40] = {};
    if (StringFromGUID2(guid, text, 40) == 0) return {};
    return text;
}

}  // namespace certvane
