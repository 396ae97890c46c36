#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace certvane {

// The file version of a fixed file information block.
struct FixedFileVersion {
    std::uint32_t mostSignificant;
    std::uint32_t leastSignificant;
};

// Version resources of executable files.
class VersionApi {
  public:
    // Sizes, reads and queries the root block of the file's version resource; nullopt when
    // any of those steps fails or the block is no fixed file information.
    virtual std::optional<FixedFileVersion> ReadFixedFileVersion(std::wstring_view path) = 0;

  protected:
    ~VersionApi() = default;
};

}  // namespace certvane
