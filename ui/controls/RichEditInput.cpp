// The rich edit's input: the window-message hook that hands keys, mouse messages and the
// cursor to the text services, and the framework events the control answers itself.
#include <windows.h>
// After windows.h, which it needs.
#include <imm.h>

#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/TxtWinHost.h"

namespace Weft {
namespace {

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

void CRichEditUI::ProcessEvent(EventRecord& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (parent != nullptr) {
            parent->ProcessEvent(event);
        } else {
            CContainerUI::ProcessEvent(event);
        }
        return;
    }
    if (event.type == UiEvent::MouseEnter || event.type == UiEvent::MouseLeave) {
        hot_ = event.type == UiEvent::MouseEnter;
        if (!hotImage_.IsEmpty()) Invalidate();
    }
    if (host_ != nullptr) {
        switch (event.type) {
            case UiEvent::FocusGained:
                host_->Services()->OnTxInPlaceActivate(nullptr);
                host_->Send(WM_SETFOCUS, 0, 0);
                focused = true;
                Invalidate();
                return;
            case UiEvent::FocusLost:
                host_->Send(WM_KILLFOCUS, 0, 0);
                focused = false;
                Invalidate();
                return;
            case UiEvent::WindowSize:
                host_->UpdateAfterResize();
                return;
            case UiEvent::SetCursor:
                if (::PtInRect(&host_->GetClientRect(), event.mouse)) {
                    host_->Services()->OnTxSetCursor(
                        DVASPECT_CONTENT, -1, nullptr, nullptr, manager->GetPaintContext(), nullptr,
                        &host_->GetClientRect(), event.mouse.x, event.mouse.y);
                    return;
                }
                break;
            case UiEvent::Timer:
                // The caret is the window's own here; only layered windows would need drawing.
                if (event.wParam != kCaretTimer) host_->Send(WM_TIMER, event.wParam, event.lParam);
                return;
            default:
                break;
        }
    }
    CContainerUI::ProcessEvent(event);
}

void CRichEditUI::PlaceComposition() {
    HWND window = manager->GetWindowHandle();
    HIMC context = ::ImmGetContext(window);
    if (context == nullptr) return;
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_POINT;
    ::GetCaretPos(&form.ptCurrentPos);
    ::ImmSetCompositionWindow(context, &form);
    ::ImmReleaseContext(window, context);
}

bool CRichEditUI::ForServices(UINT message, LPARAM lParam) const {
    if (host_->HoldsCapture()) return true;
    POINT point = {};
    if (message == WM_SETCURSOR) {
        // WM_SETCURSOR carries no point; the cursor's own position decides.
        ::GetCursorPos(&point);
        ::ScreenToClient(manager->GetWindowHandle(), &point);
    } else if (message == WM_MOUSEWHEEL) {
        // The wheel's point is on the screen.
        point = PointOf(lParam);
        ::ScreenToClient(manager->GetWindowHandle(), &point);
    } else {
        point = PointOf(lParam);
    }
    if (!::PtInRect(&host_->GetClientRect(), point) || manager->HasMouseCapture()) return false;
    return message == WM_SETCURSOR || manager->FindControlAt(point) == this;
}

LRESULT CRichEditUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (host_ == nullptr || !IsVisible() || !IsEnabled()) return 0;
    const bool keyboard = message >= WM_KEYFIRST && message <= WM_KEYLAST;
    if (keyboard) {
        if (!IsFocused()) return 0;
        // System keys (Alt+F4, Alt+Space, F10, Alt+letter) belong to the window's default
        // handling, and Tab to the focus order unless the text wants it.
        const bool systemKey = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
                               message == WM_SYSCHAR || message == WM_SYSDEADCHAR;
        if (systemKey || (wParam == VK_TAB && !wantTab_)) return 0;
        handled = true;
        return host_->Send(message, wParam, lParam);
    }
    if (message == WM_IME_CHAR) {
        // A character the input method composed. Services that do not take it as such get it
        // as the WM_CHAR the window's default handling would make of it.
        if (!IsFocused()) return 0;
        handled = true;
        HRESULT status = S_FALSE;
        const LRESULT result = host_->Send(message, wParam, lParam, &status);
        return status == S_OK ? result : host_->Send(WM_CHAR, wParam, lParam);
    }
    switch (message) {
        case WM_CONTEXTMENU: {
            const POINT screen = PointOf(lParam);
            POINT client = screen;
            ::ScreenToClient(manager->GetWindowHandle(), &client);
            if (!IsMenuEnabled() || manager->FindControlAt(client) != this) return 0;
            ShowEditMenu(screen);
            handled = true;
            return 0;
        }
        case WM_COMMAND:
            if (IsFocused() && RunEditCommand(LOWORD(wParam))) handled = true;
            return 0;
        case WM_IME_COMPOSITION:
            PlaceComposition();
            return 0;
        case WM_MOUSEWHEEL: {
            // Ctrl+wheel zooms the text under the pointer, never a box elsewhere.
            if ((LOWORD(wParam) & MK_CONTROL) == 0 || !ForServices(message, lParam)) return 0;
            HRESULT status = S_FALSE;
            const LRESULT result = host_->Send(message, wParam, lParam, &status);
            handled = status == S_OK;
            return result;
        }
        default:
            break;
    }
    const bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
    if (!(mouse || message == WM_SETCURSOR) || !IsMouseEnabled()) return 0;
    if (!ForServices(message, lParam)) return 0;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
        if (!manager->IsNoActivate()) ::SetFocus(manager->GetWindowHandle());
        SetFocus();
    }
    HRESULT status = S_FALSE;
    const LRESULT result = host_->Send(message, wParam, lParam, &status);
    // The services set the cursor in advance; the manager still gives it its final shape.
    if (message == WM_SETCURSOR || message == WM_MOUSEMOVE) return result;
    handled = status == S_OK || host_->HoldsCapture();
    return result;
}

}  // namespace Weft
