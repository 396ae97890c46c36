#include "assess/KeyReadiness.h"

#include <algorithm>
#include <cwctype>

namespace certvane {
namespace {

// The 2023 db certificates, as indices into WellKnownCertificates. Certificates count by their
// bytes: an entry that only carries the name is someone else's certificate.
constexpr std::array<std::size_t, 3> kDb2023{2, 3, 4};

bool StoreHolds(const std::vector<MatrixRow>& matrix, std::wstring_view store,
                const WellKnownCertificate& known) {
    return std::ranges::any_of(matrix, [&](const MatrixRow& row) {
        return row.store == store && row.known == &known && row.knownByThumbprint;
    });
}

bool StoreRead(const std::vector<MatrixRow>& matrix, std::wstring_view store) {
    return std::ranges::any_of(matrix, [&](const MatrixRow& row) { return row.store == store; });
}

std::wstring Upper(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    return upper;
}

}  // namespace

KekReadiness AssessKekReadiness(const std::vector<MatrixRow>& matrix) {
    KekReadiness readiness;
    readiness.kekHas2011 = StoreHolds(matrix, L"KEK", Kek2011);
    readiness.kekHas2023 = StoreHolds(matrix, L"KEK", Kek2023);
    readiness.defaultsReadable =
        StoreRead(matrix, L"KEKDefault") && StoreRead(matrix, L"dbDefault");
    readiness.kekDefaultHas2023 = StoreHolds(matrix, L"KEKDefault", Kek2023);
    for (std::size_t index : kDb2023) {
        const WellKnownCertificate& known = WellKnownCertificates[index];
        if (!StoreHolds(matrix, L"dbDefault", known)) {
            readiness.dbDefaultMissing2023.push_back(known.key);
        }
    }
    readiness.resetUndoesUpdate =
        readiness.defaultsReadable &&
        (!readiness.kekDefaultHas2023 || !readiness.dbDefaultMissing2023.empty());
    return readiness;
}

bool IsTestKeyName(std::wstring_view name) {
    static constexpr std::wstring_view markers[] = {L"DO NOT TRUST", L"DO NOT SHIP", L"TEST PK",
                                                    L"TEST KEY", L"TEST CERTIFICATE"};
    const std::wstring upper = Upper(name);
    return std::ranges::any_of(markers, [&](std::wstring_view marker) {
        return upper.find(marker) != std::wstring::npos;
    });
}

PlatformKeyAssessment AssessPlatformKey(const std::vector<MatrixRow>& matrix,
                                        const KekUpdateMap& kekMap) {
    PlatformKeyAssessment pk;
    const auto row = std::ranges::find(matrix, std::wstring_view(L"PK"), &MatrixRow::store);
    if (row == matrix.end()) return pk;
    pk.present = true;
    pk.thumbprint = row->thumbprint;
    if (row->fields) {
        pk.subject = row->fields->subjectCommonName;
        pk.issuer = row->fields->issuerCommonName;
    }
    pk.kekUpdate = kekMap.Find(pk.thumbprint);
    pk.testKey = IsTestKeyName(pk.subject) || IsTestKeyName(pk.issuer);
    return pk;
}

}  // namespace certvane
