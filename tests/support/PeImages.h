#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace certvane::test {

using Bytes = std::vector<std::uint8_t>;

// A PE32+ image laid out by hand: 0x200 bytes of headers, one section of 0x200 bytes filled
// with `fill`, then `trailing` bytes, then a certificate table of 16 bytes that the headers
// point at. The offsets the Authenticode hash skips are named below.
struct PeImage {
    Bytes bytes;
    std::size_t checksum;          // 4 bytes
    std::size_t certificateEntry;  // 8 bytes: the table's offset and size
    std::size_t headersEnd;
    std::size_t certificateTable;
};
PeImage MinimalPe(std::uint8_t fill, std::size_t trailing = 0);

// The file offset of the middle of a PE image's first section, whose bytes the Authenticode
// hash covers.
std::size_t MiddleOfFirstSection(const Bytes& image);

}  // namespace certvane::test
