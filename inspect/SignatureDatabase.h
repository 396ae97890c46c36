#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/KnownCertificates.h"
#include "platform/Guid.h"
#include "platform/Platform.h"

namespace certvane {

using ByteBuffer = std::vector<std::uint8_t>;
using NameList = std::vector<std::wstring>;

// Vendor GUID of `db` and `dbx` (the UEFI image security database).
inline constexpr Guid ImageSecurityDatabaseGuid{
    0xD719B2CB, 0x3D3A, 0x4596, {0xA3, 0xBC, 0xDA, 0xD0, 0x0E, 0x67, 0x65, 0x6F}};
// Entry type of the signature lists that hold DER X.509 certificates.
inline constexpr Guid CertX509Guid{
    0xA5C059A1, 0x94E4, 0x4AA7, {0x87, 0xB5, 0xAB, 0x15, 0x5C, 0x2B, 0xF0, 0x72}};

// Largest variable image read; larger variables count as unreadable.
inline constexpr std::size_t MaxFirmwareVariableSize = 1048576;

// The raw variable image, empty when the variable cannot be read.
ByteBuffer ReadFirmwareVariable(Platform& platform, std::wstring_view name, const Guid& vendor);

// Names of the decodable certificates of an image in signature list format, in image order.
NameList SignatureListNames(CertificateApi& decoder, std::span<const std::uint8_t> image);

// The name a certificate contributes to a name list, from its subject's display name.
std::wstring CertificateNameFromDisplayName(std::wstring_view displayName);

bool NameListContains(const NameList& names, std::wstring_view exactName);

std::wstring_view CertificateStatus(const KnownCertificate& row, const NameList& dbNames,
                                    const NameList& dbxNames);

// True when the authority's name is in `db` and not in `dbx` (exact names): the firmware
// starts what that authority signed.
bool FirmwareTrustsAuthority(std::wstring_view authority, const NameList& dbNames,
                             const NameList& dbxNames);

}  // namespace certvane
