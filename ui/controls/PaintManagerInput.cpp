#include <vector>

#include "ui/controls/ControlUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/core/ModuleSettings.h"

namespace Weft {
namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// The point in lParam is in screen coordinates for the wheel and the context menu.
POINT ClientPointOf(HWND window, LPARAM lParam) {
    POINT point = PointOf(lParam);
    ::ScreenToClient(window, &point);
    return point;
}

}  // namespace

std::uint16_t CPaintManagerUI::KeyState() {
    std::uint16_t state = 0;
    if (::GetKeyState(VK_LBUTTON) < 0) state |= 1;
    if (::GetKeyState(VK_RBUTTON) < 0) state |= 2;
    if (::GetKeyState(VK_SHIFT) < 0) state |= 4;
    if (::GetKeyState(VK_CONTROL) < 0) state |= 8;
    if (::GetKeyState(VK_MENU) < 0) state |= 32;
    return state;
}

CUiRect CPaintManagerUI::ClientRect() const {
    CUiRect client;
    if (window_ != nullptr) ::GetClientRect(window_, &client);
    return client;
}

bool CPaintManagerUI::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) {
    if (window_ == nullptr) return false;
    ++messageDepth_;
    const bool handled = HandleMessageAtDepth(message, wParam, lParam, result);
    // Deletions put off by a nested loop run at the next turn of the outermost one.
    if (--messageDepth_ == 0 && !delayedCleanup_.IsEmpty() && window_ != nullptr) PostAsync();
    return handled;
}

bool CPaintManagerUI::HandleMessageAtDepth(UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result) {
    if (FilterMessage(message, wParam, lParam, result)) return true;
    if (layered_) {
        switch (message) {
            case WM_NCCALCSIZE:
            case WM_NCPAINT:
                result = 0;
                return true;
            case WM_NCACTIVATE:
                if (!::IsIconic(window_)) {
                    result = wParam == 0 ? 1 : 0;
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return HandleOwnMessage(message, wParam, lParam, result);
}

bool CPaintManagerUI::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // A filter may remove itself or another while it runs: the walk goes over the filters as
    // they were, calling each that is still registered, so none is skipped.
    if (messageFilters_.Count() == 0) return false;
    const std::vector<void*> filters(messageFilters_.Data(),
                                     messageFilters_.Data() + messageFilters_.Count());
    for (void* filter : filters) {
        if (messageFilters_.IndexOf(filter) < 0) continue;
        bool handled = false;
        const LRESULT answer = static_cast<IMessageFilterUI*>(filter)->MessageHandler(
            message, wParam, lParam, handled);
        if (!handled) continue;
        result = answer;
        switch (message) {
            case WM_CONTEXTMENU:
            case WM_MOUSEWHEEL:
                lastMouse_ = ClientPointOf(window_, lParam);
                break;
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_LBUTTONDBLCLK:
                lastMouse_ = PointOf(lParam);
                break;
            default:
                break;
        }
        return true;
    }
    return false;
}

bool CPaintManagerUI::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    switch (message) {
        case WM_UI_ASYNC:
            ProcessAsync();
            return false;
        case WM_CLOSE:
            OnClose();
            return false;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT:
            OnPaint();
            result = 0;
            return true;
        case WM_PRINTCLIENT:
            PrintClient(reinterpret_cast<HDC>(wParam), lParam);
            return false;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            // Stored as the layout gives them, scaled like every other size.
            if (minTrack_.cx > 0) info->ptMinTrackSize.x = Scale(minTrack_.cx);
            if (minTrack_.cy > 0) info->ptMinTrackSize.y = Scale(minTrack_.cy);
            if (maxTrack_.cx > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = Scale(maxTrack_.cx);
            if (maxTrack_.cy > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = Scale(maxTrack_.cy);
            return false;
        }
        case WM_SIZE:
            if (focus_ != nullptr) Deliver(focus_, UiEvent::WindowSize, focus_, wParam, lParam);
            if (root_ != nullptr) root_->RequestLayout();
            result = 0;
            return true;
        case WM_TIMER:
            DeliverTimer(wParam);
            return false;
        case WM_MOUSEHOVER:
            return OnMouseHover(PointOf(lParam));
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return false;
        case WM_MOUSEMOVE:
            OnMouseMove(wParam, PointOf(lParam));
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnButtonDown(message, wParam, PointOf(lParam));
            return false;
        case WM_LBUTTONUP:
            lastMouse_ = PointOf(lParam);
            if (click_ != nullptr) {
                CControlUI* pressed = click_;
                ReleaseMouse();
                click_ = nullptr;
                DeliverButton(pressed, UiEvent::ButtonUp, wParam, lParam);
            } else if (captured_) {
                // The pressed control was deleted before the release: the capture it took must
                // still end, or hover and cursor freeze until the next click.
                ReleaseMouse();
            }
            return false;
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            if (captured_) ReleaseMouse();
            lastMouse_ = PointOf(lParam);
            CControlUI* under = FindControlAt(lastMouse_);
            const bool right = message == WM_RBUTTONUP;
            (right ? rightClick_ : click_) = under;
            if (under != nullptr) {
                DeliverButton(under, right ? UiEvent::RButtonUp : UiEvent::MButtonUp, wParam,
                              lParam);
            }
            return false;
        }
        case WM_CONTEXTMENU:
            if (root_ != nullptr) {
                lastMouse_ = ClientPointOf(window_, lParam);
                if (rightClick_ != nullptr) {
                    CControlUI* target = rightClick_;
                    ReleaseMouse();
                    rightClick_ = nullptr;
                    Deliver(target, UiEvent::ContextMenu, target, wParam,
                            reinterpret_cast<LPARAM>(target));
                }
            }
            return false;
        case WM_MOUSEWHEEL:
            if (root_ != nullptr) {
                lastMouse_ = ClientPointOf(window_, lParam);
                if (CControlUI* under = OwnControlAt(lastMouse_)) {
                    const int delta = static_cast<short>(HIWORD(wParam));
                    Deliver(under, UiEvent::ScrollWheel, under,
                            MAKEWPARAM(delta < 0 ? 1 : 0, delta), lParam);
                }
                ::SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(lastMouse_.x, lastMouse_.y));
            }
            return false;
        case WM_SETCURSOR: {
            if (root_ == nullptr || LOWORD(lParam) != HTCLIENT) return false;
            if (captured_) {
                result = 0;
                return true;
            }
            POINT point{};
            ::GetCursorPos(&point);
            ::ScreenToClient(window_, &point);
            CControlUI* under = FindControlAt(point);
            if (under == nullptr || (under->Flags() & kFlagSetCursor) == 0) return false;
            // The cursor's own point: a control may choose the shape by the part under it.
            EventRecord event = MakeEvent(UiEvent::SetCursor, under, wParam, lParam);
            event.mouse = point;
            under->HandleEvent(event);
            result = TRUE;
            return true;
        }
        case WM_KEYDOWN:
        case WM_CHAR:
            // Tab and Shift+Tab move the focus through the tab stops in layout order; no
            // control sees them (one that wants Tab takes it in its message hook first).
            if (root_ != nullptr && wParam == VK_TAB && (::GetKeyState(VK_CONTROL) & 0x8000) == 0) {
                if (message == WM_KEYDOWN) MoveFocusByTab((::GetKeyState(VK_SHIFT) & 0x8000) == 0);
                result = 0;
                return true;
            }
            if (root_ != nullptr && focus_ != nullptr) {
                EventRecord event =
                    MakeEvent(message == WM_KEYDOWN ? UiEvent::KeyDown : UiEvent::Char, focus_,
                              wParam, lParam);
                event.key = static_cast<wchar_t>(LOWORD(wParam));
                event.keyState = KeyState();
                if (message == WM_KEYDOWN) keyPress_ = focus_;
                focus_->HandleEvent(event);
            }
            return false;
        case WM_KEYUP:
            if (root_ != nullptr && keyPress_ != nullptr) {
                CControlUI* pressed = keyPress_;
                EventRecord event = MakeEvent(UiEvent::KeyUp, pressed, wParam, lParam);
                event.key = static_cast<wchar_t>(LOWORD(wParam));
                event.keyState = KeyState();
                keyPress_ = nullptr;
                pressed->HandleEvent(event);
            }
            return false;
        case WM_SETFOCUS:
            if (focus_ != nullptr) Deliver(focus_, UiEvent::FocusGained, focus_, wParam, lParam);
            return false;
        case WM_KILLFOCUS:
            if (captured_) ReleaseMouse();
            return false;
        case WM_NOTIFY:
            if (lParam == 0) return false;
            result = ::SendMessageW(reinterpret_cast<NMHDR*>(lParam)->hwndFrom, WM_NOTIFY + 0x2000,
                                    wParam, lParam);
            return true;
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (lParam == 0) return false;
            result =
                ::SendMessageW(reinterpret_cast<HWND>(lParam), message + 0x2000, wParam, lParam);
            return result != 0;
        default:
            return false;
    }
}

void CPaintManagerUI::DeliverButton(CControlUI* control, UiEvent type, WPARAM wParam,
                                    LPARAM lParam) {
    EventRecord event = MakeEvent(type, control, wParam, lParam);
    event.key = static_cast<wchar_t>(LOWORD(wParam));
    event.keyState = static_cast<std::uint16_t>(LOWORD(wParam));
    control->HandleEvent(event);
}

void CPaintManagerUI::OnButtonDown(UINT message, WPARAM wParam, POINT point) {
    if (!noActivate_) ::SetFocus(window_);
    if (root_ == nullptr) return;
    lastMouse_ = point;
    CControlUI* under = OwnControlAt(point);
    if (under == nullptr) return;
    const LPARAM lParam = MAKELPARAM(point.x, point.y);
    switch (message) {
        case WM_LBUTTONDOWN:
            CaptureMouse();
            click_ = under;
            under->SetFocus();
            DeliverButton(under, UiEvent::ButtonDown, wParam, lParam);
            break;
        case WM_LBUTTONDBLCLK:
            DeliverButton(under, UiEvent::DoubleClick, wParam, lParam);
            click_ = under;
            break;
        case WM_RBUTTONDOWN:
            under->SetFocus();
            CaptureMouse();
            DeliverButton(under, UiEvent::RButtonDown, wParam, lParam);
            rightClick_ = under;
            break;
        default:
            under->SetFocus();
            CaptureMouse();
            DeliverButton(under, UiEvent::MButtonDown, wParam, lParam);
            click_ = under;
            break;
    }
}

void CPaintManagerUI::OnMouseMove(WPARAM wParam, POINT point) {
    if (!mouseTracking_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = window_;
        track.dwHoverTime =
            toolTip_ != nullptr
                ? static_cast<DWORD>(::SendMessageW(toolTip_, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                : static_cast<DWORD>(hoverTime_);
        ::TrackMouseEvent(&track);
        mouseTracking_ = true;
    }
    lastMouse_ = point;
    CControlUI* under = FindControlAt(point);
    if (under != nullptr && under->GetManager() != this) return;
    if (!captured_) {
        if (hover_ != nullptr && hover_ != under) {
            const CUiPtrArray listeners = mouseLeaveListeners_;
            for (int i = 0; i < listeners.Count(); ++i) {
                // A listener deleted by an earlier one has left the live list.
                if (mouseLeaveListeners_.IndexOf(listeners[i]) < 0) continue;
                auto* listener = static_cast<CControlUI*>(listeners[i]);
                Deliver(listener, UiEvent::MouseLeave, hover_, wParam,
                        MAKELPARAM(point.x, point.y));
            }
            if (hover_ != nullptr) {
                CControlUI* left = hover_;
                hover_ = nullptr;
                Deliver(left, UiEvent::MouseLeave, left, wParam, MAKELPARAM(point.x, point.y));
            }
            HideToolTip();
        }
        if (under != nullptr && under != hover_) {
            hover_ = under;
            Deliver(under, UiEvent::MouseEnter, under, wParam, MAKELPARAM(point.x, point.y));
        }
    }
    CControlUI* target = click_ != nullptr ? click_ : under;
    if (target != nullptr) {
        EventRecord event =
            MakeEvent(UiEvent::MouseMove, target, wParam, MAKELPARAM(point.x, point.y));
        event.keyState = KeyState();
        target->HandleEvent(event);
    }
}

bool CPaintManagerUI::OnMouseHover(POINT point) {
    mouseTracking_ = false;
    CControlUI* under = FindControlAt(point);
    if (under == nullptr) return false;
    if (hover_ != nullptr)
        Deliver(hover_, UiEvent::MouseHover, hover_, 0, MAKELPARAM(point.x, point.y));
    // The hover event may have deleted the control; it is looked up again.
    under = FindControlAt(point);
    if (under == nullptr) return true;
    toolTipText_ = under->GetToolTip();
    if (toolTipText_.IsEmpty()) return true;
    toolInfo_ = TOOLINFOW{};
    toolInfo_.cbSize = sizeof(TOOLINFOW);
    toolInfo_.uFlags = TTF_IDISHWND;
    toolInfo_.hwnd = window_;
    toolInfo_.uId = reinterpret_cast<UINT_PTR>(window_);
    toolInfo_.hinst = GetModuleInstance();
    toolInfo_.lpszText = const_cast<wchar_t*>(toolTipText_.GetData());
    toolInfo_.rect = under->GetPos();
    if (toolTip_ == nullptr) {
        toolTip_ =
            ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                              nullptr, GetModuleInstance(), nullptr);
        ::SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&toolInfo_));
        ::SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, under->GetToolTipWidth());
    }
    if (toolTip_ != nullptr && !::IsWindowVisible(toolTip_)) {
        ::SendMessageW(toolTip_, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&toolInfo_));
        ::SendMessageW(toolTip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&toolInfo_));
    }
    return true;
}

void CPaintManagerUI::HideToolTip() {
    if (toolTip_ != nullptr) {
        ::SendMessageW(toolTip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&toolInfo_));
    }
}

void CPaintManagerUI::OnMouseLeave() {
    HideToolTip();
    if (!mouseTracking_) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT windowRect{};
    ::GetWindowRect(window_, &windowRect);
    LPARAM point = -1;
    if (!::IsIconic(window_) && ::GetActiveWindow() == window_ && ::PtInRect(&windowRect, cursor) &&
        ::SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT) {
        ::ScreenToClient(window_, &cursor);
        point = MAKELPARAM(cursor.x, cursor.y);
    }
    ::SendMessageW(window_, WM_MOUSEMOVE, 0, point);
    mouseTracking_ = false;
}

void CPaintManagerUI::OnClose() {
    const LPARAM point = MAKELPARAM(lastMouse_.x, lastMouse_.y);
    if (hover_ != nullptr) Deliver(hover_, UiEvent::MouseLeave, hover_, 0, point);
    // The press ends without a click: closing clicks nothing.
    closing_ = true;
    if (click_ != nullptr) Deliver(click_, UiEvent::ButtonUp, click_, 0, point);
    closing_ = false;
    if (rightClick_ != nullptr) Deliver(rightClick_, UiEvent::RButtonUp, rightClick_, 0, point);
    FocusControl(nullptr);
    const HWND owner = ::GetWindow(window_, GW_OWNER);
    if (::GetActiveWindow() == window_ && owner != nullptr) ::SetFocus(owner);
    if (toolTip_ != nullptr) {
        ::DestroyWindow(toolTip_);
        toolTip_ = nullptr;
    }
}

}  // namespace Weft
