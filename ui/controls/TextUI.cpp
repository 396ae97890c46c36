#include "ui/controls/TextUI.h"

#include <cwchar>

#include "ui/controls/PaintManagerUI.h"
#include "ui/window/RenderEngine.h"

namespace Weft {

CTextUI::CTextUI() {
    textStyle = DT_WORDBREAK;
    textPadding = CUiRect(2, 0, 2, 0);
}

const wchar_t* CTextUI::ClassName() const {
    return L"TextUI";
}

void* CTextUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && std::wcscmp(interfaceName, L"Text") == 0) return this;
    return CLabelUI::CastTo(interfaceName);
}

std::uint32_t CTextUI::Flags() const {
    return IsEnabled() && linkCount > 0 ? kFlagSetCursor : 0;
}

int CTextUI::LinkAt(POINT point) const {
    for (int i = 0; i < linkCount; ++i) {
        if (::PtInRect(&linkRects[i], point)) return i;
    }
    return -1;
}

void CTextUI::ProcessEvent(EventRecord& event) {
    if (PassedOnAsMouseEvent(event)) return;
    switch (event.type) {
        case UiEvent::SetCursor:
            if (LinkAt(event.mouse) >= 0) {
                ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
                return;
            }
            break;
        case UiEvent::ButtonDown:
        case UiEvent::DoubleClick:
            if (IsEnabled() && LinkAt(event.mouse) >= 0) {
                Invalidate();
                return;
            }
            break;
        case UiEvent::ButtonUp:
            if (IsEnabled()) {
                const int link = LinkAt(event.mouse);
                if (link >= 0 && manager != nullptr) {
                    manager->SendNotification(this, L"link", static_cast<WPARAM>(link));
                    return;
                }
            }
            break;
        case UiEvent::ContextMenu:
            return;
        case UiEvent::MouseMove:
            if (linkCount > 0) {
                const int link = LinkAt(event.mouse);
                if (link != hoverLink) {
                    hoverLink = link;
                    Invalidate();
                    return;
                }
            }
            break;
        case UiEvent::MouseLeave:
            if (linkCount > 0 && IsEnabled() && hoverLink != -1) {
                hoverLink = -1;
                Invalidate();
                return;
            }
            break;
        default:
            break;
    }
    CLabelUI::ProcessEvent(event);
}

CUiSize CTextUI::MeasureSize(SIZE available) {
    if (manager == nullptr) return CLabelUI::MeasureSize(available);
    const CUiRect pad = Scaled(textPadding);
    const int width = autoCalcWidth ? 9999 : Scaled(fixedSize.cx);
    CUiRect rect(0, 0, (width > 0 ? width : available.cx) - pad.left - pad.right, 9999);
    int links = 0;
    CRenderEngine::PaintMarkupText(
        manager->GetPaintContext(), manager, rect, GetText(), 0, nullptr, nullptr, links, font,
        (textStyle & ~static_cast<std::uint32_t>(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    // The measured text is in display pixels already, and so is the auto width.
    const int measuredWidth = rect.Width() + pad.left + pad.right;
    const int height = rect.Height() + pad.top + pad.bottom;
    const int fixedHeight = Scaled(fixedSize.cy);
    return CUiSize(autoCalcWidth ? measuredWidth : Scaled(fixedSize.cx),
                   fixedHeight > 0 ? fixedHeight : height);
}

void CTextUI::DrawTextContent(HDC dc) {
    AdoptDefaultColours();
    linkCount = kMaxLinks;
    const CUiString content = GetText();
    if (content.IsEmpty() || manager == nullptr) {
        linkCount = 0;
        return;
    }
    const CUiRect pad = Scaled(textPadding);
    CUiRect rect(pos.left + pad.left, pos.top + pad.top, pos.right - pad.right,
                 pos.bottom - pad.bottom);
    CRenderEngine::PaintMarkupText(dc, manager, rect, content,
                                   IsEnabled() ? textColor : disabledTextColor, linkRects,
                                   linkNames, linkCount, font, textStyle);
}

}  // namespace Weft
