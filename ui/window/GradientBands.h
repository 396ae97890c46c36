#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/UiRect.h"

namespace Weft {

// The gradient without "GradientFill": 2 to 64 solid bands (the most that `steps` allows of
// 64, 32, 16, 8 and 4) stepping linearly from the first colour to the second.
void GradientInBands(HDC dc, const CUiRect& rect, std::uint32_t first, std::uint32_t second,
                     bool vertical, int steps);

}  // namespace Weft
