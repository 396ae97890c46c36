// A window moved to a display of another DPI: sizes and fonts follow the display's scale, so
// the window is neither blurred by the system's bitmap stretching nor tiny at 150 %.
#include "app/MainWnd.h"

namespace certvane {

void CMainWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    paintManager_.SetScalePercentage(MulDiv(LOWORD(wParam), 100, 96));
    paintManager_.Resources().RescaleFonts();
    if (editInfo_ != nullptr) editInfo_->ApplyFont();
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested != nullptr) {
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    paintManager_.MarkUpdateNeeded();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

}  // namespace certvane
