#include "report/ProgressTexts.h"

namespace certvane {
namespace {

template <class Key>
struct Text {
    Key key;
    std::wstring_view text;
};

constexpr Text<std::uint32_t> kSteps[] = {
    {0x0040, L"db 加入 Windows UEFI CA 2023"},
    {0x0800, L"db 加入 Microsoft Option ROM UEFI CA 2023"},
    {0x1000, L"db 加入 Microsoft UEFI CA 2023"},
    {0x0004, L"KEK 加入 Microsoft Corporation KEK 2K CA 2023"},
    {0x0100, L"换用 2023 签名的引导管理器"},
    {0x0002, L"更新 dbx"},
    {0x0200, L"更新 SVN"},
    {0x0400, L"更新 SBAT"},
    {0x0020, L"安装 SkuSiPolicy"},
    {0x0080, L"在 dbx 中吊销 Microsoft Windows Production PCA 2011"},
};

constexpr Text<std::uint32_t> kEvents[] = {
    {1032, L"更新会触发 BitLocker 恢复，已被阻止"},
    {1033, L"ESP 上有易受攻击的引导管理器，dbx 更新未应用"},
    {1034, L"dbx 已更新"},
    {1036, L"db 已更新"},
    {1037, L"dbx 已更新：已吊销 Microsoft Windows Production PCA 2011"},
    {1043, L"KEK 已更新"},
    {1044, L"db 已加入 Microsoft Option ROM UEFI CA 2023"},
    {1045, L"db 已加入 Microsoft UEFI CA 2023"},
    {1795, L"固件返回了错误"},
    {1796, L"记录了错误代码"},
    {1797, L"无法吊销 PCA 2011：db 中没有 Windows UEFI CA 2023"},
    {1798, L"无法吊销 PCA 2011：引导管理器尚未由 Windows UEFI CA 2023 签名"},
    {1799, L"已安装 2023 签名的引导管理器"},
    {1800, L"需要重启"},
    {1801, L"证书尚未应用到固件"},
    {1802, L"已知的固件问题，已被阻止"},
    {1803, L"没有此机器 PK 签名的 KEK"},
    {1808, L"已全部更新"},
};

template <class Key, std::size_t N>
std::wstring_view Find(const Text<Key> (&table)[N], Key key) {
    for (const Text<Key>& entry : table) {
        if (entry.key == key) return entry.text;
    }
    return {};
}

}  // namespace

std::wstring_view StageText(ServicingStage stage) {
    switch (stage) {
        case ServicingStage::NotRequested:
            return L"尚未请求更新";
        case ServicingStage::InProgress:
            return L"正在进行";
        case ServicingStage::KekPending:
            return L"只剩 KEK 步骤";
        case ServicingStage::KekStalled:
            return L"KEK 步骤停滞（没有此 PK 签名的 KEK）";
        case ServicingStage::RestartPending:
            return L"等待重启（换用引导管理器）";
        case ServicingStage::Blocked:
            return L"被阻止";
        case ServicingStage::Done:
            return L"已完成";
    }
    return {};
}

std::wstring_view StepText(std::uint32_t bit) {
    return Find(kSteps, bit);
}

std::wstring_view EventText(std::uint32_t id) {
    return Find(kEvents, id);
}

std::wstring_view ConfidenceText(BucketConfidence confidence) {
    switch (confidence) {
        case BucketConfidence::High:
            return L"高置信度：Windows 会自动部署";
        case BucketConfidence::UnderObservation:
            return L"观察中：Microsoft 仍在收集此机型的数据";
        case BucketConfidence::Paused:
            return L"已暂停：Microsoft 暂停了此机型的自动部署";
        case BucketConfidence::NotSupported:
            return L"不支持：此机型不在自动部署之列";
        case BucketConfidence::Undocumented:
            return L"Microsoft 未记载此值的含义";
    }
    return {};
}

}  // namespace certvane
