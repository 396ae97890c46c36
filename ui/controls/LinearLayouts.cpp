#include "ui/controls/LinearLayouts.h"

#include "ui/controls/SeparatorDrag.h"
#include "ui/core/UiValueParsers.h"

namespace Weft {
namespace {

bool Named(const wchar_t* attribute, const wchar_t* name) {
    return attribute != nullptr && ::lstrcmpiW(attribute, name) == 0;
}

}  // namespace

std::uint32_t CLinearLayoutUI::Flags() const {
    return IsEnabled() && separator.sepSize != 0 ? kFlagSetCursor : 0;
}

void CLinearLayoutUI::ProcessEvent(EventRecord& event) {
    const int minExtent = horizontal_ ? GetMinWidth() : GetMinHeight();
    const int maxExtent = horizontal_ ? GetMaxWidth() : GetMaxHeight();
    if (!separator::Route(separator, *this, pos, event, horizontal_, minExtent, maxExtent)) {
        CContainerUI::ProcessEvent(event);
    }
}

void CLinearLayoutUI::SetSepImmediateMode(bool immediate) {
    separator::SetImmediate(separator, *this, immediate);
}

void CLinearLayoutUI::SetAttribute(const wchar_t* attribute, const wchar_t* value) {
    if (Named(attribute, L"sepimm")) {
        SetSepImmediateMode(ParseBoolean(value));
    } else {
        CContainerUI::SetAttribute(attribute, value);
    }
}

void CLinearLayoutUI::PaintAfter(HDC dc, const RECT&) {
    separator::PaintBand(separator, dc, horizontal_);
}

const wchar_t* CVerticalLayoutUI::ClassName() const {
    return L"VerticalLayoutUI";
}

void* CVerticalLayoutUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && ::lstrcmpW(interfaceName, L"VerticalLayout") == 0) return this;
    return CContainerUI::CastTo(interfaceName);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* attribute, const wchar_t* value) {
    if (Named(attribute, L"sepheight")) {
        SetSepHeight(ParseInteger(value));
    } else {
        CLinearLayoutUI::SetAttribute(attribute, value);
    }
}

const wchar_t* CHorizontalLayoutUI::ClassName() const {
    return L"HorizontalLayoutUI";
}

void* CHorizontalLayoutUI::CastTo(const wchar_t* interfaceName) {
    if (interfaceName != nullptr && ::lstrcmpW(interfaceName, L"HorizontalLayout") == 0) {
        return this;
    }
    return CContainerUI::CastTo(interfaceName);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* attribute, const wchar_t* value) {
    if (Named(attribute, L"sepwidth")) {
        SetSepWidth(ParseInteger(value));
    } else {
        CLinearLayoutUI::SetAttribute(attribute, value);
    }
}

}  // namespace Weft
