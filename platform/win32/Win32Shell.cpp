#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/Win32Platform.h"

namespace certvane {

bool Win32Platform::ShellExecuteHidden(std::wstring_view verb, std::wstring_view file,
                                       std::wstring_view parameters) {
    const std::wstring verbZ(verb);
    const std::wstring fileZ(file);
    const std::wstring parametersZ(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.lpVerb = verbZ.c_str();
    info.lpFile = fileZ.c_str();
    info.lpParameters = parametersZ.c_str();
    info.nShow = SW_HIDE;
    return ShellExecuteExW(&info) != FALSE;
}

}  // namespace certvane
