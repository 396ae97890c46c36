// Decoding PNG, BMP and JPEG bytes into premultiplied top-down DIB sections, from files, the
// resource directory and the module's resources.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/ui/window/RenderTestSupport.h"
#include "ui/core/ModuleSettings.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

using test::TestImage;

std::uint32_t StoredPixel(const ImageRecord& record, int x, int y) {
    std::uint32_t value;
    std::memcpy(&value, record.pixels + (static_cast<size_t>(y) * record.width + x) * 4, 4);
    return value;
}

std::unique_ptr<ImageRecord> LoadFile(const wchar_t* name, const std::vector<std::uint8_t>& bytes,
                                      std::uint32_t mask = 0, bool gdiplus = false) {
    const std::wstring path = test::WriteTempFile(name, bytes);
    return std::unique_ptr<ImageRecord>(
        gdiplus ? CRenderEngine::LoadImageRecord(path.c_str(), nullptr, mask, nullptr)
                : CRenderEngine::LoadBitmapRecord(path.c_str(), nullptr, mask, nullptr));
}

TEST(ImageLoading, PngBecomesPremultipliedTopDownPixels) {
    TestImage image(3, 2, 0xFF102030);
    image.At(0, 0) = 0xFFFF0000;
    image.At(2, 1) = 0x80FF8040;
    image.At(1, 1) = 0x00FFFFFF;
    const auto record = LoadFile(L"alpha.png", test::EncodePng(image));
    ASSERT_NE(record, nullptr);
    ASSERT_NE(record->bitmap, nullptr);
    EXPECT_EQ(record->width, 3);
    EXPECT_EQ(record->height, 2);
    EXPECT_TRUE(record->hasAlpha);
    EXPECT_EQ(record->gdiplusImage, nullptr);
    EXPECT_EQ(StoredPixel(*record, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(StoredPixel(*record, 1, 0), 0xFF102030u);
    EXPECT_EQ(StoredPixel(*record, 2, 1), (0x80u << 24) | ((0xFFu * 0x80 / 255) << 16) |
                                              ((0x80u * 0x80 / 255) << 8) | (0x40u * 0x80 / 255));
    EXPECT_EQ(StoredPixel(*record, 1, 1), 0u);

    BITMAP info{};
    ASSERT_EQ(::GetObjectW(record->bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, record->pixels);
}

TEST(ImageLoading, OpaqueImageHasNoAlphaAndMaskClearsMatchingPixels) {
    TestImage image(4, 4, 0xFF00FF00);
    image.FillRect(0, 0, 2, 2, 0xFFFF00FF);
    const auto plain = LoadFile(L"opaque.png", test::EncodePng(image));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->hasAlpha);

    const auto masked = LoadFile(L"masked.png", test::EncodePng(image), 0xFFFF00FF);
    ASSERT_NE(masked, nullptr);
    EXPECT_TRUE(masked->hasAlpha);
    EXPECT_EQ(StoredPixel(*masked, 1, 1), 0u);
    EXPECT_EQ(StoredPixel(*masked, 3, 3), 0xFF00FF00u);
}

TEST(ImageLoading, BmpAndJpegDecodeToTheirColours) {
    TestImage image(16, 16, 0xFF2040C0);
    image.FillRect(0, 8, 16, 16, 0xFFE0C020);
    const auto bmp = LoadFile(L"plain.bmp", test::EncodeBmp(image));
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(StoredPixel(*bmp, 3, 2), 0xFF2040C0u);
    EXPECT_EQ(StoredPixel(*bmp, 3, 12), 0xFFE0C020u);
    EXPECT_FALSE(bmp->hasAlpha);

    const std::vector<std::uint8_t> jpeg = test::EncodeJpeg(image);
    ASSERT_GT(jpeg.size(), 100u);
    const auto decoded = LoadFile(L"plain.jpg", jpeg);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->width, 16);
    EXPECT_TRUE(test::Near(StoredPixel(*decoded, 3, 2), 0xFF2040C0u, 24));
    EXPECT_TRUE(test::Near(StoredPixel(*decoded, 3, 13), 0xFFE0C020u, 24));
}

TEST(ImageLoading, GdiplusLoaderAlsoBuildsTheGdiplusImage) {
    const auto record =
        LoadFile(L"both.png", test::EncodePng(TestImage(5, 7, 0xFF808080)), 0, true);
    ASSERT_NE(record, nullptr);
    ASSERT_NE(record->gdiplusImage, nullptr);
    EXPECT_NE(record->bitmap, nullptr);
}

TEST(ImageLoading, NamesAreReadFromTheResourceDirectoryFirst) {
    test::WriteTempFile(L"in-dir.png", test::EncodePng(TestImage(2, 2, 0xFF0000FF)));
    SetResourceDirectory(test::TempFolder().c_str());
    const std::unique_ptr<ImageRecord> record(
        CRenderEngine::LoadBitmapRecord(L"in-dir.png", nullptr, 0, nullptr));
    SetResourceDirectory(L"");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(StoredPixel(*record, 1, 1), 0xFF0000FFu);
}

TEST(ImageLoading, MissingOrUndecodableInputGivesNull) {
    EXPECT_EQ(CRenderEngine::LoadBitmapRecord(L"Z:\\no\\such\\image.png", nullptr, 0, nullptr),
              nullptr);
    EXPECT_EQ(LoadFile(L"garbage.png", {1, 2, 3, 4, 5, 6, 7, 8}), nullptr);
    EXPECT_EQ(LoadFile(L"empty.png", {}), nullptr);
    EXPECT_EQ(CRenderEngine::LoadBitmapRecord(MAKEINTRESOURCEW(999), L"PNG", 0, nullptr), nullptr);
    EXPECT_EQ(CRenderEngine::LoadBitmapRecord(nullptr, nullptr, 0, nullptr), nullptr);
}

TEST(ImageLoading, ResourceImagesComeFromTheModule) {
    SetModuleInstance(::GetModuleHandleW(nullptr));
    const std::unique_ptr<ImageRecord> record(
        CRenderEngine::LoadBitmapRecord(MAKEINTRESOURCEW(101), L"PNG", 0, nullptr));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->width, 4);
    EXPECT_EQ(record->height, 3);
    EXPECT_EQ(StoredPixel(*record, 0, 0), 0xFFC03010u);
    EXPECT_EQ(StoredPixel(*record, 3, 2), 0xFF10A0E0u);
    EXPECT_FALSE(record->hasAlpha);
}

TEST(ImageLoading, WithAnArchiveSetNamesAreEntriesOfTheArchive) {
    SetResourceDirectory(WEFT_TEST_RESOURCES);
    SetResourceArchive(L"images.zip", nullptr, false);
    const std::unique_ptr<ImageRecord> entry(
        CRenderEngine::LoadBitmapRecord(L"images\\arch.png", nullptr, 0, nullptr));
    // Outside the archive a name is read as a path of its own.
    const std::unique_ptr<ImageRecord> beside(CRenderEngine::LoadBitmapRecord(
        WEFT_TEST_RESOURCES L"loader-test.png", nullptr, 0, nullptr));
    const std::unique_ptr<ImageRecord> absent(
        CRenderEngine::LoadBitmapRecord(L"loader-test.png", nullptr, 0, nullptr));
    SetResourceArchive(L"", nullptr, false);
    SetResourceDirectory(L"");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->width, 4);
    EXPECT_EQ(StoredPixel(*entry, 0, 0), 0xFFC03010u);
    EXPECT_NE(beside, nullptr);
    EXPECT_EQ(absent, nullptr);
}

TEST(ImageLoading, KeptPixelsAreAnIndependentCopy) {
    auto record = LoadFile(L"keep.png", test::EncodePng(TestImage(2, 2, 0xFF336699)));
    ASSERT_NE(record, nullptr);
    ASSERT_TRUE(record->KeepLoadedPixels());
    ASSERT_NE(record->loadedPixels, nullptr);
    EXPECT_NE(record->loadedPixels, record->pixels);
    EXPECT_EQ(std::memcmp(record->loadedPixels, record->pixels, 16), 0);
}

}  // namespace
}  // namespace Weft
