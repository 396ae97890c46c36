#include "ui/core/UiZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "platform/ByteOrder.h"
#include "ui/core/ZipDecryption.h"

namespace Weft {
namespace {

constexpr std::uint32_t EndOfDirectorySignature = 0x06054B50;
constexpr std::uint32_t DirectoryEntrySignature = 0x02014B50;
constexpr std::uint32_t LocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t EndOfDirectorySize = 22;
constexpr std::uint32_t DirectoryEntrySize = 46;
constexpr std::uint32_t LocalHeaderSize = 30;
// The end record may be followed by a comment of at most 65535 bytes.
constexpr std::uint32_t EndSearchSpan = EndOfDirectorySize + 65535;
constexpr std::uint16_t FlagEncrypted = 0x0001;
constexpr std::uint16_t FlagUtf8Name = 0x0800;
constexpr std::uint16_t MethodStored = 0;
constexpr std::uint16_t MethodDeflated = 8;
// Deflate cannot expand data by more than this factor, and the encryption header is 12 bytes.
constexpr std::uint64_t DeflateMaxRatio = 1032;
constexpr std::uint32_t EncryptionHeaderSize = 12;

using certvane::LittleEndian16;
using certvane::LittleEndian32;

CUiString DecodeName(const std::uint8_t* bytes, int size, bool utf8) {
    const UINT codePage = utf8 ? CP_UTF8 : CP_OEMCP;
    const char* text = reinterpret_cast<const char*>(bytes);
    const int units = MultiByteToWideChar(codePage, 0, text, size, nullptr, 0);
    if (units <= 0) return CUiString();
    std::vector<wchar_t> name(static_cast<size_t>(units));
    MultiByteToWideChar(codePage, 0, text, size, name.data(), units);
    return CUiString(name.data(), units);
}

}  // namespace

CUiZipArchive* CUiZipArchive::Open(const wchar_t* path, const char* password) {
    if (path == nullptr) return nullptr;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return nullptr;
    }
    auto* archive = new CUiZipArchive(file, static_cast<std::uint64_t>(size.QuadPart), password);
    if (!archive->ReadDirectory()) {
        delete archive;
        return nullptr;
    }
    return archive;
}

CUiZipArchive::CUiZipArchive(HANDLE file, std::uint64_t fileSize, const char* password)
    : file_(file), fileSize_(fileSize) {
    if (password != nullptr && *password != '\0') {
        password_.assign(password, password + std::strlen(password));
    }
}

CUiZipArchive::~CUiZipArchive() {
    CloseHandle(file_);
}

bool CUiZipArchive::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t size) const {
    if (offset > fileSize_ || size > fileSize_ - offset) return false;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ReadFile(file_, buffer, size, &read, &at) && read == size;
}

bool CUiZipArchive::ReadDirectory() {
    if (fileSize_ < EndOfDirectorySize) return false;
    const auto span = static_cast<std::uint32_t>(std::min<std::uint64_t>(fileSize_, EndSearchSpan));
    std::vector<std::uint8_t> tail(span);
    if (!ReadAt(fileSize_ - span, tail.data(), span)) return false;
    const std::uint8_t* end = nullptr;
    for (std::uint32_t i = span - EndOfDirectorySize + 1; i-- > 0;) {
        if (LittleEndian32(&tail[i]) == EndOfDirectorySignature) {
            end = &tail[i];
            break;
        }
    }
    if (end == nullptr) return false;
    const std::uint16_t entryCount = LittleEndian16(end + 10);
    const std::uint32_t directorySize = LittleEndian32(end + 12);
    const std::uint32_t directoryOffset = LittleEndian32(end + 16);
    if (static_cast<std::uint64_t>(directoryOffset) + directorySize > fileSize_) return false;
    std::vector<std::uint8_t> directory(directorySize);
    if (!ReadAt(directoryOffset, directory.data(), directorySize)) return false;
    std::uint32_t pos = 0;
    for (std::uint16_t i = 0; i < entryCount; ++i) {
        if (directorySize - pos < DirectoryEntrySize) return false;
        const std::uint8_t* record = &directory[pos];
        if (LittleEndian32(record) != DirectoryEntrySignature) return false;
        const std::uint32_t nameSize = LittleEndian16(record + 28);
        const std::uint32_t recordSize = DirectoryEntrySize + nameSize +
                                         LittleEndian16(record + 30) + LittleEndian16(record + 32);
        if (directorySize - pos < recordSize) return false;
        const std::uint16_t flags = LittleEndian16(record + 8);
        Entry entry{DecodeName(record + DirectoryEntrySize, static_cast<int>(nameSize),
                               (flags & FlagUtf8Name) != 0),
                    flags,
                    LittleEndian16(record + 10),
                    LittleEndian32(record + 16),
                    LittleEndian32(record + 20),
                    LittleEndian32(record + 24),
                    LittleEndian32(record + 42)};
        if (IsPlausible(entry)) entries_.push_back(entry);
        pos += recordSize;
    }
    return true;
}

// Callers size their buffers by the uncompressed size the directory claims, so an entry whose
// sizes cannot be true of this file is left out rather than trusted.
bool CUiZipArchive::IsPlausible(const Entry& entry) const {
    if (static_cast<std::uint64_t>(entry.localHeaderOffset) + LocalHeaderSize +
            entry.compressedSize >
        fileSize_) {
        return false;
    }
    std::uint64_t stored = entry.compressedSize;
    if ((entry.flags & FlagEncrypted) != 0) {
        if (stored < EncryptionHeaderSize) return false;
        stored -= EncryptionHeaderSize;
    }
    if (entry.method == MethodStored) return entry.uncompressedSize == stored;
    return entry.uncompressedSize <= stored * DeflateMaxRatio + DeflateMaxRatio;
}

bool CUiZipArchive::FindEntry(const wchar_t* name, int* index,
                              std::uint32_t* uncompressedSize) const {
    if (name == nullptr) return false;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name.CompareIgnoreCase(name) != 0) continue;
        if (index != nullptr) *index = static_cast<int>(i);
        if (uncompressedSize != nullptr) *uncompressedSize = entries_[i].uncompressedSize;
        return true;
    }
    return false;
}

// The entry's stored bytes, decrypted when the entry is encrypted.
bool CUiZipArchive::ReadEntryData(const Entry& entry, std::vector<std::uint8_t>& data) const {
    std::uint8_t header[LocalHeaderSize];
    if (!ReadAt(entry.localHeaderOffset, header, LocalHeaderSize)) return false;
    if (LittleEndian32(header) != LocalHeaderSignature) return false;
    const std::uint64_t dataOffset = static_cast<std::uint64_t>(entry.localHeaderOffset) +
                                     LocalHeaderSize + LittleEndian16(header + 26) +
                                     LittleEndian16(header + 28);
    if (dataOffset > fileSize_ || entry.compressedSize > fileSize_ - dataOffset) return false;
    data.resize(entry.compressedSize);
    if (!ReadAt(dataOffset, data.data(), entry.compressedSize)) return false;
    if ((entry.flags & FlagEncrypted) == 0) return true;
    if (password_.empty()) return false;
    // Archives written with a data descriptor check the time field instead of the CRC.
    const std::uint8_t check =
        (entry.flags & 0x0008) != 0 ? header[11] : static_cast<std::uint8_t>(entry.crc >> 24);
    return DecryptZipEntry(password_.data(), password_.size(), check, data);
}

CUiZipArchive::ExtractResult CUiZipArchive::Extract(int index, void* buffer,
                                                    std::uint32_t size) const {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return ExtractResult::Failed;
    if (buffer == nullptr && size > 0) return ExtractResult::Failed;
    const Entry& entry = entries_[static_cast<size_t>(index)];
    std::vector<std::uint8_t> data;
    if (!ReadEntryData(entry, data)) return ExtractResult::Failed;
    if (entry.method == MethodStored) {
        const auto copied = static_cast<std::uint32_t>(std::min<size_t>(size, data.size()));
        std::memcpy(buffer, data.data(), copied);
        if (data.size() > size) return ExtractResult::MoreDataRemains;
        return crc32(0, data.data(), static_cast<uInt>(data.size())) == entry.crc
                   ? ExtractResult::Complete
                   : ExtractResult::Failed;
    }
    if (entry.method != MethodDeflated) return ExtractResult::Failed;
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return ExtractResult::Failed;
    stream.next_in = data.data();
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = static_cast<Bytef*>(buffer);
    stream.avail_out = size;
    const int status = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (status == Z_STREAM_END) {
        return crc32(0, static_cast<const Bytef*>(buffer), static_cast<uInt>(produced)) == entry.crc
                   ? ExtractResult::Complete
                   : ExtractResult::Failed;
    }
    if ((status == Z_OK || status == Z_BUF_ERROR) && stream.avail_out == 0) {
        return ExtractResult::MoreDataRemains;
    }
    return ExtractResult::Failed;
}

}  // namespace Weft
