#pragma once

#include <optional>
#include <string>
#include <vector>

namespace certvane::cli {

struct CliOptions {
    bool help = false;
    bool version = false;
    bool json = false;
    bool summary = false;  // one line for a report column (Intune)
    // Captured variable images that stand in for the firmware's.
    std::optional<std::wstring> dbFile;
    std::optional<std::wstring> dbxFile;
    std::optional<std::wstring> kekFile;
    std::optional<std::wstring> pkFile;
    // Names the signing authority of one EFI file instead of reporting on the machine.
    std::optional<std::wstring> efiFile;
    // Signed updates whose signature lists are appended to db or dbx before judging.
    std::vector<std::wstring> applyDbFiles;
    std::vector<std::wstring> applyDbxFiles;
    // Microsoft's published lists that stand in for the built-in ones.
    std::optional<std::wstring> kekMapFile;
    std::optional<std::wstring> dbxInfoFile;
    // Judges every EFI file on every ESP, or under the paths given.
    bool audit = false;
    std::vector<std::wstring> auditPaths;
};

// Options, or the one-line reason why the arguments are not a valid command.
struct ParsedCommandLine {
    std::optional<CliOptions> options;
    std::wstring error;
};

// `args` are the arguments after the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args);

extern const wchar_t* const UsageText;

}  // namespace certvane::cli
