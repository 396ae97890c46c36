// The signature list walk on well-formed and corrupt images.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "inspect/SignatureDatabase.h"
#include "tests/support/ScriptedMachine.h"
#include "tests/support/SignatureLists.h"

namespace certvane {
namespace {

using test::AppendLe32;
using test::AppendList;
using test::Bytes;
using test::Concat;
using test::FakeCertificate;
using test::ScriptedMachine;
using test::Sha256Type;
using test::X509List;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SignatureListNames, ReadsCertificatesInImageOrderKeepingDuplicates) {
    ScriptedMachine machine;
    const Bytes image = Concat({X509List(FakeCertificate(L"B")), X509List(FakeCertificate(L"A")),
                                X509List(FakeCertificate(L"B"))});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"B", L"A", L"B"));
}

TEST(SignatureListNames, ReadsEveryEntryOfAMultiEntryListPastItsTypeHeader) {
    ScriptedMachine machine;
    Bytes image;
    AppendList(image, {.type = CertX509Guid, .headerSize = 5},
               {FakeCertificate(L"One"), FakeCertificate(L"Two")});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"One", L"Two"));
}

TEST(SignatureListNames, StepsOverOtherListTypesWithoutDecodingThem) {
    ScriptedMachine machine;
    Bytes image;
    // Hash entries that would decode as certificates if they were handed to the decoder.
    AppendList(image, {.type = Sha256Type}, {FakeCertificate(L"hash"), FakeCertificate(L"hash")});
    image = Concat({image, X509List(FakeCertificate(L"After hashes"))});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"After hashes"));
    EXPECT_EQ(machine.decodedCertificates.size(), 1u);
}

TEST(SignatureListNames, SkipsEntriesThatAreNoCertificateOrHaveNoName) {
    ScriptedMachine machine;
    const Bytes image = Concat({X509List({1, 2, 3, 4}), X509List(FakeCertificate(L"")),
                                X509List(FakeCertificate(L"Kept"))});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"Kept"));
    EXPECT_EQ(machine.decodedCertificates.size(), 3u);
}

TEST(SignatureListNames, HandsTheDecoderExactlyTheEntryDataAfterTheOwner) {
    ScriptedMachine machine;
    const Bytes der = FakeCertificate(L"Exact");
    SignatureListNames(machine, X509List(der));
    ASSERT_EQ(machine.decodedCertificates.size(), 1u);
    EXPECT_EQ(machine.decodedCertificates[0], der);
}

TEST(CertificateNameFromDisplayName, TakesTheCommonNameWhenThereIsOne) {
    EXPECT_EQ(CertificateNameFromDisplayName(L"C=US, O=Org, CN=Example CA, OU=Unit"),
              L"Example CA");
    EXPECT_EQ(CertificateNameFromDisplayName(L"CN=Example CA"), L"Example CA");
    EXPECT_EQ(CertificateNameFromDisplayName(L"Example CA"), L"Example CA");
    EXPECT_EQ(CertificateNameFromDisplayName(L"cn=lower"), L"cn=lower");
    EXPECT_EQ(CertificateNameFromDisplayName(L"CN="), L"");
    EXPECT_EQ(CertificateNameFromDisplayName(L"CN=First, CN=Second"), L"First");
    EXPECT_EQ(CertificateNameFromDisplayName(L"ab"), L"ab");
}

TEST(SignatureListNames, DisplayNamesWithCommonNamesContributeTheCommonName) {
    ScriptedMachine machine;
    EXPECT_THAT(SignatureListNames(machine, X509List(FakeCertificate(L"O=Org, CN=Inner, OU=X"))),
                ElementsAre(L"Inner"));
}

TEST(SignatureListNamesBadInput, EmptyAndShortImagesEndTheWalk) {
    ScriptedMachine machine;
    EXPECT_THAT(SignatureListNames(machine, Bytes{}), IsEmpty());
    EXPECT_THAT(SignatureListNames(machine, Bytes(27, 0xFF)), IsEmpty());
    // Trailing bytes fewer than a header after a good list are ignored.
    const Bytes image = Concat({X509List(FakeCertificate(L"Good")), Bytes(27, 0xFF)});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"Good"));
}

TEST(SignatureListNamesBadInput, ZeroEntrySizeStepsOverTheHeadersOnly) {
    ScriptedMachine machine;
    Bytes image;
    AppendList(image, {.type = CertX509Guid, .listSize = 1000, .headerSize = 4, .entrySize = 0},
               {});
    // The next list starts right after the zero-size list's headers.
    image = Concat({image, X509List(FakeCertificate(L"Next"))});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"Next"));
}

TEST(SignatureListNamesBadInput, TinyX509EntriesAreNeverDecoded) {
    for (std::uint32_t entrySize : {1u, 15u, 16u}) {
        ScriptedMachine machine;
        Bytes image;
        AppendList(image, {.type = CertX509Guid, .entrySize = entrySize}, {{}, {}, {}});
        image = Concat({image, X509List(FakeCertificate(L"After"))});
        EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"After")) << entrySize;
        EXPECT_EQ(machine.decodedCertificates.size(), 1u) << entrySize;
    }
}

TEST(SignatureListNamesBadInput, OverstatedListSizeLeavesTheListAtTheImageEnd) {
    ScriptedMachine machine;
    Bytes image;
    AppendList(image, {.type = CertX509Guid, .listSize = 0xFFFFFFF0}, {FakeCertificate(L"Only")});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"Only"));
}

TEST(SignatureListNamesBadInput, UnderstatedListSizeIsBoundedByTheImage) {
    ScriptedMachine machine;
    Bytes image;
    // List size below its own header: the unsigned count wraps to a huge number.
    AppendList(image, {.type = CertX509Guid, .listSize = 3},
               {FakeCertificate(L"P"), FakeCertificate(L"Q")});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"P", L"Q"));
}

TEST(SignatureListNamesBadInput, HeaderAndEntrySizesNearTheTopOfTheRangeDoNotWrap) {
    for (std::uint32_t headerSize : {0xFFFFFFFFu, 0xFFFFFFE4u, 0x7FFFFFFFu}) {
        for (std::uint32_t entrySize : {0xFFFFFFFFu, 0xFFFFFFF0u, 1u}) {
            ScriptedMachine machine;
            Bytes image;
            AppendList(image,
                       {.type = CertX509Guid,
                        .listSize = 0xFFFFFFFF,
                        .headerSize = 0,
                        .entrySize = entrySize},
                       {});
            // Rewrite the header size field in place: AppendList would pad that many bytes.
            image[20] = headerSize & 0xFF;
            image[21] = (headerSize >> 8) & 0xFF;
            image[22] = (headerSize >> 16) & 0xFF;
            image[23] = headerSize >> 24;
            image.resize(200, 0x41);
            EXPECT_THAT(SignatureListNames(machine, image), IsEmpty());
        }
    }
}

TEST(SignatureListNamesBadInput, TruncatedFinalListKeepsWhatCameBefore) {
    ScriptedMachine machine;
    Bytes last = X509List(FakeCertificate(L"Cut off"));
    last.resize(last.size() - 3);
    const Bytes image = Concat({X509List(FakeCertificate(L"Whole")), last});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"Whole"));
}

TEST(SignatureListNamesBadInput, AnEntryPastTheEndIsReadAsTheNextHeader) {
    ScriptedMachine machine;
    // A list that claims two entries but holds only one is left where the missing entry
    // would start, and the walk reads a list header there: here the next, valid, list.
    Bytes image;
    const Bytes next = X509List(FakeCertificate(L"Embedded"));
    AppendList(image, {.type = Sha256Type, .listSize = 28 + 2 * 4096, .entrySize = 4096},
               {Bytes(16, 0)});
    image = Concat({image, next});
    EXPECT_THAT(SignatureListNames(machine, image), ElementsAre(L"Embedded"));

    Bytes claimsTooMuch;
    AppendList(claimsTooMuch,
               {.type = Sha256Type,
                .listSize = static_cast<std::uint32_t>(28 + next.size() + 1),
                .entrySize = static_cast<std::uint32_t>(next.size() + 1)},
               {});
    claimsTooMuch = Concat({claimsTooMuch, next});
    EXPECT_THAT(SignatureListNames(machine, claimsTooMuch), ElementsAre(L"Embedded"));
}

TEST(SignatureListNamesBadInput, OneMebibyteOfRandomBytesTerminatesInBounds) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 4; ++round) {
        Bytes image(MaxFirmwareVariableSize);
        for (auto& b : image) b = static_cast<std::uint8_t>(random());
        ScriptedMachine machine;
        SignatureListNames(machine, image);
        for (const Bytes& der : machine.decodedCertificates) {
            EXPECT_LE(der.size(), image.size());
        }
    }
}

TEST(SignatureListNamesBadInput, RandomlyMutatedRealisticImagesTerminate) {
    std::mt19937 random(7);
    const Bytes base = Concat({X509List(FakeCertificate(L"Windows UEFI CA 2023")),
                               X509List(FakeCertificate(L"Microsoft UEFI CA 2023"))});
    for (int round = 0; round < 2000; ++round) {
        Bytes image = base;
        const int mutations = 1 + static_cast<int>(random() % 6);
        for (int m = 0; m < mutations; ++m) {
            image[random() % image.size()] = static_cast<std::uint8_t>(random());
        }
        image.resize(random() % (image.size() + 1));
        ScriptedMachine machine;
        const NameList names = SignatureListNames(machine, image);
        EXPECT_LE(names.size(), machine.decodedCertificates.size());
    }
}

}  // namespace
}  // namespace certvane
