#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Guid.h"

namespace certvane {

// One entry of a signature list: the list's type, the entry's owner and its data (the bytes
// after the owner, padding included), all inside the image read.
struct SignatureEntry {
    std::array<std::uint8_t, 16> type;
    std::array<std::uint8_t, 16> owner;
    std::span<const std::uint8_t> data;

    bool IsOfType(const Guid& guid) const { return type == GuidToBytes(guid); }
    bool IsOwnedBy(const Guid& guid) const { return owner == GuidToBytes(guid); }
};

// Every entry of an image in signature list format, in image order. Entries too small to
// hold their owner are skipped; a list that claims more entries than the image holds ends
// where the image ends.
std::vector<SignatureEntry> SignatureEntriesOf(std::span<const std::uint8_t> image);

}  // namespace certvane
