#include "ui/window/WindowWnd.h"

#include "ui/core/ModuleSettings.h"

namespace Weft {
namespace {

constexpr wchar_t kObjectProperty[] = L"WndX";

// A class that already exists was registered by an earlier window of the same kind (or by
// the module itself); either way windows of it can be created.
bool RegistrationSucceeded(ATOM atom) {
    return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

template <bool InProperty>
void StoreObject(HWND hwnd, CWindowWnd* object) {
    if constexpr (InProperty) {
        ::SetPropW(hwnd, kObjectProperty, object);
    } else {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
}

template <bool InProperty>
CWindowWnd* LoadObject(HWND hwnd) {
    if constexpr (InProperty) {
        return static_cast<CWindowWnd*>(::GetPropW(hwnd, kObjectProperty));
    } else {
        return reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
}

}  // namespace

LPCWSTR CWindowWnd::BaseClassName() const {
    return nullptr;
}

UINT CWindowWnd::ClassStyle() const {
    return 0;
}

LRESULT CWindowWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProcess(message, wParam, lParam);
}

void CWindowWnd::OnWindowDestroyed(HWND) {}

HWND CWindowWnd::Create(HWND parent, LPCWSTR title, DWORD style, DWORD exStyle, int x, int y,
                        int width, int height, HMENU menu) {
    const bool registered =
        BaseClassName() != nullptr ? RegisterDerivedClass() : RegisterOwnClass();
    if (!registered) {
        return nullptr;
    }
    // WM_NCCREATE has stored the handle already; the object may even be gone by now (a window
    // destroyed while being created frees it), so it is not written to again here.
    return ::CreateWindowExW(exStyle, WindowClassName(), title, style, x, y, width, height, parent,
                             menu, GetModuleInstance(), this);
}

HWND CWindowWnd::Create(HWND parent, LPCWSTR title, DWORD style, DWORD exStyle, const RECT& rect,
                        HMENU menu) {
    return Create(parent, title, style, exStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, menu);
}

bool CWindowWnd::Show(bool show, bool takeFocus) {
    if (!::IsWindow(m_hWnd)) {
        return false;
    }
    ::ShowWindow(m_hWnd, !show ? SW_HIDE : takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
    return true;
}

void CWindowWnd::Center() {
    RECT own{};
    ::GetWindowRect(m_hWnd, &own);
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    RECT ownerRect{};
    if (owner != nullptr) {
        ::GetWindowRect(owner, &ownerRect);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(
        ::MonitorFromWindow(owner != nullptr ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const RECT& ref = owner != nullptr ? ownerRect : work;

    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int x = (ref.left + ref.right) / 2 - width / 2;
    int y = (ref.top + ref.bottom) / 2 - height / 2;
    if (x < work.left) {
        x = work.left;
    } else if (x + width > work.right) {
        x = work.right - width;
    }
    if (y < work.top) {
        y = work.top;
    } else if (y + height > work.bottom) {
        y = work.bottom - height;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWindowWnd::Close(UINT code) {
    if (!::IsWindow(m_hWnd)) {
        return false;
    }
    return ::PostMessageW(m_hWnd, WM_CLOSE, code, 0) != FALSE;
}

bool CWindowWnd::PostMsg(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
}

LRESULT CWindowWnd::SendMsg(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWindowWnd::DefaultProcess(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_previousProc, m_hWnd, message, wParam, lParam);
}

bool CWindowWnd::RegisterOwnClass() {
    WNDCLASSW wc{};
    wc.style = ClassStyle();
    wc.lpfnWndProc = WindowProc<false>;
    wc.hInstance = GetModuleInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = WindowClassName();
    return RegistrationSucceeded(::RegisterClassW(&wc));
}

bool CWindowWnd::RegisterDerivedClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, BaseClassName(), &wc) &&
        !::GetClassInfoExW(GetModuleInstance(), BaseClassName(), &wc)) {
        return false;
    }
    m_previousProc = wc.lpfnWndProc;
    wc.lpfnWndProc = WindowProc<true>;
    wc.hInstance = GetModuleInstance();
    wc.lpszClassName = WindowClassName();
    return RegistrationSucceeded(::RegisterClassExW(&wc));
}

// Called after the previous procedure has handled WM_NCDESTROY; the handle is cleared first
// so that the object, which may free itself here, no longer refers to a dead window.
void CWindowWnd::NotifyDestroyed(HWND hwnd) {
    m_hWnd = nullptr;
    OnWindowDestroyed(hwnd);
}

template <bool InProperty>
LRESULT CALLBACK CWindowWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* object = nullptr;
    if (message == WM_NCCREATE) {
        // A window of this class made by someone else carries no object; it gets default
        // processing like any window whose object is unknown.
        object = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (object != nullptr) {
            object->m_hWnd = hwnd;
            StoreObject<InProperty>(hwnd, object);
        }
    } else {
        object = LoadObject<InProperty>(hwnd);
    }
    if (object == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const LRESULT result =
            ::CallWindowProcW(object->m_previousProc, hwnd, message, wParam, lParam);
        StoreObject<InProperty>(hwnd, nullptr);
        object->NotifyDestroyed(hwnd);
        return result;
    }
    return object->ProcessMessage(message, wParam, lParam);
}

}  // namespace Weft
