#pragma once

#include <windows.h>

#include <cstdint>

namespace Weft {

// Defined by the render engine, which loads, draws and frees them; the resource tables only
// keep them by name.
struct ImageRecord;
struct DrawingDescription;

// How the resource tables reach the render engine's image loaders and description parser
// without depending on the layer above them. The paint manager hands its tables one.
class IImageFactoryUI {
  public:
    // Loads an image by file name, or, with a type, from the module's resources (the name is
    // then an integer resource id). The record returned already carries keepPixels, the type
    // text and the mask, and with keepPixels a copy of its pixels as loaded. Null on failure.
    virtual ImageRecord* LoadImageRecord(const wchar_t* name, const wchar_t* type,
                                         std::uint32_t mask, bool keepPixels, bool gdiplus,
                                         HINSTANCE instance) = 0;
    virtual void FreeImageRecord(ImageRecord* image) = 0;
    virtual DrawingDescription* ParseDrawingDescription(const wchar_t* imageText,
                                                        const wchar_t* modifierText) = 0;
    virtual void FreeDrawingDescription(DrawingDescription* description) = 0;

  protected:
    ~IImageFactoryUI() = default;
};

}  // namespace Weft
