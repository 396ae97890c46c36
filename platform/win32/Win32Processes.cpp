#include <windows.h>

#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

// A job that ends every process in it when its last handle is closed: whatever a command
// started cannot outlive the call that ran it.
HANDLE CreateKillOnCloseJob() {
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

}  // namespace

std::optional<StartedProcess> Win32Platform::StartProcess(std::wstring_view applicationPath,
                                                          std::wstring_view commandLine,
                                                          ShowWindowMode show,
                                                          std::wstring_view currentDirectory) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (show == ShowWindowMode::Hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    // Started suspended, so that it joins the job before it can start anything itself.
    PROCESS_INFORMATION info{};
    const std::wstring directory = Terminated(currentDirectory);
    if (!CreateProcessW(Terminated(applicationPath).c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        return std::nullopt;
    }
    // Without a job (a system that refuses one) only the process itself can be ended.
    HANDLE job = CreateKillOnCloseJob();
    if (job != nullptr && !AssignProcessToJobObject(job, info.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    ResumeThread(info.hThread);
    return StartedProcess{FromNative<ProcessHandle>(info.hProcess),
                          FromNative<ThreadHandle>(info.hThread), FromNative<JobHandle>(job)};
}

void Win32Platform::WaitForProcess(ProcessHandle process, std::uint32_t milliseconds) {
    WaitForSingleObject(ToNative<HANDLE>(process), milliseconds);
}

std::optional<std::uint32_t> Win32Platform::ProcessExitCode(ProcessHandle process) {
    DWORD code = 0;
    if (!GetExitCodeProcess(ToNative<HANDLE>(process), &code)) return std::nullopt;
    return code;
}

void Win32Platform::KillProcessTree(StartedProcess started, std::uint32_t exitCode) {
    if (started.job != JobHandle{}) TerminateJobObject(ToNative<HANDLE>(started.job), exitCode);
    TerminateProcess(ToNative<HANDLE>(started.process), exitCode);
}

void Win32Platform::CloseProcess(StartedProcess started) {
    if (started.job != JobHandle{}) CloseHandle(ToNative<HANDLE>(started.job));
    CloseHandle(ToNative<HANDLE>(started.thread));
    CloseHandle(ToNative<HANDLE>(started.process));
}

}  // namespace certvane
