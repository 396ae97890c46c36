#include "ui/window/ImageRecord.h"

#include <cstring>
#include <new>

#include "ui/window/GdiplusHeaders.h"

namespace Weft {

ImageRecord::~ImageRecord() {
    delete gdiplusImage;
    if (bitmap != nullptr) {
        ::DeleteObject(bitmap);
    }
    delete[] loadedPixels;
}

bool ImageRecord::KeepLoadedPixels() {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    BYTE* copy = new (std::nothrow) BYTE[bytes];
    if (copy == nullptr) {
        return false;
    }
    std::memcpy(copy, pixels, bytes);
    delete[] loadedPixels;
    loadedPixels = copy;
    return true;
}

}  // namespace Weft
