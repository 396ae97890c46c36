#include "cli/Utf8.h"

#include <gtest/gtest.h>

namespace certvane::cli {
namespace {

TEST(ToUtf8, EncodesAsciiChineseAndBoxDrawing) {
    EXPECT_EQ(ToUtf8(L"UEFI\r\n"), "UEFI\r\n");
    EXPECT_EQ(ToUtf8(L"有效"), "\xE6\x9C\x89\xE6\x95\x88");
    EXPECT_EQ(ToUtf8(L"\u2501"), "\xE2\x94\x81");
    EXPECT_EQ(ToUtf8(L"\uFF1A"), "\xEF\xBC\x9A");
    EXPECT_EQ(ToUtf8(L"\u00E9"), "\xC3\xA9");
}

TEST(ToUtf8, JoinsSurrogatePairsAndReplacesLoneSurrogates) {
    std::wstring emoji;
    if constexpr (sizeof(wchar_t) == 2) {
        emoji = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    } else {
        emoji = {static_cast<wchar_t>(0x1F600)};
    }
    EXPECT_EQ(ToUtf8(emoji), "\xF0\x9F\x98\x80");
    const std::wstring lone = {static_cast<wchar_t>(0xD83D), L'a'};
    EXPECT_EQ(ToUtf8(lone),
              "\xEF\xBF\xBD"
              "a");
    const std::wstring lowFirst = {static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(ToUtf8(lowFirst), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace certvane::cli
