#include "assess/FirmwareReadiness.h"

#include <algorithm>

namespace certvane {
namespace {

// A store with bytes in it; an empty image is what a failed read gives.
bool HasImage(const KeyStores& keys, std::wstring_view store) {
    return !keys.Store(store).image.empty();
}

// The firmware answered: the store has bytes, or it does not exist (it holds nothing).
bool Answered(const KeyStores& keys, std::wstring_view store) {
    const VariableFact& fact = keys.Store(store);
    return fact.name == store && fact.state != VariableState::Unreadable;
}

bool Holds(const std::vector<MatrixRow>& matrix, std::wstring_view store,
           const WellKnownCertificate& certificate, bool byThumbprint) {
    return std::ranges::any_of(matrix, [&](const MatrixRow& row) {
        return row.store == store && row.known == &certificate &&
               row.knownByThumbprint == byThumbprint;
    });
}

class Judge {
  public:
    Judge(const std::vector<MatrixRow>& matrix, FirmwareReadiness& readiness)
        : matrix_(matrix), readiness_(readiness) {}

    bool Revoked(const WellKnownCertificate& certificate) const {
        return Holds(matrix_, L"dbx", certificate, true);
    }

    bool Trusted(std::wstring_view store, const WellKnownCertificate& certificate) const {
        return Holds(matrix_, store, certificate, true) && !Revoked(certificate);
    }

    // Records why `store` does not provide `certificate`; true when it does.
    bool Require(std::wstring_view store, const WellKnownCertificate& certificate) {
        if (Revoked(certificate)) {
            readiness_.missing.push_back({store, &certificate, MissingReason::Revoked});
            return false;
        }
        if (Holds(matrix_, store, certificate, true)) return true;
        const MissingReason reason = Holds(matrix_, store, certificate, false)
                                         ? MissingReason::NameOnly
                                         : MissingReason::Absent;
        readiness_.missing.push_back({store, &certificate, reason});
        return false;
    }

  private:
    const std::vector<MatrixRow>& matrix_;
    FirmwareReadiness& readiness_;
};

}  // namespace

bool FirmwareReadiness::OnlyKekMissing() const {
    return state == ReadinessState::NotReady && !missing.empty() &&
           std::ranges::all_of(missing,
                               [](const MissingCertificate& m) { return m.store == L"KEK"; }) &&
           dbReadable && dbxReadable;
}

FirmwareReadiness AssessFirmwareReadiness(const KeyStores& keys,
                                          const std::vector<MatrixRow>& matrix) {
    FirmwareReadiness readiness;
    readiness.kekReadable = Answered(keys, L"KEK");
    readiness.dbReadable = HasImage(keys, L"db");
    readiness.dbxReadable = Answered(keys, L"dbx");
    for (const MatrixRow& row : matrix) {
        if ((row.store == L"KEK" || row.store == L"db") && row.known && !row.knownByThumbprint)
            readiness.nameOnly.push_back({row.store, row.known});
    }

    Judge judge(matrix, readiness);
    if (readiness.kekReadable) readiness.kekReady = judge.Require(L"KEK", Kek2023);
    if (readiness.dbReadable) {
        const bool windows = judge.Require(L"db", WindowsUefiCa2023);
        readiness.trustsThirdPartyCa2011 = judge.Trusted(L"db", UefiCa2011);
        if (*readiness.trustsThirdPartyCa2011) {
            judge.Require(L"db", MicrosoftUefiCa2023);
            judge.Require(L"db", OptionRomUefiCa2023);
        }
        if (readiness.dbxReadable) readiness.windowsCa2023Trusted = windows;
    }

    if (!readiness.missing.empty()) {
        readiness.state = ReadinessState::NotReady;
    } else if (readiness.kekReadable && readiness.dbReadable && readiness.dbxReadable) {
        readiness.state = ReadinessState::Ready;
    }
    return readiness;
}

FirmwareReadiness ReadFirmwareReadiness(Platform& platform) {
    const KeyStores keys = ReadTrustStores(platform);
    return AssessFirmwareReadiness(keys, CertificateMatrix(keys, {}));
}

std::string_view ReadinessStateKey(ReadinessState state) {
    switch (state) {
        case ReadinessState::Ready:
            return "ready";
        case ReadinessState::NotReady:
            return "not-ready";
        default:
            return "undetermined";
    }
}

std::string_view MissingReasonKey(MissingReason reason) {
    switch (reason) {
        case MissingReason::Absent:
            return "absent";
        case MissingReason::Revoked:
            return "revoked";
        default:
            return "nameOnly";
    }
}

}  // namespace certvane
