#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Weft {

// Removes the traditional zip encryption from an entry's stored bytes, dropping its 12-byte
// encryption header. False when the data is too short or the header's check byte shows a
// wrong password.
bool DecryptZipEntry(const char* password, std::size_t passwordSize, std::uint8_t checkByte,
                     std::vector<std::uint8_t>& data);

}  // namespace Weft
