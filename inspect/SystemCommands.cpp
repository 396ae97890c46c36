#include "inspect/SystemCommands.h"

namespace certvane {
namespace {

// The command line buffer of the command interpreter run; a longer command would be cut
// and run as a different command, so it is refused instead.
constexpr std::size_t kMaxCommandLine = 1023;

std::optional<std::uint32_t> RunMountvol(Platform& platform, std::wstring_view commandLine) {
    const std::wstring mountvol = SystemCommandPath(platform, L"mountvol.exe");
    if (mountvol.empty()) return std::nullopt;
    const auto started =
        platform.StartProcess(mountvol, commandLine, ShowWindowMode::Unspecified);
    if (!started) return std::nullopt;
    platform.WaitForProcess(started->process, WaitForever);
    const auto exitCode = platform.ProcessExitCode(started->process);
    platform.CloseProcess(*started);
    return exitCode;
}

}  // namespace

std::wstring SystemCommandPath(Platform& platform, std::wstring_view executable) {
    std::wstring path = platform.SystemDirectoryPath();
    if (path.empty()) return {};
    if (path.back() != L'\\') path += L'\\';
    path += executable;
    return path;
}

int RunHiddenCommand(Platform& platform, std::wstring_view command, std::uint32_t timeoutMs) {
    std::wstring commandLine = L"cmd.exe /c ";
    commandLine += command;
    if (commandLine.size() > kMaxCommandLine) return -1;
    const std::wstring interpreter = SystemCommandPath(platform, L"cmd.exe");
    if (interpreter.empty()) return -1;
    const auto started = platform.StartProcess(interpreter, commandLine, ShowWindowMode::Hidden);
    if (!started) return -1;
    platform.WaitForProcess(started->process, timeoutMs);
    const auto exitCode = platform.ProcessExitCode(started->process);
    int result = -1;
    // An exit code that cannot be read is treated like a command still running: the process
    // must not outlive the call either way.
    if (!exitCode || *exitCode == StillActive) {
        platform.KillProcess(started->process, 1);
    } else {
        result = static_cast<int>(*exitCode);
    }
    platform.CloseProcess(*started);
    return result;
}

bool MountEspAtS(Platform& platform) {
    const auto exitCode = RunMountvol(platform, L"mountvol S: /s");
    return exitCode && *exitCode == 0;
}

void UnmountS(Platform& platform) { RunMountvol(platform, L"mountvol S: /d"); }

}  // namespace certvane
