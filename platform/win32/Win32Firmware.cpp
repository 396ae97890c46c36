#include <windows.h>

#include <string>

#include "platform/win32/Win32Platform.h"

namespace certvane {

std::uint32_t Win32Platform::QueryFirmwareVariable(std::wstring_view name,
                                                            std::wstring_view guidText,
                                                            std::span<std::uint8_t> buffer) {
    const std::wstring nameZ(name);
    const std::wstring guidZ(guidText);
    const DWORD size = buffer.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(buffer.size());
    return ::GetFirmwareEnvironmentVariableW(nameZ.c_str(), guidZ.c_str(), buffer.data(), size);
}

}  // namespace certvane
