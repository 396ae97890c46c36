#pragma once

#include <string>
#include <string_view>

#include "inspect/BootChain.h"

namespace certvane {

// Writes section 【3】 of the report for boot files already inspected: the boot files the
// firmware starts, their signers and the verdicts.
void WriteBootChainSection(std::wstring& report, const BootFiles& files, bool isWinPE,
                           std::wstring_view offlineWindows, const NameList& dbNames,
                           const NameList& dbxNames);

}  // namespace certvane
