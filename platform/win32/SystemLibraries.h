#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <winevt.h>

namespace certvane {

// Libraries that are no KnownDLLs are never imported statically: Windows would look for them
// in the program's own folder first, and an elevated program started from a Downloads folder
// would run whatever DLL of that name lies beside it. They are loaded here, from the system
// directory only, on first use; the tables stay for the life of the process.

// The CryptoAPI entry points the platform uses; null when crypt32.dll or an entry is missing.
struct Crypt32Entries {
    decltype(&::CertCreateCertificateContext) CertCreateCertificateContext;
    decltype(&::CertFreeCertificateContext) CertFreeCertificateContext;
    decltype(&::CertGetNameStringW) CertGetNameStringW;
    decltype(&::CryptDecodeObjectEx) CryptDecodeObjectEx;
    decltype(&::CryptVerifyCertificateSignatureEx) CryptVerifyCertificateSignatureEx;
};
const Crypt32Entries* Crypt32();

// The version resource entry points; null when version.dll or an entry is missing.
struct VersionEntries {
    decltype(&::GetFileVersionInfoSizeW) GetFileVersionInfoSizeW;
    decltype(&::GetFileVersionInfoW) GetFileVersionInfoW;
    decltype(&::VerQueryValueW) VerQueryValueW;
};
const VersionEntries* Version();

// The event log entry points; null when wevtapi.dll (absent from Windows PE) or an entry is
// missing.
struct EventLogEntries {
    decltype(&::EvtQuery) EvtQuery;
    decltype(&::EvtNext) EvtNext;
    decltype(&::EvtRender) EvtRender;
    decltype(&::EvtClose) EvtClose;
};
const EventLogEntries* EventLog();

// Makes every later library load of the process search the system directory only (and the
// application's own DLL folder never). The programs call it first thing.
bool RestrictDllSearchToSystemDirectory();

}  // namespace certvane
