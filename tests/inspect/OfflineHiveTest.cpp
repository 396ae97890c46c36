// Offline hives are read through private copies: the installation's own files are only read.
#include "inspect/OfflineHive.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/Fold.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::wstring kHive = L"C:\\Windows\\System32\\config\\SYSTEM";
const std::wstring kFolder =
    L"X:\\Windows\\TEMP\\certvane-hive-{00000000-0000-0000-0000-000000000001}";

TEST(ReadOfflineHive, LoadsAPrivateCopyAndDeletesItWithWhatTheLoadWrote) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    const std::wstring before = machine.DescribeSystem();
    bool loadedDuringRead = false;
    EXPECT_TRUE(ReadOfflineHive(machine, kHive, L"TempOfflineSYSTEM", [&] {
        loadedDuringRead = machine.FolderExists(kFolder + L"\\");
        const auto key = machine.OpenRegistryKey(RegistryRoot::LocalMachine,
                                                 L"TempOfflineSYSTEM\\Select", RegistryKeyRead);
        EXPECT_TRUE(key.has_value());
        if (key) machine.CloseRegistryKey(*key);
    }));
    EXPECT_TRUE(loadedDuringRead);
    EXPECT_THAT(machine.hiveLoads, ElementsAre(L"TempOfflineSYSTEM <- " + kFolder + L"\\SYSTEM"));
    EXPECT_TRUE(machine.privateFolders.count(test::Fold(kFolder + L"\\")));
    EXPECT_THAT(machine.log, Contains(L"CopyFile " + kHive + L" -> " + kFolder + L"\\SYSTEM"));
    // The copy, the log the load wrote beside it, and the folder are gone; the system is as it
    // was, the installation's hive untouched and no log beside it.
    EXPECT_EQ(machine.DescribeSystem(), before);
    EXPECT_FALSE(machine.PathExists(kHive + L".LOG1"));
    EXPECT_THAT(machine.misuse, IsEmpty());  // no hive loaded in place
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(ReadOfflineHive, RefusesAFolderThatExistsAlready) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    machine.PutFolder(kFolder);  // as a planted folder of the same name would be
    bool read = false;
    EXPECT_FALSE(ReadOfflineHive(machine, kHive, L"TempOfflineSYSTEM", [&] { read = true; }));
    EXPECT_FALSE(read);
    EXPECT_THAT(machine.hiveLoads, IsEmpty());
    EXPECT_TRUE(machine.FolderExists(kFolder));  // not ours: left alone
}

TEST(ReadOfflineHive, AFailedCopyOrLoadReadsNothingAndLeavesNothing) {
    for (const bool unreadable : {true, false}) {
        ScriptedMachine machine = test::WinPeWithOfflineOnC();
        if (unreadable) {
            test::ScriptedFile locked = test::HiveFile({});
            locked.unreadable = true;
            machine.PutFile(kHive, locked);
        } else {
            machine.heldPrivileges.clear();  // the load is refused
        }
        bool read = false;
        EXPECT_FALSE(ReadOfflineHive(machine, kHive, L"TempOfflineSYSTEM", [&] { read = true; }));
        EXPECT_FALSE(read);
        EXPECT_FALSE(machine.FolderExists(kFolder));
        EXPECT_THAT(machine.HeldResources(), IsEmpty());
    }
}

}  // namespace
}  // namespace certvane
