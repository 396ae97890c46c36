#pragma once

#include <span>
#include <string>
#include <string_view>

#include "assess/BootJudgement.h"

namespace certvane {

// Writes section 【3】 of the report for boot files already judged (the current one first, then
// inside Windows PE the offline installation's): the boot files the firmware starts, the
// authorities of their signatures and the verdicts.
void WriteBootChainSection(std::wstring& report, std::span<const JudgedBootFile> judged,
                           bool isWinPE, std::wstring_view offlineWindows, const NameList& dbNames);

}  // namespace certvane
