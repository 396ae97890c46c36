#include <vector>

#include "ui/core/ResourceFiles.h"
#include "ui/core/ResourceTableSet.h"
#include "ui/core/UiResourceTables.h"

namespace Weft {
namespace {

void DeleteString(CUiString* text) {
    delete text;
}

const wchar_t* FindText(CUiStringPtrMap& own, CUiStringPtrMap& shared, const wchar_t* key) {
    if (key == nullptr) return nullptr;
    auto* text = static_cast<CUiString*>(own.Find(key));
    if (text == nullptr) text = static_cast<CUiString*>(shared.Find(key));
    return text ? text->GetData() : nullptr;
}

}  // namespace

void CUiResourceTables::SetDefaultColour(DefaultColour which, std::uint32_t colour, bool shared) {
    const auto index = static_cast<int>(which);
    if (shared) {
        std::uint32_t& sharedColour = Shared().colours[index];
        if (colours_[index] == sharedColour) colours_[index] = colour;
        sharedColour = colour;
    } else {
        colours_[index] = colour;
    }
}

std::uint32_t CUiResourceTables::GetDefaultColour(DefaultColour which) const {
    return colours_[static_cast<int>(which)];
}

void CUiResourceTables::AddDefaultAttributes(const wchar_t* className, const wchar_t* attributes,
                                             bool shared) {
    if (className == nullptr) return;
    // Set gives back the replaced list, or the new one itself when it could not be stored.
    delete static_cast<CUiString*>(
        Chosen(shared).defaultAttributes.Set(className, new CUiString(attributes)));
}

const wchar_t* CUiResourceTables::GetDefaultAttributes(const wchar_t* className) {
    return FindText(own_->defaultAttributes, Shared().tables.defaultAttributes, className);
}

void CUiResourceTables::AddStyle(const wchar_t* name, const wchar_t* attributes, bool shared) {
    if (name == nullptr) return;
    auto* style = new CUiString(attributes);
    if (!Chosen(shared).styles.Insert(name, style)) delete style;
}

const wchar_t* CUiResourceTables::GetStyle(const wchar_t* name) {
    return FindText(own_->styles, Shared().tables.styles, name);
}

bool CUiResourceTables::AddFontFile(const wchar_t* fileName) {
    std::vector<BYTE> bytes;
    if (!ReadResourceFile(fileName, bytes)) return false;
    DWORD fonts = 0;
    HANDLE resource =
        AddFontMemResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &fonts);
    if (resource == nullptr) return false;
    if (!fontResources_.Push(resource)) {
        RemoveFontMemResourceEx(resource);
        return false;
    }
    return true;
}

void CUiResourceTables::RemoveAllDefaultAttributes(bool shared) {
    FreeAllValues<CUiString>(Clearing(shared).defaultAttributes, DeleteString);
}

void CUiResourceTables::RemoveAllStyles(bool shared) {
    FreeAllValues<CUiString>(Clearing(shared).styles, DeleteString);
}

}  // namespace Weft
