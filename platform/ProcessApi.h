#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Handles.h"

namespace certvane {

inline constexpr std::uint32_t WaitForever = 0xFFFFFFFF;  // INFINITE
inline constexpr std::uint32_t StillActive = 259;         // STILL_ACTIVE

enum class ShowWindowMode { Unspecified, Hidden };

struct StartedProcess {
    ProcessHandle process;
    ThreadHandle thread;
};

// Child processes without a window.
class ProcessApi {
public:
    // Starts the executable at `applicationPath` (never searched for) with the command line,
    // without a console window, inheriting environment and current directory.
    virtual std::optional<StartedProcess> StartProcess(std::wstring_view applicationPath,
                                                       std::wstring_view commandLine,
                                                       ShowWindowMode show) = 0;
    virtual void WaitForProcess(ProcessHandle process, std::uint32_t milliseconds) = 0;
    virtual std::optional<std::uint32_t> ProcessExitCode(ProcessHandle process) = 0;
    virtual void KillProcess(ProcessHandle process, std::uint32_t exitCode) = 0;
    virtual void CloseProcess(StartedProcess started) = 0;

protected:
    ~ProcessApi() = default;
};

}  // namespace certvane
