// startup-stages [--without-engine]
// The window's start-up in this process, stage by stage as the program goes through it, with
// the working set after each and the modules each stage loaded: where the program's memory
// goes. A benchmark build of the same code the program runs; the shipped program prints
// nothing. --without-engine gives the window a report that reads nothing, which separates what
// the window costs from what reading the machine costs.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <set>
#include <string>

#include "app/StartUp.h"
#include "inspect/Privileges.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Platform.h"
#include "ui/core/ModuleSettings.h"

namespace {

double Megabytes(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// The file names of the modules the process has loaded.
std::set<std::wstring> LoadedModules() {
    HMODULE modules[512];
    DWORD bytes = 0;
    std::set<std::wstring> names;
    if (!EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) return names;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        wchar_t path[MAX_PATH] = {};
        if (GetModuleFileNameW(modules[i], path, MAX_PATH) == 0) continue;
        const std::wstring full(path);
        names.insert(full.substr(full.find_last_of(L'\\') + 1));
    }
    return names;
}

// Prints the working set, and the modules loaded since the stage before.
void Stage(const char* name) {
    static std::set<std::wstring> before;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) return;
    std::printf("stage %-34s working set %6.1f MB, peak %6.1f MB\n", name,
                Megabytes(memory.WorkingSetSize), Megabytes(memory.PeakWorkingSetSize));
    const std::set<std::wstring> now = LoadedModules();
    std::wstring loaded;
    for (const std::wstring& module : now) {
        if (!before.count(module)) loaded += L" " + module;
    }
    if (!before.empty() && !loaded.empty()) std::printf("      loaded:%ls\n", loaded.c_str());
    before = now;
    std::fflush(stdout);
}

// Handles messages until `done` or 60 s.
template <class Done>
bool PumpUntil(Done done) {
    const ULONGLONG deadline = GetTickCount64() + 60000;
    MSG message{};
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(1);
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool withoutEngine = argc > 1 && std::wstring(argv[1]) == L"--without-engine";
    Stage("entered");
    certvane::RestrictDllSearchToSystemDirectory();
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    certvane::Win32Platform platform;
    certvane::EnableFirmwarePrivilege(platform);
    Weft::SetModuleInstance(GetModuleHandleW(nullptr));
    Stage("framework set up");
    certvane::CMainWnd::Operations operations = certvane::CMainWnd::EngineOperations();
    if (withoutEngine) {
        operations.refresh = [](certvane::Platform&, const certvane::StopSignal&) {
            return std::wstring(L"（未读取）\r\n");
        };
    }
    certvane::CMainWnd window(platform, operations);
    if (certvane::CreateMainWindow(window) == nullptr) return 1;
    Stage("window created (layout, rich edit)");
    ShowWindow(window.GetHandle(), SW_SHOWNORMAL);
    UpdateWindow(window.GetHandle());
    Stage("shown and painted");
    const bool shown = PumpUntil([&] { return !window.IsBusy(); });
    Stage(shown ? "report shown" : "report not shown in 60 s");
    PostMessageW(window.GetHandle(), WM_CLOSE, 0, 0);
    PumpUntil([&] { return !IsWindow(window.GetHandle()); });
    const auto mailbox = window.Mailbox();
    if (mailbox != nullptr) mailbox->WaitForWorkers(certvane::kWorkerExitWaitMs);
    return shown ? 0 : 1;
}
