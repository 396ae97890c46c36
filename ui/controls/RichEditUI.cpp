#include "ui/controls/RichEditUI.h"

#include <cwchar>
#include <cwctype>

#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/TxtWinHost.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {
namespace {

bool Is(const wchar_t* name, const wchar_t* known) {
    return ::lstrcmpiW(name, known) == 0;
}

bool Exactly(const wchar_t* name, const wchar_t* known) {
    return std::wcscmp(name, known) == 0;
}

COLORREF AsColorRef(std::uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Leading blanks and one '#' are skipped; the rest is hexadecimal.
std::uint32_t HexColour(const wchar_t* value) {
    while (*value != L'\0' && std::iswspace(*value)) ++value;
    if (*value == L'#') ++value;
    return static_cast<std::uint32_t>(std::wcstoul(value, nullptr, 16));
}

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
    if (host_ != nullptr) {
        if (manager != nullptr) manager->RemoveMessageHook(this);
        host_->Shutdown();
    }
}

const wchar_t* CRichEditUI::ClassName() const {
    return L"RichEditUI";
}

void* CRichEditUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && std::wcscmp(interfaceName, L"RichEdit") == 0) return this;
    return CContainerUI::CastTo(interfaceName);
}

std::uint32_t CRichEditUI::Flags() const {
    return IsEnabled() ? kFlagTabStop | kFlagSetCursor : kFlagTabStop;
}

std::uint32_t CRichEditUI::HostTextColour() const {
    if (IsEnabled() || manager == nullptr) return textColour_;
    return manager->Resources().GetDefaultColour(DefaultColour::DisabledText);
}

void CRichEditUI::ApplyFont() {
    if (host_ == nullptr || manager == nullptr) return;
    const FontRecord* record = manager->GetFont(font_);
    host_->SetFont(record != nullptr ? record->font : nullptr, manager->GetPaintContext());
}

void CRichEditUI::OnInitialized() {
    if (initialised_ || manager == nullptr) return;
    initialised_ = true;
    auto* host = new CTxtWinHost(this);
    host->SetColour(AsColorRef(HostTextColour()));
    if (!host->Init(style_, transparent_, rich_, maxChar_)) {
        // Without the system's text services the control stays a plain container.
        host->Shutdown();
        return;
    }
    host_ = host;
    ApplyFont();
    host_->Send(EM_SETLANGOPTIONS, 0, 0);
    host_->Send(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DROPFILES | ENM_LINK);
    host_->Services()->OnTxInPlaceActivate(nullptr);
    manager->AddMessageHook(this);
    manager->StartControlTimer(this, kCaretTimer, ::GetCaretBlinkTime());
    if (!text.IsEmpty()) SetText(text);
}

void CRichEditUI::SetText(const wchar_t* newText) {
    text = newText;
    if (host_ == nullptr) return;
    SelectAll();
    host_->Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.GetData()));
    SyncVerticalBar();
}

void CRichEditUI::SyncVerticalBar() {
    LONG maximum = 0;
    LONG position = 0;
    LONG page = 0;
    if (verticalScrollBar == nullptr || !GetVerticalScroll(maximum, position, page)) return;
    // The services may leave the range as it was when the text shrinks (Wine does), so the
    // bar follows the services' own state rather than only the range requests.
    const LONG excess = maximum - page;
    const bool wasVisible = verticalScrollBar->IsVisible();
    verticalScrollBar->SetRange(excess > 0 ? excess : 0);
    verticalScrollBar->SetValue(excess > 0 ? position : 0);
    verticalScrollBar->SetVisible(excess > 0);
    if (wasVisible != verticalScrollBar->IsVisible()) RequestLayout();
}

ITextServices* CRichEditUI::GetTextServices() const {
    return host_ != nullptr ? host_->Services() : nullptr;
}

CUiRect CRichEditUI::GetTextArea() const {
    return host_ != nullptr ? CUiRect(host_->GetClientRect()) : CUiRect();
}

CUiString CRichEditUI::GetText() const {
    if (host_ == nullptr) return text;
    BSTR contents = nullptr;
    if (FAILED(host_->Services()->TxGetText(&contents)) || contents == nullptr) return CUiString();
    CUiString copy(contents);
    ::SysFreeString(contents);
    return copy;
}

void CRichEditUI::SetEnabled(bool enable) {
    CContainerUI::SetEnabled(enable);
    if (host_ != nullptr) host_->SetColour(AsColorRef(HostTextColour()));
}

void CRichEditUI::SelectAll() {
    if (host_ == nullptr) return;
    CHARRANGE all = {0, -1};
    host_->Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
}

void CRichEditUI::Copy() {
    if (host_ != nullptr) host_->Send(WM_COPY, 0, 0);
}

bool CRichEditUI::CanUndo() {
    return host_ != nullptr && host_->Send(EM_CANUNDO, 0, 0) != 0;
}

bool CRichEditUI::GetSelectionFormat(CHARFORMAT2W& format) {
    if (host_ == nullptr) return false;
    format.cbSize = sizeof(format);
    host_->Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return true;
}

bool CRichEditUI::GetVerticalScroll(LONG& maximum, LONG& position, LONG& page) {
    if (host_ == nullptr) return false;
    LONG minimum = 0;
    BOOL enabled = FALSE;
    return SUCCEEDED(
        host_->Services()->TxGetVScroll(&minimum, &maximum, &position, &page, &enabled));
}

void CRichEditUI::OnTextNotify(DWORD code, void* data) {
    if (manager == nullptr) return;
    switch (code) {
        case EN_CHANGE:
            manager->SendNotification(this, L"textchanged");
            return;
        case EN_MSGFILTER:
        case EN_SELCHANGE:
        case EN_DROPFILES:
        case EN_PROTECTED:
        case EN_STOPNOUNDO:
        case EN_SAVECLIPBOARD:
        case EN_OLEOPFAILED:
        case EN_OBJECTPOSITIONS:
        case EN_LINK:
        case EN_DRAGDROPDONE: {
            // The window hears them as from a child control: the services' structures all
            // begin with the header, filled in here.
            HWND window = manager->GetWindowHandle();
            if (data == nullptr || window == nullptr) return;
            auto* header = static_cast<NMHDR*>(data);
            header->hwndFrom = window;
            header->idFrom = static_cast<UINT_PTR>(::GetWindowLongPtrW(window, GWLP_ID));
            header->code = code;
            ::SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
            return;
        }
        default:
            return;
    }
}

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    const bool isTrue = std::wcscmp(value, L"true") == 0;
    if (Exactly(name, L"vscrollbar")) {
        if (isTrue) style_ |= WS_VSCROLL | ES_DISABLENOSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (Exactly(name, L"autovscroll")) {
        if (isTrue) style_ |= ES_AUTOVSCROLL;
    } else if (Exactly(name, L"hscrollbar")) {
        if (isTrue) style_ |= WS_HSCROLL | ES_DISABLENOSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (Exactly(name, L"autohscroll")) {
        if (isTrue) style_ |= ES_AUTOHSCROLL;
    } else if (Is(name, L"multiline")) {
        style_ =
            isTrue ? style_ | ES_MULTILINE : style_ & ~static_cast<std::uint32_t>(ES_MULTILINE);
    } else if (Exactly(name, L"wanttab")) {
        wantTab_ = isTrue;
    } else if (Exactly(name, L"wantreturn")) {
        wantReturn_ = isTrue;
    } else if (Exactly(name, L"wantctrlreturn")) {
        wantCtrlReturn_ = isTrue;
    } else if (Exactly(name, L"transparent")) {
        transparent_ = isTrue;
        if (host_ != nullptr) host_->SetTransparent(transparent_);
    } else if (Exactly(name, L"rich")) {
        rich_ = isTrue;
        if (host_ != nullptr) host_->SetRich(rich_);
    } else if (Exactly(name, L"readonly")) {
        if (isTrue) {
            style_ |= ES_READONLY;
            readOnly_ = true;
            if (host_ != nullptr) host_->SetReadOnly(true);
        }
    } else if (Exactly(name, L"password")) {
        if (isTrue) style_ |= ES_PASSWORD;
    } else if (Exactly(name, L"align")) {
        if (std::wcsstr(value, L"left") != nullptr)
            style_ &= ~static_cast<std::uint32_t>(ES_CENTER | ES_RIGHT);
        if (std::wcsstr(value, L"center") != nullptr) style_ |= ES_CENTER;
        if (std::wcsstr(value, L"right") != nullptr) style_ |= ES_RIGHT;
    } else if (Exactly(name, L"font")) {
        font_ = ParseInteger(value);
        ApplyFont();
    } else if (Exactly(name, L"textcolor")) {
        textColour_ = HexColour(value);
        if (host_ != nullptr) host_->SetColour(AsColorRef(HostTextColour()));
    } else if (Is(name, L"normalimage")) {
        normalImage_ = value;
        Invalidate();
    } else if (Is(name, L"hotimage")) {
        hotImage_ = value;
        Invalidate();
    } else if (Is(name, L"focusedimage")) {
        focusedImage_ = value;
        Invalidate();
    } else if (Is(name, L"disabledimage")) {
        disabledImage_ = value;
        Invalidate();
    } else if (Is(name, L"textpadding")) {
        long margins[4] = {};
        ParseIntegerList(value, margins, 4);
        textPadding_ = CUiRect(margins[0], margins[1], margins[2], margins[3]);
        RequestLayout();
    } else if (Is(name, L"tipvalue")) {
        tipValue_ = value;
    } else if (Is(name, L"tipvaluecolor")) {
        tipValueColour_ = HexColour(value);
    } else if (Is(name, L"tipvaluealign")) {
        if (std::wcsstr(value, L"left") != nullptr) tipValueAlign_ = DT_SINGLELINE;
        if (std::wcsstr(value, L"center") != nullptr) tipValueAlign_ = DT_SINGLELINE | DT_CENTER;
        if (std::wcsstr(value, L"right") != nullptr) tipValueAlign_ = DT_SINGLELINE | DT_RIGHT;
    } else if (Is(name, L"maxchar")) {
        maxChar_ = ParseInteger(value);
        if (host_ != nullptr) host_->SetMaxLength(maxChar_);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CRichEditUI::SetPos(CUiRect rect, bool invalidate) {
    CControlUI::SetPos(rect, invalidate);
    const CUiRect inset = GetInset();
    CUiRect area(rect.left + inset.left, rect.top + inset.top, rect.right - inset.right,
                 rect.bottom - inset.bottom);
    if (verticalScrollBar != nullptr && verticalScrollBar->IsVisible()) {
        const int width = verticalScrollBar->GetFixedWidth();
        verticalScrollBar->SetPos(CUiRect(area.right - width, area.top, area.right, area.bottom),
                                  false);
        area.right -= width;
    }
    if (horizontalScrollBar != nullptr && horizontalScrollBar->IsVisible()) {
        const int height = horizontalScrollBar->GetFixedHeight();
        horizontalScrollBar->SetPos(
            CUiRect(area.left, area.bottom - height, area.right, area.bottom), false);
        area.bottom -= height;
    }
    const CUiRect padding = Scaled(textPadding_);
    area.left += padding.left;
    area.top += padding.top;
    area.right -= padding.right;
    area.bottom -= padding.bottom;
    // Cleared first: the services may show or hide a bar while taking the new area, and the
    // layout request they make then must survive this call.
    updateNeeded = false;
    if (host_ != nullptr) host_->SetClientRect(area);
}

void CRichEditUI::SetScrollOffset(SIZE offset, bool) {
    const CUiSize before = GetScrollOffset();
    if (verticalScrollBar != nullptr && verticalScrollBar->IsVisible()) {
        verticalScrollBar->SetValue(offset.cy);
    }
    if (horizontalScrollBar != nullptr && horizontalScrollBar->IsVisible()) {
        horizontalScrollBar->SetValue(offset.cx);
    }
    const CUiSize after = GetScrollOffset();
    if (host_ == nullptr || (after.cx == before.cx && after.cy == before.cy)) return;
    // The position goes whole as a point: WM_VSCROLL's thumb position has only 16 bits, and
    // EM_GETSCROLLPOS scales a long text's down to them, so the axis left alone keeps the
    // services' own position.
    POINT position = {};
    LONG minimum = 0, maximum = 0;
    host_->ServicesScroll(SB_HORZ, minimum, maximum, position.x);
    host_->ServicesScroll(SB_VERT, minimum, maximum, position.y);
    if (after.cx != before.cx) position.x = after.cx;
    if (after.cy != before.cy) position.y = after.cy;
    host_->Send(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&position));
    if (after.cy != before.cy) {
        // Plain text scrolls by whole lines and may stop above a small downward move; the bar
        // stays where it was put, or dragging down by less than a line would never move it.
        if (!rich_ && after.cy > before.cy && verticalScrollBar->GetValue() < after.cy) {
            verticalScrollBar->SetValue(after.cy);
        }
    }
}

}  // namespace Weft
