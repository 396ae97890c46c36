#include "inspect/DerWriter.h"

namespace certvane {

std::vector<std::uint8_t> DerEncode(std::uint8_t tag, std::span<const std::uint8_t> contents) {
    std::vector<std::uint8_t> out{tag};
    const std::size_t length = contents.size();
    if (length < 0x80) {
        out.push_back(static_cast<std::uint8_t>(length));
    } else {
        std::vector<std::uint8_t> digits;
        for (std::size_t rest = length; rest != 0; rest >>= 8) {
            digits.insert(digits.begin(), static_cast<std::uint8_t>(rest));
        }
        out.push_back(static_cast<std::uint8_t>(0x80 | digits.size()));
        out.insert(out.end(), digits.begin(), digits.end());
    }
    out.insert(out.end(), contents.begin(), contents.end());
    return out;
}

std::vector<std::uint8_t> DerConcat(std::initializer_list<std::span<const std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

}  // namespace certvane
