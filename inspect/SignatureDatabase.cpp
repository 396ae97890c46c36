#include "inspect/SignatureDatabase.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/ByteOrder.h"

namespace certvane {
namespace {

constexpr std::uint64_t kListHeaderSize = 28;
constexpr std::uint64_t kOwnerSize = 16;

bool IsX509Type(std::span<const std::uint8_t> bytes, std::uint64_t at) {
    static const std::array<std::uint8_t, 16> x509 = GuidToBytes(CertX509Guid);
    return std::memcmp(bytes.data() + at, x509.data(), x509.size()) == 0;
}

void AppendCertificateName(CertificateApi& decoder, std::span<const std::uint8_t> der,
                           NameList& names) {
    const auto displayName = decoder.CertificateSubjectName(der);
    if (!displayName || displayName->empty()) return;
    names.push_back(CertificateNameFromDisplayName(*displayName));
}

}  // namespace

ByteBuffer ReadFirmwareVariable(Platform& platform, std::wstring_view name, const Guid& vendor) {
    const std::wstring guidText = GuidToText(vendor);
    ByteBuffer image(MaxFirmwareVariableSize, 0);
    const std::uint32_t count = platform.QueryFirmwareVariable(name, guidText, image);
    if (count == 0 || count > image.size()) return {};
    image.resize(count);
    return image;
}

// Offsets are 64-bit so that no sum of 32-bit header fields can wrap. Every pass of the outer
// loop moves past at least one list header, and every entry either moves past itself or ends
// its list, so the walk always terminates.
NameList SignatureListNames(CertificateApi& decoder, std::span<const std::uint8_t> image) {
    NameList names;
    const std::uint64_t size = image.size();
    std::uint64_t offset = 0;
    while (offset + kListHeaderSize <= size) {
        const bool x509 = IsX509Type(image, offset);
        const std::uint32_t listSize = LittleEndian32(image.data() + offset + 16);
        const std::uint32_t headerSize = LittleEndian32(image.data() + offset + 20);
        const std::uint32_t entrySize = LittleEndian32(image.data() + offset + 24);
        offset += kListHeaderSize + headerSize;
        // A list with entries of size 0 has no countable entries: only its headers are
        // stepped over, and the walk reads the next list header right after them.
        if (entrySize == 0) continue;
        // Unsigned 32-bit on purpose: a header that understates its size gives a huge count,
        // which the bounds check below cuts short.
        const std::uint32_t count =
            (listSize - headerSize - static_cast<std::uint32_t>(kListHeaderSize)) / entrySize;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (offset + entrySize > size) break;
            if (x509 && entrySize > kOwnerSize) {
                AppendCertificateName(
                    decoder, image.subspan(offset + kOwnerSize, entrySize - kOwnerSize), names);
            }
            offset += entrySize;
        }
    }
    return names;
}

std::wstring CertificateNameFromDisplayName(std::wstring_view displayName) {
    const std::size_t cn = displayName.size() >= 3 ? displayName.find(L"CN=") : std::wstring::npos;
    if (cn == std::wstring_view::npos) return std::wstring(displayName);
    const std::wstring_view rest = displayName.substr(cn + 3);
    return std::wstring(rest.substr(0, rest.find(L',')));
}

bool NameListContains(const NameList& names, std::wstring_view exactName) {
    return std::find(names.begin(), names.end(), exactName) != names.end();
}

std::wstring_view CertificateStatus(const KnownCertificate& row, const NameList& dbNames,
                                    const NameList& dbxNames) {
    if (NameListContains(dbxNames, row.matchName)) return StatusWord::Revoked;
    if (NameListContains(dbNames, row.matchName)) return StatusWord::Valid;
    return StatusWord::Absent;
}

bool FirmwareTrustsAuthority(std::wstring_view authority, const NameList& dbNames,
                             const NameList& dbxNames) {
    return NameListContains(dbNames, authority) && !NameListContains(dbxNames, authority);
}

bool IsCa2023Ready(Platform& platform) {
    const ByteBuffer db = ReadFirmwareVariable(platform, L"db", ImageSecurityDatabaseGuid);
    const ByteBuffer dbx = ReadFirmwareVariable(platform, L"dbx", ImageSecurityDatabaseGuid);
    if (db.empty()) return false;
    const NameList dbNames = SignatureListNames(platform, db);
    const NameList dbxNames = SignatureListNames(platform, dbx);
    for (std::wstring_view name : Ca2023ReadinessSet) {
        if (!FirmwareTrustsAuthority(name, dbNames, dbxNames)) return false;
    }
    return true;
}

}  // namespace certvane
