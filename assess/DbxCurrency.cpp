#include "assess/DbxCurrency.h"

#include <algorithm>
#include <set>

#include "inspect/SignatureEntries.h"

namespace certvane {
namespace {

constexpr Guid kSha256Type{
    0xC1C41626, 0x504C, 0x4092, {0xAC, 0xA9, 0x41, 0xF9, 0x36, 0x93, 0x43, 0x28}};
constexpr std::uint8_t kSvnFormat = 1;
// Format byte, application GUID, minor and major version.
constexpr std::size_t kSvnSize = 1 + 16 + 4;

struct SvnEntry {
    std::array<std::uint8_t, 16> application;
    SecurityVersion version;
};

std::optional<SvnEntry> SvnOf(const SignatureEntry& entry) {
    if (!entry.IsOwnedBy(SvnOwnerGuid) || entry.data.size() < kSvnSize ||
        entry.data[0] != kSvnFormat) {
        return std::nullopt;
    }
    SvnEntry svn{};
    std::copy_n(entry.data.begin() + 1, svn.application.size(), svn.application.begin());
    svn.version.minor = static_cast<std::uint16_t>(entry.data[17] | entry.data[18] << 8);
    svn.version.major = static_cast<std::uint16_t>(entry.data[19] | entry.data[20] << 8);
    return svn;
}

}  // namespace

bool DbxCurrency::Current() const {
    return listedHashesHeld == hashesListed && listedCertificatesHeld == certificatesListed &&
           std::ranges::all_of(svns, &SvnState::Current);
}

std::vector<Sha256Digest> DbxHashes(std::span<const std::uint8_t> dbx) {
    std::vector<Sha256Digest> hashes;
    for (const SignatureEntry& entry : SignatureEntriesOf(dbx)) {
        if (!entry.IsOfType(kSha256Type) || entry.IsOwnedBy(SvnOwnerGuid)) continue;
        if (entry.data.size() < Sha256Digest{}.size()) continue;
        Sha256Digest hash{};
        std::copy_n(entry.data.begin(), hash.size(), hash.begin());
        hashes.push_back(hash);
    }
    return hashes;
}

DbxCurrency AssessDbxCurrency(std::span<const std::uint8_t> dbx,
                              const std::vector<MatrixRow>& matrix, const DbxList& list) {
    DbxCurrency currency;
    currency.hashesListed = list.x64Hashes.size();
    currency.certificatesListed = list.certificates.size();
    const auto hashes = DbxHashes(dbx);
    const std::set<Sha256Digest> held(hashes.begin(), hashes.end());
    currency.listedHashesHeld = static_cast<std::size_t>(std::ranges::count_if(
        list.x64Hashes, [&](const DbxImageHash& listed) { return held.contains(listed.sha256); }));

    const auto inDbx = [&](auto matches) {
        return std::ranges::any_of(
            matrix, [&](const MatrixRow& row) { return row.store == L"dbx" && matches(row); });
    };
    currency.listedCertificatesHeld = static_cast<std::size_t>(
        std::ranges::count_if(list.certificates, [&](const DbxRevokedCertificate& revoked) {
            return inDbx(
                [&](const MatrixRow& row) { return row.thumbprint == revoked.thumbprint; });
        }));
    currency.pca2011Revoked =
        inDbx([](const MatrixRow& row) { return row.known == &Pca2011 && row.knownByThumbprint; });

    for (const DbxSvn& latest : list.svns) currency.svns.push_back({&latest, std::nullopt});
    for (const SignatureEntry& entry : SignatureEntriesOf(dbx)) {
        const auto svn = entry.IsOfType(kSha256Type) ? SvnOf(entry) : std::nullopt;
        if (!svn) continue;
        for (SvnState& state : currency.svns) {
            if (state.latest->application != svn->application) continue;
            if (!state.held || *state.held < svn->version) state.held = svn->version;
        }
    }
    return currency;
}

}  // namespace certvane
