#include "tests/ui/controls/WidgetTestSupport.h"

#include <cwchar>

#include "tests/ui/window/RenderTestSupport.h"

namespace Weft::test {

int CountRgb(const CPaintManagerUI& manager, const RECT& rect, std::uint32_t rgb) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) count += RgbAt(manager, x, y) == rgb ? 1 : 0;
    }
    return count;
}

std::uint32_t RgbAt(const CPaintManagerUI& manager, int x, int y) {
    return manager.OffscreenPixel(x, y) & 0xFFFFFF;
}

int TextWidth(CPaintManagerUI& manager, const wchar_t* text, int font) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, manager.GetFont(font)->font);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &size);
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return size.cx;
}

bool SaveOffscreenPng(const CPaintManagerUI& manager, const wchar_t* path) {
    const SIZE size = manager.OffscreenSize();
    TestImage image(size.cx, size.cy);
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x)
            image.At(x, y) = manager.OffscreenPixel(x, y) | 0xFF000000;
    }
    return SavePngFile(image, path);
}

}  // namespace Weft::test
