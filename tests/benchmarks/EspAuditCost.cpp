// Prints what reading and judging every EFI file of the system's ESP costs the report's one
// refresh: time and peak memory of one gathering, assessment and report over a scripted Windows
// 11 whose ESP holds only its boot manager, then over the same ESP with twenty more files of the
// size of real ones. Figures only; it passes or fails nothing.
#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#endif

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "report/StatusReport.h"
#include "tests/support/PeImages.h"
#include "tests/support/Situations.h"

namespace {

using namespace certvane;

// The process's peak working set (resident set) so far, in kB.
long PeakKb() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#endif
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// Twenty files from 0.1 to 2.6 MiB, as an ESP with Windows, a Linux loader and vendor tools
// holds them (bootmgfw.efi is about 2.6 MiB, shim about 1 MiB, GRUB about 2.5 MiB).
void AddTwentyFiles(test::ScriptedMachine& machine) {
    const std::wstring esp = machine.volumes[test::Windows11::Esp].name;
    for (int i = 0; i < 20; ++i) {
        test::ScriptedFile file;
        file.content = test::MinimalPe(static_cast<std::uint8_t>(i), (100 + 130 * i) * 1024).bytes;
        machine.PutFile(esp + L"EFI\\vendor\\tool" + std::to_wstring(i) + L".efi", file);
    }
}

void Measure(const char* what, test::ScriptedMachine machine) {
    const long before = PeakKb();
    const auto start = std::chrono::steady_clock::now();
    const std::wstring report = ComposeStatusReport(machine);
    const auto end = std::chrono::steady_clock::now();
    std::printf("%-34s %8.1f ms  peak +%6.1f MB  (%zu characters)\n", what,
                std::chrono::duration<double, std::milli>(end - start).count(),
                (PeakKb() - before) / 1024.0, report.size());
}

}  // namespace

int main() {
    Measure("ESP with its boot manager only", test::NormalWindows11());
    test::ScriptedMachine full = test::NormalWindows11();
    AddTwentyFiles(full);
    Measure("ESP with twenty more EFI files", std::move(full));
    return 0;
}
