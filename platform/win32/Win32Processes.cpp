#include <windows.h>

#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

std::optional<StartedProcess> Win32Platform::StartProcess(std::wstring_view applicationPath,
                                                          std::wstring_view commandLine,
                                                          ShowWindowMode show) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (show == ShowWindowMode::Hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(Terminated(applicationPath).c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
        return std::nullopt;
    }
    return StartedProcess{FromNative<ProcessHandle>(info.hProcess),
                          FromNative<ThreadHandle>(info.hThread)};
}

void Win32Platform::WaitForProcess(ProcessHandle process, std::uint32_t milliseconds) {
    WaitForSingleObject(ToNative<HANDLE>(process), milliseconds);
}

std::optional<std::uint32_t> Win32Platform::ProcessExitCode(ProcessHandle process) {
    DWORD code = 0;
    if (!GetExitCodeProcess(ToNative<HANDLE>(process), &code)) return std::nullopt;
    return code;
}

void Win32Platform::KillProcess(ProcessHandle process, std::uint32_t exitCode) {
    TerminateProcess(ToNative<HANDLE>(process), exitCode);
}

void Win32Platform::CloseProcess(StartedProcess started) {
    CloseHandle(ToNative<HANDLE>(started.thread));
    CloseHandle(ToNative<HANDLE>(started.process));
}

}  // namespace certvane
