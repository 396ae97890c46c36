#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace certvane {

// A GUID as Windows lays it out in memory.
struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::array<std::uint8_t, 8> data4;

    friend bool operator==(const Guid&, const Guid&) = default;
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case: the form the firmware variable
// services take the vendor GUID in.
std::wstring GuidToText(const Guid& guid);

// The 16 bytes of the GUID as it is stored in firmware data (first three fields little-endian).
std::array<std::uint8_t, 16> GuidToBytes(const Guid& guid);

}  // namespace certvane
