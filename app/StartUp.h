#pragma once

#include <windows.h>

#include "app/MainWnd.h"
#include "platform/Platform.h"

namespace certvane {

// The program from start to end: makes sure it runs elevated (starting itself again through
// the shell's "runas" when it does not), enables the firmware privilege, sets up the UI
// framework, shows the main window and runs the message loop. Returns the process's exit
// code: the loop's quit code (0 after a normal close, 1 when the layout cannot be built), 0
// after a successful elevated restart, 1 when elevation is impossible or the window cannot
// be created.
// Creates the main window as the program shows it: its title, style and size, no parent.
HWND CreateMainWindow(CMainWnd& window);

// How long the program waits, once its window is gone, for a worker still running. Longer than
// the longest single step a worker can be in: WMI's connection, the Task Scheduler and the
// event log (two minutes at most each), a mountvol or a WMI enumeration (a minute each).
inline constexpr DWORD kWorkerExitWaitMs = 200000;

// What the program does about a worker still running once its window is gone: the window's
// closing asked it to stop at its next step, and the program waits for it.
struct WorkerShutdown {
    DWORD waitMs = kWorkerExitWaitMs;
    // Called, once what the runs still hold is given back, when a worker outlasts the wait;
    // null ends the process (ExitProcess).
    void (*endProcess)(UINT exitCode) = nullptr;
};

// Returns only once no worker runs. When one outlasts the wait (stuck in a step), gives back
// what the runs still hold (ProcessHoldings) and ends the process.
int RunCertvane(Platform& platform, HINSTANCE instance, int showCommand,
                CMainWnd::Operations operations = CMainWnd::EngineOperations(),
                WorkerShutdown shutdown = {});

}  // namespace certvane
