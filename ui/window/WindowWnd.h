#pragma once

#include <windows.h>

namespace Weft {

// Binds one object to one native window: the window's messages go to the object's
// ProcessMessage, and the object hears when the window is gone. The window does not own the
// object; whoever created the object frees it, usually in OnWindowDestroyed.
class CWindowWnd {
  public:
    CWindowWnd() = default;
    // Derived window objects are often freed through this base, from OnWindowDestroyed.
    virtual ~CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHandle() const { return m_hWnd; }

    HWND Create(HWND parent, LPCWSTR title, DWORD style, DWORD exStyle, int x, int y, int width,
                int height, HMENU menu = nullptr);
    HWND Create(HWND parent, LPCWSTR title, DWORD style, DWORD exStyle, const RECT& rect,
                HMENU menu = nullptr);

    bool Show(bool show = true, bool takeFocus = true);
    void Center();
    bool Close(UINT code = 0);

    bool PostMsg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMsg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT DefaultProcess(UINT message, WPARAM wParam, LPARAM lParam);

    virtual LPCWSTR WindowClassName() const = 0;
    virtual LPCWSTR BaseClassName() const;
    virtual UINT ClassStyle() const;
    virtual LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnWindowDestroyed(HWND hwnd);

  protected:
    // Windows of an own class keep their object in GWLP_USERDATA; windows of a class derived
    // from another one keep it in a property, as the base class may use its user data.
    template <bool InProperty>
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_previousProc = ::DefWindowProcW;

  private:
    bool RegisterOwnClass();
    bool RegisterDerivedClass();
    void NotifyDestroyed(HWND hwnd);
};

}  // namespace Weft
