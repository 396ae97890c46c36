#include "inspect/CapturedVariable.h"

#include "platform/ByteOrder.h"

namespace certvane {
namespace {

constexpr std::uint64_t kListHeaderSize = 28;
constexpr std::uint64_t kOwnerSize = 16;
// Non-volatile, boot-service, runtime and the authentication bits: anything above is no
// attribute word that efivarfs writes.
constexpr std::uint32_t kKnownAttributeBits = 0x7F;

}  // namespace

bool IsSignatureDatabaseImage(std::span<const std::uint8_t> image) {
    if (image.empty()) return false;
    std::uint64_t offset = 0;
    while (offset < image.size()) {
        if (offset + kListHeaderSize > image.size()) return false;
        const std::uint64_t listSize = LittleEndian32(image.data() + offset + 16);
        const std::uint64_t headerSize = LittleEndian32(image.data() + offset + 20);
        const std::uint64_t entrySize = LittleEndian32(image.data() + offset + 24);
        if (entrySize <= kOwnerSize) return false;
        if (listSize < kListHeaderSize + headerSize || offset + listSize > image.size()) {
            return false;
        }
        const std::uint64_t entryBytes = listSize - kListHeaderSize - headerSize;
        if (entryBytes == 0 || entryBytes % entrySize != 0) return false;
        offset += listSize;
    }
    return true;
}

std::optional<ByteBuffer> DecodeCapturedVariable(std::span<const std::uint8_t> file) {
    if (IsSignatureDatabaseImage(file)) return ByteBuffer(file.begin(), file.end());
    if (file.size() > 4) {
        const std::uint32_t attributes = LittleEndian32(file.data());
        const auto rest = file.subspan(4);
        if (attributes != 0 && (attributes & ~kKnownAttributeBits) == 0 &&
            IsSignatureDatabaseImage(rest)) {
            return ByteBuffer(rest.begin(), rest.end());
        }
    }
    return std::nullopt;
}

}  // namespace certvane
