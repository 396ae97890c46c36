// The rich edit's painting: the control's own background, state image and border, the text
// drawn by the services, the scroll bars and the placeholder.
#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/TxtWinHost.h"
#include "ui/window/RenderEngine.h"

namespace Weft {

bool CRichEditUI::PaintSelf(HDC dc, const RECT& paintArea, CControlUI* stopAt) {
    CUiRect clipped;
    if (!::IntersectRect(&clipped, &paintArea, &pos)) return true;
    ClipGuard clip;
    clip.EnterRect(dc, clipped);
    CControlUI::PaintSelf(dc, paintArea, stopAt);
    if (host_ != nullptr) {
        const RECTL bounds = {host_->GetClientRect().left, host_->GetClientRect().top,
                              host_->GetClientRect().right, host_->GetClientRect().bottom};
        host_->Services()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &bounds,
                                  nullptr, &clipped, nullptr, 0, TXTVIEW_ACTIVE);
    }
    PaintTipValue(dc);
    for (CScrollBarUI* bar : {verticalScrollBar, horizontalScrollBar}) {
        if (bar != nullptr && bar->IsVisible() && !bar->PaintRegion(dc, paintArea, stopAt)) {
            return false;
        }
    }
    return true;
}

void CRichEditUI::DrawStateImage(HDC dc) {
    // Focus wins over the mouse: a box being typed into looks focused while the mouse is over it.
    const CUiString* image = nullptr;
    if (!IsEnabled()) {
        image = &disabledImage_;
    } else if (IsFocused()) {
        image = &focusedImage_;
    } else if (hot_) {
        image = &hotImage_;
    }
    if (image != nullptr && !image->IsEmpty() && DrawImage(dc, *image)) return;
    if (!normalImage_.IsEmpty()) DrawImage(dc, normalImage_);
}

void CRichEditUI::PaintTipValue(HDC dc) {
    if (tipValue_.IsEmpty() || IsFocused() || manager == nullptr || !GetText().IsEmpty()) return;
    CUiRect area = host_ != nullptr ? CUiRect(host_->GetClientRect()) : pos;
    CRenderEngine::PaintPlainText(dc, manager, area, tipValue_, tipValueColour_, font_,
                                  tipValueAlign_);
}

}  // namespace Weft
