#include <cwchar>

#include "ui/core/ResourceTableSet.h"
#include "ui/core/UiResourceTables.h"

namespace Weft {
namespace {

LOGFONTW StockLogFont() {
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return font;
}

// The stock GUI font restyled. A default font made bold is heavier than the stock weight by
// 700, where a numbered font is simply 700.
LOGFONTW StyledLogFont(const wchar_t* face, int height, bool bold, bool boldAddsToStock,
                       bool underline, bool italic) {
    LOGFONTW font = StockLogFont();
    if (face != nullptr && *face != L'\0') lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfHeight = -height;
    if (bold) font.lfWeight = boldAddsToStock ? font.lfWeight + FW_BOLD : FW_BOLD;
    if (underline) font.lfUnderline = TRUE;
    if (italic) font.lfItalic = TRUE;
    return font;
}

void FillRecord(FontRecord& record, HFONT font, const LOGFONTW& logFont, int size, bool bold,
                bool underline, bool italic) {
    record.font = font;
    record.faceName = logFont.lfFaceName;
    record.size = size;
    record.bold = bold;
    record.underline = underline;
    record.italic = italic;
    record.metrics = TEXTMETRICW{};
}

void Measure(FontRecord& record, HDC dc) {
    const HGDIOBJ previous = SelectObject(dc, record.font);
    GetTextMetricsW(dc, &record.metrics);
    SelectObject(dc, previous);
}

void DeleteFontRecord(FontRecord* record) {
    DeleteObject(record->font);
    delete record;
}

CUiString FontKey(int number) {
    wchar_t key[16];
    swprintf(key, 16, L"%d", number);
    return CUiString(key);
}

}  // namespace

SharedResources& Shared() {
    static SharedResources* shared = new SharedResources;
    return *shared;
}

CUiResourceTables::CUiResourceTables(IImageFactoryUI& images)
    : images_(images), own_(new ResourceTableSet) {
    SharedResources& shared = Shared();
    if (shared.defaultFont.font == nullptr) {
        LOGFONTW stock = StockLogFont();
        stock.lfCharSet = DEFAULT_CHARSET;
        FillRecord(shared.defaultFont, CreateFontIndirectW(&stock), stock, -stock.lfHeight,
                   stock.lfWeight >= FW_BOLD, stock.lfUnderline != 0, stock.lfItalic != 0);
    }
    for (int i = 0; i < 5; ++i) colours_[i] = shared.colours[i];
}

CUiResourceTables::~CUiResourceTables() {
    RemoveAllFonts();
    RemoveAllImages();
    RemoveAllDefaultAttributes();
    RemoveAllStyles();
    RemoveAllDrawingDescriptions();
    if (defaultFont_.font != nullptr) DeleteObject(defaultFont_.font);
    for (int i = 0; i < fontResources_.Count(); ++i) RemoveFontMemResourceEx(fontResources_[i]);
    delete scale_;
    delete own_;
}

CUiScale& CUiResourceTables::GetScale() {
    if (scale_ == nullptr) scale_ = new CUiScale;
    return *scale_;
}

ResourceTableSet& CUiResourceTables::Chosen(bool shared) {
    return Clearing(shared || useShared_);
}

// Clearing ignores the use-shared flag: a manager going away must not empty the shared tables.
ResourceTableSet& CUiResourceTables::Clearing(bool shared) {
    return shared ? Shared().tables : *own_;
}

// Without a window DC yet, a screen-compatible DC measures the font, so the metrics are never
// left empty for a caller that lays text out.
FontRecord* CUiResourceTables::Measured(FontRecord* record) {
    if (record == nullptr || record->font == nullptr || record->metrics.tmHeight != 0) {
        return record;
    }
    if (measureContext_ != nullptr) {
        Measure(*record, measureContext_);
    } else if (HDC screen = CreateCompatibleDC(nullptr)) {
        Measure(*record, screen);
        DeleteDC(screen);
    }
    return record;
}

HFONT CUiResourceTables::AddFont(int number, const wchar_t* face, int size, bool bold,
                                 bool underline, bool italic, bool shared) {
    const LOGFONTW logFont =
        StyledLogFont(face, GetScale().Scale(size), bold, false, underline, italic);
    const HFONT font = CreateFontIndirectW(&logFont);
    if (font == nullptr) return nullptr;
    auto* record = new FontRecord;
    FillRecord(*record, font, logFont, size, bold, underline, italic);
    if (measureContext_ != nullptr) Measure(*record, measureContext_);
    CUiStringPtrMap& fonts = Chosen(shared).fonts;
    const CUiString key = FontKey(number);
    if (auto* old = static_cast<FontRecord*>(fonts.Find(key))) {
        DeleteFontRecord(old);
        fonts.Remove(key);
    }
    if (!fonts.Insert(key, record)) {
        DeleteFontRecord(record);
        return nullptr;
    }
    return font;
}

FontRecord* CUiResourceTables::GetFont(int number) {
    if (number < 0) return GetDefaultFont();
    const CUiString key = FontKey(number);
    auto* record = static_cast<FontRecord*>(own_->fonts.Find(key));
    if (record == nullptr) record = static_cast<FontRecord*>(Shared().tables.fonts.Find(key));
    return record ? Measured(record) : GetDefaultFont();
}

FontRecord* CUiResourceTables::GetFontByHandle(HFONT font) {
    const auto sameHandle = [font](FontRecord* record) { return record->font == font; };
    FontRecord* record = FindValue<FontRecord>(own_->fonts, sameHandle);
    if (record == nullptr) record = FindValue<FontRecord>(Shared().tables.fonts, sameHandle);
    return record ? Measured(record) : GetDefaultFont();
}

HFONT CUiResourceTables::FindFont(const wchar_t* face, int size, bool bold, bool underline,
                                  bool italic) {
    const auto sameStyle = [&](FontRecord* record) {
        return record->faceName.Compare(face) == 0 && record->size == size &&
               record->bold == bold && record->underline == underline && record->italic == italic;
    };
    FontRecord* record = FindValue<FontRecord>(own_->fonts, sameStyle);
    if (record == nullptr) record = FindValue<FontRecord>(Shared().tables.fonts, sameStyle);
    return record ? record->font : nullptr;
}

void CUiResourceTables::SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline,
                                       bool italic, bool shared) {
    const LOGFONTW logFont =
        StyledLogFont(face, GetScale().Scale(size), bold, true, underline, italic);
    const HFONT font = CreateFontIndirectW(&logFont);
    if (font == nullptr) return;
    FontRecord& record = shared ? Shared().defaultFont : defaultFont_;
    if (record.font != nullptr) DeleteObject(record.font);
    FillRecord(record, font, logFont, size, bold, underline, italic);
    if (measureContext_ != nullptr) Measure(record, measureContext_);
}

FontRecord* CUiResourceTables::GetDefaultFont() {
    return Measured(defaultFont_.faceName.IsEmpty() ? &Shared().defaultFont : &defaultFont_);
}

void CUiResourceTables::RescaleFonts() {
    const auto rescale = [this](FontRecord& record, bool boldAddsToStock) {
        const LOGFONTW logFont =
            StyledLogFont(record.faceName, GetScale().Scale(record.size), record.bold,
                          boldAddsToStock, record.underline, record.italic);
        const HFONT font = CreateFontIndirectW(&logFont);
        if (font == nullptr) return;  // the old size beats no font at all
        DeleteObject(record.font);
        record.font = font;
        record.metrics = TEXTMETRICW{};
        if (measureContext_ != nullptr) Measure(record, measureContext_);
    };
    FindValue<FontRecord>(own_->fonts, [&](FontRecord* record) {
        rescale(*record, false);
        return false;
    });
    if (defaultFont_.font != nullptr) rescale(defaultFont_, true);
}

void CUiResourceTables::RemoveAllFonts(bool shared) {
    FreeAllValues<FontRecord>(Clearing(shared).fonts, DeleteFontRecord);
}

}  // namespace Weft
