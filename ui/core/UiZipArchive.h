#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/core/UiString.h"

namespace Weft {

// A read-only zip archive: its central directory is read once at open, entries are found by
// name ignoring case and inflated through zlib into the caller's buffer.
class CUiZipArchive {
  public:
    enum class ExtractResult { Complete, MoreDataRemains, Failed };

    // Null when the file cannot be opened or holds no readable central directory. The password
    // (ANSI) decrypts entries protected by the traditional zip encryption; null means none.
    static CUiZipArchive* Open(const wchar_t* path, const char* password);
    CUiZipArchive(const CUiZipArchive&) = delete;
    CUiZipArchive& operator=(const CUiZipArchive&) = delete;
    ~CUiZipArchive();

    // The entry names use '/' between folders, as the archive stores them.
    bool FindEntry(const wchar_t* name, int* index, std::uint32_t* uncompressedSize) const;
    // Fills the buffer with the entry's first `size` bytes; MoreDataRemains when the entry is
    // longer than the buffer.
    ExtractResult Extract(int index, void* buffer, std::uint32_t size) const;

  private:
    struct Entry {
        CUiString name;
        std::uint16_t flags;
        std::uint16_t method;
        std::uint32_t crc;
        std::uint32_t compressedSize;
        std::uint32_t uncompressedSize;
        std::uint32_t localHeaderOffset;
    };

    CUiZipArchive(HANDLE file, std::uint64_t fileSize, const char* password);
    bool ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size) const;
    bool ReadDirectory();
    bool IsPlausible(const Entry& entry) const;
    bool ReadEntryData(const Entry& entry, std::vector<std::uint8_t>& data) const;

    HANDLE file_;
    std::uint64_t fileSize_;
    std::vector<char> password_;
    std::vector<Entry> entries_;
};

}  // namespace Weft
