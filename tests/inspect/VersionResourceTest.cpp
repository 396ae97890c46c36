// The OriginalFilename of PE images' version resources, with the images built here byte by byte
// in the PE/COFF layout (data directories, section table, resource directory
// tables) and the VS_VERSIONINFO, StringFileInfo, StringTable and String structures.
#include "inspect/VersionResource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace certvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutLe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    PutLe16(bytes, at, static_cast<std::uint16_t>(value));
    PutLe16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t GetLe16(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
}

std::uint32_t GetLe32(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes.at(at)) | (std::uint32_t{bytes.at(at + 1)} << 8) |
           (std::uint32_t{bytes.at(at + 2)} << 16) | (std::uint32_t{bytes.at(at + 3)} << 24);
}

void AppendLe16(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendUtf16(Bytes& bytes, std::u16string_view text) {
    for (char16_t c : text) AppendLe16(bytes, c);
}

void PadTo4(Bytes& bytes) {
    while (bytes.size() % 4 != 0) bytes.push_back(0);
}

// --- Version resources ------------------------------------------------------------------------

// A version resource node: header, NUL-terminated key, padding, value, then the children with
// padding before each. wLength ends with the last child, as resource compilers write it.
Bytes Node(std::u16string_view key, std::uint16_t type, std::uint16_t valueLength,
           const Bytes& value, const std::vector<Bytes>& children) {
    Bytes node(6, 0);
    AppendUtf16(node, key);
    AppendLe16(node, 0);
    PadTo4(node);
    node.insert(node.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        PadTo4(node);
        node.insert(node.end(), child.begin(), child.end());
    }
    EXPECT_LE(node.size(), 0xFFFFu);
    PutLe16(node, 0, static_cast<std::uint16_t>(node.size()));
    PutLe16(node, 2, valueLength);
    PutLe16(node, 4, type);
    return node;
}

// A String whose wValueLength counts its characters and the NUL, as rc.exe writes it.
Bytes String(std::u16string_view key, std::u16string_view text) {
    Bytes value;
    AppendUtf16(value, text);
    AppendLe16(value, 0);
    return Node(key, 1, static_cast<std::uint16_t>(text.size() + 1), value, {});
}

Bytes StringTable(std::u16string_view key, const std::vector<Bytes>& strings) {
    return Node(key, 1, 0, {}, strings);
}

Bytes StringFileInfo(const std::vector<Bytes>& tables) {
    return Node(u"StringFileInfo", 1, 0, {}, tables);
}

Bytes VarFileInfo() {
    return Node(u"VarFileInfo", 1, 0, {},
                {Node(u"Translation", 0, 4, {0x09, 0x04, 0xB0, 0x04}, {})});
}

Bytes VersionInfo(const std::vector<Bytes>& children) {
    Bytes fixed(52, 0);
    PutLe32(fixed, 0, 0xFEEF04BD);  // dwSignature
    PutLe32(fixed, 4, 0x00010000);  // dwStrucVersion
    PutLe32(fixed, 8, 0x000A0000);  // dwFileVersionMS: 10.0
    return Node(u"VS_VERSION_INFO", 0, 52, fixed, children);
}

Bytes BootStrings(std::u16string_view originalFilename) {
    return StringTable(u"040904B0", {String(u"CompanyName", u"Microsoft Corporation"),
                                     String(u"FileDescription", u"Boot Manager"),
                                     String(u"InternalName", u"bootmgr.exe"),
                                     String(u"OriginalFilename", originalFilename),
                                     String(u"ProductName", u"Microsoft Windows")});
}

Bytes StandardVersion(std::u16string_view originalFilename) {
    return VersionInfo({StringFileInfo({BootStrings(originalFilename)}), VarFileInfo()});
}

// Where the node whose key is `key` begins in a version resource.
std::size_t NodeWithKey(const Bytes& version, std::u16string_view key) {
    Bytes pattern;
    AppendUtf16(pattern, key);
    AppendLe16(pattern, 0);
    const auto found = std::search(version.begin(), version.end(), pattern.begin(), pattern.end());
    EXPECT_NE(found, version.end());
    return static_cast<std::size_t>(found - version.begin()) - 6;
}

// --- Resource trees -------------------------------------------------------------------------

constexpr std::uint32_t Subdirectory = 0x80000000u;
constexpr std::uint32_t NamedEntry = 0x80000000u;

// A resource tree laid out in the order it is asked for; offsets are from its root.
class TreeBuilder {
  public:
    std::size_t Directory(std::uint16_t named, std::uint16_t ids) {
        const std::size_t at = Reserve(16 + 8 * (std::size_t{named} + ids));
        PutLe16(tree_, at + 12, named);
        PutLe16(tree_, at + 14, ids);
        return at;
    }
    static std::size_t EntryAt(std::size_t directory, std::size_t index) {
        return directory + 16 + 8 * index;
    }
    void Entry(std::size_t directory, std::size_t index, std::uint32_t name, std::uint32_t target) {
        PutLe32(tree_, EntryAt(directory, index), name);
        PutLe32(tree_, EntryAt(directory, index) + 4, target);
    }
    std::size_t DataEntry(std::uint32_t rva, std::uint32_t size) {
        const std::size_t at = Reserve(16);
        PutLe32(tree_, at, rva);
        PutLe32(tree_, at + 4, size);
        return at;
    }
    std::size_t Name(std::u16string_view name) {
        const std::size_t at = Reserve(0);
        AppendLe16(tree_, static_cast<std::uint16_t>(name.size()));
        AppendUtf16(tree_, name);
        return at;
    }
    std::size_t Blob(const Bytes& blob) {
        const std::size_t at = Reserve(0);
        tree_.insert(tree_.end(), blob.begin(), blob.end());
        return at;
    }
    std::size_t Size() const { return tree_.size(); }
    const Bytes& Tree() const { return tree_; }

  private:
    std::size_t Reserve(std::size_t size) {
        PadTo4(tree_);
        const std::size_t at = tree_.size();
        tree_.resize(at + size);
        return at;
    }
    Bytes tree_;
};

// --- PE images --------------------------------------------------------------------------------

constexpr std::uint16_t Pe32Magic = 0x10B;
constexpr std::uint16_t Pe32PlusMagic = 0x20B;
constexpr std::size_t PeAt = 0x80;
constexpr std::size_t OptionalAt = PeAt + 4 + 20;
constexpr std::size_t TextFileAt = 0x400;
constexpr std::size_t TextRawSize = 0x800;
constexpr std::uint32_t TextRva = 0x1000;
constexpr std::size_t RsrcFileAt = TextFileAt + TextRawSize;
constexpr std::uint32_t RsrcRva = 0x2000;

struct ImageOptions {
    std::uint16_t magic = Pe32PlusMagic;
    Bytes version = StandardVersion(u"bootmgfw.efi");
    std::uint32_t versionType = 16;
};

// Where the parts of a built image lie (file offsets), so that a test can damage one of them.
struct Image {
    Bytes bytes;
    std::size_t numberOfSections;
    std::size_t numberOfRvaAndSizes;
    std::size_t resourceDirectory;  // data directory entry 2
    std::size_t rsrcHeader;         // the .rsrc section header
    std::size_t typeEntry;          // the root's entry for RT_VERSION
    std::size_t nameEntry;          // its first name entry
    std::size_t languageEntry;      // that one's first language entry
    std::size_t dataEntry;          // the data entry that one names
    std::size_t version;            // the version resource
};

// Around the version resource lie decoys, each another version resource with OriginalFilename
// "decoy.efi": two named type entries (as many as the ids before 16) and the ids 3 and 24 at the
// type level, a second name and a second language, so that taking any other path than type 16,
// first name, first language shows. The version resource comes last and the image ends with it,
// so that reading past it is read past the image.
Image BuildImage(const ImageOptions& options) {
    TreeBuilder tree;
    const std::size_t root = tree.Directory(2, 3);
    const std::size_t decoyNames = tree.Directory(0, 1);
    const std::size_t decoyLanguages = tree.Directory(0, 1);
    const std::size_t names = tree.Directory(0, 2);
    const std::size_t languages = tree.Directory(0, 2);
    const std::size_t decoyData = tree.DataEntry(0, 0);
    const std::size_t data = tree.DataEntry(0, 0);
    const std::size_t decoyName = tree.Name(u"DECOY");
    const Bytes decoy = StandardVersion(u"decoy.efi");
    const std::size_t decoyBlob = tree.Blob(decoy);
    const std::size_t versionBlob = tree.Blob(options.version);
    const auto offset = [](std::size_t at) { return static_cast<std::uint32_t>(at); };

    tree.Entry(root, 0, NamedEntry | offset(decoyName), Subdirectory | offset(decoyNames));
    tree.Entry(root, 1, NamedEntry | offset(decoyName), Subdirectory | offset(decoyNames));
    tree.Entry(root, 2, 3, Subdirectory | offset(decoyNames));
    tree.Entry(root, 3, options.versionType, Subdirectory | offset(names));
    tree.Entry(root, 4, 24, Subdirectory | offset(decoyNames));
    tree.Entry(decoyNames, 0, 1, Subdirectory | offset(decoyLanguages));
    tree.Entry(decoyLanguages, 0, 0x409, offset(decoyData));
    tree.Entry(names, 0, 1, Subdirectory | offset(languages));
    tree.Entry(names, 1, 2, Subdirectory | offset(decoyLanguages));
    tree.Entry(languages, 0, 0x409, offset(data));
    tree.Entry(languages, 1, 0x40C, offset(decoyData));

    Image image{};
    image.bytes.assign(RsrcFileAt + tree.Size(), 0);
    Bytes& bytes = image.bytes;
    std::copy(tree.Tree().begin(), tree.Tree().end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(RsrcFileAt));
    PutLe32(bytes, RsrcFileAt + decoyData, RsrcRva + offset(decoyBlob));
    PutLe32(bytes, RsrcFileAt + decoyData + 4, offset(decoy.size()));
    PutLe32(bytes, RsrcFileAt + data, RsrcRva + offset(versionBlob));
    PutLe32(bytes, RsrcFileAt + data + 4, offset(options.version.size()));
    for (std::size_t i = 0; i < TextRawSize; ++i) bytes[TextFileAt + i] = 0xCC;

    const bool plus = options.magic == Pe32PlusMagic;
    const std::uint16_t optionalSize = plus ? 240 : 224;
    bytes[0] = 'M';
    bytes[1] = 'Z';
    PutLe32(bytes, 0x3C, PeAt);
    bytes[PeAt] = 'P';
    bytes[PeAt + 1] = 'E';
    const std::size_t coff = PeAt + 4;
    PutLe16(bytes, coff, plus ? 0x8664 : 0x014C);  // Machine: x64 or i386
    PutLe16(bytes, coff + 2, 2);
    PutLe16(bytes, coff + 16, optionalSize);
    PutLe16(bytes, coff + 18, 0x0022);  // executable, large address aware
    PutLe16(bytes, OptionalAt, options.magic);
    PutLe32(bytes, OptionalAt + 16, TextRva);  // AddressOfEntryPoint
    PutLe32(bytes, OptionalAt + 20, TextRva);  // BaseOfCode
    PutLe32(bytes, OptionalAt + 32, 0x1000);   // SectionAlignment
    PutLe32(bytes, OptionalAt + 36, 0x200);    // FileAlignment
    PutLe32(bytes, OptionalAt + 56, 0x4000);   // SizeOfImage
    PutLe32(bytes, OptionalAt + 60, 0x400);    // SizeOfHeaders
    PutLe16(bytes, OptionalAt + 68, 10);       // Subsystem: EFI application
    image.numberOfSections = coff + 2;
    image.numberOfRvaAndSizes = OptionalAt + (plus ? 108 : 92);
    PutLe32(bytes, image.numberOfRvaAndSizes, 16);
    image.resourceDirectory = OptionalAt + (plus ? 112 : 96) + 2 * 8;
    PutLe32(bytes, image.resourceDirectory, RsrcRva);
    PutLe32(bytes, image.resourceDirectory + 4, offset(tree.Size()));

    const std::size_t text = OptionalAt + optionalSize;
    const auto putSection = [&](std::size_t at, std::string_view name, std::uint32_t virtualSize,
                                std::uint32_t rva, std::size_t rawSize, std::size_t fileAt,
                                std::uint32_t characteristics) {
        for (std::size_t i = 0; i < name.size(); ++i)
            bytes[at + i] = static_cast<std::uint8_t>(name[i]);
        PutLe32(bytes, at + 8, virtualSize);
        PutLe32(bytes, at + 12, rva);
        PutLe32(bytes, at + 16, offset(rawSize));
        PutLe32(bytes, at + 20, offset(fileAt));
        PutLe32(bytes, at + 36, characteristics);
    };
    putSection(text, ".text", 0x700, TextRva, TextRawSize, TextFileAt, 0x60000020);
    image.rsrcHeader = text + 40;
    putSection(image.rsrcHeader, ".rsrc", offset(tree.Size()), RsrcRva, tree.Size(), RsrcFileAt,
               0x40000040);

    image.typeEntry = RsrcFileAt + TreeBuilder::EntryAt(root, 3);
    image.nameEntry = RsrcFileAt + TreeBuilder::EntryAt(names, 0);
    image.languageEntry = RsrcFileAt + TreeBuilder::EntryAt(languages, 0);
    image.dataEntry = RsrcFileAt + data;
    image.version = RsrcFileAt + versionBlob;
    return image;
}

Image BuildImage() {
    return BuildImage(ImageOptions{});
}

Image WithVersion(Bytes version) {
    ImageOptions options;
    options.version = std::move(version);
    return BuildImage(options);
}

std::optional<std::u16string> NameOf(const Bytes& bytes) {
    return OriginalFileNameOf(bytes);
}

// --- Tests ------------------------------------------------------------------------------------

TEST(OriginalFileNameOf, ReadsPe32PlusAndPe32Images) {
    EXPECT_EQ(NameOf(BuildImage().bytes), u"bootmgfw.efi");

    ImageOptions pe32;
    pe32.magic = Pe32Magic;
    pe32.version = StandardVersion(u"cdboot.efi");
    EXPECT_EQ(NameOf(BuildImage(pe32).bytes), u"cdboot.efi");
}

TEST(OriginalFileNameOf, RejectsWhatIsNoPeImage) {
    EXPECT_EQ(NameOf({}), std::nullopt);
    for (std::size_t at : {std::size_t{0}, PeAt, OptionalAt}) {
        Image image = BuildImage();
        image.bytes[at] ^= 0x01;  // "MZ", "PE\0\0", optional header magic
        EXPECT_EQ(NameOf(image.bytes), std::nullopt) << at;
    }
    Image farAway = BuildImage();
    PutLe32(farAway.bytes, 0x3C, 0xFFFFFFFC);  // e_lfanew past the file
    EXPECT_EQ(NameOf(farAway.bytes), std::nullopt);
}

TEST(OriginalFileNameOf, ReadsTheValueWithoutItsTrailingNuls) {
    Bytes value;
    AppendUtf16(value, u"wdsmgfw.efi");
    for (int i = 0; i < 3; ++i) AppendLe16(value, 0);
    const Bytes string = Node(u"OriginalFilename", 1, 14, value, {});
    const Image image =
        WithVersion(VersionInfo({StringFileInfo({StringTable(u"040904B0", {string})})}));
    EXPECT_EQ(NameOf(image.bytes), u"wdsmgfw.efi");
}

TEST(OriginalFileNameOf, LooksThroughStringTablesInOrder) {
    const Bytes withoutName = StringTable(
        u"040704B0", {String(u"CompanyName", u"Microsoft"), String(u"InternalName", u"bootmgr"),
                      String(u"OriginalFilenames", u"plural.efi")});
    EXPECT_EQ(
        NameOf(WithVersion(VersionInfo({StringFileInfo({withoutName}), VarFileInfo()})).bytes),
        std::nullopt);
    EXPECT_EQ(
        NameOf(WithVersion(VersionInfo({StringFileInfo({withoutName, BootStrings(u"second.efi")})}))
                   .bytes),
        u"second.efi");
    EXPECT_EQ(NameOf(WithVersion(VersionInfo({StringFileInfo(
                                     {BootStrings(u"first.efi"), BootStrings(u"second.efi")})}))
                         .bytes),
              u"first.efi");
    // An empty OriginalFilename names nothing; the next table's does.
    const Bytes empty = StringTable(u"040704B0", {String(u"OriginalFilename", u"")});
    EXPECT_EQ(
        NameOf(WithVersion(VersionInfo({StringFileInfo({empty, BootStrings(u"next.efi")})})).bytes),
        u"next.efi");
}

TEST(OriginalFileNameOf, SkipsVarFileInfo) {
    // A VarFileInfo shaped like a StringFileInfo, whose strings must not be read.
    const Bytes lookalike = Node(u"VarFileInfo", 1, 0, {}, {BootStrings(u"var.efi")});
    const Bytes version =
        VersionInfo({VarFileInfo(), lookalike, StringFileInfo({BootStrings(u"bootmgfw.efi")})});
    EXPECT_EQ(NameOf(WithVersion(version).bytes), u"bootmgfw.efi");
}

TEST(OriginalFileNameOf, RequiresTheVersionInfoKey) {
    Bytes version = StandardVersion(u"bootmgfw.efi");
    version[6] = 'W';  // "WS_VERSION_INFO"
    EXPECT_EQ(NameOf(WithVersion(version).bytes), std::nullopt);
}

TEST(OriginalFileNameOf, FindsNoResourcesWhereTheHeadersStateNone) {
    Image zeroed = BuildImage();
    PutLe32(zeroed.bytes, zeroed.resourceDirectory, 0);
    PutLe32(zeroed.bytes, zeroed.resourceDirectory + 4, 0);
    EXPECT_EQ(NameOf(zeroed.bytes), std::nullopt);

    // Entry 2 holds the resource directory's values, but the header says there is no entry 2.
    Image fewDirectories = BuildImage();
    PutLe32(fewDirectories.bytes, fewDirectories.numberOfRvaAndSizes, 2);
    EXPECT_EQ(NameOf(fewDirectories.bytes), std::nullopt);

    Image outside = BuildImage();
    PutLe32(outside.bytes, outside.resourceDirectory, 0x9000);
    EXPECT_EQ(NameOf(outside.bytes), std::nullopt);
}

TEST(OriginalFileNameOf, TakesOnlyRtVersion) {
    ImageOptions options;
    options.versionType = 17;  // the decoys remain, under types 3 and 24 and a name
    EXPECT_EQ(NameOf(BuildImage(options).bytes), std::nullopt);
}

TEST(OriginalFileNameOf, MapsRvasThroughTheSectionThatHoldsThem) {
    // The data lies in .text, not in the section that holds the tree.
    Image image = BuildImage();
    const Bytes version = StandardVersion(u"text.efi");
    ASSERT_LE(0x20 + version.size(), TextRawSize);
    std::copy(version.begin(), version.end(),
              image.bytes.begin() + static_cast<std::ptrdiff_t>(TextFileAt + 0x20));
    PutLe32(image.bytes, image.dataEntry, TextRva + 0x20);
    PutLe32(image.bytes, image.dataEntry + 4, static_cast<std::uint32_t>(version.size()));
    EXPECT_EQ(NameOf(image.bytes), u"text.efi");

    // A section spans the larger of its VirtualSize and SizeOfRawData.
    Image noVirtualSize = BuildImage();
    PutLe32(noVirtualSize.bytes, noVirtualSize.rsrcHeader + 8, 0);
    EXPECT_EQ(NameOf(noVirtualSize.bytes), u"bootmgfw.efi");
    Image noRawSize = BuildImage();
    PutLe32(noRawSize.bytes, noRawSize.rsrcHeader + 16, 0);
    EXPECT_EQ(NameOf(noRawSize.bytes), u"bootmgfw.efi");

    // Sections beyond the file end the search without reading past it.
    Image manySections = BuildImage();
    PutLe16(manySections.bytes, manySections.numberOfSections, 0xFFFF);
    PutLe32(manySections.bytes, manySections.resourceDirectory, 0x70000000);
    EXPECT_EQ(NameOf(manySections.bytes), std::nullopt);
}

TEST(OriginalFileNameOf, RejectsDataOutsideTheSectionsOrTheFile) {
    for (std::uint32_t rva : {0x9000u, 0xFFFFFFF0u, 0u}) {
        Image image = BuildImage();
        PutLe32(image.bytes, image.dataEntry, rva);
        EXPECT_EQ(NameOf(image.bytes), std::nullopt) << rva;
    }
    const Image valid = BuildImage();
    const std::uint32_t size = GetLe32(valid.bytes, valid.dataEntry + 4);
    for (std::uint32_t claimed : {size + 1, 0xFFFFFFFFu, size - 4}) {
        // Beyond the file, or short of the root's own wLength.
        Image image = BuildImage();
        PutLe32(image.bytes, image.dataEntry + 4, claimed);
        EXPECT_EQ(NameOf(image.bytes), std::nullopt) << claimed;
    }
}

TEST(OriginalFileNameOf, EndsTheWalkAtAChildThatCannotBeTrusted) {
    // A wLength of 0 before OriginalFilename: nothing after it can be found.
    const Bytes zero = {0, 0, 0, 0, 1, 0, 0, 0};
    const Bytes afterZero = VersionInfo({StringFileInfo(
        {StringTable(u"040904B0", {String(u"CompanyName", u"Microsoft"), zero,
                                   String(u"OriginalFilename", u"bootmgfw.efi")})})});
    EXPECT_EQ(NameOf(WithVersion(afterZero).bytes), std::nullopt);

    // A String whose wLength runs past its StringTable, though not past the resource.
    Bytes version = VersionInfo(
        {StringFileInfo({StringTable(u"040904B0", {String(u"OriginalFilename", u"bootmgfw.efi")})}),
         VarFileInfo()});
    const std::size_t at = NodeWithKey(version, u"OriginalFilename");
    PutLe16(version, at, static_cast<std::uint16_t>(GetLe16(version, at) + 8));
    EXPECT_EQ(NameOf(WithVersion(version).bytes), std::nullopt);

    Bytes zeroRoot = StandardVersion(u"bootmgfw.efi");
    PutLe16(zeroRoot, 0, 0);
    EXPECT_EQ(NameOf(WithVersion(zeroRoot).bytes), std::nullopt);
}

TEST(OriginalFileNameOf, ReadsNoValuePastItsStringsWLength) {
    // wValueLength claims 200 characters, but the String ends with "bootmgfw.efi", unterminated.
    Bytes text;
    AppendUtf16(text, u"bootmgfw.efi");
    const Bytes string = Node(u"OriginalFilename", 1, 200, text, {});
    const Bytes table = StringTable(u"040904B0", {string});
    // Followed by a VarFileInfo, whose bytes are not the name's; then at the very end of the file.
    EXPECT_EQ(NameOf(WithVersion(VersionInfo({StringFileInfo({table}), VarFileInfo()})).bytes),
              u"bootmgfw.efi");
    EXPECT_EQ(NameOf(WithVersion(VersionInfo({StringFileInfo({table})})).bytes), u"bootmgfw.efi");
}

TEST(OriginalFileNameOf, EndsAtSubdirectoriesThatPointBack) {
    Image typeToRoot = BuildImage();
    PutLe32(typeToRoot.bytes, typeToRoot.typeEntry + 4, Subdirectory | 0);
    EXPECT_EQ(NameOf(typeToRoot.bytes), std::nullopt);

    Image nameToItself = BuildImage();
    const std::uint32_t names =
        static_cast<std::uint32_t>(nameToItself.nameEntry - RsrcFileAt - 16);
    PutLe32(nameToItself.bytes, nameToItself.nameEntry + 4, Subdirectory | names);
    EXPECT_EQ(NameOf(nameToItself.bytes), std::nullopt);

    Image languageToItself = BuildImage();
    const std::uint32_t languages =
        static_cast<std::uint32_t>(languageToItself.languageEntry - RsrcFileAt - 16);
    PutLe32(languageToItself.bytes, languageToItself.languageEntry + 4, Subdirectory | languages);
    EXPECT_EQ(NameOf(languageToItself.bytes), std::nullopt);

    Image pastTheSection = BuildImage();
    PutLe32(pastTheSection.bytes, pastTheSection.typeEntry + 4, Subdirectory | 0x7FFFFFF0);
    EXPECT_EQ(NameOf(pastTheSection.bytes), std::nullopt);
}

TEST(OriginalFileNameOf, ReadsNothingFromATruncatedImage) {
    // The version resource ends the image, so every cut leaves its data entry overrunning the
    // file. Each cut is copied to a buffer of exactly its size, for ASan to see reads past it.
    for (std::uint16_t magic : {Pe32PlusMagic, Pe32Magic}) {
        ImageOptions options;
        options.magic = magic;
        const Bytes image = BuildImage(options).bytes;
        for (std::size_t size = 0; size < image.size(); ++size) {
            const Bytes cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size));
            ASSERT_EQ(OriginalFileNameOf(cut), std::nullopt) << magic << " " << size;
        }
        EXPECT_EQ(NameOf(image), u"bootmgfw.efi");
    }
}

}  // namespace
}  // namespace certvane
