#include "inspect/CertGeneration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/KnownCertificates.h"

namespace certvane {
namespace {

TEST(ClassifyCertName, PlacesEachTransitionCertificate) {
    EXPECT_EQ(ClassifyCertName(L"Microsoft Windows Production PCA 2011"), Gen2011);
    EXPECT_EQ(ClassifyCertName(L"Microsoft Corporation UEFI CA 2011"), Gen2011);
    EXPECT_EQ(ClassifyCertName(L"Windows UEFI CA 2023"), Gen2023);
    EXPECT_EQ(ClassifyCertName(L"Microsoft UEFI CA 2023"), Gen2023);
    // The Option ROM CA carries neither 2023 pattern.
    EXPECT_EQ(ClassifyCertName(L"Microsoft Option ROM UEFI CA 2023"), Unclassified);
}

TEST(ClassifyCertName, MatchesSubstringsCaseSensitively) {
    EXPECT_EQ(ClassifyCertName(L"Contoso PCA 2011 Test Root"), Gen2011);
    EXPECT_EQ(ClassifyCertName(L"xWindows UEFI CA 2023y"), Gen2023);
    EXPECT_EQ(ClassifyCertName(L"windows uefi ca 2023"), Unclassified);
    EXPECT_EQ(ClassifyCertName(L"pca 2011"), Unclassified);
    EXPECT_EQ(ClassifyCertName(L""), Unclassified);
    EXPECT_EQ(ClassifyCertName(L"Microsoft Windows"), Unclassified);
}

TEST(ClassifyCertName, The2011RuleWinsOverThe2023Rule) {
    EXPECT_EQ(ClassifyCertName(L"Windows UEFI CA 2023 cross-signed by PCA 2011"), Gen2011);
}

TEST(CertGenerationName, NamesEachGenerationAndAnyOtherValue) {
    EXPECT_EQ(CertGenerationName(Gen2011), L"Microsoft Corporation UEFI CA 2011");
    EXPECT_EQ(CertGenerationName(Gen2011).size(), 34u);
    EXPECT_EQ(CertGenerationName(Gen2023), L"Microsoft UEFI CA 2023");
    EXPECT_EQ(CertGenerationName(Gen2023).size(), 22u);
    EXPECT_EQ(CertGenerationName(Unclassified), L"未知证书");
    EXPECT_EQ(CertGenerationName(Unclassified).size(), 4u);
    EXPECT_EQ(CertGenerationName(3), L"未知证书");
    EXPECT_EQ(CertGenerationName(-1), L"未知证书");
}

TEST(KnownCertificates, RowsAreInTheirFixedOrderWithDisplayEqualToMatch) {
    ASSERT_EQ(KnownCertificates.size(), 5u);
    EXPECT_EQ(KnownCertificates[0].matchName, L"Microsoft Windows Production PCA 2011");
    EXPECT_EQ(KnownCertificates[1].description, L"第三方 UEFI 驱动和引导程序 证书");
    EXPECT_EQ(KnownCertificates[4].matchName, L"Microsoft Option ROM UEFI CA 2023");
    for (const auto& row : KnownCertificates) EXPECT_EQ(row.displayName, row.matchName);
    EXPECT_EQ(Ca2023ReadinessSet[0], L"Windows UEFI CA 2023");
    EXPECT_EQ(Ca2023ReadinessSet[2], L"Microsoft Option ROM UEFI CA 2023");
}

}  // namespace
}  // namespace certvane
