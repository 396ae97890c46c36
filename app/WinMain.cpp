// certvane.exe: the main window.
#include <windows.h>

#include "app/StartUp.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Before anything can load a library: none may come from the program's folder.
    certvane::RestrictDllSearchToSystemDirectory();
    // A drive without a medium must not raise a box while a worker probes the drives.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    certvane::Win32Platform platform;
    return certvane::RunCertvane(platform, instance, showCommand);
}
