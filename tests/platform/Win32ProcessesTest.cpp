// Child processes with Wine's kernel: exit codes, time-outs, and trees that end together.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "inspect/SystemCommands.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

constexpr DWORD kGenerousWaitMs = 30000;

// The interpreter stands in for any system program here: it exits with the code it is told.
int RunInterpreter(Platform& platform, std::wstring_view command, DWORD timeoutMs) {
    return RunSystemProgram(platform, L"cmd.exe", L"/d /c " + std::wstring(command), timeoutMs);
}

TEST(Win32SystemProgram, ReturnsTheProgramsExitCode) {
    Win32Platform platform;
    EXPECT_EQ(RunInterpreter(platform, L"exit 0", kGenerousWaitMs), 0);
    EXPECT_EQ(RunInterpreter(platform, L"exit 3", kGenerousWaitMs), 3);
    EXPECT_EQ(RunInterpreter(platform, L"exit 259", kGenerousWaitMs), -1);
}

TEST(Win32SystemProgram, StartsOnlyTheFileItNames) {
    Win32Platform platform;
    const auto started =
        platform.StartProcess(L"C:\\no\\such\\cmd.exe", L"cmd.exe /c exit 0",
                              ShowWindowMode::Hidden, platform.SystemDirectoryPath());
    EXPECT_FALSE(started.has_value());
}

TEST(Win32SystemProgram, RunsInTheSystemDirectory) {
    Win32Platform platform;
    // The interpreter's exit code tells whether its current directory is the system directory.
    const std::wstring check =
        L"if /i \"%CD%\"==\"" + platform.SystemDirectoryPath() + L"\" (exit 7) else (exit 8)";
    EXPECT_EQ(RunInterpreter(platform, check, kGenerousWaitMs), 7);
}

// A helper that starts a child which starts a grandchild; the grandchild writes its id and
// every one of them waits forever.
class Win32ProcessTree : public ::testing::Test {
  protected:
    void SetUp() override {
        pidFile_ = platform_.TempDirectoryPath() + L"certvane-tree-" +
                   std::to_wstring(GetCurrentProcessId()) + L".pid";
        DeleteFileW(pidFile_.c_str());
    }
    void TearDown() override { DeleteFileW(pidFile_.c_str()); }

    std::wstring TreeCommandLine() const {
        return L"\"" + std::wstring(kHelper) + L"\" \"" + pidFile_ + L"\" 2";
    }

    // The grandchild, once it has written its id (waiting for the file, not for a time).
    HANDLE WaitForGrandchild() const {
        for (DWORD waited = 0; waited < kGenerousWaitMs; waited += 20) {
            std::ifstream in{std::filesystem::path(pidFile_)};
            DWORD pid = 0;
            if (in >> pid && pid != 0) return OpenProcess(SYNCHRONIZE, FALSE, pid);
            Sleep(20);
        }
        return nullptr;
    }

    static constexpr const wchar_t* kHelper = CERTVANE_PROCESS_TREE_HELPER;
    Win32Platform platform_;
    std::wstring pidFile_;
};

TEST_F(Win32ProcessTree, KillingTheTreeEndsTheGrandchild) {
    const auto started = platform_.StartProcess(kHelper, TreeCommandLine(), ShowWindowMode::Hidden,
                                                platform_.SystemDirectoryPath());
    ASSERT_TRUE(started.has_value());
    EXPECT_NE(started->job, JobHandle{});
    const HANDLE grandchild = WaitForGrandchild();
    ASSERT_NE(grandchild, nullptr) << "the grandchild never started";
    EXPECT_EQ(WaitForSingleObject(grandchild, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    platform_.KillProcessTree(*started, 1);
    EXPECT_EQ(WaitForSingleObject(grandchild, kGenerousWaitMs), WAIT_OBJECT_0);
    EXPECT_EQ(platform_.ProcessExitCode(started->process), 1u);
    platform_.CloseProcess(*started);
    CloseHandle(grandchild);
}

TEST_F(Win32ProcessTree, ClosingTheProcessEndsWhatItLeftRunning) {
    const auto started = platform_.StartProcess(kHelper, TreeCommandLine(), ShowWindowMode::Hidden,
                                                platform_.SystemDirectoryPath());
    ASSERT_TRUE(started.has_value());
    const HANDLE grandchild = WaitForGrandchild();
    ASSERT_NE(grandchild, nullptr) << "the grandchild never started";
    platform_.CloseProcess(*started);
    EXPECT_EQ(WaitForSingleObject(grandchild, kGenerousWaitMs), WAIT_OBJECT_0);
    CloseHandle(grandchild);
}

// The time-out must leave time for three processes to start: the grandchild's id is the
// proof that the tree existed when the time-out ended it.
TEST_F(Win32ProcessTree, AProgramThatOutlivesItsTimeOutEndsWithAllItStarted) {
    // The interpreter drops the first and the last quote of a line that holds more than two.
    EXPECT_EQ(RunInterpreter(platform_, L"\"" + TreeCommandLine() + L"\"", 8000), -1);
    const HANDLE grandchild = WaitForGrandchild();
    ASSERT_NE(grandchild, nullptr) << "the command did not start its tree within the time-out";
    EXPECT_EQ(WaitForSingleObject(grandchild, kGenerousWaitMs), WAIT_OBJECT_0);
    CloseHandle(grandchild);
}

}  // namespace
}  // namespace certvane
