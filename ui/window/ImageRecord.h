#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/UiString.h"

namespace Gdiplus {
class Image;
}

namespace Weft {

// One decoded image: a 32-bit top-down DIB section with premultiplied blue, green, red and
// alpha bytes, and, for images drawn through GDI+, the GDI+ image of the same bytes. The
// record owns both, and the copy of the pixels kept for colour adjustment.
struct ImageRecord {
    ImageRecord() = default;
    ImageRecord(const ImageRecord&) = delete;
    ImageRecord& operator=(const ImageRecord&) = delete;
    ~ImageRecord();

    // Keeps a copy of the pixels as they are now, the starting point of colour adjustment.
    bool KeepLoadedPixels();

    Gdiplus::Image* gdiplusImage = nullptr;
    HBITMAP bitmap = nullptr;
    BYTE* pixels = nullptr;
    BYTE* loadedPixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool hasAlpha = false;
    bool keepPixels = false;
    CUiString resourceType;
    std::uint32_t mask = 0;
};

}  // namespace Weft
