#pragma once

#include <optional>
#include <string>
#include <vector>

#include "assess/CertificateMatrix.h"
#include "assess/ReferenceLists.h"

namespace certvane {

// Whether the machine can hold, and keep, the 2023 certificates.
struct KekReadiness {
    bool kekHas2011 = false;
    bool kekHas2023 = false;
    // Whether the default stores could be read (KEKDefault and dbDefault both present).
    bool defaultsReadable = false;
    bool kekDefaultHas2023 = false;
    // The 2023 db certificates the default db lacks, by key.
    std::vector<std::string_view> dbDefaultMissing2023;
    // A firmware "reset to defaults" would take the 2023 certificates away again: the
    // defaults were read and lack some of them.
    bool resetUndoesUpdate = false;
};

KekReadiness AssessKekReadiness(const std::vector<MatrixRow>& matrix);

// The platform key against Microsoft's KEK update map, and whether it is a test key.
struct PlatformKeyAssessment {
    bool present = false;  // PK holds a certificate
    std::string thumbprint;
    std::wstring subject;
    std::wstring issuer;
    const KekUpdateEntry* kekUpdate = nullptr;  // Microsoft's signed KEK update for this PK
    // A subject or issuer of a known test key ("DO NOT TRUST - AMI Test PK" and the like):
    // its private key is public, so anyone can sign KEK and db changes for this machine.
    bool testKey = false;
};

// The result points into `kekMap`.
PlatformKeyAssessment AssessPlatformKey(const std::vector<MatrixRow>& matrix,
                                        const KekUpdateMap& kekMap);

// True when the name carries a marker of the published test platform keys.
bool IsTestKeyName(std::wstring_view name);

}  // namespace certvane
