#include "cli/ExitCode.h"

#include <gtest/gtest.h>

namespace certvane::cli {
namespace {

TEST(DecideExitCode, FollowsTheChecksInTheirOrder) {
    const std::wstring signer2011 = L"Microsoft Windows Production PCA 2011";
    const std::wstring signer2023 = L"Windows UEFI CA 2023";
    EXPECT_EQ(DecideExitCode({false, false, signer2023}), ExitUndetermined);
    // An unreadable db wins even over a readiness answer that claims otherwise.
    EXPECT_EQ(DecideExitCode({false, true, signer2023}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, false, signer2023}), ExitFirmwareNotReady);
    EXPECT_EQ(DecideExitCode({true, false, L""}), ExitFirmwareNotReady);
    EXPECT_EQ(DecideExitCode({true, true, L""}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, true, L"Contoso Loader CA"}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, true, signer2011}), ExitBootManager2011);
    EXPECT_EQ(DecideExitCode({true, true, L"Microsoft Corporation UEFI CA 2011"}),
              ExitBootManager2011);
    EXPECT_EQ(DecideExitCode({true, true, signer2023}), ExitBootManager2023);
    EXPECT_EQ(DecideExitCode({true, true, L"Microsoft UEFI CA 2023"}), ExitBootManager2023);
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
