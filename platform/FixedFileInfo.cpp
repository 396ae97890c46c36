#include "platform/FixedFileInfo.h"

#include "platform/ByteOrder.h"

namespace certvane {
namespace {

constexpr std::size_t kFixedFileInfoSize = 52;  // sizeof(VS_FIXEDFILEINFO)
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

}  // namespace

std::optional<FixedFileVersion> ReadFixedFileInfo(std::span<const std::uint8_t> block) {
    if (block.size() < kFixedFileInfoSize) return std::nullopt;
    if (LittleEndian32(block.data()) != kFixedFileInfoSignature) return std::nullopt;
    return FixedFileVersion{LittleEndian32(block.data() + 8), LittleEndian32(block.data() + 12)};
}

}  // namespace certvane
