#include "cli/CommandLine.h"

namespace certvane::cli {
namespace {

ParsedCommandLine Error(std::wstring message) {
    return {std::nullopt, std::move(message)};
}

std::optional<std::wstring>* FileOption(CliOptions& options, const std::wstring& name) {
    if (name == L"--db") return &options.dbFile;
    if (name == L"--dbx") return &options.dbxFile;
    if (name == L"--kek") return &options.kekFile;
    if (name == L"--pk") return &options.pkFile;
    if (name == L"--efi") return &options.efiFile;
    if (name == L"--kek-map") return &options.kekMapFile;
    if (name == L"--dbx-info") return &options.dbxInfoFile;
    return nullptr;
}

}  // namespace

const wchar_t* const UsageText =
    L"Usage: certvane-cli [--json | --summary] [--db FILE] [--dbx FILE] [--kek FILE] [--pk FILE]\n"
    L"                    [--apply-db UPDATE]... [--apply-dbx UPDATE]...\n"
    L"                    [--kek-map FILE] [--dbx-info FILE]\n"
    L"       certvane-cli --audit [PATH]... [--json] [--db FILE] [--dbx FILE]\n"
    L"                    [--apply-db UPDATE]... [--apply-dbx UPDATE]...\n"
    L"       certvane-cli --efi FILE [--db FILE] [--dbx FILE] [--apply-db UPDATE]...\n"
    L"                    [--apply-dbx UPDATE]...\n"
    L"       certvane-cli --version | --help\n"
    L"\n"
    L"Reports whether this machine is ready for the 2023 Secure Boot certificates.\n"
    L"It only reads: no update is started and nothing is written, except that the EFI\n"
    L"System Partition is mounted while the boot files are read and released again.\n"
    L"\n"
    L"  (no option)  the status report, as the window shows it (UTF-8, CR LF), with\n"
    L"               where this machine stands and the next step to take\n"
    L"  --json       the same facts as one JSON object, with the Secure Boot servicing\n"
    L"               values and the whole key hierarchy: every Secure Boot variable, the\n"
    L"               certificate matrix of PK, KEK, db, dbx and their defaults, KEK and PK\n"
    L"               readiness, dbx currency against Microsoft's list, and where Windows\n"
    L"               servicing stands (see README)\n"
    L"  --summary    one line of at most 2,048 characters for a report column (Intune):\n"
    L"               readiness, what the firmware lacks, servicing stage, pending steps,\n"
    L"               newest servicing event, task\n"
    L"  --db FILE, --dbx FILE, --kek FILE, --pk FILE\n"
    L"               take that variable from a captured image instead of the firmware:\n"
    L"               the raw bytes (Get-SecureBootUEFI) or the Linux efivarfs form (a\n"
    L"               4-byte attribute word before them)\n"
    L"  --apply-db UPDATE, --apply-dbx UPDATE (repeatable)\n"
    L"               append a signed update's signature lists (Microsoft's .bin files) to\n"
    L"               db or dbx before judging: would this machine still boot after it?\n"
    L"  --efi FILE   the authority that signed one EFI file, its generation, and whether\n"
    L"               db and dbx (the firmware's, captured or updated) let it boot; a file\n"
    L"               whose own Authenticode SHA-256 is in dbx is revoked too\n"
    L"  --audit [PATH]...\n"
    L"               every EFI file on every ESP of a fixed disk, or under the paths\n"
    L"               (folders, drive roots, ISO files, USB sticks; an ISO's El Torito image\n"
    L"               and FAT images such as efisys.bin too), judged under db and dbx: a\n"
    L"               table, or JSON; exit 4 when one would not boot, 3 when none could be\n"
    L"               judged, one is unproven or a bound was hit (8 levels, 4,096 entries,\n"
    L"               64 MiB a file), else 0. With --apply-dbx: what would the update strand?\n"
    L"  --kek-map FILE, --dbx-info FILE\n"
    L"               judge against Microsoft's current published KEK update map\n"
    L"               (kek-update-map.json) or dbx list (dbx-info-latest.json) instead\n"
    L"               of the ones built in; a file that is no such list is a usage error\n"
    L"  --version    the dates of Microsoft's KEK update map and dbx list built in, with\n"
    L"               a warning when they are more than 90 days old\n"
    L"  --help       this text\n"
    L"\n"
    L"Certificate expiry is stated as a fact, never as revocation: firmware does not check\n"
    L"dates, so an expired 2011 certificate still boots what it signed; what expiry stops\n"
    L"is new signatures under it.\n"
    L"\n"
    L"Exit codes, the first that applies:\n"
    L"  64  usage error: unknown option, missing or unreadable file, or a file that is\n"
    L"      not a signature database (message on standard error)\n"
    L"  5   internal failure (one line on standard error)\n"
    L"  3   db cannot be read (legacy BIOS boot, no firmware access)\n"
    L"  4   the boot manager that decides the boot was found and the firmware would not\n"
    L"      start it: its authority is not in db or is revoked, or dbx holds its hash\n"
    L"  1   KEK, db or dbx prove the firmware not ready: KEK lacks Microsoft Corporation\n"
    L"      KEK 2K CA 2023, db lacks Windows UEFI CA 2023 (and, where db trusts\n"
    L"      Microsoft Corporation UEFI CA 2011, Microsoft UEFI CA 2023 and Microsoft\n"
    L"      Option ROM UEFI CA 2023), one is revoked, or a store holds only a certificate\n"
    L"      of that name that is not Microsoft's\n"
    L"  3   readiness undetermined (KEK or dbx unreadable and nothing proven missing), or\n"
    L"      no signed boot manager found (inside Windows PE: the offline installation's)\n"
    L"  2   the boot manager boots under a 2011 authority\n"
    L"  0   the boot manager boots under Windows UEFI CA 2023 and the firmware is ready\n"
    L"With --apply-db or --apply-dbx the codes describe the machine after those updates.\n"
    L"With --efi: 0 the firmware starts the file under a 2023 authority, 2 under a 2011\n"
    L"one, 4 it is signed but would not boot, 3 no signature, db unreadable, or an\n"
    L"authority of neither generation.\n";

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    CliOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            options.help = true;
        } else if (arg == L"--version") {
            options.version = true;
        } else if (arg == L"--json") {
            if (options.json) return Error(L"--json is given twice");
            options.json = true;
        } else if (arg == L"--summary") {
            if (options.summary) return Error(L"--summary is given twice");
            options.summary = true;
        } else if (arg == L"--audit") {
            if (options.audit) return Error(L"--audit is given twice");
            options.audit = true;
            // Every argument up to the next option is a path to audit.
            while (i + 1 < args.size() && !args[i + 1].starts_with(L"--")) {
                if (args[i + 1].empty()) return Error(L"--audit is given an empty path");
                options.auditPaths.push_back(args[++i]);
            }
        } else if (arg == L"--apply-db" || arg == L"--apply-dbx") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return Error(arg + L" needs a file name");
            }
            (arg == L"--apply-db" ? options.applyDbFiles : options.applyDbxFiles)
                .push_back(args[++i]);
        } else if (auto* file = FileOption(options, arg)) {
            if (file->has_value()) return Error(arg + L" is given twice");
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return Error(arg + L" needs a file name");
            }
            *file = args[++i];
        } else {
            return Error(L"unknown option: " + arg);
        }
    }
    if (options.efiFile && (options.json || options.summary || options.kekFile || options.pkFile)) {
        return Error(L"--efi combines only with --db, --dbx, --apply-db and --apply-dbx");
    }
    if (options.json && options.summary) return Error(L"--json and --summary exclude each other");
    if (options.audit &&
        (options.efiFile || options.summary || options.kekFile || options.pkFile)) {
        return Error(
            L"--audit combines only with --json, --db, --dbx, --apply-db, --apply-dbx, --kek-map "
            L"and --dbx-info");
    }
    return {options, {}};
}

}  // namespace certvane::cli
