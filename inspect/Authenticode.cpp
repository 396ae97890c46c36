#include "inspect/Authenticode.h"

#include <algorithm>
#include <vector>

#include "platform/ByteOrder.h"

namespace certvane {
namespace {

constexpr std::uint16_t kPe32 = 0x10B;
constexpr std::uint16_t kPe32Plus = 0x20B;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kCertificateDirectory = 4;

using Range = PeLayout::Range;

}  // namespace

std::optional<PeLayout> ReadPeLayout(std::span<const std::uint8_t> image) {
    const std::uint64_t size = image.size();
    if (size < 0x40 || image[0] != 'M' || image[1] != 'Z') return std::nullopt;
    const std::uint64_t pe = LittleEndian32(image.data() + 0x3C);
    if (pe + 4 + kCoffHeaderSize + 2 > size || LittleEndian32(image.data() + pe) != 0x00004550) {
        return std::nullopt;
    }
    const std::uint8_t* coff = image.data() + pe + 4;
    const std::uint16_t sectionCount = LittleEndian16(coff + 2);
    const std::uint16_t optionalSize = LittleEndian16(coff + 16);
    const std::uint64_t optional = pe + 4 + kCoffHeaderSize;
    if (optional + optionalSize > size) return std::nullopt;
    const std::uint16_t magic = LittleEndian16(image.data() + optional);
    if (magic != kPe32 && magic != kPe32Plus) return std::nullopt;
    // The data directories start at 96 (PE32) or 112 (PE32+), their count just before.
    const std::uint64_t directories = optional + (magic == kPe32 ? 96 : 112);
    if (directories > optional + optionalSize || optionalSize < 64) return std::nullopt;
    const std::uint32_t directoryCount = LittleEndian32(image.data() + directories - 4);
    const std::uint64_t checksum = optional + 64;
    const std::uint64_t headersSize = LittleEndian32(image.data() + optional + 60);
    const std::uint64_t sections = optional + optionalSize;
    if (sections + std::uint64_t{sectionCount} * kSectionHeaderSize > size || headersSize > size) {
        return std::nullopt;
    }

    Range certificates{size, size};
    std::uint64_t certificateEntry = 0;
    if (directoryCount > kCertificateDirectory &&
        directories + (kCertificateDirectory + 1) * 8 <= optional + optionalSize) {
        certificateEntry = directories + kCertificateDirectory * 8;
        const std::uint64_t at = LittleEndian32(image.data() + certificateEntry);
        const std::uint64_t length = LittleEndian32(image.data() + certificateEntry + 4);
        if (at != 0 && length != 0) {
            if (at + length > size) return std::nullopt;
            certificates = {at, at + length};
        }
    }

    PeLayout layout;
    const auto feed = [&](Range range) { layout.hashed.push_back(range); };
    if (certificateEntry != 0 && certificateEntry + 8 <= headersSize) {
        feed({0, checksum});
        feed({checksum + 4, certificateEntry});
        feed({certificateEntry + 8, headersSize});
    } else if (checksum + 4 <= headersSize) {
        feed({0, checksum});
        feed({checksum + 4, headersSize});
    } else {
        return std::nullopt;
    }

    std::vector<Range> raw;
    for (std::uint16_t i = 0; i < sectionCount; ++i) {
        const std::uint8_t* header = image.data() + sections + i * kSectionHeaderSize;
        const std::uint64_t length = LittleEndian32(header + 16);
        const std::uint64_t at = LittleEndian32(header + 20);
        if (length == 0) continue;
        if (at + length > size) return std::nullopt;
        raw.push_back({at, at + length});
    }
    std::ranges::sort(raw, {}, &Range::begin);
    std::uint64_t hashed = headersSize;
    for (const Range& section : raw) {
        feed(section);
        hashed = std::max(hashed, section.end);
    }
    // Whatever follows the sections is hashed too, up to the certificate table.
    if (certificates.begin > hashed) feed({hashed, certificates.begin});
    layout.certificateTable = certificates;
    return layout;
}

std::vector<std::uint8_t> AuthenticodeDigest(std::span<const std::uint8_t> image,
                                             const PeLayout& layout, DigestAlgorithm algorithm) {
    Hasher hash(algorithm);
    for (const Range& range : layout.hashed) {
        hash.Update(image.subspan(range.begin, range.end - range.begin));
    }
    return hash.Final();
}

Sha256Digest AuthenticodeSha256(std::span<const std::uint8_t> image, const PeLayout& layout) {
    const std::vector<std::uint8_t> digest =
        AuthenticodeDigest(image, layout, DigestAlgorithm::Sha256);
    Sha256Digest out{};
    std::copy(digest.begin(), digest.end(), out.begin());
    return out;
}

std::optional<Sha256Digest> AuthenticodeSha256(std::span<const std::uint8_t> image) {
    const auto layout = ReadPeLayout(image);
    if (!layout) return std::nullopt;
    return AuthenticodeSha256(image, *layout);
}

}  // namespace certvane
