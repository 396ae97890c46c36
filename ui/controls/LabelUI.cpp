#include "ui/controls/LabelUI.h"

#include <cwchar>

#include "ui/controls/PaintManagerUI.h"
#include "ui/core/UiValueParsers.h"
#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

bool Is(const wchar_t* name, const wchar_t* known) {
    return ::lstrcmpiW(name, known) == 0;
}

bool Has(const wchar_t* value, const wchar_t* word) {
    return std::wcsstr(value, word) != nullptr;
}

}  // namespace

const wchar_t* CLabelUI::ClassName() const {
    return L"LabelUI";
}

void* CLabelUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && std::wcscmp(interfaceName, L"Label") == 0) return this;
    return CControlUI::CastTo(interfaceName);
}

std::uint32_t CLabelUI::Flags() const {
    return IsEnabled() ? kFlagSetCursor : 0;
}

void CLabelUI::SetText(const wchar_t* newText) {
    CControlUI::SetText(newText);
    needMeasure = true;
    if (autoCalcWidth || autoCalcHeight) RequestParentLayout();
}

void CLabelUI::ProcessEvent(EventRecord& event) {
    if (event.type == UiEvent::FocusGained) {
        focused = true;
        return;
    }
    if (event.type == UiEvent::FocusLost) {
        focused = false;
        return;
    }
    CControlUI::ProcessEvent(event);
}

bool CLabelUI::PassedOnAsMouseEvent(EventRecord& event) {
    if (IsMouseEnabled() || !IsMouseEvent(event.type)) return false;
    if (parent != nullptr) {
        parent->ProcessEvent(event);
    } else {
        CLabelUI::ProcessEvent(event);
    }
    return true;
}

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
    if (name == nullptr) return;
    if (value == nullptr) value = L"";
    std::uint32_t style = textStyle;
    if (Is(name, L"align")) {
        if (Has(value, L"left")) style &= ~static_cast<std::uint32_t>(DT_CENTER | DT_RIGHT);
        if (Has(value, L"center"))
            style = (style & ~static_cast<std::uint32_t>(DT_RIGHT)) | DT_CENTER;
        if (Has(value, L"right"))
            style = (style & ~static_cast<std::uint32_t>(DT_CENTER)) | DT_RIGHT;
        SetTextStyle(style);
    } else if (Is(name, L"valign")) {
        if (Has(value, L"top")) {
            style = (style & ~static_cast<std::uint32_t>(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK)) |
                    DT_SINGLELINE;
        }
        if (Has(value, L"vcenter")) {
            style = (style & ~static_cast<std::uint32_t>(DT_BOTTOM | DT_WORDBREAK)) | DT_VCENTER |
                    DT_SINGLELINE;
        }
        if (Has(value, L"bottom")) {
            style = (style & ~static_cast<std::uint32_t>(DT_VCENTER | DT_WORDBREAK)) | DT_BOTTOM |
                    DT_SINGLELINE;
        }
        SetTextStyle(style);
    } else if (Is(name, L"endellipsis")) {
        SetTextStyle(ParseBoolean(value) ? style | DT_END_ELLIPSIS
                                         : style & ~static_cast<std::uint32_t>(DT_END_ELLIPSIS));
    } else if (Is(name, L"wordbreak")) {
        SetTextStyle(ParseBoolean(value)
                         ? (style & ~static_cast<std::uint32_t>(DT_SINGLELINE)) | DT_WORDBREAK |
                               DT_EDITCONTROL
                         : (style & ~static_cast<std::uint32_t>(DT_WORDBREAK | DT_EDITCONTROL)) |
                               DT_SINGLELINE);
    } else if (Is(name, L"noprefix")) {
        SetTextStyle(ParseBoolean(value) ? style | DT_NOPREFIX
                                         : style & ~static_cast<std::uint32_t>(DT_NOPREFIX));
    } else if (Is(name, L"font")) {
        SetFont(ParseInteger(value));
    } else if (Is(name, L"textcolor")) {
        SetTextColor(ParseBorderColour(value));
    } else if (Is(name, L"disabledtextcolor")) {
        SetDisabledTextColor(ParseBorderColour(value));
    } else if (Is(name, L"textpadding")) {
        SetTextPadding(ParseRect(value));
    } else if (Is(name, L"showhtml")) {
        SetShowHtml(ParseBoolean(value));
    } else if (Is(name, L"autocalcwidth")) {
        SetAutoCalcWidth(ParseBoolean(value));
    } else if (Is(name, L"autocalcheight")) {
        SetAutoCalcHeight(ParseBoolean(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CLabelUI::SetTextColor(std::uint32_t color) {
    textColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(std::uint32_t color) {
    disabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetFont(int number) {
    font = number;
    needMeasure = true;
    Invalidate();
}

void CLabelUI::SetTextStyle(std::uint32_t style) {
    textStyle = style;
    Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& rect) {
    textPadding = rect;
    needMeasure = true;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool on) {
    if (showHtml == on) return;
    showHtml = on;
    needMeasure = true;
    Invalidate();
}

CUiRect CLabelUI::MeasureText(CUiRect rect) {
    if (manager == nullptr) return CUiRect();
    const UINT format =
        (textStyle & ~static_cast<std::uint32_t>(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    const CUiString content = GetText();
    if (showHtml) {
        int links = 0;
        CRenderEngine::PaintMarkupText(manager->GetPaintContext(), manager, rect, content, 0,
                                       nullptr, nullptr, links, font, format);
    } else {
        CRenderEngine::PaintPlainText(manager->GetPaintContext(), manager, rect, content, 0, font,
                                      format);
    }
    return rect;
}

CUiSize CLabelUI::MeasureSize(SIZE available) {
    if (fixedSize.cx > 0 && fixedSize.cy > 0) return Scaled(fixedSize);
    if (available.cx != lastAvailable.cx || available.cy != lastAvailable.cy) needMeasure = true;
    if (!needMeasure) return measured;
    needMeasure = false;
    lastAvailable = available;
    measured = Scaled(fixedSize);
    const CUiRect pad = Scaled(textPadding);
    if ((textStyle & DT_SINGLELINE) != 0) {
        if (measured.cy == 0 && manager != nullptr) {
            const FontRecord* record = manager->GetFont(font);
            const int height = record != nullptr ? record->metrics.tmHeight : 0;
            measured.cy = pad.top + pad.bottom + height + 8;
        }
        if (measured.cx == 0 && autoCalcWidth) {
            const CUiRect extent = MeasureText(CUiRect(0, 0, 9999, measured.cy));
            measured.cx = extent.Width() + pad.left + pad.right;
        }
    } else if (measured.cy == 0 && autoCalcHeight) {
        const CUiRect extent = MeasureText(CUiRect(pad.left, 0, measured.cx - pad.right, 9999));
        measured.cy = extent.Height() + pad.top + pad.bottom;
    }
    return measured;
}

void CLabelUI::AdoptDefaultColours() {
    if (manager == nullptr) return;
    if (textColor == 0) textColor = manager->Resources().GetDefaultColour(DefaultColour::Text);
    if (disabledTextColor == 0) {
        disabledTextColor = manager->Resources().GetDefaultColour(DefaultColour::DisabledText);
    }
}

void CLabelUI::DrawLabelText(HDC dc, std::uint32_t colour, int fontNumber) {
    const CUiString content = GetText();
    if (content.IsEmpty() || manager == nullptr) return;
    const CUiRect pad = Scaled(textPadding);
    CUiRect rect(pos.left + pad.left, pos.top + pad.top, pos.right - pad.right,
                 pos.bottom - pad.bottom);
    if (showHtml) {
        int links = 0;
        CRenderEngine::PaintMarkupText(dc, manager, rect, content, colour, nullptr, nullptr, links,
                                       fontNumber, textStyle);
    } else {
        CRenderEngine::PaintPlainText(dc, manager, rect, content, colour, fontNumber, textStyle);
    }
}

void CLabelUI::DrawTextContent(HDC dc) {
    AdoptDefaultColours();
    DrawLabelText(dc, IsEnabled() ? textColor : disabledTextColor, font);
}

}  // namespace Weft
