#pragma once

// Boot media as files: the EFI boot image an ISO 9660 medium's El Torito catalog names, and the
// FAT file systems such images (and efisys.bin and the like) hold. Every byte comes from outside
// the program, so every offset, length, count and cluster number is checked before it is used.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace certvane {

// Reads `out.size()` bytes at `offset` of the medium; false when they cannot all be read.
using MediumReader = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>;

// A byte range of a medium; never past the medium's end.
struct BootImageRange {
    std::uint64_t offset;
    std::uint64_t size;

    friend bool operator==(const BootImageRange&, const BootImageRange&) = default;
};

// The byte range of the EFI boot image an ISO 9660 medium's El Torito boot catalog names
// (platform id 0xEF, in the validation entry or any section header; the first bootable entry
// whose range can be told). nullopt when the medium holds no El Torito catalog, no bootable EFI
// entry, or only entries whose size cannot be told. Size: the entry's sector count is in
// 512-byte virtual sectors; a count of 0 or 1 (common for EFI images, which are "no emulation")
// means "unknown": then the size is the one the FAT boot sector at the image start declares
// (total sectors * bytes per sector). Either size is cut at `maxImageBytes` and at the end of
// the medium.
std::optional<BootImageRange> FindEfiBootImage(const MediumReader& read, std::uint64_t mediumSize,
                                               std::uint64_t maxImageBytes);

// One file of a FAT12/16/32 image, with its path from the root ("EFI/BOOT/BOOTX64.EFI", the long
// name when there is a sound one, else the 8.3 name; components joined by '/').
struct FatFile {
    std::string path;
    std::uint64_t size;

    friend bool operator==(const FatFile&, const FatFile&) = default;
};

struct FatListing {
    std::vector<FatFile> files;
    bool boundHit = false;  // the depth or the count bound cut the walk
};

// Every regular file of the image whose name ends in ".efi" (case-insensitive). The root is
// level 0; the walk enters subdirectories down to level `maxDepth` (EFI/BOOT/BOOTX64.EFI needs
// 2) and lists at most `maxFiles` files. A directory whose cluster chain is broken, loops or
// shares clusters with a directory already read is passed over. nullopt when the bytes are not
// a FAT file system (see LooksLikeFat).
std::optional<FatListing> ListFatEfiFiles(std::span<const std::uint8_t> image, unsigned maxDepth,
                                          std::size_t maxFiles);

// The bytes of one file, `path` as the listing returns it (each component may also be the 8.3
// name; compared case-insensitively), following its cluster chain for the file's size. nullopt
// when the path names no regular file, when the chain is broken, loops, or leaves the image
// before the file's size is reached, or when the file is larger than `maxBytes`.
std::optional<std::vector<std::uint8_t>> ReadFatFile(std::span<const std::uint8_t> image,
                                                     std::string_view path, std::uint64_t maxBytes);

// Whether the bytes hold a FAT file system: a boot sector with a jump instruction, a legal media
// byte and a sound BPB (bytes per sector 512..4096 and a power of two, sectors per cluster a
// power of two, reserved sectors and FAT count above 0, FATs large enough for the clusters,
// fields as the FAT type requires), and a volume no larger than the bytes given. Pass the whole
// image (an efisys.bin file, say); for only its start, use FatVolumeBytes.
bool LooksLikeFat(std::span<const std::uint8_t> image);

// The size the FAT boot sector at the start of the bytes declares (total sectors * bytes per
// sector), with the BPB validated as LooksLikeFat does but not checked against the bytes' size;
// nullopt when it is not a FAT boot sector. 512 bytes suffice.
std::optional<std::uint64_t> FatVolumeBytes(std::span<const std::uint8_t> bootSector);

}  // namespace certvane
