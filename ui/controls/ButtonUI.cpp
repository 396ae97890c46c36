#include "ui/controls/ButtonUI.h"

#include <cwchar>

#include "ui/controls/PaintManagerUI.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {
namespace {

// Bit 30 of a key message's lParam: the key was already down (an auto-repeat).
constexpr LPARAM kKeyRepeatBit = LPARAM{1} << 30;

bool Is(const wchar_t* name, const wchar_t* known) {
    return ::lstrcmpiW(name, known) == 0;
}

// The three state border colours are matched exactly, capitals included.
bool IsExactly(const wchar_t* name, const wchar_t* known) {
    return std::wcscmp(name, known) == 0;
}

}  // namespace

CButtonUI::CButtonUI() {
    textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
}

const wchar_t* CButtonUI::ClassName() const {
    return L"ButtonUI";
}

void* CButtonUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && std::wcscmp(interfaceName, L"Button") == 0) return this;
    return CLabelUI::CastTo(interfaceName);
}

std::uint32_t CButtonUI::Flags() const {
    return (IsEnabled() ? kFlagSetCursor : 0) | (IsKeyboardEnabled() ? kFlagTabStop : 0);
}

bool CButtonUI::Trigger() {
    if (!IsVisible() || !IsEnabled()) return false;
    if (manager == nullptr) return true;
    manager->SendNotification(this, L"click");
    if (bindTabIndex >= 0) {
        CControlUI* target = manager->FindControlByName(bindTabLayoutName);
        auto* pages =
            target != nullptr ? static_cast<ITabPagesUI*>(target->CastTo(L"TabLayout")) : nullptr;
        if (pages != nullptr) pages->SelectItem(bindTabIndex);
    }
    return true;
}

void CButtonUI::SetEnabled(bool enable) {
    CLabelUI::SetEnabled(enable);
    buttonState = IsEnabled() ? buttonState & ~kButtonDisabled : buttonState | kButtonDisabled;
    // A disabled button is neither hot nor pressed; the pointer's next entry makes it hot again.
    if (!IsEnabled()) {
        buttonState &= ~(kButtonHot | kButtonPushed);
        keyPressed_ = 0;
    }
}

void CButtonUI::Notify(const wchar_t* type, WPARAM wParam, LPARAM lParam) {
    if (manager != nullptr) manager->SendNotification(this, type, wParam, lParam);
}

void CButtonUI::ProcessEvent(EventRecord& event) {
    if (PassedOnAsMouseEvent(event)) return;
    switch (event.type) {
        case UiEvent::FocusGained:
        case UiEvent::FocusLost:
            Invalidate();
            break;
        // A key press fires once, when the key is released: a held key repeats its key-down,
        // and a repeat would reach the box the click opens (whose default button it presses).
        case UiEvent::KeyDown:
            if ((event.key == VK_SPACE || event.key == VK_RETURN) && IsKeyboardEnabled()) {
                if ((event.lParam & kKeyRepeatBit) == 0) {
                    keyPressed_ = event.key;
                    buttonState |= kButtonPushed;
                    Invalidate();
                }
                return;
            }
            break;
        case UiEvent::KeyUp:
            if (keyPressed_ != 0 && event.key == keyPressed_) {
                keyPressed_ = 0;
                buttonState &= ~kButtonPushed;
                Invalidate();
                Trigger();
                return;
            }
            break;
        case UiEvent::ButtonDown:
        case UiEvent::DoubleClick:
            if (Inside(event) && IsEnabled()) {
                buttonState |= kButtonPushed | kButtonCaptured;
                Invalidate();
                if (richEvent) Notify(L"buttondown");
            }
            return;
        case UiEvent::MouseMove:
            if ((buttonState & kButtonCaptured) != 0) {
                buttonState =
                    Inside(event) ? buttonState | kButtonPushed : buttonState & ~kButtonPushed;
                Invalidate();
            }
            return;
        case UiEvent::ButtonUp:
            if ((buttonState & kButtonCaptured) != 0) {
                buttonState &= ~(kButtonPushed | kButtonCaptured);
                Invalidate();
                if (Inside(event) && (manager == nullptr || !manager->IsClosing())) Trigger();
            }
            return;
        case UiEvent::ContextMenu:
            if (menuEnabled) Notify(L"menu", event.wParam, event.lParam);
            return;
        case UiEvent::MouseEnter:
            if (IsEnabled()) {
                buttonState |= kButtonHot;
                Invalidate();
                if (richEvent) Notify(L"mouseenter");
            }
            break;
        case UiEvent::MouseLeave:
            // Also while disabled: a button enabled again later must not look hot.
            if ((buttonState & kButtonHot) != 0) {
                buttonState &= ~kButtonHot;
                Invalidate();
            }
            if (IsEnabled() && richEvent) Notify(L"mouseleave");
            break;
        default:
            break;
    }
    CLabelUI::ProcessEvent(event);
}

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    if (Is(name, L"normalimage")) {
        SetNormalImage(value);
    } else if (Is(name, L"hotimage")) {
        SetHotImage(value);
    } else if (Is(name, L"pushedimage")) {
        SetPushedImage(value);
    } else if (Is(name, L"focusedimage")) {
        SetFocusedImage(value);
    } else if (Is(name, L"disabledimage")) {
        SetDisabledImage(value);
    } else if (Is(name, L"hotforeimage")) {
        SetHotForeImage(value);
    } else if (Is(name, L"pushedforeimage")) {
        SetPushedForeImage(value);
    } else if (Is(name, L"stateimage")) {
        SetStateImage(value);
    } else if (Is(name, L"statecount")) {
        SetStateCount(ParseInteger(value));
    } else if (Is(name, L"bindtabindex")) {
        BindTabIndex(ParseInteger(value));
    } else if (Is(name, L"bindtablayoutname")) {
        BindTabLayoutName(value);
    } else if (Is(name, L"hotbkcolor")) {
        SetHotBkColor(ParseBorderColour(value));
    } else if (Is(name, L"pushedbkcolor")) {
        SetPushedBkColor(ParseBorderColour(value));
    } else if (Is(name, L"disabledbkcolor")) {
        SetDisabledBkColor(ParseBorderColour(value));
    } else if (Is(name, L"hottextcolor")) {
        SetHotTextColor(ParseBorderColour(value));
    } else if (Is(name, L"pushedtextcolor")) {
        SetPushedTextColor(ParseBorderColour(value));
    } else if (Is(name, L"focusedtextcolor")) {
        SetFocusedTextColor(ParseBorderColour(value));
    } else if (IsExactly(name, L"hotbordercolor")) {
        SetHotBorderColor(ParseBorderColour(value));
    } else if (IsExactly(name, L"pushedbordercolor")) {
        SetPushedBorderColor(ParseBorderColour(value));
    } else if (IsExactly(name, L"disabledbordercolor")) {
        SetDisabledBorderColor(ParseBorderColour(value));
    } else if (Is(name, L"hotfont")) {
        SetHotFont(ParseInteger(value));
    } else if (Is(name, L"pushedfont")) {
        SetPushedFont(ParseInteger(value));
    } else if (Is(name, L"focuedfont")) {
        SetFocusedFont(ParseInteger(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

void CButtonUI::SetHotBkColor(std::uint32_t color) {
    hotBkColor = color;
    Invalidate();
}

void CButtonUI::SetPushedBkColor(std::uint32_t color) {
    pushedBkColor = color;
    Invalidate();
}

void CButtonUI::SetDisabledBkColor(std::uint32_t color) {
    disabledBkColor = color;
    Invalidate();
}

void CButtonUI::SetHotBorderColor(std::uint32_t color) {
    if (hotBorderColor == color) return;
    hotBorderColor = color;
    Invalidate();
}

void CButtonUI::SetPushedBorderColor(std::uint32_t color) {
    if (pushedBorderColor == color) return;
    pushedBorderColor = color;
    Invalidate();
}

void CButtonUI::SetDisabledBorderColor(std::uint32_t color) {
    if (disabledBorderColor == color) return;
    disabledBorderColor = color;
    Invalidate();
}

void CButtonUI::SetHotFont(int number) {
    hotFont = number;
    Invalidate();
}

void CButtonUI::SetPushedFont(int number) {
    pushedFont = number;
    Invalidate();
}

void CButtonUI::SetFocusedFont(int number) {
    focusedFont = number;
    Invalidate();
}

void CButtonUI::SetImage(CUiString& field, const wchar_t* image) {
    field = image;
    Invalidate();
}

void CButtonUI::SetNormalImage(const wchar_t* image) {
    SetImage(normalImage, image);
}

void CButtonUI::SetHotImage(const wchar_t* image) {
    SetImage(hotImage, image);
}

void CButtonUI::SetPushedImage(const wchar_t* image) {
    SetImage(pushedImage, image);
}

void CButtonUI::SetFocusedImage(const wchar_t* image) {
    SetImage(focusedImage, image);
}

void CButtonUI::SetDisabledImage(const wchar_t* image) {
    SetImage(disabledImage, image);
}

void CButtonUI::SetHotForeImage(const wchar_t* image) {
    SetImage(hotForeImage, image);
}

void CButtonUI::SetPushedForeImage(const wchar_t* image) {
    SetImage(pushedForeImage, image);
}

void CButtonUI::SetStateImage(const wchar_t* image) {
    normalImage.Empty();
    SetImage(stateImage, image);
}

void CButtonUI::SetStateCount(int count) {
    stateCount = count;
    Invalidate();
}

void CButtonUI::BindTabIndex(int index) {
    if (index >= 0) bindTabIndex = index;
}

void CButtonUI::BindTabLayoutName(const wchar_t* name) {
    bindTabLayoutName = name;
}

}  // namespace Weft
