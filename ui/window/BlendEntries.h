#pragma once

#include <windows.h>

namespace Weft {

using AlphaBlendEntry = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                      BLENDFUNCTION);
using GradientFillEntry = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// The "msimg32.dll" primitives, resolved once per process; the first call loads the module
// from the system directory. Without the module the alpha blend is SoftwareAlphaBlend and
// there is no gradient primitive.
struct BlendEntries {
    AlphaBlendEntry alphaBlend;
    GradientFillEntry gradientFill;
};
const BlendEntries& GetBlendEntries();

// Blends a (stretched) premultiplied source part onto the destination as the system's
// AlphaBlend does with AC_SRC_ALPHA. False when a DC or DIB cannot be made.
BOOL WINAPI SoftwareAlphaBlend(HDC dest, int x, int y, int width, int height, HDC source, int sx,
                               int sy, int sourceWidth, int sourceHeight, BLENDFUNCTION blend);

}  // namespace Weft
