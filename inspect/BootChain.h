#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "inspect/Sha.h"
#include "inspect/SignatureDatabase.h"
#include "platform/Platform.h"

namespace certvane {

// Which generations `db` holds, by the generation name patterns; these flags only choose the
// status words of the section, the verdict reads `dbx` as well.
struct DbGenerations {
    bool has2011 = false;
    bool has2023 = false;
};
DbGenerations GenerationsIn(const NameList& dbNames);

// Whether the firmware starts a file signed by the authority `signer`: only when that very
// authority is in `db` and not revoked in `dbx`. A generation being present is not enough:
// the third-party UEFI CA 2011 does not sign Windows, and a revoked PCA 2011 boots nothing.
std::wstring_view BootVerdict(std::wstring_view signer, const NameList& dbNames,
                              const NameList& dbxNames);

// A boot file the firmware starts: how the report names it, where it was found and who
// signed it. All empty when no file was found; the signer alone is empty for an unsigned one.
struct BootFile {
    std::wstring label;
    std::wstring path;
    std::wstring signer;
    // The file's Authenticode SHA-256 (dbx can revoke the file itself by it); nullopt when the
    // file could not be read as a PE image.
    std::optional<Sha256Digest> authenticodeSha256;
};

// Reads the boot file at `path`: its signer and its Authenticode hash.
BootFile InspectBootFile(Platform& platform, std::wstring path, std::wstring label);

struct BootFiles {
    BootFile current;  // the running system's (inside Windows PE: the medium's loader)
    BootFile offline;  // the offline installation's, inside Windows PE only
};

// Finds the boot files on the ESPs and reads their signers, then releases the ESP mounts
// made to reach them (the paths of files on such mounts are then no longer valid).
BootFiles InspectBootFiles(Platform& platform, bool isWinPE, std::wstring_view offlineWindows);

// Writes section 【3】 for boot files already inspected.
void WriteBootChainSection(std::wstring& report, const BootFiles& files, bool isWinPE,
                           std::wstring_view offlineWindows, const NameList& dbNames,
                           const NameList& dbxNames);

// Appends section 【3】 of the report: the boot files the firmware starts, their signers and
// the verdicts. Releases the ESP mounts made while looking for the files.
void AppendBootChainSection(Platform& platform, std::wstring& report, bool isWinPE,
                            std::wstring_view offlineWindows, const NameList& dbNames,
                            const NameList& dbxNames);

}  // namespace certvane
