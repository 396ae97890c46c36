#pragma once

#include <string>

#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

// Windows 11 machines in the middle of the rollout, their stores made of Microsoft's real
// certificates; the boot manager is signed under Windows UEFI CA 2023 and the servicing task
// exists. `name` says which case it is.
struct ReadinessMachine {
    std::string name;
    ScriptedMachine machine;
};

// db: the five certificates; KEK: the 2011 KEK alone.
ReadinessMachine Kek2011Only();
// db: the five certificates; KEK: both KEKs.
ReadinessMachine BothKeks();
// db: PCA 2011 and Windows UEFI CA 2023, no third-party UEFI CA 2011 (a secured-core PC);
// KEK: both KEKs.
ReadinessMachine NoThirdPartyCa2011();
// db: the 2011 pair and Windows UEFI CA 2023, not the two third-party 2023 certificates;
// KEK: both KEKs.
ReadinessMachine ThirdPartyCa2011Without2023Pair();
// BothKeks, and dbx revokes Windows UEFI CA 2023.
ReadinessMachine Revoked2023();
// BothKeks, but the firmware refuses to hand over KEK.
ReadinessMachine KekUnreadable();
// BothKeks, but db holds a self-signed certificate named "Windows UEFI CA 2023" in place of
// Microsoft's.
ReadinessMachine NameOnlyWindowsCa();

}  // namespace certvane::test
