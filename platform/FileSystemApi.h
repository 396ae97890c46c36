#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace certvane {

inline constexpr std::uint32_t FileAttributeDirectory = 0x10;
inline constexpr std::uint32_t FileAttributeReparsePoint = 0x400;

// One entry of a folder, as the folder lists it (never "." or "..").
struct DirectoryEntry {
    std::wstring name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

// Files, folders and the system's well-known directories.
class FileSystemApi {
  public:
    // nullopt when the attributes cannot be read (no such file, no access).
    virtual std::optional<std::uint32_t> FileAttributesOf(std::wstring_view path) = 0;
    virtual bool PathExists(std::wstring_view path) = 0;
    // The whole contents of a file of at most `maxBytes`; nullopt when it cannot be read or is
    // larger.
    virtual std::optional<std::vector<std::uint8_t>> ReadFileBytes(std::wstring_view path,
                                                                   std::uint64_t maxBytes) = 0;
    // At most `maxBytes` bytes of a file from `offset` on (fewer at its end); nullopt when it
    // cannot be read. Disk images and CD volumes ("\\.\D:") are read this way in pieces.
    virtual std::optional<std::vector<std::uint8_t>> ReadFileRange(std::wstring_view path,
                                                                   std::uint64_t offset,
                                                                   std::uint32_t maxBytes) = 0;
    // The entries of a folder (`folder` ends in a backslash), at most `maxEntries` + 1 so a
    // caller sees that the bound was passed; nullopt when the folder cannot be listed.
    virtual std::optional<std::vector<DirectoryEntry>> ListDirectory(std::wstring_view folder,
                                                                     std::size_t maxEntries) = 0;
    // Each of these is empty when the system cannot say (or the text exceeds 260 characters).
    virtual std::wstring WindowsDirectoryPath() = 0;
    virtual std::wstring SystemDirectoryPath() = 0;
    virtual std::wstring TempDirectoryPath() = 0;
    virtual std::wstring CurrentDirectoryPath() = 0;
    virtual bool MakeDirectory(std::wstring_view path) = 0;
    virtual bool DeleteDirectory(std::wstring_view path) = 0;
    // Creates a new folder that only SYSTEM and the Administrators group may open (an explicit,
    // protected DACL); false when it exists already or cannot be made.
    virtual bool MakePrivateDirectory(std::wstring_view path) = 0;
    // True when `path` is a folder and no reparse point (junction, mount point, link), as read
    // through a handle on the path itself, never on what it might lead to.
    virtual bool IsPlainFolder(std::wstring_view path) = 0;
    // Copies a file to a new file, never over an existing one; the source is only read.
    virtual bool CopyFileTo(std::wstring_view source, std::wstring_view destination) = 0;
    // Deletes the files directly in `folder` (no subfolder, no reparse point followed), then
    // the folder; false when the folder is left.
    virtual bool DeleteDirectoryWithFiles(std::wstring_view folder) = 0;
    // A name no other process can guess: a random GUID in braces.
    virtual std::wstring UnguessableName() = 0;

  protected:
    ~FileSystemApi() = default;
};

}  // namespace certvane
