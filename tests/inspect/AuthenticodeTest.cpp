// The Authenticode SHA-256 that dbx revokes images by, on images laid out by hand.
#include "inspect/Authenticode.h"

#include <gtest/gtest.h>

#include "tests/support/PeImages.h"

namespace certvane {
namespace {

using test::Bytes;

// The hash as the image's layout says it must be: headers without the checksum and the
// certificate table entry, the section, the bytes after it, never the table itself.
Sha256Digest Expected(const test::PeImage& pe) {
    const Bytes& b = pe.bytes;
    Bytes hashed(b.begin(), b.begin() + pe.checksum);
    hashed.insert(hashed.end(), b.begin() + pe.checksum + 4, b.begin() + pe.certificateEntry);
    hashed.insert(hashed.end(), b.begin() + pe.certificateEntry + 8,
                  b.begin() + pe.certificateTable);
    return Sha256Of(hashed);
}

TEST(Authenticode, SkipsTheChecksumTheTableEntryAndTheTable) {
    for (std::size_t trailing : {std::size_t{0}, std::size_t{8}}) {
        test::PeImage pe = test::MinimalPe(0x5A, trailing);
        const auto hash = AuthenticodeSha256(pe.bytes);
        ASSERT_TRUE(hash);
        EXPECT_EQ(*hash, Expected(pe));
        // Signing changes the checksum and the table: the hash stays.
        pe.bytes[pe.checksum] ^= 0xFF;
        pe.bytes[pe.certificateTable + 3] ^= 0xFF;
        EXPECT_EQ(AuthenticodeSha256(pe.bytes), hash);
    }
    // Code does change it.
    EXPECT_NE(AuthenticodeSha256(test::MinimalPe(0x5B).bytes),
              AuthenticodeSha256(test::MinimalPe(0x5A).bytes));
}

TEST(Authenticode, RefusesWhatIsNoPeImageInsideTheBytes) {
    const test::PeImage pe = test::MinimalPe(1);
    EXPECT_FALSE(AuthenticodeSha256({}));
    // Cut short anywhere, the section or the table reaches past the end.
    for (std::size_t size : {std::size_t{2}, std::size_t{0x40}, std::size_t{0x100},
                             pe.headersEnd + 1, pe.bytes.size() - 1}) {
        EXPECT_FALSE(AuthenticodeSha256(std::span(pe.bytes).first(size))) << size;
    }
    Bytes notMz = pe.bytes;
    notMz[0] = 'X';
    EXPECT_FALSE(AuthenticodeSha256(notMz));
    Bytes farHeader = pe.bytes;
    farHeader[0x3F] = 0x7F;  // e_lfanew far beyond the file
    EXPECT_FALSE(AuthenticodeSha256(farHeader));
}

}  // namespace
}  // namespace certvane
