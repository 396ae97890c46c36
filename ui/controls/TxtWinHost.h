#pragma once

#include <windows.h>

#include "ui/controls/TextHost.h"

namespace Weft {

class CRichEditUI;

// The host the system's text services run in: it answers their requests with the owning rich
// edit's manager (DC, timers, capture, repaint) and its container's scroll bars.
class CTxtWinHost final : public ITextHost {
  public:
    explicit CTxtWinHost(CRichEditUI* owner);
    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    // Loads the text services from the system directory; false when they are not available.
    bool Init(DWORD style, bool transparent, bool rich, LONG maxLength);
    ITextServices* Services() const { return services_; }
    // Releases the services and drops the owner; the last reference frees the host.
    void Shutdown();

    void SetClientRect(const RECT& rect);
    // The window changed size: the layout that follows may move the text area, and the caret
    // is placed again when it does.
    void UpdateAfterResize();
    const RECT& GetClientRect() const { return client_; }
    void SetFont(HFONT font, HDC dc);
    void SetColour(COLORREF colour);
    void SetReadOnly(bool readOnly);
    void SetTransparent(bool transparent);
    void SetRich(bool rich);
    void SetMaxLength(LONG length);
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam, HRESULT* status = nullptr);
    bool HoldsCapture() const { return captured_; }
    // The services' own scroll numbers for a bar, in whole pixels; false without services.
    bool ServicesScroll(INT bar, LONG& minimum, LONG& maximum, LONG& position) const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HDC TxGetDC() override;
    INT TxReleaseDC(HDC dc) override;
    BOOL TxShowScrollBar(INT bar, BOOL show) override;
    BOOL TxEnableScrollBar(INT flags, INT arrows) override;
    BOOL TxSetScrollRange(INT bar, LONG minimum, INT maximum, BOOL redraw) override;
    BOOL TxSetScrollPos(INT bar, INT position, BOOL redraw) override;
    void TxInvalidateRect(LPCRECT rect, BOOL mode) override;
    void TxViewChange(BOOL update) override;
    BOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    BOOL TxShowCaret(BOOL show) override;
    BOOL TxSetCaretPos(INT x, INT y) override;
    BOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                          LPRECT updateRect, UINT flags) override;
    void TxSetCapture(BOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, BOOL text) override;
    BOOL TxScreenToClient(LPPOINT point) override;
    BOOL TxClientToScreen(LPPOINT point) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rect) override;
    HRESULT TxGetViewInset(LPRECT rect) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* bars) override;
    HRESULT TxGetPasswordChar(WCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* position) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

  private:
    ~CTxtWinHost();
    HWND Window() const;
    void ApplyCharFormat();

    CRichEditUI* owner_;
    ULONG references_ = 1;
    HMODULE library_ = nullptr;
    ITextServices* services_ = nullptr;
    RECT client_ = {};
    LONG maxLength_ = 32767;
    CHARFORMAT2W charFormat_ = {};
    PARAFORMAT2 paraFormat_ = {};
    DWORD style_ = 0;
    bool wordWrap_ = true;
    bool transparent_ = true;
    bool rich_ = true;
    bool readOnly_ = false;
    bool captured_ = false;
    bool caretShown_ = false;
    bool caretStale_ = false;
};

}  // namespace Weft
