// The scripted machine's drives, volumes, folders and files.
#include "tests/support/Fold.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {
namespace {

std::wstring TrimBackslashes(std::wstring text) {
    while (!text.empty() && text.front() == L'\\') text.erase(text.begin());
    while (!text.empty() && text.back() == L'\\') text.pop_back();
    return text;
}

std::wstring ParentOf(const std::wstring& relative) {
    const std::size_t slash = relative.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash);
}

bool HasChildren(const ScriptedVolume& volume, const std::wstring& relative) {
    const std::wstring prefix = relative.empty() ? relative : relative + L"\\";
    for (const auto& [path, file] : volume.files) {
        if (StartsWith(path, prefix)) return true;
    }
    for (const std::wstring& folder : volume.folders) {
        if (folder != relative && StartsWith(folder, prefix)) return true;
    }
    return false;
}

// Folded, with runs of backslashes after a leading "\\" taken as one, as Windows reads
// "C:\Windows\\System32".
std::wstring Normalized(std::wstring_view path) {
    std::wstring folded = Fold(path);
    for (std::size_t i = 2; i < folded.size();) {
        if (folded[i] == L'\\' && folded[i - 1] == L'\\') {
            folded.erase(i, 1);
        } else {
            ++i;
        }
    }
    return folded;
}

std::wstring WithTrailingBackslash(std::wstring_view path) {
    std::wstring folded = Normalized(path);
    if (folded.empty() || folded.back() != L'\\') folded += L'\\';
    return folded;
}

}  // namespace

std::size_t ScriptedMachine::AddVolume(ScriptedVolume volume) {
    if (!volume.partition) {
        const bool fat = Fold(volume.fileSystem).starts_with(L"FAT");
        if (fat && volume.driveType == DriveFixed) {
            volume.partition = {PartitionStyle::Gpt, EspPartitionType, 0};
        } else if (fat) {
            volume.partition = {PartitionStyle::Mbr, {}, 0x0C};
        } else {
            volume.partition = {PartitionStyle::Gpt, BasicDataPartitionType, 0};
        }
    }
    // Each partition has a GUID of its own.
    if (volume.partition->style == PartitionStyle::Gpt && volume.partition->gptId == Guid{})
        volume.partition->gptId = {0x9A570000u + static_cast<std::uint32_t>(volumes.size()),
                                   0x5C1D,
                                   0x4E5A,
                                   {1, 2, 3, 4, 5, 6, 7, 8}};
    volumes.push_back(std::move(volume));
    return volumes.size() - 1;
}

std::wstring ScriptedMachine::DevicePathOf(std::size_t volume) {
    return L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume" + std::to_wstring(volume + 1) + L"\\";
}

void ScriptedMachine::AssignLetter(wchar_t letter, std::size_t volume) {
    letters[Fold(std::wstring(1, letter))[0]] = volume;
}

// Volume GUID paths name a volume only with their trailing backslash, as the volume calls
// of Windows require; a device is opened by the same path without it.
std::optional<std::size_t> ScriptedMachine::VolumeNamed(std::wstring_view name) const {
    const std::wstring folded = Fold(name);
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        if (Fold(volumes[i].name) == folded || Fold(DevicePathOf(i)) == folded) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> ScriptedMachine::NextListedVolume(std::size_t from) const {
    for (std::size_t i = from; i < volumes.size(); ++i) {
        if (volumes[i].listed) return i;
    }
    return std::nullopt;
}

std::optional<ScriptedMachine::Location> ScriptedMachine::Resolve(std::wstring_view path) const {
    const std::wstring folded = Normalized(path);
    const std::wstring asFolder = WithTrailingBackslash(path);
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        for (const std::wstring& name : {Fold(volumes[i].name), Fold(DevicePathOf(i))}) {
            if (!StartsWith(asFolder, name)) continue;
            // The volume itself ("\\?\Volume{...}\") stays reachable, for the queries about
            // it.
            if (!volumes[i].filesByVolumeName && asFolder.size() > name.size()) return std::nullopt;
            return Location{i, TrimBackslashes(folded.substr(name.size() - 1))};
        }
    }
    const std::pair<const std::wstring, std::size_t>* mount = nullptr;
    for (const auto& entry : mountFolders) {
        if (StartsWith(asFolder, entry.first) &&
            (mount == nullptr || entry.first.size() > mount->first.size())) {
            mount = &entry;
        }
    }
    if (mount != nullptr) {
        return Location{
            mount->second,
            TrimBackslashes(folded.substr(std::min(folded.size(), mount->first.size())))};
    }
    if (folded.size() < 2 || folded[1] != L':') return std::nullopt;
    const auto letter = letters.find(folded[0]);
    if (letter == letters.end()) return std::nullopt;
    return Location{letter->second, TrimBackslashes(folded.substr(2))};
}

ScriptedMachine::EntryKind ScriptedMachine::KindAt(const Location& location) const {
    const ScriptedVolume& volume = volumes[location.volume];
    if (location.relative.empty()) return EntryKind::Folder;
    if (volume.files.count(location.relative)) return EntryKind::File;
    if (volume.folders.count(location.relative) || HasChildren(volume, location.relative)) {
        return EntryKind::Folder;
    }
    return EntryKind::None;
}

ScriptedFile* ScriptedMachine::FileAt(std::wstring_view path) {
    const auto location = Resolve(path);
    if (!location) return nullptr;
    auto& files = volumes[location->volume].files;
    const auto found = files.find(location->relative);
    return found == files.end() ? nullptr : &found->second;
}

void ScriptedMachine::PutFile(std::wstring_view path, ScriptedFile file) {
    const auto location = Resolve(path);
    if (!location) {
        misuse.push_back(L"script puts a file on no volume: " + std::wstring(path));
        return;
    }
    volumes[location->volume].files[location->relative] = std::move(file);
}

void ScriptedMachine::PutFolder(std::wstring_view path) {
    const auto location = Resolve(path);
    if (!location) {
        misuse.push_back(L"script puts a folder on no volume: " + std::wstring(path));
        return;
    }
    volumes[location->volume].folders.insert(location->relative);
}

bool ScriptedMachine::FolderExists(std::wstring_view path) const {
    const auto location = Resolve(path);
    return location && KindAt(*location) == EntryKind::Folder;
}

std::optional<std::vector<std::uint8_t>> ScriptedMachine::ReadFileBytes(std::wstring_view path,
                                                                        std::uint64_t maxBytes) {
    const ScriptedFile* file = FileAt(path);
    if (!file || file->unreadable) return std::nullopt;
    if (!file->content) return Bytes{};
    if (file->content->size() > maxBytes) return std::nullopt;
    return file->content;
}

std::optional<std::vector<std::uint8_t>> ScriptedMachine::ReadFileRange(std::wstring_view path,
                                                                        std::uint64_t offset,
                                                                        std::uint32_t maxBytes) {
    const ScriptedFile* file = FileAt(path);
    if (!file || file->unreadable) return std::nullopt;
    const Bytes content = file->content.value_or(Bytes{});
    if (offset >= content.size()) return Bytes{};
    const std::size_t count = std::min<std::uint64_t>(maxBytes, content.size() - offset);
    return Bytes(content.begin() + static_cast<std::ptrdiff_t>(offset),
                 content.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

std::optional<std::vector<DirectoryEntry>> ScriptedMachine::ListDirectory(std::wstring_view folder,
                                                                          std::size_t maxEntries) {
    const auto location = Resolve(folder);
    if (!location || KindAt(*location) != EntryKind::Folder) return std::nullopt;
    const ScriptedVolume& volume = volumes[location->volume];
    const std::wstring prefix = location->relative.empty() ? L"" : location->relative + L"\\";
    std::map<std::wstring, DirectoryEntry> entries;  // by name, as the system sorts them
    const auto add = [&](const std::wstring& relative, const ScriptedFile* file) {
        if (!relative.starts_with(prefix) || relative.size() == prefix.size()) return;
        const std::wstring rest = relative.substr(prefix.size());
        const std::size_t slash = rest.find(L'\\');
        const std::wstring name = rest.substr(0, slash);
        if (slash != std::wstring::npos || file == nullptr) {
            entries.try_emplace(name, DirectoryEntry{name, FileAttributeDirectory, 0});
        } else {
            entries[name] = {name, 0x20, file->content ? file->content->size() : 0};
        }
    };
    for (const auto& [relative, file] : volume.files) add(relative, &file);
    for (const std::wstring& relative : volume.folders) add(relative, nullptr);
    std::vector<DirectoryEntry> listed;
    for (auto& [name, entry] : entries) {
        if (listed.size() > maxEntries) break;
        listed.push_back(std::move(entry));
    }
    return listed;
}

std::optional<std::uint32_t> ScriptedMachine::FileAttributesOf(std::wstring_view path) {
    const auto location = Resolve(path);
    if (!location) return std::nullopt;
    switch (KindAt(*location)) {
        case EntryKind::File:
            return 0x20;  // FILE_ATTRIBUTE_ARCHIVE
        case EntryKind::Folder:
            return FileAttributeDirectory;
        default:
            return std::nullopt;
    }
}

bool ScriptedMachine::PathExists(std::wstring_view path) {
    return FileAttributesOf(path).has_value();
}

std::wstring ScriptedMachine::WindowsDirectoryPath() {
    return windowsDirectory;
}
std::wstring ScriptedMachine::SystemDirectoryPath() {
    return systemDirectory;
}
std::wstring ScriptedMachine::TempDirectoryPath() {
    return tempDirectory;
}
std::wstring ScriptedMachine::CurrentDirectoryPath() {
    return currentDirectory;
}

bool ScriptedMachine::MakeDirectory(std::wstring_view path) {
    const auto location = Resolve(path);
    if (!location || KindAt(*location) != EntryKind::None) return false;
    if (KindAt({location->volume, ParentOf(location->relative)}) != EntryKind::Folder) return false;
    volumes[location->volume].folders.insert(location->relative);
    log.push_back(L"MakeDirectory " + std::wstring(path));
    return true;
}

// A folder that carries a mount point resolves to the mounted volume's root, which is never
// removable here: the mount must go first, as on Windows.
bool ScriptedMachine::DeleteDirectory(std::wstring_view path) {
    if (deleteDirectoryFails) {
        log.push_back(L"DeleteDirectory " + std::wstring(path) + L" refused");
        return false;
    }
    const auto location = Resolve(path);
    if (!location || location->relative.empty() || KindAt(*location) != EntryKind::Folder)
        return false;
    ScriptedVolume& volume = volumes[location->volume];
    if (HasChildren(volume, location->relative)) return false;
    volume.folders.erase(location->relative);
    log.push_back(L"DeleteDirectory " + std::wstring(path));
    return true;
}

bool ScriptedMachine::MakePrivateDirectory(std::wstring_view path) {
    if (!MakeDirectory(path)) return false;
    privateFolders.insert(Fold(WithTrailingBackslash(path)));
    log.back() = L"MakePrivateDirectory " + std::wstring(path);
    return true;
}

bool ScriptedMachine::IsPlainFolder(std::wstring_view path) {
    if (privateFoldersReplaced && privateFolders.count(Fold(WithTrailingBackslash(path))))
        return false;
    return FolderExists(path);
}

bool ScriptedMachine::CopyFileTo(std::wstring_view source, std::wstring_view destination) {
    const ScriptedFile* file = FileAt(source);
    const auto target = Resolve(destination);
    if (file == nullptr || file->unreadable || !target || KindAt(*target) != EntryKind::None ||
        KindAt({target->volume, ParentOf(target->relative)}) != EntryKind::Folder) {
        return false;
    }
    volumes[target->volume].files[target->relative] = *file;
    log.push_back(L"CopyFile " + std::wstring(source) + L" -> " + std::wstring(destination));
    return true;
}

bool ScriptedMachine::DeleteDirectoryWithFiles(std::wstring_view folder) {
    const auto location = Resolve(folder);
    if (!location || location->relative.empty() || KindAt(*location) != EntryKind::Folder)
        return false;
    auto& files = volumes[location->volume].files;
    const std::wstring prefix = location->relative + L"\\";
    for (auto file = files.begin(); file != files.end();) {
        const bool inside = file->first.starts_with(prefix) &&
                            file->first.find(L'\\', prefix.size()) == std::wstring::npos;
        file = inside ? files.erase(file) : std::next(file);
    }
    log.push_back(L"DeleteDirectoryWithFiles " + std::wstring(folder));
    return DeleteDirectory(folder);
}

std::wstring ScriptedMachine::UnguessableName() {
    return L"{00000000-0000-0000-0000-" + std::wstring(11, L'0') + std::to_wstring(++names_ % 10) +
           L"}";
}

std::uint32_t ScriptedMachine::LogicalDriveMask() {
    std::uint32_t mask = 0;
    for (const auto& [letter, volume] : letters) mask |= 1u << (letter - L'A');
    return mask;
}

std::uint32_t ScriptedMachine::DriveTypeOf(std::wstring_view root) {
    const std::wstring folded = Fold(root);
    // Volume names and device paths of a volume's root are answered as Windows does.
    if (!(folded.size() == 3 && folded[1] == L':')) {
        const auto location = Resolve(root);
        return location && location->relative.empty() && root.ends_with(L'\\')
                   ? volumes[location->volume].driveType
                   : DriveNoRootDir;
    }
    if (folded[2] != L'\\') return DriveNoRootDir;
    const auto letter = letters.find(folded[0]);
    return letter == letters.end() ? DriveNoRootDir : volumes[letter->second].driveType;
}

std::optional<DeviceHandle> ScriptedMachine::OpenDevice(std::wstring_view path,
                                                        std::uint32_t access) {
    const std::wstring folded = Fold(path);
    std::optional<std::size_t> volume;
    if (folded.size() == 6 && StartsWith(folded, L"\\\\.\\") && folded[5] == L':') {
        const auto letter = letters.find(folded[4]);
        if (letter != letters.end()) volume = letter->second;
    } else if (!folded.empty() && folded.back() != L'\\') {
        volume = VolumeNamed(folded + L"\\");
    }
    if (!volume) return std::nullopt;
    const std::wstring description =
        std::wstring(path) + (access == DeviceReadAccess ? L" (read)" : L" (no access)");
    return DeviceHandle{NewHandle({HandleKind::Device, description, *volume})};
}

std::optional<DiskExtentsReply> ScriptedMachine::QueryVolumeDiskExtents(DeviceHandle device) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(device), HandleKind::Device);
    if (handle == nullptr) return std::nullopt;
    const ScriptedVolume& volume = volumes[handle->index];
    if (volume.disk < 0 || volume.extents != 1) return std::nullopt;
    return DiskExtentsReply{32, 1, static_cast<std::uint32_t>(volume.disk)};
}

std::optional<PartitionInfo> ScriptedMachine::QueryPartitionInfo(DeviceHandle device) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(device), HandleKind::Device);
    if (handle == nullptr) return std::nullopt;
    return volumes[handle->index].partition;
}

std::optional<std::uint32_t> ScriptedMachine::QueryStorageDeviceNumber(DeviceHandle device) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(device), HandleKind::Device);
    if (handle == nullptr || volumes[handle->index].disk < 0) return std::nullopt;
    return static_cast<std::uint32_t>(volumes[handle->index].disk);
}

void ScriptedMachine::CloseDevice(DeviceHandle device) {
    ReleaseHandle(static_cast<std::uintptr_t>(device), HandleKind::Device, L"CloseDevice");
}

std::optional<VolumeSearchStart> ScriptedMachine::FindFirstVolumeName() {
    const auto first = NextListedVolume(0);
    if (!first) return std::nullopt;
    const auto search = VolumeSearch{NewHandle({HandleKind::Search, L"of volumes", *first + 1})};
    return VolumeSearchStart{search, volumes[*first].name};
}

std::optional<std::wstring> ScriptedMachine::FindNextVolumeName(VolumeSearch search) {
    Handle* handle = FindHandle(static_cast<std::uintptr_t>(search), HandleKind::Search);
    if (handle == nullptr) return std::nullopt;
    const auto next = NextListedVolume(handle->index);
    if (!next) return std::nullopt;
    handle->index = *next + 1;
    return volumes[*next].name;
}

void ScriptedMachine::CloseVolumeSearch(VolumeSearch search) {
    ReleaseHandle(static_cast<std::uintptr_t>(search), HandleKind::Search, L"CloseVolumeSearch");
}

std::optional<std::wstring> ScriptedMachine::VolumeFileSystemName(std::wstring_view volume) {
    auto index = VolumeNamed(volume);
    // A drive root ("C:\\") names the volume its letter is assigned to, as on Windows.
    if (!index && volume.size() == 3 && volume[1] == L':' && volume[2] == L'\\') {
        const auto letter = letters.find(Fold(volume.substr(0, 1))[0]);
        if (letter != letters.end()) index = letter->second;
    }
    if (!index || volumes[*index].fileSystem.empty()) return std::nullopt;
    return volumes[*index].fileSystem;
}

std::uint32_t ScriptedMachine::VolumePathNamesLength(std::wstring_view volume) {
    const auto index = VolumeNamed(volume);
    if (!index) return 0;
    std::uint32_t length = 0;
    for (const auto& [letter, v] : letters) length += v == *index ? 4 : 0;
    for (const auto& [folder, v] : mountFolders) {
        length += v == *index ? static_cast<std::uint32_t>(folder.size() + 1) : 0;
    }
    return length + 1;  // the list ends with one more NUL
}

bool ScriptedMachine::MountVolumeAt(std::wstring_view folder, std::wstring_view volume) {
    const auto index = VolumeNamed(volume);
    const auto location = Resolve(folder);
    if (!index || !location || folder.empty() || folder.back() != L'\\' ||
        location->relative.empty() || KindAt(*location) != EntryKind::Folder ||
        HasChildren(volumes[location->volume], location->relative) ||
        volumes[*index].refusesFolderMount) {
        return false;
    }
    mountFolders[WithTrailingBackslash(folder)] = *index;
    log.push_back(L"MountVolumeAt " + std::wstring(folder));
    return true;
}

bool ScriptedMachine::RemoveMountPoint(std::wstring_view folder) {
    if (removeMountPointFails) {
        log.push_back(L"RemoveMountPoint " + std::wstring(folder) + L" refused");
        return false;
    }
    if (mountFolders.erase(WithTrailingBackslash(folder)) == 0) return false;
    log.push_back(L"RemoveMountPoint " + std::wstring(folder));
    return true;
}

std::optional<FixedFileVersion> ScriptedMachine::ReadFixedFileVersion(std::wstring_view path) {
    const ScriptedFile* file = FileAt(path);
    return file ? file->version : std::nullopt;
}

}  // namespace certvane::test
