// Feeds arbitrary bytes to what reads boot media, which come from files the program does not
// control: first as an ISO 9660 medium (its El Torito catalog, then the FAT volume of the EFI
// boot image it names), then as a FAT volume itself (the listing of its .efi files, and each
// file read back along its cluster chain).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "inspect/BootMedium.h"

namespace {

constexpr unsigned kMaxDepth = 8;
constexpr std::size_t kMaxFiles = 64;
constexpr std::uint64_t kMaxFileBytes = 1 << 20;

void ReadFatVolume(std::span<const std::uint8_t> image) {
    const auto listing = certvane::ListFatEfiFiles(image, kMaxDepth, kMaxFiles);
    // Both decide by the same validation: a disagreement is a fault.
    if (listing.has_value() != certvane::LooksLikeFat(image)) std::abort();
    if (!listing) return;
    if (listing->files.size() > kMaxFiles) std::abort();
    for (const auto& file : listing->files) {
        const auto bytes = certvane::ReadFatFile(image, file.path, kMaxFileBytes);
        if (bytes && bytes->size() > kMaxFileBytes) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const certvane::MediumReader read = [input](std::uint64_t offset, std::span<std::uint8_t> out) {
        // FindEfiBootImage promises never to ask for bytes past the medium's end.
        if (offset > input.size() || out.size() > input.size() - offset) std::abort();
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
        return true;
    };
    if (const auto range = certvane::FindEfiBootImage(read, size, size)) {
        if (range->offset > size || range->size > size - range->offset) std::abort();
        ReadFatVolume(input.subspan(static_cast<std::size_t>(range->offset),
                                    static_cast<std::size_t>(range->size)));
    }
    certvane::FatVolumeBytes(input);
    ReadFatVolume(input);
    return 0;
}
