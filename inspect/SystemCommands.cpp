#include "inspect/SystemCommands.h"

namespace certvane {
namespace {

// Longer command lines than the system programs take are refused rather than cut, which would
// run a different command.
constexpr std::size_t kMaxCommandLine = 1023;

// mountvol normally answers at once; a hung one must not hold the only worker forever.
constexpr std::uint32_t kMountvolTimeoutMs = 60000;

// Runs a program to its end and returns its exit code; nullopt when it cannot start, its
// exit code cannot be read, or it still runs after `timeoutMs`. In the last two cases the
// program and everything it started are ended: nothing outlives the call.
std::optional<std::uint32_t> RunToCompletion(Platform& platform, const std::wstring& application,
                                             std::wstring_view commandLine, ShowWindowMode show,
                                             std::uint32_t timeoutMs) {
    // The system directory, never the user's folder the program was started from.
    const auto started =
        platform.StartProcess(application, commandLine, show, platform.SystemDirectoryPath());
    if (!started) return std::nullopt;
    platform.WaitForProcess(started->process, timeoutMs);
    std::optional<std::uint32_t> exitCode = platform.ProcessExitCode(started->process);
    if (!exitCode || *exitCode == StillActive) {
        platform.KillProcessTree(*started, 1);
        exitCode.reset();
    }
    platform.CloseProcess(*started);
    return exitCode;
}

std::optional<std::uint32_t> RunMountvol(Platform& platform, std::wstring_view commandLine) {
    const std::wstring mountvol = SystemCommandPath(platform, L"mountvol.exe");
    if (mountvol.empty()) return std::nullopt;
    return RunToCompletion(platform, mountvol, commandLine, ShowWindowMode::Unspecified,
                           kMountvolTimeoutMs);
}

}  // namespace

std::wstring SystemCommandPath(Platform& platform, std::wstring_view executable) {
    std::wstring path = platform.SystemDirectoryPath();
    if (path.empty()) return {};
    if (path.back() != L'\\') path += L'\\';
    path += executable;
    return path;
}

int RunSystemProgram(Platform& platform, std::wstring_view program, std::wstring_view arguments,
                     std::uint32_t timeoutMs) {
    std::wstring commandLine(program);
    commandLine += L" ";
    commandLine += arguments;
    if (commandLine.size() > kMaxCommandLine) return -1;
    const std::wstring application = SystemCommandPath(platform, program);
    if (application.empty()) return -1;
    const auto exitCode =
        RunToCompletion(platform, application, commandLine, ShowWindowMode::Hidden, timeoutMs);
    return exitCode ? static_cast<int>(*exitCode) : -1;
}

bool MountEspAtS(Platform& platform) {
    const auto exitCode = RunMountvol(platform, L"mountvol S: /s");
    return exitCode && *exitCode == 0;
}

void UnmountS(Platform& platform) {
    RunMountvol(platform, L"mountvol S: /d");
}

}  // namespace certvane
