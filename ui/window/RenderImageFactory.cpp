#include "ui/window/RenderImageFactory.h"

#include <new>

#include "ui/window/RenderEngine.h"

namespace Weft {

ImageRecord* CRenderImageFactory::LoadImageRecord(const wchar_t* name, const wchar_t* type,
                                                  std::uint32_t mask, bool keepPixels, bool gdiplus,
                                                  HINSTANCE instance) {
    ImageRecord* image = gdiplus ? CRenderEngine::LoadImageRecord(name, type, mask, instance)
                                 : CRenderEngine::LoadBitmapRecord(name, type, mask, instance);
    if (image == nullptr) {
        return nullptr;
    }
    image->keepPixels = keepPixels;
    image->resourceType = type;
    image->mask = mask;
    if (keepPixels) {
        image->KeepLoadedPixels();
    }
    return image;
}

void CRenderImageFactory::FreeImageRecord(ImageRecord* image) {
    delete image;
}

DrawingDescription* CRenderImageFactory::ParseDrawingDescription(const wchar_t* imageText,
                                                                 const wchar_t* modifierText) {
    auto* description = new (std::nothrow) DrawingDescription;
    if (description != nullptr) {
        ParseImageDescription(*description, imageText, modifierText, host_);
    }
    return description;
}

void CRenderImageFactory::FreeDrawingDescription(DrawingDescription* description) {
    delete description;
}

}  // namespace Weft
