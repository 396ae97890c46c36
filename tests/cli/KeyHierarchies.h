#pragma once

#include "tests/support/ScriptedMachine.h"

namespace certvane::cli {

// Whole machines for the key hierarchy, built from Microsoft's real certificates and updates
// on top of test::NormalWindows11 (boot manager signed under Windows UEFI CA 2023).

// The platform key that signed updates/kek-update-ami-test-pk1.bin ("DO NOT TRUST - AMI Test
// PK"), taken from that update's signature.
test::Bytes AmiTestPk();

// PK: Windows OEM Devices PK; KEK: both Microsoft KEKs; db: the 2011 pair and the 2023 set;
// dbx: the amd64 hash list; the defaults hold the same; Secure Boot on, user mode.
test::ScriptedMachine FullyUpdatedMachine();
// PK: the AMI test key; KEK, db and their defaults: the 2011 certificates only; the boot
// manager is signed under Windows Production PCA 2011.
test::ScriptedMachine Only2011WithTestPk();
// Fully updated, but the default stores still hold only the 2011 certificates.
test::ScriptedMachine DefaultsWithout2023();
// Fully updated, and dbx also holds Microsoft's 2024 update revoking PCA 2011.
test::ScriptedMachine Pca2011Revoked();

}  // namespace certvane::cli
