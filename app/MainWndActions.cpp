// The four buttons: what a click does, and when the two update buttons may be clicked.
#include "app/MainWnd.h"
#include "assess/FirmwareReadiness.h"
#include "inspect/BitLocker.h"
#include "inspect/Environment.h"

namespace certvane {

void CMainWnd::OnNotify(Weft::NotifyRecord& notify) {
    if (notify.type != L"click" || notify.sender == nullptr) return;
    const Weft::CUiString name = notify.sender->GetName();
    if (name == L"btnRefresh") {
        StartRefresh();
    } else if (name == L"btnUpdate") {
        OnUpdateClicked();
    } else if (name == L"btnUpdateBoot") {
        OnUpdateBootClicked();
    } else if (name == L"btnTheme") {
        darkTheme_ = !darkTheme_;
        ApplyTheme(darkTheme_);
    }
}

void CMainWnd::OnUpdateClicked() {
    // Windows PE is told first, even while a worker runs.
    if (IsWinPE(platform_)) {
        Ask(L"PE 环境下不支持证书更新。", L"提示", MB_OK);
        return;
    }
    if (busy_) return;
    StopStatusTimer();
    std::wstring question =
        L"此操作将触发 UEFI 安全启动固件证书更新。\n"
        L"如果 BitLocker 已启用，将自动暂停保护（重启两次后恢复）。\n";
    // The provider answers locally at once; it is asked here so that the warning comes before
    // the choice, not after it.
    if (const auto drive = SystemDrive(platform_)) {
        const auto detail = ReadBitLockerDetail(platform_, *drive);
        if (detail && detail->LacksRecoveryPassword()) {
            question +=
                L"注意：系统盘没有 BitLocker 恢复密码保护器，一旦进入 BitLocker "
                L"恢复将无法用恢复密码解锁；请先添加并备份恢复密码。\n";
        }
    }
    question += L"请确保系统已安装最新补丁，并备份重要数据。\n\n确定继续？";
    const int answer = Ask(question.c_str(), L"确认固件更新", MB_YESNO | MB_ICONWARNING);
    if (answer != IDYES) return;
    BeginWork(L"正在执行固件更新，请稍候...", nullptr, WM_UPDATE_DONE, operations_.firmwareUpdate);
}

void CMainWnd::OnUpdateBootClicked() {
    if (busy_) return;
    StopStatusTimer();
    if (btnUpdateBoot_ == nullptr || !btnUpdateBoot_->IsEnabled()) {
        Ask(L"当前条件不满足，请先检查固件证书状态。", L"提示", MB_OK);
        return;
    }
    const int answer =
        Ask(L"此操作将检测当前引导文件 (bootmgfw.efi) 的证书状态，\n"
            L"并引导您完成必要的更新。\n\n确定继续？",
            L"引导证书更新", MB_YESNO | MB_ICONINFORMATION);
    if (answer != IDYES) return;
    BeginWork(L"正在检测引导文件...", nullptr, WM_BOOTCHECK_DONE, operations_.bootCheck);
}

void CMainWnd::UpdateActionButtons() {
    const bool pe = IsWinPE(platform_);
    if (btnUpdate_ != nullptr) {
        btnUpdate_->SetEnabled(!pe);
        btnUpdate_->SetToolTip(pe ? L"PE 环境下不支持固件证书更新" : L"点击触发固件证书更新");
    }
    const wchar_t* tip = L"PE 环境下不支持引导证书更新";
    bool enabled = false;
    if (!pe) {
        const bool uefi = IsUefiBoot(platform_);
        const bool secureBoot = IsSecureBootEnabled(platform_);
        if (!uefi) {
            tip = L"系统未以 UEFI 模式引导";
        } else if (!secureBoot) {
            tip = L"安全启动未启用";
        } else {
            // The same readiness as the report and the actions; the boot check itself needs
            // only Windows UEFI CA 2023 in db.
            const FirmwareReadiness readiness = ReadFirmwareReadiness(platform_);
            enabled = readiness.windowsCa2023Trusted.value_or(false);
            if (readiness.state == ReadinessState::Ready) {
                tip = L"固件证书已就绪，点击检测引导文件";
            } else if (enabled) {
                tip =
                    L"db 已信任 Windows UEFI CA "
                    L"2023，点击检测引导文件（其余固件证书请执行“固件证书更新”）";
            } else if (readiness.state == ReadinessState::Undetermined) {
                tip = L"无法读取固件证书，无法判断是否就绪";
            } else {
                tip = L"固件 CA 2023 证书未完整安装，请先执行“固件证书更新”";
            }
        }
    }
    if (btnUpdateBoot_ != nullptr) {
        btnUpdateBoot_->SetEnabled(enabled);
        btnUpdateBoot_->SetToolTip(tip);
    }
}

}  // namespace certvane
