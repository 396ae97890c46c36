#include "cli/ExitCode.h"

#include <gtest/gtest.h>

namespace certvane::cli {
namespace {

TEST(DecideExitCode, FollowsTheChecksInTheirOrder) {
    const std::wstring signer2011 = L"Microsoft Windows Production PCA 2011";
    const std::wstring signer2023 = L"Windows UEFI CA 2023";
    EXPECT_EQ(DecideExitCode({false, false, signer2023, true}), ExitUndetermined);
    // An unreadable db wins even over a readiness answer that claims otherwise.
    EXPECT_EQ(DecideExitCode({false, true, signer2023, true}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, false, signer2023, true}), ExitFirmwareNotReady);
    EXPECT_EQ(DecideExitCode({true, false, L"", false}), ExitFirmwareNotReady);
    EXPECT_EQ(DecideExitCode({true, true, L"", false}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, true, L"Contoso Loader CA", true}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, true, signer2011, true}), ExitBootManager2011);
    EXPECT_EQ(DecideExitCode({true, true, L"Microsoft Corporation UEFI CA 2011", false}),
              ExitBootManager2011);
    EXPECT_EQ(DecideExitCode({true, true, signer2023, true}), ExitBootManager2023);
    EXPECT_EQ(DecideExitCode({true, true, L"Microsoft UEFI CA 2023", true}), ExitBootManager2023);
}

TEST(DecideExitCode, OnlyA2023AuthorityTheFirmwareTrustsIsReady) {
    // A name of the 2023 generation that db does not hold itself signs nothing the firmware starts.
    EXPECT_EQ(DecideExitCode({true, true, L"Contoso Windows UEFI CA 2023", false}),
              ExitUndetermined);
    // A revoked 2011 authority is still the 2011 step, never "ready".
    EXPECT_EQ(DecideExitCode({true, true, L"Microsoft Windows Production PCA 2011", false}),
              ExitBootManager2011);
}

TEST(ExitCodeOfSigner, SaysTheGenerationOfOneFile) {
    EXPECT_EQ(ExitCodeOfSigner(L"Windows UEFI CA 2023"), ExitBootManager2023);
    EXPECT_EQ(ExitCodeOfSigner(L"Microsoft Windows Production PCA 2011"), ExitBootManager2011);
    EXPECT_EQ(ExitCodeOfSigner(L"Microsoft Option ROM UEFI CA 2023"), ExitUndetermined);
    EXPECT_EQ(ExitCodeOfSigner(L""), ExitUndetermined);
}

TEST(DecideExitCode, CodesAreTheDocumentedNumbers) {
    EXPECT_EQ(ExitBootManager2023, 0);
    EXPECT_EQ(ExitFirmwareNotReady, 1);
    EXPECT_EQ(ExitBootManager2011, 2);
    EXPECT_EQ(ExitUndetermined, 3);
    EXPECT_EQ(ExitUsage, 64);
}

}  // namespace
}  // namespace certvane::cli
