#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace certvane {

// One DER element: its tag and where its contents start and end inside the data read.
struct DerElement {
    std::uint8_t tag;
    std::size_t begin;
    std::size_t end;
};

inline constexpr std::uint8_t DerSequence = 0x30;
inline constexpr std::uint8_t DerSet = 0x31;
inline constexpr std::uint8_t DerObjectId = 0x06;
inline constexpr std::uint8_t DerInteger = 0x02;
inline constexpr std::uint8_t DerOctetString = 0x04;

// The element that starts at `at` and must end by `limit` (itself within `data`); nullopt when
// its header or contents would reach past `limit`. Lengths of more than four bytes are refused:
// nothing this program reads is that large.
std::optional<DerElement> ReadDerElement(std::span<const std::uint8_t> data, std::size_t at,
                                         std::size_t limit);

// The element after `previous` within the same parent ending at `limit`.
inline std::optional<DerElement> NextDerElement(std::span<const std::uint8_t> data,
                                                const DerElement& previous, std::size_t limit) {
    return ReadDerElement(data, previous.end, limit);
}

}  // namespace certvane
