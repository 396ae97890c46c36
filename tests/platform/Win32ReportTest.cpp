// The whole report on the real (Wine) system: every fallback where Wine has no answer, and
// nothing left behind.
#include <windows.h>
#include <objbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/BitLocker.h"
#include "inspect/Environment.h"
#include "platform/win32/Win32Platform.h"
#include "report/StatusReport.h"
#include "tests/support/ReportLines.h"

namespace certvane {
namespace {

using ::testing::Contains;

// Wine 8 has no boot environment information and no firmware variables: the firmware type
// query fails, and the boot mode falls back to the unreadable db.
TEST(Win32Report, WithoutAFirmwareTypeTheBootModeFallsBackToDb) {
    Win32Platform platform;
    EXPECT_EQ(platform.QueryFirmwareType(), std::nullopt);
    EXPECT_FALSE(IsUefiBoot(platform));
    EXPECT_EQ(BootModeText(platform), L"无法检测 (可能为 Legacy BIOS)");
}

TEST(Win32Report, WithoutTheBitLockerProviderWmiGivesNoAnswer) {
    Win32Platform platform;
    EXPECT_EQ(QueryBitLockerWmi(platform, L"C:"), -1);
    EXPECT_EQ(GetBitLockerStatusText(platform), L"无法检测");
    // COM was balanced: this thread is in no apartment, so it enters a multithreaded one
    // afresh (S_OK, not S_FALSE) and not a single-threaded one left behind.
    const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(result, S_OK);
    CoUninitialize();
}

TEST(Win32Report, IsCompleteAndLeavesNoMountFolderOrDriveS) {
    Win32Platform platform;
    const std::wstring temp = platform.TempDirectoryPath();
    const std::vector<std::wstring> lines = test::ReportLines(ComposeStatusReport(platform));
    EXPECT_EQ(lines.front(), L"运行环境: Windows");
    EXPECT_THAT(lines, Contains(L"  BitLocker 状态：无法检测"));
    EXPECT_THAT(lines, Contains(L"  安全启动 状态: 未启用"));
    EXPECT_THAT(lines, Contains(L"  [不存在] Windows UEFI CA 2023 [新版 Windows 系统文件 证书]"));
    EXPECT_THAT(lines, Contains(L"  Windows 符合引导系统条件: 无法检测（文件不存在或无签名）"));
    // Wine holds no firmware variables: where the machine stands cannot be told.
    EXPECT_THAT(lines, Contains(L"  固件证书就绪：无法判断（无法读取 KEK、db、dbx）"));
    EXPECT_EQ(
        lines.back(),
        L"  下一步：无法读取固件证书，无法判断是否就绪：请确认电脑以 UEFI 模式启动，并以管理员"
        L"身份运行。");
    WIN32_FIND_DATAW found{};
    const HANDLE left = FindFirstFileW((temp + L"certvane-esp-*").c_str(), &found);
    EXPECT_EQ(left, INVALID_HANDLE_VALUE) << found.cFileName;
    if (left != INVALID_HANDLE_VALUE) FindClose(left);
    EXPECT_EQ(platform.DriveTypeOf(L"S:\\"), DriveNoRootDir);
}

}  // namespace
}  // namespace certvane
