// The rich edit's context menu and the editing commands it sends back as WM_COMMAND.
#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/TxtWinHost.h"

namespace Weft {

HMENU CRichEditUI::CreateEditMenu() {
    if (host_ == nullptr) return nullptr;
    CHARRANGE selection = {};
    host_->Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const bool selected = selection.cpMax != selection.cpMin;
    const auto state = [](bool enabled) { return enabled ? MF_ENABLED : MF_GRAYED; };
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    ::AppendMenuW(menu, MF_STRING | state(CanUndo()), kEditUndo, L"撤销(&U)");
    ::AppendMenuW(menu, MF_STRING | state(host_->Send(EM_CANREDO, 0, 0) != 0), kEditRedo,
                  L"重做(&R)");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING | state(selected && !readOnly_), kEditCut, L"剪切(&X)");
    ::AppendMenuW(menu, MF_STRING | state(selected), kEditCopy, L"复制(&C)");
    ::AppendMenuW(menu, MF_STRING | state(!readOnly_), kEditPaste, L"粘帖(&V)");
    ::AppendMenuW(menu, MF_STRING | state(selected && !readOnly_), kEditClear, L"清空(&L)");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kEditSelectAll, L"全选(&A)");
    return menu;
}

bool CRichEditUI::RunEditCommand(UINT id) {
    if (host_ == nullptr) return false;
    switch (id) {
        case kEditUndo:
            host_->Send(EM_UNDO, 0, 0);
            return true;
        case kEditCut:
            host_->Send(WM_CUT, 0, 0);
            return true;
        case kEditCopy:
            host_->Send(WM_COPY, 0, 0);
            return true;
        case kEditPaste:
            host_->Send(WM_PASTE, 0, 0);
            return true;
        case kEditClear:
            host_->Send(WM_CLEAR, 0, 0);
            return true;
        case kEditSelectAll:
            SelectAll();
            return true;
        case kEditRedo:
            host_->Send(EM_REDO, 0, 0);
            return true;
        default:
            return false;
    }
}

void CRichEditUI::ShowEditMenu(POINT screen) {
    HMENU menu = CreateEditMenu();
    if (menu == nullptr) return;
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, manager->GetWindowHandle(),
                     nullptr);
    ::DestroyMenu(menu);
}

}  // namespace Weft
