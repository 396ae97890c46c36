#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "inspect/Sha.h"

namespace certvane {

// The digests an Authenticode signature may name, as the firmware accepts them.
enum class DigestAlgorithm { Sha1, Sha256, Sha384, Sha512 };

// "sha1", "sha256", "sha384", "sha512".
std::string_view DigestAlgorithmName(DigestAlgorithm algorithm);

// The algorithm whose object identifier has these contents bytes (the OID's DER value);
// nullopt for any other.
std::optional<DigestAlgorithm> DigestAlgorithmOfOid(std::span<const std::uint8_t> oid);

// The DER of the object identifier of `algorithm` with its tag and length.
std::span<const std::uint8_t> DigestAlgorithmOid(DigestAlgorithm algorithm);

// One of the four digests over data fed in pieces.
class Hasher {
  public:
    explicit Hasher(DigestAlgorithm algorithm);
    void Update(std::span<const std::uint8_t> data);
    std::vector<std::uint8_t> Final();

  private:
    std::variant<Sha1, Sha256, Sha512> state_;
};

std::vector<std::uint8_t> DigestOf(DigestAlgorithm algorithm, std::span<const std::uint8_t> data);

}  // namespace certvane
