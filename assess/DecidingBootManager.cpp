#include "assess/DecidingBootManager.h"

#include "assess/DbxCurrency.h"
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
    const ByteBuffer& db = keys.Store(L"db").image;
    const ByteBuffer& dbx = keys.Store(L"dbx").image;
    const NameList dbNames = db.empty() ? NameList{} : SignatureListNames(platform, db);
    const NameList dbxNames = dbx.empty() ? NameList{} : SignatureListNames(platform, dbx);
    const BootJudgement judgement =
        JudgeBootFile(file.signer, file.authenticodeSha256, dbNames, dbxNames, DbxHashes(dbx));
    return CurrentBootManager{std::move(file), judgement};
}

}  // namespace certvane
