#include "app/StartUp.h"

#include "inspect/Holdings.h"
#include "inspect/Privileges.h"
#include "ui/core/ModuleSettings.h"

namespace certvane {
namespace {

constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// The manifest asks for administrator rights; this covers starts where that did not take.
int RelaunchElevated(Platform& platform, int showCommand) {
    const std::optional<std::wstring> path = platform.OwnProgramPath();
    if (path && platform.RelaunchElevated(*path, showCommand)) return 0;
    MessageBoxW(nullptr, L"需要管理员权限，请右键以管理员身份运行。", L"权限不足", MB_ICONERROR);
    return 1;
}

int RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

HWND CreateMainWindow(CMainWnd& window) {
    return window.Create(nullptr, L"Certvane v2.3.0 by Orlenhast", kMainWindowStyle,
                         WS_EX_WINDOWEDGE, 0, 0, 850, 640);
}

int RunCertvane(Platform& platform, HINSTANCE instance, int showCommand,
                CMainWnd::Operations operations, WorkerShutdown shutdown) {
    if (!IsProcessElevated(platform)) return RelaunchElevated(platform, showCommand);
    // Without the privilege the firmware reads yield nothing, and the report says so.
    EnableFirmwarePrivilege(platform);
    Weft::SetModuleInstance(instance);
    Weft::SetResourceDirectory(Weft::GetModuleDirectory());

    CMainWnd window(platform, std::move(operations));
    if (CreateMainWindow(window) == nullptr) {
        MessageBoxW(nullptr, L"无法创建主窗口。", L"Certvane", MB_ICONERROR);
        return 1;
    }
    window.Center();
    ShowWindow(window.GetHandle(), SW_SHOWNORMAL);
    UpdateWindow(window.GetHandle());
    const int exitCode = RunMessageLoop();
    // A loop ended by a failed layout leaves the window standing; it must not outlive the
    // object its messages go to.
    if (IsWindow(window.GetHandle())) DestroyWindow(window.GetHandle());
    // A refresh or an action still running uses the platform of the caller's frame and may hold
    // S:, a mount folder or an offline hive. Closing the window asked it to stop at its next
    // step; it gives back what it holds on its own paths. Should it be stuck in a step past the
    // bound, what it holds is given back here and the process ends before the frame it uses.
    const std::shared_ptr<CompletionMailbox> mailbox = window.Mailbox();
    if (mailbox != nullptr && !mailbox->WaitForWorkers(shutdown.waitMs)) {
        ProcessHoldings().ReleaseAll();
        if (shutdown.endProcess == nullptr) ExitProcess(static_cast<UINT>(exitCode));
        shutdown.endProcess(static_cast<UINT>(exitCode));
    }
    return exitCode;
}

}  // namespace certvane
