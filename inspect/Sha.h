#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

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

// SHA-1 over data fed in pieces.
class Sha1 {
  public:
    void Update(std::span<const std::uint8_t> data);
    Sha1Digest Final();

  private:
    std::array<std::uint32_t, 5> state_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::array<std::uint8_t, 64> buffer_{};
    std::uint64_t length_ = 0;
};

// SHA-512, or SHA-384 (the same rounds from other initial values, cut to 48 bytes), over data
// fed in pieces.
class Sha512 {
  public:
    explicit Sha512(bool sha384 = false);
    void Update(std::span<const std::uint8_t> data);
    // 64 bytes, or 48 for SHA-384.
    std::vector<std::uint8_t> Final();

  private:
    void Block(const std::uint8_t* block);
    std::array<std::uint64_t, 8> state_;
    std::array<std::uint8_t, 128> buffer_{};
    std::uint64_t length_ = 0;
    bool sha384_;
};

Sha1Digest Sha1Of(std::span<const std::uint8_t> data);
Sha256Digest Sha256Of(std::span<const std::uint8_t> data);

// Lower-case hexadecimal, the form thumbprints are listed in.
std::string HexOf(std::span<const std::uint8_t> bytes);

}  // namespace certvane
