#include "tests/support/ReportLines.h"

#include <gtest/gtest.h>

namespace certvane::test {

std::vector<std::wstring> ReportLines(const std::wstring& report) {
    std::vector<std::wstring> lines;
    EXPECT_TRUE(report.ends_with(L"\r\n")) << "the report must end with CR LF";
    std::size_t start = 0;
    while (start < report.size()) {
        const std::size_t end = report.find(L"\r\n", start);
        const std::size_t stop = end == std::wstring::npos ? report.size() : end;
        std::wstring line = report.substr(start, stop - start);
        EXPECT_EQ(line.find_first_of(L"\r\n"), std::wstring::npos) << "a lone CR or LF in a line";
        lines.push_back(std::move(line));
        start = end == std::wstring::npos ? report.size() : end + 2;
    }
    return lines;
}

std::wstring WithoutLineFeeds(const std::wstring& text) {
    std::wstring out;
    for (wchar_t ch : text) {
        if (ch != L'\n') out += ch;
    }
    while (!out.empty() && out.back() == L'\r') out.pop_back();
    return out;
}

}  // namespace certvane::test
