#include "report/ProgressSection.h"

#include <algorithm>
#include <cstdio>

#include "inspect/TimeText.h"
#include "platform/ByteOrder.h"
#include "report/ProgressTexts.h"

namespace certvane {
namespace {

void Line(std::wstring& report, std::wstring_view text) {
    report += L"  ";
    report += text;
    report += L"\r\n";
}

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring Hex32(std::uint32_t value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08X", value);
    return text;
}

const MatrixRow* HeldRow(const MachineAssessment& a, std::wstring_view store,
                         const WellKnownCertificate& certificate) {
    for (const MatrixRow& row : a.matrix) {
        if (row.store == store && row.known == &certificate && row.knownByThumbprint) return &row;
    }
    return nullptr;
}

// Slot 1: the two KEKs, by their bytes, with the status words of section 【2】.
void WriteKek(std::wstring& report, const MachineAssessment& a) {
    if (!a.firmware.kekReadable) {
        Line(report, L"KEK 证书：无法读取 KEK");
        return;
    }
    Line(report, L"KEK 证书：");
    for (const WellKnownCertificate* kek : {&Kek2011, &Kek2023}) {
        const MatrixRow* held = HeldRow(a, L"KEK", *kek);
        const bool revoked = HeldRow(a, L"dbx", *kek) != nullptr;
        std::wstring text(revoked ? StatusWord::Revoked
                          : held  ? StatusWord::Valid
                                  : StatusWord::Absent);
        text += L" ";
        text += kek->subject;
        if (held && held->expired) text += L"（已过期：固件仍信任它，但它不再签发新的更新）";
        Line(report, text);
    }
}

// Which of Microsoft's lists was used: the built-in one with its date, or the file given.
std::wstring ListName(std::wstring_view list, const ListOrigin& origin) {
    if (origin.file) return std::wstring(list) + L"（文件 " + *origin.file + L"）";
    return std::wstring(list) + L"（内置，" + Wide(origin.date) + L"）";
}

// Slot 2: the platform key and Microsoft's map of KEK updates signed by platform keys.
void WritePlatformKey(std::wstring& report, const MachineFacts& facts, const MachineAssessment& a) {
    const PlatformKeyAssessment& pk = a.platformKey;
    if (!pk.present) {
        const bool unreadable = facts.keys.Store(L"PK").state == VariableState::Unreadable;
        Line(report, unreadable ? L"平台密钥 (PK)：无法读取" : L"平台密钥 (PK)：未设置");
        return;
    }
    Line(report, L"平台密钥 (PK)：" + (pk.subject.empty() ? Wide(pk.thumbprint) : pk.subject));
    if (pk.testKey) {
        Line(report,
             L"注意：PK 是公开的测试密钥（其私钥人人可得）：任何人都能签名修改 KEK、db 和 dbx");
    }
    const std::wstring map = ListName(L"Microsoft 发布的 KEK 更新列表", a.lists->kekMap.origin);
    Line(report,
         map + (pk.kekUpdate ? L"中有此 PK 签名的 KEK 更新" : L"中没有此 PK 签名的 KEK 更新"));
}

std::wstring MissingText(const MissingCertificate& missing) {
    const std::wstring store(missing.store);
    const std::wstring name(missing.certificate->subject);
    switch (missing.reason) {
        case MissingReason::Revoked:
            return store + L" 需要的 " + name + L" 已被 dbx 吊销";
        case MissingReason::NameOnly:
            return store + L" 缺少 " + name + L"（只有同名证书）";
        default:
            return store + L" 缺少 " + name;
    }
}

// Slots 3 and 4: firmware readiness, and whether the third-party certificates are needed.
void WriteReadiness(std::wstring& report, const MachineAssessment& a) {
    const FirmwareReadiness& f = a.firmware;
    if (f.state == ReadinessState::Ready) {
        Line(report, L"固件证书就绪：是");
    } else if (f.state == ReadinessState::NotReady) {
        Line(report, L"固件证书就绪：否");
        for (const MissingCertificate& missing : f.missing)
            Line(report, L"  " + MissingText(missing));
    } else {
        std::wstring unread;
        for (const auto& [readable, name] :
             {std::pair{f.kekReadable, L"KEK"}, std::pair{f.dbReadable, L"db"},
              std::pair{f.dbxReadable, L"dbx"}}) {
            if (readable) continue;
            if (!unread.empty()) unread += L"、";
            unread += name;
        }
        Line(report, L"固件证书就绪：无法判断（无法读取 " + unread + L"）");
    }
    for (const NameOnlyEntry& entry : f.nameOnly) {
        Line(report, L"注意：" + std::wstring(entry.store) + L" 中名为“" +
                         std::wstring(entry.certificate->subject) +
                         L"”的证书不是 Microsoft 的证书（指纹不符），不计入就绪");
    }
    const std::wstring third = L"db 信任第三方 Microsoft Corporation UEFI CA 2011：";
    if (!f.trustsThirdPartyCa2011) {
        Line(report, third + L"无法判断（无法读取 db）");
    } else if (*f.trustsThirdPartyCa2011) {
        Line(report,
             third + L"是，因此还需要 Microsoft UEFI CA 2023 和 Microsoft Option ROM UEFI CA 2023");
    } else {
        Line(report, third + L"否，因此不需要两张第三方 2023 证书");
    }
}

// Windows' own message on one line, cut to 60 characters with "…".
std::wstring OneLineMessage(std::wstring_view message) {
    constexpr std::size_t kShown = 60;
    std::wstring line;
    bool blank = false;
    for (const wchar_t c : message) {
        const bool space = c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
        if (space) {
            blank = !line.empty();
            continue;
        }
        if (blank) line += L' ';
        blank = false;
        line += c;
    }
    if (line.size() <= kShown) return line;
    std::size_t cut = kShown;
    // Never split a surrogate pair.
    if (line[cut - 1] >= 0xD800 && line[cut - 1] <= 0xDBFF) --cut;
    return line.substr(0, cut) + L"…";
}

// Slot 6: the newest event in Windows' words where it has them, else in ours.
void WriteNewestEvent(std::wstring& report, const MachineAssessment& a,
                      const EventTimeline& events) {
    if (!events.available) {
        Line(report, L"最新服务事件：无法读取事件日志");
        return;
    }
    if (events.events.empty()) {
        Line(report, L"最新服务事件：无");
        return;
    }
    const ServicingEvent& newest = events.events.front();
    const std::wstring_view meaning = EventText(newest.id);
    std::wstring text = !newest.message.empty() ? OneLineMessage(newest.message)
                        : !meaning.empty()      ? std::wstring(meaning)
                                                : std::wstring(L"（未记载的事件）");
    if (!newest.message.empty() && meaning.empty()) text += L"（Microsoft 未记载此事件的含义）";
    Line(report, L"最新服务事件：" + std::to_wstring(newest.id) + L" " + text + L"（" +
                     newest.time + L"）");
    if (!a.deviceBucket) return;
    const DeviceBucket& bucket = *a.deviceBucket;
    if (bucket.confidence) {
        Line(report, L"部署分组（事件 " + std::to_wstring(bucket.eventId) + L"）：" +
                         bucket.confidenceLevel + L"（" +
                         std::wstring(ConfidenceText(*bucket.confidence)) + L"）" +
                         (bucket.bucketId.empty() ? L"" : L"，BucketId " + bucket.bucketId));
    }
    if (!bucket.skipReason.empty()) {
        Line(report, L"已知问题（SkipReason）：" + bucket.skipReason +
                         (bucket.KnownFirmwareIssue() ? L"（已知的固件问题，无法绕过）" : L""));
    }
}

std::optional<std::uint32_t> DwordOf(const std::vector<NamedStoredValue>& values,
                                     std::wstring_view name) {
    const StoredRegistryValue* value = FindValue(values, name);
    if (!value || value->type != RegDword || value->bytes.size() != 4) return std::nullopt;
    return LittleEndian32(value->bytes.data());
}

// The two settings of Microsoft's automatic rollout, where the administrator set them.
void WriteRolloutSettings(std::wstring& report, const ServicingState& s) {
    if (const auto optOut = DwordOf(s.secureBootValues, L"HighConfidenceOptOut")) {
        Line(report, *optOut != 0
                         ? L"HighConfidenceOptOut = " + std::to_wstring(*optOut) +
                               L"：不随每月更新自动部署，即使此机型属于高置信度分组；需由管理员触发"
                         : std::wstring(L"HighConfidenceOptOut = 0：此机型属于高置信度分组时，"
                                        L"Windows 会随每月更新自动部署证书"));
    }
    if (const auto optIn = DwordOf(s.secureBootValues, L"MicrosoftUpdateManagedOptIn")) {
        Line(report, *optIn != 0
                         ? L"MicrosoftUpdateManagedOptIn = " + Hex32(*optIn) +
                               L"：已加入由 Microsoft 管理的分批部署（需要允许可选诊断数据）"
                         : std::wstring(L"MicrosoftUpdateManagedOptIn = 0：未加入由 Microsoft "
                                        L"管理的分批部署"));
    }
}

std::wstring_view BootManagerErrorReasonText(std::wstring_view reason) {
    if (reason == L"PCA2023NotFoundInDB") return L"db 中没有 Windows UEFI CA 2023";
    return {};
}

// Why the last replacement of the boot manager failed, where servicing recorded it.
void WriteBootManagerError(std::wstring& report, const ServicingState& s) {
    const auto error = DwordOf(s.servicingValues, L"BootMgrLastUpdateError");
    const StoredRegistryValue* reason =
        FindValue(s.servicingValues, L"BootMgrLastUpdateErrorReason");
    const std::wstring reasonText =
        reason && reason->type == RegSz ? TextOfRegistryBytes(reason->bytes) : L"";
    if (!error && reasonText.empty()) return;
    std::wstring text =
        L"引导管理器上次更新失败：" + (error ? Hex32(*error) : std::wstring(L"错误码未记录"));
    if (!reasonText.empty()) {
        const std::wstring_view meaning = BootManagerErrorReasonText(reasonText);
        text += L"，原因 " + reasonText + L"（" +
                (meaning.empty() ? std::wstring(L"Microsoft 未记载此原因的含义")
                                 : std::wstring(meaning)) +
                L"）";
    }
    Line(report, text);
}

// Slots 5 to 7: what Windows servicing says.
void WriteServicing(std::wstring& report, const MachineAssessment& a, const ServicingState& s) {
    if (!s.registryReadable) {
        Line(report, L"Windows 更新进度：无法读取服务状态");
    } else {
        Line(report, L"Windows 更新进度：" + std::wstring(StageText(a.stage)) +
                         (s.offline ? L"（读取自离线系统）" : L""));
        std::wstring pending;
        for (const ServicingStep* step : PendingSteps(s.availableUpdates.value_or(0))) {
            if (!pending.empty()) pending += L"、";
            pending += StepText(step->bit);
        }
        Line(report, L"待完成步骤：" + (pending.empty() ? std::wstring(L"无") : pending));
        if (const std::uint32_t unknown = UnknownServicingBits(s.availableUpdates.value_or(0)))
            Line(report, L"AvailableUpdates 中有未记载的位：" + Hex32(unknown));
        WriteRolloutSettings(report, s);
    }

    WriteNewestEvent(report, a, s.events);

    const std::wstring task = L"计划任务 Secure-Boot-Update：";
    switch (s.task.lookup) {
        case TaskLookup::Missing:
            Line(report, task + L"不存在");
            return;
        case TaskLookup::Unavailable:
            Line(report, task + (s.offline ? L"离线系统无法查询" : L"无法查询"));
            return;
        case TaskLookup::Found:
            break;
    }
    std::wstring state = !s.task.lastResult || !s.task.lastRunTime
                             ? std::wstring(L"从未运行")
                             : L"上次运行 " + OleDateText(*s.task.lastRunTime) + L"，结果 " +
                                   Hex32(static_cast<std::uint32_t>(*s.task.lastResult));
    if (!s.task.enabled) state += L"（已禁用）";
    Line(report, task + state);
}

// Slot 8: revocation in dbx.
void WriteDbx(std::wstring& report, const MachineAssessment& a) {
    if (!a.firmware.dbxReadable) {
        Line(report, L"dbx：无法读取");
        return;
    }
    Line(report, std::wstring(L"dbx 吊销 Microsoft Windows Production PCA 2011：") +
                     (a.dbxCurrency.pca2011Revoked ? L"是" : L"否"));
    for (const SvnState& svn : a.dbxCurrency.svns) {
        if (svn.latest->fileName != "bootmgfw.efi") continue;
        const auto version = [](unsigned major, unsigned minor) {
            return std::to_wstring(major) + L"." + std::to_wstring(minor);
        };
        const std::wstring held = svn.held ? version(svn.held->major, svn.held->minor) : L"无";
        Line(report, L"dbx 中 bootmgfw.efi 的 SVN：" + held + L"（Microsoft 最新为 " +
                         version(svn.latest->major, svn.latest->minor) +
                         (svn.Current() ? L"，已是最新）" : L"）"));
    }
}

std::wstring_view ProtectorName(std::int32_t type) {
    switch (type) {
        case 1:
            return L"TPM";
        case 2:
            return L"外部密钥";
        case 3:
            return L"恢复密码";
        case 4:
            return L"TPM+PIN";
        case 5:
            return L"TPM+启动密钥";
        case 6:
            return L"TPM+PIN+启动密钥";
        case 7:
            return L"公钥";
        case 8:
            return L"密码";
        case 9:
            return L"TPM 证书";
        case 10:
            return L"CNG 保护器";
        default:
            return L"未知保护器";
    }
}

// Slot 10: what an administrator checks before a change that may ask for the recovery key.
void WriteBitLocker(std::wstring& report, const MachineFacts& facts) {
    if (facts.winPE) return;
    const auto& d = facts.bitLockerDetail;
    if (!d) {
        Line(report, L"BitLocker 保护器：无法读取");
        return;
    }
    const std::wstring head = L"BitLocker（" + d->drive + L"）：";
    if (!d->encrypted) {
        Line(report, head + L"未加密");
        return;
    }
    std::wstring state = d->protectionOn ? L"保护已开启" : L"保护已暂停";
    if (!d->protectionOn && d->suspendCount)
        state += L"（还剩 " + std::to_wstring(*d->suspendCount) + L" 次重启）";
    Line(report, head + state);
    if (!d->protectorsKnown) {
        Line(report, L"BitLocker 保护器：无法读取");
        return;
    }
    std::wstring names;
    for (const std::int32_t type : d->protectorTypes) {
        if (!names.empty()) names += L"、";
        names += ProtectorName(type);
    }
    Line(report, L"BitLocker 保护器：" + (names.empty() ? std::wstring(L"无") : names));
    if (d->LacksRecoveryPassword()) {
        Line(report,
             L"注意：没有恢复密码保护器：固件证书更新若触发 BitLocker "
             L"恢复，将没有恢复密码可用于解锁");
    }
}

// Slot 11: the reference lists judged against, and a warning when the built-in ones are old.
void WriteReferenceLists(std::wstring& report, const MachineAssessment& a) {
    Line(report, L"参考列表：" + ListName(L"KEK 更新列表", a.lists->kekMap.origin) + L"，" +
                     ListName(L"dbx 列表", a.lists->dbx.origin));
    if (a.ListsStale()) {
        Line(report, L"注意：内置的 Microsoft 列表已有 " + std::to_wstring(*a.builtInListAge) +
                         L" 天（超过 " + std::to_wstring(StaleListAgeDays) +
                         L" 天）：请换用新版 Certvane，或用 certvane-cli --kek-map、--dbx-info "
                         L"指定 Microsoft 最新发布的列表");
    }
}

// Slot 12: a virtual machine's KEK step follows its PK as on hardware; new machines and a
// reset take the host's template.
void WriteVirtualMachine(std::wstring& report, const MachineAssessment& a) {
    if (a.virtualPlatform == VirtualPlatform::None) return;
    std::wstring text = a.virtualPlatform == VirtualPlatform::HyperV ? L"虚拟机（Hyper-V）："
                                                                     : L"虚拟机（VMware）：";
    text += !a.platformKey.present ? L"KEK 步骤取决于 PK，此虚拟机未设置 PK"
            : a.platformKey.kekUpdate
                ? L"KEK 步骤与实体机一样取决于 PK，Microsoft 的列表中有此 PK 签名的 KEK 更新"
                : L"KEK 步骤与实体机一样取决于 PK，Microsoft 的列表中没有此 PK 签名的 KEK "
                  L"更新，请参考虚拟化平台的说明";
    const KekReadiness& k = a.kekReadiness;
    text += !k.defaultsReadable
                ? L"；无法读取默认证书，新建虚拟机和恢复默认密钥所用的模板是否含 2023 证书不明"
            : k.resetUndoesUpdate
                ? L"；默认证书缺少 2023 证书：新建虚拟机和恢复默认密钥会使用缺少 2023 证书的模板"
                : L"；默认证书已含 2023 证书：新建虚拟机和恢复默认密钥仍保留它们";
    Line(report, text);
}

// Slot 13: the other EFI files of the system's ESP, which a dbx update may strand.
void WriteSystemEspFiles(std::wstring& report, const MachineFacts& facts,
                         const MachineAssessment& a) {
    if (facts.bootFiles.systemEspRoot.empty() || !facts.DbReadable()) return;
    const std::wstring& root = facts.bootFiles.systemEspRoot;
    const auto refused = RowsThatWouldNotBoot(a.systemEspFiles);
    const auto unproven = std::ranges::count_if(
        a.systemEspFiles, [](const AuditRow& row) { return !row.wouldBoot.has_value(); });
    std::wstring text =
        L"ESP 上的 EFI 文件：共 " + std::to_wstring(a.systemEspFiles.size()) + L" 个，";
    if (refused.empty()) {
        text += L"在当前 dbx 下没有无法引导的";
    } else {
        text += std::to_wstring(refused.size()) + L" 个在当前 dbx 下无法引导：";
        for (std::size_t i = 0; i < refused.size() && i < 3; ++i) {
            const std::wstring& path = refused[i]->file->path;
            if (i > 0) text += L"、";
            text += path.starts_with(root) ? path.substr(root.size()) : path;
        }
        if (refused.size() > 3) text += L" 等";
    }
    if (unproven > 0) {
        text += L"；" + std::to_wstring(unproven) +
                L" 个 Windows 引导应用的 SVN 无法读取，未能证明可以引导";
    }
    Line(report, text);
}

bool NewestEventIs(const ServicingState& s, std::uint32_t id) {
    return !s.events.events.empty() && s.events.events.front().id == id;
}

// Slot 14: the first that applies.
std::wstring NextStep(const MachineFacts& facts, const MachineAssessment& a) {
    const FirmwareReadiness& f = a.firmware;
    const auto& boot = a.decidingBootManager;
    const ServicingState& s = facts.servicingState;
    if (!facts.DbReadable() || f.state == ReadinessState::Undetermined)
        return L"无法读取固件证书，无法判断是否就绪：请确认电脑以 UEFI "
               L"模式启动，并以管理员身份运行。";
    if (!boot || boot->file->signer.empty())
        return L"未找到带有签名的引导管理器（bootmgfw.efi），无法判断能否引导：请检查 ESP 分区。";
    if (!boot->judgement.WouldBoot())
        return L"固件不会启动当前的引导管理器（签名证书不受信任、已被吊销，或文件本身已被吊销）：重"
               L"启之前请先换用受信任的引导管理器。";
    if (NewestEventIs(s, 1032))
        return L"BitLocker 阻止了更新（事件 1032）：请暂停 BitLocker "
               L"保护两次重启，再点击“固件证书更新”。";
    if (facts.bitLockerDetail && facts.bitLockerDetail->protectionOn &&
        facts.bitLockerDetail->LacksRecoveryPassword())
        return L"BitLocker 保护已开启，但没有恢复密码：请先添加恢复密码并妥善保存（manage-bde "
               L"-protectors -add " +
               facts.bitLockerDetail->drive + L" -RecoveryPassword），再进行固件证书更新。";
    if (a.deviceBucket && a.deviceBucket->KnownFirmwareIssue())
        return L"已知的固件问题（" + a.deviceBucket->skipReason +
               L"）阻止了更新，且无法绕过：请向电脑厂商获取并安装固件更新。";
    if (a.stage == ServicingStage::KekStalled)
        return L"KEK 步骤停滞：请向电脑厂商索取固件更新，或由此 PK 签名的 KEK 更新。";
    if (a.deviceBucket && f.state != ReadinessState::Ready &&
        (a.deviceBucket->confidence == BucketConfidence::Paused ||
         a.deviceBucket->confidence == BucketConfidence::NotSupported)) {
        return a.deviceBucket->confidence == BucketConfidence::Paused
                   ? L"Microsoft 暂停了此机型的自动部署：请等待部署恢复，或向电脑厂商获取固件更新。"
                   : L"此机型不在 Microsoft 自动部署之列：请向电脑厂商获取固件更新。";
    }
    if (a.stage == ServicingStage::RestartPending) return L"请重启电脑，以完成引导管理器的更换。";
    if (a.stage == ServicingStage::NotRequested && f.state == ReadinessState::NotReady) {
        return facts.winPE ? L"在已安装的 Windows 中运行本程序，点击“固件证书更新”。"
                           : L"点击“固件证书更新”，由 Windows 写入缺少的证书。";
    }
    if (boot->generation == Gen2011)
        return L"引导管理器仍由 2011 证书签名：点击“引导证书更新”查看如何更换。";
    if (f.state == ReadinessState::NotReady) {
        return a.stage == ServicingStage::Blocked
                   ? L"Windows 的更新被阻止：请查看最新服务事件。"
                   : L"等待 Windows 完成其余步骤（计划任务会在重启后继续）。";
    }
    if (!IsWindowsCa2023Signer(boot->judgement.authority))
        return L"当前引导文件不是由 Windows UEFI CA 2023 签名的 Windows 引导管理器（签名者：" +
               boot->judgement.authority + L"），请自行确认。";
    return L"无需操作。";
}

}  // namespace

void WriteProgressSection(std::wstring& report, const MachineFacts& facts,
                          const MachineAssessment& a) {
    WriteKek(report, a);
    WritePlatformKey(report, facts, a);
    WriteReadiness(report, a);
    WriteServicing(report, a, facts.servicingState);
    WriteBootManagerError(report, facts.servicingState);
    WriteDbx(report, a);
    if (a.kekReadiness.resetUndoesUpdate) {
        Line(report,
             L"注意：固件的默认证书（KEKDefault、dbDefault）缺少 2023 "
             L"证书：在固件设置中“恢复默认密钥”会撤销 Windows 写入的更新");
    }
    WriteBitLocker(report, facts);
    WriteReferenceLists(report, a);
    WriteVirtualMachine(report, a);
    WriteSystemEspFiles(report, facts, a);
    Line(report, L"下一步：" + NextStep(facts, a));
}

}  // namespace certvane
