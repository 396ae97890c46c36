#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "inspect/EmbeddedSignatures.h"
#include "inspect/SignatureDatabase.h"
#include "platform/Platform.h"

namespace certvane {

// A boot file the firmware starts: how the report names it, where it was found, and what its
// bytes, read once, say of its signatures. All empty when no file was found.
struct BootFile {
    std::wstring label;
    std::wstring path;
    // The authority the first signature names; empty for a file without one. A name for the
    // texts: whether the firmware trusts the file is judged from `certificateTable`.
    std::wstring signer;
    // The file's Authenticode SHA-256 (dbx can revoke the file itself by it); nullopt when the
    // file could not be read as a PE image.
    std::optional<Sha256Digest> authenticodeSha256;
    CertificateTable certificateTable;
    // The file's bytes could be read (a file that exists but cannot be opened is no file
    // without a signature: nothing can be said of it).
    bool readable = false;
    // What the file says about itself: the OriginalFilename of its version resource (Windows
    // boot applications are recognised by it, whatever their path); empty without one.
    std::wstring originalFileName;
};

// Reads the boot file at `path` once, and from those bytes its signatures and its Authenticode
// hash.
BootFile InspectBootFile(Platform& platform, std::wstring path, std::wstring label);

// The same from bytes already read (a file inside a disk image).
BootFile InspectBootBytes(std::span<const std::uint8_t> bytes, std::wstring path,
                          std::wstring label);

struct BootFiles {
    BootFile current;  // the running system's (inside Windows PE: the medium's loader)
    BootFile offline;  // the offline installation's, inside Windows PE only
    // Every EFI file on the running system's ESP, read in the same search (not inside Windows
    // PE); empty when no ESP was found.
    std::vector<BootFile> systemEspFiles;
    std::wstring systemEspRoot;
};

// Finds the boot files on the ESPs and reads their signers, then releases the ESP mounts
// made to reach them (the paths of files on such mounts are then no longer valid).
BootFiles InspectBootFiles(Platform& platform, bool isWinPE, std::wstring_view offlineWindows);

}  // namespace certvane
