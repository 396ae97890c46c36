#include "inspect/BootFileAudit.h"

#include <algorithm>

#include "inspect/BootMedium.h"
#include "inspect/DiskNumbers.h"
#include "inspect/PathText.h"

namespace certvane {
namespace {

constexpr std::uint64_t kIsoSector = 2048;
constexpr int kMaxDeviceVolumes = 128;

bool EndsWith(std::wstring_view name, std::wstring_view suffix) {
    return AsciiLower(name).ends_with(suffix);
}

// The UTF-8 the FAT reader gives its long names in, as a wide string; a malformed sequence
// becomes U+FFFD.
std::wstring Widened(std::string_view text) {
    std::wstring wide;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte < 0x80         ? 1
                                   : (byte >> 5) == 6  ? 2
                                   : (byte >> 4) == 14 ? 3
                                   : (byte >> 3) == 30 ? 4
                                                       : 0;
        char32_t code = length == 1   ? byte
                        : length == 2 ? byte & 0x1F
                        : length == 3 ? byte & 0x0F
                                      : byte & 0x07;
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!valid || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        i += valid ? length : 1;
        if (sizeof(wchar_t) == 2 && code > 0xFFFF) {
            wide.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            wide.push_back(static_cast<wchar_t>(code));
        }
    }
    return wide;
}

class Walk {
  public:
    Walk(Platform& platform, const AuditBounds& bounds, BootFileAudit& audit)
        : platform_(platform), bounds_(bounds), audit_(audit) {}

    void Root(const std::wstring& root) {
        if (EndsWith(root, L".iso")) {
            Medium(root, false);
            return;
        }
        const std::wstring folder = root.ends_with(L'\\') ? root : root + L'\\';
        const auto attributes = platform_.FileAttributesOf(folder);
        if (!attributes || (*attributes & FileAttributeDirectory) == 0) {
            audit_.limits.push_back(L"cannot be read: " + root);
            return;
        }
        Folder(folder, 0);
        // A CD or DVD volume (a mounted ISO, a disc) boots its El Torito image, not its tree.
        if (IsDriveRoot(folder)) {
            const auto system = platform_.VolumeFileSystemName(folder);
            if (system && (*system == L"CDFS" || *system == L"UDF"))
                Medium(L"\\\\.\\" + folder.substr(0, 2), true);
        }
    }

  private:
    static bool IsDriveRoot(std::wstring_view folder) {
        return folder.size() == 3 && folder[1] == L':' && folder[2] == L'\\';
    }

    bool Full() {
        if (audit_.filesSeen < bounds_.maxFiles) return false;
        Limit(L"stopped after " + std::to_wstring(bounds_.maxFiles) + L" files and folders");
        return true;
    }

    void Limit(const std::wstring& line) {
        if (std::ranges::find(audit_.limits, line) == audit_.limits.end())
            audit_.limits.push_back(line);
    }

    void Folder(const std::wstring& folder, unsigned depth) {
        const auto entries = platform_.ListDirectory(folder, bounds_.maxFiles);
        if (!entries) {
            Limit(L"cannot be read: " + folder);
            return;
        }
        if (entries->size() > bounds_.maxFiles) {
            Limit(L"more than " + std::to_wstring(bounds_.maxFiles) + L" entries in " + folder);
        }
        for (const DirectoryEntry& entry : *entries) {
            // A junction or link may lead anywhere, even back up the tree.
            if (entry.attributes & FileAttributeReparsePoint) continue;
            const std::wstring path = folder + entry.name;
            // Folders count toward the bound too: a crafted medium can nest without end.
            if (Full()) return;
            ++audit_.filesSeen;
            if (entry.attributes & FileAttributeDirectory) {
                if (depth >= bounds_.maxDepth) {
                    Limit(L"folders deeper than " + std::to_wstring(bounds_.maxDepth) +
                          L" levels not read, first " + path);
                    continue;
                }
                Folder(path + L'\\', depth + 1);
                continue;
            }
            File(path, entry, depth);
        }
    }

    bool TooLarge(const std::wstring& path, std::uint64_t size) {
        if (size <= bounds_.maxFileBytes) return false;
        const std::uint64_t bound = bounds_.maxFileBytes;
        Limit(L"larger than " +
              (bound % (1u << 20) == 0 ? std::to_wstring(bound >> 20) + L" MiB"
                                       : std::to_wstring(bound) + L" bytes") +
              L", not read: " + path);
        return true;
    }

    void File(const std::wstring& path, const DirectoryEntry& entry, unsigned depth) {
        if (EndsWith(entry.name, L".efi")) {
            if (TooLarge(path, entry.size)) return;
            BootFile file = InspectBootFile(platform_, path, L"");
            if (!file.readable) Limit(L"cannot be read: " + path);
            audit_.files.push_back(std::move(file));
        } else if (EndsWith(entry.name, L".iso")) {
            Medium(path, false);
        } else if (EndsWith(entry.name, L".bin") || EndsWith(entry.name, L".img")) {
            // Only what starts as a FAT file system is read whole.
            const auto head = platform_.ReadFileRange(path, 0, 512);
            if (!head || !FatVolumeBytes(*head) || TooLarge(path, entry.size)) return;
            const auto image = platform_.ReadFileBytes(path, bounds_.maxFileBytes);
            if (image && LooksLikeFat(*image)) FatImage(path, *image, depth);
        }
    }

    void FatImage(const std::wstring& where, std::span<const std::uint8_t> image, unsigned depth) {
        const unsigned levels = bounds_.maxDepth > depth ? bounds_.maxDepth - depth : 0;
        const std::size_t room =
            bounds_.maxFiles > audit_.filesSeen ? bounds_.maxFiles - audit_.filesSeen : 0;
        const auto listing = ListFatEfiFiles(image, levels, room);
        if (!listing) {
            Limit(L"not a readable FAT file system: " + where);
            return;
        }
        if (listing->boundHit) Limit(L"bounds reached inside " + where);
        for (const FatFile& entry : listing->files) {
            if (Full()) return;
            ++audit_.filesSeen;
            const std::wstring path = where + L" » " + Widened(entry.path);
            if (TooLarge(path, entry.size)) continue;
            const auto bytes = ReadFatFile(image, entry.path, bounds_.maxFileBytes);
            if (!bytes) {
                Limit(L"cannot be read: " + path);
                continue;
            }
            audit_.files.push_back(InspectBootBytes(*bytes, path, L""));
        }
    }

    // An ISO file, or a CD volume read by whole sectors as its device requires.
    void Medium(const std::wstring& path, bool device) {
        const MediumReader read = [&](std::uint64_t offset, std::span<std::uint8_t> out) {
            if (out.size() > bounds_.maxFileBytes) return false;
            const std::uint64_t first = device ? offset / kIsoSector * kIsoSector : offset;
            const std::uint64_t end = offset + out.size();
            const std::uint64_t last =
                device ? (end + kIsoSector - 1) / kIsoSector * kIsoSector : end;
            const auto bytes =
                platform_.ReadFileRange(path, first, static_cast<std::uint32_t>(last - first));
            if (!bytes || bytes->size() < end - first) return false;
            std::copy_n(bytes->begin() + static_cast<std::ptrdiff_t>(offset - first), out.size(),
                        out.begin());
            return true;
        };
        // The medium's size is not asked: reads past its end fail, which ends the search.
        const std::uint64_t unbounded = std::uint64_t{1} << 40;
        const auto range = FindEfiBootImage(read, unbounded, bounds_.maxFileBytes);
        if (!range) return;
        std::vector<std::uint8_t> image(static_cast<std::size_t>(range->size));
        if (!read(range->offset, image)) {
            Limit(L"El Torito image cannot be read: " + path);
            return;
        }
        FatImage(path + L" » El Torito", image, 0);
    }

    Platform& platform_;
    const AuditBounds& bounds_;
    BootFileAudit& audit_;
};

}  // namespace

void AuditRoot(Platform& platform, const std::wstring& root, const AuditBounds& bounds,
               BootFileAudit& audit) {
    Walk(platform, bounds, audit).Root(root);
}

std::vector<std::wstring> FixedDiskEspRoots(Platform& platform) {
    std::vector<std::wstring> roots;
    const auto add = [&](const std::wstring& root) {
        if (platform.DriveTypeOf(root) == DriveFixed && IsEspPartition(platform, root))
            roots.push_back(root);
    };
    if (const auto start = platform.FindFirstVolumeName()) {
        std::optional<std::wstring> volume = start->firstVolume;
        while (volume) {
            add(*volume);
            volume = platform.FindNextVolumeName(start->search);
        }
        platform.CloseVolumeSearch(start->search);
    }
    // Where Windows gave the ESPs no volume names, every volume still has a device path.
    if (roots.empty()) {
        for (int number = 1; number <= kMaxDeviceVolumes; ++number)
            add(L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume" + std::to_wstring(number) + L"\\");
    }
    return roots;
}

}  // namespace certvane
