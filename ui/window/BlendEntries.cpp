#include "ui/window/BlendEntries.h"

#include "ui/window/DibSection.h"

namespace Weft {
namespace {

BlendEntries Resolve() {
    BlendEntries entries{SoftwareAlphaBlend, nullptr};
    // Loaded here rather than looked up, so the first draw of the process gets the system's
    // primitives whoever draws first; only the system directory is searched, so a planted
    // copy beside the program is never picked up.
    const HMODULE module = ::LoadLibraryExW(L"msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) {
        return entries;
    }
    if (FARPROC blend = ::GetProcAddress(module, "AlphaBlend")) {
        entries.alphaBlend = reinterpret_cast<AlphaBlendEntry>(reinterpret_cast<void*>(blend));
    }
    if (FARPROC gradient = ::GetProcAddress(module, "GradientFill")) {
        entries.gradientFill =
            reinterpret_cast<GradientFillEntry>(reinterpret_cast<void*>(gradient));
    }
    return entries;
}

}  // namespace

const BlendEntries& GetBlendEntries() {
    static const BlendEntries entries = Resolve();
    return entries;
}

BOOL WINAPI SoftwareAlphaBlend(HDC dest, int x, int y, int width, int height, HDC source, int sx,
                               int sy, int sourceWidth, int sourceHeight, BLENDFUNCTION blend) {
    DibCanvas top(width, height);
    DibCanvas bottom(width, height);
    if (!top.Ready() || !bottom.Ready()) {
        return FALSE;
    }
    ::SetStretchBltMode(top.Dc(), COLORONCOLOR);
    ::StretchBlt(top.Dc(), 0, 0, width, height, source, sx, sy, sourceWidth, sourceHeight, SRCCOPY);
    ::BitBlt(bottom.Dc(), 0, 0, width, height, dest, x, y, SRCCOPY);
    ::GdiFlush();

    // The source is premultiplied: its colours already carry their own alpha, so only the
    // constant alpha scales them, while the destination keeps what the source leaves.
    const unsigned constant = blend.SourceConstantAlpha;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    BYTE* s = top.Bits();
    BYTE* d = bottom.Bits();
    for (long i = 0, n = static_cast<long>(width) * height; i < n; ++i, s += 4, d += 4) {
        const unsigned sourceAlpha = perPixel ? s[3] : 255;
        const unsigned cover = sourceAlpha * constant / 255;
        for (int c = 0; c < 4; ++c) {
            const unsigned value = (s[c] * constant + d[c] * (255 - cover)) / 255;
            d[c] = static_cast<BYTE>(value < 255 ? value : 255);
        }
    }
    ::BitBlt(dest, x, y, width, height, bottom.Dc(), 0, 0, SRCCOPY);
    return TRUE;
}

}  // namespace Weft
