// The two colour sets, applied through the same attribute setter the layout builder uses, so
// no control carries theme logic of its own.
#include "app/MainWnd.h"
#include "app/Theme.h"

namespace certvane {

void CMainWnd::ApplyTheme(bool dark) {
    Weft::CControlUI* root = paintManager_.GetRootControl();
    if (root == nullptr) return;
    const ThemeColours& colours = ThemeFor(dark);
    Weft::CControlUI* title = paintManager_.FindControlByName(L"lblTitle");
    root->SetAttribute(L"bkcolor", colours.rootBackground);
    if (editInfo_ != nullptr) {
        editInfo_->SetAttribute(L"bkcolor", colours.reportBackground);
        editInfo_->SetAttribute(L"textcolor", colours.reportText);
        editInfo_->SetAttribute(L"bordercolor", colours.reportBorder);
    }
    if (lblStatus_ != nullptr) {
        lblStatus_->SetAttribute(L"textcolor", colours.statusText);
        lblStatus_->SetAttribute(L"bkcolor", colours.statusBackground);
    }
    if (title != nullptr) title->SetAttribute(L"textcolor", colours.titleText);
    for (const wchar_t* button : {L"btnRefresh", L"btnUpdate", L"btnUpdateBoot", L"btnTheme"}) {
        ApplyButtonTheme(button, dark);
    }
    paintManager_.MarkUpdateNeeded();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CMainWnd::ApplyButtonTheme(const wchar_t* name, bool dark) {
    Weft::CControlUI* button = paintManager_.FindControlByName(name);
    if (button == nullptr) return;
    const ThemeColours& colours = ThemeFor(dark);
    button->SetAttribute(L"bkcolor", colours.buttonBackground);
    button->SetAttribute(L"textcolor", colours.buttonText);
    button->SetAttribute(L"bordercolor", colours.buttonBorder);
    button->SetAttribute(L"hotbkcolor", colours.buttonHotBackground);
    button->SetAttribute(L"pushedbkcolor", colours.buttonPushedBackground);
    button->SetAttribute(L"focusbordercolor", colours.buttonFocusBorder);
}

}  // namespace certvane
