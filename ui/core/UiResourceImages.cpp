#include "ui/core/ResourceTableSet.h"
#include "ui/core/UiResourceTables.h"

namespace Weft {
namespace {

// "btn@150.png" falls back to "btn.png": the part before the first '@' followed by the part
// from the first '.'. Empty when the name lacks either character.
CUiString UnscaledName(const CUiString& name) {
    const int at = name.Find(L'@');
    const int dot = name.Find(L'.');
    if (at < 0 || dot < 0) return CUiString();
    return name.Prefix(at) + name.Substring(dot);
}

}  // namespace

ImageRecord* CUiResourceTables::AddImage(const wchar_t* name, const wchar_t* type,
                                         std::uint32_t mask, bool keepPixels, bool gdiplus,
                                         bool shared, HINSTANCE instance) {
    if (name == nullptr || *name == L'\0') return nullptr;
    ImageRecord* image = nullptr;
    if (type != nullptr && *type != L'\0') {
        if (name[0] < L'0' || name[0] > L'9') return nullptr;
        // Only 1 to 65535 can be passed as an integer resource name.
        const int id = _wtoi(name);
        if (id <= 0 || id > 0xFFFF) return nullptr;
        image = images_.LoadImageRecord(MAKEINTRESOURCEW(id), type, mask, keepPixels, gdiplus,
                                        instance);
    } else {
        image = images_.LoadImageRecord(name, nullptr, mask, keepPixels, gdiplus, instance);
        const CUiString fallback = image ? CUiString() : UnscaledName(CUiString(name));
        if (!fallback.IsEmpty()) {
            image = images_.LoadImageRecord(fallback, nullptr, mask, keepPixels, gdiplus, instance);
        }
    }
    if (image == nullptr) return nullptr;
    CUiStringPtrMap& table = Chosen(shared).images;
    if (auto* old = static_cast<ImageRecord*>(table.Find(name))) {
        images_.FreeImageRecord(old);
        table.Remove(name);
    }
    if (!table.Insert(name, image)) {
        images_.FreeImageRecord(image);
        return nullptr;
    }
    return image;
}

ImageRecord* CUiResourceTables::GetImage(const wchar_t* name) {
    if (name == nullptr) return nullptr;
    auto* image = static_cast<ImageRecord*>(own_->images.Find(name));
    return image ? image : static_cast<ImageRecord*>(Shared().tables.images.Find(name));
}

ImageRecord* CUiResourceTables::FindOrLoadImage(const wchar_t* name, const wchar_t* type,
                                                std::uint32_t mask, bool keepPixels, bool gdiplus,
                                                HINSTANCE instance) {
    ImageRecord* image = GetImage(name);
    return image ? image : AddImage(name, type, mask, keepPixels, gdiplus, false, instance);
}

DrawingDescription* CUiResourceTables::GetDrawingDescription(const wchar_t* imageText,
                                                             const wchar_t* modifierText) {
    CUiString key(imageText);
    key.Append(modifierText);
    auto* description = static_cast<DrawingDescription*>(drawingCache_.Find(key));
    if (description != nullptr || key.IsEmpty()) return description;
    description = images_.ParseDrawingDescription(imageText, modifierText);
    if (description != nullptr && !drawingCache_.Insert(key, description)) {
        images_.FreeDrawingDescription(description);
        return nullptr;
    }
    return description;
}

void CUiResourceTables::RemoveAllImages(bool shared) {
    FreeAllValues<ImageRecord>(Clearing(shared).images,
                               [this](ImageRecord* image) { images_.FreeImageRecord(image); });
}

void CUiResourceTables::RemoveAllDrawingDescriptions() {
    FreeAllValues<DrawingDescription>(drawingCache_, [this](DrawingDescription* description) {
        images_.FreeDrawingDescription(description);
    });
}

}  // namespace Weft
