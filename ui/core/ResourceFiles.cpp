#include "ui/core/ResourceFiles.h"

#include <cstdint>

#include "ui/core/ModuleSettings.h"
#include "ui/core/UiZipArchive.h"

namespace Weft {
namespace {

bool ReadPath(const wchar_t* path, std::vector<BYTE>& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool complete = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= MAXDWORD;
    if (complete) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        complete = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                   read == bytes.size();
    }
    CloseHandle(file);
    return complete;
}

bool ReadArchiveEntry(CUiZipArchive& archive, const wchar_t* name, std::vector<BYTE>& bytes) {
    CUiString entryName(name);
    entryName.Replace(L"\\", L"/");
    int index = -1;
    std::uint32_t size = 0;
    if (!archive.FindEntry(entryName, &index, &size) || size == 0) return false;
    bytes.resize(size);
    return archive.Extract(index, bytes.data(), size) != CUiZipArchive::ExtractResult::Failed;
}

}  // namespace

bool ReadResourceFile(const wchar_t* name, std::vector<BYTE>& bytes) {
    if (name == nullptr || *name == L'\0') return false;
    bool found = false;
    if (GetResourceArchive().name.IsEmpty()) {
        found = ReadPath(GetResourceDirectory() + name, bytes);
    } else if (CUiZipArchive* archive = AcquireResourceArchive()) {
        found = ReadArchiveEntry(*archive, name, bytes);
        ReleaseResourceArchive(archive);
    }
    return found || ReadPath(name, bytes);
}

}  // namespace Weft
