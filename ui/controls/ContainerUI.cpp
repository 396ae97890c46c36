#include "ui/controls/ContainerUI.h"

#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {

CContainerUI::CContainerUI() = default;

// Children go at once here: the manager may be going away too.
CContainerUI::~CContainerUI() {
    delayedDestroy = false;
    RemoveAllItems();
    delete verticalScrollBar;
    delete horizontalScrollBar;
}

const wchar_t* CContainerUI::ClassName() const {
    return L"ContainerUI";
}

void* CContainerUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName == nullptr) return nullptr;
    if (::lstrcmpW(interfaceName, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
    if (::lstrcmpW(interfaceName, L"Container") == 0) return this;
    return CControlUI::CastTo(interfaceName);
}

CControlUI* CContainerUI::ItemAt(int index) const {
    return static_cast<CControlUI*>(items.GetAt(index));
}

int CContainerUI::IndexOfItem(CControlUI* control) const {
    return items.IndexOf(control);
}

bool CContainerUI::MoveItem(CControlUI* control, int newIndex) {
    const int index = items.IndexOf(control);
    // Once removed, the child may go back at 0..count-1; anywhere else it would be dropped,
    // leaked and still think it had this parent.
    if (index < 0 || newIndex < 0 || newIndex >= items.Count()) return false;
    RequestLayout();
    items.RemoveAt(index);
    return items.InsertAt(newIndex, control);
}

int CContainerUI::ItemCount() const {
    return items.Count();
}

bool CContainerUI::AddItem(CControlUI* control) {
    return InsertItem(control, items.Count());
}

bool CContainerUI::InsertItem(CControlUI* control, int index) {
    if (control == nullptr || index < 0 || index > items.Count()) return false;
    if (manager != nullptr) {
        control->Attach(manager, this, true);
        manager->AddNamesOf(control);
    }
    if (IsVisible()) {
        RequestLayout();
    } else {
        control->SetShownByParent(false);
    }
    return items.InsertAt(index, control);
}

void CContainerUI::DisposeChild(CControlUI* control) {
    if (!autoDestroy) return;
    if (delayedDestroy && manager != nullptr) {
        manager->DeleteLater(control);
    } else {
        delete control;
    }
}

bool CContainerUI::RemoveItem(CControlUI* control) {
    const int index = items.IndexOf(control);
    if (index < 0) return false;
    RequestLayout();
    // Out of the list first, so a child deleted at once never sees its parent hold it.
    items.RemoveAt(index);
    DisposeChild(control);
    return true;
}

bool CContainerUI::RemoveItemAt(int index) {
    CControlUI* control = ItemAt(index);
    return control != nullptr && RemoveItem(control);
}

void CContainerUI::RemoveAllItems() {
    CUiPtrArray removed = items;
    items.Clear();
    for (int i = 0; i < removed.Count(); ++i) DisposeChild(static_cast<CControlUI*>(removed[i]));
    RequestLayout();
}

CUiRect CContainerUI::GetInset() const {
    return Scaled(inset);
}

void CContainerUI::SetInset(const RECT& value) {
    inset = value;
    RequestLayout();
}

int CContainerUI::GetChildPadding() const {
    return Scaled(childPadding);
}

void CContainerUI::SetChildPadding(int value) {
    childPadding = value;
    RequestLayout();
}

int CContainerUI::GetChildAlign() const {
    return childAlign;
}

void CContainerUI::SetChildAlign(int value) {
    childAlign = value;
    RequestLayout();
}

int CContainerUI::GetChildVAlign() const {
    return childVAlign;
}

void CContainerUI::SetChildVAlign(int value) {
    childVAlign = value;
    RequestLayout();
}

bool CContainerUI::IsAutoDestroy() const {
    return autoDestroy;
}

void CContainerUI::SetAutoDestroy(bool value) {
    autoDestroy = value;
}

bool CContainerUI::IsDelayedDestroy() const {
    return delayedDestroy;
}

void CContainerUI::SetDelayedDestroy(bool value) {
    delayedDestroy = value;
}

bool CContainerUI::IsMouseChildEnabled() const {
    return mouseChildEnabled;
}

void CContainerUI::SetMouseChildEnabled(bool value) {
    mouseChildEnabled = value;
}

int CContainerUI::FindSelectable(int index, bool forward) const {
    const int count = items.Count();
    if (count == 0) return -1;
    if (index < 0) index = 0;
    if (index >= count) index = count - 1;
    auto selectable = [&](int i) {
        CControlUI* child = ItemAt(i);
        return child->IsVisible() && child->IsEnabled() && child->CastTo(L"ListItem") != nullptr;
    };
    if (forward) {
        for (int i = index; i < count; ++i) {
            if (selectable(i)) return i;
        }
        return -1;
    }
    for (int i = index; i >= 0; --i) {
        if (selectable(i)) return i;
    }
    return FindSelectable(0, true);
}

void CContainerUI::Attach(CPaintManagerUI* newManager, CControlUI* newParent, bool init) {
    for (int i = 0; i < items.Count(); ++i) ItemAt(i)->Attach(newManager, this, init);
    if (verticalScrollBar != nullptr) verticalScrollBar->Attach(newManager, this, init);
    if (horizontalScrollBar != nullptr) horizontalScrollBar->Attach(newManager, this, init);
    CControlUI::Attach(newManager, newParent, init);
}

void CContainerUI::SetVisible(bool show) {
    CControlUI::SetVisible(show);
    for (int i = 0; i < items.Count(); ++i) ItemAt(i)->SetShownByParent(IsVisible());
}

void CContainerUI::SetShownByParent(bool show) {
    CControlUI::SetShownByParent(show);
    for (int i = 0; i < items.Count(); ++i) ItemAt(i)->SetShownByParent(IsVisible());
}

void CContainerUI::SetEnabled(bool enable) {
    if (enabled == enable) return;
    enabled = enable;
    for (int i = 0; i < items.Count(); ++i) ItemAt(i)->SetEnabled(enable);
    Invalidate();
}

void CContainerUI::SetMouseEnabled(bool enable) {
    if (verticalScrollBar != nullptr) verticalScrollBar->SetMouseEnabled(enable);
    if (horizontalScrollBar != nullptr) horizontalScrollBar->SetMouseEnabled(enable);
    CControlUI::SetMouseEnabled(enable);
}

void CContainerUI::Move(SIZE offset, bool invalidate) {
    CControlUI::Move(offset, invalidate);
    for (CScrollBarUI* bar : {verticalScrollBar, horizontalScrollBar}) {
        if (bar != nullptr && bar->IsVisible()) bar->Move(offset, false);
    }
    for (int i = 0; i < items.Count(); ++i) {
        CControlUI* child = ItemAt(i);
        if (child->IsVisible()) child->Move(offset, false);
    }
}

bool CContainerUI::VerticalBarShown() const {
    return verticalScrollBar != nullptr && verticalScrollBar->IsVisible();
}

bool CContainerUI::HorizontalBarShown() const {
    return horizontalScrollBar != nullptr && horizontalScrollBar->IsVisible();
}

CUiRect CContainerUI::ClientArea() const {
    const CUiRect in = GetInset();
    CUiRect area(pos.left + in.left, pos.top + in.top, pos.right - in.right,
                 pos.bottom - in.bottom);
    if (VerticalBarShown()) area.right -= verticalScrollBar->GetFixedWidth();
    if (HorizontalBarShown()) area.bottom -= horizontalScrollBar->GetFixedHeight();
    return area;
}

CUiRect CContainerUI::GetContentRect() const {
    const CUiRect in = GetInset();
    CUiRect content(pos.left + in.left, pos.top + in.top, pos.right - in.right,
                    pos.bottom - in.bottom);
    if (VerticalBarShown()) {
        content.top -= verticalScrollBar->GetValue();
        content.bottom += verticalScrollBar->GetRange() - verticalScrollBar->GetValue();
        content.right -= verticalScrollBar->GetFixedWidth();
    }
    if (HorizontalBarShown()) {
        content.left -= horizontalScrollBar->GetValue();
        content.right += horizontalScrollBar->GetRange() - horizontalScrollBar->GetValue();
        content.bottom -= horizontalScrollBar->GetFixedHeight();
    }
    return content;
}

CControlUI* CContainerUI::LocateControl(LocateVisitor visitor, void* data, std::uint32_t flags) {
    if ((flags & kFindVisible) != 0 && !IsVisible()) return nullptr;
    if ((flags & kFindEnabled) != 0 && !IsEnabled()) return nullptr;
    const bool hitTest = (flags & kFindHitTest) != 0;
    if (hitTest && !::PtInRect(&pos, *static_cast<const POINT*>(data))) return nullptr;
    if ((flags & kFindUpdateTest) != 0 && visitor(this, data) != nullptr) return nullptr;
    const bool mayVisitSelf = !hitTest || mouseEnabled;
    if ((flags & kFindMeFirst) != 0 && mayVisitSelf) {
        if (CControlUI* found = visitor(this, data)) return found;
    }
    if (mayVisitSelf) {
        for (CScrollBarUI* bar : {verticalScrollBar, horizontalScrollBar}) {
            if (bar == nullptr) continue;
            if (CControlUI* found = bar->LocateControl(visitor, data, flags)) return found;
        }
    }
    if (!hitTest || mouseChildEnabled) {
        const CUiRect client = ClientArea();
        const int count = items.Count();
        const bool topFirst = (flags & kFindTopFirst) != 0;
        for (int n = 0; n < count; ++n) {
            CControlUI* child = ItemAt(topFirst ? count - 1 - n : n);
            CControlUI* found = child->LocateControl(visitor, data, flags);
            if (found == nullptr) continue;
            if (!hitTest || found->IsFloat() ||
                ::PtInRect(&client, *static_cast<const POINT*>(data))) {
                return found;
            }
        }
    }
    if ((flags & kFindMeFirst) == 0 && mayVisitSelf) return visitor(this, data);
    return nullptr;
}

void CContainerUI::ProcessEvent(EventRecord& event) {
    if (!mouseEnabled && IsMouseEvent(event.type)) {
        if (parent != nullptr) {
            parent->ProcessEvent(event);
        } else {
            CControlUI::ProcessEvent(event);
        }
        return;
    }
    if (event.type == UiEvent::FocusGained || event.type == UiEvent::FocusLost) {
        focused = event.type == UiEvent::FocusGained;
        return;
    }
    const bool key = event.type == UiEvent::KeyDown;
    const bool wheel = event.type == UiEvent::ScrollWheel;
    if (key || wheel) {
        const bool vertical = verticalScrollBar != nullptr && verticalScrollBar->IsVisible() &&
                              verticalScrollBar->IsEnabled();
        const bool horizontalBar = horizontalScrollBar != nullptr &&
                                   horizontalScrollBar->IsVisible() &&
                                   horizontalScrollBar->IsEnabled();
        if (vertical || horizontalBar) {
            using Step = void (CContainerUI::*)();
            Step page[2] = {&CContainerUI::PageUp, &CContainerUI::PageDown};
            Step end[2] = {&CContainerUI::ScrollToTop, &CContainerUI::ScrollToBottom};
            Step line[2] = {&CContainerUI::LineUp, &CContainerUI::LineDown};
            if (!vertical) {
                page[0] = &CContainerUI::PageLeft;
                page[1] = &CContainerUI::PageRight;
                end[0] = &CContainerUI::ScrollToLeft;
                end[1] = &CContainerUI::ScrollToRight;
                line[0] = &CContainerUI::LineLeft;
                line[1] = &CContainerUI::LineRight;
            }
            if (wheel) {
                (this->*line[LOWORD(event.wParam) != 0 ? 1 : 0])();
                return;
            }
            switch (event.key) {
                case VK_PRIOR:
                    (this->*page[0])();
                    return;
                case VK_NEXT:
                    (this->*page[1])();
                    return;
                case VK_HOME:
                    (this->*end[0])();
                    return;
                case VK_END:
                    (this->*end[1])();
                    return;
                case VK_UP:
                    (this->*line[0])();
                    return;
                case VK_DOWN:
                    (this->*line[1])();
                    return;
                default:
                    break;
            }
        }
    }
    CControlUI::ProcessEvent(event);
}

void CContainerUI::ApplyBarStyle(CScrollBarUI* bar, const CUiString& style) {
    if (bar == nullptr) return;
    const wchar_t* text = manager != nullptr ? manager->GetStyle(style) : nullptr;
    bar->ApplyAttributeText(text != nullptr ? text : style.GetData());
}

void CContainerUI::SetAttribute(const wchar_t* attribute, const wchar_t* value) {
    if (attribute == nullptr) return;
    if (value == nullptr) value = L"";
    auto is = [&](const wchar_t* known) { return ::lstrcmpiW(attribute, known) == 0; };
    if (is(L"inset")) {
        SetInset(ParseRect(value));
    } else if (is(L"mousechild")) {
        SetMouseChildEnabled(ParseBoolean(value));
    } else if (is(L"vscrollbar")) {
        EnableScrollBars(ParseBoolean(value), horizontalScrollBar != nullptr);
    } else if (is(L"vscrollbarstyle")) {
        verticalScrollBarStyle = value;
        EnableScrollBars(true, horizontalScrollBar != nullptr);
        ApplyBarStyle(verticalScrollBar, verticalScrollBarStyle);
    } else if (is(L"hscrollbar")) {
        EnableScrollBars(verticalScrollBar != nullptr, ParseBoolean(value));
    } else if (is(L"hscrollbarstyle")) {
        horizontalScrollBarStyle = value;
        EnableScrollBars(verticalScrollBar != nullptr, true);
        ApplyBarStyle(horizontalScrollBar, horizontalScrollBarStyle);
    } else if (is(L"childpadding")) {
        SetChildPadding(ParseInteger(value));
    } else if (::lstrcmpW(attribute, L"childalign") == 0) {
        if (::lstrcmpW(value, L"left") == 0) childAlign = 0;
        if (::lstrcmpW(value, L"center") == 0) childAlign = 1;
        if (::lstrcmpW(value, L"right") == 0) childAlign = 2;
    } else if (::lstrcmpW(attribute, L"childvalign") == 0) {
        if (::lstrcmpW(value, L"top") == 0) childVAlign = 0;
        if (::lstrcmpW(value, L"vcenter") == 0) childVAlign = 4;
        if (::lstrcmpW(value, L"bottom") == 0) childVAlign = 8;
    } else if (is(L"scrollstepsize")) {
        SetScrollStepSize(ParseInteger(value));
    } else if (is(L"fixedscrollbar")) {
        fixedScrollbar = ParseBoolean(value);
        Invalidate();
    } else if (is(L"showscrollbar")) {
        showScrollbar = ParseBoolean(value);
        for (CScrollBarUI* bar : {verticalScrollBar, horizontalScrollBar}) {
            if (bar != nullptr) bar->SetShowScrollbar(showScrollbar);
        }
    } else {
        CControlUI::SetAttribute(attribute, value);
    }
}

void CContainerUI::EnableScrollBars(bool vertical, bool horizontal) {
    auto make = [&](CScrollBarUI*& bar, bool isHorizontal) {
        bar = new CScrollBarUI;
        if (isHorizontal) bar->SetHorizontal(true);
        bar->SetOwner(this);
        bar->Attach(manager, nullptr, false);
        if (manager != nullptr) {
            if (const wchar_t* defaults =
                    manager->GetDefaultAttributes(isHorizontal ? L"HScrollBar" : L"VScrollBar")) {
                bar->ApplyAttributeText(defaults);
            }
        }
        bar->SetShowScrollbar(showScrollbar);
    };
    if (vertical && verticalScrollBar == nullptr) make(verticalScrollBar, false);
    if (!vertical && verticalScrollBar != nullptr) {
        delete verticalScrollBar;
        verticalScrollBar = nullptr;
    }
    if (horizontal && horizontalScrollBar == nullptr) make(horizontalScrollBar, true);
    if (!horizontal && horizontalScrollBar != nullptr) {
        delete horizontalScrollBar;
        horizontalScrollBar = nullptr;
    }
    RequestLayout();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const {
    return verticalScrollBar;
}

CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const {
    return horizontalScrollBar;
}

}  // namespace Weft
