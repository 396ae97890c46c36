#pragma once

#include "ui/core/ImageFactory.h"
#include "ui/window/RenderHost.h"

namespace Weft {

// Gives the resource tables the render engine's image loaders and description parser. The
// host, when given, supplies the scale percentage image names are adjusted for.
class CRenderImageFactory : public IImageFactoryUI {
  public:
    explicit CRenderImageFactory(IRenderHostUI* host = nullptr) : host_(host) {}

    ImageRecord* LoadImageRecord(const wchar_t* name, const wchar_t* type, std::uint32_t mask,
                                 bool keepPixels, bool gdiplus, HINSTANCE instance) override;
    void FreeImageRecord(ImageRecord* image) override;
    DrawingDescription* ParseDrawingDescription(const wchar_t* imageText,
                                                const wchar_t* modifierText) override;
    void FreeDrawingDescription(DrawingDescription* description) override;

  private:
    IRenderHostUI* host_;
};

}  // namespace Weft
