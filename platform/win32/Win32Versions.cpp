#include <windows.h>
#include <winver.h>

#include <vector>

#include "platform/FixedFileInfo.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<FixedFileVersion> Win32Platform::ReadFixedFileVersion(std::wstring_view path) {
    const VersionEntries* version = Version();
    if (version == nullptr) return std::nullopt;
    const std::wstring file = Terminated(path);
    DWORD ignored = 0;
    const DWORD size = version->GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!version->GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
    void* fixed = nullptr;
    UINT length = 0;
    if (!version->VerQueryValueW(block.data(), L"\\", &fixed, &length) || fixed == nullptr) {
        return std::nullopt;
    }
    return ReadFixedFileInfo({static_cast<const std::uint8_t*>(fixed), length});
}

}  // namespace certvane
