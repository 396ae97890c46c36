#include "inspect/SignatureDatabase.h"

#include <algorithm>

#include "inspect/SignatureEntries.h"
#include "platform/ByteOrder.h"

namespace certvane {
namespace {

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

NameList SignatureListNames(CertificateApi& decoder, std::span<const std::uint8_t> image) {
    NameList names;
    for (const SignatureEntry& entry : SignatureEntriesOf(image)) {
        if (entry.IsOfType(CertX509Guid)) AppendCertificateName(decoder, entry.data, names);
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

}  // namespace certvane
