#include "platform/win32/SystemLibraries.h"

#include <winver.h>

namespace certvane {
namespace {

// Fills one entry from the module; false when the module lacks it.
template <typename Entry>
bool Resolve(HMODULE module, const char* name, Entry& entry) {
    entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return entry != nullptr;
}

HMODULE LoadFromSystemDirectory(const wchar_t* name) {
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

const Crypt32Entries* Crypt32() {
    // Function-local statics are initialised once, even when threads race for them.
    static const Crypt32Entries* const entries = []() -> const Crypt32Entries* {
        static Crypt32Entries table{};
        const HMODULE module = LoadFromSystemDirectory(L"crypt32.dll");
        if (module == nullptr) return nullptr;
        const bool complete =
            Resolve(module, "CertCreateCertificateContext", table.CertCreateCertificateContext) &&
            Resolve(module, "CertFreeCertificateContext", table.CertFreeCertificateContext) &&
            Resolve(module, "CertGetNameStringW", table.CertGetNameStringW) &&
            Resolve(module, "CryptDecodeObjectEx", table.CryptDecodeObjectEx) &&
            Resolve(module, "CryptVerifyCertificateSignatureEx",
                    table.CryptVerifyCertificateSignatureEx);
        return complete ? &table : nullptr;
    }();
    return entries;
}

const VersionEntries* Version() {
    static const VersionEntries* const entries = []() -> const VersionEntries* {
        static VersionEntries table{};
        const HMODULE module = LoadFromSystemDirectory(L"version.dll");
        if (module == nullptr) return nullptr;
        const bool complete =
            Resolve(module, "GetFileVersionInfoSizeW", table.GetFileVersionInfoSizeW) &&
            Resolve(module, "GetFileVersionInfoW", table.GetFileVersionInfoW) &&
            Resolve(module, "VerQueryValueW", table.VerQueryValueW);
        return complete ? &table : nullptr;
    }();
    return entries;
}

const ShellEntries* Shell() {
    static const ShellEntries* const entries = []() -> const ShellEntries* {
        static ShellEntries table{};
        const HMODULE module = LoadFromSystemDirectory(L"shell32.dll");
        if (module == nullptr) return nullptr;
        return Resolve(module, "ShellExecuteExW", table.ShellExecuteExW) ? &table : nullptr;
    }();
    return entries;
}

const EventLogEntries* EventLog() {
    static const EventLogEntries* const entries = []() -> const EventLogEntries* {
        static EventLogEntries table{};
        const HMODULE module = LoadFromSystemDirectory(L"wevtapi.dll");
        if (module == nullptr) return nullptr;
        const bool complete =
            Resolve(module, "EvtQuery", table.EvtQuery) &&
            Resolve(module, "EvtNext", table.EvtNext) &&
            Resolve(module, "EvtRender", table.EvtRender) &&
            Resolve(module, "EvtClose", table.EvtClose) &&
            Resolve(module, "EvtOpenPublisherMetadata", table.EvtOpenPublisherMetadata) &&
            Resolve(module, "EvtFormatMessage", table.EvtFormatMessage);
        return complete ? &table : nullptr;
    }();
    return entries;
}

bool RestrictDllSearchToSystemDirectory() {
    return ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

}  // namespace certvane
