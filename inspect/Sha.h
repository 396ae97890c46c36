#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace certvane {

using Sha1Digest = std::array<std::uint8_t, 20>;
using Sha256Digest = std::array<std::uint8_t, 32>;

// SHA-256 over data fed in pieces (Authenticode hashes a file with holes in it).
class Sha256 {
  public:
    Sha256();
    void Update(std::span<const std::uint8_t> data);
    Sha256Digest Final();

  private:
    void Block(const std::uint8_t* block);
    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::uint64_t length_ = 0;
};

Sha1Digest Sha1(std::span<const std::uint8_t> data);
Sha256Digest Sha256Of(std::span<const std::uint8_t> data);

// Lower-case hexadecimal, the form thumbprints are listed in.
std::string HexOf(std::span<const std::uint8_t> bytes);

}  // namespace certvane
