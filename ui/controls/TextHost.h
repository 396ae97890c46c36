#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <imm.h>
#include <richedit.h>
#include <textserv.h>

namespace Weft {

// The text host interface of the system's windowless text services, declared here in the
// platform's method order so that the services can call the host through its table.
class ITextHost : public IUnknown {
  public:
    virtual HDC TxGetDC() = 0;
    virtual INT TxReleaseDC(HDC dc) = 0;
    virtual BOOL TxShowScrollBar(INT bar, BOOL show) = 0;
    virtual BOOL TxEnableScrollBar(INT flags, INT arrows) = 0;
    virtual BOOL TxSetScrollRange(INT bar, LONG minimum, INT maximum, BOOL redraw) = 0;
    virtual BOOL TxSetScrollPos(INT bar, INT position, BOOL redraw) = 0;
    virtual void TxInvalidateRect(LPCRECT rect, BOOL mode) = 0;
    virtual void TxViewChange(BOOL update) = 0;
    virtual BOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) = 0;
    virtual BOOL TxShowCaret(BOOL show) = 0;
    virtual BOOL TxSetCaretPos(INT x, INT y) = 0;
    virtual BOOL TxSetTimer(UINT id, UINT timeout) = 0;
    virtual void TxKillTimer(UINT id) = 0;
    virtual void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                                  LPRECT updateRect, UINT flags) = 0;
    virtual void TxSetCapture(BOOL capture) = 0;
    virtual void TxSetFocus() = 0;
    virtual void TxSetCursor(HCURSOR cursor, BOOL text) = 0;
    virtual BOOL TxScreenToClient(LPPOINT point) = 0;
    virtual BOOL TxClientToScreen(LPPOINT point) = 0;
    virtual HRESULT TxActivate(LONG* oldState) = 0;
    virtual HRESULT TxDeactivate(LONG newState) = 0;
    virtual HRESULT TxGetClientRect(LPRECT rect) = 0;
    virtual HRESULT TxGetViewInset(LPRECT rect) = 0;
    virtual HRESULT TxGetCharFormat(const CHARFORMATW** format) = 0;
    virtual HRESULT TxGetParaFormat(const PARAFORMAT** format) = 0;
    virtual COLORREF TxGetSysColor(int index) = 0;
    virtual HRESULT TxGetBackStyle(TXTBACKSTYLE* style) = 0;
    virtual HRESULT TxGetMaxLength(DWORD* length) = 0;
    virtual HRESULT TxGetScrollBars(DWORD* bars) = 0;
    virtual HRESULT TxGetPasswordChar(WCHAR* ch) = 0;
    virtual HRESULT TxGetAcceleratorPos(LONG* position) = 0;
    virtual HRESULT TxGetExtent(LPSIZEL extent) = 0;
    virtual HRESULT OnTxCharFormatChange(const CHARFORMATW* format) = 0;
    virtual HRESULT OnTxParaFormatChange(const PARAFORMAT* format) = 0;
    virtual HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) = 0;
    virtual HRESULT TxNotify(DWORD code, void* data) = 0;
    virtual HIMC TxImmGetContext() = 0;
    virtual void TxImmReleaseContext(HIMC context) = 0;
    virtual HRESULT TxGetSelectionBarWidth(LONG* width) = 0;
};

}  // namespace Weft
