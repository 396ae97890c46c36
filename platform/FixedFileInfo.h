#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/VersionApi.h"

namespace certvane {

// The file version of a fixed file information block (VS_FIXEDFILEINFO) as the version
// resource query hands it out. Version resources of an offline installation are outside
// data: a block shorter than the record or without its signature is no version.
std::optional<FixedFileVersion> ReadFixedFileInfo(std::span<const std::uint8_t> block);

}  // namespace certvane
