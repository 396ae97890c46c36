#include "ui/window/GradientBands.h"

#include <initializer_list>

namespace Weft {
namespace {

BYTE Channel(std::uint32_t colour, int shift) {
    return static_cast<BYTE>(colour >> shift);
}

int BandCount(int steps) {
    for (int n : {64, 32, 16, 8, 4}) {
        if (steps >= n) {
            return n;
        }
    }
    return 2;
}

}  // namespace

void GradientInBands(HDC dc, const CUiRect& rect, std::uint32_t first, std::uint32_t second,
                     bool vertical, int steps) {
    const int n = BandCount(steps);
    const int length = vertical ? rect.Height() : rect.Width();
    for (int i = 0; i < n; ++i) {
        BYTE rgb[3];
        for (int c = 0; c < 3; ++c) {
            const int shift = 16 - 8 * c;
            rgb[c] = static_cast<BYTE>(
                (Channel(first, shift) * (n - i) + Channel(second, shift) * i) / n);
        }
        CUiRect band = rect;
        const int from = length * i / n;
        const int to = length * (i + 1) / n;
        if (vertical) {
            band.top = rect.top + from;
            band.bottom = rect.top + to;
        } else {
            band.left = rect.left + from;
            band.right = rect.left + to;
        }
        const HBRUSH brush = ::CreateSolidBrush(RGB(rgb[0], rgb[1], rgb[2]));
        ::FillRect(dc, &band, brush);
        ::DeleteObject(brush);
    }
}

}  // namespace Weft
