#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "assess/CertificateMatrix.h"
#include "inspect/KeyStores.h"

namespace certvane {

// Whether the firmware holds what Windows servicing counts as fully updated: KEK holds
// Microsoft Corporation KEK 2K CA 2023; db holds Windows UEFI CA 2023 and, only where db
// trusts the third-party Microsoft Corporation UEFI CA 2011, Microsoft UEFI CA 2023 and
// Microsoft Option ROM UEFI CA 2023; dbx revokes none of them. Certificates count by their
// bytes (thumbprint), never by their names.
enum class ReadinessState { Ready, NotReady, Undetermined };

enum class MissingReason {
    Absent,
    Revoked,   // dbx holds Microsoft's very certificate
    NameOnly,  // the store holds a certificate of that name that is not Microsoft's
};

struct MissingCertificate {
    std::wstring_view store;  // the store that needs it: KEK or db
    const WellKnownCertificate* certificate;
    MissingReason reason;
};

// A store entry that carries the name of a Microsoft certificate without being it.
struct NameOnlyEntry {
    std::wstring_view store;
    const WellKnownCertificate* certificate;
};

struct FirmwareReadiness {
    ReadinessState state = ReadinessState::Undetermined;
    std::vector<MissingCertificate> missing;     // in the order above
    std::vector<NameOnlyEntry> nameOnly;         // every such entry of KEK and db
    std::optional<bool> kekReady;                // nullopt when KEK cannot be read
    std::optional<bool> trustsThirdPartyCa2011;  // nullopt when db cannot be read
    // What a 2023 boot manager needs: Windows UEFI CA 2023 in db and not revoked; nullopt when
    // db or dbx cannot be read.
    std::optional<bool> windowsCa2023Trusted;
    bool kekReadable = false;
    bool dbReadable = false;
    bool dbxReadable = false;

    // Only the KEK keeps the firmware from being ready.
    bool OnlyKekMissing() const;
};

// Judges KEK, db and dbx of `keys` with the matrix read from them.
FirmwareReadiness AssessFirmwareReadiness(const KeyStores& keys,
                                          const std::vector<MatrixRow>& matrix);

// Reads KEK, db and dbx now and judges them.
FirmwareReadiness ReadFirmwareReadiness(Platform& platform);

// A stable English key ("ready", "not-ready", "undetermined").
std::string_view ReadinessStateKey(ReadinessState state);
std::string_view MissingReasonKey(MissingReason reason);

}  // namespace certvane
