#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/UiRect.h"
#include "ui/core/UiString.h"

namespace Weft {

class IRenderHostUI;

// An image attribute text (and its modifier text) taken apart into what the image painter
// needs. The paint manager caches one per distinct text, so each text is parsed once.
struct DrawingDescription {
    CUiString sourceText;
    CUiString modifierText;
    CUiString imageName;
    CUiString resourceType;
    CUiRect dest;
    CUiRect source;
    CUiRect corner;
    std::uint32_t mask = 0;
    unsigned fade = 255;
    unsigned rotate = 0;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
    bool gdiplus = false;
    CUiSize size;
    CUiRect padding;
    CUiString align;
};

// Keys are matched exactly; a malformed pair ends the parse of its text, keeping the pairs
// read before it. With a host scaled away from 100 percent the image name gets the scaled
// file suffix ("btn.png" at 150 percent reads "btn@150.png").
void ParseImageDescription(DrawingDescription& description, const wchar_t* imageText,
                           const wchar_t* modifierText, IRenderHostUI* host);

}  // namespace Weft
