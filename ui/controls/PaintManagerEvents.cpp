#include <vector>

#include "ui/controls/ControlUI.h"
#include "ui/controls/PaintManagerUI.h"

namespace Weft {

struct CPaintManagerUI::TimerRecord {
    CControlUI* control;
    std::uint32_t key;
    HWND window;
    std::uint32_t nativeId;
    bool killed;
};

EventRecord CPaintManagerUI::MakeEvent(UiEvent type, CControlUI* sender, WPARAM wParam,
                                       LPARAM lParam) const {
    EventRecord event;
    event.type = type;
    event.sender = sender;
    event.timestamp = ::GetTickCount();
    event.mouse = lastMouse_;
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

void CPaintManagerUI::Deliver(CControlUI* control, UiEvent type, CControlUI* sender, WPARAM wParam,
                              LPARAM lParam) {
    if (control == nullptr) return;
    EventRecord event = MakeEvent(type, sender, wParam, lParam);
    control->HandleEvent(event);
}

void CPaintManagerUI::SendNotification(CControlUI* control, const wchar_t* type, WPARAM wParam,
                                       LPARAM lParam, bool async) {
    NotifyRecord record;
    record.type = type;
    record.sender = control;
    record.wParam = wParam;
    record.lParam = lParam;
    record.mouse = lastMouse_;
    record.timestamp = ::GetTickCount();
    if (virtualWindows_ && control != nullptr) record.virtualWindow = control->GetVirtualWindow();
    if (!async) {
        DeliverNotification(record);
        return;
    }
    auto* queued = new NotifyRecord(record);
    if (!asyncNotifications_.Push(queued)) {
        delete queued;
        return;
    }
    PostAsync();
}

// Listeners may add or remove listeners while they run: the walk goes over the listeners as
// they were when it began, calling each that is still registered, so a listener that removes
// itself does not make the next one be skipped, and a removed one is not called.
void CPaintManagerUI::DeliverNotification(NotifyRecord& record) {
    if (record.sender != nullptr && !record.sender->notifyListeners.IsEmpty()) {
        record.sender->notifyListeners(&record);
    }
    const std::vector<void*> listeners(notifiers_.Data(), notifiers_.Data() + notifiers_.Count());
    for (void* listener : listeners) {
        if (notifiers_.IndexOf(listener) >= 0) static_cast<INotifyUI*>(listener)->OnNotify(record);
    }
}

void CPaintManagerUI::PostAsync() {
    if (asyncPosted_ || window_ == nullptr) return;
    asyncPosted_ = ::PostMessageW(window_, WM_UI_ASYNC, 0, 0) != FALSE;
}

// Each control leaves the list before it is deleted (its deletion forgets it, and may queue
// more deletions, which the loop takes as well).
void CPaintManagerUI::DeleteDetached() {
    while (!delayedCleanup_.IsEmpty()) {
        auto* control = static_cast<CControlUI*>(delayedCleanup_[0]);
        delayedCleanup_.RemoveAt(0);
        delete control;
    }
}

void CPaintManagerUI::ProcessAsync() {
    // Inside a nested loop the deletions wait for the outermost one (HandleWindowMessage posts
    // again once the outer handler returns).
    if (messageDepth_ <= 1) DeleteDetached();
    asyncPosted_ = false;
    while (!asyncNotifications_.IsEmpty()) {
        auto* record = static_cast<NotifyRecord*>(asyncNotifications_[0]);
        asyncNotifications_.RemoveAt(0);
        DeliverNotification(*record);
        delete record;
    }
}

void CPaintManagerUI::DeleteLater(CControlUI* control) {
    if (control == nullptr || delayedCleanup_.IndexOf(control) >= 0) return;
    control->Attach(this, nullptr, false);
    // A control that can no longer be queued is deleted now rather than leaked.
    if (!delayedCleanup_.Push(control)) {
        delete control;
        return;
    }
    PostAsync();
}

void CPaintManagerUI::ForgetControl(CControlUI* control) {
    for (CControlUI** weak : {&keyPress_, &hover_, &click_, &rightClick_, &focus_}) {
        if (*weak == control) *weak = nullptr;
    }
    StopControlTimers(control);
    if (root_ == control) root_ = nullptr;
    updateList_.RemoveAt(updateList_.IndexOf(control));
    // Every name that leads to it: a control renamed after it was attached is still mapped
    // under its old name.
    std::vector<CUiString> names;
    for (int i = 0; i < nameMap_.Count(); ++i) {
        const wchar_t* key = nameMap_.KeyAt(i);
        if (key != nullptr && nameMap_.Find(key, false) == control) names.emplace_back(key);
    }
    for (const CUiString& name : names) nameMap_.Remove(name);
    for (int i = 0; i < asyncNotifications_.Count(); ++i) {
        auto* record = static_cast<NotifyRecord*>(asyncNotifications_[i]);
        if (record->sender == control) record->sender = nullptr;
    }
    // The painters and leave listeners are called later; a deleted control must not be.
    overlayPainters_.RemoveAt(overlayPainters_.IndexOf(control));
    mouseLeaveListeners_.RemoveAt(mouseLeaveListeners_.IndexOf(control));
    delayedCleanup_.RemoveAt(delayedCleanup_.IndexOf(control));
}

bool CPaintManagerUI::StartControlTimer(CControlUI* control, std::uint32_t key,
                                        std::uint32_t elapse) {
    if (control == nullptr || window_ == nullptr) return false;
    for (int i = 0; i < timers_.Count(); ++i) {
        auto* timer = static_cast<TimerRecord*>(timers_[i]);
        if (timer->control == control && timer->window == window_ && timer->key == key) {
            if (timer->killed && ::SetTimer(window_, timer->nativeId, elapse, nullptr) != 0) {
                timer->killed = false;
                return true;
            }
            return false;
        }
    }
    timerIdCounter_ = (timerIdCounter_ + 1) % 240;
    if (::SetTimer(window_, timerIdCounter_, elapse, nullptr) == 0) return false;
    auto* timer = new TimerRecord{control, key, window_, timerIdCounter_, false};
    if (!timers_.Push(timer)) {
        ::KillTimer(window_, timer->nativeId);
        delete timer;
        return false;
    }
    return true;
}

bool CPaintManagerUI::StopControlTimer(CControlUI* control, std::uint32_t key) {
    for (int i = 0; i < timers_.Count(); ++i) {
        auto* timer = static_cast<TimerRecord*>(timers_[i]);
        if (timer->control == control && timer->window == window_ && timer->key == key &&
            !timer->killed) {
            if (::IsWindow(window_)) ::KillTimer(timer->window, timer->nativeId);
            timer->killed = true;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::StopControlTimers(CControlUI* control) {
    for (int i = timers_.Count() - 1; i >= 0; --i) {
        auto* timer = static_cast<TimerRecord*>(timers_[i]);
        if (timer->control != control || timer->window != window_) continue;
        if (!timer->killed && ::IsWindow(timer->window))
            ::KillTimer(timer->window, timer->nativeId);
        timers_.RemoveAt(i);
        delete timer;
    }
}

void CPaintManagerUI::StopAllTimers() {
    for (int i = 0; i < timers_.Count(); ++i) {
        auto* timer = static_cast<TimerRecord*>(timers_[i]);
        if (!timer->killed && window_ != nullptr && ::IsWindow(window_)) {
            ::KillTimer(timer->window, timer->nativeId);
        }
        delete timer;
    }
    timers_.Clear();
}

bool CPaintManagerUI::DeliverTimer(UINT_PTR nativeId) {
    for (int i = 0; i < timers_.Count(); ++i) {
        auto* timer = static_cast<TimerRecord*>(timers_[i]);
        if (timer->window == window_ && timer->nativeId == nativeId && !timer->killed) {
            EventRecord event = MakeEvent(UiEvent::Timer, timer->control, timer->key, 0);
            event.keyState = KeyState();
            timer->control->HandleEvent(event);
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::GiveNativeFocus() {
    if (window_ != nullptr && ::GetFocus() != window_) ::SetFocus(window_);
}

void CPaintManagerUI::FocusControl(CControlUI* control) {
    if (::GetFocus() != window_ && control != focus_) GiveNativeFocus();
    if (control == focus_) return;
    if (focus_ != nullptr) {
        CControlUI* old = focus_;
        Deliver(old, UiEvent::FocusLost, control);
        SendNotification(old, L"killfocus");
        focus_ = nullptr;
    }
    if (control == nullptr || control->GetManager() != this || !control->IsVisible() ||
        !control->IsEnabled()) {
        return;
    }
    focus_ = control;
    // A focus given (by a click, say) is never taken away by the initial move still pending.
    focusNeeded_ = false;
    Deliver(control, UiEvent::FocusGained, control);
    SendNotification(control, L"setfocus");
}

namespace {

// The visible, enabled controls in tree order; the tab stops among them are marked by Flags.
CControlUI* CollectControls(CControlUI* control, void* data) {
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

bool IsTabStop(const CControlUI* control) {
    return (control->Flags() & kFlagTabStop) != 0;
}

// The first tab stop from `start` on in the walk's direction, or null.
CControlUI* ScanForStop(const std::vector<CControlUI*>& walk, int start, int step) {
    for (int i = start; i >= 0 && i < static_cast<int>(walk.size()); i += step) {
        if (IsTabStop(walk[i])) return walk[i];
    }
    return nullptr;
}

int IndexIn(const std::vector<CControlUI*>& walk, const CControlUI* control) {
    for (int i = 0; i < static_cast<int>(walk.size()); ++i) {
        if (walk[i] == control) return i;
    }
    return -1;
}

}  // namespace

std::vector<CControlUI*> CPaintManagerUI::TabWalk() {
    std::vector<CControlUI*> walk;
    if (root_ != nullptr) {
        root_->LocateControl(CollectControls, &walk, kFindMeFirst | kFindVisible | kFindEnabled);
    }
    return walk;
}

void CPaintManagerUI::PresetFocus(CControlUI* control) {
    GiveNativeFocus();
    if (control == nullptr) return;
    if (focus_ != nullptr) {
        CControlUI* old = focus_;
        Deliver(old, UiEvent::FocusLost, control);
        SendNotification(old, L"killfocus");
        focus_ = nullptr;
    }
    if (root_ == nullptr) return;
    const std::vector<CControlUI*> walk = TabWalk();
    const int at = IndexIn(walk, control);
    if (at >= 0) focus_ = ScanForStop(walk, at, 1);
    focusNeeded_ = true;
    root_->RequestLayout();
}

bool CPaintManagerUI::MoveFocusByTab(bool forward) {
    if (updateNeeded_ && forward) {
        focusNeeded_ = true;
        if (window_ != nullptr) ::InvalidateRect(window_, nullptr, FALSE);
        return true;
    }
    const std::vector<CControlUI*> walk = TabWalk();
    const int at = IndexIn(walk, focus_);
    const int last = static_cast<int>(walk.size()) - 1;
    CControlUI* next = nullptr;
    if (forward) {
        next = ScanForStop(walk, at + 1, 1);
        if (next == nullptr) next = ScanForStop(walk, 0, 1);
    } else {
        next = at >= 0 ? ScanForStop(walk, at - 1, -1) : nullptr;
        if (next == nullptr) next = ScanForStop(walk, last, -1);
    }
    if (next != nullptr) FocusControl(next);
    focusNeeded_ = false;
    return true;
}

void CPaintManagerUI::Repaint(RECT rect) {
    if (rect.left < 0) rect.left = 0;
    if (rect.top < 0) rect.top = 0;
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
    if (::IsRectEmpty(&layeredDirty_)) {
        layeredDirty_ = rect;
    } else {
        layeredDirty_.Union(rect);
    }
    if (window_ != nullptr) ::InvalidateRect(window_, &rect, FALSE);
}

void CPaintManagerUI::RepaintAll() {
    if (window_ == nullptr) return;
    layeredDirty_.Union(ClientRect());
    ::InvalidateRect(window_, nullptr, FALSE);
}

void CPaintManagerUI::CaptureMouse() {
    if (window_ != nullptr) ::SetCapture(window_);
    captured_ = true;
}

void CPaintManagerUI::ReleaseMouse() {
    ::ReleaseCapture();
    captured_ = false;
}

}  // namespace Weft
