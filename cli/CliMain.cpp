// certvane-cli.exe: the status report, or its facts as JSON, on standard output.
#include <windows.h>

#include <chrono>
#include <exception>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/ExitCode.h"
#include "cli/StopGate.h"
#include "inspect/Holdings.h"
#include "inspect/Privileges.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Platform.h"

namespace {

// A console shows the text through the wide-character console call, whatever its code page;
// redirected output gets the UTF-8 bytes as they are.
void Write(DWORD which, const std::string& utf8) {
    if (utf8.empty()) return;
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const int units =
            MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(units), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            units);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    DWORD written = 0;
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

certvane::cli::StopGate stopGate;

// The system ends the process about five seconds after a close; a little less is waited.
constexpr std::chrono::milliseconds kCloseWait{4500};

BOOL WINAPI OnConsoleControl(DWORD event) {
    const bool processEnds = event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT;
    // A run stuck in a step when the process is about to end: what it holds is given back here.
    if (!stopGate.RequestStop(processEnds, kCloseWait) && processEnds)
        certvane::ProcessHoldings().ReleaseAll();
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Before anything can load a library: none may come from the program's folder.
    certvane::RestrictDllSearchToSystemDirectory();
    // A drive without a medium must not raise a box while the drives are probed. The console's
    // code page is left alone: a console gets wide characters, a redirection UTF-8 bytes.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Ctrl+C or a closed console ends the run only once it has released what it holds.
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    int exitCode = certvane::cli::ExitInternalFailure;
    // Nothing is thrown on purpose; what still escapes (an allocation that fails, say) is told
    // in one line and the documented code, never as a report that could be taken for an answer.
    try {
        const std::vector<std::wstring> args(argv + 1, argv + argc);
        certvane::Win32Platform system;
        certvane::EnableFirmwarePrivilege(system);
        const auto result = certvane::cli::RunCli<certvane::Win32Platform>(args);
        if (stopGate.StopRequested()) {
            Write(STD_ERROR_HANDLE,
                  "certvane-cli: stopped on request; what this run mounted or loaded is "
                  "released\n");
            exitCode = certvane::cli::ExitUndetermined;
        } else {
            Write(STD_OUTPUT_HANDLE, result.out);
            Write(STD_ERROR_HANDLE, result.err);
            exitCode = result.exitCode;
        }
    } catch (const std::exception& error) {
        Write(STD_ERROR_HANDLE,
              std::string("certvane-cli: internal failure: ") + error.what() + "\n");
    } catch (...) {
        Write(STD_ERROR_HANDLE, "certvane-cli: internal failure\n");
    }
    stopGate.RunFinished();
    return exitCode;
}
