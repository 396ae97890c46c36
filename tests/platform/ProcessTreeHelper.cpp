// process-tree-helper PIDFILE DEPTH
// Starts a copy of itself with DEPTH-1 until DEPTH is 0; the deepest copy writes its process
// id to PIDFILE. Every copy then waits forever: only ending the whole tree ends it.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const int depth = _wtoi(argv[2]);
    if (depth > 0) {
        wchar_t self[MAX_PATH];
        if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return 3;
        std::wstring line =
            L"\"" + std::wstring(self) + L"\" \"" + argv[1] + L"\" " + std::to_wstring(depth - 1);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                            nullptr, &startup, &info)) {
            return 4;
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    } else {
        // Written under another name and renamed, so a reader never sees a partial id.
        const std::wstring partial = std::wstring(argv[1]) + L".partial";
        FILE* file = _wfopen(partial.c_str(), L"w");
        if (file == nullptr) return 5;
        std::fprintf(file, "%lu", GetCurrentProcessId());
        std::fclose(file);
        if (!MoveFileExW(partial.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING)) return 6;
    }
    Sleep(INFINITE);
    return 0;
}
