#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "inspect/Sha.h"

namespace certvane {

// Largest boot file whose hash is taken; Windows boot managers are a few MiB.
inline constexpr std::uint64_t MaxHashedBootFileSize = 64u << 20;

// The Authenticode SHA-256 of a PE image, the hash dbx lists revoked images by: the headers
// without the checksum and the certificate table entry, the sections in file order, then what
// follows them up to the certificate table. nullopt when the bytes are no PE image whose
// headers, sections and certificate table lie inside them.
std::optional<Sha256Digest> AuthenticodeSha256(std::span<const std::uint8_t> image);

}  // namespace certvane
