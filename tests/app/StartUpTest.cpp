// The program from start to exit on scripted machines: elevation, the relaunch through the
// shell, the firmware privilege, the window as it is shown, and the exit codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "app/StartUp.h"
#include "inspect/Holdings.h"
#include "report/StatusReport.h"
#include "tests/app/MainWindowHarness.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::BoxAnswerer;
using test::ScriptedMachine;

constexpr int kShowCommand = SW_SHOWMAXIMIZED;

HWND FindMainWindow() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) -> BOOL {
            wchar_t className[32] = {};
            GetClassNameW(window, className, 32);
            if (std::wstring(className) != L"Certvane_Weft") return TRUE;
            *reinterpret_cast<HWND*>(parameter) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(StartUp, ARefusedElevationIsExplainedAndEndsWithOne) {
    ScriptedMachine machine;
    machine.tokenElevated = false;
    machine.elevationRefused = true;
    BoxAnswerer answer(IDOK);
    EXPECT_EQ(RunCertvane(machine, GetModuleHandleW(nullptr), kShowCommand), 1);
    EXPECT_EQ(answer.Seen().caption, L"权限不足");
    EXPECT_EQ(answer.Seen().text, L"需要管理员权限，请右键以管理员身份运行。");
    EXPECT_EQ(answer.Seen().icon, IDI_ERROR);
    EXPECT_TRUE(answer.Seen().ok);
    ASSERT_EQ(machine.relaunches.size(), 1u);
    EXPECT_EQ(machine.relaunches[0].first, *machine.programPath);
    // Nothing else was set up.
    EXPECT_THAT(machine.enabledPrivileges, ::testing::IsEmpty());
    EXPECT_THAT(machine.HeldResources(), ::testing::IsEmpty());
}

TEST(StartUp, AnUnreadableProgramPathIsExplainedWithoutARelaunch) {
    ScriptedMachine machine;
    machine.tokenElevated = std::nullopt;  // the query fails: not elevated
    machine.programPath = std::nullopt;
    BoxAnswerer answer(IDOK);
    EXPECT_EQ(RunCertvane(machine, GetModuleHandleW(nullptr), kShowCommand), 1);
    EXPECT_EQ(answer.Seen().caption, L"权限不足");
    EXPECT_TRUE(machine.relaunches.empty());
}

TEST(StartUp, AnElevatedRestartEndsThisProcessWithZeroAtOnce) {
    ScriptedMachine machine;
    machine.tokenElevated = false;
    EXPECT_EQ(RunCertvane(machine, GetModuleHandleW(nullptr), kShowCommand), 0);
    ASSERT_EQ(machine.relaunches.size(), 1u);
    // The program itself, shown as this one was asked to be; no arguments are passed on.
    EXPECT_EQ(
        machine.relaunches[0],
        std::make_pair(std::wstring(L"C:\\Users\\admin\\Downloads\\certvane.exe"), kShowCommand));
    EXPECT_THAT(machine.enabledPrivileges, ::testing::IsEmpty());
    EXPECT_EQ(FindMainWindow(), nullptr);
}

// A refresh still running when the window closes uses the caller's platform and may hold what
// it acquired: the program returns only after it has finished.
TEST(StartUp, ClosingDuringARefreshWaitsForTheWorkerBeforeReturning) {
    ScriptedMachine machine;
    struct Held {
        std::atomic<bool> entered{false};
        std::atomic<bool> release{false};
        std::atomic<bool> finished{false};
    };
    const auto held = std::make_shared<Held>();
    CMainWnd::Operations operations;
    operations.refresh = [held](Platform&, const StopSignal&) {
        held->entered = true;
        while (!held->release) Sleep(5);
        Sleep(100);
        held->finished = true;
        return std::wstring(L"报告");
    };
    operations.firmwareUpdate = operations.bootCheck = operations.refresh;
    // Closes the window while the refresh is held, then lets the refresh go.
    std::thread user([held] {
        while (!held->entered) Sleep(5);
        // The window belongs to the program's thread, not to this one.
        HWND window = nullptr;
        while ((window = FindWindowW(L"Certvane_Weft", nullptr)) == nullptr) Sleep(5);
        PostMessageW(window, WM_CLOSE, 0, 0);
        while (IsWindow(window)) Sleep(5);
        held->release = true;
    });
    EXPECT_EQ(RunCertvane(machine, GetModuleHandleW(nullptr), SW_SHOWNORMAL, operations), 0);
    EXPECT_TRUE(held->finished);
    user.join();
}

// A refresh in Windows PE held inside its first acquire, the load of the offline installation's
// hive, until the window has closed.
struct HeldInHiveLoad {
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    ~HeldInHiveLoad() { CloseHandle(gate); }
};

CMainWnd::Operations HoldTheRefreshInItsHiveLoad(ScriptedMachine& machine,
                                                 const std::shared_ptr<HeldInHiveLoad>& held) {
    machine.onHiveLoaded = [held](std::wstring_view) {
        if (held->entered.exchange(true)) return;
        WaitForSingleObject(held->gate, 30000);
    };
    CMainWnd::Operations operations = CMainWnd::EngineOperations();
    operations.refresh = [held](Platform& platform, const StopSignal& stop) {
        std::wstring report = ComposeStatusReport(platform, &stop);
        held->finished = true;
        return report;
    };
    return operations;
}

// Posts WM_CLOSE once the refresh is held, and lets it go `after` the window is gone.
std::thread CloseWhileHeld(const std::shared_ptr<HeldInHiveLoad>& held, bool releaseAfterClose) {
    return std::thread([held, releaseAfterClose] {
        while (!held->entered) Sleep(5);
        HWND window = nullptr;
        while ((window = FindWindowW(L"Certvane_Weft", nullptr)) == nullptr) Sleep(5);
        PostMessageW(window, WM_CLOSE, 0, 0);
        while (IsWindow(window)) Sleep(5);
        if (releaseAfterClose) SetEvent(held->gate);
    });
}

std::size_t CountOf(const std::vector<std::wstring>& log, std::wstring_view prefix) {
    return static_cast<std::size_t>(std::count_if(
        log.begin(), log.end(), [&](const auto& entry) { return entry.starts_with(prefix); }));
}

// The window's closing asks the refresh to stop: it gives back the hive it holds on its own path
// and reads nothing more (a whole refresh loads more hives after the first).
TEST(StartUp, ClosingDuringARefreshStopsItAtItsNextStepWithWhatItHeldGivenBack) {
    ScriptedMachine whole = test::WinPeWithOfflineOnC();
    ComposeStatusReport(whole);
    ASSERT_GT(CountOf(whole.log, L"LoadRegistryHive "), 1u);

    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    const auto held = std::make_shared<HeldInHiveLoad>();
    const CMainWnd::Operations operations = HoldTheRefreshInItsHiveLoad(machine, held);
    std::thread user = CloseWhileHeld(held, true);
    EXPECT_EQ(RunCertvane(machine, GetModuleHandleW(nullptr), SW_SHOWNORMAL, operations), 0);
    user.join();
    EXPECT_TRUE(held->finished);
    EXPECT_EQ(CountOf(machine.log, L"LoadRegistryHive "), 1u);
    EXPECT_EQ(CountOf(machine.log, L"UnloadRegistryHive "), 1u);
    EXPECT_THAT(machine.HeldResources(), ::testing::IsEmpty());
    EXPECT_EQ(ProcessHoldings().Count(), 0u);
}

// A refresh stuck in a step past the bound: what it holds is given back before the process
// ends, and once the refresh goes on, it gives back nothing a second time.
TEST(StartUp, ARefreshStuckPastTheBoundHasWhatItHoldsGivenBackBeforeTheProcessEnds) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    const auto held = std::make_shared<HeldInHiveLoad>();
    const CMainWnd::Operations operations = HoldTheRefreshInItsHiveLoad(machine, held);
    static ScriptedMachine* ending;
    static std::vector<std::wstring> logAtEnd;
    static UINT endedWith;
    ending = &machine;
    endedWith = 99;
    std::thread user = CloseWhileHeld(held, false);
    const WorkerShutdown shutdown{200, [](UINT code) {
                                      endedWith = code;
                                      logAtEnd = ending->log;
                                  }};
    EXPECT_EQ(RunCertvane(machine, GetModuleHandleW(nullptr), SW_SHOWNORMAL, operations, shutdown),
              0);
    user.join();
    EXPECT_EQ(endedWith, 0u);
    EXPECT_EQ(CountOf(logAtEnd, L"UnloadRegistryHive "), 1u);
    EXPECT_EQ(CountOf(logAtEnd, L"DeleteDirectoryWithFiles "), 1u);
    EXPECT_FALSE(held->finished);

    SetEvent(held->gate);
    while (!held->finished) Sleep(5);
    EXPECT_EQ(CountOf(machine.log, L"UnloadRegistryHive "), 1u);
    EXPECT_EQ(CountOf(machine.log, L"DeleteDirectoryWithFiles "), 1u);
    EXPECT_EQ(ProcessHoldings().Count(), 0u);
}

TEST(StartUp, ElevatedItShowsTheCentredWindowUntilItIsClosedAndEndsWithZero) {
    ScriptedMachine machine;
    // The operations hold a token while they exist; once it has expired no worker touches
    // the machine any more.
    auto token = std::make_shared<int>(0);
    const std::weak_ptr<int> operationsAlive = token;
    CMainWnd::Operations operations;
    operations.refresh = [token](Platform&, const StopSignal&) { return std::wstring(L"报告"); };
    operations.firmwareUpdate = operations.bootCheck = operations.refresh;
    token.reset();

    struct Seen {
        std::wstring title;
        RECT rect{};
        bool visible = false;
        bool privilegeEnabled = false;
    } seen;
    // Closes the window as a user would, once it is shown; runs on this thread's timer, as
    // everything of the window must.
    static Seen* target;
    static ScriptedMachine* scripted;
    target = &seen;
    scripted = &machine;
    const UINT_PTR closer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND window = FindMainWindow();
        if (window == nullptr || !IsWindowVisible(window)) return;
        KillTimer(nullptr, id);
        wchar_t title[64] = {};
        GetWindowTextW(window, title, 64);
        target->title = title;
        GetWindowRect(window, &target->rect);
        target->visible = true;
        target->privilegeEnabled =
            scripted->enabledPrivileges.count(L"SeSystemEnvironmentPrivilege") == 1;
        PostMessageW(window, WM_CLOSE, 0, 0);
    });
    ASSERT_NE(closer, 0u);
    EXPECT_EQ(RunCertvane(machine, GetModuleHandleW(nullptr), SW_SHOWNORMAL, operations), 0);
    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(seen.title, L"Certvane v2.3.0 by Orlenhast");
    EXPECT_TRUE(seen.privilegeEnabled);
    EXPECT_EQ(seen.rect.right - seen.rect.left, 850);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, 640);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&seen.rect, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    EXPECT_NEAR(seen.rect.left - work.left, work.right - seen.rect.right, 1);
    EXPECT_NEAR(seen.rect.top - work.top, work.bottom - seen.rect.bottom, 1);
    EXPECT_EQ(FindMainWindow(), nullptr);  // gone with the loop
    operations = {};
    // Let a refresh still on its way finish before the machine goes.
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (!operationsAlive.expired() && GetTickCount64() < deadline) Sleep(5);
    EXPECT_TRUE(operationsAlive.expired());
}

// Alt+F4 with the report focused closes the program, as it closes any window: the report passes
// the system keys on to the window.
TEST(StartUp, AltF4WithTheReportFocusedClosesTheProgram) {
    ScriptedMachine machine;
    CMainWnd::Operations operations;
    operations.refresh = [](Platform&, const StopSignal&) { return std::wstring(L"报告"); };
    operations.firmwareUpdate = operations.bootCheck = operations.refresh;
    static bool pressed;
    static bool forced;
    pressed = forced = false;
    // Clicks into the report, then presses Alt+F4, as the keyboard would deliver it.
    const UINT_PTR presser = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND window = FindMainWindow();
        if (window == nullptr || !IsWindowVisible(window)) return;
        KillTimer(nullptr, id);
        RECT client = {};
        GetClientRect(window, &client);
        const LPARAM report = MAKELPARAM(client.right / 2, client.bottom / 2);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, report);
        PostMessageW(window, WM_LBUTTONUP, 0, report);
        PostMessageW(window, WM_SYSKEYDOWN, VK_F4, (1 << 29) | (0x3E << 16) | 1);
        pressed = true;
    });
    ASSERT_NE(presser, 0u);
    // Should the keys not close it, the window is closed after ten seconds, and the test fails.
    const UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (HWND window = FindMainWindow()) {
            forced = true;
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
    });
    EXPECT_EQ(RunCertvane(machine, GetModuleHandleW(nullptr), SW_SHOWNORMAL, operations), 0);
    KillTimer(nullptr, guard);
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(forced);
}

}  // namespace
}  // namespace certvane
