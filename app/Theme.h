#pragma once

namespace certvane {

// One colour set of the main window, as markup colour strings (#AARRGGBB) for SetAttribute.
struct ThemeColours {
    const wchar_t* rootBackground;
    const wchar_t* reportBackground;
    const wchar_t* reportText;
    const wchar_t* reportBorder;
    const wchar_t* statusText;
    const wchar_t* statusBackground;
    const wchar_t* titleText;
    const wchar_t* buttonBackground;
    const wchar_t* buttonText;
    const wchar_t* buttonBorder;
    const wchar_t* buttonHotBackground;
    const wchar_t* buttonPushedBackground;
    // The border of the button that has the keyboard focus: it must stand out from
    // `buttonBorder` and from the hot background in both themes.
    const wchar_t* buttonFocusBorder;
};

inline constexpr ThemeColours kLightTheme = {L"#FFFFFFFF", L"#FFFFFFFF", L"#FF000000", L"#FFD0D0D0",
                                             L"#FF000000", L"#FFEEEEEE", L"#FF000000", L"#FFFFFFFF",
                                             L"#FF000000", L"#FFA0A0A0", L"#FFE5F0FF", L"#FFCCE4FF",
                                             L"#FF0067C0"};

inline constexpr ThemeColours kDarkTheme = {L"#FF282828", L"#FF202020", L"#FFFFFFFF", L"#FF666666",
                                            L"#FFFFFFFF", L"#FF1E1E1E", L"#FFFFFFFF", L"#FF333333",
                                            L"#FFFFFFFF", L"#FF888888", L"#FF005A9E", L"#FF003D7A",
                                            L"#FF60CDFF"};

inline const ThemeColours& ThemeFor(bool dark) {
    return dark ? kDarkTheme : kLightTheme;
}

}  // namespace certvane
