#include "inspect/Digest.h"

#include <algorithm>
#include <array>

namespace certvane {
namespace {

// Object identifiers with tag and length: 1.3.14.3.2.26 and 2.16.840.1.101.3.4.2.{1,2,3}.
constexpr std::array<std::uint8_t, 7> kSha1Oid{0x06, 0x05, 0x2B, 0x0E, 0x03, 0x02, 0x1A};
constexpr std::array<std::uint8_t, 11> kSha256Oid{0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
                                                  0x65, 0x03, 0x04, 0x02, 0x01};
constexpr std::array<std::uint8_t, 11> kSha384Oid{0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
                                                  0x65, 0x03, 0x04, 0x02, 0x02};
constexpr std::array<std::uint8_t, 11> kSha512Oid{0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
                                                  0x65, 0x03, 0x04, 0x02, 0x03};

constexpr std::array kAlgorithms{DigestAlgorithm::Sha1, DigestAlgorithm::Sha256,
                                 DigestAlgorithm::Sha384, DigestAlgorithm::Sha512};

}  // namespace

std::string_view DigestAlgorithmName(DigestAlgorithm algorithm) {
    switch (algorithm) {
        case DigestAlgorithm::Sha1:
            return "sha1";
        case DigestAlgorithm::Sha256:
            return "sha256";
        case DigestAlgorithm::Sha384:
            return "sha384";
        case DigestAlgorithm::Sha512:
            return "sha512";
    }
    return "sha256";
}

std::span<const std::uint8_t> DigestAlgorithmOid(DigestAlgorithm algorithm) {
    switch (algorithm) {
        case DigestAlgorithm::Sha1:
            return kSha1Oid;
        case DigestAlgorithm::Sha256:
            return kSha256Oid;
        case DigestAlgorithm::Sha384:
            return kSha384Oid;
        case DigestAlgorithm::Sha512:
            return kSha512Oid;
    }
    return kSha256Oid;
}

std::optional<DigestAlgorithm> DigestAlgorithmOfOid(std::span<const std::uint8_t> oid) {
    for (DigestAlgorithm algorithm : kAlgorithms) {
        if (std::ranges::equal(DigestAlgorithmOid(algorithm).subspan(2), oid)) return algorithm;
    }
    return std::nullopt;
}

Hasher::Hasher(DigestAlgorithm algorithm) : state_(Sha256{}) {
    if (algorithm == DigestAlgorithm::Sha1) state_ = Sha1{};
    if (algorithm == DigestAlgorithm::Sha384) state_ = Sha512{true};
    if (algorithm == DigestAlgorithm::Sha512) state_ = Sha512{false};
}

void Hasher::Update(std::span<const std::uint8_t> data) {
    std::visit([data](auto& hash) { hash.Update(data); }, state_);
}

std::vector<std::uint8_t> Hasher::Final() {
    return std::visit(
        [](auto& hash) {
            const auto digest = hash.Final();
            return std::vector<std::uint8_t>(digest.begin(), digest.end());
        },
        state_);
}

std::vector<std::uint8_t> DigestOf(DigestAlgorithm algorithm, std::span<const std::uint8_t> data) {
    Hasher hash(algorithm);
    hash.Update(data);
    return hash.Final();
}

}  // namespace certvane
