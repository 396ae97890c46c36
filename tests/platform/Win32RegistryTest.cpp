// Registry reads, privileges and offline hive loads against Wine's registry.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/PathText.h"
#include "inspect/Privileges.h"
#include "inspect/Registry.h"
#include "inspect/WindowsVersion.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

constexpr wchar_t kTestKey[] = L"SOFTWARE\\CertvaneRegistryTest";

// Values the test writes itself with the system's own calls and removes again.
class Win32Registry : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey);
    }
    void Set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    HKEY key_ = nullptr;
    Win32Platform platform_;
};

TEST_F(Win32Registry, ReadsDwordsAndStringsOfTheirOwnTypeOnly) {
    const DWORD one = 1;
    const wchar_t text[] = L"MININT REDIRECT";
    Set(L"Dword", REG_DWORD, &one, sizeof(one));
    Set(L"Text", REG_SZ, text, sizeof(text));
    Set(L"Expand", REG_EXPAND_SZ, text, sizeof(text));
    std::uint32_t value = 0;
    EXPECT_TRUE(
        ReadRegistryDword(platform_, RegistryRoot::LocalMachine, kTestKey, L"Dword", value));
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(
        ReadRegistryDword(platform_, RegistryRoot::LocalMachine, kTestKey, L"Text", value));
    EXPECT_FALSE(
        ReadRegistryDword(platform_, RegistryRoot::LocalMachine, kTestKey, L"None", value));
    EXPECT_EQ(ReadRegistryString(platform_, RegistryRoot::LocalMachine, kTestKey, L"Text"), text);
    EXPECT_EQ(ReadRegistryString(platform_, RegistryRoot::LocalMachine, kTestKey, L"Expand"), L"");
    EXPECT_EQ(ReadRegistryString(platform_, RegistryRoot::LocalMachine, kTestKey, L"Dword"), L"");
    EXPECT_EQ(
        ReadRegistryString(platform_, RegistryRoot::LocalMachine, L"SOFTWARE\\NoSuchKey", L"Text"),
        L"");
}

TEST_F(Win32Registry, TheRunningVersionComesFromTheLiveRegistry) {
    const std::wstring text = GetWindowsVersionText(platform_, L"", false);
    EXPECT_TRUE(text.starts_with(L"Windows")) << text.size();
    EXPECT_NE(text, L"Windows (未知版本)");
    EXPECT_NE(text.find(L"-内部版本（"), std::wstring::npos);
}

TEST_F(Win32Registry, AnOfflineSoftwareHiveIsLoadedReadAndUnloaded) {
    HKEY version = nullptr;
    ASSERT_EQ(RegCreateKeyExW(key_, L"Microsoft\\Windows NT\\CurrentVersion", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &version, nullptr),
              ERROR_SUCCESS);
    const wchar_t build[] = L"19045";
    const wchar_t edition[] = L"Professional";
    const DWORD ubr = 5737;
    RegSetValueExW(version, L"CurrentBuild", 0, REG_SZ, reinterpret_cast<const BYTE*>(build),
                   sizeof(build));
    RegSetValueExW(version, L"EditionID", 0, REG_SZ, reinterpret_cast<const BYTE*>(edition),
                   sizeof(edition));
    RegSetValueExW(version, L"UBR", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&ubr), sizeof(ubr));
    RegCloseKey(version);

    const std::wstring offline = platform_.TempDirectoryPath() + L"CertvaneOffline\\Windows";
    const std::wstring config = offline + L"\\System32\\config";
    for (const std::wstring& folder :
         {offline.substr(0, offline.size() - 8), offline, offline + L"\\System32", config}) {
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    const std::wstring hive = config + L"\\SOFTWARE";
    DeleteFileW(hive.c_str());
    EnablePrivilege(platform_, L"SeBackupPrivilege");
    ASSERT_EQ(RegSaveKeyW(key_, hive.c_str(), nullptr), ERROR_SUCCESS);

    EXPECT_EQ(GetWindowsVersionText(platform_, offline, true),
              L"Windows 10 专业版-内部版本（19045.5737）");
    HKEY leftOver = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"TempOfflineSoft", 0, KEY_READ, &leftOver),
              ERROR_SUCCESS);
    DeleteFileW(hive.c_str());
}

TEST_F(Win32Registry, PrivilegesTheTokenLacksAreReportedAsNotEnabled) {
    EXPECT_FALSE(EnablePrivilege(platform_, L"SeNoSuchPrivilege"));
    // Wine's token holds the administrator's privileges.
    EXPECT_TRUE(EnableFirmwarePrivilege(platform_));
}

TEST(Win32Elevation, WineRunsProgramsElevatedAndNamesTheProgramFile) {
    Win32Platform platform;
    // Wine gives every process an elevated administrator token, so the window starts without
    // a relaunch there.
    EXPECT_TRUE(IsProcessElevated(platform));
    const std::optional<std::wstring> path = platform.OwnProgramPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_THAT(*path, ::testing::EndsWith(L"\\win32_platform_tests.exe"));
    EXPECT_EQ(GetFileAttributesW(path->c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace certvane
