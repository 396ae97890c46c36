// The window wrapper on real windows: class registration, message routing, destruction and
// centring.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

#include "ui/core/ModuleSettings.h"
#include "ui/window/WindowWnd.h"

namespace Weft {
namespace {

constexpr UINT kProbe = WM_APP + 7;

class RecordingWnd : public CWindowWnd {
  public:
    explicit RecordingWnd(LPCWSTR className, LPCWSTR baseName = nullptr)
        : className_(className), baseName_(baseName) {}

    LPCWSTR WindowClassName() const override { return className_; }
    LPCWSTR BaseClassName() const override { return baseName_; }

    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == kProbe) {
            return static_cast<LRESULT>(wParam) * 2 + 1;
        }
        return CWindowWnd::ProcessMessage(message, wParam, lParam);
    }

    void OnWindowDestroyed(HWND hwnd) override {
        ++destroyedCalls;
        destroyedWith = hwnd;
        handleInside = GetHandle();
    }

    std::vector<UINT> messages;
    int destroyedCalls = 0;
    HWND destroyedWith = nullptr;
    HWND handleInside = reinterpret_cast<HWND>(1);

  private:
    LPCWSTR className_;
    LPCWSTR baseName_;
};

class WindowWndTest : public ::testing::Test {
  protected:
    void SetUp() override { SetModuleInstance(::GetModuleHandleW(nullptr)); }

    static HWND CreatePopup(RecordingWnd& wnd, int width = 200, int height = 100) {
        return wnd.Create(nullptr, L"probe", WS_POPUP, 0, 10, 10, width, height);
    }

    static void Pump() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&msg);
        }
    }
};

TEST_F(WindowWndTest, TwoWindowsShareOneOwnClassRegistration) {
    RecordingWnd first(L"WeftTestTwice");
    RecordingWnd second(L"WeftTestTwice");
    ASSERT_NE(CreatePopup(first), nullptr);

    WNDCLASSW again{};
    again.lpfnWndProc = ::DefWindowProcW;
    again.hInstance = ::GetModuleHandleW(nullptr);
    again.lpszClassName = L"WeftTestTwice";
    EXPECT_EQ(::RegisterClassW(&again), 0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    ASSERT_NE(CreatePopup(second), nullptr);
    EXPECT_NE(first.GetHandle(), second.GetHandle());
    ::DestroyWindow(first.GetHandle());
    ::DestroyWindow(second.GetHandle());
}

TEST_F(WindowWndTest, MessagesReachTheObjectOfTheirWindow) {
    RecordingWnd first(L"WeftTestRoute");
    RecordingWnd second(L"WeftTestRoute");
    ASSERT_NE(CreatePopup(first), nullptr);
    ASSERT_NE(CreatePopup(second), nullptr);

    EXPECT_EQ(::SendMessageW(first.GetHandle(), kProbe, 20, 0), 41);
    EXPECT_EQ(second.SendMsg(kProbe, 3), 7);
    EXPECT_EQ(std::count(first.messages.begin(), first.messages.end(), kProbe), 1);
    EXPECT_EQ(std::count(second.messages.begin(), second.messages.end(), kProbe), 1);
    EXPECT_EQ(::GetWindowLongPtrW(first.GetHandle(), GWLP_USERDATA),
              reinterpret_cast<LONG_PTR>(&first));

    ASSERT_TRUE(second.PostMsg(kProbe, 1));
    Pump();
    EXPECT_EQ(std::count(second.messages.begin(), second.messages.end(), kProbe), 2);
    ::DestroyWindow(first.GetHandle());
    ::DestroyWindow(second.GetHandle());
}

TEST_F(WindowWndTest, DestructionIsReportedOnceAfterTheHandleIsCleared) {
    RecordingWnd wnd(L"WeftTestDestroy");
    const HWND hwnd = CreatePopup(wnd);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(::DestroyWindow(hwnd));

    EXPECT_EQ(wnd.destroyedCalls, 1);
    EXPECT_EQ(wnd.destroyedWith, hwnd);
    EXPECT_EQ(wnd.handleInside, nullptr);
    EXPECT_EQ(wnd.GetHandle(), nullptr);
    EXPECT_EQ(std::count(wnd.messages.begin(), wnd.messages.end(), WM_NCDESTROY), 0);
    EXPECT_EQ(std::count(wnd.messages.begin(), wnd.messages.end(), WM_DESTROY), 1);
    EXPECT_FALSE(wnd.Show(true, false));
    EXPECT_FALSE(wnd.Close(0));
}

TEST_F(WindowWndTest, CloseReachesTheWindowWithItsCode) {
    RecordingWnd wnd(L"WeftTestClose");
    ASSERT_NE(CreatePopup(wnd), nullptr);
    ASSERT_TRUE(wnd.Close(5));
    Pump();
    EXPECT_EQ(wnd.destroyedCalls, 1);
    EXPECT_EQ(std::count(wnd.messages.begin(), wnd.messages.end(), WM_CLOSE), 1);
}

TEST_F(WindowWndTest, DerivedClassKeepsTheBaseProcedureAndRoutesThroughTheProperty) {
    RecordingWnd wnd(L"WeftTestEdit", L"EDIT");
    const HWND hwnd = wnd.Create(nullptr, L"edit text", WS_POPUP, 0, 0, 0, 120, 30);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(::GetPropW(hwnd, L"WndX"), static_cast<HANDLE>(&wnd));

    // The edit procedure keeps the text; default processing must reach it.
    ::SetWindowTextW(hwnd, L"typed");
    wchar_t text[16] = {};
    ::GetWindowTextW(hwnd, text, 16);
    EXPECT_STREQ(text, L"typed");
    EXPECT_EQ(wnd.SendMsg(EM_GETLIMITTEXT), ::SendMessageW(hwnd, EM_GETLIMITTEXT, 0, 0));
    EXPECT_GT(wnd.SendMsg(EM_GETLIMITTEXT), 0);
    EXPECT_EQ(wnd.SendMsg(kProbe, 4), 9);

    RecordingWnd other(L"WeftTestEdit", L"EDIT");
    ASSERT_NE(other.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 120, 30), nullptr);

    ASSERT_TRUE(::DestroyWindow(hwnd));
    EXPECT_EQ(wnd.destroyedCalls, 1);
    EXPECT_EQ(wnd.handleInside, nullptr);
    ::DestroyWindow(other.GetHandle());
}

TEST_F(WindowWndTest, AWindowOfTheClassMadeWithoutObjectGetsDefaultProcessing) {
    RecordingWnd wnd(L"WeftTestForeign");
    ASSERT_NE(CreatePopup(wnd), nullptr);
    const HWND foreign = ::CreateWindowExW(0, L"WeftTestForeign", L"bare", WS_POPUP, 0, 0, 50, 50,
                                           nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(::SendMessageW(foreign, kProbe, 20, 0), 0);
    ::SetWindowTextW(foreign, L"kept");
    wchar_t text[8] = {};
    ::GetWindowTextW(foreign, text, 8);
    EXPECT_STREQ(text, L"kept");
    EXPECT_TRUE(::DestroyWindow(foreign));
    EXPECT_EQ(std::count(wnd.messages.begin(), wnd.messages.end(), kProbe), 0);
    EXPECT_EQ(wnd.destroyedCalls, 0);
    ::DestroyWindow(wnd.GetHandle());
}

TEST_F(WindowWndTest, UnknownBaseClassCreatesNothing) {
    RecordingWnd wnd(L"WeftTestOrphan", L"NoSuchWeftBaseClass");
    EXPECT_EQ(CreatePopup(wnd), nullptr);
    EXPECT_EQ(wnd.GetHandle(), nullptr);
    WNDCLASSW info{};
    EXPECT_FALSE(::GetClassInfoW(::GetModuleHandleW(nullptr), L"WeftTestOrphan", &info));
}

TEST_F(WindowWndTest, ShowHidesAndShowsWithoutActivating) {
    RecordingWnd wnd(L"WeftTestShow");
    ASSERT_NE(CreatePopup(wnd), nullptr);
    EXPECT_TRUE(wnd.Show(true, false));
    EXPECT_TRUE(::IsWindowVisible(wnd.GetHandle()));
    EXPECT_NE(::GetActiveWindow(), wnd.GetHandle());
    EXPECT_TRUE(wnd.Show(false, false));
    EXPECT_FALSE(::IsWindowVisible(wnd.GetHandle()));
    ::DestroyWindow(wnd.GetHandle());
}

RECT WorkAreaOf(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

TEST_F(WindowWndTest, CentresAWindowWithoutOwnerOnTheWorkArea) {
    RecordingWnd wnd(L"WeftTestCentre");
    ASSERT_NE(CreatePopup(wnd, 301, 157), nullptr);
    wnd.Center();
    const RECT work = WorkAreaOf(wnd.GetHandle());
    RECT placed{};
    ::GetWindowRect(wnd.GetHandle(), &placed);
    EXPECT_EQ(placed.left, (work.left + work.right) / 2 - 301 / 2);
    EXPECT_EQ(placed.top, (work.top + work.bottom) / 2 - 157 / 2);
    EXPECT_EQ(placed.right - placed.left, 301);
    EXPECT_EQ(placed.bottom - placed.top, 157);
    ::DestroyWindow(wnd.GetHandle());
}

TEST_F(WindowWndTest, CentresOnTheOwnerAndKeepsInsideTheWorkArea) {
    RecordingWnd owner(L"WeftTestOwner");
    ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP, 0, 100, 80, 400, 300), nullptr);
    RecordingWnd owned(L"WeftTestOwned");
    ASSERT_NE(owned.Create(owner.GetHandle(), L"owned", WS_POPUP, 0, 0, 0, 100, 60), nullptr);
    owned.Center();
    RECT placed{};
    ::GetWindowRect(owned.GetHandle(), &placed);
    EXPECT_EQ(placed.left, (100 + 500) / 2 - 50);
    EXPECT_EQ(placed.top, (80 + 380) / 2 - 30);

    // Moved against the work area's top-left, the owner drags the centre outside it.
    const RECT work = WorkAreaOf(owner.GetHandle());
    ::SetWindowPos(owner.GetHandle(), nullptr, work.left - 380, work.top - 290, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    owned.Center();
    ::GetWindowRect(owned.GetHandle(), &placed);
    EXPECT_EQ(placed.left, work.left);
    EXPECT_EQ(placed.top, work.top);
    ::DestroyWindow(owned.GetHandle());
    ::DestroyWindow(owner.GetHandle());
}

TEST_F(WindowWndTest, AWindowLargerThanTheWorkAreaStartsAtItsLeftAndTopEdges) {
    RecordingWnd wnd(L"WeftTestLarge");
    ASSERT_NE(CreatePopup(wnd), nullptr);
    const RECT work = WorkAreaOf(wnd.GetHandle());
    const int width = work.right - work.left + 200;
    const int height = work.bottom - work.top + 120;
    ::SetWindowPos(wnd.GetHandle(), nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT sized{};
    ::GetWindowRect(wnd.GetHandle(), &sized);
    ASSERT_EQ(sized.right - sized.left, width);

    wnd.Center();
    RECT placed{};
    ::GetWindowRect(wnd.GetHandle(), &placed);
    EXPECT_EQ(placed.left, work.left);
    EXPECT_EQ(placed.top, work.top);
    ::DestroyWindow(wnd.GetHandle());
}

}  // namespace
}  // namespace Weft

namespace Weft {
namespace {

// Frees itself when its window is destroyed, leaving its storage filled with a pattern.
class SelfFreeingWnd : public CWindowWnd {
  public:
    static constexpr unsigned char kFreed = 0xAB;

    LPCWSTR WindowClassName() const override { return L"WeftSelfFreeing"; }
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CREATE) {
            ::DestroyWindow(GetHandle());
            return 0;
        }
        return CWindowWnd::ProcessMessage(message, wParam, lParam);
    }
    void OnWindowDestroyed(HWND) override {
        void* storage = this;
        this->~SelfFreeingWnd();
        std::memset(storage, kFreed, sizeof(SelfFreeingWnd));
    }
};

TEST_F(WindowWndTest, AnObjectFreedWhileItsWindowIsCreatedIsNotWrittenAfterwards) {
    alignas(SelfFreeingWnd) unsigned char storage[sizeof(SelfFreeingWnd)];
    auto* wnd = new (storage) SelfFreeingWnd;
    wnd->Create(nullptr, L"gone", WS_POPUP, 0, 0, 0, 10, 10);
    EXPECT_TRUE(std::all_of(std::begin(storage), std::end(storage),
                            [](unsigned char b) { return b == SelfFreeingWnd::kFreed; }));
}

}  // namespace
}  // namespace Weft
