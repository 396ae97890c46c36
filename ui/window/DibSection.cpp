#include "ui/window/DibSection.h"

namespace Weft {

HBITMAP CreateTopDownDib(int width, int height, void** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap == nullptr) {
        *bits = nullptr;
    }
    return bitmap;
}

DibCanvas::~DibCanvas() {
    if (previous_ != nullptr) {
        ::SelectObject(dc_, previous_);
    }
    if (bitmap_ != nullptr) {
        ::DeleteObject(bitmap_);
    }
    if (dc_ != nullptr) {
        ::DeleteDC(dc_);
    }
}

}  // namespace Weft
