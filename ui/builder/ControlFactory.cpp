#include "ui/builder/ControlFactory.h"

#include "ui/controls/ButtonUI.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/LinearLayouts.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/TextUI.h"

namespace Weft {
namespace {

std::wstring AsciiLower(const wchar_t* name) {
    std::wstring lower = name != nullptr ? name : L"";
    for (wchar_t& ch : lower) {
        if (ch >= L'A' && ch <= L'Z') ch = static_cast<wchar_t>(ch - L'A' + L'a');
    }
    return lower;
}

template <typename T>
CControlUI* Make() {
    return new T;
}

}  // namespace

// Only the classes this program has are registered; a layout naming another widget's class
// finds no entry, so the builder asks its callback and otherwise skips the element.
CControlFactory::CControlFactory() {
    RegisterControl(L"CControlUI", &Make<CControlUI>);
    RegisterControl(L"CContainerUI", &Make<CContainerUI>);
    RegisterControl(L"CButtonUI", &Make<CButtonUI>);
    RegisterControl(L"CLabelUI", &Make<CLabelUI>);
    RegisterControl(L"CRichEditUI", &Make<CRichEditUI>);
    RegisterControl(L"CScrollBarUI", &Make<CScrollBarUI>);
    RegisterControl(L"CTextUI", &Make<CTextUI>);
    RegisterControl(L"CHorizontalLayoutUI", &Make<CHorizontalLayoutUI>);
    RegisterControl(L"CVerticalLayoutUI", &Make<CVerticalLayoutUI>);
    RegisterControl(L"CBoxUI", &Make<CContainerUI>);
    RegisterControl(L"CHBoxUI", &Make<CHorizontalLayoutUI>);
    RegisterControl(L"CVBoxUI", &Make<CVerticalLayoutUI>);
}

CControlFactory& CControlFactory::Instance() {
    // Initialised once, thread-safely, on first use.
    static CControlFactory factory;
    return factory;
}

CControlUI* CControlFactory::CreateControl(const wchar_t* className) const {
    const auto found = creators_.find(AsciiLower(className));
    return found != creators_.end() ? found->second() : nullptr;
}

void CControlFactory::RegisterControl(const wchar_t* className, Creator creator) {
    creators_.emplace(AsciiLower(className), creator);
}

}  // namespace Weft
