#include "inspect/CapturedVariable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"

namespace certvane::cli {
namespace {

using test::Bytes;
using test::Concat;
using test::RealCertificate;
using test::RealUpdateLists;
using test::X509List;

Bytes RealDb() {
    return Concat({X509List(RealCertificate("microsoft-windows-production-pca-2011.der")),
                   RealUpdateLists("db-update-windows-uefi-ca-2023.bin")});
}

Bytes RealDbx() {
    return Concat(
        {RealUpdateLists("dbx-update-amd64.bin"), RealUpdateLists("dbx-update-2024.bin")});
}

Bytes WithAttributes(std::uint32_t attributes, const Bytes& image) {
    Bytes out;
    test::AppendLe32(out, attributes);
    return Concat({out, image});
}

TEST(DecodeCapturedVariable, TakesRawImagesWhole) {
    for (const Bytes& image : {RealDb(), RealDbx()}) {
        EXPECT_EQ(DecodeCapturedVariable(image), image);
    }
}

TEST(DecodeCapturedVariable, StripsTheEfivarfsAttributeWord) {
    // Non-volatile, boot service, runtime, time-based authenticated write.
    EXPECT_EQ(DecodeCapturedVariable(WithAttributes(0x27, RealDb())), RealDb());
    EXPECT_EQ(DecodeCapturedVariable(WithAttributes(0x07, RealDbx())), RealDbx());
}

TEST(DecodeCapturedVariable, RefusesFilesThatAreNoSignatureDatabase) {
    EXPECT_FALSE(DecodeCapturedVariable(Bytes{}));
    EXPECT_FALSE(DecodeCapturedVariable(Bytes(100, 0)));
    EXPECT_FALSE(DecodeCapturedVariable(RealCertificate("windows-uefi-ca-2023.der")));
    // The signed update file itself, with its authentication header still in front.
    EXPECT_FALSE(DecodeCapturedVariable(test::ReadWholeFile(
        std::string(CERTVANE_REALDATA_DIR) + "/updates/db-update-windows-uefi-ca-2023.bin")));
    // An attribute word with bits no firmware sets.
    EXPECT_FALSE(DecodeCapturedVariable(WithAttributes(0x1000, RealDb())));
}

TEST(IsSignatureDatabaseImage, RequiresListsThatTileTheImageExactly) {
    const Bytes db = RealDb();
    EXPECT_TRUE(IsSignatureDatabaseImage(db));
    Bytes truncated = db;
    truncated.pop_back();
    EXPECT_FALSE(IsSignatureDatabaseImage(truncated));
    Bytes trailing = db;
    trailing.push_back(0);
    EXPECT_FALSE(IsSignatureDatabaseImage(trailing));

    Bytes zeroEntries;
    test::AppendList(zeroEntries, {.type = CertX509Guid, .entrySize = 40}, {});
    EXPECT_FALSE(IsSignatureDatabaseImage(zeroEntries));
    Bytes remainder;
    test::AppendList(remainder,
                     {.type = test::Sha256Type, .listSize = 28 + 48 + 1, .entrySize = 48},
                     {Bytes(32, 1)});
    remainder.push_back(0);
    EXPECT_FALSE(IsSignatureDatabaseImage(remainder));
    Bytes ownerOnly;
    test::AppendList(ownerOnly, {.type = test::Sha256Type, .entrySize = 16}, {{}});
    EXPECT_FALSE(IsSignatureDatabaseImage(ownerOnly));
    Bytes understated;
    test::AppendList(understated, {.type = CertX509Guid, .listSize = 20}, {Bytes(10, 1)});
    EXPECT_FALSE(IsSignatureDatabaseImage(understated));
}

}  // namespace
}  // namespace certvane::cli
