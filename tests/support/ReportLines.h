#pragma once

#include <string>
#include <vector>

namespace certvane::test {

// The lines of a report whose every line ends in CR LF; fails the running test when the text
// does not end in CR LF or holds a CR or LF outside such an ending.
std::vector<std::wstring> ReportLines(const std::wstring& report);

// The lines of sections 【1】 to 【3】 (and what comes before them), and the lines of section
// 【4】 after its banner. Each fails the running test when the report has no section 【4】.
std::vector<std::wstring> LinesBeforeProgress(const std::wstring& report);
std::vector<std::wstring> ProgressLines(const std::wstring& report);

// A text as a rich edit box gives it back: every line ending a CR alone, no trailing ones.
std::wstring WithoutLineFeeds(const std::wstring& text);

// The separator line of the report: 50 heavy horizontals.
inline const std::wstring kRule(50, L'\u2501');

}  // namespace certvane::test
