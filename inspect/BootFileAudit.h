#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "inspect/BootChain.h"

namespace certvane {

// How far an audit of EFI files goes: media are outside input, and a stick or an ISO can hold
// anything.
struct AuditBounds {
    unsigned maxDepth = 8;        // folder levels below a root
    std::size_t maxFiles = 4096;  // files and folders looked at, in folders and images together
    std::uint64_t maxFileBytes = 64u << 20;  // per file, and per disk image read
};

// Every EFI file found, each read once, and what kept the audit from being complete.
struct BootFileAudit {
    std::vector<BootFile> files;  // `path` says where; `label` is empty
    // One line for each bound that was hit or each root that could not be read.
    std::vector<std::wstring> limits;
    std::size_t filesSeen = 0;
};

// Every `.efi` file below `root` (a folder or drive root ending in a backslash, a CD volume, or
// an `.iso` file), and inside the FAT images found there (efisys.bin and the like) and in an
// ISO's El Torito EFI boot image, which is what the firmware boots from such a medium. Reads
// only; follows no reparse point.
void AuditRoot(Platform& platform, const std::wstring& root, const AuditBounds& bounds,
               BootFileAudit& audit);

// The root of every partition of ESP type on every fixed disk, through volume names, else device
// paths: no letter, no folder, nothing to release.
std::vector<std::wstring> FixedDiskEspRoots(Platform& platform);

}  // namespace certvane
