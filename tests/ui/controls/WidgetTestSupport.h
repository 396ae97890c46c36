#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/controls/PaintManagerUI.h"

namespace Weft::test {

// Pixels of the manager's offscreen buffer inside `rect` whose colour is `rgb` (alpha ignored).
int CountRgb(const CPaintManagerUI& manager, const RECT& rect, std::uint32_t rgb);
// The colour of one offscreen pixel without its alpha byte.
std::uint32_t RgbAt(const CPaintManagerUI& manager, int x, int y);
// The width of a text in one of the manager's fonts (its default font by default), as GDI
// measures it.
int TextWidth(CPaintManagerUI& manager, const wchar_t* text, int font = -1);
// Saves the whole offscreen buffer as an opaque PNG.
bool SaveOffscreenPng(const CPaintManagerUI& manager, const wchar_t* path);

}  // namespace Weft::test
