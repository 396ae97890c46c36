// Texts handed from workers to the window: owned by exactly one side at any time, freed
// when the window is gone before it handled them.
#include <gtest/gtest.h>

#include <string>

#include "app/CompletionMailbox.h"

namespace certvane {
namespace {

struct PlainWindow {
    HWND handle = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ~PlainWindow() {
        if (IsWindow(handle)) DestroyWindow(handle);
    }
};

LPARAM NextPosted(HWND window, UINT message) {
    MSG posted = {};
    if (!PeekMessageW(&posted, window, message, message, PM_REMOVE)) return -1;
    return posted.lParam;
}

TEST(CompletionMailbox, TheWindowTakesEachPostedTextOnce) {
    PlainWindow window;
    CompletionMailbox mailbox(window.handle);
    const std::wstring text = L"报告\r\n第二行";
    mailbox.Deliver(WM_USER + 100, &text);
    EXPECT_EQ(mailbox.TextsInTransit(), 1u);
    const LPARAM lParam = NextPosted(window.handle, WM_USER + 100);
    ASSERT_NE(lParam, 0);
    std::unique_ptr<std::wstring> taken = mailbox.Take(lParam);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(*taken, text);
    EXPECT_EQ(mailbox.Take(lParam), nullptr);  // never handed out twice
    EXPECT_EQ(mailbox.TextsInTransit(), 0u);
}

TEST(CompletionMailbox, NoTextPostsANullLParam) {
    PlainWindow window;
    CompletionMailbox mailbox(window.handle);
    mailbox.Deliver(WM_USER + 101, nullptr);
    EXPECT_EQ(NextPosted(window.handle, WM_USER + 101), 0);
    EXPECT_EQ(mailbox.Take(0), nullptr);
}

// The window closes its mailbox while it is being destroyed, when it can still receive posts:
// what was on its way is freed, and a later delivery is neither posted nor kept.
TEST(CompletionMailbox, TextsOfAWindowDestroyedBeforeHandlingThemAreFreed) {
    PlainWindow window;
    CompletionMailbox mailbox(window.handle);
    const std::wstring text = L"结果";
    mailbox.Deliver(WM_USER + 102, &text);
    ASSERT_EQ(mailbox.TextsInTransit(), 1u);
    mailbox.Close();
    EXPECT_EQ(mailbox.TextsInTransit(), 0u);
    EXPECT_TRUE(mailbox.Stop().Requested());
    const LPARAM early = NextPosted(window.handle, WM_USER + 102);
    EXPECT_NE(early, -1);
    EXPECT_EQ(mailbox.Take(early), nullptr);  // freed by the close, never handed out
    mailbox.Deliver(WM_USER + 102, &text);
    EXPECT_EQ(NextPosted(window.handle, WM_USER + 102), -1);
    EXPECT_EQ(mailbox.TextsInTransit(), 0u);
}

TEST(CompletionMailbox, APostThatFailsKeepsNothing) {
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    DestroyWindow(gone);
    CompletionMailbox mailbox(gone);
    const std::wstring text = L"无处可去";
    mailbox.Deliver(WM_USER + 100, &text);
    EXPECT_EQ(mailbox.TextsInTransit(), 0u);
}

TEST(CompletionMailbox, WaitsForItsWorkers) {
    PlainWindow window;
    CompletionMailbox mailbox(window.handle);
    EXPECT_TRUE(mailbox.WaitForWorkers(0));
    mailbox.WorkerStarted();
    EXPECT_FALSE(mailbox.WaitForWorkers(20));
    mailbox.WorkerEnded();
    EXPECT_TRUE(mailbox.WaitForWorkers(0));
}

}  // namespace
}  // namespace certvane
