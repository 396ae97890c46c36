#include "ui/controls/ControlUI.h"

#include "ui/controls/PaintManagerUI.h"
#include "ui/core/UiStringPtrMap.h"

namespace Weft {
namespace {

struct TextTable {
    CUiStringPtrMap texts{83};
    TextProvider provider = nullptr;
};

// Lives until the process ends, like the controls that read it on the window thread.
TextTable& Texts() {
    static TextTable* table = new TextTable;
    return *table;
}

CUiString TranslatedText(const CUiString& key) {
    TextTable& table = Texts();
    if (auto* found = static_cast<CUiString*>(table.texts.Find(key))) return *found;
    if (table.provider == nullptr) return key;
    auto* provided = new CUiString(table.provider(key));
    if (!table.texts.Insert(key, provided)) {
        CUiString copy = *provided;
        delete provided;
        return copy;
    }
    return *provided;
}

}  // namespace

void SetTextProvider(TextProvider provider) {
    Texts().provider = provider;
}

void SetResourceTextEntry(const wchar_t* key, const wchar_t* value) {
    if (key == nullptr || *key == L'\0') return;
    delete static_cast<CUiString*>(Texts().texts.Set(key, new CUiString(value)));
}

bool ClipToAncestors(const CControlUI* control, CUiRect& rect, bool stopAtHidden) {
    for (const CControlUI* up = control->GetParent(); up != nullptr; up = up->GetParent()) {
        if (stopAtHidden && !up->IsVisible()) return false;
        if (!::IntersectRect(&rect, &rect, &up->GetPos())) return false;
    }
    return !::IsRectEmpty(&rect);
}

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    destroyListeners(this);
    FreeCustomAttributes();
    if (manager != nullptr) manager->ForgetControl(this);
}

CUiString CControlUI::GetName() const {
    return name;
}

void CControlUI::SetName(const wchar_t* value) {
    name = value;
}

const wchar_t* CControlUI::ClassName() const {
    return L"ControlUI";
}

void* CControlUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && ::lstrcmpiW(interfaceName, L"Control") == 0) return this;
    return nullptr;
}

std::uint32_t CControlUI::Flags() const {
    return 0;
}

bool CControlUI::Trigger() {
    return IsVisible() && IsEnabled();
}

CPaintManagerUI* CControlUI::GetManager() const {
    return manager;
}

void CControlUI::Attach(CPaintManagerUI* newManager, CControlUI* newParent, bool init) {
    manager = newManager;
    parent = newParent;
    if (init && parent != nullptr) Initialize();
}

CControlUI* CControlUI::GetParent() const {
    return parent;
}

CUiString CControlUI::GetText() const {
    return resourceText ? TranslatedText(text) : text;
}

void CControlUI::SetText(const wchar_t* value) {
    CUiString next(value);
    next.Replace(L"{\\n}", L"\n");
    if (text == next) return;
    text = next;
    Invalidate();
}

bool CControlUI::IsResourceText() const {
    return resourceText;
}

void CControlUI::SetResourceText(bool resource) {
    if (resourceText == resource) return;
    resourceText = resource;
    Invalidate();
}

bool CControlUI::IsDragEnabled() const {
    return dragEnabled;
}

void CControlUI::SetDragEnabled(bool enable) {
    dragEnabled = enable;
}

bool CControlUI::IsDropEnabled() const {
    return dropEnabled;
}

void CControlUI::SetDropEnabled(bool enable) {
    dropEnabled = enable;
}

bool CControlUI::IsRichEvent() const {
    return richEvent;
}

void CControlUI::SetRichEvent(bool enable) {
    richEvent = enable;
}

CUiRect CControlUI::GetPosInParent() const {
    if (parent == nullptr) return CUiRect();
    CUiRect inParent = pos;
    inParent.Offset(-parent->GetPos().left, -parent->GetPos().top);
    return inParent;
}

CUiRect CControlUI::GetContentRect() const {
    return pos;
}

const CUiRect& CControlUI::GetPos() const {
    return pos;
}

void CControlUI::SetPos(CUiRect rect, bool invalidate) {
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
    CUiRect old = pos;
    if (::IsRectEmpty(&old)) old = rect;
    pos = rect;
    if (manager == nullptr) return;
    if (!inSizeCallback) {
        inSizeCallback = true;
        sizeListeners(this);
        inSizeCallback = false;
    }
    updateNeeded = false;
    if (invalidate && IsVisible()) {
        CUiRect dirty = old;
        dirty.Union(pos);
        if (ClipToAncestors(this, dirty, true)) manager->Repaint(dirty);
    }
}

void CControlUI::Move(SIZE offset, bool) {
    fixedPos.cx += offset.cx;
    fixedPos.cy += offset.cy;
    RequestParentLayout();
}

int CControlUI::GetWidth() const {
    return pos.Width();
}

int CControlUI::GetHeight() const {
    return pos.Height();
}

int CControlUI::GetX() const {
    return pos.left;
}

int CControlUI::GetY() const {
    return pos.top;
}

CUiRect CControlUI::GetPadding() const {
    return Scaled(padding);
}

void CControlUI::SetPadding(const RECT& value) {
    padding = value;
    RequestParentLayout();
}

CUiSize CControlUI::GetFixedPos() const {
    return Scaled(fixedPos);
}

void CControlUI::SetFixedPos(SIZE position) {
    fixedPos = position;
    RequestParentLayout();
}

CUiSize CControlUI::GetFixedSize() const {
    return Scaled(fixedSize);
}

int CControlUI::GetFixedWidth() const {
    return Scaled(fixedSize.cx);
}

void CControlUI::SetFixedWidth(int width) {
    if (width < 0) return;
    fixedSize.cx = width;
    RequestParentLayout();
}

int CControlUI::GetFixedHeight() const {
    return Scaled(fixedSize.cy);
}

void CControlUI::SetFixedHeight(int height) {
    if (height < 0) return;
    fixedSize.cy = height;
    RequestParentLayout();
}

int CControlUI::GetMinWidth() const {
    return Scaled(minSize.cx);
}

// The min/max setters share one rule: negative and unchanged values are ignored.
namespace {
bool StoreLimit(LONG& field, int value) {
    if (value < 0 || field == value) return false;
    field = value;
    return true;
}
}  // namespace

void CControlUI::SetMinWidth(int width) {
    if (StoreLimit(minSize.cx, width)) RequestParentLayout();
}

int CControlUI::GetMaxWidth() const {
    return Scaled(maxSize.cx);
}

void CControlUI::SetMaxWidth(int width) {
    if (StoreLimit(maxSize.cx, width)) RequestParentLayout();
}

int CControlUI::GetMinHeight() const {
    return Scaled(minSize.cy);
}

void CControlUI::SetMinHeight(int height) {
    if (StoreLimit(minSize.cy, height)) RequestParentLayout();
}

int CControlUI::GetMaxHeight() const {
    return Scaled(maxSize.cy);
}

void CControlUI::SetMaxHeight(int height) {
    if (StoreLimit(maxSize.cy, height)) RequestParentLayout();
}

const double* CControlUI::GetFloatPercent() const {
    return floatPercent;
}

void CControlUI::SetFloatPercent(const double percent[4]) {
    for (int i = 0; i < 4; ++i) floatPercent[i] = percent[i];
    RequestParentLayout();
}

void CControlUI::SetFloatAlign(std::uint32_t align) {
    floatAlign = align;
    RequestParentLayout();
}

std::uint32_t CControlUI::GetFloatAlign() const {
    return floatAlign;
}

CUiString CControlUI::GetToolTip() const {
    return resourceText ? TranslatedText(toolTip) : toolTip;
}

void CControlUI::SetToolTip(const wchar_t* value) {
    toolTip = value;
    toolTip.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width) {
    toolTipWidth = width;
}

int CControlUI::GetToolTipWidth() const {
    return Scaled(toolTipWidth);
}

int CControlUI::GetCursorShape() const {
    return cursor;
}

void CControlUI::SetCursorShape(int value) {
    cursor = value;
    Invalidate();
}

wchar_t CControlUI::GetShortcut() const {
    return shortcut;
}

void CControlUI::SetShortcut(wchar_t ch) {
    shortcut = ch;
}

bool CControlUI::IsMenuEnabled() const {
    return menuEnabled;
}

void CControlUI::SetMenuEnabled(bool enable) {
    menuEnabled = enable;
}

CUiString CControlUI::GetUserData() const {
    return userData;
}

void CControlUI::SetUserData(const wchar_t* value) {
    userData = value;
}

UINT_PTR CControlUI::GetTag() const {
    return tag;
}

void CControlUI::SetTag(UINT_PTR value) {
    tag = value;
}

bool CControlUI::IsVisible() const {
    return visible && shownByParent;
}

void CControlUI::SetVisible(bool show) {
    if (visible == show) return;
    const bool wasVisible = IsVisible();
    visible = show;
    focused = false;
    if (!show && manager != nullptr && manager->GetFocusControl() == this) {
        manager->FocusControl(nullptr);
    }
    if (IsVisible() != wasVisible) RequestParentLayout();
}

void CControlUI::SetShownByParent(bool show) {
    shownByParent = show;
    if (!show && manager != nullptr && manager->GetFocusControl() == this) {
        manager->FocusControl(nullptr);
    }
}

bool CControlUI::IsEnabled() const {
    return enabled;
}

void CControlUI::SetEnabled(bool enable) {
    if (enabled == enable) return;
    enabled = enable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const {
    return mouseEnabled;
}

void CControlUI::SetMouseEnabled(bool enable) {
    mouseEnabled = enable;
}

bool CControlUI::IsKeyboardEnabled() const {
    return keyboardEnabled;
}

void CControlUI::SetKeyboardEnabled(bool enable) {
    keyboardEnabled = enable;
}

bool CControlUI::IsFocused() const {
    return focused;
}

void CControlUI::SetFocus() {
    if (manager != nullptr) manager->FocusControl(this);
}

bool CControlUI::IsFloat() const {
    return isFloat;
}

void CControlUI::SetFloat(bool isFloatNow) {
    if (isFloat == isFloatNow) return;
    isFloat = isFloatNow;
    RequestParentLayout();
}

CControlUI* CControlUI::LocateControl(LocateVisitor visitor, void* data, std::uint32_t flags) {
    if ((flags & kFindVisible) != 0 && !IsVisible()) return nullptr;
    if ((flags & kFindEnabled) != 0 && !IsEnabled()) return nullptr;
    if ((flags & kFindHitTest) != 0 &&
        (!mouseEnabled || !::PtInRect(&pos, *static_cast<const POINT*>(data)))) {
        return nullptr;
    }
    return visitor(this, data);
}

void CControlUI::Initialize() {
    OnInitialized();
    if (!initListeners.IsEmpty()) initListeners(this);
}

void CControlUI::OnInitialized() {}

void CControlUI::HandleEvent(EventRecord& event) {
    if (eventListeners(&event)) ProcessEvent(event);
}

void CControlUI::ProcessEvent(EventRecord& event) {
    switch (event.type) {
        case UiEvent::SetCursor:
            ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor != 0 ? cursor : 32512)));
            return;
        case UiEvent::FocusGained:
            focused = true;
            Invalidate();
            return;
        case UiEvent::FocusLost:
            focused = false;
            Invalidate();
            return;
        case UiEvent::Timer:
            if (manager != nullptr) {
                manager->SendNotification(this, L"timer", event.wParam, event.lParam);
            }
            return;
        case UiEvent::ContextMenu:
            if (menuEnabled) {
                if (manager != nullptr) {
                    manager->SendNotification(this, L"menu", event.wParam, event.lParam);
                }
                return;
            }
            break;
        default:
            break;
    }
    if (parent != nullptr) parent->ProcessEvent(event);
}

CUiSize CControlUI::MeasureSize(SIZE) {
    return GetFixedSize();
}

void CControlUI::Invalidate() {
    if (!IsVisible() || manager == nullptr) return;
    CUiRect dirty = pos;
    if (ClipToAncestors(this, dirty, false)) manager->Repaint(dirty);
}

void CControlUI::RequestLayout() {
    if (IsVisible()) {
        updateNeeded = true;
        Invalidate();
        if (manager != nullptr) manager->MarkUpdateNeeded();
    }
}

void CControlUI::RequestParentLayout() {
    if (parent != nullptr) {
        parent->RequestLayout();
        parent->Invalidate();
    } else {
        RequestLayout();
    }
    if (manager != nullptr) manager->MarkUpdateNeeded();
}

CUiString CControlUI::GetVirtualWindow() const {
    if (!virtualWnd.IsEmpty()) return virtualWnd;
    return parent != nullptr ? parent->GetVirtualWindow() : CUiString();
}

void CControlUI::SetVirtualWindow(const wchar_t* value) {
    virtualWnd = value;
    if (manager != nullptr) manager->SetVirtualWindowNames(true);
}

void CControlUI::AddCustomAttribute(const wchar_t* attribute, const wchar_t* value) {
    if (attribute == nullptr || value == nullptr || *attribute == L'\0' || *value == L'\0') return;
    if (customAttributes.Find(attribute) != nullptr) return;
    auto* copy = new CUiString(value);
    if (!customAttributes.Insert(attribute, copy)) delete copy;
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* attribute) {
    if (attribute == nullptr) return nullptr;
    auto* value = static_cast<CUiString*>(customAttributes.Find(attribute));
    return value != nullptr ? value->GetData() : nullptr;
}

void CControlUI::ClearCustomAttributes() {
    FreeCustomAttributes();
}

void CControlUI::FreeCustomAttributes() {
    for (int i = 0; i < customAttributes.Count(); ++i) {
        delete static_cast<CUiString*>(customAttributes.Find(customAttributes.KeyAt(i), false));
    }
    customAttributes.Rebuild(83);
}

int CControlUI::Scaled(int value) const {
    return manager != nullptr ? manager->Scale(value) : value;
}

CUiSize CControlUI::Scaled(SIZE size) const {
    return CUiSize(Scaled(size.cx), Scaled(size.cy));
}

CUiRect CControlUI::Scaled(const RECT& rect) const {
    return CUiRect(Scaled(rect.left), Scaled(rect.top), Scaled(rect.right), Scaled(rect.bottom));
}

}  // namespace Weft
