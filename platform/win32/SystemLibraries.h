#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <winevt.h>
// After windows.h, which it needs.
#include <shellapi.h>

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
    decltype(&::EvtOpenPublisherMetadata) EvtOpenPublisherMetadata;
    decltype(&::EvtFormatMessage) EvtFormatMessage;
};
const EventLogEntries* EventLog();

// The shell's start of a program as another user (the elevated relaunch): loaded only by the
// program that relaunches, so that the console companion never maps shell32 and what it pulls
// in. Null when shell32.dll or the entry is missing.
struct ShellEntries {
    decltype(&::ShellExecuteExW) ShellExecuteExW;
};
const ShellEntries* Shell();

// Makes every later library load of the process search the system directory only (and the
// application's own DLL folder never). The programs call it first thing.
bool RestrictDllSearchToSystemDirectory();

}  // namespace certvane
