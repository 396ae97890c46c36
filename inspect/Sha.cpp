#include "inspect/Sha.h"

#include <bit>

namespace certvane {
namespace {

constexpr std::array<std::uint32_t, 64> kSha256Rounds{
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<std::uint64_t, 80> kSha512Rounds{
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc,
    0x3956c25bf348b538, 0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118,
    0xd807aa98a3030242, 0x12835b0145706fbe, 0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2,
    0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235, 0xc19bf174cf692694,
    0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5,
    0x983e5152ee66dfab, 0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4,
    0xc6e00bf33da88fc2, 0xd5a79147930aa725, 0x06ca6351e003826f, 0x142929670a0e6e70,
    0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed, 0x53380d139d95b3df,
    0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30,
    0xd192e819d6ef5218, 0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8,
    0x19a4c116b8d2d0c8, 0x1e376c085141ab53, 0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8,
    0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373, 0x682e6ff3d6b2b8a3,
    0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b,
    0xca273eceea26619c, 0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178,
    0x06f067aa72176fba, 0x0a637dc5a2c898a6, 0x113f9804bef90dae, 0x1b710b35131c471b,
    0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc, 0x431d67c49c100d4c,
    0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817};

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// Both hashes pad alike: 0x80, zeros, and the bit length as a big-endian 64-bit number.
template <class Feed>
void Pad(std::uint64_t length, Feed feed) {
    const std::uint64_t bits = length * 8;
    const std::uint8_t one = 0x80;
    feed(std::span(&one, 1));
    const std::uint8_t zero = 0;
    while ((length + 1) % 64 != 56) {
        feed(std::span(&zero, 1));
        ++length;
    }
    std::array<std::uint8_t, 8> tail{};
    for (int i = 0; i < 8; ++i) tail[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    feed(std::span<const std::uint8_t>(tail));
}

template <std::size_t N, std::size_t Words>
std::array<std::uint8_t, N> DigestOf(const std::array<std::uint32_t, Words>& state) {
    std::array<std::uint8_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = static_cast<std::uint8_t>(state[i / 4] >> (24 - 8 * (i % 4)));
    }
    return out;
}

void Sha1Block(std::array<std::uint32_t, 5>& h, const std::uint8_t* block) {
    std::array<std::uint32_t, 80> w{};
    for (int i = 0; i < 16; ++i) w[i] = BigEndian32(block + 4 * i);
    for (int i = 16; i < 80; ++i) w[i] = std::rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
        std::uint32_t f, k;
        if (i < 20) {
            f = (b & c) | (~b & d), k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d, k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d, k = 0xCA62C1D6;
        }
        const std::uint32_t t = std::rotl(a, 5) + f + e + k + w[i];
        e = d, d = c, c = std::rotl(b, 30), b = a, a = t;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
}

}  // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::Block(const std::uint8_t* block) {
    std::array<std::uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i) w[i] = BigEndian32(block + 4 * i);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 =
            std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 =
            std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state_;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t t1 = h + (std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25)) +
                                 ((e & f) ^ (~e & g)) + kSha256Rounds[i] + w[i];
        const std::uint32_t t2 =
            (std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
    }
    const std::array<std::uint32_t, 8> add{a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i) state_[i] += add[i];
}

void Sha256::Update(std::span<const std::uint8_t> data) {
    for (std::uint8_t byte : data) {
        buffer_[length_ % 64] = byte;
        ++length_;
        if (length_ % 64 == 0) Block(buffer_.data());
    }
}

Sha256Digest Sha256::Final() {
    Pad(length_, [this](std::span<const std::uint8_t> bytes) { Update(bytes); });
    return DigestOf<32>(state_);
}

void Sha1::Update(std::span<const std::uint8_t> data) {
    for (std::uint8_t byte : data) {
        buffer_[length_ % 64] = byte;
        ++length_;
        if (length_ % 64 == 0) Sha1Block(state_, buffer_.data());
    }
}

Sha1Digest Sha1::Final() {
    Pad(length_, [this](std::span<const std::uint8_t> bytes) { Update(bytes); });
    return DigestOf<20>(state_);
}

Sha1Digest Sha1Of(std::span<const std::uint8_t> data) {
    Sha1 hash;
    hash.Update(data);
    return hash.Final();
}

Sha512::Sha512(bool sha384) : sha384_(sha384) {
    state_ = sha384 ? std::array<std::uint64_t, 8>{0xcbbb9d5dc1059ed8, 0x629a292a367cd507,
                                                   0x9159015a3070dd17, 0x152fecd8f70e5939,
                                                   0x67332667ffc00b31, 0x8eb44a8768581511,
                                                   0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4}
                    : std::array<std::uint64_t, 8>{0x6a09e667f3bcc908, 0xbb67ae8584caa73b,
                                                   0x3c6ef372fe94f82b, 0xa54ff53a5f1d36f1,
                                                   0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                                   0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};
}

void Sha512::Block(const std::uint8_t* block) {
    std::array<std::uint64_t, 80> w{};
    for (int i = 0; i < 16; ++i) {
        w[i] = std::uint64_t{BigEndian32(block + 8 * i)} << 32 | BigEndian32(block + 8 * i + 4);
    }
    for (int i = 16; i < 80; ++i) {
        const std::uint64_t s0 =
            std::rotr(w[i - 15], 1) ^ std::rotr(w[i - 15], 8) ^ (w[i - 15] >> 7);
        const std::uint64_t s1 =
            std::rotr(w[i - 2], 19) ^ std::rotr(w[i - 2], 61) ^ (w[i - 2] >> 6);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state_;
    for (int i = 0; i < 80; ++i) {
        const std::uint64_t t1 = h + (std::rotr(e, 14) ^ std::rotr(e, 18) ^ std::rotr(e, 41)) +
                                 ((e & f) ^ (~e & g)) + kSha512Rounds[i] + w[i];
        const std::uint64_t t2 = (std::rotr(a, 28) ^ std::rotr(a, 34) ^ std::rotr(a, 39)) +
                                 ((a & b) ^ (a & c) ^ (b & c));
        h = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
    }
    const std::array<std::uint64_t, 8> add{a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i) state_[i] += add[i];
}

void Sha512::Update(std::span<const std::uint8_t> data) {
    for (std::uint8_t byte : data) {
        buffer_[length_ % 128] = byte;
        ++length_;
        if (length_ % 128 == 0) Block(buffer_.data());
    }
}

std::vector<std::uint8_t> Sha512::Final() {
    // 0x80, zeros, and the bit length as a big-endian 128-bit number (its high half is zero for
    // anything this program hashes).
    const std::uint64_t bits = length_ * 8;
    const std::uint8_t one = 0x80, zero = 0;
    Update(std::span(&one, 1));
    while (length_ % 128 != 112) Update(std::span(&zero, 1));
    for (int i = 0; i < 8; ++i) Update(std::span(&zero, 1));
    std::array<std::uint8_t, 8> tail{};
    for (int i = 0; i < 8; ++i) tail[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Update(tail);
    std::vector<std::uint8_t> out(sha384_ ? 48 : 64);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<std::uint8_t>(state_[i / 8] >> (56 - 8 * (i % 8)));
    }
    return out;
}

Sha256Digest Sha256Of(std::span<const std::uint8_t> data) {
    Sha256 hash;
    hash.Update(data);
    return hash.Final();
}

std::string HexOf(std::span<const std::uint8_t> bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 15]);
    }
    return text;
}

}  // namespace certvane
