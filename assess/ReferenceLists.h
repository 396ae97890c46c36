#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace certvane {

// Microsoft's published lists the judgement rests on: the map of platform keys with a signed
// KEK update, and the current dbx. The programs carry the lists of their build
// (generate-builtin-lists.py); certvane-cli can be given newer ones (ReferenceListFiles.h).

// Where a list came from: built in with the date of its publication, or the file the command
// line named.
struct ListOrigin {
    std::string date;  // "2026-07" or "2026-05-21"; empty when the file records none
    std::optional<std::wstring> file;
    bool BuiltIn() const { return !file.has_value(); }
};

// A platform key for which Microsoft holds a KEK update signed by it.
struct KekUpdateEntry {
    std::string thumbprint;  // SHA-1 of the PK certificate, lower-case hex
    std::string updateFile;
    std::string issuedTo;
    std::string issuedBy;
};

struct KekUpdateMap {
    ListOrigin origin;
    std::vector<KekUpdateEntry> entries;  // sorted by thumbprint, each once

    const KekUpdateEntry* Find(std::string_view thumbprint) const;
};

// An x64 image whose Authenticode SHA-256 Microsoft's current dbx lists.
struct DbxImageHash {
    std::array<std::uint8_t, 32> sha256;
    std::string fileName;
};
struct DbxRevokedCertificate {
    std::string thumbprint;  // lower-case hex
    std::string subject;
};
// The latest security version of one boot application.
struct DbxSvn {
    std::array<std::uint8_t, 16> application;  // its GUID as firmware stores it
    std::uint16_t major;
    std::uint16_t minor;
    std::string fileName;
};

struct DbxList {
    ListOrigin origin;  // the date is the latest date the list records
    std::vector<DbxImageHash> x64Hashes;
    std::vector<DbxRevokedCertificate> certificates;
    std::vector<DbxSvn> svns;
};

struct ReferenceLists {
    KekUpdateMap kekMap;
    DbxList dbx;
};

// The lists this program was built with.
const ReferenceLists& BuiltInReferenceLists();

// Built-in lists older than this are out of date: Microsoft's map changes almost monthly.
inline constexpr int StaleListAgeDays = 90;

// Days from a list's date to `today` (YYYY-MM-DD, as the machine's facts hold it); a
// month-only date ("2026-07") counts from the month's last day. nullopt when either is not a
// date of those forms.
std::optional<int> ListAgeDays(std::string_view date, std::string_view today);

// The age in days of the oldest built-in list among `lists`; nullopt when every list was given
// as a file (the caller's own choice, never judged for age).
std::optional<int> OldestBuiltInListAge(const ReferenceLists& lists, std::string_view today);

}  // namespace certvane
