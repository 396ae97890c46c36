#include "inspect/BootMedium.h"

#include <algorithm>
#include <array>

namespace certvane {
namespace {

// Callers check that `at` and the bytes after it lie in `bytes`.
std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

// ---------------------------------------------------------------------------------------------
// ISO 9660 and El Torito

constexpr std::uint64_t kIsoSectorBytes = 2048;
constexpr std::uint64_t kFirstDescriptorSector = 16;
// A real descriptor set holds a handful; the bound stops a medium without a terminator.
constexpr unsigned kMaxDescriptors = 64;
constexpr std::uint8_t kTerminatorType = 255;
constexpr std::size_t kBootCatalogPointer = 0x47;
// El Torito does not bound the catalog; real ones fit one sector, crafted ones must not make
// us read without end.
constexpr std::uint64_t kMaxCatalogBytes = 8 * kIsoSectorBytes;
constexpr std::size_t kCatalogEntryBytes = 32;
constexpr std::uint8_t kPlatformEfi = 0xEF;
constexpr std::uint8_t kBootable = 0x88;
constexpr std::uint8_t kSectionHeaderMore = 0x90;
constexpr std::uint8_t kSectionHeaderLast = 0x91;
constexpr std::uint8_t kExtensionEntry = 0x44;
constexpr std::uint8_t kContinuationFollows = 0x20;  // bit 5 of an entry's media type byte
constexpr std::uint64_t kVirtualSectorBytes = 512;   // unit of an entry's sector count
constexpr std::size_t kFatBootSectorBytes = 512;

// Reads a block, refusing one that would run past the medium's end before asking the reader.
bool ReadBlock(const MediumReader& read, std::uint64_t mediumSize, std::uint64_t offset,
               std::span<std::uint8_t> out) {
    if (offset > mediumSize || out.size() > mediumSize - offset) return false;
    return read(offset, out);
}

bool IsElToritoBootRecord(std::span<const std::uint8_t> descriptor) {
    // The boot system identifier is a 32-byte field at byte 7, padded with zeros.
    static constexpr std::string_view kBootSystem = "EL TORITO SPECIFICATION";
    constexpr std::size_t kFieldAt = 7;
    constexpr std::size_t kFieldBytes = 32;
    if (descriptor[0] != 0 || descriptor[6] != 1) return false;
    for (std::size_t i = 0; i < kFieldBytes; ++i) {
        const auto expected =
            i < kBootSystem.size() ? static_cast<std::uint8_t>(kBootSystem[i]) : std::uint8_t{0};
        if (descriptor[kFieldAt + i] != expected) return false;
    }
    return true;
}

// The sector of the boot catalog the first El Torito boot record of the volume descriptor set
// names; nullopt when the medium is not ISO 9660 or has no such record before the terminator.
std::optional<std::uint32_t> FindBootCatalogSector(const MediumReader& read,
                                                   std::uint64_t mediumSize) {
    static constexpr std::string_view kStandardId = "CD001";
    std::array<std::uint8_t, kIsoSectorBytes> descriptor{};
    for (unsigned i = 0; i < kMaxDescriptors; ++i) {
        const std::uint64_t offset = (kFirstDescriptorSector + i) * kIsoSectorBytes;
        if (!ReadBlock(read, mediumSize, offset, descriptor)) return std::nullopt;
        if (!std::equal(kStandardId.begin(), kStandardId.end(), descriptor.begin() + 1))
            return std::nullopt;
        if (descriptor[0] == kTerminatorType) return std::nullopt;
        if (IsElToritoBootRecord(descriptor)) return Le32(descriptor, kBootCatalogPointer);
    }
    return std::nullopt;
}

struct BootEntry {
    std::uint32_t loadRba;      // 2048-byte sector of the image
    std::uint16_t sectorCount;  // 512-byte virtual sectors; 0 or 1 when unknown
};

BootEntry ReadBootEntry(std::span<const std::uint8_t> entry) {
    return {Le32(entry, 8), Le16(entry, 6)};
}

// Header id 1, key bytes 0x55 0xAA, and the entry's 16-bit words summing to 0: without all of
// them the rest of the catalog means nothing.
bool IsSoundValidationEntry(std::span<const std::uint8_t> entry) {
    if (entry[0] != 1 || entry[30] != 0x55 || entry[31] != 0xAA) return false;
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < kCatalogEntryBytes; i += 2)
        sum = static_cast<std::uint16_t>(sum + Le16(entry, i));
    return sum == 0;
}

// The index of the catalog entry after a section entry and the extension entries it announces
// (they carry selection criteria and are not counted among the section's entries).
std::size_t SkipExtensions(std::span<const std::uint8_t> catalog, std::size_t next,
                           bool announced) {
    const std::size_t count = catalog.size() / kCatalogEntryBytes;
    bool more = announced;
    while (more && next < count) {
        const auto extension = catalog.subspan(next * kCatalogEntryBytes, kCatalogEntryBytes);
        if (extension[0] != kExtensionEntry) break;
        more = (extension[1] & kContinuationFollows) != 0;
        ++next;
    }
    return next;
}

// The bootable EFI entries of a catalog, in the order the catalog lists them.
std::vector<BootEntry> EfiEntries(std::span<const std::uint8_t> catalog) {
    std::vector<BootEntry> found;
    const std::size_t count = catalog.size() / kCatalogEntryBytes;
    auto entry = [&](std::size_t index) {
        return catalog.subspan(index * kCatalogEntryBytes, kCatalogEntryBytes);
    };
    if (count < 2 || !IsSoundValidationEntry(entry(0))) return found;
    // The validation entry's platform is the initial/default entry's.
    if (entry(0)[1] == kPlatformEfi && entry(1)[0] == kBootable)
        found.push_back(ReadBootEntry(entry(1)));
    std::size_t next = 2;
    // Every step consumes at least one entry, so the walk ends within the catalog.
    while (next < count) {
        const auto header = entry(next++);
        if (header[0] != kSectionHeaderMore && header[0] != kSectionHeaderLast) break;
        const bool efi = header[1] == kPlatformEfi;
        const std::uint16_t sectionEntries = Le16(header, 2);
        for (std::uint16_t k = 0; k < sectionEntries && next < count; ++k) {
            const auto sectionEntry = entry(next++);
            if (efi && sectionEntry[0] == kBootable) found.push_back(ReadBootEntry(sectionEntry));
            next = SkipExtensions(catalog, next, (sectionEntry[1] & kContinuationFollows) != 0);
        }
        if (header[0] == kSectionHeaderLast) break;
    }
    return found;
}

std::optional<BootImageRange> RangeOf(const BootEntry& entry, const MediumReader& read,
                                      std::uint64_t mediumSize, std::uint64_t maxImageBytes) {
    const std::uint64_t offset = std::uint64_t{entry.loadRba} * kIsoSectorBytes;
    if (offset >= mediumSize) return std::nullopt;
    std::uint64_t size = 0;
    if (entry.sectorCount > 1) {
        size = std::uint64_t{entry.sectorCount} * kVirtualSectorBytes;
    } else {
        // No emulation images often say 0 or 1 sector: the FAT volume they hold knows its size.
        std::array<std::uint8_t, kFatBootSectorBytes> bootSector{};
        if (!ReadBlock(read, mediumSize, offset, bootSector)) return std::nullopt;
        const auto declared = FatVolumeBytes(bootSector);
        if (!declared) return std::nullopt;
        size = *declared;
    }
    size = std::min({size, maxImageBytes, mediumSize - offset});
    if (size == 0) return std::nullopt;
    return BootImageRange{offset, size};
}

// ---------------------------------------------------------------------------------------------
// FAT

enum class FatType { Fat12, Fat16, Fat32 };

// Where the parts of a FAT volume lie, from a BPB found sound.
struct FatLayout {
    FatType type = FatType::Fat12;
    std::uint32_t clusterBytes = 0;
    std::uint64_t fatOffset = 0;  // the FAT in use
    std::uint64_t fatBytes = 0;
    std::uint64_t rootOffset = 0;  // FAT12/16: the fixed root directory region
    std::uint64_t rootBytes = 0;
    std::uint64_t dataOffset = 0;  // cluster 2
    std::uint32_t clusterCount = 0;
    std::uint32_t rootCluster = 0;  // FAT32: the root directory's first cluster
    std::uint64_t volumeBytes = 0;
};

struct FatVolume {
    std::span<const std::uint8_t> image;  // at least volumeBytes long
    FatLayout layout;
};

// A FAT volume's type is decided by its cluster count, and by nothing else.
constexpr std::uint64_t kMaxFat12Clusters = 4084;
constexpr std::uint64_t kMaxFat16Clusters = 65524;
// Beyond this FAT32 cluster numbers would collide with the bad-cluster and end-of-chain marks.
constexpr std::uint64_t kMaxFat32Clusters = 0x0FFFFFF5;
// The most entries a FAT directory may hold; it bounds a directory's chain.
constexpr std::uint64_t kMaxDirectoryBytes = 65536 * 32;
constexpr std::size_t kDirEntryBytes = 32;

constexpr std::uint8_t kAttrVolumeId = 0x08;
constexpr std::uint8_t kAttrDirectory = 0x10;
constexpr std::uint8_t kAttrLongNameMask = 0x3F;
constexpr std::uint8_t kAttrLongName = 0x0F;
constexpr std::uint8_t kEntryFree = 0xE5;
constexpr std::uint8_t kEntriesEnd = 0x00;

bool IsPowerOfTwo(std::uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

unsigned FatEntryBits(FatType type) {
    switch (type) {
        case FatType::Fat12:
            return 12;
        case FatType::Fat16:
            return 16;
        case FatType::Fat32:
            break;
    }
    return 32;
}

// The boot sector fields every FAT volume must hold, before any size is worked out from them.
bool HasSoundBootSectorBasics(std::span<const std::uint8_t> sector) {
    const bool jump = sector[0] == 0xEB || sector[0] == 0xE9;
    const std::uint32_t bytesPerSector = Le16(sector, 11);
    const std::uint32_t sectorsPerCluster = sector[13];
    const std::uint8_t media = sector[21];
    return jump && bytesPerSector >= 512 && bytesPerSector <= 4096 &&
           IsPowerOfTwo(bytesPerSector) && IsPowerOfTwo(sectorsPerCluster) &&
           Le16(sector, 14) != 0 && sector[16] != 0 && (media == 0xF0 || media >= 0xF8);
}

std::optional<FatLayout> ReadBpb(std::span<const std::uint8_t> sector) {
    if (sector.size() < kFatBootSectorBytes || !HasSoundBootSectorBasics(sector))
        return std::nullopt;
    const std::uint64_t bytesPerSector = Le16(sector, 11);
    const std::uint64_t sectorsPerCluster = sector[13];
    const std::uint64_t reserved = Le16(sector, 14);
    const std::uint64_t fatCount = sector[16];
    const std::uint64_t rootEntries = Le16(sector, 17);
    const std::uint64_t fatSectors16 = Le16(sector, 22);
    const std::uint64_t totalSectors = Le16(sector, 19) != 0 ? Le16(sector, 19) : Le32(sector, 32);
    const std::uint64_t fatSectors = fatSectors16 != 0 ? fatSectors16 : Le32(sector, 36);
    if (totalSectors == 0 || fatSectors == 0) return std::nullopt;

    const std::uint64_t rootSectors =
        (rootEntries * kDirEntryBytes + bytesPerSector - 1) / bytesPerSector;
    const std::uint64_t metaSectors = reserved + fatCount * fatSectors + rootSectors;
    if (metaSectors >= totalSectors) return std::nullopt;
    const std::uint64_t clusters = (totalSectors - metaSectors) / sectorsPerCluster;
    if (clusters == 0 || clusters > kMaxFat32Clusters) return std::nullopt;

    FatLayout layout;
    layout.type = clusters <= kMaxFat12Clusters   ? FatType::Fat12
                  : clusters <= kMaxFat16Clusters ? FatType::Fat16
                                                  : FatType::Fat32;
    std::uint64_t activeFat = 0;
    if (layout.type == FatType::Fat32) {
        // FAT32 keeps its root in clusters and its FAT size in the 32-bit field only.
        const std::uint32_t rootCluster = Le32(sector, 44);
        if (rootEntries != 0 || fatSectors16 != 0) return std::nullopt;
        if (rootCluster < 2 || rootCluster - 2 >= clusters) return std::nullopt;
        layout.rootCluster = rootCluster;
        // With mirroring off (bit 7 of the extended flags) only the named FAT is in use.
        const std::uint16_t extFlags = Le16(sector, 40);
        if ((extFlags & 0x80) != 0 && (extFlags & 0x0F) < fatCount) activeFat = extFlags & 0x0F;
    } else if (rootEntries == 0) {
        return std::nullopt;
    }
    // The FAT must have an entry for every cluster, or chains would lead outside it.
    if (fatSectors * bytesPerSector * 8 < (clusters + 2) * FatEntryBits(layout.type))
        return std::nullopt;

    layout.clusterBytes = static_cast<std::uint32_t>(sectorsPerCluster * bytesPerSector);
    layout.fatBytes = fatSectors * bytesPerSector;
    layout.fatOffset = (reserved + activeFat * fatSectors) * bytesPerSector;
    layout.rootOffset = (reserved + fatCount * fatSectors) * bytesPerSector;
    layout.rootBytes = rootEntries * kDirEntryBytes;
    layout.dataOffset = metaSectors * bytesPerSector;
    layout.clusterCount = static_cast<std::uint32_t>(clusters);
    layout.volumeBytes = totalSectors * bytesPerSector;
    return layout;
}

std::optional<FatVolume> OpenVolume(std::span<const std::uint8_t> image) {
    const auto layout = ReadBpb(image);
    // Every part the layout names then lies in the image: clusters, FATs and root all end
    // within the volume.
    if (!layout || layout->volumeBytes > image.size()) return std::nullopt;
    return FatVolume{image, *layout};
}

bool IsDataCluster(const FatLayout& layout, std::uint32_t cluster) {
    return cluster >= 2 && cluster - 2 < layout.clusterCount;
}

std::span<const std::uint8_t> ClusterBytes(const FatVolume& volume, std::uint32_t cluster) {
    const std::uint64_t offset =
        volume.layout.dataOffset + std::uint64_t{cluster - 2} * volume.layout.clusterBytes;
    return volume.image.subspan(offset, volume.layout.clusterBytes);
}

enum class LinkKind { Next, End, Broken };
struct Link {
    LinkKind kind;
    std::uint32_t next = 0;
};

// What the FAT says follows `cluster` (a data cluster). Free, reserved and bad-cluster values
// and clusters past the last one all break the chain.
Link NextCluster(const FatVolume& volume, std::uint32_t cluster) {
    const auto fat = volume.image.subspan(volume.layout.fatOffset, volume.layout.fatBytes);
    std::uint64_t at = 0;
    std::uint32_t value = 0;
    std::uint32_t endMark = 0;
    switch (volume.layout.type) {
        case FatType::Fat12:
            at = std::uint64_t{cluster} + cluster / 2;  // 1.5 bytes an entry
            if (at + 2 > fat.size()) return {LinkKind::Broken};
            value = Le16(fat, at);
            value = (cluster & 1) != 0 ? value >> 4 : value & 0x0FFF;
            endMark = 0x0FF8;
            break;
        case FatType::Fat16:
            at = std::uint64_t{cluster} * 2;
            if (at + 2 > fat.size()) return {LinkKind::Broken};
            value = Le16(fat, at);
            endMark = 0xFFF8;
            break;
        case FatType::Fat32:
            at = std::uint64_t{cluster} * 4;
            if (at + 4 > fat.size()) return {LinkKind::Broken};
            value = Le32(fat, at) & 0x0FFFFFFF;  // the top 4 bits are reserved
            endMark = 0x0FFFFFF8;
            break;
    }
    if (value >= endMark) return {LinkKind::End};
    if (!IsDataCluster(volume.layout, value)) return {LinkKind::Broken};
    return {LinkKind::Next, value};
}

std::uint32_t RootDirectoryCluster(const FatLayout& layout) {
    return layout.type == FatType::Fat32 ? layout.rootCluster : 0;  // 0: the fixed region
}

// The byte ranges of a directory: the fixed root region of FAT12/16 (cluster 0) or a chain of
// clusters followed to its end. nullopt when the chain breaks, grows past what a directory may
// hold (which a loop does), or, when `claimed` is given, reaches a cluster another directory
// already took: each cluster is then read once however the directories are linked.
std::optional<std::vector<std::span<const std::uint8_t>>> DirectoryRegions(
    const FatVolume& volume, std::uint32_t firstCluster, std::vector<bool>* claimed) {
    const FatLayout& layout = volume.layout;
    std::vector<std::span<const std::uint8_t>> regions;
    if (firstCluster == 0 && layout.type != FatType::Fat32) {
        regions.push_back(volume.image.subspan(layout.rootOffset, layout.rootBytes));
        return regions;
    }
    const std::uint64_t maxClusters =
        std::min<std::uint64_t>(layout.clusterCount, kMaxDirectoryBytes / layout.clusterBytes);
    std::uint32_t cluster = firstCluster;
    if (!IsDataCluster(layout, cluster)) return std::nullopt;
    while (true) {
        if (regions.size() >= maxClusters) return std::nullopt;
        if (claimed) {
            if ((*claimed)[cluster]) return std::nullopt;
            (*claimed)[cluster] = true;
        }
        regions.push_back(ClusterBytes(volume, cluster));
        const Link link = NextCluster(volume, cluster);
        if (link.kind == LinkKind::End) return regions;
        if (link.kind == LinkKind::Broken) return std::nullopt;
        cluster = link.next;
    }
}

// A character of a name as it goes into a path: the separators and control characters a
// crafted name may hold would otherwise make a path name another file.
char32_t PathSafe(char32_t c) {
    return (c < 0x20 || c == 0x7F || c == U'/' || c == U'\\') ? U'_' : c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Long names are UTF-16 (VFAT stores UCS-2, Windows writes surrogate pairs); a lone surrogate
// becomes U+FFFD.
std::string Utf16ToUtf8(std::span<const char16_t> units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = 0xFFFD;
        }
        AppendUtf8(out, PathSafe(c));
    }
    return out;
}

// The checksum of an 11-byte short name that each of its long-name entries carries.
std::uint8_t ShortNameChecksum(std::span<const std::uint8_t> name11) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 11; ++i)
        sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + name11[i]);
    return sum;
}

// Gathers the long-name entries before a short entry. They come last piece first, each with
// its ordinal; a gap, a change of checksum or a stray piece spoils the name.
class LongNameAssembler {
  public:
    void Add(std::span<const std::uint8_t> entry) {
        const std::uint8_t ordinal = entry[0];
        const unsigned piece = ordinal & 0x3F;
        if ((ordinal & 0x40) != 0) {  // the last piece comes first and starts a name
            active_ = piece >= 1 && piece <= kMaxPieces && entry[12] == 0;
            pieces_ = piece;
            checksum_ = entry[13];
        } else if (!active_ || piece == 0 || piece != expected_ || entry[13] != checksum_) {
            active_ = false;
        }
        if (!active_) return;
        static constexpr std::array<std::size_t, 13> kUnitAt{1,  3,  5,  7,  9,  14, 16,
                                                             18, 20, 22, 24, 28, 30};
        for (std::size_t i = 0; i < kUnitAt.size(); ++i)
            units_[(piece - 1) * kUnitAt.size() + i] =
                static_cast<char16_t>(Le16(entry, kUnitAt[i]));
        expected_ = piece - 1;
    }

    // The long name, when the pieces gathered are complete and belong to this short name.
    // Forgets them either way: a long name belongs to the short entry right after it only.
    std::optional<std::string> Finish(std::span<const std::uint8_t> shortName11) {
        const bool sound = active_ && expected_ == 0 && ShortNameChecksum(shortName11) == checksum_;
        Reset();
        if (!sound) return std::nullopt;
        const std::span<const char16_t> all(units_.data(), pieces_ * 13);
        const auto end = std::find(all.begin(), all.end(), u'\0');  // 0xFFFF pads after it
        std::string name = Utf16ToUtf8(all.first(static_cast<std::size_t>(end - all.begin())));
        if (name.empty()) return std::nullopt;
        return name;
    }

    void Reset() { active_ = false; }

  private:
    static constexpr unsigned kMaxPieces = 20;  // 255 characters, 13 a piece
    std::array<char16_t, kMaxPieces * 13> units_{};
    unsigned pieces_ = 0;
    unsigned expected_ = 0;  // ordinal of the piece that must come next; 0 once complete
    std::uint8_t checksum_ = 0;
    bool active_ = false;
};

// One part of an 8.3 name, without its space padding. The NT case flags mark a part Windows
// stored in capitals but shows in small letters. Bytes of an OEM code page are not guessed at.
std::string ShortNamePart(std::span<const std::uint8_t> part, bool lower) {
    std::size_t length = part.size();
    while (length > 0 && part[length - 1] == ' ') --length;
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = part[i] < 0x80 ? static_cast<char>(PathSafe(part[i])) : '_';
        out.push_back(lower ? AsciiLower(c) : c);
    }
    return out;
}

std::string ShortName(std::span<const std::uint8_t> entry) {
    const std::string base = ShortNamePart(entry.first(8), (entry[12] & 0x08) != 0);
    const std::string extension = ShortNamePart(entry.subspan(8, 3), (entry[12] & 0x10) != 0);
    if (base.empty()) return {};
    return extension.empty() ? base : base + "." + extension;
}

bool IsDotEntry(std::span<const std::uint8_t> name11) {
    static constexpr std::string_view kDot = ".          ";
    static constexpr std::string_view kDotDot = "..         ";
    auto is = [&](std::string_view expected) {
        return std::equal(expected.begin(), expected.end(), name11.begin());
    };
    return is(kDot) || is(kDotDot);
}

struct DirEntry {
    std::string name;       // the long name when sound, else the 8.3 name
    std::string shortName;  // the 8.3 name
    std::uint8_t attributes = 0;
    std::uint32_t firstCluster = 0;
    std::uint32_t size = 0;
};

std::optional<DirEntry> ReadShortEntry(const FatLayout& layout, std::span<const std::uint8_t> entry,
                                       std::optional<std::string> longName) {
    DirEntry out;
    out.shortName = ShortName(entry);
    if (out.shortName.empty()) return std::nullopt;
    out.name = longName ? std::move(*longName) : out.shortName;
    out.attributes = entry[11];
    // FAT12/16 use the high word for other things (OS/2 extended attributes).
    const std::uint32_t high = layout.type == FatType::Fat32 ? Le16(entry, 20) : 0;
    out.firstCluster = (high << 16) | Le16(entry, 26);
    out.size = Le32(entry, 28);
    return out;
}

// The live files and subdirectories of a directory: no free entries, long-name pieces,
// volume labels, "." or "..".
std::optional<std::vector<DirEntry>> ReadDirectory(const FatVolume& volume,
                                                   std::uint32_t firstCluster,
                                                   std::vector<bool>* claimed) {
    const auto regions = DirectoryRegions(volume, firstCluster, claimed);
    if (!regions) return std::nullopt;
    std::vector<DirEntry> entries;
    LongNameAssembler longName;
    for (const auto& region : *regions) {
        for (std::size_t at = 0; at + kDirEntryBytes <= region.size(); at += kDirEntryBytes) {
            const auto entry = region.subspan(at, kDirEntryBytes);
            if (entry[0] == kEntriesEnd) return entries;  // no entry follows the first end mark
            if (entry[0] == kEntryFree) {
                longName.Reset();
                continue;
            }
            if ((entry[11] & kAttrLongNameMask) == kAttrLongName) {
                longName.Add(entry);
                continue;
            }
            auto name = longName.Finish(entry.first(11));
            if ((entry[11] & kAttrVolumeId) != 0 || IsDotEntry(entry.first(11))) continue;
            if (auto parsed = ReadShortEntry(volume.layout, entry, std::move(name)))
                entries.push_back(std::move(*parsed));
        }
    }
    return entries;
}

bool IsDirectory(const DirEntry& entry) {
    return (entry.attributes & kAttrDirectory) != 0;
}

bool HasEfiExtension(std::string_view name) {
    static constexpr std::string_view kExtension = ".efi";
    return name.size() >= kExtension.size() &&
           EqualsIgnoringCase(name.substr(name.size() - kExtension.size()), kExtension);
}

struct PendingDirectory {
    std::string path;
    std::uint32_t cluster;
    unsigned depth;
};

std::string JoinPath(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "/" + name;
}

// The entry a '/'-separated path names; each step consumes a component, so the walk ends.
std::optional<DirEntry> FindEntry(const FatVolume& volume, std::string_view path) {
    std::uint32_t directory = RootDirectoryCluster(volume.layout);
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        const std::string_view component = path.substr(
            start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        if (component.empty()) return std::nullopt;
        const auto entries = ReadDirectory(volume, directory, nullptr);
        if (!entries) return std::nullopt;
        const auto found = std::find_if(entries->begin(), entries->end(), [&](const DirEntry& e) {
            return EqualsIgnoringCase(e.name, component) ||
                   EqualsIgnoringCase(e.shortName, component);
        });
        if (found == entries->end()) return std::nullopt;
        if (slash == std::string_view::npos) return *found;
        if (!IsDirectory(*found) || !IsDataCluster(volume.layout, found->firstCluster))
            return std::nullopt;
        directory = found->firstCluster;
        start = slash + 1;
    }
}

// The file's bytes along its chain, which must hold the file's size in distinct clusters of the
// volume. What the chain does after the last cluster the size needs is not read, as a FAT driver
// would not read it either.
std::optional<std::vector<std::uint8_t>> ReadChain(const FatVolume& volume,
                                                   std::uint32_t firstCluster, std::uint64_t size) {
    const FatLayout& layout = volume.layout;
    std::vector<std::uint8_t> out;
    if (size == 0) return out;
    const std::uint64_t needed = (size + layout.clusterBytes - 1) / layout.clusterBytes;
    if (needed > layout.clusterCount) return std::nullopt;
    out.reserve(static_cast<std::size_t>(size));
    std::vector<bool> seen(std::size_t{layout.clusterCount} + 2, false);
    std::uint32_t cluster = firstCluster;
    for (std::uint64_t i = 0; i < needed; ++i) {
        if (!IsDataCluster(layout, cluster) || seen[cluster]) return std::nullopt;
        seen[cluster] = true;
        const auto bytes = ClusterBytes(volume, cluster);
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), size - out.size()));
        out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
        if (i + 1 == needed) break;
        const Link link = NextCluster(volume, cluster);
        if (link.kind != LinkKind::Next) return std::nullopt;
        cluster = link.next;
    }
    return out;
}

}  // namespace

std::optional<BootImageRange> FindEfiBootImage(const MediumReader& read, std::uint64_t mediumSize,
                                               std::uint64_t maxImageBytes) {
    const auto catalogSector = FindBootCatalogSector(read, mediumSize);
    if (!catalogSector) return std::nullopt;
    const std::uint64_t catalogOffset = std::uint64_t{*catalogSector} * kIsoSectorBytes;
    if (catalogOffset >= mediumSize) return std::nullopt;
    // A catalog at the medium's very end may be shorter than the bound: read what is there.
    std::uint64_t catalogBytes = std::min(kMaxCatalogBytes, mediumSize - catalogOffset);
    catalogBytes -= catalogBytes % kCatalogEntryBytes;
    std::vector<std::uint8_t> catalog(static_cast<std::size_t>(catalogBytes));
    if (!ReadBlock(read, mediumSize, catalogOffset, catalog)) return std::nullopt;
    for (const BootEntry& entry : EfiEntries(catalog)) {
        if (auto range = RangeOf(entry, read, mediumSize, maxImageBytes)) return range;
    }
    return std::nullopt;
}

std::optional<FatListing> ListFatEfiFiles(std::span<const std::uint8_t> image, unsigned maxDepth,
                                          std::size_t maxFiles) {
    const auto volume = OpenVolume(image);
    if (!volume) return std::nullopt;
    const FatLayout& layout = volume->layout;
    FatListing listing;
    std::vector<bool> claimed(std::size_t{layout.clusterCount} + 2, false);
    std::vector<PendingDirectory> pending{{"", RootDirectoryCluster(layout), 0}};
    // Each directory read claims clusters no other may take, and each pending directory comes
    // from an entry of one read, so the walk ends.
    while (!pending.empty()) {
        const PendingDirectory directory = std::move(pending.back());
        pending.pop_back();
        const auto entries = ReadDirectory(*volume, directory.cluster, &claimed);
        if (!entries) continue;
        std::vector<PendingDirectory> subdirectories;
        for (const DirEntry& entry : *entries) {
            if (IsDirectory(entry)) {
                if (!IsDataCluster(layout, entry.firstCluster) || claimed[entry.firstCluster])
                    continue;
                if (directory.depth >= maxDepth) {
                    listing.boundHit = true;
                    continue;
                }
                subdirectories.push_back({JoinPath(directory.path, entry.name), entry.firstCluster,
                                          directory.depth + 1});
            } else if (HasEfiExtension(entry.name)) {
                if (listing.files.size() >= maxFiles) {
                    listing.boundHit = true;
                    return listing;
                }
                listing.files.push_back({JoinPath(directory.path, entry.name), entry.size});
            }
        }
        // Reversed onto the stack, the subdirectories are walked in the order they are listed.
        pending.insert(pending.end(), std::make_move_iterator(subdirectories.rbegin()),
                       std::make_move_iterator(subdirectories.rend()));
    }
    return listing;
}

std::optional<std::vector<std::uint8_t>> ReadFatFile(std::span<const std::uint8_t> image,
                                                     std::string_view path,
                                                     std::uint64_t maxBytes) {
    const auto volume = OpenVolume(image);
    if (!volume) return std::nullopt;
    const auto entry = FindEntry(*volume, path);
    if (!entry || IsDirectory(*entry) || entry->size > maxBytes) return std::nullopt;
    return ReadChain(*volume, entry->firstCluster, entry->size);
}

bool LooksLikeFat(std::span<const std::uint8_t> image) {
    return OpenVolume(image).has_value();
}

std::optional<std::uint64_t> FatVolumeBytes(std::span<const std::uint8_t> bootSector) {
    const auto layout = ReadBpb(bootSector);
    if (!layout) return std::nullopt;
    return layout->volumeBytes;
}

}  // namespace certvane
