#pragma once

#include <windows.h>

#include "ui/core/UiString.h"

namespace Weft {

// One font of a resource table; the table owns the handle. The metrics are measured on first
// need (a zero height means not yet measured).
struct FontRecord {
    HFONT font = nullptr;
    CUiString faceName;
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics = {};
};

}  // namespace Weft
