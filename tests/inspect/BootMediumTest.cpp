// Boot media read as files: the El Torito catalog of ISO 9660 images and the FAT file systems of
// EFI boot images, built here byte by byte in the ISO 9660, El Torito and FAT layouts.
#include "inspect/BootMedium.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/DiskImages.h"

namespace certvane {
namespace {

using namespace test;

// FindEfiBootImage over the bytes, failing the test when it asks for bytes past their end:
// ReadBlock must refuse those before the reader sees them.
std::optional<BootImageRange> FindIn(const Bytes& medium, std::uint64_t maxImageBytes = kNoLimit) {
    int outside = 0;
    const MediumReader read = [&](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset > medium.size() || out.size() > medium.size() - offset) {
            ++outside;
            return false;
        }
        std::copy_n(medium.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
        return true;
    };
    auto range = FindEfiBootImage(read, medium.size(), maxImageBytes);
    EXPECT_EQ(outside, 0) << "asked for bytes past the medium's end";
    return range;
}

// The tree most tests look at. Clusters: root (FAT32) 2-3, EFI 4, EFI/BOOT 5-6, EFI/Microsoft 7,
// EFI/Microsoft/Boot 8, files from 20 on; BOOTX64.EFI spans five clusters out of order.
const std::vector<std::uint32_t> kBootX64Chain = {30, 32, 31, 35, 33};
const std::string kDemarrage = "D\xC3\xA9marrage de secours.efi";

Bytes BootX64(std::uint32_t clusterBytes) {
    return Pattern(4 * clusterBytes + 100, 0x11);
}
Bytes BootMgfw(std::uint32_t clusterBytes) {
    return Pattern(clusterBytes + 1, 0x22);
}
Bytes Grub() {
    return Pattern(300, 0x33);
}

// On a FAT32 volume with clusters past 0xFFFF, grubx64.efi lies in one: its number needs the
// high word of the entry.
std::uint32_t GrubCluster(const FatBuilder& fat) {
    return fat.Clusters() > 0x10100 ? 0x10010 : 22;
}

FatBuilder EfiTree(FatKind kind, std::uint32_t clusters, std::uint8_t sectorsPerCluster = 1) {
    const std::uint16_t rootEntries =
        static_cast<std::uint16_t>(2 * sectorsPerCluster * kFatSector / 32);
    FatBuilder fat(kind, clusters, sectorsPerCluster, rootEntries);
    const std::uint32_t cb = fat.ClusterBytes();
    const std::size_t perCluster = fat.EntriesPerCluster();

    fat.WriteRoot(DirBuilder()
                      .Label("CERTVANE   ")
                      .Directory("EFI        ", 4)
                      .File("README  TXT", 20, 10)
                      .PadToMultipleOf(perCluster)
                      .File("SHELLX64EFI", 21, 100)
                      .Build(),
                  {2, 3});
    fat.WriteChain({4}, DirBuilder()
                            .Dots(4, 0)
                            .Directory("BOOT       ", 5)
                            .Long(u"Microsoft", "MICROS~1   ", kAttrDirectory, 7, 0)
                            .Build());
    fat.WriteChain({5, 6},
                   DirBuilder()
                       .Dots(5, 4)
                       .Deleted("OLDBOOT EFI")
                       .PadToMultipleOf(perCluster)
                       .Long(u"grubx64.efi", "GRUBX64 EFI", kAttrArchive, GrubCluster(fat), 300)
                       .File("BOOTX64 EFI", kBootX64Chain.front(), 4 * cb + 100)
                       .Build());
    fat.WriteChain(
        {7}, DirBuilder().Dots(7, 4).Long(u"Boot", "BOOT       ", kAttrDirectory, 8, 0).Build());
    fat.WriteChain({8},
                   DirBuilder()
                       .Dots(8, 7)
                       .Long(u"bootmgfw.efi", "BOOTMGFWEFI", kAttrArchive, 40, cb + 1)
                       .Long(u"D\u00e9marrage de secours.efi", "DMARRA~1EFI", kAttrArchive, 45, 10)
                       .File("BCD        ", 46, 20)
                       .Build());
    fat.WriteChain({20}, Pattern(10, 0x44));
    fat.WriteChain({21}, Pattern(100, 0x55));
    fat.WriteChain({GrubCluster(fat)}, Grub());
    fat.WriteChain(kBootX64Chain, BootX64(cb));
    fat.WriteChain({40, 41}, BootMgfw(cb));
    fat.WriteChain({45}, Pattern(10, 0x66));
    fat.WriteChain({46}, Pattern(20, 0x77));
    return fat;
}

std::vector<FatFile> Sorted(std::vector<FatFile> files) {
    std::sort(files.begin(), files.end(),
              [](const FatFile& a, const FatFile& b) { return a.path < b.path; });
    return files;
}

std::vector<FatFile> ExpectedTreeFiles(std::uint32_t cb) {
    return Sorted({{"EFI/BOOT/BOOTX64.EFI", 4 * cb + 100},
                   {"EFI/BOOT/grubx64.efi", 300},
                   {"EFI/Microsoft/Boot/" + kDemarrage, 10},
                   {"EFI/Microsoft/Boot/bootmgfw.efi", cb + 1},
                   {"SHELLX64.EFI", 100}});
}

std::vector<std::string> Paths(const std::vector<FatFile>& files) {
    std::vector<std::string> paths;
    for (const FatFile& file : files) paths.push_back(file.path);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// ---------------------------------------------------------------------------------------------
// El Torito tests

TEST(ElToritoCatalog, FindsTheEfiEntryOfASectionHeader) {
    // As Windows media have it: a BIOS default entry, then one EFI section.
    const Bytes medium =
        ElToritoMedium({ValidationEntry(kX86), BootEntry(kBootable, 20, 4),
                        SectionHeader(true, kEfi, 1), BootEntry(kBootable, 24, 8)});
    EXPECT_EQ(FindIn(medium), (BootImageRange{24 * kIsoSector, 8 * 512}));
    // The sector count's size is cut at the caller's bound.
    EXPECT_EQ(FindIn(medium, 1000), (BootImageRange{24 * kIsoSector, 1000}));
}

TEST(ElToritoCatalog, FindsTheEfiEntryOfTheValidationEntry) {
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kEfi), BootEntry(kBootable, 22, 6)})),
              (BootImageRange{22 * kIsoSector, 6 * 512}));
    // The default entry of a validation entry for x86 is not the EFI one.
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kX86), BootEntry(kBootable, 22, 6)})),
              std::nullopt);
    // Nor is an EFI entry that is not bootable.
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kEfi), BootEntry(kNotBootable, 22, 6)})),
              std::nullopt);
}

TEST(ElToritoCatalog, WalksSectionsPastOtherPlatformsAndExtensionEntries) {
    // The x86 section's first entry announces two extension entries, which its count of two
    // does not include; the next EFI section's only entry is not bootable.
    const Bytes medium = ElToritoMedium({
        ValidationEntry(kX86),
        BootEntry(kBootable, 20, 4),
        SectionHeader(false, kX86, 2),
        BootEntry(kBootable, 21, 4, 0x20),
        ExtensionEntry(true),
        ExtensionEntry(false),
        BootEntry(kBootable, 22, 4),
        SectionHeader(false, kEfi, 1),
        BootEntry(kNotBootable, 23, 4),
        SectionHeader(true, kEfi, 2),
        BootEntry(kBootable, 25, 12),
        BootEntry(kBootable, 26, 12),
    });
    EXPECT_EQ(FindIn(medium), (BootImageRange{25 * kIsoSector, 12 * 512}));

    // Nothing after the last section (0x91) belongs to the catalog.
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kX86), BootEntry(kBootable, 20, 4),
                                     SectionHeader(true, kX86, 1), BootEntry(kBootable, 21, 4),
                                     SectionHeader(true, kEfi, 1), BootEntry(kBootable, 26, 4)})),
              std::nullopt);
    // A section count larger than the catalog stops at the catalog's end.
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kX86), BootEntry(kBootable, 20, 4),
                                     SectionHeader(true, kX86, 0xFFFF)})),
              std::nullopt);
}

TEST(ElToritoCatalog, TakesAnUnknownSizeFromTheFatBootSector) {
    FatBuilder fat(FatKind::Fat12, 64);
    const std::uint64_t fatBytes = std::uint64_t{fat.TotalSectors()} * kFatSector;
    for (std::uint16_t count : {0, 1}) {
        SCOPED_TRACE(count);
        IsoBuilder iso(40);
        iso.PrimaryVolume(16).BootRecord(17, 19).Terminator(18).Put(20 * kIsoSector, fat.bytes());
        iso.Catalog(19, {ValidationEntry(kX86), BootEntry(kBootable, 20, 4),
                         SectionHeader(true, kEfi, 1), BootEntry(kBootable, 20, count)});
        const Bytes medium = iso.bytes();
        EXPECT_EQ(FindIn(medium), (BootImageRange{20 * kIsoSector, fatBytes}));
        EXPECT_EQ(FindIn(medium, 4096), (BootImageRange{20 * kIsoSector, 4096}));
        // A medium cut inside the image gives what is left of it.
        const std::uint64_t cut = 20 * kIsoSector + 10000;
        EXPECT_EQ(FindIn(Bytes(medium.begin(), medium.begin() + cut)),
                  (BootImageRange{20 * kIsoSector, 10000}));
    }

    // Without a FAT boot sector the size cannot be told: the next EFI entry is taken instead.
    const std::vector<Bytes> catalog = {ValidationEntry(kX86), BootEntry(kBootable, 20, 4),
                                        SectionHeader(true, kEfi, 2), BootEntry(kBootable, 21, 1),
                                        BootEntry(kBootable, 22, 16)};
    EXPECT_EQ(FindIn(ElToritoMedium(catalog)), (BootImageRange{22 * kIsoSector, 16 * 512}));
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kEfi), BootEntry(kBootable, 21, 0)})),
              std::nullopt);
}

TEST(ElToritoCatalog, RejectsMediaWithoutACatalog) {
    const std::vector<Bytes> catalog = {ValidationEntry(kEfi), BootEntry(kBootable, 22, 4)};
    // A plain ISO 9660 volume.
    EXPECT_EQ(FindIn(IsoBuilder(40).PrimaryVolume(16).Terminator(17).bytes()), std::nullopt);
    // Not ISO 9660 at all, or too short to hold a descriptor.
    EXPECT_EQ(FindIn(Bytes(40 * kIsoSector, 0)), std::nullopt);
    EXPECT_EQ(FindIn(Bytes(16 * kIsoSector + 100, 0)), std::nullopt);
    // A boot record of another boot system.
    EXPECT_EQ(FindIn(IsoBuilder(40)
                         .PrimaryVolume(16)
                         .BootRecord(17, 19, "EL TORITO SPECIFICATIOM")
                         .Terminator(18)
                         .Catalog(19, catalog)
                         .bytes()),
              std::nullopt);
    // A boot record after the terminator is not part of the descriptor set.
    EXPECT_EQ(FindIn(IsoBuilder(40)
                         .PrimaryVolume(16)
                         .Terminator(17)
                         .BootRecord(18, 19)
                         .Catalog(19, catalog)
                         .bytes()),
              std::nullopt);
    // Without a terminator the walk is bounded: a boot record behind 200 supplementary volume
    // descriptors is not reached, one behind two is.
    IsoBuilder far(260);
    for (std::size_t sector = 16; sector < 216; ++sector) far.Descriptor(sector, 2);
    far.BootRecord(216, 217).Catalog(217, catalog);
    EXPECT_EQ(FindIn(far.bytes()), std::nullopt);
    IsoBuilder near(40);
    near.Descriptor(16, 2).Descriptor(17, 2).BootRecord(18, 19).Catalog(19, catalog);
    EXPECT_EQ(FindIn(near.bytes()), (BootImageRange{22 * kIsoSector, 4 * 512}));
    // A reader that fails.
    const MediumReader failing = [](std::uint64_t, std::span<std::uint8_t>) { return false; };
    EXPECT_EQ(FindEfiBootImage(failing, 40 * kIsoSector, kNoLimit), std::nullopt);
}

TEST(ElToritoCatalog, RejectsAnUnsoundValidationEntry) {
    const Bytes entry = BootEntry(kBootable, 22, 4);
    EXPECT_TRUE(FindIn(ElToritoMedium({ValidationEntry(kEfi), entry})).has_value());
    // One byte changed after the checksum was made.
    Bytes changed = ValidationEntry(kEfi);
    changed[5] ^= 0x01;
    EXPECT_EQ(FindIn(ElToritoMedium({changed, entry})), std::nullopt);
    // Sound checksums, but another header id or key byte.
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kEfi, 2), entry})), std::nullopt);
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kEfi, 1, 0xAB), entry})), std::nullopt);
}

TEST(ElToritoCatalog, RejectsPointersBeyondTheMedium) {
    const std::vector<Bytes> catalog = {ValidationEntry(kEfi), BootEntry(kBootable, 22, 4)};
    for (std::uint32_t catalogSector : {40u, 1000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(catalogSector);
        EXPECT_EQ(FindIn(IsoBuilder(40)
                             .PrimaryVolume(16)
                             .BootRecord(17, catalogSector)
                             .Terminator(18)
                             .Catalog(19, catalog)
                             .bytes()),
                  std::nullopt);
    }
    for (std::uint32_t loadRba : {40u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(loadRba);
        EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kEfi), BootEntry(kBootable, loadRba, 4)})),
                  std::nullopt);
    }
    // An image running past the end is cut there.
    EXPECT_EQ(FindIn(ElToritoMedium({ValidationEntry(kEfi), BootEntry(kBootable, 38, 100)})),
              (BootImageRange{38 * kIsoSector, 2 * kIsoSector}));
    // A catalog in the medium's last sector is read without asking for the sectors after it.
    EXPECT_EQ(FindIn(IsoBuilder(21)
                         .PrimaryVolume(16)
                         .BootRecord(17, 20)
                         .Terminator(18)
                         .Catalog(20, {ValidationEntry(kEfi), BootEntry(kBootable, 19, 4)})
                         .bytes()),
              (BootImageRange{19 * kIsoSector, 4 * 512}));
}

TEST(ElToritoCatalog, LeadsToTheFilesOfTheFatImage) {
    FatBuilder fat = EfiTree(FatKind::Fat12, 64);
    const std::size_t sectors = 20 + (fat.bytes().size() + kIsoSector - 1) / kIsoSector;
    IsoBuilder iso(sectors);
    iso.PrimaryVolume(16).BootRecord(17, 19).Terminator(18).Put(20 * kIsoSector, fat.bytes());
    iso.Catalog(19, {ValidationEntry(kX86), BootEntry(kBootable, 0, 4),
                     SectionHeader(true, kEfi, 1), BootEntry(kBootable, 20, 1)});
    const auto range = FindIn(iso.bytes());
    ASSERT_TRUE(range.has_value());
    ASSERT_EQ(range->size, fat.bytes().size());
    const auto image =
        std::span<const std::uint8_t>(iso.bytes()).subspan(range->offset, range->size);
    const auto listing = ListFatEfiFiles(image, 4, 16);
    ASSERT_TRUE(listing.has_value());
    EXPECT_EQ(Sorted(listing->files), ExpectedTreeFiles(fat.ClusterBytes()));
    EXPECT_EQ(ReadFatFile(image, "EFI/BOOT/BOOTX64.EFI", kNoLimit), BootX64(fat.ClusterBytes()));
}

// ---------------------------------------------------------------------------------------------
// FAT tests over every FAT type, each at the cluster counts on both sides of its thresholds.

struct FatCase {
    FatKind kind;
    std::uint32_t clusters;
    std::uint8_t sectorsPerCluster;
};

class FatTree : public ::testing::TestWithParam<FatCase> {
  protected:
    FatBuilder Build() const {
        return EfiTree(GetParam().kind, GetParam().clusters, GetParam().sectorsPerCluster);
    }
};

INSTANTIATE_TEST_SUITE_P(
    Types, FatTree,
    ::testing::Values(FatCase{FatKind::Fat12, 64, 1}, FatCase{FatKind::Fat12, 64, 4},
                      FatCase{FatKind::Fat12, 4084, 1}, FatCase{FatKind::Fat16, 4085, 1},
                      FatCase{FatKind::Fat16, 65524, 1}, FatCase{FatKind::Fat32, 65525, 1},
                      FatCase{FatKind::Fat32, 70000, 1}),
    [](const ::testing::TestParamInfo<FatCase>& info) {
        const char* kind = info.param.kind == FatKind::Fat12   ? "Fat12"
                           : info.param.kind == FatKind::Fat16 ? "Fat16"
                                                               : "Fat32";
        return std::string(kind) + "_" + std::to_string(info.param.clusters) + "Clusters_" +
               std::to_string(info.param.sectorsPerCluster) + "PerCluster";
    });

TEST_P(FatTree, ListsEveryEfiFileByItsLongName) {
    FatBuilder fat = Build();
    EXPECT_TRUE(LooksLikeFat(fat.bytes()));
    const auto listing = ListFatEfiFiles(fat.bytes(), 8, 64);
    ASSERT_TRUE(listing.has_value());
    // Not README.TXT or BCD (other extensions), not the deleted OLDBOOT.EFI, nothing twice by
    // way of "." or "..", and the label is no file.
    EXPECT_EQ(Sorted(listing->files), ExpectedTreeFiles(fat.ClusterBytes()));
    EXPECT_FALSE(listing->boundHit);
}

TEST_P(FatTree, ReadsFilesAlongTheirChains) {
    FatBuilder fat = Build();
    const std::uint32_t cb = fat.ClusterBytes();
    const Bytes& image = fat.bytes();
    EXPECT_EQ(ReadFatFile(image, "EFI/BOOT/BOOTX64.EFI", kNoLimit), BootX64(cb));
    EXPECT_EQ(ReadFatFile(image, "EFI/BOOT/grubx64.efi", kNoLimit), Grub());
    EXPECT_EQ(ReadFatFile(image, "EFI/Microsoft/Boot/bootmgfw.efi", kNoLimit), BootMgfw(cb));
    EXPECT_EQ(ReadFatFile(image, "EFI/Microsoft/Boot/" + kDemarrage, kNoLimit), Pattern(10, 0x66));
    // FAT names know no case, and the 8.3 names name the same files.
    EXPECT_EQ(ReadFatFile(image, "efi/boot/bootx64.efi", kNoLimit), BootX64(cb));
    EXPECT_EQ(ReadFatFile(image, "EFI/MICROS~1/BOOT/BOOTMGFW.EFI", kNoLimit), BootMgfw(cb));
    // The bound on the size is inclusive.
    EXPECT_EQ(ReadFatFile(image, "EFI/BOOT/BOOTX64.EFI", 4 * cb + 100), BootX64(cb));
    EXPECT_EQ(ReadFatFile(image, "EFI/BOOT/BOOTX64.EFI", 4 * cb + 99), std::nullopt);
    // Paths naming no regular file.
    for (std::string_view path :
         {"", "EFI", "EFI/BOOT", "EFI/BOOT/", "/EFI/BOOT/BOOTX64.EFI", "EFI//BOOT/BOOTX64.EFI",
          "EFI/BOOT/MISSING.EFI", "EFI/BOOT/BOOTX64.EFI/X", "EFI/../SHELLX64.EFI",
          "EFI/./BOOT/BOOTX64.EFI", "CERTVANE"}) {
        EXPECT_EQ(ReadFatFile(image, path, kNoLimit), std::nullopt) << path;
    }
}

TEST_P(FatTree, RefusesChainsThatLoopOrBreak) {
    const std::uint32_t clusters = GetParam().clusters;
    struct Damage {
        const char* what;
        std::uint32_t cluster;
        std::uint32_t value;  // 0 marks "free"
    };
    FatBuilder probe = Build();
    const std::vector<Damage> damages = {
        {"loops back to the first cluster", 31, 30},
        {"loops onto itself", 32, 32},
        {"leads past the last cluster", 31, clusters + 2},
        {"leads to a free cluster", 31, 0},
        {"holds the bad-cluster mark", 31, probe.BadCluster()},
        {"leads to reserved cluster 1", 31, 1},
        {"ends before the file's size", 35, probe.EndOfChain()},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        FatBuilder fat = Build();
        fat.SetFat(damage.cluster, damage.value);
        EXPECT_EQ(ReadFatFile(fat.bytes(), "EFI/BOOT/BOOTX64.EFI", kNoLimit), std::nullopt);
        // The directories are whole: the file is still listed, and the others still read.
        const auto listing = ListFatEfiFiles(fat.bytes(), 8, 64);
        ASSERT_TRUE(listing.has_value());
        EXPECT_EQ(Sorted(listing->files), ExpectedTreeFiles(fat.ClusterBytes()));
        EXPECT_EQ(ReadFatFile(fat.bytes(), "EFI/BOOT/grubx64.efi", kNoLimit), Grub());
    }
    // What the chain does after the clusters the size needs is not read, as a FAT driver does
    // not read it either.
    FatBuilder fat = Build();
    fat.SetFat(33, 30);
    EXPECT_EQ(ReadFatFile(fat.bytes(), "EFI/BOOT/BOOTX64.EFI", kNoLimit),
              BootX64(fat.ClusterBytes()));
}

TEST_P(FatTree, PassesOverDirectoriesWhoseChainsLoop) {
    // EFI/BOOT's chain 5 -> 6 goes back to 5.
    FatBuilder fat = Build();
    fat.SetFat(6, 5);
    const auto listing = ListFatEfiFiles(fat.bytes(), 8, 64);
    ASSERT_TRUE(listing.has_value());
    EXPECT_EQ(Paths(listing->files),
              (std::vector<std::string>{"EFI/Microsoft/Boot/" + kDemarrage,
                                        "EFI/Microsoft/Boot/bootmgfw.efi", "SHELLX64.EFI"}));
    EXPECT_EQ(ReadFatFile(fat.bytes(), "EFI/BOOT/BOOTX64.EFI", kNoLimit), std::nullopt);

    // EFI/Microsoft's chain 7 -> 6 runs into EFI/BOOT's second cluster, which the walk read
    // first: the directory sharing it is passed over rather than read with EFI/BOOT's entries.
    FatBuilder crossLinked = Build();
    crossLinked.SetFat(7, 6);
    const auto shared = ListFatEfiFiles(crossLinked.bytes(), 8, 64);
    ASSERT_TRUE(shared.has_value());
    EXPECT_EQ(
        Paths(shared->files),
        (std::vector<std::string>{"EFI/BOOT/BOOTX64.EFI", "EFI/BOOT/grubx64.efi", "SHELLX64.EFI"}));

    // EFI/Microsoft/Boot holds a directory entry leading back to EFI: each directory is still
    // read once, however deep the walk may go.
    FatBuilder cyclic = Build();
    // Its eight entries: the dots, two long-named files (five entries) and BCD.
    PutBytes(cyclic.bytes(), cyclic.ClusterOffset(8) + 8 * 32,
             ShortEntry("AGAIN      ", kAttrDirectory, 4, 0));
    const auto walked = ListFatEfiFiles(cyclic.bytes(), 1000, 1000);
    ASSERT_TRUE(walked.has_value());
    EXPECT_EQ(Sorted(walked->files), ExpectedTreeFiles(cyclic.ClusterBytes()));
    EXPECT_FALSE(walked->boundHit);
}

// ---------------------------------------------------------------------------------------------
// Bounds, long names and validation, on a small FAT12 volume.

TEST(FatBounds, TheDepthBoundCutsTheWalk) {
    FatBuilder fat = EfiTree(FatKind::Fat12, 64);
    const std::vector<std::string> root = {"SHELLX64.EFI"};
    const std::vector<std::string> throughBoot = {"EFI/BOOT/BOOTX64.EFI", "EFI/BOOT/grubx64.efi",
                                                  "SHELLX64.EFI"};
    struct Expected {
        unsigned maxDepth;
        std::vector<std::string> paths;
        bool boundHit;
    };
    const std::vector<Expected> cases = {
        {0, root, true},         // EFI not entered
        {1, root, true},         // EFI entered, BOOT and Microsoft not
        {2, throughBoot, true},  // EFI/Microsoft/Boot not entered
        {3, Paths(ExpectedTreeFiles(fat.ClusterBytes())), false},
        {100, Paths(ExpectedTreeFiles(fat.ClusterBytes())), false},
    };
    for (const Expected& expected : cases) {
        SCOPED_TRACE(expected.maxDepth);
        const auto listing = ListFatEfiFiles(fat.bytes(), expected.maxDepth, 64);
        ASSERT_TRUE(listing.has_value());
        EXPECT_EQ(Paths(listing->files), expected.paths);
        EXPECT_EQ(listing->boundHit, expected.boundHit);
    }
}

TEST(FatBounds, TheCountBoundCutsTheWalk) {
    FatBuilder fat = EfiTree(FatKind::Fat12, 64);
    const std::vector<FatFile> all = ExpectedTreeFiles(fat.ClusterBytes());
    for (std::size_t maxFiles : {0u, 1u, 4u, 5u, 6u}) {
        SCOPED_TRACE(maxFiles);
        const auto listing = ListFatEfiFiles(fat.bytes(), 8, maxFiles);
        ASSERT_TRUE(listing.has_value());
        EXPECT_EQ(listing->files.size(), std::min(maxFiles, all.size()));
        EXPECT_EQ(listing->boundHit, maxFiles < all.size());
        for (const FatFile& file : listing->files)
            EXPECT_NE(std::find(all.begin(), all.end(), file), all.end()) << file.path;
    }
}

// The name the listing gives the one .efi file of a root directory built from these entries.
std::vector<std::string> RootNames(const DirBuilder& root) {
    FatBuilder fat(FatKind::Fat12, 64, 1, 64);
    fat.WriteRoot(root.Build(), {});
    const auto listing = ListFatEfiFiles(fat.bytes(), 0, 16);
    if (!listing) return {"<not FAT>"};
    return Paths(listing->files);
}

using Names = std::vector<std::string>;

TEST(FatLongNames, AreTakenWhenTheyBelongToTheShortEntry) {
    EXPECT_EQ(RootNames(DirBuilder().Long(u"grubx64.efi", "GRUBX64 EFI", kAttrArchive, 10, 1)),
              Names{"grubx64.efi"});
    // Thirteen characters fill one piece without a terminator.
    EXPECT_EQ(RootNames(DirBuilder().Long(u"abcdefghi.efi", "ABCDEF~1EFI", kAttrArchive, 10, 1)),
              Names{"abcdefghi.efi"});
    // Four pieces; a character beyond the BMP comes as a surrogate pair.
    EXPECT_EQ(RootNames(DirBuilder().Long(u"A rather long name \U0001F680 for a boot file.efi",
                                          "ARATHE~1EFI", kAttrArchive, 10, 1)),
              Names{"A rather long name \xF0\x9F\x9A\x80 for a boot file.efi"});
    // A separator in a crafted name must not make the path name another file.
    EXPECT_EQ(RootNames(DirBuilder().Long(u"EFI/BOOT.efi", "EFIBOO~1EFI", kAttrArchive, 10, 1)),
              Names{"EFI_BOOT.efi"});
    // Without a long name, the NT case flags (0x08 base, 0x10 extension) make small letters.
    EXPECT_EQ(RootNames(DirBuilder().File("BOOTIA32EFI", 10, 1, 0x18)), Names{"bootia32.efi"});
    EXPECT_EQ(RootNames(DirBuilder().File("BOOTIA32EFI", 10, 1, 0x10)), Names{"BOOTIA32.efi"});
    // A volume label between two files is no file, and spoils nothing.
    EXPECT_EQ(RootNames(DirBuilder()
                            .File("A       EFI", 10, 1)
                            .Label("LABEL      ")
                            .File("B       EFI", 11, 1)),
              (Names{"A.EFI", "B.EFI"}));
}

TEST(FatLongNames, FallBackToTheShortNameWhenUnsound) {
    auto withPieces = [](std::vector<Bytes> pieces) {
        DirBuilder root;
        for (Bytes& piece : pieces) root.Add(std::move(piece));
        return RootNames(root.File("ARATHE~1EFI", 10, 1));
    };
    const std::u16string name = u"A rather long name for a boot file.efi";  // three pieces
    const std::vector<Bytes> sound = LongNameEntries(name, "ARATHE~1EFI");
    ASSERT_EQ(sound.size(), 3u);
    EXPECT_EQ(withPieces(sound), Names{"A rather long name for a boot file.efi"});

    // The checksum of another short name.
    EXPECT_EQ(withPieces(LongNameEntries(name, "OTHERN~1EFI")), Names{"ARATHE~1.EFI"});
    // A piece missing.
    EXPECT_EQ(withPieces({sound[0], sound[2]}), Names{"ARATHE~1.EFI"});
    // The piece of ordinal 1, the name's start, missing: the name is incomplete.
    EXPECT_EQ(withPieces({sound[0], sound[1]}), Names{"ARATHE~1.EFI"});
    // Pieces out of order.
    EXPECT_EQ(withPieces({sound[1], sound[0], sound[2]}), Names{"ARATHE~1.EFI"});
    // One piece with another checksum than the rest.
    std::vector<Bytes> mixed = sound;
    mixed[1][13] ^= 0x01;
    EXPECT_EQ(withPieces(mixed), Names{"ARATHE~1.EFI"});
    // A piece of ordinal 0 after a complete name (0x80: a first byte of 0 would end the
    // directory).
    std::vector<Bytes> extra = sound;
    extra.push_back(sound[2]);
    extra.back()[0] = 0x80;
    EXPECT_EQ(withPieces(extra), Names{"ARATHE~1.EFI"});
    // A deleted entry between the pieces and the short entry: the pieces were the deleted one's.
    std::vector<Bytes> beforeDeleted = sound;
    beforeDeleted.push_back(ShortEntry("ARATHE~1EFI", kAttrArchive, 0, 0));
    beforeDeleted.back()[0] = 0xE5;
    EXPECT_EQ(withPieces(beforeDeleted), Names{"ARATHE~1.EFI"});
    // A long name of a file that is not .efi does not list its .EFI short name's file.
    EXPECT_EQ(RootNames(DirBuilder().Long(u"notes.txt", "NOTES~1 EFI", kAttrArchive, 10, 1)),
              Names{});
}

TEST(FatValidation, RefusesWhatIsNotAFatVolume) {
    FatBuilder good(FatKind::Fat12, 64);
    ASSERT_TRUE(LooksLikeFat(good.bytes()));
    const std::uint64_t volumeBytes = std::uint64_t{good.TotalSectors()} * kFatSector;

    struct Damage {
        const char* what;
        std::size_t at;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Damage> damages = {
        {"no jump instruction", 0, {0x00}},
        {"256 bytes per sector", 11, {0x00, 0x01}},
        {"8192 bytes per sector", 11, {0x00, 0x20}},
        {"1536 bytes per sector", 11, {0x00, 0x06}},
        {"0 sectors per cluster", 13, {0}},
        {"3 sectors per cluster", 13, {3}},
        {"no reserved sectors", 14, {0, 0}},
        {"no FAT", 16, {0}},
        {"no root entries on FAT12", 17, {0, 0}},
        {"no total sectors", 19, {0, 0}},
        {"a media byte of 0x00", 21, {0x00}},
        {"FATs of 0 sectors", 22, {0, 0}},
        {"more sectors than the image", 19, {0xFF, 0x00}},
        {"FATs and root filling the volume", 22, {0x40, 0x00}},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        Bytes image = good.bytes();
        std::copy(damage.bytes.begin(), damage.bytes.end(), image.begin() + damage.at);
        EXPECT_FALSE(LooksLikeFat(image));
        EXPECT_EQ(ListFatEfiFiles(image, 8, 64), std::nullopt);
        EXPECT_EQ(ReadFatFile(image, "SHELLX64.EFI", kNoLimit), std::nullopt);
    }

    // An image one sector shorter than its volume, and buffers of other things.
    EXPECT_FALSE(LooksLikeFat(std::span(good.bytes()).first(volumeBytes - kFatSector)));
    EXPECT_FALSE(LooksLikeFat(Bytes(8192, 0)));
    EXPECT_FALSE(LooksLikeFat(Bytes(300, 0xEB)));
    EXPECT_FALSE(LooksLikeFat({}));
    const std::string text(4096, 'x');
    EXPECT_FALSE(
        LooksLikeFat(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
    EXPECT_EQ(ListFatEfiFiles(Bytes(8192, 0), 8, 64), std::nullopt);

    // The boot sector alone declares the size, though it is no whole volume.
    const auto bootSector = std::span(good.bytes()).first(kFatSector);
    EXPECT_EQ(FatVolumeBytes(bootSector), volumeBytes);
    EXPECT_FALSE(LooksLikeFat(bootSector));
    EXPECT_EQ(FatVolumeBytes(std::span(good.bytes()).first(kFatSector - 1)), std::nullopt);
}

TEST(FatValidation, TakesTheFatType) {
    // A FAT32 volume keeps its root in clusters; one whose BPB names a root cluster outside the
    // volume is refused, as is one with a FAT12/16 root region or 16-bit FAT size.
    FatBuilder fat32 = EfiTree(FatKind::Fat32, 65525);
    ASSERT_TRUE(LooksLikeFat(fat32.bytes()));
    for (std::uint32_t rootCluster : {0u, 1u, 65527u}) {
        Bytes image = fat32.bytes();
        PutLe32(image, 44, rootCluster);
        EXPECT_FALSE(LooksLikeFat(image)) << rootCluster;
    }
    Bytes withFatSize16 = fat32.bytes();
    PutLe16(withFatSize16, 22, 1);
    EXPECT_FALSE(LooksLikeFat(withFatSize16));
    // With mirroring off, the second FAT is the one in use: damage in the first no longer
    // matters, damage in the second does.
    Bytes secondFat = fat32.bytes();
    PutLe16(secondFat, 40, 0x81);
    const std::size_t fatSectors = (65527 * 4 + kFatSector - 1) / kFatSector;
    PutLe32(secondFat, 32 * kFatSector + 31 * 4, 0);  // the first FAT's entry for cluster 31
    EXPECT_EQ(ReadFatFile(secondFat, "EFI/BOOT/BOOTX64.EFI", kNoLimit), BootX64(512));
    PutLe32(secondFat, (32 + fatSectors) * kFatSector + 31 * 4, 0);
    EXPECT_EQ(ReadFatFile(secondFat, "EFI/BOOT/BOOTX64.EFI", kNoLimit), std::nullopt);
}

}  // namespace
}  // namespace certvane
