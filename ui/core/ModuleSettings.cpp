#include "ui/core/ModuleSettings.h"

#include <vector>

#include "ui/core/UiZipArchive.h"

namespace Weft {
namespace {

struct Settings {
    HINSTANCE moduleInstance = nullptr;
    HINSTANCE resourceInstance = nullptr;
    CUiString resourceDirectory;
    ResourceArchiveSettings archive;
    ColourAdjustment adjustment;
};

Settings& Process() {
    static Settings settings;
    return settings;
}

}  // namespace

void SetModuleInstance(HINSTANCE instance) {
    Process().moduleInstance = instance;
}

HINSTANCE GetModuleInstance() {
    return Process().moduleInstance;
}

void SetResourceInstance(HINSTANCE instance) {
    Process().resourceInstance = instance;
}

HINSTANCE GetResourceInstance() {
    const Settings& settings = Process();
    return settings.resourceInstance ? settings.resourceInstance : settings.moduleInstance;
}

CUiString GetModuleDirectory() {
    if (Process().moduleInstance == nullptr) return CUiString();
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(Process().moduleInstance, path.data(),
                                                static_cast<DWORD>(path.size()));
        if (length == 0) return CUiString();
        if (length < path.size()) break;
        path.resize(path.size() * 2);
    }
    CUiString directory(path.data());
    return directory.Prefix(directory.FindLast(L'\\') + 1);
}

void SetResourceDirectory(const wchar_t* path) {
    CUiString& directory = Process().resourceDirectory;
    directory = path;
    const int length = directory.GetLength();
    if (length == 0) return;
    const wchar_t last = directory.GetAt(length - 1);
    if (last != L'\\' && last != L'/') directory.AppendChar(L'\\');
}

const CUiString& GetResourceDirectory() {
    return Process().resourceDirectory;
}

namespace {

CUiZipArchive* OpenArchiveFile(const ResourceArchiveSettings& archive) {
    const CUiString path = GetResourceDirectory() + archive.name;
    const int size =
        WideCharToMultiByte(CP_ACP, 0, archive.password, -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> password(static_cast<size_t>(size > 0 ? size : 1));
    WideCharToMultiByte(CP_ACP, 0, archive.password, -1, password.data(), size, nullptr, nullptr);
    return CUiZipArchive::Open(path, password.data());
}

}  // namespace

void SetResourceArchive(const wchar_t* name, const wchar_t* password, bool keepOpen) {
    ResourceArchiveSettings& archive = Process().archive;
    delete archive.cached;
    archive.cached = nullptr;
    archive.name = name;
    archive.password = password;
    archive.keepOpen = keepOpen && !archive.name.IsEmpty();
    if (archive.keepOpen) archive.cached = OpenArchiveFile(archive);
}

CUiZipArchive* AcquireResourceArchive() {
    const ResourceArchiveSettings& archive = Process().archive;
    if (archive.name.IsEmpty()) return nullptr;
    return archive.cached ? archive.cached : OpenArchiveFile(archive);
}

void ReleaseResourceArchive(CUiZipArchive* archive) {
    if (archive != Process().archive.cached) delete archive;
}

const ResourceArchiveSettings& GetResourceArchive() {
    return Process().archive;
}

void SetColourAdjustment(const ColourAdjustment& adjustment) {
    Process().adjustment = adjustment;
}

const ColourAdjustment& GetColourAdjustment() {
    return Process().adjustment;
}

}  // namespace Weft
