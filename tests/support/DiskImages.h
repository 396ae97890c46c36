#pragma once
// Disk images built byte by byte in the ISO 9660, El Torito and FAT layouts: media for the
// tests of the code that reads them.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace certvane::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutLe16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

inline void PutLe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    PutLe16(bytes, at, static_cast<std::uint16_t>(value));
    PutLe16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void PutBe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// ISO 9660 stores most numbers twice, little-endian then big-endian.
inline void PutBoth32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    PutLe32(bytes, at, value);
    PutBe32(bytes, at + 4, value);
}

inline void PutBoth16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    PutLe16(bytes, at, value);
    bytes.at(at + 2) = static_cast<std::uint8_t>(value >> 8);
    bytes.at(at + 3) = static_cast<std::uint8_t>(value);
}

inline void PutText(Bytes& bytes, std::size_t at, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(text[i]);
}

inline void PutBytes(Bytes& bytes, std::size_t at, const Bytes& data) {
    ASSERT_LE(at + data.size(), bytes.size());
    std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// Contents whose period (251, a prime) divides no cluster size, so clusters read in the wrong
// order or twice give other bytes.
inline Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i % 251) ^ seed);
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// ISO 9660 with El Torito

inline constexpr std::size_t kIsoSector = 2048;

class IsoBuilder {
  public:
    explicit IsoBuilder(std::size_t sectors) : bytes_(sectors * kIsoSector, 0), sectors_(sectors) {}

    // type, "CD001", version 1: what every volume descriptor begins with.
    IsoBuilder& Descriptor(std::size_t sector, std::uint8_t type) {
        const std::size_t at = sector * kIsoSector;
        bytes_.at(at) = type;
        PutText(bytes_, at + 1, "CD001");
        bytes_.at(at + 6) = 1;
        return *this;
    }

    IsoBuilder& PrimaryVolume(std::size_t sector) {
        Descriptor(sector, 1);
        const std::size_t at = sector * kIsoSector;
        PutText(bytes_, at + 8, std::string(32, ' '));
        PutText(bytes_, at + 40, "CERTVANE_TEST" + std::string(32 - 13, ' '));
        PutBoth32(bytes_, at + 80, static_cast<std::uint32_t>(sectors_));  // volume space size
        PutBoth16(bytes_, at + 120, 1);                                    // volume set size
        PutBoth16(bytes_, at + 124, 1);                                    // sequence number
        PutBoth16(bytes_, at + 128, kIsoSector);                           // logical block size
        // The root directory record: 34 bytes, a directory of one block.
        const std::size_t root = at + 156;
        bytes_.at(root) = 34;
        PutBoth32(bytes_, root + 2, static_cast<std::uint32_t>(sectors_ - 1));
        PutBoth32(bytes_, root + 10, kIsoSector);
        bytes_.at(root + 25) = 0x02;
        PutBoth16(bytes_, root + 28, 1);
        bytes_.at(root + 32) = 1;
        bytes_.at(at + 881) = 1;  // file structure version
        return *this;
    }

    IsoBuilder& BootRecord(std::size_t sector, std::uint32_t catalogSector,
                           std::string_view system = "EL TORITO SPECIFICATION") {
        Descriptor(sector, 0);
        PutText(bytes_, sector * kIsoSector + 7, system);  // zero padded to 32 bytes
        PutLe32(bytes_, sector * kIsoSector + 0x47, catalogSector);
        return *this;
    }

    IsoBuilder& Terminator(std::size_t sector) { return Descriptor(sector, 255); }

    IsoBuilder& Catalog(std::size_t sector, const std::vector<Bytes>& entries) {
        std::size_t at = sector * kIsoSector;
        for (const Bytes& entry : entries) {
            PutBytes(bytes_, at, entry);
            at += entry.size();
        }
        return *this;
    }

    IsoBuilder& Put(std::size_t offset, const Bytes& data) {
        PutBytes(bytes_, offset, data);
        return *this;
    }

    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
    std::size_t sectors_;
};

// The 16-bit words of a validation entry must sum to 0: the checksum field makes them so.
inline Bytes ValidationEntry(std::uint8_t platform, std::uint8_t headerId = 1,
                             std::uint8_t key2 = 0xAA) {
    Bytes entry(32, 0);
    entry[0] = headerId;
    entry[1] = platform;
    PutText(entry, 4, "CERTVANE TEST");
    entry[30] = 0x55;
    entry[31] = key2;
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < 32; i += 2)
        sum = static_cast<std::uint16_t>(sum + entry[i] + (entry[i + 1] << 8));
    PutLe16(entry, 28, static_cast<std::uint16_t>(0x10000 - sum));
    return entry;
}

// An initial/default entry or a section entry; media type 0 is "no emulation".
inline Bytes BootEntry(std::uint8_t indicator, std::uint32_t loadRba, std::uint16_t sectorCount,
                       std::uint8_t mediaType = 0) {
    Bytes entry(32, 0);
    entry[0] = indicator;
    entry[1] = mediaType;
    PutLe16(entry, 6, sectorCount);
    PutLe32(entry, 8, loadRba);
    return entry;
}

inline Bytes SectionHeader(bool last, std::uint8_t platform, std::uint16_t entries) {
    Bytes header(32, 0);
    header[0] = last ? 0x91 : 0x90;
    header[1] = platform;
    PutLe16(header, 2, entries);
    PutText(header, 4, "SECTION");
    return header;
}

inline Bytes ExtensionEntry(bool moreFollow) {
    Bytes entry(32, 0);
    entry[0] = 0x44;
    entry[1] = moreFollow ? 0x20 : 0;
    return entry;
}

inline constexpr std::uint8_t kBootable = 0x88;
inline constexpr std::uint8_t kNotBootable = 0x00;
inline constexpr std::uint8_t kX86 = 0x00;
inline constexpr std::uint8_t kEfi = 0xEF;
inline constexpr std::uint64_t kNoLimit = std::uint64_t{1} << 40;

// The usual layout: primary volume at 16, boot record at 17, terminator at 18, catalog at 19.
inline Bytes ElToritoMedium(const std::vector<Bytes>& catalog, std::size_t sectors = 40) {
    return IsoBuilder(sectors)
        .PrimaryVolume(16)
        .BootRecord(17, 19)
        .Terminator(18)
        .Catalog(19, catalog)
        .bytes();
}

// ---------------------------------------------------------------------------------------------
// FAT

enum class FatKind { Fat12, Fat16, Fat32 };
inline constexpr std::size_t kFatSector = 512;

inline unsigned EntryBits(FatKind kind) {
    return kind == FatKind::Fat12 ? 12 : kind == FatKind::Fat16 ? 16 : 32;
}

// A FAT volume in the standard layout: reserved sectors, two FATs, the
// fixed root region (FAT12/16), then exactly `clusters` clusters, so the type the cluster count
// decides is `kind`.
class FatBuilder {
  public:
    FatBuilder(FatKind kind, std::uint32_t clusters, std::uint8_t sectorsPerCluster = 1,
               std::uint16_t rootEntries = 32)
        : kind_(kind), clusters_(clusters), sectorsPerCluster_(sectorsPerCluster) {
        reserved_ = kind == FatKind::Fat32 ? 32 : 1;
        rootEntries_ = kind == FatKind::Fat32 ? 0 : rootEntries;
        const std::uint64_t fatBytes = ((std::uint64_t{clusters} + 2) * EntryBits(kind) + 7) / 8;
        fatSectors_ = static_cast<std::uint32_t>((fatBytes + kFatSector - 1) / kFatSector);
        rootSectors_ = (rootEntries_ * 32u + kFatSector - 1) / kFatSector;
        totalSectors_ = reserved_ + 2 * fatSectors_ + rootSectors_ + clusters * sectorsPerCluster;
        bytes_.assign(std::size_t{totalSectors_} * kFatSector, 0);
        WriteBootSector();
        SetFat(0, 0x0FFFFFF8 & Mask());  // media byte in entry 0
        SetFat(1, EndOfChain());
    }

    std::uint32_t EndOfChain() const { return Mask(); }
    std::uint32_t BadCluster() const { return Mask() - 8; }
    std::uint32_t ClusterBytes() const { return sectorsPerCluster_ * kFatSector; }
    std::uint32_t Clusters() const { return clusters_; }
    std::uint32_t TotalSectors() const { return totalSectors_; }
    std::size_t EntriesPerCluster() const { return ClusterBytes() / 32; }

    // Writes `value` for `cluster` into both FATs.
    void SetFat(std::uint32_t cluster, std::uint32_t value) {
        for (std::uint32_t copy = 0; copy < 2; ++copy) {
            const std::size_t fat = (reserved_ + copy * fatSectors_) * kFatSector;
            switch (kind_) {
                case FatKind::Fat12: {
                    const std::size_t at = fat + cluster + cluster / 2;
                    if (cluster % 2 == 0) {
                        bytes_.at(at) = static_cast<std::uint8_t>(value);
                        bytes_.at(at + 1) = static_cast<std::uint8_t>((bytes_.at(at + 1) & 0xF0) |
                                                                      ((value >> 8) & 0x0F));
                    } else {
                        bytes_.at(at) = static_cast<std::uint8_t>((bytes_.at(at) & 0x0F) |
                                                                  ((value & 0x0F) << 4));
                        bytes_.at(at + 1) = static_cast<std::uint8_t>(value >> 4);
                    }
                    break;
                }
                case FatKind::Fat16:
                    PutLe16(bytes_, fat + cluster * 2, static_cast<std::uint16_t>(value));
                    break;
                case FatKind::Fat32:
                    PutLe32(bytes_, fat + cluster * 4, value);
                    break;
            }
        }
    }

    std::size_t ClusterOffset(std::uint32_t cluster) const {
        return (reserved_ + 2 * fatSectors_ + rootSectors_) * kFatSector +
               std::size_t{cluster - 2} * ClusterBytes();
    }

    // Stores the data in these clusters, chained in this order.
    void WriteChain(const std::vector<std::uint32_t>& chain, const Bytes& data) {
        ASSERT_LE(data.size(), chain.size() * ClusterBytes());
        for (std::size_t i = 0; i < chain.size(); ++i) {
            SetFat(chain[i], i + 1 < chain.size() ? chain[i + 1] : EndOfChain());
            const std::size_t from = i * ClusterBytes();
            if (from >= data.size()) continue;
            const std::size_t to = std::min<std::size_t>(data.size(), from + ClusterBytes());
            PutBytes(bytes_, ClusterOffset(chain[i]),
                     Bytes(data.begin() + static_cast<std::ptrdiff_t>(from),
                           data.begin() + static_cast<std::ptrdiff_t>(to)));
        }
    }

    // FAT12/16: the fixed root region; FAT32: a chain starting at the BPB's root cluster (2).
    void WriteRoot(const Bytes& directory, const std::vector<std::uint32_t>& fat32Chain) {
        if (kind_ == FatKind::Fat32) {
            ASSERT_EQ(fat32Chain.front(), 2u);
            WriteChain(fat32Chain, directory);
            return;
        }
        ASSERT_LE(directory.size(), rootEntries_ * 32u);
        PutBytes(bytes_, (reserved_ + 2 * fatSectors_) * kFatSector, directory);
    }

    Bytes& bytes() { return bytes_; }

  private:
    std::uint32_t Mask() const {
        return kind_ == FatKind::Fat12 ? 0x0FFF : kind_ == FatKind::Fat16 ? 0xFFFF : 0x0FFFFFFF;
    }

    void WriteBootSector() {
        Bytes& b = bytes_;
        b[0] = 0xEB;
        b[1] = 0x3C;
        b[2] = 0x90;
        PutText(b, 3, "MSDOS5.0");
        PutLe16(b, 11, kFatSector);
        b[13] = sectorsPerCluster_;
        PutLe16(b, 14, static_cast<std::uint16_t>(reserved_));
        b[16] = 2;
        PutLe16(b, 17, static_cast<std::uint16_t>(rootEntries_));
        if (totalSectors_ < 0x10000 && kind_ != FatKind::Fat32)
            PutLe16(b, 19, static_cast<std::uint16_t>(totalSectors_));
        else
            PutLe32(b, 32, totalSectors_);
        b[21] = 0xF8;
        PutLe16(b, 24, 63);
        PutLe16(b, 26, 255);
        if (kind_ == FatKind::Fat32) {
            PutLe32(b, 36, fatSectors_);
            PutLe32(b, 44, 2);  // root cluster
            PutLe16(b, 48, 1);  // FSInfo sector
            PutLe16(b, 50, 6);  // backup boot sector
            b[64] = 0x80;
            b[66] = 0x29;
            PutText(b, 71, "CERTVANE   FAT32   ");
        } else {
            PutLe16(b, 22, static_cast<std::uint16_t>(fatSectors_));
            b[36] = 0x80;
            b[38] = 0x29;
            PutText(b, 43, kind_ == FatKind::Fat12 ? "CERTVANE   FAT12   " : "CERTVANE   FAT16   ");
        }
        b[510] = 0x55;
        b[511] = 0xAA;
    }

    FatKind kind_;
    std::uint32_t clusters_;
    std::uint32_t sectorsPerCluster_;
    std::uint32_t reserved_ = 0;
    std::uint32_t rootEntries_ = 0;
    std::uint32_t fatSectors_ = 0;
    std::uint32_t rootSectors_ = 0;
    std::uint32_t totalSectors_ = 0;
    Bytes bytes_;
};

inline constexpr std::uint8_t kAttrArchive = 0x20;
inline constexpr std::uint8_t kAttrDirectory = 0x10;
inline constexpr std::uint8_t kAttrVolumeId = 0x08;

// A short (8.3) directory entry; `name11` is the name as stored, space padded.
inline Bytes ShortEntry(std::string_view name11, std::uint8_t attributes, std::uint32_t cluster,
                        std::uint32_t size, std::uint8_t caseFlags = 0) {
    Bytes entry(32, 0);
    EXPECT_EQ(name11.size(), 11u);
    PutText(entry, 0, name11.substr(0, 11));
    entry[11] = attributes;
    entry[12] = caseFlags;
    PutLe16(entry, 20, static_cast<std::uint16_t>(cluster >> 16));
    PutLe16(entry, 26, static_cast<std::uint16_t>(cluster));
    PutLe32(entry, 28, size);
    return entry;
}

// The long-name checksum of a short name: rotate right by one, add the next byte.
inline std::uint8_t Checksum(std::string_view name11) {
    std::uint8_t sum = 0;
    for (char c : name11)
        sum = static_cast<std::uint8_t>(((sum & 1) ? 0x80 : 0) + (sum >> 1) +
                                        static_cast<std::uint8_t>(c));
    return sum;
}

// The long-name entries of a name as they lie on disk: last piece first (ordinal | 0x40), 13
// UTF-16 units a piece, ended by 0x0000 and padded with 0xFFFF.
inline std::vector<Bytes> LongNameEntries(std::u16string_view name, std::string_view name11) {
    std::u16string units(name);
    if (units.size() % 13 != 0) units.push_back(u'\0');
    while (units.size() % 13 != 0) units.push_back(u'\xFFFF');
    const std::size_t pieces = units.size() / 13;
    static constexpr std::size_t kUnitAt[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
    std::vector<Bytes> entries;
    for (std::size_t piece = pieces; piece >= 1; --piece) {
        Bytes entry(32, 0);
        entry[0] = static_cast<std::uint8_t>(piece | (piece == pieces ? 0x40 : 0));
        entry[11] = 0x0F;
        entry[13] = Checksum(name11);
        for (std::size_t i = 0; i < 13; ++i)
            PutLe16(entry, kUnitAt[i], units[(piece - 1) * 13 + i]);
        entries.push_back(entry);
    }
    return entries;
}

class DirBuilder {
  public:
    DirBuilder& Add(Bytes entry) {
        entries_.push_back(std::move(entry));
        return *this;
    }
    DirBuilder& File(std::string_view name11, std::uint32_t cluster, std::uint32_t size,
                     std::uint8_t caseFlags = 0) {
        return Add(ShortEntry(name11, kAttrArchive, cluster, size, caseFlags));
    }
    DirBuilder& Directory(std::string_view name11, std::uint32_t cluster) {
        return Add(ShortEntry(name11, kAttrDirectory, cluster, 0));
    }
    // The long-name entries, then the short entry they belong to.
    DirBuilder& Long(std::u16string_view name, std::string_view name11, std::uint8_t attributes,
                     std::uint32_t cluster, std::uint32_t size) {
        for (Bytes& entry : LongNameEntries(name, name11)) Add(std::move(entry));
        return Add(ShortEntry(name11, attributes, cluster, size));
    }
    DirBuilder& Deleted(std::string_view name11) {
        Bytes entry = ShortEntry(name11, kAttrArchive, 0, 0);
        entry[0] = 0xE5;
        return Add(entry);
    }
    DirBuilder& Label(std::string_view label11) {
        return Add(ShortEntry(label11, kAttrVolumeId | kAttrArchive, 0, 0));
    }
    DirBuilder& Dots(std::uint32_t self, std::uint32_t parent) {
        Directory(".          ", self);
        return Directory("..         ", parent);
    }
    // Fills the directory's cluster with deleted entries, so what follows lies in the next one.
    DirBuilder& PadToMultipleOf(std::size_t entries) {
        while (entries_.size() % entries != 0) Deleted("PADDING    ");
        return *this;
    }
    Bytes Build() const {
        Bytes out;
        for (const Bytes& entry : entries_) out.insert(out.end(), entry.begin(), entry.end());
        return out;
    }

  private:
    std::vector<Bytes> entries_;
};

}  // namespace certvane::test
