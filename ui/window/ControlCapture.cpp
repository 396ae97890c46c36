#include "ui/window/DibSection.h"
#include "ui/window/RenderEngine.h"

namespace Weft {

HBITMAP CRenderEngine::CaptureControlBitmap(IRenderHostUI* host, CControlUI* control,
                                            const CUiRect& rect, std::uint32_t overlay) {
    if (host == nullptr || control == nullptr) {
        return nullptr;
    }
    const HDC paintDc = host->GetPaintContext();
    const HDC scratchDc = ::CreateCompatibleDC(paintDc);
    const HBITMAP scratch = ::CreateCompatibleBitmap(paintDc, rect.right, rect.bottom);
    const HDC copyDc = ::CreateCompatibleDC(paintDc);
    void* bits = nullptr;
    HBITMAP captured = CreateTopDownDib(rect.Width(), rect.Height(), &bits);
    if (scratchDc != nullptr && scratch != nullptr && copyDc != nullptr && captured != nullptr) {
        const HGDIOBJ previousScratch = ::SelectObject(scratchDc, scratch);
        host->PaintControl(control, scratchDc, rect);
        const HGDIOBJ previousCopy = ::SelectObject(copyDc, captured);
        ::BitBlt(copyDc, 0, 0, rect.Width(), rect.Height(), scratchDc, rect.left, rect.top,
                 SRCCOPY);
        if ((overlay >> 24) != 0) {
            FillSolid(copyDc, CUiRect(0, 0, rect.Width(), rect.Height()), overlay);
        }
        ::GdiFlush();
        ::SelectObject(copyDc, previousCopy);
        ::SelectObject(scratchDc, previousScratch);
    } else if (captured != nullptr) {
        ::DeleteObject(captured);
        captured = nullptr;
    }
    if (copyDc != nullptr) {
        ::DeleteDC(copyDc);
    }
    if (scratch != nullptr) {
        ::DeleteObject(scratch);
    }
    if (scratchDc != nullptr) {
        ::DeleteDC(scratchDc);
    }
    return captured;
}

}  // namespace Weft
