#pragma once

#include <string>
#include <string_view>

#include "inspect/SignatureDatabase.h"
#include "platform/Platform.h"

namespace certvane {

// Whether the firmware, trusting the generations flagged, starts a file signed by `signer`.
std::wstring_view BootVerdict(std::wstring_view signer, bool has2011, bool has2023);

// Appends section 【3】 of the report: the boot files the firmware starts, their signers and
// the verdicts. Releases the ESP mounts made while looking for the files.
void AppendBootChainSection(Platform& platform, std::wstring& report, bool isWinPE,
                            std::wstring_view offlineWindows, const NameList& dbNames);

}  // namespace certvane
