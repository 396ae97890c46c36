#include "tests/support/PeImages.h"

namespace certvane::test {
namespace {

void Put16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::size_t MiddleOfFirstSection(const Bytes& image) {
    const auto read = [&](std::size_t at, int bytes) {
        std::size_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) value = value << 8 | image.at(at + i);
        return value;
    };
    const std::size_t pe = read(0x3C, 4);
    const std::size_t section = pe + 24 + read(pe + 20, 2);
    return read(section + 20, 4) + read(section + 16, 4) / 2;
}

PeImage MinimalPe(std::uint8_t fill, std::size_t trailing) {
    constexpr std::size_t pe = 0x40, optional = pe + 24, optionalSize = 240;
    constexpr std::size_t headers = 0x200, section = 0x200;
    const std::size_t table = headers + section + trailing;
    Bytes bytes(table + 16, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    Put32(bytes, 0x3C, pe);
    Put32(bytes, pe, 0x00004550);
    Put16(bytes, pe + 4, 0x8664);  // machine: x64
    Put16(bytes, pe + 6, 1);       // one section
    Put16(bytes, pe + 20, optionalSize);
    Put16(bytes, optional, 0x20B);
    Put32(bytes, optional + 60, headers);
    Put32(bytes, optional + 64, 0xC0FFEE);  // checksum
    Put32(bytes, optional + 108, 16);       // data directories
    const std::size_t entry = optional + 112 + 4 * 8;
    Put32(bytes, entry, static_cast<std::uint32_t>(table));
    Put32(bytes, entry + 4, 16);
    const std::size_t sectionHeader = optional + optionalSize;
    Put32(bytes, sectionHeader + 16, section);
    Put32(bytes, sectionHeader + 20, headers);
    for (std::size_t i = headers; i < headers + section; ++i) bytes[i] = fill;
    for (std::size_t i = headers + section; i < table; ++i) bytes[i] = 0x7E;
    for (std::size_t i = table; i < bytes.size(); ++i) bytes[i] = 0xCE;
    return {bytes, optional + 64, entry, headers, table};
}

}  // namespace certvane::test
