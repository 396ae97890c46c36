// The check that tells Chinese text from the empty squares a font without it draws.
#include "tests/app/BoxGlyphs.h"

#include <gtest/gtest.h>

namespace certvane::test {
namespace {

HFONT FontOf(const wchar_t* face) {
    LOGFONTW shape{};
    shape.lfHeight = -12;
    shape.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(shape.lfFaceName, face, _TRUNCATE);
    return CreateFontIndirectW(&shape);
}

// A symbol face has no Chinese, and nothing is linked to it: every Chinese character is named.
TEST(GlyphsMissingIn, NamesTheChineseASymbolFaceLacks) {
    HFONT symbols = FontOf(L"Marlett");
    ASSERT_NE(symbols, nullptr);
    EXPECT_EQ(GlyphsMissingIn(symbols, L"确定 继续\n？"), L"确定继续？");
    DeleteObject(symbols);
}

// The face the layouts name is mapped to one with Chinese: nothing is missing.
TEST(GlyphsMissingIn, FindsNoneMissingInTheLayoutsFace) {
    HFONT layouts = FontOf(L"微软雅黑");
    ASSERT_NE(layouts, nullptr);
    EXPECT_EQ(GlyphsMissingIn(layouts, L"此操作将触发 UEFI 安全启动固件证书更新。确定继续？"), L"");
    DeleteObject(layouts);
}

}  // namespace
}  // namespace certvane::test
