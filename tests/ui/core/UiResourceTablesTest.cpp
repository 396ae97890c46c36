// The resource tables: fonts, images, drawing descriptions, default attribute lists, styles and
// default colours, per manager and shared.
#include "ui/core/UiResourceTables.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace Weft {

// This test program links no render engine, so it gives the two record types a shape of its
// own: what was asked for, to be read back by the tests.
struct ImageRecord {
    std::wstring name;
    std::wstring type;
    std::uint32_t mask;
    bool keepPixels;
    bool gdiplus;
    HINSTANCE instance;
};

struct DrawingDescription {
    std::wstring imageText;
    std::wstring modifierText;
};

namespace {

// Loads the file names it was told exist and resource ids of any number.
class FakeImageFactory : public IImageFactoryUI {
  public:
    ImageRecord* LoadImageRecord(const wchar_t* name, const wchar_t* type, std::uint32_t mask,
                                 bool keepPixels, bool gdiplus, HINSTANCE instance) override {
        const std::wstring asked = IS_INTRESOURCE(name)
                                       ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                                       : std::wstring(name);
        loads.push_back(asked);
        if (type == nullptr && files.count(asked) == 0) return nullptr;
        auto* image =
            new ImageRecord{asked, type ? type : L"", mask, keepPixels, gdiplus, instance};
        live.insert(image);
        return image;
    }
    void FreeImageRecord(ImageRecord* image) override {
        EXPECT_EQ(live.erase(image), 1u);
        delete image;
    }
    DrawingDescription* ParseDrawingDescription(const wchar_t* imageText,
                                                const wchar_t* modifierText) override {
        ++parses;
        return new DrawingDescription{imageText ? imageText : L"",
                                      modifierText ? modifierText : L""};
    }
    void FreeDrawingDescription(DrawingDescription* description) override {
        ++descriptionFrees;
        delete description;
    }

    std::set<std::wstring> files;
    std::vector<std::wstring> loads;
    std::set<ImageRecord*> live;
    int parses = 0;
    int descriptionFrees = 0;
};

LOGFONTW LogFontOf(HFONT font) {
    LOGFONTW logFont{};
    GetObjectW(font, sizeof(logFont), &logFont);
    return logFont;
}

class ResourceTables : public ::testing::Test {
  protected:
    void TearDown() override {
        CUiResourceTables cleaner(factory_);
        cleaner.RemoveAllFonts(true);
        cleaner.RemoveAllImages(true);
        cleaner.RemoveAllDefaultAttributes(true);
        cleaner.RemoveAllStyles(true);
    }
    FakeImageFactory factory_;
};

TEST_F(ResourceTables, ANegativeOrUnknownNumberGivesTheDefaultFont) {
    CUiResourceTables tables(factory_);
    FontRecord* fallback = tables.GetDefaultFont();
    ASSERT_NE(fallback, nullptr);
    ASSERT_NE(fallback->font, nullptr);
    EXPECT_EQ(tables.GetFont(-1), fallback);
    EXPECT_EQ(tables.GetFont(7), fallback);
    EXPECT_GT(fallback->metrics.tmHeight, 0);
    const LOGFONTW stock = LogFontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_EQ(fallback->size, -stock.lfHeight);
    EXPECT_EQ(fallback->faceName.Compare(stock.lfFaceName), 0);
    EXPECT_EQ(LogFontOf(fallback->font).lfCharSet, DEFAULT_CHARSET);
}

TEST_F(ResourceTables, AddFontMakesABoldFontOfWeight700) {
    CUiResourceTables tables(factory_);
    const HFONT font = tables.AddFont(1, L"Tahoma", 14, true, true, false);
    ASSERT_NE(font, nullptr);
    const LOGFONTW logFont = LogFontOf(font);
    EXPECT_EQ(logFont.lfWeight, 700);
    EXPECT_EQ(logFont.lfHeight, -14);
    EXPECT_TRUE(logFont.lfUnderline);
    EXPECT_FALSE(logFont.lfItalic);
    EXPECT_EQ(logFont.lfCharSet, DEFAULT_CHARSET);
    FontRecord* record = tables.GetFont(1);
    EXPECT_EQ(record->font, font);
    EXPECT_EQ(record->faceName.Compare(L"Tahoma"), 0);
    EXPECT_EQ(record->size, 14);
    EXPECT_TRUE(record->bold);
    EXPECT_TRUE(record->underline);
    EXPECT_GT(record->metrics.tmHeight, 0);
}

TEST_F(ResourceTables, AnEmptyFaceKeepsTheStockFaceAndALongOneIsCut) {
    CUiResourceTables tables(factory_);
    const LOGFONTW stock = LogFontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    tables.AddFont(0, L"", 12, false, false, true);
    EXPECT_EQ(tables.GetFont(0)->faceName.Compare(stock.lfFaceName), 0);
    EXPECT_EQ(LogFontOf(tables.GetFont(0)->font).lfWeight, stock.lfWeight);
    const std::wstring longFace(40, L'F');
    tables.AddFont(2, longFace.c_str(), 12, false, false, false);
    EXPECT_EQ(tables.GetFont(2)->faceName.GetLength(), LF_FACESIZE - 1);
}

TEST_F(ResourceTables, AddingAPresentNumberReplacesTheFontAndDeletesTheOldHandle) {
    CUiResourceTables tables(factory_);
    const HFONT first = tables.AddFont(3, L"Arial", 12, false, false, false);
    const HFONT second = tables.AddFont(3, L"Arial", 20, false, false, false);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(tables.GetFont(3)->font, second);
    EXPECT_EQ(tables.GetFont(3)->size, 20);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_FONT));
}

TEST_F(ResourceTables, SetDefaultFontAddsSevenHundredToTheStockWeight) {
    CUiResourceTables tables(factory_);
    const LOGFONTW stock = LogFontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    tables.SetDefaultFont(L"Arial", 13, true, false, false);
    FontRecord* record = tables.GetDefaultFont();
    EXPECT_EQ(LogFontOf(record->font).lfWeight, stock.lfWeight + 700);
    EXPECT_EQ(record->faceName.Compare(L"Arial"), 0);
    EXPECT_EQ(record->size, 13);
    EXPECT_EQ(tables.GetFont(-1), record);
    CUiResourceTables other(factory_);
    EXPECT_NE(other.GetDefaultFont(), record);
}

TEST_F(ResourceTables, TheSharedDefaultFontServesManagersWithoutOne) {
    CUiResourceTables first(factory_);
    CUiResourceTables second(factory_);
    EXPECT_EQ(first.GetDefaultFont(), second.GetDefaultFont());
    const FontRecord* shared = first.GetDefaultFont();
    const CUiString oldFace = shared->faceName;
    const int oldSize = shared->size;
    first.SetDefaultFont(L"Courier New", 11, false, false, true, true);
    EXPECT_EQ(second.GetDefaultFont()->faceName.Compare(L"Courier New"), 0);
    EXPECT_TRUE(LogFontOf(second.GetDefaultFont()->font).lfItalic);
    first.SetDefaultFont(oldFace, oldSize, false, false, false, true);
}

TEST_F(ResourceTables, FontsLookUpOwnThenSharedByNumberHandleAndStyle) {
    CUiResourceTables tables(factory_);
    CUiResourceTables other(factory_);
    const HFONT shared = other.AddFont(4, L"Verdana", 10, false, false, false, true);
    const HFONT own = tables.AddFont(5, L"Verdana", 10, false, false, false);
    EXPECT_EQ(tables.GetFont(4)->font, shared);
    EXPECT_EQ(tables.GetFontByHandle(shared)->font, shared);
    EXPECT_EQ(tables.GetFontByHandle(own)->font, own);
    EXPECT_EQ(tables.GetFontByHandle(nullptr), tables.GetDefaultFont());
    EXPECT_EQ(tables.FindFont(L"Verdana", 10, false, false, false), own);
    EXPECT_EQ(other.FindFont(L"Verdana", 10, false, false, false), shared);
    EXPECT_EQ(tables.FindFont(L"verdana", 10, false, false, false), nullptr);
    EXPECT_EQ(tables.FindFont(L"Verdana", 10, true, false, false), nullptr);
    tables.AddFont(4, L"Georgia", 9, false, false, false);
    EXPECT_EQ(tables.GetFont(4)->faceName.Compare(L"Georgia"), 0);
    EXPECT_EQ(other.GetFont(4)->font, shared);
}

TEST_F(ResourceTables, TheUseSharedFlagSendsEveryAddToTheSharedTables) {
    CUiResourceTables tables(factory_);
    tables.SetUseSharedResources(true);
    tables.AddFont(6, L"Arial", 12, false, false, false);
    tables.AddStyle(L"s", L"a=\"1\"");
    CUiResourceTables other(factory_);
    EXPECT_EQ(other.GetFont(6)->faceName.Compare(L"Arial"), 0);
    EXPECT_STREQ(other.GetStyle(L"s"), L"a=\"1\"");
    tables.RemoveAllFonts();
    EXPECT_EQ(other.GetFont(6)->faceName.Compare(L"Arial"), 0);
}

TEST_F(ResourceTables, FontSizesFollowTheScaleButAreStoredUnscaled) {
    CUiResourceTables tables(factory_);
    tables.GetScale().SetPercentage(150);
    const HFONT font = tables.AddFont(8, L"Arial", 12, false, false, false);
    EXPECT_EQ(LogFontOf(font).lfHeight, -18);
    EXPECT_EQ(tables.GetFont(8)->size, 12);
}

TEST_F(ResourceTables, DefaultColoursStartFromTheSharedValues) {
    CUiResourceTables tables(factory_);
    EXPECT_EQ(tables.GetDefaultColour(DefaultColour::DisabledText), 0xFFA7A6AAu);
    EXPECT_EQ(tables.GetDefaultColour(DefaultColour::Text), 0xFF000000u);
    EXPECT_EQ(tables.GetDefaultColour(DefaultColour::LinkText), 0xFF0000FFu);
    EXPECT_EQ(tables.GetDefaultColour(DefaultColour::LinkHoverText), 0xFFD3215Fu);
    EXPECT_EQ(tables.GetDefaultColour(DefaultColour::SelectedBackground), 0xFFBAE4FFu);
}

TEST_F(ResourceTables, ASharedColourIsFollowedOnlyByManagersStillOnTheOldValue) {
    CUiResourceTables changed(factory_);
    CUiResourceTables setter(factory_);
    changed.SetDefaultColour(DefaultColour::Text, 0xFF111111);
    setter.SetDefaultColour(DefaultColour::Text, 0xFF222222, true);
    EXPECT_EQ(setter.GetDefaultColour(DefaultColour::Text), 0xFF222222u);
    EXPECT_EQ(changed.GetDefaultColour(DefaultColour::Text), 0xFF111111u);
    CUiResourceTables later(factory_);
    EXPECT_EQ(later.GetDefaultColour(DefaultColour::Text), 0xFF222222u);
    setter.SetDefaultColour(DefaultColour::Text, 0xFF000000, true);
    EXPECT_EQ(CUiResourceTables(factory_).GetDefaultColour(DefaultColour::Text), 0xFF000000u);
}

TEST_F(ResourceTables, AddImagePassesItsOptionsAndReplacesByName) {
    factory_.files = {L"bk.png"};
    CUiResourceTables tables(factory_);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ImageRecord* first =
        tables.AddImage(L"bk.png", nullptr, 0xFFFF00FF, true, true, false, instance);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->mask, 0xFFFF00FFu);
    EXPECT_TRUE(first->keepPixels);
    EXPECT_TRUE(first->gdiplus);
    EXPECT_EQ(first->instance, instance);
    EXPECT_EQ(tables.GetImage(L"bk.png"), first);
    ImageRecord* second = tables.AddImage(L"bk.png");
    EXPECT_EQ(tables.GetImage(L"bk.png"), second);
    EXPECT_EQ(factory_.live, (std::set<ImageRecord*>{second}));
    EXPECT_EQ(tables.AddImage(L"missing.png"), nullptr);
    EXPECT_EQ(tables.GetImage(L"missing.png"), nullptr);
    EXPECT_EQ(tables.AddImage(L""), nullptr);
    EXPECT_EQ(tables.AddImage(nullptr), nullptr);
}

TEST_F(ResourceTables, AScaledNameFallsBackToTheUnscaledFile) {
    factory_.files = {L"btn.png"};
    CUiResourceTables tables(factory_);
    ImageRecord* image = tables.AddImage(L"btn@150.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->name, L"btn.png");
    EXPECT_EQ(factory_.loads, (std::vector<std::wstring>{L"btn@150.png", L"btn.png"}));
    EXPECT_EQ(tables.GetImage(L"btn@150.png"), image);
    EXPECT_EQ(tables.AddImage(L"plain.png"), nullptr);
    EXPECT_EQ(factory_.loads.size(), 3u);
}

TEST_F(ResourceTables, AResourceImageNeedsANumericName) {
    CUiResourceTables tables(factory_);
    EXPECT_EQ(tables.AddImage(L"logo", L"PNG"), nullptr);
    EXPECT_TRUE(factory_.loads.empty());
    ImageRecord* image = tables.AddImage(L"101.png", L"PNG");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->name, L"#101");
    EXPECT_EQ(image->type, L"PNG");
    EXPECT_EQ(tables.GetImage(L"101.png"), image);
    EXPECT_EQ(tables.AddImage(L"0", L"PNG"), nullptr);
    EXPECT_EQ(tables.AddImage(L"70000", L"PNG"), nullptr);
}

TEST_F(ResourceTables, FindOrLoadImageLoadsOnceAndLooksIntoTheSharedTable) {
    factory_.files = {L"a.png", L"s.png"};
    CUiResourceTables tables(factory_);
    ImageRecord* image = tables.FindOrLoadImage(L"a.png");
    EXPECT_EQ(tables.FindOrLoadImage(L"a.png"), image);
    EXPECT_EQ(factory_.loads.size(), 1u);
    CUiResourceTables other(factory_);
    ImageRecord* shared = other.AddImage(L"s.png", nullptr, 0, false, false, true);
    EXPECT_EQ(tables.FindOrLoadImage(L"s.png"), shared);
    EXPECT_EQ(factory_.loads.size(), 2u);
}

TEST_F(ResourceTables, DrawingDescriptionsAreCachedUnderTheJoinedText) {
    CUiResourceTables tables(factory_);
    DrawingDescription* joined = tables.GetDrawingDescription(L"file='a.png'", L" fade='10'");
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(joined->imageText, L"file='a.png'");
    EXPECT_EQ(joined->modifierText, L" fade='10'");
    EXPECT_EQ(tables.GetDrawingDescription(L"file='a.png'", L" fade='10'"), joined);
    EXPECT_EQ(tables.GetDrawingDescription(L"file='a.png' fade='10'", L""), joined);
    EXPECT_EQ(factory_.parses, 1);
    EXPECT_EQ(tables.GetDrawingDescription(L"", L""), nullptr);
    EXPECT_EQ(factory_.parses, 1);
    tables.RemoveAllDrawingDescriptions();
    EXPECT_EQ(factory_.descriptionFrees, 1);
    EXPECT_NE(tables.GetDrawingDescription(L"file='a.png'", L" fade='10'"), nullptr);
    EXPECT_EQ(factory_.parses, 2);
}

TEST_F(ResourceTables, TheTablesFreeWhatTheyOwnWhenTheyGo) {
    factory_.files = {L"a.png", L"b.png"};
    {
        CUiResourceTables tables(factory_);
        tables.AddImage(L"a.png");
        tables.AddImage(L"b.png");
        tables.GetDrawingDescription(L"a.png", L"");
        EXPECT_EQ(factory_.live.size(), 2u);
        tables.RemoveAllImages();
        EXPECT_TRUE(factory_.live.empty());
        EXPECT_EQ(tables.GetImage(L"a.png"), nullptr);
        tables.AddImage(L"a.png");
    }
    EXPECT_TRUE(factory_.live.empty());
    EXPECT_EQ(factory_.descriptionFrees, 1);
}

TEST_F(ResourceTables, DefaultAttributeListsKeepTheLastAndStylesTheFirst) {
    CUiResourceTables tables(factory_);
    tables.AddDefaultAttributes(L"Button", L"height=\"30\"");
    tables.AddDefaultAttributes(L"Button", L"height=\"40\"");
    EXPECT_STREQ(tables.GetDefaultAttributes(L"Button"), L"height=\"40\"");
    EXPECT_EQ(tables.GetDefaultAttributes(L"button"), nullptr);
    tables.AddStyle(L"title", L"font=\"1\"");
    tables.AddStyle(L"title", L"font=\"2\"");
    EXPECT_STREQ(tables.GetStyle(L"title"), L"font=\"1\"");
    EXPECT_EQ(tables.GetStyle(L"missing"), nullptr);
    CUiResourceTables other(factory_);
    other.AddDefaultAttributes(L"Label", L"shared", true);
    EXPECT_STREQ(tables.GetDefaultAttributes(L"Label"), L"shared");
    tables.AddDefaultAttributes(L"Label", L"own");
    EXPECT_STREQ(tables.GetDefaultAttributes(L"Label"), L"own");
    tables.RemoveAllDefaultAttributes();
    tables.RemoveAllStyles();
    EXPECT_STREQ(tables.GetDefaultAttributes(L"Label"), L"shared");
    EXPECT_EQ(tables.GetStyle(L"title"), nullptr);
}

TEST_F(ResourceTables, AFontFileIsInstalledPrivately) {
    CUiResourceTables tables(factory_);
    EXPECT_FALSE(tables.AddFontFile(L"no-such-font.ttf"));
    const wchar_t* font = L"Z:\\usr\\share\\fonts\\truetype\\wqy\\wqy-microhei.ttc";
    if (GetFileAttributesW(font) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no font file";
    EXPECT_TRUE(tables.AddFontFile(font));
}

TEST(CUiScale, IsTheIdentityAtOneHundredPercent) {
    const CUiScale scale;
    EXPECT_EQ(scale.GetPercentage(), 100);
    EXPECT_EQ(scale.GetMode(), CUiScale::ModePercentage);
    for (int n = -300; n <= 300; ++n) ASSERT_EQ(scale.Scale(n), n);
    EXPECT_EQ(scale.Scale(2147483647), 2147483647);
}

TEST(CUiScale, NeverScalesANonZeroValueToZero) {
    CUiScale scale;
    scale.SetPercentage(10);
    EXPECT_EQ(scale.Scale(3), 1);
    EXPECT_EQ(scale.Scale(-3), -1);
    EXPECT_EQ(scale.Scale(0), 0);
    EXPECT_EQ(scale.Scale(50), 5);
    scale.SetPercentage(150);
    EXPECT_EQ(scale.Scale(1), 2);
    EXPECT_EQ(scale.Scale(10), 15);
    scale.SetMode(CUiScale::ModeNone);
    EXPECT_EQ(scale.Scale(10), 10);
}

TEST(CUiScale, ScalesRectanglesByWidthAndHeight) {
    CUiScale scale;
    scale.SetPercentage(150);
    const CUiRect rc = scale.Scale(CUiRect(1, 1, 2, 2));
    EXPECT_EQ(rc.left, 2);
    EXPECT_EQ(rc.top, 2);
    EXPECT_EQ(rc.right, 4);
    EXPECT_EQ(rc.bottom, 4);
    const CUiSize size = scale.Scale(CUiSize(10, -4));
    EXPECT_EQ(size.cx, 15);
    EXPECT_EQ(size.cy, -6);
    const POINT point = scale.Scale(POINT{4, 0});
    EXPECT_EQ(point.x, 6);
    EXPECT_EQ(point.y, 0);
}

}  // namespace
}  // namespace Weft
