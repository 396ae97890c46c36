#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/FontRecord.h"
#include "ui/core/ImageFactory.h"
#include "ui/core/UiPtrArray.h"
#include "ui/core/UiScale.h"
#include "ui/core/UiStringPtrMap.h"

namespace Weft {

// The five default colours every manager starts from.
struct ResourceTableSet;

enum class DefaultColour { DisabledText, Text, LinkText, LinkHoverText, SelectedBackground };

// The named resources of one paint manager: fonts by number, images by name, default attribute
// lists by control class, styles by name and the cache of parsed image descriptions, with the
// default colours and font. Every table but the cache also exists once for the whole process;
// the `shared` arguments (or the use-shared-resources flag) choose that copy. Lookups try the
// manager's own table first, then the shared one.
class CUiResourceTables {
  public:
    explicit CUiResourceTables(IImageFactoryUI& images);
    CUiResourceTables(const CUiResourceTables&) = delete;
    CUiResourceTables& operator=(const CUiResourceTables&) = delete;
    ~CUiResourceTables();

    // The manager's window DC; fonts added while one is set are measured at once.
    void SetMeasureContext(HDC dc) { measureContext_ = dc; }
    void SetUseSharedResources(bool useShared) { useShared_ = useShared; }
    bool GetUseSharedResources() const { return useShared_; }
    CUiScale& GetScale();

    HFONT AddFont(int number, const wchar_t* face, int size, bool bold, bool underline, bool italic,
                  bool shared = false);
    // A negative or unknown number gives the default font, so text always has a font.
    FontRecord* GetFont(int number);
    FontRecord* GetFontByHandle(HFONT font);
    HFONT FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    void SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic,
                        bool shared = false);
    FontRecord* GetDefaultFont();
    // Creates this table's fonts (not the shared ones) again at the scale as it is now, for a
    // window that moved to a display of another DPI. The handles change; the numbers stay.
    void RescaleFonts();

    void SetDefaultColour(DefaultColour which, std::uint32_t colour, bool shared = false);
    std::uint32_t GetDefaultColour(DefaultColour which) const;

    ImageRecord* AddImage(const wchar_t* name, const wchar_t* type = nullptr,
                          std::uint32_t mask = 0, bool keepPixels = false, bool gdiplus = false,
                          bool shared = false, HINSTANCE instance = nullptr);
    ImageRecord* GetImage(const wchar_t* name);
    ImageRecord* FindOrLoadImage(const wchar_t* name, const wchar_t* type = nullptr,
                                 std::uint32_t mask = 0, bool keepPixels = false,
                                 bool gdiplus = false, HINSTANCE instance = nullptr);
    DrawingDescription* GetDrawingDescription(const wchar_t* imageText,
                                              const wchar_t* modifierText);

    // A later list for the same class replaces the earlier one.
    void AddDefaultAttributes(const wchar_t* className, const wchar_t* attributes,
                              bool shared = false);
    const wchar_t* GetDefaultAttributes(const wchar_t* className);
    // The first style of a name wins; a later one is dropped.
    void AddStyle(const wchar_t* name, const wchar_t* attributes, bool shared = false);
    const wchar_t* GetStyle(const wchar_t* name);

    // Installs the fonts of a font file privately for the process until the tables go.
    bool AddFontFile(const wchar_t* fileName);

    void RemoveAllFonts(bool shared = false);
    void RemoveAllImages(bool shared = false);
    void RemoveAllDefaultAttributes(bool shared = false);
    void RemoveAllStyles(bool shared = false);
    void RemoveAllDrawingDescriptions();

  private:
    // The table set an add goes to, and the one a clear empties.
    ResourceTableSet& Chosen(bool shared);
    ResourceTableSet& Clearing(bool shared);
    FontRecord* Measured(FontRecord* record);

    IImageFactoryUI& images_;
    ResourceTableSet* own_;
    CUiStringPtrMap drawingCache_;
    std::uint32_t colours_[5];
    FontRecord defaultFont_;
    bool useShared_ = false;
    HDC measureContext_ = nullptr;
    CUiScale* scale_ = nullptr;
    CUiPtrArray fontResources_;
};

}  // namespace Weft
