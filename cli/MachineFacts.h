#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/CertificateMatrix.h"
#include "cli/DbxCurrency.h"
#include "cli/KeyReadiness.h"
#include "cli/KeyStores.h"
#include "inspect/CertGeneration.h"
#include "inspect/ServicingState.h"
#include "inspect/Sha.h"
#include "inspect/SignatureDatabase.h"

namespace certvane::cli {

struct CertificateFact {
    const KnownCertificate* row;
    std::wstring_view status;  // a status word
};

struct BootFileFact {
    std::string role;  // "current" or "offline"
    std::wstring label;
    std::wstring path;
    std::wstring signer;
    CertGeneration generation = Unclassified;
    std::wstring verdict;
    bool trusted = false;  // the signer is in `db` and not revoked in `dbx`
    std::optional<Sha256Digest> authenticodeSha256 = std::nullopt;
    bool hashRevoked = false;  // dbx holds the file's own Authenticode hash
};

// A registry value that may be stored as a number or as text, or be absent.
using RegistryValue = std::variant<std::monostate, std::uint32_t, std::wstring>;

struct NamedRegistryValue {
    std::string name;
    RegistryValue value;
};

// Everything the console companion states about one machine.
struct MachineFacts {
    bool winPE = false;
    std::wstring windowsVersion;
    std::optional<std::wstring> offlineWindowsDirectory;
    std::optional<std::wstring> offlineWindowsVersion;
    std::wstring bootMode;
    bool uefiBoot = false;
    bool secureBootEnabled = false;
    std::wstring bitLocker;

    bool dbReadable = false;
    bool dbxReadable = false;
    NameList dbNames;
    NameList dbxNames;
    std::vector<Sha256Digest> dbxHashes;
    std::vector<CertificateFact> certificates;
    bool ca2023Ready = false;

    bool kekReadable = false;
    NameList kekNames;
    bool kekHas2023 = false;

    std::vector<BootFileFact> bootFiles;
    std::vector<NamedRegistryValue> servicing;
    RegistryValue availableUpdates;
    // Inside Windows PE, the offline installation's.
    ServicingState servicingState;

    // Every Secure Boot variable, for the key hierarchy keys of the JSON report.
    KeyStores keys;
    std::vector<MatrixRow> matrix;
    KekReadiness kekReadiness;
    PlatformKeyAssessment platformKey;
    DbxCurrency dbxCurrency;
};

}  // namespace certvane::cli
