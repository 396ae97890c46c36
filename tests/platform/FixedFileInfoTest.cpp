// The fixed file information block of a version resource, read as outside data.
#include "platform/FixedFileInfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace certvane {
namespace {

std::vector<std::uint8_t> Block(std::uint32_t signature, std::uint32_t ms, std::uint32_t ls,
                                std::size_t size = 52) {
    std::vector<std::uint8_t> block(size, 0);
    const std::uint32_t fields[] = {signature, 0x00010000, ms, ls};
    for (std::size_t i = 0; i < 4 && 4 * i + 4 <= size; ++i) {
        for (int b = 0; b < 4; ++b)
            block[4 * i + b] = static_cast<std::uint8_t>(fields[i] >> (8 * b));
    }
    return block;
}

TEST(ReadFixedFileInfo, ReadsTheFileVersionOfAWholeSignedBlock) {
    const auto version = ReadFixedFileInfo(Block(0xFEEF04BD, 0x000A0000, 0x65F41234));
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->mostSignificant, 0x000A0000u);
    EXPECT_EQ(version->leastSignificant, 0x65F41234u);
}

TEST(ReadFixedFileInfo, RefusesAShortBlockOrAWrongSignature) {
    EXPECT_FALSE(ReadFixedFileInfo(Block(0xFEEF04BD, 1, 2, 51)).has_value());
    EXPECT_FALSE(ReadFixedFileInfo(Block(0xFEEF04BD, 1, 2, 0)).has_value());
    EXPECT_FALSE(ReadFixedFileInfo(Block(0xBD04EFFE, 1, 2)).has_value());
    EXPECT_FALSE(ReadFixedFileInfo(Block(0, 1, 2)).has_value());
    // Longer blocks (newer records) are read by their first fields.
    EXPECT_TRUE(ReadFixedFileInfo(Block(0xFEEF04BD, 1, 2, 64)).has_value());
}

}  // namespace
}  // namespace certvane
