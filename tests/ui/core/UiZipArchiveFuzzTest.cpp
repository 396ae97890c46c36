// Damaged archives from a fixed seed: opening, looking up and extracting every entry must
// fail cleanly or succeed, never crash or allocate what the damaged directory claims.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ui/core/UiZipArchive.h"

namespace Weft {
namespace {

std::vector<char> ReadFixture(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<char> bytes;
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteFile(const std::wstring& path, const std::vector<char>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

TEST(CUiZipArchiveFuzz, DamagedArchivesFailCleanly) {
    const std::vector<char> original =
        ReadFixture(std::wstring(WEFT_ZIP_FIXTURES) + L"layouts.zip");
    ASSERT_GT(original.size(), 100u);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path =
        std::wstring(temp) + L"weft-zip-fuzz-" + std::to_wstring(GetCurrentProcessId()) + L".zip";
    const wchar_t* names[] = {L"skin/main.xml", L"stored.xml", L"empty.xml", L"big.xml",
                              L"broken.xml"};
    std::mt19937 random(5150);
    int opened = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<char> bytes = original;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < edits; ++i) {
            const size_t at = random() % bytes.size();
            if (random() % 6 == 0) {
                bytes.resize(at + 1);
            } else {
                bytes[at] = static_cast<char>(random() % 2 ? 0xFF : random());
            }
        }
        WriteFile(path, bytes);
        CUiZipArchive* archive = CUiZipArchive::Open(path.c_str(), nullptr);
        if (archive == nullptr) continue;
        ++opened;
        for (const wchar_t* name : names) {
            int index = -1;
            std::uint32_t size = 0;
            if (!archive->FindEntry(name, &index, &size)) continue;
            // Sizes a damaged directory might claim stay within what the file can hold.
            ASSERT_LE(size, 1032u * bytes.size() + 1032u) << "round " << round;
            std::vector<char> buffer(size);
            archive->Extract(index, buffer.data(), size);
            char small[16];
            archive->Extract(index, small, sizeof(small));
        }
        delete archive;
    }
    DeleteFileW(path.c_str());
    EXPECT_GT(opened, 40);
}

}  // namespace
}  // namespace Weft
