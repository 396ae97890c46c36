#include "assess/CertificateMatrix.h"

#include "inspect/DerReader.h"
#include "inspect/Sha.h"
#include "inspect/SignatureEntries.h"

namespace certvane {
namespace {

// Entries of a list share one size, so a shorter certificate is followed by padding: the
// certificate is its outermost DER element.
std::span<const std::uint8_t> CertificateBytes(std::span<const std::uint8_t> data) {
    const auto outer = ReadDerElement(data, 0, data.size());
    return outer ? data.first(outer->end) : data;
}

MatrixRow RowOf(std::wstring_view store, std::span<const std::uint8_t> data,
                std::string_view today) {
    const auto der = CertificateBytes(data);
    MatrixRow row{store, ReadX509Fields(der), HexOf(Sha1Of(der))};
    for (const WellKnownCertificate& known : WellKnownCertificates) {
        if (known.thumbprint == row.thumbprint) {
            row.known = &known;
            row.knownByThumbprint = true;
        } else if (!row.known && row.fields && row.fields->subjectCommonName == known.subject) {
            row.known = &known;
        }
    }
    row.expired = row.fields && row.fields->notAfter < today;
    return row;
}

}  // namespace

std::vector<MatrixRow> CertificateMatrix(const KeyStores& keys, std::string_view today) {
    std::vector<MatrixRow> matrix;
    for (const VariableFact& store : keys.stores) {
        for (const SignatureEntry& entry : SignatureEntriesOf(store.image)) {
            if (entry.IsOfType(CertX509Guid))
                matrix.push_back(RowOf(store.name, entry.data, today));
        }
    }
    return matrix;
}

NameList SubjectsIn(const std::vector<MatrixRow>& matrix, std::wstring_view store) {
    NameList names;
    for (const MatrixRow& row : matrix) {
        if (row.store == store && row.fields) names.push_back(row.fields->subjectCommonName);
    }
    return names;
}

}  // namespace certvane
