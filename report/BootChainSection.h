#pragma once

#include <span>
#include <string>
#include <string_view>

#include "inspect/BootChain.h"

namespace certvane {

// Writes section 【3】 of the report for boot files already inspected: the boot files the
// firmware starts, their signers and the verdicts (a file dbx revokes by its hash is refused).
void WriteBootChainSection(std::wstring& report, const BootFiles& files, bool isWinPE,
                           std::wstring_view offlineWindows, const NameList& dbNames,
                           const NameList& dbxNames, std::span<const Sha256Digest> dbxHashes);

}  // namespace certvane
