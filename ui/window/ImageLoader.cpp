#include "ui/window/RenderEngine.h"

#include <objbase.h>

#include <cstring>
#include <memory>
#include <vector>

#include <stb_image.h>

#include "ui/core/ModuleSettings.h"
#include "ui/core/UiZipArchive.h"
#include "ui/window/DibSection.h"
#include "ui/window/GdiplusHeaders.h"

namespace Weft {
namespace {

using Bytes = std::vector<BYTE>;

bool ReadResource(const wchar_t* name, const wchar_t* type, HINSTANCE instance, Bytes& bytes) {
    if (instance == nullptr) {
        instance = GetResourceInstance();
    }
    const HRSRC found = ::FindResourceW(instance, name, type);
    if (found == nullptr) {
        return false;
    }
    const HGLOBAL loaded = ::LoadResource(instance, found);
    const DWORD size = ::SizeofResource(instance, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data != nullptr && size > 0) {
        const BYTE* first = static_cast<const BYTE*>(data);
        bytes.assign(first, first + size);
    }
    if (loaded != nullptr) {
        ::FreeResource(loaded);
    }
    return !bytes.empty();
}

bool ReadWholeFile(const wchar_t* path, Bytes& bytes) {
    const HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size{};
    bool complete = false;
    // stb_image reads lengths as int, so larger files cannot be images it decodes.
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        complete =
            ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
            read == bytes.size();
    }
    ::CloseHandle(file);
    if (!complete) {
        bytes.clear();
    }
    return complete;
}

bool ReadArchiveEntry(const wchar_t* name, Bytes& bytes) {
    CUiZipArchive* archive = AcquireResourceArchive();
    if (archive == nullptr) {
        return false;
    }
    CUiString entryName(name);
    entryName.Replace(L"\\", L"/");
    int index = 0;
    std::uint32_t size = 0;
    bool read = false;
    if (archive->FindEntry(entryName.GetData(), &index, &size) && size > 0) {
        bytes.resize(size);
        read = archive->Extract(index, bytes.data(), size) != CUiZipArchive::ExtractResult::Failed;
    }
    ReleaseResourceArchive(archive);
    if (!read) {
        bytes.clear();
    }
    return read;
}

bool ReadImageBytes(const wchar_t* name, const wchar_t* type, HINSTANCE instance, Bytes& bytes) {
    if (type != nullptr) {
        return ReadResource(name, type, instance, bytes);
    }
    if (IS_INTRESOURCE(name)) {
        return false;
    }
    if (GetResourceArchive().name.IsEmpty()) {
        const CUiString inDirectory = GetResourceDirectory() + name;
        return ReadWholeFile(inDirectory.GetData(), bytes) || ReadWholeFile(name, bytes);
    }
    return ReadArchiveEntry(name, bytes) || ReadWholeFile(name, bytes);
}

// Premultiplies the decoded red, green, blue, alpha bytes into the DIB's blue, green, red,
// alpha order and clears the pixels that match the mask colour.
bool ConvertPixels(const stbi_uc* decoded, int count, std::uint32_t mask, BYTE* out) {
    bool hasAlpha = false;
    for (int i = 0; i < count; ++i, decoded += 4, out += 4) {
        const unsigned alpha = decoded[3];
        if (alpha == 255) {
            out[0] = decoded[2];
            out[1] = decoded[1];
            out[2] = decoded[0];
        } else {
            out[0] = static_cast<BYTE>(decoded[2] * alpha / 255);
            out[1] = static_cast<BYTE>(decoded[1] * alpha / 255);
            out[2] = static_cast<BYTE>(decoded[0] * alpha / 255);
            hasAlpha = true;
        }
        out[3] = static_cast<BYTE>(alpha);
        std::uint32_t stored;
        std::memcpy(&stored, out, 4);
        if (stored == mask) {
            std::memset(out, 0, 4);
            hasAlpha = true;
        }
    }
    return hasAlpha;
}

void DecodeIntoBitmap(const Bytes& bytes, std::uint32_t mask, ImageRecord& record) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                             &height, &channels, 4);
    if (decoded == nullptr) {
        return;
    }
    void* bits = nullptr;
    const HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    if (bitmap != nullptr) {
        record.bitmap = bitmap;
        record.pixels = static_cast<BYTE*>(bits);
        record.width = width;
        record.height = height;
        record.hasAlpha = ConvertPixels(decoded, width * height, mask, record.pixels);
    }
    stbi_image_free(decoded);
}

Gdiplus::Image* DecodeWithGdiplus(const Bytes& bytes) {
    const HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, bytes.size());
    if (block == nullptr) {
        return nullptr;
    }
    std::memcpy(static_cast<void*>(block), bytes.data(), bytes.size());
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) {
        ::GlobalFree(block);
        return nullptr;
    }
    // GDI+ objects come from GDI+'s own allocator, which answers null rather than throwing.
    auto* image = new Gdiplus::Image(stream);
    // The image holds its own reference to the stream while it lives.
    stream->Release();
    if (image != nullptr && image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return nullptr;
    }
    return image;
}

ImageRecord* Load(const wchar_t* name, const wchar_t* type, std::uint32_t mask, HINSTANCE instance,
                  bool withGdiplus) {
    if (name == nullptr) {
        return nullptr;
    }
    Bytes bytes;
    if (!ReadImageBytes(name, type, instance, bytes)) {
        return nullptr;
    }
    auto record = std::make_unique<ImageRecord>();
    DecodeIntoBitmap(bytes, mask, *record);
    if (withGdiplus) {
        record->gdiplusImage = DecodeWithGdiplus(bytes);
    }
    if (record->bitmap == nullptr && record->gdiplusImage == nullptr) {
        return nullptr;
    }
    return record.release();
}

}  // namespace

ImageRecord* CRenderEngine::LoadImageRecord(const wchar_t* name, const wchar_t* type,
                                            std::uint32_t mask, HINSTANCE instance) {
    return Load(name, type, mask, instance, true);
}

ImageRecord* CRenderEngine::LoadBitmapRecord(const wchar_t* name, const wchar_t* type,
                                             std::uint32_t mask, HINSTANCE instance) {
    return Load(name, type, mask, instance, false);
}

}  // namespace Weft
