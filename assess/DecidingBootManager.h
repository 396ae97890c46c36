#pragma once

#include <optional>

#include "assess/BootJudgement.h"

namespace certvane {

struct CurrentBootManager {
    BootFile file;
    BootJudgement judgement;
    // Signed under Windows UEFI CA 2023, and the firmware starts it.
    bool Boots2023() const {
        return IsWindowsCa2023Signer(judgement.authority) && judgement.WouldBoot();
    }
};

// The boot manager that decides this machine's boot (the running system's; inside Windows PE
// the offline installation's), read now and judged against db and dbx as they are now. The
// ESP mounts made to reach it are released. nullopt when no such file was found. The caller
// holds the MachineLock.
std::optional<CurrentBootManager> ReadDecidingBootManager(Platform& platform);

}  // namespace certvane
