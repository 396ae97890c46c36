#pragma once

#include <windows.h>

namespace Weft {

// A 32-bit top-down DIB section; *bits receives its pixel memory. Null on failure.
HBITMAP CreateTopDownDib(int width, int height, void** bits);

// One memory DC with a fresh DIB selected into it, released together.
class DibCanvas {
  public:
    DibCanvas(int width, int height) : dc_(::CreateCompatibleDC(nullptr)) {
        bitmap_ = CreateTopDownDib(width, height, reinterpret_cast<void**>(&bits_));
        if (dc_ != nullptr && bitmap_ != nullptr) {
            previous_ = ::SelectObject(dc_, bitmap_);
        }
    }
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool Ready() const { return previous_ != nullptr; }
    HDC Dc() const { return dc_; }
    BYTE* Bits() const { return bits_; }

  private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    BYTE* bits_ = nullptr;
};

}  // namespace Weft
