#include "tests/ui/window/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ui/window/GdiplusHeaders.h"
#include "ui/window/RenderEngine.h"

namespace Weft::test {
namespace {

// GDI+ runs for the whole test program. "msimg32.dll" is left to the engine, which loads it
// at its first look-up.
class RenderEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

  private:
    ULONG_PTR token_ = 0;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new RenderEnvironment);

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
        const int shift = bigEndian ? 24 - 8 * i : 8 * i;
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::uint32_t Crc32(const std::uint8_t* data, size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PngChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    Put32(out, static_cast<std::uint32_t>(data.size()), true);
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    Put32(out, Crc32(typed.data(), typed.size()), true);
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t chunk = std::min<size_t>(raw.size() - offset, 65535);
        const bool last = offset + chunk == raw.size();
        out.push_back(last ? 1 : 0);
        Put16(out, static_cast<std::uint16_t>(chunk));
        Put16(out, static_cast<std::uint16_t>(~chunk));
        out.insert(out.end(), raw.begin() + offset, raw.begin() + offset + chunk);
        offset += chunk;
    } while (offset < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(out, (b << 16) | a, true);
    return out;
}

}  // namespace

Canvas::Canvas(int width, int height, std::uint32_t fill)
    : width_(width), height_(height), dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    previous_ = ::SelectObject(dc_, bitmap_);
    Fill(fill);
}

Canvas::~Canvas() {
    ::SelectObject(dc_, previous_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
}

std::uint32_t Canvas::Pixel(int x, int y) const {
    ::GdiFlush();
    return bits_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::Fill(std::uint32_t colour) {
    ::GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) {
        bits_[i] = colour;
    }
}

int Canvas::CountDifferent(std::uint32_t background, RECT* box) const {
    ::GdiFlush();
    int count = 0;
    RECT bounds{width_, height_, -1, -1};
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if ((bits_[y * width_ + x] & 0xFFFFFF) != (background & 0xFFFFFF)) {
                ++count;
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
        }
    }
    if (box != nullptr) {
        *box = bounds;
    }
    return count;
}

int Canvas::CountColour(std::uint32_t rgb, int tolerance) const {
    ::GdiFlush();
    int count = 0;
    for (int i = 0; i < width_ * height_; ++i) {
        if (Near(bits_[i] & 0xFFFFFF, rgb & 0xFFFFFF, tolerance)) {
            ++count;
        }
    }
    return count;
}

bool Canvas::SameAs(const Canvas& other) const {
    ::GdiFlush();
    if (width_ != other.width_ || height_ != other.height_) {
        return false;
    }
    for (int i = 0; i < width_ * height_; ++i) {
        if ((bits_[i] & 0xFFFFFF) != (other.bits_[i] & 0xFFFFFF)) {
            return false;
        }
    }
    return true;
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance) {
            return false;
        }
    }
    return true;
}

void TestImage::FillRect(int left, int top, int right, int bottom, std::uint32_t colour) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            At(x, y) = colour;
        }
    }
}

std::vector<std::uint8_t> EncodePng(const TestImage& image) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> header;
    Put32(header, image.width, true);
    Put32(header, image.height, true);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
    PngChunk(out, "IHDR", header);
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
            raw.insert(raw.end(),
                       {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                        static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
        }
    }
    PngChunk(out, "IDAT", ZlibStored(raw));
    PngChunk(out, "IEND", {});
    return out;
}

std::vector<std::uint8_t> EncodeBmp(const TestImage& image) {
    const int stride = (image.width * 3 + 3) & ~3;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(stride * image.height);
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put32(out, 54 + dataSize, false);
    Put32(out, 0, false);
    Put32(out, 54, false);
    Put32(out, 40, false);
    Put32(out, image.width, false);
    Put32(out, image.height, false);  // bottom-up rows
    Put16(out, 1);
    Put16(out, 24);
    for (int i = 0; i < 6; ++i) {
        Put32(out, i == 1 ? dataSize : 0, false);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
            out.insert(out.end(), {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                                   static_cast<std::uint8_t>(p >> 16)});
        }
        out.resize(out.size() + (stride - image.width * 3), 0);
    }
    return out;
}

namespace {

// The class id of the GDI+ encoder for a MIME type; false when there is none.
bool EncoderOf(const wchar_t* mime, CLSID& clsid) {
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, mime) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const TestImage& image) {
    std::vector<std::uint32_t> pixels = image.pixels;
    Gdiplus::Bitmap bitmap(image.width, image.height, image.width * 4, PixelFormat32bppARGB,
                           reinterpret_cast<BYTE*>(pixels.data()));
    std::vector<std::uint8_t> out;
    CLSID jpeg{};
    if (!EncoderOf(L"image/jpeg", jpeg)) return out;
    IStream* stream = nullptr;
    ::CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (bitmap.Save(stream, &jpeg, nullptr) == Gdiplus::Ok) {
        STATSTG stat{};
        stream->Stat(&stat, STATFLAG_NONAME);
        out.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        LARGE_INTEGER start{};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        ULONG read = 0;
        stream->Read(out.data(), static_cast<ULONG>(out.size()), &read);
    }
    stream->Release();
    return out;
}

bool SavePngFile(const TestImage& image, const wchar_t* path) {
    std::vector<std::uint32_t> pixels = image.pixels;
    Gdiplus::Bitmap bitmap(image.width, image.height, image.width * 4, PixelFormat32bppARGB,
                           reinterpret_cast<BYTE*>(pixels.data()));
    CLSID png{};
    return EncoderOf(L"image/png", png) && bitmap.Save(path, &png, nullptr) == Gdiplus::Ok;
}

std::wstring TempFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, path);
    std::wstring folder = std::wstring(path) + L"weft-window-tests\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring WriteTempFile(const wchar_t* name, const std::vector<std::uint8_t>& bytes) {
    const std::wstring path = TempFolder() + name;
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return path;
}

FakeHost::FakeHost() {
    AddFont(0, L"Tahoma", 13, false, false, false, false);
    fontsAdded = 0;
}

FakeHost::~FakeHost() {
    for (auto& [number, font] : fonts_) {
        ::DeleteObject(font.font);
    }
}

FontRecord* FakeHost::GetFont(int number) {
    auto found = fonts_.find(number);
    return found != fonts_.end() ? &found->second : &fonts_.at(0);
}

FontRecord* FakeHost::GetFontByHandle(HFONT handle) {
    for (auto& [number, font] : fonts_) {
        if (font.font == handle) {
            return &font;
        }
    }
    return &fonts_.at(0);
}

HFONT FakeHost::FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) {
    for (auto& [number, font] : fonts_) {
        if (font.faceName == face && font.size == size && font.bold == bold &&
            font.underline == underline && font.italic == italic) {
            return font.font;
        }
    }
    return nullptr;
}

HFONT FakeHost::AddFont(int number, const wchar_t* face, int size, bool bold, bool underline,
                        bool italic, bool) {
    const HFONT handle =
        ::CreateFontW(-size, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE,
                      DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, face);
    FontRecord& record = fonts_[number];
    if (record.font != nullptr) {
        ::DeleteObject(record.font);
    }
    record.font = handle;
    record.faceName = face;
    record.size = size;
    record.bold = bold;
    record.underline = underline;
    record.italic = italic;
    ++fontsAdded;
    return handle;
}

ImageRecord* FakeHost::FindOrLoadImage(const wchar_t* name, const wchar_t* type, std::uint32_t mask,
                                       bool, bool gdiplus, HINSTANCE instance) {
    auto found = images_.find(name);
    if (found != images_.end()) {
        return found->second.get();
    }
    ImageRecord* record = gdiplus ? CRenderEngine::LoadImageRecord(name, type, mask, instance)
                                  : CRenderEngine::LoadBitmapRecord(name, type, mask, instance);
    if (record != nullptr) {
        images_[name].reset(record);
    }
    return record;
}

DrawingDescription* FakeHost::GetDrawingDescription(const wchar_t* imageText,
                                                    const wchar_t* modifierText) {
    const std::wstring key = std::wstring(imageText) + modifierText;
    auto& slot = descriptions_[key];
    if (!slot) {
        slot = std::make_unique<DrawingDescription>();
        ParseImageDescription(*slot, imageText, modifierText, this);
    }
    return slot.get();
}

void FakeHost::PaintControl(CControlUI*, HDC dc, const CUiRect& paintArea) {
    paintedAreas.push_back(paintArea);
    const HBRUSH brush = ::CreateSolidBrush(
        RGB((controlColour >> 16) & 0xFF, (controlColour >> 8) & 0xFF, controlColour & 0xFF));
    ::FillRect(dc, &paintArea, brush);
    ::DeleteObject(brush);
}

ImageRecord* FakeHost::AddImage(const wchar_t* name, const TestImage& image, std::uint32_t mask) {
    const std::wstring path = WriteTempFile(name, EncodePng(image));
    ImageRecord* record = CRenderEngine::LoadImageRecord(path.c_str(), nullptr, mask, nullptr);
    if (record != nullptr) {
        images_[name].reset(record);
    }
    return record;
}

}  // namespace Weft::test
