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
    JobHandle job{};  // 0 when the system gave the process no job of its own
};

// Child processes without a window.
class ProcessApi {
  public:
    // Starts the executable at `applicationPath` (never searched for) with the command line,
    // without a console window, in `currentDirectory`, inheriting the environment. The process
    // runs in a job of its own, which everything it starts joins, before it runs any code.
    virtual std::optional<StartedProcess> StartProcess(std::wstring_view applicationPath,
                                                       std::wstring_view commandLine,
                                                       ShowWindowMode show,
                                                       std::wstring_view currentDirectory) = 0;
    virtual void WaitForProcess(ProcessHandle process, std::uint32_t milliseconds) = 0;
    virtual std::optional<std::uint32_t> ProcessExitCode(ProcessHandle process) = 0;
    // Ends the process and every process it started (only the process itself when it has no
    // job).
    virtual void KillProcessTree(StartedProcess started, std::uint32_t exitCode) = 0;
    // Releases the handles; whatever of the tree still runs is ended with the job.
    virtual void CloseProcess(StartedProcess started) = 0;

  protected:
    ~ProcessApi() = default;
};

}  // namespace certvane
