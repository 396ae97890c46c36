#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "inspect/SignatureDatabase.h"

namespace certvane {

// True when the image is a sequence of well-formed signature lists that covers it exactly:
// every list fits, its entries fill it without remainder, and each entry can hold its owner.
bool IsSignatureDatabaseImage(std::span<const std::uint8_t> image);

// The variable image inside a captured file: the raw bytes as Windows returns them, or the
// Linux efivarfs form with its 4-byte attribute word first. nullopt when the file holds
// neither form of a signature database.
std::optional<ByteBuffer> DecodeCapturedVariable(std::span<const std::uint8_t> file);

}  // namespace certvane
