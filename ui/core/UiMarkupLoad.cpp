#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "ui/core/ModuleSettings.h"
#include "ui/core/UiMarkup.h"
#include "ui/core/UiString.h"
#include "ui/core/UiZipArchive.h"

namespace Weft {
namespace {

wchar_t* AllocateText(size_t units) {
    auto* text = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * (units + 1)));
    if (text != nullptr) text[units] = L'\0';
    return text;
}

wchar_t* ConvertMultiByte(UINT codePage, const char* bytes, DWORD size) {
    if (size == 0) return AllocateText(0);
    const int length = static_cast<int>(size);
    const int units = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (units <= 0) return nullptr;
    wchar_t* text = AllocateText(static_cast<size_t>(units));
    if (text != nullptr) MultiByteToWideChar(codePage, 0, bytes, length, text, units);
    return text;
}

// UTF-16 needs its byte-order mark: without one the byte order is unknown and nothing loads.
wchar_t* ConvertUtf16(const unsigned char* bytes, DWORD size) {
    if (size < 2) return nullptr;
    const bool little = bytes[0] == 0xFF && bytes[1] == 0xFE;
    const bool big = bytes[0] == 0xFE && bytes[1] == 0xFF;
    if (!little && !big) return nullptr;
    const size_t units = (size - 2) / 2;
    wchar_t* text = AllocateText(units);
    if (text == nullptr) return nullptr;
    const unsigned char* p = bytes + 2;
    for (size_t i = 0; i < units; ++i, p += 2) {
        text[i] = static_cast<wchar_t>(little ? p[0] | p[1] << 8 : p[0] << 8 | p[1]);
    }
    return text;
}

}  // namespace

CUiMarkup::CUiMarkup(const wchar_t* text) {
    if (text != nullptr) Load(text);
}

CUiMarkup::~CUiMarkup() {
    Release();
}

void CUiMarkup::Release() {
    std::free(text_);
    text_ = nullptr;
    std::free(elements_);
    elements_ = nullptr;
    elementCount_ = 0;
    elementCapacity_ = 0;
}

CUiMarkupNode CUiMarkup::GetRoot() {
    return IsValid() ? CUiMarkupNode(this, 1) : CUiMarkupNode();
}

// Takes ownership of a converted text and parses it; a failed conversion fails the load.
bool CUiMarkup::TakeText(wchar_t* text) {
    if (text == nullptr) return false;
    text_ = text;
    return Parse();
}

bool CUiMarkup::Load(const wchar_t* text) {
    Release();
    ClearError();
    if (text == nullptr) return false;
    const size_t units = std::wcslen(text);
    wchar_t* copy = AllocateText(units);
    if (copy != nullptr) std::wmemcpy(copy, text, units);
    return TakeText(copy);
}

bool CUiMarkup::LoadFromMem(const void* bytes, DWORD size, int encoding) {
    Release();
    ClearError();
    if (bytes == nullptr) return false;
    const auto* data = static_cast<const unsigned char*>(bytes);
    if (encoding == EncodingUtf8) {
        if (size > 2 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            size -= 3;
        }
        return TakeText(ConvertMultiByte(CP_UTF8, reinterpret_cast<const char*>(data), size));
    }
    if (encoding == EncodingAnsi) {
        return TakeText(ConvertMultiByte(CP_ACP, reinterpret_cast<const char*>(data), size));
    }
    return TakeText(ConvertUtf16(data, size));
}

bool CUiMarkup::LoadFromFile(const wchar_t* name, int encoding) {
    Release();
    ClearError();
    if (name == nullptr) return false;
    if (GetResourceArchive().name.IsEmpty()) return LoadFromFolder(name, encoding);
    return LoadFromArchive(name, encoding);
}

bool CUiMarkup::LoadFromFolder(const wchar_t* name, int encoding) {
    const CUiString path = GetResourceDirectory() + name;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(L"Error opening file");
    LARGE_INTEGER size{};
    const bool sized = GetFileSizeEx(file, &size);
    if (!sized || size.QuadPart == 0) {
        CloseHandle(file);
        return Fail(sized ? L"File is empty" : L"Could not read file");
    }
    if (size.QuadPart > MaxFileSize) {
        CloseHandle(file);
        return Fail(L"File too large");
    }
    std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok || read != bytes.size()) return Fail(L"Could not read file");
    return LoadFromMem(bytes.data(), read, encoding);
}

bool CUiMarkup::LoadFromArchive(const wchar_t* name, int encoding) {
    CUiZipArchive* archive = AcquireResourceArchive();
    if (archive == nullptr) return Fail(L"Error opening zip file");
    CUiString entryName(name);
    entryName.Replace(L"\\", L"/");
    int index = -1;
    std::uint32_t size = 0;
    std::vector<unsigned char> bytes;
    const wchar_t* failure = nullptr;
    if (!archive->FindEntry(entryName, &index, &size)) {
        failure = L"Could not find ziped file";
    } else if (size == 0) {
        failure = L"File is empty";
    } else if (size > MaxFileSize) {
        failure = L"File too large";
    } else {
        bytes.resize(size);
        if (archive->Extract(index, bytes.data(), size) == CUiZipArchive::ExtractResult::Failed) {
            failure = L"Could not unzip file";
        }
    }
    ReleaseResourceArchive(archive);
    if (failure != nullptr) return Fail(failure);
    return LoadFromMem(bytes.data(), size, encoding);
}

}  // namespace Weft
