#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Guid.h"

namespace certvane::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr Guid Sha256Type{
    0xC1C41626, 0x504C, 0x4092, {0xAC, 0xA9, 0x41, 0xF9, 0x36, 0x93, 0x43, 0x28}};

// The header fields of one signature list; unset sizes are computed from the entries.
struct ListHeader {
    Guid type;
    std::optional<std::uint32_t> listSize{};
    std::uint32_t headerSize = 0;
    std::optional<std::uint32_t> entrySize{};
};

// Appends one signature list: header, `headerSize` filler bytes, then each entry as a 16-byte
// owner followed by its data (entries shorter than the entry size are zero-padded).
void AppendList(Bytes& image, const ListHeader& header, const std::vector<Bytes>& entries);

// A list holding exactly one certificate, as firmware stores its X.509 entries.
Bytes X509List(const Bytes& der);

void AppendLe32(Bytes& out, std::uint32_t value);
Bytes Concat(std::initializer_list<Bytes> parts);

}  // namespace certvane::test
