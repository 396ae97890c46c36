#include "app/MainWnd.h"

#include "actions/BootCertCheck.h"
#include "actions/FirmwareCertUpdate.h"
#include "app/MainLayout.h"
#include "report/StatusReport.h"
#include "ui/builder/UiLayoutBuilder.h"

namespace certvane {
namespace {

template <typename Control>
Control* Find(Weft::CPaintManagerUI& manager, const wchar_t* name, const wchar_t* kind) {
    Weft::CControlUI* control = manager.FindControlByName(name);
    return control != nullptr ? static_cast<Control*>(control->CastTo(kind)) : nullptr;
}

void SetText(Weft::CControlUI* control, const wchar_t* text) {
    if (control != nullptr) control->SetText(text);
}

}  // namespace

CMainWnd::Operations CMainWnd::EngineOperations() {
    // The actions run to their end: one may be writing firmware variables when the window goes.
    return {
        [](Platform& platform, const StopSignal& stop) {
            return ComposeStatusReport(platform, &stop);
        },
        [](Platform& platform, const StopSignal&) { return TriggerFirmwareCertUpdate(platform); },
        [](Platform& platform, const StopSignal&) { return CheckBootCertUpdate(platform); }};
}

CMainWnd::CMainWnd(Platform& platform, Operations operations)
    : platform_(platform), operations_(std::move(operations)) {}

CMainWnd::~CMainWnd() {
    if (mailbox_ != nullptr) mailbox_->Close();
}

LPCWSTR CMainWnd::WindowClassName() const {
    return L"Certvane_Weft";
}

LPCWSTR CMainWnd::BaseClassName() const {
    return nullptr;
}

UINT CMainWnd::ClassStyle() const {
    return CS_DBLCLKS;
}

void CMainWnd::OnWindowDestroyed(HWND) {
    // The object lives in the frame of whoever created it.
}

LRESULT CMainWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate();
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_TIMER:
            if (wParam != STATUS_TIMER_ID) break;
            OnStatusTimer();
            return 0;
        case WM_REFRESH_DONE:
            OnRefreshDone(lParam);
            return 0;
        case WM_UPDATE_DONE:
            OnActionDone(lParam, L"更新结果");
            return 0;
        case WM_BOOTCHECK_DONE:
            OnActionDone(lParam, L"引导检测结果");
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(wParam, lParam);
            return 0;
        default:
            break;
    }
    LRESULT result = 0;
    if (paintManager_.HandleWindowMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

LRESULT CMainWnd::OnCreate() {
    mailbox_ = std::make_shared<CompletionMailbox>(m_hWnd);
    paintManager_.AttachWindow(m_hWnd, nullptr);
    // Sizes and fonts scale with the window's display before the layout creates them.
    paintManager_.SetScalePercentage(MulDiv(static_cast<int>(GetDpiForWindow(m_hWnd)), 100, 96));
    Weft::CUiLayoutBuilder builder;
    Weft::CControlUI* root = builder.Create(kMainLayout, nullptr, nullptr, &paintManager_);
    if (root == nullptr) {
        PostQuitMessage(1);
        return 0;
    }
    paintManager_.AttachRoot(root);
    paintManager_.AddNotifyListener(this);
    editInfo_ = Find<Weft::CRichEditUI>(paintManager_, L"editInfo", L"RichEdit");
    btnRefresh_ = Find<Weft::CButtonUI>(paintManager_, L"btnRefresh", L"Button");
    btnUpdate_ = Find<Weft::CButtonUI>(paintManager_, L"btnUpdate", L"Button");
    btnUpdateBoot_ = Find<Weft::CButtonUI>(paintManager_, L"btnUpdateBoot", L"Button");
    btnTheme_ = Find<Weft::CButtonUI>(paintManager_, L"btnTheme", L"Button");
    lblStatus_ = Find<Weft::CLabelUI>(paintManager_, L"lblStatus", L"Label");
    if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101))) {
        SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    ApplyTheme(darkTheme_);
    StartRefresh();
    return 0;
}

void CMainWnd::OnDestroy() {
    StopStatusTimer();
    // Workers still running deliver nowhere from now on; their texts are freed.
    if (mailbox_ != nullptr) mailbox_->Close();
    PostQuitMessage(0);
}

void CMainWnd::OnStatusTimer() {
    StopStatusTimer();
    SetText(lblStatus_, L"就绪");
    UpdateActionButtons();
}

void CMainWnd::StopStatusTimer() {
    if (statusTimer_ == 0) return;
    KillTimer(m_hWnd, statusTimer_);
    statusTimer_ = 0;
}

void CMainWnd::RestartStatusTimer() {
    StopStatusTimer();
    statusTimer_ = SetTimer(m_hWnd, STATUS_TIMER_ID, kStatusTimerPeriod, nullptr);
}

void CMainWnd::EnableButtons(bool refresh, bool update, bool updateBoot) {
    if (btnRefresh_ != nullptr) btnRefresh_->SetEnabled(refresh);
    if (btnUpdate_ != nullptr) btnUpdate_->SetEnabled(update);
    if (btnUpdateBoot_ != nullptr) btnUpdateBoot_->SetEnabled(updateBoot);
}

void CMainWnd::BeginWork(const wchar_t* status, const wchar_t* report, UINT message,
                         const WorkerOperation& operation) {
    busy_ = true;
    EnableButtons(false, false, false);
    SetText(lblStatus_, status);
    if (report != nullptr) SetText(editInfo_, report);
    StartWorker(mailbox_, platform_, message, operation);
}

void CMainWnd::EndWork() {
    busy_ = false;
    UpdateActionButtons();
    RestartStatusTimer();
}

void CMainWnd::StartRefresh() {
    if (busy_) return;
    StopStatusTimer();
    BeginWork(L"正在获取信息...", L"加载中...", WM_REFRESH_DONE, operations_.refresh);
}

void CMainWnd::OnRefreshDone(LPARAM lParam) {
    if (std::unique_ptr<std::wstring> report = mailbox_->Take(lParam)) {
        SetText(editInfo_, report->c_str());
        SetText(lblStatus_, L"信息已刷新");
    }
    if (btnRefresh_ != nullptr) btnRefresh_->SetEnabled(true);
    if (btnUpdate_ != nullptr) btnUpdate_->SetEnabled(true);
    EndWork();
}

void CMainWnd::OnActionDone(LPARAM lParam, const wchar_t* caption) {
    if (std::unique_ptr<std::wstring> result = mailbox_->Take(lParam)) {
        SetText(lblStatus_, result->c_str());
        Ask(result->c_str(), caption, MB_OK);
    }
    EnableButtons(true, true, true);
    EndWork();
}

int CMainWnd::Ask(const wchar_t* text, const wchar_t* caption, UINT flags) {
    return MessageBoxW(m_hWnd, text, caption, flags);
}

}  // namespace certvane
