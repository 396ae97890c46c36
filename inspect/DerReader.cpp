#include "inspect/DerReader.h"

namespace certvane {

std::optional<DerElement> ReadDerElement(std::span<const std::uint8_t> data, std::size_t at,
                                         std::size_t limit) {
    if (limit > data.size() || at >= limit || limit - at < 2) return std::nullopt;
    const std::uint8_t tag = data[at];
    std::size_t length = data[at + 1];
    std::size_t pos = at + 2;
    if (length & 0x80) {
        const std::size_t digits = length & 0x7F;
        if (digits == 0 || digits > 4 || digits > limit - pos) return std::nullopt;
        length = 0;
        for (std::size_t i = 0; i < digits; ++i) length = length << 8 | data[pos++];
    }
    if (length > limit - pos) return std::nullopt;
    return DerElement{tag, pos, pos + length};
}

}  // namespace certvane
