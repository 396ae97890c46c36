#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/window/GdiplusHeaders.h"

namespace Weft {

inline BYTE AlphaOf(std::uint32_t colour) {
    return static_cast<BYTE>(colour >> 24);
}

// GDI wants blue in the high byte and no alpha.
inline COLORREF ToColorRef(std::uint32_t colour) {
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

inline Gdiplus::Color ToGdiplusColour(std::uint32_t colour) {
    return Gdiplus::Color(static_cast<Gdiplus::ARGB>(colour));
}

}  // namespace Weft
