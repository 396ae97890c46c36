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

namespace {

// The index of the empty line before the banner of section 【4】, or the line count.
std::size_t ProgressStart(const std::vector<std::wstring>& lines) {
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        if (lines[i + 1] == L"  【4】证书更新进度" && lines[i] == kRule && lines[i - 1].empty())
            return i - 1;
    }
    ADD_FAILURE() << "the report has no section 【4】";
    return lines.size();
}

}  // namespace

std::vector<std::wstring> LinesBeforeProgress(const std::wstring& report) {
    std::vector<std::wstring> lines = ReportLines(report);
    lines.resize(ProgressStart(lines));
    return lines;
}

std::vector<std::wstring> ProgressLines(const std::wstring& report) {
    const std::vector<std::wstring> lines = ReportLines(report);
    const std::size_t start = ProgressStart(lines);
    // The empty line, then the banner of three lines.
    if (start + 4 > lines.size()) return {};
    return {lines.begin() + static_cast<std::ptrdiff_t>(start + 4), lines.end()};
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
