#include "ui/controls/TxtWinHost.h"

#include <algorithm>
#include <cstdint>

#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/ScrollBarUI.h"

namespace Weft {
namespace {

// The text services interface of the system's text services, kept here so that no import
// library is needed for it.
constexpr IID kTextServicesIid = {
    0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
constexpr IID kTextHostIid = {
    0x13E670F4, 0x1A5A, 0x11CF, {0xAB, 0xEB, 0x00, 0xAA, 0x00, 0xB6, 0x5E, 0xA1}};

using CreateTextServicesFn = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

}  // namespace

CTxtWinHost::CTxtWinHost(CRichEditUI* owner) : owner_(owner) {
    charFormat_.cbSize = sizeof(charFormat_);
    paraFormat_.cbSize = sizeof(paraFormat_);
    paraFormat_.dwMask = PFM_ALL;
    paraFormat_.wAlignment = PFA_LEFT;
    paraFormat_.cTabCount = 1;
    paraFormat_.rgxTabs[0] = 720;
}

CTxtWinHost::~CTxtWinHost() {
    if (library_ != nullptr) ::FreeLibrary(library_);
}

bool CTxtWinHost::Init(DWORD style, bool transparent, bool rich, LONG maxLength) {
    style_ = style;
    transparent_ = transparent;
    rich_ = rich;
    maxLength_ = maxLength;
    readOnly_ = (style & ES_READONLY) != 0;
    wordWrap_ = (style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0;
    if ((style & ES_CENTER) != 0) paraFormat_.wAlignment = PFA_CENTER;
    if ((style & ES_RIGHT) != 0) paraFormat_.wAlignment = PFA_RIGHT;
    // Only the system's copy: the program runs elevated, often from a download folder.
    library_ = ::LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library_ == nullptr) return false;
    auto create = reinterpret_cast<CreateTextServicesFn>(
        reinterpret_cast<void*>(::GetProcAddress(library_, "CreateTextServices")));
    if (create == nullptr) return false;
    IUnknown* unknown = nullptr;
    if (FAILED(create(nullptr, this, &unknown)) || unknown == nullptr) return false;
    const HRESULT found =
        unknown->QueryInterface(kTextServicesIid, reinterpret_cast<void**>(&services_));
    unknown->Release();
    return SUCCEEDED(found) && services_ != nullptr;
}

void CTxtWinHost::Shutdown() {
    owner_ = nullptr;
    if (services_ != nullptr) {
        services_->OnTxInPlaceDeactivate();
        services_->Release();
        services_ = nullptr;
    }
    Release();
}

HWND CTxtWinHost::Window() const {
    return owner_ != nullptr && owner_->GetManager() != nullptr
               ? owner_->GetManager()->GetWindowHandle()
               : nullptr;
}

LRESULT CTxtWinHost::Send(UINT message, WPARAM wParam, LPARAM lParam, HRESULT* status) {
    LRESULT result = 0;
    const HRESULT sent =
        services_ != nullptr ? services_->TxSendMessage(message, wParam, lParam, &result) : E_FAIL;
    if (status != nullptr) *status = sent;
    return result;
}

void CTxtWinHost::SetClientRect(const RECT& rect) {
    client_ = rect;
    if (services_ == nullptr) return;
    services_->OnTxPropertyBitsChange(TXTBIT_CLIENTRECTCHANGE, TRUE);
    if (caretStale_) {
        caretStale_ = false;
        // The services move the caret only when the selection changes, so a caret left
        // behind by a moved text area is placed again the way focus places it.
        if (caretShown_) Send(WM_SETFOCUS, 0, 0);
    }
}

void CTxtWinHost::UpdateAfterResize() {
    caretStale_ = true;
}

void CTxtWinHost::SetFont(HFONT font, HDC dc) {
    LOGFONTW logical = {};
    if (font == nullptr || ::GetObjectW(font, sizeof(logical), &logical) == 0) return;
    const int perInch = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    charFormat_.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR | CFM_FACE |
                         CFM_OFFSET | CFM_CHARSET;
    charFormat_.dwEffects = (logical.lfWeight >= FW_BOLD ? CFE_BOLD : 0) |
                            (logical.lfItalic ? CFE_ITALIC : 0) |
                            (logical.lfUnderline ? CFE_UNDERLINE : 0);
    charFormat_.yHeight =
        ::MulDiv(logical.lfHeight < 0 ? -logical.lfHeight : logical.lfHeight, 1440, perInch);
    charFormat_.yOffset = 0;
    charFormat_.bCharSet = logical.lfCharSet;
    charFormat_.bPitchAndFamily = logical.lfPitchAndFamily;
    ::lstrcpynW(charFormat_.szFaceName, logical.lfFaceName, LF_FACESIZE);
    ApplyCharFormat();
}

void CTxtWinHost::ApplyCharFormat() {
    if (services_ == nullptr) return;
    services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
    // The services read the host's format only when they start (Wine's do), so the change is
    // also applied to the text and to what is typed next.
    Send(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&charFormat_));
    Send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&charFormat_));
}

void CTxtWinHost::SetColour(COLORREF colour) {
    charFormat_.crTextColor = colour;
    charFormat_.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
    ApplyCharFormat();
}

void CTxtWinHost::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (services_ != nullptr) {
        services_->OnTxPropertyBitsChange(TXTBIT_READONLY, readOnly ? TXTBIT_READONLY : 0);
    }
}

void CTxtWinHost::SetTransparent(bool transparent) {
    transparent_ = transparent;
    if (services_ != nullptr) services_->OnTxPropertyBitsChange(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetRich(bool rich) {
    rich_ = rich;
    if (services_ != nullptr) {
        services_->OnTxPropertyBitsChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
    }
}

void CTxtWinHost::SetMaxLength(LONG length) {
    maxLength_ = length;
    if (services_ != nullptr) services_->OnTxPropertyBitsChange(TXTBIT_MAXLENGTHCHANGE, TRUE);
}

HRESULT CTxtWinHost::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kTextHostIid)) {
        *object = static_cast<ITextHost*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CTxtWinHost::AddRef() {
    return ++references_;
}

ULONG CTxtWinHost::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HDC CTxtWinHost::TxGetDC() {
    return owner_ != nullptr && owner_->GetManager() != nullptr
               ? owner_->GetManager()->GetPaintContext()
               : nullptr;
}

INT CTxtWinHost::TxReleaseDC(HDC) {
    return 1;
}

BOOL CTxtWinHost::TxShowScrollBar(INT bar, BOOL show) {
    if (owner_ == nullptr) return FALSE;
    CScrollBarUI* vertical = owner_->GetVerticalScrollBar();
    CScrollBarUI* horizontal = owner_->GetHorizontalScrollBar();
    if (vertical != nullptr && (bar == SB_VERT || bar == SB_BOTH)) vertical->SetVisible(show);
    if (horizontal != nullptr && (bar == SB_HORZ || bar == SB_BOTH)) horizontal->SetVisible(show);
    owner_->RequestLayout();
    return TRUE;
}

BOOL CTxtWinHost::TxEnableScrollBar(INT, INT) {
    return TRUE;
}

bool CTxtWinHost::ServicesScroll(INT bar, LONG& minimum, LONG& maximum, LONG& position) const {
    if (services_ == nullptr) return false;
    LONG page = 0;
    BOOL enabled = FALSE;
    const HRESULT read =
        bar == SB_VERT ? services_->TxGetVScroll(&minimum, &maximum, &position, &page, &enabled)
                       : services_->TxGetHScroll(&minimum, &maximum, &position, &page, &enabled);
    return SUCCEEDED(read);
}

BOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minimum, INT maximum, BOOL) {
    if (owner_ == nullptr) return FALSE;
    const bool vertical = bar == SB_VERT;
    CScrollBarUI* scrollBar =
        vertical ? owner_->GetVerticalScrollBar() : owner_->GetHorizontalScrollBar();
    if (scrollBar == nullptr) return FALSE;
    // The services scale a range past 16 bits down for native bars; their own numbers are
    // whole pixels.
    LONG servicesMinimum = 0, servicesMaximum = 0, position = 0;
    const long long span = ServicesScroll(bar, servicesMinimum, servicesMaximum, position)
                               ? static_cast<long long>(servicesMaximum) - servicesMinimum
                               : static_cast<long long>(maximum) - minimum;
    const LONG extent = vertical ? client_.bottom - client_.top : client_.right - client_.left;
    // In 64 bits and clamped: the services' numbers may span the whole 32-bit range.
    const long long excess = span - extent;
    const bool wasVisible = scrollBar->IsVisible();
    if (excess > 0) {
        scrollBar->SetVisible(true);
        scrollBar->SetRange(static_cast<int>(std::min<long long>(excess, INT32_MAX)));
    } else {
        scrollBar->SetVisible(false);
        scrollBar->SetValue(0);
        scrollBar->SetRange(0);
    }
    if (wasVisible != scrollBar->IsVisible()) owner_->RequestLayout();
    return TRUE;
}

BOOL CTxtWinHost::TxSetScrollPos(INT bar, INT position, BOOL) {
    if (owner_ == nullptr) return FALSE;
    CScrollBarUI* scrollBar =
        bar == SB_VERT ? owner_->GetVerticalScrollBar() : owner_->GetHorizontalScrollBar();
    // As with the range, a position past 16 bits arrives scaled; the services' own is whole.
    LONG minimum = 0, maximum = 0, whole = position;
    if (!ServicesScroll(bar, minimum, maximum, whole)) whole = position;
    if (scrollBar != nullptr && scrollBar->IsVisible()) scrollBar->SetValue(whole);
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, BOOL) {
    if (owner_ == nullptr || owner_->GetManager() == nullptr) return;
    owner_->GetManager()->Repaint(rect != nullptr ? *rect : client_);
}

void CTxtWinHost::TxViewChange(BOOL update) {
    if (update && owner_ != nullptr) owner_->Invalidate();
}

BOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
    return ::CreateCaret(Window(), bitmap, width, height);
}

BOOL CTxtWinHost::TxShowCaret(BOOL show) {
    caretShown_ = show != FALSE;
    return show ? ::ShowCaret(Window()) : ::HideCaret(Window());
}

BOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
    return ::SetCaretPos(x, y);
}

BOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
    if (owner_ == nullptr || owner_->GetManager() == nullptr) return FALSE;
    return owner_->GetManager()->StartControlTimer(owner_, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id) {
    if (owner_ != nullptr && owner_->GetManager() != nullptr) {
        owner_->GetManager()->StopControlTimer(owner_, id);
    }
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(BOOL capture) {
    if (owner_ == nullptr || owner_->GetManager() == nullptr) return;
    captured_ = capture != FALSE;
    if (captured_) {
        owner_->GetManager()->CaptureMouse();
    } else {
        owner_->GetManager()->ReleaseMouse();
    }
}

void CTxtWinHost::TxSetFocus() {
    if (owner_ != nullptr) owner_->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, BOOL) {
    ::SetCursor(cursor);
}

BOOL CTxtWinHost::TxScreenToClient(LPPOINT point) {
    return ::ScreenToClient(Window(), point);
}

BOOL CTxtWinHost::TxClientToScreen(LPPOINT point) {
    return ::ClientToScreen(Window(), point);
}

HRESULT CTxtWinHost::TxActivate(LONG*) {
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG) {
    return S_OK;
}

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
    *rect = client_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
    *rect = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
    *format = reinterpret_cast<const CHARFORMATW*>(&charFormat_);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
    *format = &paraFormat_;
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) {
    return ::GetSysColor(index);
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
    *style = transparent_ ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
    *length = static_cast<DWORD>(maxLength_);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* bars) {
    *bars =
        style_ & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(WCHAR* ch) {
    *ch = L'*';
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* position) {
    *position = -1;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL) {
    return E_NOTIMPL;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) {
    return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) {
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
    DWORD all = 0;
    if (rich_) all |= TXTBIT_RICHTEXT;
    if ((style_ & ES_MULTILINE) != 0) all |= TXTBIT_MULTILINE;
    if (readOnly_) all |= TXTBIT_READONLY;
    if ((style_ & ES_PASSWORD) != 0) all |= TXTBIT_USEPASSWORD;
    if ((style_ & ES_NOHIDESEL) == 0) all |= TXTBIT_HIDESELECTION;
    if (wordWrap_) all |= TXTBIT_WORDWRAP;
    *bits = all & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
    if (code == EN_REQUESTRESIZE) {
        // The services ask for the size their content needs; the text area takes it, keeping
        // its top-left corner, until the next layout places it again.
        if (data == nullptr) return S_OK;
        const RECT& wanted = static_cast<const REQRESIZE*>(data)->rc;
        // An inverted side asks for nothing in that direction (Wine's services give the
        // content's width as the right edge), so the text area keeps its extent there.
        const LONG width =
            wanted.right >= wanted.left ? wanted.right - wanted.left : client_.right - client_.left;
        const LONG height =
            wanted.bottom >= wanted.top ? wanted.bottom - wanted.top : client_.bottom - client_.top;
        const RECT resized = {client_.left, client_.top, client_.left + width,
                              client_.top + height};
        // Telling the services of an unchanged rectangle could make them ask again.
        if (!::EqualRect(&resized, &client_)) SetClientRect(resized);
        return S_OK;
    }
    if (owner_ != nullptr) owner_->OnTextNotify(code, data);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() {
    return nullptr;
}

void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
    *width = 0;
    return S_OK;
}

}  // namespace Weft
