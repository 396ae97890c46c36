#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace certvane::test {

// The characters of `text` that would show as empty squares in `font`: those that neither the
// face the font selects (after the system's substitutions) nor any face the system links to it
// (FontLink\SystemLink) has a glyph for. Line breaks and spaces are not looked at. Squares are
// ink too, so a picture cannot tell them from text; this can.
std::wstring GlyphsMissingIn(HFONT font, std::wstring_view text);

}  // namespace certvane::test
