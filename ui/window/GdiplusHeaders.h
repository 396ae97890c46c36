#pragma once

// GDI+'s headers expect min and max, which the build turns off for <windows.h>, and the
// COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
