// Loading layouts from bytes in the three encodings, from files and from zip archives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/core/ModuleSettings.h"
#include "ui/core/ResourceFiles.h"
#include "ui/core/UiMarkup.h"
#include "ui/core/UiZipArchive.h"

namespace Weft {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Utf16(const std::wstring& text, bool bigEndian) {
    Bytes bytes;
    for (wchar_t ch : text) {
        const auto high = static_cast<unsigned char>(ch >> 8);
        const auto low = static_cast<unsigned char>(ch & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Ascii(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::wstring RootName(CUiMarkup& markup) {
    const CUiMarkupNode root = markup.GetRoot();
    return root.IsValid() ? root.GetName() : L"<none>";
}

std::wstring FirstValue(CUiMarkup& markup) {
    CUiMarkupNode root = markup.GetRoot();
    return root.IsValid() ? root.GetAttributeValue(0) : L"<none>";
}

TEST(CUiMarkupLoadFromMem, ReadsUtf8WithOrWithoutByteOrderMark) {
    CUiMarkup markup;
    const Bytes layout = Ascii("<Label text=\"\xE5\x88\xB7\xE6\x96\xB0\"/>");
    ASSERT_TRUE(markup.LoadFromMem(layout.data(), static_cast<DWORD>(layout.size()), 0));
    EXPECT_EQ(FirstValue(markup), L"\u5237\u65B0");
    const Bytes marked = Cat({0xEF, 0xBB, 0xBF}, layout);
    ASSERT_TRUE(markup.LoadFromMem(marked.data(), static_cast<DWORD>(marked.size()), 0));
    EXPECT_EQ(RootName(markup), L"Label");
}

TEST(CUiMarkupLoadFromMem, ReadsUtf16InBothByteOrders) {
    CUiMarkup markup;
    const std::wstring layout = L"<Label text=\"\u5237\u65B0\"/>";
    const Bytes little = Cat({0xFF, 0xFE}, Utf16(layout, false));
    ASSERT_TRUE(markup.LoadFromMem(little.data(), static_cast<DWORD>(little.size()), 1));
    EXPECT_EQ(FirstValue(markup), L"\u5237\u65B0");
    Bytes big = Cat({0xFE, 0xFF}, Utf16(layout, true));
    big.push_back(0x3C);
    ASSERT_TRUE(markup.LoadFromMem(big.data(), static_cast<DWORD>(big.size()), 1));
    EXPECT_EQ(FirstValue(markup), L"\u5237\u65B0");
    // Codes other than the three known ones read as UTF-16.
    ASSERT_TRUE(markup.LoadFromMem(little.data(), static_cast<DWORD>(little.size()), 7));
    EXPECT_EQ(RootName(markup), L"Label");
}

TEST(CUiMarkupLoadFromMem, RefusesUtf16WithoutAByteOrderMark) {
    CUiMarkup markup;
    const Bytes bare = Utf16(L"<Label/>", false);
    EXPECT_FALSE(markup.LoadFromMem(bare.data(), static_cast<DWORD>(bare.size()), 1));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    const Bytes one = {0xFF};
    EXPECT_FALSE(markup.LoadFromMem(one.data(), 1, 1));
}

TEST(CUiMarkupLoadFromMem, ReadsTheAnsiCodePage) {
    CUiMarkup markup;
    const Bytes layout = Ascii("<Window caption=\"0,0,0,30\"/>");
    ASSERT_TRUE(markup.LoadFromMem(layout.data(), static_cast<DWORD>(layout.size()), 2));
    EXPECT_EQ(FirstValue(markup), L"0,0,0,30");
}

TEST(CUiMarkupLoadFromMem, ReportsParseErrorsOfTheConvertedText) {
    CUiMarkup markup;
    const Bytes layout = Ascii("<Window><Label></label></Window>");
    EXPECT_FALSE(markup.LoadFromMem(layout.data(), static_cast<DWORD>(layout.size()), 0));
    EXPECT_EQ(std::wstring(markup.GetErrorMessage()), L"Unmatched closing tag");
    EXPECT_EQ(std::wstring(markup.GetErrorLocation()), L"label></Window>");
}

// A folder of its own under the temporary directory, used as the resource directory.
class MarkupFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"weft-markup-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        SetResourceDirectory(folder_.c_str());
    }
    void TearDown() override {
        for (const std::wstring& name : written_) DeleteFileW((folder_ + L"\\" + name).c_str());
        RemoveDirectoryW(folder_.c_str());
        SetResourceDirectory(L"");
    }
    void Write(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = folder_ + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        written_.push_back(name);
    }
    // A layout of exactly `size` bytes: the root with blanks as content.
    static std::string LayoutOfSize(size_t size) {
        const std::string open = "<Window>";
        const std::string close = "</Window>";
        return open + std::string(size - open.size() - close.size(), ' ') + close;
    }

    std::wstring folder_;
    std::vector<std::wstring> written_;
};

TEST_F(MarkupFiles, LoadsAFileFromTheResourceDirectory) {
    Write(L"main.xml", "\xEF\xBB\xBF<Window size=\"1,2\"><Label/></Window>");
    CUiMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"main.xml"));
    EXPECT_EQ(FirstValue(markup), L"1,2");
}

TEST_F(MarkupFiles, ReportsAMissingOrEmptyFile) {
    CUiMarkup markup;
    EXPECT_FALSE(markup.LoadFromFile(L"missing.xml"));
    EXPECT_EQ(std::wstring(markup.GetErrorMessage()), L"Error opening file");
    EXPECT_EQ(std::wstring(markup.GetErrorLocation()), L"");
    Write(L"empty.xml", "");
    EXPECT_FALSE(markup.LoadFromFile(L"empty.xml"));
    EXPECT_EQ(std::wstring(markup.GetErrorMessage()), L"File is empty");
}

TEST_F(MarkupFiles, FourMebibytesLoadAndOneByteMoreIsTooLarge) {
    Write(L"limit.xml", LayoutOfSize(4194304));
    Write(L"over.xml", LayoutOfSize(4194305));
    Write(L"five.xml", LayoutOfSize(5 * 1024 * 1024));
    CUiMarkup markup;
    EXPECT_TRUE(markup.LoadFromFile(L"limit.xml"));
    EXPECT_EQ(RootName(markup), L"Window");
    EXPECT_FALSE(markup.LoadFromFile(L"over.xml"));
    EXPECT_EQ(std::wstring(markup.GetErrorMessage()), L"File too large");
    EXPECT_FALSE(markup.LoadFromFile(L"five.xml"));
    EXPECT_EQ(std::wstring(markup.GetErrorMessage()), L"File too large");
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

TEST_F(MarkupFiles, AFailedLoadEmptiesTheDocument) {
    Write(L"good.xml", "<Window/>");
    CUiMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"good.xml"));
    EXPECT_FALSE(markup.LoadFromFile(L"missing.xml"));
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

// The archives come from make-zip-fixtures.py at build time.
class MarkupArchives : public ::testing::Test {
  protected:
    void SetUp() override { SetResourceDirectory(WEFT_ZIP_FIXTURES); }
    void TearDown() override {
        SetResourceArchive(L"", L"", false);
        SetResourceDirectory(L"");
    }
    std::wstring Failure(const wchar_t* name) {
        CUiMarkup markup;
        EXPECT_FALSE(markup.LoadFromFile(name));
        return markup.GetErrorMessage();
    }
};

TEST_F(MarkupArchives, LoadsALayoutInsideAnArchiveIgnoringCase) {
    SetResourceArchive(L"layouts.zip", L"", false);
    CUiMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"skin\\main.XML")) << markup.GetErrorMessage();
    EXPECT_EQ(FirstValue(markup), L"640,480");
    const CUiMarkupNode label = markup.GetRoot().GetChild().GetChild();
    EXPECT_EQ(std::wstring(label.GetName()), L"Label");
    ASSERT_TRUE(markup.LoadFromFile(L"stored.xml"));
    EXPECT_EQ(FirstValue(markup), L"stored");
}

TEST_F(MarkupArchives, ReportsEachArchiveFailure) {
    SetResourceArchive(L"layouts.zip", L"", false);
    EXPECT_EQ(Failure(L"missing.xml"), L"Could not find ziped file");
    EXPECT_EQ(Failure(L"empty.xml"), L"File is empty");
    EXPECT_EQ(Failure(L"big.xml"), L"File too large");
    EXPECT_EQ(Failure(L"broken.xml"), L"Could not unzip file");
    SetResourceArchive(L"absent.zip", L"", false);
    EXPECT_EQ(Failure(L"stored.xml"), L"Error opening zip file");
    SetResourceArchive(L"notazip.zip", L"", false);
    EXPECT_EQ(Failure(L"stored.xml"), L"Error opening zip file");
}

TEST_F(MarkupArchives, AKeptArchiveIsOpenedOnceAndServesEveryLoad) {
    SetResourceArchive(L"layouts.zip", L"", true);
    CUiZipArchive* cached = GetResourceArchive().cached;
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(AcquireResourceArchive(), cached);
    ReleaseResourceArchive(cached);
    CUiMarkup markup;
    EXPECT_TRUE(markup.LoadFromFile(L"stored.xml"));
    EXPECT_TRUE(markup.LoadFromFile(L"SKIN/MAIN.xml"));
    EXPECT_EQ(GetResourceArchive().cached, cached);
}

TEST_F(MarkupArchives, DecryptsWithThePassword) {
    SetResourceArchive(L"secret.zip", L"secret", false);
    CUiMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"main.xml")) << markup.GetErrorMessage();
    EXPECT_EQ(FirstValue(markup), L"secret");
    SetResourceArchive(L"secret.zip", L"wrong", false);
    EXPECT_EQ(Failure(L"main.xml"), L"Could not unzip file");
    SetResourceArchive(L"secret.zip", L"", false);
    EXPECT_EQ(Failure(L"main.xml"), L"Could not unzip file");
}

TEST_F(MarkupArchives, ResourceFilesComeFromTheArchiveOrTheFolderOrThePathItself) {
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ReadResourceFile(L"layouts.zip", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 2), "PK");
    SetResourceArchive(L"layouts.zip", L"", false);
    ASSERT_TRUE(ReadResourceFile(L"stored.xml", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "<Window name=\"stored\"/>");
    EXPECT_FALSE(ReadResourceFile(L"layouts.zip", bytes));
    const std::wstring full = std::wstring(WEFT_ZIP_FIXTURES) + L"notazip.zip";
    ASSERT_TRUE(ReadResourceFile(full.c_str(), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "this is not an archive\n");
    EXPECT_FALSE(ReadResourceFile(L"", bytes));
}

TEST_F(MarkupArchives, TheReaderReportsSizesAndPartialExtraction) {
    const std::wstring path = std::wstring(WEFT_ZIP_FIXTURES) + L"layouts.zip";
    CUiZipArchive* archive = CUiZipArchive::Open(path.c_str(), nullptr);
    ASSERT_NE(archive, nullptr);
    int index = -1;
    std::uint32_t size = 0;
    ASSERT_TRUE(archive->FindEntry(L"SKIN/main.xml", &index, &size));
    EXPECT_EQ(index, 0);
    std::vector<char> whole(size);
    EXPECT_EQ(archive->Extract(index, whole.data(), size), CUiZipArchive::ExtractResult::Complete);
    const std::string text(whole.begin(), whole.end());
    EXPECT_EQ(text.substr(0, 23), "<Window size=\"640,480\">");
    EXPECT_EQ(text.substr(text.size() - 9), "</Window>");
    char part[10] = {};
    EXPECT_EQ(archive->Extract(index, part, 8), CUiZipArchive::ExtractResult::MoreDataRemains);
    EXPECT_EQ(std::string(part), "<Window ");
    ASSERT_TRUE(archive->FindEntry(L"stored.xml", &index, &size));
    EXPECT_EQ(archive->Extract(index, part, 4), CUiZipArchive::ExtractResult::MoreDataRemains);
    EXPECT_EQ(archive->Extract(99, part, 4), CUiZipArchive::ExtractResult::Failed);
    EXPECT_FALSE(archive->FindEntry(L"Skin\\Main.xml", &index, &size));
    delete archive;
    EXPECT_EQ(CUiZipArchive::Open(L"Z:\\no\\such.zip", nullptr), nullptr);
}

}  // namespace
}  // namespace Weft
