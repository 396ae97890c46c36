#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace certvane {

// One DER element: the tag, the definite length in its shortest form, then the contents.
std::vector<std::uint8_t> DerEncode(std::uint8_t tag, std::span<const std::uint8_t> contents);

// The concatenation of elements already encoded.
std::vector<std::uint8_t> DerConcat(std::initializer_list<std::span<const std::uint8_t>> parts);

}  // namespace certvane
