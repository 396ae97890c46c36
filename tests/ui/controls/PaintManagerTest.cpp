// The paint manager driving a real window: clicks, capture, hover, focus and tab order,
// notifications, delayed deletion, control timers and painting.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestSupport.h"
#include "tests/ui/window/RenderTestSupport.h"

namespace Weft {
namespace {

using test::HostWindow;
using test::TestButton;

struct Fixture : ::testing::Test {
    Fixture() : window(300, 200) {
        root = new CHorizontalLayoutUI;
        root->SetBkColor(0xFFFFFFFF);
        for (int i = 0; i < 3; ++i) {
            buttons[i] = new TestButton;
            buttons[i]->SetFixedWidth(100);
            buttons[i]->SetBkColor(0xFF000000 | (0x40 << (8 * i)));
            root->AddItem(buttons[i]);
        }
        buttons[0]->SetName(L"first");
        window.manager.AttachRoot(root);
        window.Paint();
        window.RunQueuedWork();
        window.heard.clear();
    }

    HostWindow window;
    CHorizontalLayoutUI* root;
    TestButton* buttons[3];
};

using ClickPath = Fixture;

TEST_F(ClickPath, DownAndUpInsideGiveExactlyOneClick) {
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    EXPECT_TRUE(window.manager.HasMouseCapture());
    EXPECT_EQ(::GetCapture(), window.GetHandle());
    EXPECT_EQ(window.CountHeard(L"click"), 0);
    window.Mouse(WM_LBUTTONUP, 60, 60);
    EXPECT_FALSE(window.manager.HasMouseCapture());
    ASSERT_EQ(window.CountHeard(L"click"), 1);
    EXPECT_EQ(window.heard.back().sender, buttons[0]);
}

TEST_F(ClickPath, UpOutsideStillReachesThePressedButtonButDoesNotClick) {
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 150, 50);
    EXPECT_EQ(buttons[0]->buttonUps, 1);
    EXPECT_EQ(buttons[1]->buttonUps, 0);
    EXPECT_EQ(window.CountHeard(L"click"), 0);
}

TEST_F(ClickPath, CaptureHoldsAcrossTheWindowEdge) {
    window.Mouse(WM_LBUTTONDOWN, 250, 50, MK_LBUTTON);
    // Captured: the pointer beyond the window keeps the hover on the pressed button.
    window.Mouse(WM_MOUSEMOVE, 400, -30, MK_LBUTTON);
    EXPECT_EQ(buttons[2]->leaves, 0);
    window.Mouse(WM_MOUSEMOVE, 260, 60, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 260, 60);
    EXPECT_EQ(window.CountHeard(L"click"), 1);
    EXPECT_EQ(window.heard.back().sender, buttons[2]);
}

TEST_F(ClickPath, ReleaseWithoutPressIsIgnored) {
    window.Mouse(WM_LBUTTONUP, 50, 50);
    EXPECT_EQ(buttons[0]->buttonUps, 0);
    EXPECT_TRUE(window.heard.empty());
}

TEST_F(ClickPath, DeletingThePressedControlStillEndsTheCaptureOnRelease) {
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    ASSERT_TRUE(window.manager.HasMouseCapture());
    buttons[2]->SetFocus();  // the pressed button is not the focused one, so no focus moves
    ASSERT_TRUE(window.manager.HasMouseCapture());
    ASSERT_TRUE(root->RemoveItem(buttons[0]));
    window.RunQueuedWork();  // the removed button is deleted while still pressed
    window.Mouse(WM_LBUTTONUP, 50, 50);
    EXPECT_FALSE(window.manager.HasMouseCapture());
    EXPECT_EQ(::GetCapture(), nullptr);
    // Hover follows the pointer again: the button laid out in its place hears it enter.
    window.Paint();
    window.Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(buttons[1]->enters, 1);
}

using Hover = Fixture;

// A row of a poisoned button and a plain one, 100 wide each, in a 200 × 60 window.
struct DoomedFirst {
    DoomedFirst() {
        root->AddItem(doomed);
        root->AddItem(next);
        doomed->SetFixedWidth(100);
        next->SetFixedWidth(100);
        window.manager.AttachRoot(root);
        window.Paint();
        window.RunQueuedWork();
    }
    ~DoomedFirst() {
        ::DestroyWindow(window.GetHandle());
        test::EmptyGraveyard();
    }
    // Deletes the first button for good and lays the row out again.
    void Delete() {
        ASSERT_TRUE(root->RemoveItem(doomed));
        window.RunQueuedWork();
        ASSERT_EQ(test::GraveCount(), 1u);
        window.Paint();
    }
    HostWindow window{200, 60};
    CHorizontalLayoutUI* root = new CHorizontalLayoutUI;
    TestButton* doomed = new test::Poisoned<TestButton>;
    TestButton* next = new TestButton;
};

TEST(DeletedControls, TheHoveredOneHearsNothingMoreAndTheNextHoverWorks) {
    DoomedFirst row;
    row.window.Mouse(WM_MOUSEMOVE, 10, 10);
    ASSERT_EQ(row.doomed->enters, 1);
    row.Delete();
    row.window.Send(WM_MOUSEHOVER, 0, MAKELPARAM(10, 10));
    row.window.Send(WM_MOUSELEAVE);
    row.window.Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(row.next->enters, 1);
    row.window.Mouse(WM_MOUSEMOVE, 150, 10);
    EXPECT_EQ(row.next->leaves, 1);
}

TEST(DeletedControls, TheFocusedOneLeavesNoFocusAndKeysAndTabStillWork) {
    DoomedFirst row;
    row.doomed->SetFocus();
    ASSERT_EQ(row.window.manager.GetFocusControl(), row.doomed);
    row.Delete();
    EXPECT_EQ(row.window.manager.GetFocusControl(), nullptr);
    row.window.Send(WM_KEYDOWN, VK_SPACE);
    row.window.Send(WM_CHAR, L' ');
    row.window.Send(WM_KEYUP, VK_SPACE);
    row.window.Send(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(row.window.manager.GetFocusControl(), row.next);
}

TEST(DeletedControls, ThePressedOneIsNotClickedAndTheNextPressClicksTheNext) {
    DoomedFirst row;
    row.window.Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    row.Delete();
    row.window.Mouse(WM_MOUSEMOVE, 20, 10, MK_LBUTTON);
    row.window.Mouse(WM_LBUTTONUP, 20, 10);
    EXPECT_EQ(row.window.CountHeard(L"click"), 0);
    row.window.Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    row.window.Mouse(WM_LBUTTONUP, 10, 10);
    ASSERT_EQ(row.window.CountHeard(L"click"), 1);
    EXPECT_EQ(row.window.heard.back().sender, row.next);
}

TEST_F(Hover, EnterAndLeaveFollowThePointer) {
    window.Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(buttons[0]->enters, 1);
    window.Mouse(WM_MOUSEMOVE, 20, 10);
    EXPECT_EQ(buttons[0]->enters, 1);
    window.Mouse(WM_MOUSEMOVE, 110, 10);
    EXPECT_EQ(buttons[0]->leaves, 1);
    EXPECT_EQ(buttons[1]->enters, 1);
}

TEST_F(Hover, AMouseLeaveListenerHearsEveryHoverChange) {
    window.manager.AddMouseLeaveListener(buttons[2]);
    window.Mouse(WM_MOUSEMOVE, 10, 10);
    window.Mouse(WM_MOUSEMOVE, 110, 10);
    EXPECT_EQ(buttons[2]->leaves, 1);
    EXPECT_EQ(buttons[0]->leaves, 1);
}

struct OwnedToolTip {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK FindToolTip(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<OwnedToolTip*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (std::wstring(name) == L"tooltips_class32" && ::GetWindow(hwnd, GW_OWNER) == search->owner) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

TEST_F(Hover, HoveringAControlWithATipMakesTheToolTipWindow) {
    buttons[1]->SetToolTip(L"line one<n>line two");
    OwnedToolTip search{window.GetHandle()};
    window.Mouse(WM_MOUSEHOVER, 50, 50);
    ::EnumThreadWindows(::GetCurrentThreadId(), FindToolTip, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.found, nullptr);
    window.Mouse(WM_MOUSEHOVER, 150, 50);
    ::EnumThreadWindows(::GetCurrentThreadId(), FindToolTip, reinterpret_cast<LPARAM>(&search));
    ASSERT_NE(search.found, nullptr);
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    wchar_t text[80] = {};
    info.lpszText = text;
    ASSERT_TRUE(::SendMessageW(search.found, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(std::wstring(text), L"line one\r\nline two");
    window.Send(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(search.found));
}

// The first paint gives the first tab stop the focus; these tests start from none.
struct Focus : Fixture {
    Focus() {
        window.manager.FocusControl(nullptr);
        window.heard.clear();
    }
};

// The first focus move waits for the first layout; a control the user focused first (by a
// click, say) keeps the focus when it runs.
TEST(FocusAtStartUp, NeverTakesTheFocusFromAControlFocusedBeforeTheFirstPaint) {
    HostWindow window(300, 200);
    auto* root = new CHorizontalLayoutUI;
    TestButton* buttons[2] = {new TestButton, new TestButton};
    for (TestButton* button : buttons) {
        button->SetFixedWidth(100);
        root->AddItem(button);
    }
    window.manager.AttachRoot(root);
    window.manager.FocusControl(buttons[1]);
    window.Paint();
    window.Paint();
    EXPECT_EQ(window.manager.GetFocusControl(), buttons[1]);

    HostWindow untouched(300, 200);
    auto* otherRoot = new CHorizontalLayoutUI;
    auto* first = new TestButton;
    otherRoot->AddItem(first);
    untouched.manager.AttachRoot(otherRoot);
    untouched.Paint();
    EXPECT_EQ(untouched.manager.GetFocusControl(), first);  // settled at the first paint
}

TEST_F(Focus, TabWalksTheTabStopsAndWraps) {
    EXPECT_TRUE(window.manager.MoveFocusByTab(true));
    EXPECT_EQ(window.manager.GetFocusControl(), buttons[0]);
    window.manager.MoveFocusByTab(true);
    window.manager.MoveFocusByTab(true);
    EXPECT_EQ(window.manager.GetFocusControl(), buttons[2]);
    window.manager.MoveFocusByTab(true);
    EXPECT_EQ(window.manager.GetFocusControl(), buttons[0]);
    window.manager.MoveFocusByTab(false);
    EXPECT_EQ(window.manager.GetFocusControl(), buttons[2]);
    EXPECT_TRUE(buttons[2]->IsFocused());
    EXPECT_FALSE(buttons[0]->IsFocused());
}

TEST_F(Focus, PresetFocusChoosesWithoutTellingAnyone) {
    window.manager.PresetFocus(buttons[1]);
    EXPECT_EQ(window.manager.GetFocusControl(), buttons[1]);
    EXPECT_TRUE(window.heard.empty());
    EXPECT_TRUE(root->IsUpdateNeeded());
}

TEST_F(Focus, NotificationsTellTheFocusChange) {
    buttons[0]->SetFocus();
    buttons[1]->SetFocus();
    const std::vector<std::wstring> expected = {L"setfocus", L"killfocus", L"setfocus"};
    EXPECT_EQ(window.TypesHeard(), expected);
    EXPECT_EQ(window.heard[1].sender, buttons[0]);
}

TEST_F(Focus, HidingTheFocusedControlClearsTheFocus) {
    buttons[1]->SetFocus();
    buttons[1]->SetVisible(false);
    EXPECT_EQ(window.manager.GetFocusControl(), nullptr);
    EXPECT_FALSE(buttons[1]->IsFocused());
}

TEST_F(Focus, DisabledAndHiddenControlsAreSkipped) {
    buttons[0]->SetVisible(false);
    buttons[1]->SetEnabled(false);
    window.Paint();
    window.manager.MoveFocusByTab(true);
    EXPECT_EQ(window.manager.GetFocusControl(), buttons[2]);
    // Shown again, the first button is the next stop after the last.
    buttons[0]->SetVisible(true);
    window.Paint();
    window.manager.MoveFocusByTab(true);
    EXPECT_EQ(window.manager.GetFocusControl(), buttons[0]);
}

// A gradient that changes direction is repainted, as every other look a setter changes; one set
// to what it is already is not.
TEST(Painting, AChangedGradientIsRepainted) {
    HostWindow window(100, 100);
    auto* root = new CVerticalLayoutUI;
    window.manager.AttachRoot(root);
    window.Paint();
    const auto dirty = [&] {
        RECT rect{};
        const bool pending = GetUpdateRect(window.GetHandle(), &rect, FALSE) != FALSE;
        ValidateRect(window.GetHandle(), nullptr);
        return pending;
    };
    dirty();
    root->SetGradient(L"vertical");
    EXPECT_TRUE(dirty());
    root->SetGradient(L"vertical");
    EXPECT_FALSE(dirty());
}

TEST(FocusWithoutStops, TabChangesNothing) {
    HostWindow window(100, 100);
    auto* root = new CVerticalLayoutUI;
    root->AddItem(new CControlUI);
    window.manager.AttachRoot(root);
    window.Paint();
    EXPECT_TRUE(window.manager.MoveFocusByTab(true));
    EXPECT_EQ(window.manager.GetFocusControl(), nullptr);
}

TEST_F(Focus, KeysGoToTheFocusedControl) {
    struct KeyRecorder : CControlUI {
        std::vector<UiEvent> seen;
        void ProcessEvent(EventRecord& event) override {
            seen.push_back(event.type);
            CControlUI::ProcessEvent(event);
        }
    };
    auto* recorder = new KeyRecorder;
    root->AddItem(recorder);
    recorder->SetFocus();
    recorder->seen.clear();
    window.Send(WM_KEYDOWN, 'A');
    window.Send(WM_CHAR, 'a');
    window.Send(WM_KEYUP, 'A');
    const std::vector<UiEvent> expected = {UiEvent::KeyDown, UiEvent::Char, UiEvent::KeyUp};
    EXPECT_EQ(recorder->seen, expected);
}

using Notifications = Fixture;

TEST_F(Notifications, QueuedTwiceArriveTwiceInOrderAfterTheLoopTurns) {
    window.manager.SendNotification(buttons[0], L"first", 1, 0, true);
    window.manager.SendNotification(buttons[1], L"second", 2, 0, true);
    EXPECT_TRUE(window.heard.empty());
    MSG msg;
    int posted = 0;
    while (::PeekMessageW(&msg, window.GetHandle(), WM_UI_ASYNC, WM_UI_ASYNC, PM_REMOVE)) {
        ++posted;
        ::DispatchMessageW(&msg);
    }
    EXPECT_EQ(posted, 1);
    ASSERT_EQ(window.heard.size(), 2u);
    EXPECT_EQ(window.heard[0].type, L"first");
    EXPECT_EQ(window.heard[1].type, L"second");
    EXPECT_EQ(window.heard[1].wParam, 2u);
}

TEST_F(Notifications, AQueuedNotificationOfADeletedSenderArrivesWithoutSender) {
    window.manager.SendNotification(buttons[1], L"late", 0, 0, true);
    root->SetDelayedDestroy(false);
    root->RemoveItem(buttons[1]);
    window.RunQueuedWork();
    ASSERT_EQ(window.heard.size(), 1u);
    EXPECT_EQ(window.heard[0].sender, nullptr);
}

TEST_F(Notifications, DelegatesOfTheSenderHearFirst) {
    struct Listener {
        std::vector<std::wstring>* log;
        bool Hear(void* param) {
            log->push_back(L"delegate:" +
                           std::wstring(static_cast<NotifyRecord*>(param)->type.GetData()));
            return true;
        }
    };
    std::vector<std::wstring> log;
    Listener listener{&log};
    buttons[0]->notifyListeners += MakeDelegate(&listener, &Listener::Hear);
    window.onNotify = [&](NotifyRecord& notify) { log.push_back(notify.type.GetData()); };
    window.manager.SendNotification(buttons[0], L"ping");
    const std::vector<std::wstring> expected = {L"delegate:ping", L"ping"};
    EXPECT_EQ(log, expected);
}

// A listener that removes itself while it hears a notification; `next` must still hear it.
struct LeavingListener : INotifyUI {
    CPaintManagerUI* manager = nullptr;
    int heard = 0;
    void OnNotify(NotifyRecord&) override {
        ++heard;
        manager->RemoveNotifyListener(this);
    }
};

struct LeavingFilter : IMessageFilterUI {
    CPaintManagerUI* manager = nullptr;
    UINT watched = 0;
    int heard = 0;
    LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool&) override {
        if (message != watched) return 0;
        ++heard;
        manager->RemoveMessageHook(this);
        return 0;
    }
};

TEST_F(Notifications, AListenerThatRemovesItselfDoesNotMakeTheNextOneBeSkipped) {
    LeavingListener first, second;
    first.manager = second.manager = &window.manager;
    window.manager.AddNotifyListener(&first);
    window.manager.AddNotifyListener(&second);
    window.manager.SendNotification(buttons[0], L"ping");
    EXPECT_EQ(first.heard, 1);
    EXPECT_EQ(second.heard, 1);
    window.manager.SendNotification(buttons[0], L"again");
    EXPECT_EQ(first.heard, 1);  // removed, no longer called
    EXPECT_EQ(second.heard, 1);

    LeavingFilter hook, nextHook;
    hook.manager = nextHook.manager = &window.manager;
    hook.watched = nextHook.watched = WM_USER + 7;
    window.manager.AddMessageHook(&hook);
    window.manager.AddMessageHook(&nextHook);
    ::SendMessageW(window.GetHandle(), WM_USER + 7, 0, 0);
    EXPECT_EQ(hook.heard, 1);
    EXPECT_EQ(nextHook.heard, 1);
}

struct DestroyWatch {
    bool* flag;
    bool Gone(void*) {
        *flag = true;
        return true;
    }
};

TEST_F(Notifications, ARootAttachedAgainWhileQueuedForDeletionIsKept) {
    bool firstGone = false, secondGone = false;
    DestroyWatch firstWatch{&firstGone}, secondWatch{&secondGone};
    root->destroyListeners += MakeDelegate(&firstWatch, &DestroyWatch::Gone);
    auto* second = new CHorizontalLayoutUI;
    second->destroyListeners += MakeDelegate(&secondWatch, &DestroyWatch::Gone);
    window.manager.AttachRoot(second);  // the first root is queued for deletion
    window.manager.AttachRoot(root);    // and taken back before the queue runs
    window.RunQueuedWork();
    EXPECT_FALSE(firstGone);
    EXPECT_TRUE(secondGone);
    EXPECT_EQ(window.manager.GetRootControl(), root);
    window.Paint();  // the kept tree is still whole
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 50, 50);
    EXPECT_EQ(window.CountHeard(L"click"), 1);
}

TEST_F(Notifications, ADeletedControlLeavesNoNameBehindEvenWhenRenamed) {
    ASSERT_EQ(window.manager.FindControlByName(L"first"), buttons[0]);
    buttons[0]->SetName(L"renamed");
    ASSERT_TRUE(root->RemoveItem(buttons[0]));
    window.RunQueuedWork();
    EXPECT_EQ(window.manager.FindControlByName(L"first"), nullptr);
    EXPECT_EQ(window.manager.FindControlByName(L"renamed"), nullptr);
}

TEST_F(Notifications, DeletingTheRootItselfLeavesTheManagerWithoutOne) {
    delete root;
    EXPECT_EQ(window.manager.GetRootControl(), nullptr);
    window.Paint();  // nothing left to lay out or paint
    window.Mouse(WM_MOUSEMOVE, 50, 50);
    EXPECT_TRUE(window.heard.empty());
}

TEST_F(Notifications, DeleteLaterFromItsOwnClickHandler) {
    bool destroyed = false;
    DestroyWatch watch{&destroyed};
    buttons[1]->destroyListeners += MakeDelegate(&watch, &DestroyWatch::Gone);
    window.onNotify = [&](NotifyRecord& notify) {
        if (notify.type == L"click") root->RemoveItem(notify.sender);
    };
    window.Mouse(WM_LBUTTONDOWN, 150, 50, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 150, 50);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(root->ItemCount(), 2);
    window.RunQueuedWork();
    EXPECT_TRUE(destroyed);
    // The manager no longer points at it; after the next layout the third button stands there.
    window.Paint();
    window.Mouse(WM_MOUSEMOVE, 150, 50);
    window.Mouse(WM_LBUTTONDOWN, 150, 50, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 150, 50);
    EXPECT_EQ(window.CountHeard(L"click"), 2);
    EXPECT_EQ(window.heard.back().sender, buttons[2]);
}

// A click handler that removes its button and then runs a message loop of its own, as a
// message box does: the button lives until the handler has returned, and goes at the next
// turn of the outer loop.
TEST_F(Notifications, ANestedLoopInAClickHandlerDoesNotDeleteTheButton) {
    bool destroyed = false;
    DestroyWatch watch{&destroyed};
    buttons[1]->destroyListeners += MakeDelegate(&watch, &DestroyWatch::Gone);
    bool aliveAfterNestedLoop = false;
    int nestedMessages = 0;
    window.onNotify = [&](NotifyRecord& notify) {
        if (notify.type != L"click") return;
        root->RemoveItem(notify.sender);
        MSG msg;
        while (::PeekMessageW(&msg, window.GetHandle(), 0, 0, PM_REMOVE)) {
            ++nestedMessages;
            ::DispatchMessageW(&msg);
        }
        aliveAfterNestedLoop = !destroyed;
    };
    window.Mouse(WM_LBUTTONDOWN, 150, 50, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 150, 50);
    EXPECT_GT(nestedMessages, 0);
    EXPECT_TRUE(aliveAfterNestedLoop);
    EXPECT_FALSE(destroyed);
    window.RunQueuedWork();
    EXPECT_TRUE(destroyed);
}

TEST_F(Notifications, FindByNameGivesTheLastOfTheWalk) {
    HostWindow other(100, 100);
    auto* tree = new CVerticalLayoutUI;
    auto* a = new CControlUI;
    auto* b = new CControlUI;
    a->SetName(L"twin");
    b->SetName(L"twin");
    tree->AddItem(a);
    tree->AddItem(b);
    other.manager.AttachRoot(tree);
    EXPECT_EQ(other.manager.FindControlByName(L"twin"), b);
    EXPECT_EQ(window.manager.FindControlByName(L"first"), buttons[0]);
}

using Timers = Fixture;

// Native ids are drawn from 0..239, the first of a manager being 17; a control timer's Timer
// event reaches the base control, which tells it as a "timer" notification with the key.
TEST_F(Timers, AKilledTimerRestartsUnderItsNativeId) {
    ASSERT_TRUE(window.manager.StartControlTimer(buttons[0], 5, 1000));
    EXPECT_FALSE(window.manager.StartControlTimer(buttons[0], 5, 1000));
    window.Send(WM_TIMER, 17);
    ASSERT_EQ(window.CountHeard(L"timer"), 1);
    EXPECT_EQ(window.heard.back().wParam, 5u);

    EXPECT_TRUE(window.manager.StopControlTimer(buttons[0], 5));
    EXPECT_FALSE(window.manager.StopControlTimer(buttons[0], 5));
    window.Send(WM_TIMER, 17);
    EXPECT_EQ(window.CountHeard(L"timer"), 1);

    ASSERT_TRUE(window.manager.StartControlTimer(buttons[0], 5, 1000));
    window.Send(WM_TIMER, 17);
    EXPECT_EQ(window.CountHeard(L"timer"), 2);

    ASSERT_TRUE(window.manager.StartControlTimer(buttons[1], 5, 1000));
    window.Send(WM_TIMER, 18);
    EXPECT_EQ(window.CountHeard(L"timer"), 3);
    EXPECT_EQ(window.heard.back().sender, buttons[1]);
}

TEST_F(Timers, ADeletedControlsTimersStop) {
    ASSERT_TRUE(window.manager.StartControlTimer(buttons[1], 7, 1000));
    window.Send(WM_TIMER, 17);
    ASSERT_EQ(window.CountHeard(L"timer"), 1);  // the id the deletion must take away
    root->SetDelayedDestroy(false);
    root->RemoveItem(buttons[1]);
    window.Send(WM_TIMER, 17);
    EXPECT_EQ(window.CountHeard(L"timer"), 1);
    // The native timer is gone too.
    EXPECT_FALSE(::KillTimer(window.GetHandle(), 17));
}

TEST(FirstPaint, WindowInitBeforePaintingAndWindowSizeQueuedAfter) {
    HostWindow window(120, 80);
    auto* root = new CVerticalLayoutUI;
    struct PaintProbe : CControlUI {
        std::vector<std::wstring>* log;
        void DrawBackgroundColor(HDC) override { log->push_back(L"paint"); }
    };
    auto* probe = new PaintProbe;
    root->AddItem(probe);
    std::vector<std::wstring> log;
    probe->log = &log;
    window.onNotify = [&](NotifyRecord& notify) { log.push_back(notify.type.GetData()); };
    window.manager.AttachRoot(root);
    window.Paint();
    window.RunQueuedWork();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), L"windowinit");
    EXPECT_EQ(log[1], L"paint");
    EXPECT_EQ(log.back(), L"windowsize");
}

TEST(Painting, TheOffscreenBufferHoldsTheTreeAndOnlyDirtyPartsAreRepainted) {
    HostWindow window(100, 60);
    auto* root = new CHorizontalLayoutUI;
    auto* left = new CControlUI;
    auto* right = new CControlUI;
    left->SetBkColor(0xFFFF0000);
    right->SetBkColor(0xFF0000FF);
    right->ApplyAttributeText(L"bordersize=\"1\" bordercolor=\"#FF00FF00\"");
    root->AddItem(left);
    root->AddItem(right);
    window.manager.AttachRoot(root);
    window.Paint();
    EXPECT_EQ(window.manager.OffscreenPixel(10, 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(window.manager.OffscreenPixel(75, 30) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(window.manager.OffscreenPixel(50, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(window.manager.OffscreenPixel(99, 59) & 0xFFFFFF, 0x00FF00u);

    left->SetBkColor(0xFF00FFFF);
    ::UpdateWindow(window.GetHandle());
    EXPECT_EQ(window.manager.OffscreenPixel(10, 10) & 0xFFFFFF, 0x00FFFFu);
    EXPECT_EQ(window.manager.OffscreenPixel(75, 30) & 0xFFFFFF, 0x0000FFu);
}

// A layout run by WM_PAINT may ask for repaints outside the part the system asked for; they
// are painted in the same paint instead of being validated with it.
TEST(Painting, RepaintsTheLayoutAsksForDuringThePaintAreNotLost) {
    struct RecolouredByLayout : CControlUI {
        void SetPos(CUiRect rect, bool invalidate) override {
            CControlUI::SetPos(rect, invalidate);
            SetBkColor(0xFF00FF00);
        }
    };
    HostWindow window(100, 60);
    auto* root = new CHorizontalLayoutUI;
    auto* left = new CControlUI;
    auto* right = new RecolouredByLayout;
    left->SetBkColor(0xFFFF0000);
    root->AddItem(left);
    root->AddItem(right);
    window.manager.AttachRoot(root);
    window.Paint();
    right->SetBkColor(0xFF0000FF);
    window.Paint();
    ASSERT_EQ(window.manager.OffscreenPixel(75, 30) & 0xFFFFFF, 0x0000FFu);

    // A layout is due while the system asks only for the left half, as when a window that
    // covered it goes away.
    root->RequestLayout();
    ::ValidateRect(window.GetHandle(), nullptr);
    const RECT leftHalf = {0, 0, 50, 60};
    ::InvalidateRect(window.GetHandle(), &leftHalf, FALSE);
    ::UpdateWindow(window.GetHandle());
    EXPECT_EQ(window.manager.OffscreenPixel(75, 30) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(window.manager.OffscreenPixel(10, 30) & 0xFFFFFF, 0xFF0000u);
}

TEST(Painting, WithoutARootTheWindowIsPaintedBlackAndInputIsIgnored) {
    HostWindow window(40, 40);
    // White first, so that the paint has something to change.
    const HDC dc = ::GetDC(window.GetHandle());
    const RECT all = {0, 0, 40, 40};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ASSERT_EQ(::GetPixel(dc, 20, 20), RGB(255, 255, 255));
    window.Paint();
    EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(dc, 20, 20), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(dc, 39, 39), RGB(0, 0, 0));
    ::ReleaseDC(window.GetHandle(), dc);
    window.Mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_FALSE(window.manager.HasMouseCapture());
    EXPECT_TRUE(window.heard.empty());
}

struct DestroyCounter {
    int count = 0;
    bool Destroyed(void*) {
        ++count;
        return true;
    }
};

TEST(DelayedDeletion, AManagerGoingAwayDeletesEveryControlStillWaiting) {
    DestroyCounter counter;
    {
        HostWindow window(50, 50);
        window.manager.AttachRoot(new CVerticalLayoutUI);
        for (int i = 0; i < 3; ++i) {
            auto* control = new CControlUI;
            control->destroyListeners += MakeDelegate(&counter, &DestroyCounter::Destroyed);
            window.manager.DeleteLater(control);
        }
        EXPECT_EQ(counter.count, 0);
    }
    EXPECT_EQ(counter.count, 3);
}

TEST(LayeredMode, PaintsOpaquePixelsWithFullAlphaAndMarksTheWindowLayered) {
    HostWindow window(60, 40);
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFF336699);
    window.manager.AttachRoot(root);
    window.manager.EnableLayeredMode(true);
    ASSERT_TRUE(window.manager.IsLayered());
    window.Paint();
    EXPECT_NE(::GetWindowLongW(window.GetHandle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_EQ(window.manager.OffscreenPixel(30, 20), 0xFF336699u);
}

// The window grows while its WM_SIZE never reaches the manager (a filter takes it), so no
// layout frees the buffers: they are made again at the new size before any pixel is touched.
TEST(LayeredMode, BuffersOfAnotherSizeAreMadeAgainBeforePainting) {
    struct SwallowSize : IMessageFilterUI {
        LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool& handled) override {
            handled = message == WM_SIZE;
            return 0;
        }
    } swallow;
    HostWindow window(60, 40);
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFF336699);
    window.manager.AttachRoot(root);
    window.manager.EnableLayeredMode(true);
    window.Paint();
    ASSERT_EQ(window.manager.OffscreenSize().cx, 60);
    window.manager.AddMessageHook(&swallow);
    ::SetWindowPos(window.GetHandle(), nullptr, 0, 0, 240, 160,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.Paint();
    window.manager.RemoveMessageHook(&swallow);
    EXPECT_EQ(window.manager.OffscreenSize().cx, 240);
    EXPECT_EQ(window.manager.OffscreenSize().cy, 160);
    EXPECT_EQ(window.manager.OffscreenPixel(30, 20), 0xFF336699u);
}

TEST(LayeredMode, WindowAlphaAppliesToTheWholeWindow) {
    HostWindow window(20, 20);
    window.manager.SetWindowAlpha(128);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_NE(::GetLayeredWindowAttributes(window.GetHandle(), nullptr, &alpha, &flags), FALSE);
    EXPECT_EQ(alpha, 128);
    EXPECT_NE(flags & LWA_ALPHA, 0u);
    EXPECT_EQ(window.manager.GetOpacity(), 128);
}

// Shared images hold GDI+ objects too; they go with the last manager, before its GDI+ ends.
TEST(ResourceLifetime, SharedImagesGoWithTheLastManager) {
    const std::wstring path =
        test::WriteTempFile(L"shared.png", test::EncodePng(test::TestImage(4, 4, 0xFF00FF00)));
    {
        HostWindow window(10, 10);
        ASSERT_NE(window.manager.Resources().AddImage(path.c_str(), nullptr, 0, false, true, true),
                  nullptr);
        {
            HostWindow second(10, 10);
            EXPECT_NE(second.manager.Resources().GetImage(path.c_str()), nullptr);
        }
        EXPECT_NE(window.manager.Resources().GetImage(path.c_str()), nullptr);
    }
    HostWindow later(10, 10);
    EXPECT_EQ(later.manager.Resources().GetImage(path.c_str()), nullptr);
}

TEST(RootReplacement, TheOldRootGoesLaterAndTheSameRootAgainStays) {
    DestroyCounter counter;
    HostWindow window(50, 50);
    auto* first = new CVerticalLayoutUI;
    first->destroyListeners += MakeDelegate(&counter, &DestroyCounter::Destroyed);
    window.manager.AttachRoot(first);
    window.manager.AttachRoot(first);
    window.RunQueuedWork();
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(window.manager.GetRootControl(), first);
    window.manager.AttachRoot(new CVerticalLayoutUI);
    EXPECT_EQ(counter.count, 0);
    window.RunQueuedWork();
    EXPECT_EQ(counter.count, 1);
    EXPECT_FALSE(window.manager.AttachRoot(nullptr));
}

using Messages = Fixture;

TEST_F(Messages, AFilterThatHandlesAMessageEndsItThere) {
    struct SwallowClicks : IMessageFilterUI {
        LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool& handled) override {
            handled = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP;
            return 42;
        }
    } filter;
    window.manager.AddMessageHook(&filter);
    EXPECT_EQ(window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON), 42);
    EXPECT_EQ(window.Mouse(WM_LBUTTONUP, 50, 50), 42);
    EXPECT_EQ(window.manager.GetMousePos().x, 50);
    EXPECT_EQ(window.CountHeard(L"click"), 0);
    window.manager.RemoveMessageHook(&filter);
    window.Mouse(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 50, 50);
    EXPECT_EQ(window.CountHeard(L"click"), 1);
}

TEST_F(Messages, TrackingLimitsGoIntoMinMaxInfo) {
    window.manager.SetMinTrackSize(CUiSize(750, 0));
    window.manager.SetMaxTrackSize(CUiSize(0, 900));
    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{1, 2};
    info.ptMaxTrackSize = POINT{3, 4};
    info.ptMaxSize = POINT{5, 6};
    window.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 750);
    EXPECT_EQ(info.ptMinTrackSize.y, 2);
    EXPECT_EQ(info.ptMaxTrackSize.x, 3);
    EXPECT_EQ(info.ptMaxTrackSize.y, 900);
    EXPECT_EQ(info.ptMaxSize.y, 900);
}

TEST_F(Messages, PrintClientPaintsTheTreeIntoTheGivenContext) {
    test::Canvas canvas(300, 200, 0xFFFFFFFF);
    window.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.Rgb(50, 50), 0x000040u);
    EXPECT_EQ(canvas.Rgb(150, 50), 0x004000u);
    EXPECT_EQ(canvas.Rgb(250, 50), 0x400000u);
}

TEST_F(Messages, WindowSizeReachesTheFocusedControlAndLaysTheTreeOutAgain) {
    struct SizeWatcher : TestButton {
        int sizes = 0;
        void ProcessEvent(EventRecord& event) override {
            if (event.type == UiEvent::WindowSize) ++sizes;
            TestButton::ProcessEvent(event);
        }
    };
    auto* watcher = new SizeWatcher;
    root->AddItem(watcher);
    window.Paint();
    watcher->SetFocus();
    ::SetWindowPos(window.GetHandle(), nullptr, 0, 0, 400, 200,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(watcher->sizes, 1);
    EXPECT_TRUE(root->IsUpdateNeeded());
    window.Paint();
    EXPECT_EQ(watcher->GetPos().right, 400);
}

}  // namespace
}  // namespace Weft
