#include "cli/ExitCode.h"

#include <gtest/gtest.h>

namespace certvane::cli {
namespace {

constexpr auto Ready = ReadinessState::Ready;
constexpr auto NotReady = ReadinessState::NotReady;
constexpr auto Undetermined = ReadinessState::Undetermined;
const std::wstring kSigner2011 = L"Microsoft Windows Production PCA 2011";
const std::wstring kSigner2023 = L"Windows UEFI CA 2023";

TEST(DecideExitCode, FollowsTheTableInItsOrder) {
    // An unreadable db wins even over a readiness answer that claims otherwise.
    EXPECT_EQ(DecideExitCode({false, Ready, kSigner2023, true}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({false, NotReady, kSigner2023, false}), ExitUndetermined);
    // A boot manager that would not boot comes before everything the firmware lacks.
    EXPECT_EQ(DecideExitCode({true, NotReady, kSigner2011, false}), ExitWouldNotBoot);
    EXPECT_EQ(DecideExitCode({true, Ready, kSigner2023, false}), ExitWouldNotBoot);
    EXPECT_EQ(DecideExitCode({true, Undetermined, kSigner2011, false}), ExitWouldNotBoot);
    EXPECT_EQ(DecideExitCode({true, NotReady, kSigner2023, true}), ExitFirmwareNotReady);
    EXPECT_EQ(DecideExitCode({true, NotReady, L"", false}), ExitFirmwareNotReady);
    EXPECT_EQ(DecideExitCode({true, Undetermined, kSigner2023, true}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, Ready, L"", false}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, Ready, kSigner2011, true}), ExitBootManager2011);
    EXPECT_EQ(DecideExitCode({true, Ready, L"Microsoft Corporation UEFI CA 2011", true}),
              ExitBootManager2011);
    EXPECT_EQ(DecideExitCode({true, Ready, kSigner2023, true}), ExitReady);
}

TEST(DecideExitCode, OnlyTheWindowsAuthorityOf2023IsReady) {
    // The third-party 2023 CA and unknown authorities boot, but say nothing of Windows.
    EXPECT_EQ(DecideExitCode({true, Ready, L"Microsoft UEFI CA 2023", true}), ExitUndetermined);
    EXPECT_EQ(DecideExitCode({true, Ready, L"Contoso Loader CA", true}), ExitUndetermined);
}

TEST(ExitCodeOfFile, SaysTheGenerationOfOneFileThatBoots) {
    EXPECT_EQ(ExitCodeOfFile(true, kSigner2023, true), ExitReady);
    EXPECT_EQ(ExitCodeOfFile(true, L"Microsoft UEFI CA 2023", true), ExitReady);
    EXPECT_EQ(ExitCodeOfFile(true, kSigner2011, true), ExitBootManager2011);
    EXPECT_EQ(ExitCodeOfFile(true, L"Contoso Loader CA", true), ExitUndetermined);
    EXPECT_EQ(ExitCodeOfFile(true, kSigner2023, false), ExitWouldNotBoot);
    EXPECT_EQ(ExitCodeOfFile(true, L"", false), ExitUndetermined);
    // Without db, whether the firmware starts it cannot be told.
    EXPECT_EQ(ExitCodeOfFile(false, kSigner2011, false), ExitUndetermined);
}

TEST(DecideExitCode, CodesAreTheDocumentedNumbers) {
    EXPECT_EQ(ExitReady, 0);
    EXPECT_EQ(ExitFirmwareNotReady, 1);
    EXPECT_EQ(ExitBootManager2011, 2);
    EXPECT_EQ(ExitUndetermined, 3);
    EXPECT_EQ(ExitWouldNotBoot, 4);
    EXPECT_EQ(ExitInternalFailure, 5);
    EXPECT_EQ(ExitUsage, 64);
}

}  // namespace
}  // namespace certvane::cli
