// Reads a PE image's version resource through the PE/COFF layout (optional header data
// directories, section table, resource directory tables) and the VS_VERSIONINFO,
// StringFileInfo, StringTable and String structures. The bytes come from files the program does
// not control: every read is bounds-checked in 64-bit arithmetic, the resource tree is walked a
// fixed three levels deep and the version resource a fixed four, so no crafted offset can make
// the walk overflow, loop or recurse.
#include "inspect/VersionResource.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace certvane {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t RtVersion = 16;
constexpr std::uint32_t ResourceDirectoryIndex = 2;
// The high bit of a directory entry's OffsetToData marks a subdirectory rather than a data entry.
constexpr std::uint32_t SubdirectoryBit = 0x80000000u;
// VS_VERSIONINFO's wLength is 16-bit, so nothing a data entry claims beyond this is ever read.
constexpr std::uint64_t MaxVersionResourceSize = 64u << 10;

constexpr std::uint64_t SectionHeaderSize = 40;
constexpr std::uint64_t DirectoryTableSize = 16;
constexpr std::uint64_t DirectoryEntrySize = 8;
// wLength, wValueLength and wType, then at least the NUL that ends an empty key.
constexpr std::uint64_t NodeHeaderSize = 6;
constexpr std::uint64_t SmallestNodeSize = NodeHeaderSize + 2;

bool Holds(Bytes bytes, std::uint64_t at, std::uint64_t length) {
    return at <= bytes.size() && length <= bytes.size() - at;
}

std::optional<std::uint16_t> Le16(Bytes bytes, std::uint64_t at) {
    if (!Holds(bytes, at, 2)) return std::nullopt;
    const auto i = static_cast<std::size_t>(at);
    return static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8));
}

std::optional<std::uint32_t> Le32(Bytes bytes, std::uint64_t at) {
    const auto low = Le16(bytes, at);
    const auto high = Le16(bytes, at + 2);
    if (!low || !high) return std::nullopt;
    return static_cast<std::uint32_t>(*low) | (static_cast<std::uint32_t>(*high) << 16);
}

// Version resource nodes align on 32 bits from the resource's start, which is where every
// node begins once its predecessors are padded.
std::uint64_t Align4(std::uint64_t at) {
    return (at + 3) & ~std::uint64_t{3};
}

// --- PE headers and sections ---------------------------------------------------------------

struct SectionTable {
    std::uint64_t at;
    std::uint16_t count;
};

struct PeResources {
    SectionTable sections;
    std::uint32_t rva;  // of the resource tree's root directory table
};

// Where the data directories and their count lie in the optional header, which differs
// between PE32 and PE32+ because ImageBase and the stack and heap sizes widen to 64 bits.
struct DirectoryLayout {
    std::uint64_t countAt;
    std::uint64_t directoriesAt;
};

std::optional<DirectoryLayout> DirectoryLayoutOf(std::uint16_t magic) {
    if (magic == 0x10B) return DirectoryLayout{92, 96};
    if (magic == 0x20B) return DirectoryLayout{108, 112};
    return std::nullopt;
}

std::optional<PeResources> ReadPeResources(Bytes image) {
    if (Le16(image, 0) != std::uint16_t{0x5A4D}) return std::nullopt;                   // "MZ"
    const auto peAt = Le32(image, 0x3C);                                                // e_lfanew
    if (!peAt || Le32(image, *peAt) != std::uint32_t{0x00004550}) return std::nullopt;  // "PE\0\0"
    const std::uint64_t coff = std::uint64_t{*peAt} + 4;
    const auto sectionCount = Le16(image, coff + 2);
    const auto optionalSize = Le16(image, coff + 16);
    const std::uint64_t optional = coff + 20;
    const auto magic = Le16(image, optional);
    if (!sectionCount || !optionalSize || !magic) return std::nullopt;
    const auto layout = DirectoryLayoutOf(*magic);
    if (!layout) return std::nullopt;
    // Entries past NumberOfRvaAndSizes or past the optional header are not the image's, even
    // when bytes happen to lie there.
    const auto directoryCount = Le32(image, optional + layout->countAt);
    const std::uint64_t entryAt = layout->directoriesAt + 8 * ResourceDirectoryIndex;
    if (!directoryCount || *directoryCount <= ResourceDirectoryIndex || entryAt + 8 > *optionalSize)
        return std::nullopt;
    const auto rva = Le32(image, optional + entryAt);
    const auto size = Le32(image, optional + entryAt + 4);
    if (!rva || !size || *rva == 0 || *size == 0) return std::nullopt;
    return PeResources{{optional + *optionalSize, *sectionCount}, *rva};
}

// The file bytes from `rva` to the end of the first section that holds it, cut at the end of
// the file; nullopt when no section holds it or the file ends before it. A section spans the
// larger of its VirtualSize and SizeOfRawData, as linkers leave either one short.
std::optional<Bytes> MapRva(Bytes image, SectionTable sections, std::uint32_t rva) {
    for (std::uint32_t i = 0; i < sections.count; ++i) {
        const std::uint64_t header = sections.at + SectionHeaderSize * i;
        const auto virtualSize = Le32(image, header + 8);
        const auto virtualAddress = Le32(image, header + 12);
        const auto rawSize = Le32(image, header + 16);
        const auto rawOffset = Le32(image, header + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) return std::nullopt;
        const std::uint64_t extent = std::max(*virtualSize, *rawSize);
        if (rva < *virtualAddress || rva - *virtualAddress >= extent) continue;
        const std::uint64_t begin = std::uint64_t{*rawOffset} + (rva - *virtualAddress);
        const std::uint64_t end = std::min<std::uint64_t>(*rawOffset + extent, image.size());
        if (begin >= end) return std::nullopt;
        return image.subspan(static_cast<std::size_t>(begin),
                             static_cast<std::size_t>(end - begin));
    }
    return std::nullopt;
}

// --- Resource directory ---------------------------------------------------------------------

struct DirectoryEntry {
    std::uint32_t name;
    std::uint32_t offsetToData;
};

struct DirectoryCounts {
    std::uint16_t named;
    std::uint16_t ids;
};

// `tree` starts at the root directory table; every offset in the tree is relative to it.
std::optional<DirectoryCounts> CountsOf(Bytes tree, std::uint64_t table) {
    const auto named = Le16(tree, table + 12);
    const auto ids = Le16(tree, table + 14);
    if (!named || !ids) return std::nullopt;
    return DirectoryCounts{*named, *ids};
}

std::optional<DirectoryEntry> EntryOf(Bytes tree, std::uint64_t table, std::uint64_t index) {
    const std::uint64_t at = table + DirectoryTableSize + DirectoryEntrySize * index;
    const auto name = Le32(tree, at);
    const auto offsetToData = Le32(tree, at + 4);
    if (!name || !offsetToData) return std::nullopt;
    return DirectoryEntry{*name, *offsetToData};
}

// Named entries come before id entries, so an id is looked for only after them.
std::optional<DirectoryEntry> FindIdEntry(Bytes tree, std::uint64_t table, std::uint32_t id) {
    const auto counts = CountsOf(tree, table);
    if (!counts) return std::nullopt;
    for (std::uint32_t i = 0; i < counts->ids; ++i) {
        const auto entry = EntryOf(tree, table, std::uint64_t{counts->named} + i);
        if (!entry) return std::nullopt;  // the table runs past the section
        if (entry->name == id) return entry;
    }
    return std::nullopt;
}

std::optional<DirectoryEntry> FirstEntry(Bytes tree, std::uint64_t table) {
    const auto counts = CountsOf(tree, table);
    if (!counts || counts->named + counts->ids == 0) return std::nullopt;
    return EntryOf(tree, table, 0);
}

std::optional<std::uint64_t> SubdirectoryOf(const std::optional<DirectoryEntry>& entry) {
    if (!entry || (entry->offsetToData & SubdirectoryBit) == 0) return std::nullopt;
    return entry->offsetToData & ~SubdirectoryBit;
}

// The three levels are walked one after the other, never by following offsets until a leaf
// turns up, so a subdirectory that points back at itself or its parent ends the walk.
std::optional<DirectoryEntry> VersionLanguageEntry(Bytes tree) {
    const auto nameTable = SubdirectoryOf(FindIdEntry(tree, 0, RtVersion));
    if (!nameTable) return std::nullopt;
    const auto languageTable = SubdirectoryOf(FirstEntry(tree, *nameTable));
    if (!languageTable) return std::nullopt;
    const auto language = FirstEntry(tree, *languageTable);
    if (!language || (language->offsetToData & SubdirectoryBit) != 0) return std::nullopt;
    return language;
}

// The bytes of the image's first version resource, at most MaxVersionResourceSize of them;
// nullopt when any part of the way to it, or the whole of what its data entry claims, lies
// outside the image's sections or outside the file.
std::optional<Bytes> VersionResourceOf(Bytes image) {
    const auto pe = ReadPeResources(image);
    if (!pe) return std::nullopt;
    const auto tree = MapRva(image, pe->sections, pe->rva);
    if (!tree) return std::nullopt;
    const auto language = VersionLanguageEntry(*tree);
    if (!language) return std::nullopt;
    const auto dataRva = Le32(*tree, language->offsetToData);
    const auto size = Le32(*tree, std::uint64_t{language->offsetToData} + 4);
    if (!dataRva || !size) return std::nullopt;
    const auto data = MapRva(image, pe->sections, *dataRva);
    if (!data || *size > data->size()) return std::nullopt;
    return data->first(
        static_cast<std::size_t>(std::min<std::uint64_t>(*size, MaxVersionResourceSize)));
}

// --- Version resource -----------------------------------------------------------------------

// One VS_VERSIONINFO, StringFileInfo, StringTable, String, VarFileInfo or Var structure;
// offsets are from the start of the version resource.
struct Node {
    std::u16string key;
    std::uint16_t valueLength;  // wValueLength as stated: UTF-16 units for text, else bytes
    std::uint64_t valueAt;
    std::uint64_t childrenAt;
    std::uint64_t end;
};

// The key and the offset just past its NUL; nullopt when no NUL comes before `end`.
std::optional<std::pair<std::u16string, std::uint64_t>> KeyAt(Bytes resource, std::uint64_t at,
                                                              std::uint64_t end) {
    std::u16string key;
    for (; at + 2 <= end; at += 2) {
        const auto unit = Le16(resource, at);
        if (!unit) return std::nullopt;
        if (*unit == 0) return std::pair{std::move(key), at + 2};
        key.push_back(static_cast<char16_t>(*unit));
    }
    return std::nullopt;
}

// The node at `at`, which must end by `limit` (its parent's end, itself inside `resource`).
std::optional<Node> NodeAt(Bytes resource, std::uint64_t at, std::uint64_t limit) {
    const auto length = Le16(resource, at);
    const auto valueLength = Le16(resource, at + 2);
    const auto type = Le16(resource, at + 4);
    if (!length || !valueLength || !type) return std::nullopt;
    // A wLength that cannot hold a header, or overruns the parent, leaves nothing to trust.
    if (*length < SmallestNodeSize || at + *length > limit) return std::nullopt;
    const std::uint64_t end = at + *length;
    auto key = KeyAt(resource, at + NodeHeaderSize, end);
    if (!key) return std::nullopt;
    const std::uint64_t valueAt = Align4(key->second);
    const std::uint64_t valueBytes = (*type == 1) ? 2 * std::uint64_t{*valueLength} : *valueLength;
    const std::uint64_t childrenAt = std::min(Align4(valueAt + valueBytes), end);
    return Node{std::move(key->first), *valueLength, std::min(valueAt, end), childrenAt, end};
}

// Calls `visit` on each child of `parent` until one gives a name. A child that is no node ends
// the walk: its wLength is what would find the next sibling.
template <typename Visit>
std::optional<std::u16string> FirstFromChildren(Bytes resource, const Node& parent, Visit visit) {
    for (std::uint64_t at = parent.childrenAt; at < parent.end;) {
        const auto child = NodeAt(resource, at, parent.end);
        if (!child) return std::nullopt;
        if (auto found = visit(*child)) return found;
        at = Align4(child->end);  // advances by at least SmallestNodeSize
    }
    return std::nullopt;
}

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Windows looks keys up without regard to case.
bool KeyIs(const std::u16string& key, std::string_view name) {
    return key.size() == name.size() &&
           std::equal(key.begin(), key.end(), name.begin(), [](char16_t k, char n) {
               return AsciiLower(k) == AsciiLower(static_cast<char16_t>(n));
           });
}

// A String's text: wValueLength units at most, never past the String's own wLength, up to the
// first NUL (which also drops any trailing NULs wValueLength counts).
std::u16string TextOf(Bytes resource, const Node& string) {
    const std::uint64_t end =
        std::min(string.end, string.valueAt + 2 * std::uint64_t{string.valueLength});
    std::u16string text;
    for (std::uint64_t at = string.valueAt; at + 2 <= end; at += 2) {
        const auto unit = Le16(resource, at);
        if (!unit || *unit == 0) break;
        text.push_back(static_cast<char16_t>(*unit));
    }
    return text;
}

std::optional<std::u16string> OriginalFileNameInTable(Bytes resource, const Node& table) {
    return FirstFromChildren(resource, table, [&](const Node& string) {
        std::optional<std::u16string> name;
        if (KeyIs(string.key, "OriginalFilename")) name = TextOf(resource, string);
        // An empty name says nothing; a later table may say more.
        if (name && name->empty()) name.reset();
        return name;
    });
}

// VarFileInfo and anything else that is not StringFileInfo is skipped.
std::optional<std::u16string> OriginalFileNameInInfo(Bytes resource, const Node& info) {
    if (!KeyIs(info.key, "StringFileInfo")) return std::nullopt;
    return FirstFromChildren(resource, info, [&](const Node& table) {
        return OriginalFileNameInTable(resource, table);
    });
}

std::optional<std::u16string> OriginalFileNameInResource(Bytes resource) {
    const auto root = NodeAt(resource, 0, resource.size());
    if (!root || !KeyIs(root->key, "VS_VERSION_INFO")) return std::nullopt;
    return FirstFromChildren(
        resource, *root, [&](const Node& info) { return OriginalFileNameInInfo(resource, info); });
}

}  // namespace

std::optional<std::u16string> OriginalFileNameOf(std::span<const std::uint8_t> image) {
    const auto resource = VersionResourceOf(image);
    if (!resource) return std::nullopt;
    return OriginalFileNameInResource(*resource);
}

}  // namespace certvane
