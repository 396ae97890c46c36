#include "assess/DecidingBootManager.h"

#include "inspect/Environment.h"
#include "inspect/KeyStores.h"

namespace certvane {

std::optional<CurrentBootManager> ReadDecidingBootManager(Platform& platform) {
    const bool isWinPE = IsWinPE(platform);
    std::wstring offline;
    if (isWinPE) {
        const auto found = FindOfflineWindows(platform);
        if (found.empty()) return std::nullopt;
        offline = found.front();
    }
    BootFiles files = InspectBootFiles(platform, isWinPE, offline);
    BootFile& file = isWinPE ? files.offline : files.current;
    if (file.label.empty()) return std::nullopt;

    const KeyStores keys = ReadTrustStores(platform);
    const BootJudgement judgement =
        JudgeBootFileAgainst(platform, file, keys.Store(L"db").image, keys.Store(L"dbx").image);
    return CurrentBootManager{std::move(file), judgement};
}

}  // namespace certvane
