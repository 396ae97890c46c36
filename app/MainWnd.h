#pragma once

#include <windows.h>

#include <memory>

#include "app/CompletionMailbox.h"
#include "app/Worker.h"
#include "platform/Platform.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/PaintManagerUI.h"
#include "ui/controls/RichEditUI.h"
#include "ui/window/WindowWnd.h"

namespace certvane {

// Posted by the workers to the main window; lParam owns the result text (or is null).
constexpr UINT WM_REFRESH_DONE = WM_USER + 100;
constexpr UINT WM_UPDATE_DONE = WM_USER + 101;
constexpr UINT WM_BOOTCHECK_DONE = WM_USER + 102;
// Returns the status line to "就绪" three seconds after each completion.
constexpr UINT_PTR STATUS_TIMER_ID = 1000;
constexpr UINT kStatusTimerPeriod = 3000;

// The program's only top-level window: the status report in a read-only rich edit, four
// buttons, a status line. Each long operation runs on a worker thread and comes back as one
// of the private messages; everything else happens on the window's thread. The window runs
// its operations on the Platform it is given.
class CMainWnd : public Weft::CWindowWnd, public Weft::INotifyUI {
  public:
    struct Operations {
        WorkerOperation refresh;
        WorkerOperation firmwareUpdate;
        WorkerOperation bootCheck;
    };
    // The engine's report, firmware certificate update and boot certificate check.
    static Operations EngineOperations();

    explicit CMainWnd(Platform& platform, Operations operations = EngineOperations());
    ~CMainWnd() override;

    LPCWSTR WindowClassName() const override;
    LPCWSTR BaseClassName() const override;
    UINT ClassStyle() const override;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND hwnd) override;

    void OnNotify(Weft::NotifyRecord& notify) override;

    void StartRefresh();
    void UpdateActionButtons();
    void ApplyTheme(bool dark);
    void ApplyButtonTheme(const wchar_t* name, bool dark);

    Weft::CPaintManagerUI& PaintManager() { return paintManager_; }
    bool IsBusy() const { return busy_; }
    bool IsDarkTheme() const { return darkTheme_; }
    bool IsStatusTimerRunning() const { return statusTimer_ != 0; }
    // Shared with the workers; null before the window exists.
    const std::shared_ptr<CompletionMailbox>& Mailbox() const { return mailbox_; }

  private:
    LRESULT OnCreate();
    void OnDestroy();
    void OnStatusTimer();
    void OnRefreshDone(LPARAM lParam);
    void OnActionDone(LPARAM lParam, const wchar_t* caption);
    void OnUpdateClicked();
    void OnUpdateBootClicked();
    void OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // Sets the busy state and the status line (and the report box's text when `report` is
    // given), then starts the worker.
    void BeginWork(const wchar_t* status, const wchar_t* report, UINT message,
                   const WorkerOperation& operation);
    void EndWork();
    void EnableButtons(bool refresh, bool update, bool updateBoot);
    void StopStatusTimer();
    void RestartStatusTimer();
    int Ask(const wchar_t* text, const wchar_t* caption, UINT flags);

    Weft::CPaintManagerUI paintManager_;
    Weft::CRichEditUI* editInfo_ = nullptr;
    Weft::CButtonUI* btnRefresh_ = nullptr;
    Weft::CButtonUI* btnUpdate_ = nullptr;
    Weft::CButtonUI* btnUpdateBoot_ = nullptr;
    Weft::CButtonUI* btnTheme_ = nullptr;
    Weft::CLabelUI* lblStatus_ = nullptr;
    bool darkTheme_ = false;
    bool busy_ = false;
    UINT_PTR statusTimer_ = 0;

    Platform& platform_;
    Operations operations_;
    std::shared_ptr<CompletionMailbox> mailbox_;
};

}  // namespace certvane
