#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "inspect/Digest.h"

namespace certvane {

// Largest boot file whose hash is taken; Windows boot managers are a few MiB.
inline constexpr std::uint64_t MaxHashedBootFileSize = 64u << 20;

// What Authenticode hashes of a PE image, and where its certificate table lies.
struct PeLayout {
    struct Range {
        std::uint64_t begin;
        std::uint64_t end;
    };
    // The headers without the checksum and the certificate table entry, the sections in file
    // order, then what follows them up to the certificate table.
    std::vector<Range> hashed;
    Range certificateTable;  // empty (begin == end) when the image has none
};

// nullopt when the bytes are no PE image whose headers, sections and certificate table lie
// inside them.
std::optional<PeLayout> ReadPeLayout(std::span<const std::uint8_t> image);

// The Authenticode digest of the image under `algorithm`: what a signature's content names
// and what dbx lists revoked images by.
std::vector<std::uint8_t> AuthenticodeDigest(std::span<const std::uint8_t> image,
                                             const PeLayout& layout, DigestAlgorithm algorithm);

// The Authenticode SHA-256 of an image whose layout is read.
Sha256Digest AuthenticodeSha256(std::span<const std::uint8_t> image, const PeLayout& layout);

// The Authenticode SHA-256; nullopt when the bytes are no PE image.
std::optional<Sha256Digest> AuthenticodeSha256(std::span<const std::uint8_t> image);

}  // namespace certvane
