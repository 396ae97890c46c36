#include "inspect/SignatureEntries.h"

#include <algorithm>

#include "platform/ByteOrder.h"

namespace certvane {
namespace {

constexpr std::uint64_t kListHeaderSize = 28;
constexpr std::uint64_t kOwnerSize = 16;

}  // namespace

// Offsets are 64-bit so that no sum of 32-bit header fields can wrap. Every pass of the outer
// loop moves past at least one list header, and every entry either moves past itself or ends
// its list, so the walk always terminates.
std::vector<SignatureEntry> SignatureEntriesOf(std::span<const std::uint8_t> image) {
    std::vector<SignatureEntry> entries;
    const std::uint64_t size = image.size();
    std::uint64_t offset = 0;
    while (offset + kListHeaderSize <= size) {
        std::array<std::uint8_t, 16> type{};
        std::copy_n(image.begin() + offset, type.size(), type.begin());
        const std::uint32_t listSize = LittleEndian32(image.data() + offset + 16);
        const std::uint32_t headerSize = LittleEndian32(image.data() + offset + 20);
        const std::uint32_t entrySize = LittleEndian32(image.data() + offset + 24);
        offset += kListHeaderSize + headerSize;
        // A list with entries of size 0 has no countable entries: only its headers are
        // stepped over, and the walk reads the next list header right after them.
        if (entrySize == 0) continue;
        // Unsigned 32-bit on purpose: a header that understates its size gives a huge count,
        // which the bounds check below cuts short.
        const std::uint32_t count =
            (listSize - headerSize - static_cast<std::uint32_t>(kListHeaderSize)) / entrySize;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (offset + entrySize > size) break;
            if (entrySize > kOwnerSize) {
                SignatureEntry entry{
                    type, {}, image.subspan(offset + kOwnerSize, entrySize - kOwnerSize)};
                std::copy_n(image.begin() + offset, kOwnerSize, entry.owner.begin());
                entries.push_back(entry);
            }
            offset += entrySize;
        }
    }
    return entries;
}

}  // namespace certvane
