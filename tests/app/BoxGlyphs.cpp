#include "tests/app/BoxGlyphs.h"

#include <cwchar>
#include <vector>

namespace certvane::test {
namespace {

constexpr wchar_t kSystemLinks[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";

// The characters of `text` the font selected into `dc` has no glyph for.
std::wstring Unmapped(HDC dc, const std::wstring& text) {
    std::vector<WORD> glyphs(text.size());
    if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
        return text;
    }
    std::wstring missing;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (glyphs[i] == 0xFFFF) missing += text[i];
    }
    return missing;
}

// The faces linked to `face`: the second field of each "file,face[,scaling]" entry.
std::vector<std::wstring> LinkedFaces(const std::wstring& face) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kSystemLinks, face.c_str(), RRF_RT_REG_MULTI_SZ, nullptr,
                     nullptr, &size) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<wchar_t> entries(size / sizeof(wchar_t) + 2, L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kSystemLinks, face.c_str(), RRF_RT_REG_MULTI_SZ, nullptr,
                     entries.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<std::wstring> faces;
    for (const wchar_t* entry = entries.data(); *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring line(entry);
        const std::size_t first = line.find(L',');
        if (first == std::wstring::npos) continue;
        const std::size_t second = line.find(L',', first + 1);
        faces.push_back(line.substr(
            first + 1, second == std::wstring::npos ? std::wstring::npos : second - first - 1));
    }
    return faces;
}

}  // namespace

std::wstring GlyphsMissingIn(HFONT font, std::wstring_view text) {
    std::wstring looked;
    for (wchar_t character : text) {
        if (character != L'\n' && character != L'\r' && character != L' ') looked += character;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return looked;
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    std::wstring missing = Unmapped(dc, looked);
    LOGFONTW shape{};
    GetObjectW(font, sizeof shape, &shape);
    for (const std::wstring& linked : LinkedFaces(face)) {
        if (missing.empty()) break;
        LOGFONTW other = shape;
        wcsncpy_s(other.lfFaceName, linked.c_str(), _TRUNCATE);
        HFONT linkedFont = CreateFontIndirectW(&other);
        if (linkedFont == nullptr) continue;
        SelectObject(dc, linkedFont);
        wchar_t selected[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, selected);
        // A link to a face the system does not have falls back to another face: it adds nothing.
        if (_wcsicmp(selected, linked.c_str()) == 0) missing = Unmapped(dc, missing);
        SelectObject(dc, font);
        DeleteObject(linkedFont);
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return missing;
}

}  // namespace certvane::test
