// The hidden command runner with Wine's cmd.exe.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/SystemCommands.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

TEST(Win32HiddenCommand, ReturnsTheCommandsExitCode) {
    Win32Platform platform;
    EXPECT_EQ(RunHiddenCommand(platform, L"exit 0", 30000), 0);
    EXPECT_EQ(RunHiddenCommand(platform, L"exit 3", 30000), 3);
    EXPECT_EQ(RunHiddenCommand(platform, L"exit 259", 30000), -1);
}

// An endless loop of the interpreter itself: it ends only when it is terminated.
TEST(Win32HiddenCommand, ACommandThatOutlivesItsTimeOutIsTerminated) {
    Win32Platform platform;
    const std::wstring marker = platform.TempDirectoryPath() + L"certvane-hung.txt";
    DeleteFileW(marker.c_str());
    EXPECT_EQ(RunHiddenCommand(platform, L"for /l %i in (0,0,1) do echo x> \"" + marker + L"\"", 300), -1);
    // Once terminated, nothing rewrites the marker, so it can be deleted and stays deleted.
    Sleep(200);
    DeleteFileW(marker.c_str());
    Sleep(300);
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32HiddenCommand, StartsOnlyTheSystemsInterpreter) {
    Win32Platform platform;
    const auto started = platform.StartProcess(L"C:\\no\\such\\cmd.exe", L"cmd.exe /c exit 0",
                                               ShowWindowMode::Hidden);
    EXPECT_FALSE(started.has_value());
}

}  // namespace
}  // namespace certvane
