// The same calls on the scripted machine and on the real system (Wine), where Wine does the
// real thing: the scripted machine must answer as strictly as Windows, or the engine's tests
// would pass on behaviour no real machine has.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "inspect/SystemCommands.h"
#include "platform/win32/Win32Platform.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

const std::wstring kContractKey = L"SOFTWARE\\CertvaneContract";

std::wstring Answer(std::optional<std::uint32_t> value) {
    return value ? std::to_wstring(*value) : L"none";
}

// The same things the Wine prefix holds, as far as the cases below look.
class PlatformContract : public ::testing::Test {
  protected:
    void SetUp() override {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kContractKey.c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const wchar_t build[] = L"26100";
        RegSetValueExW(key, L"CurrentBuild", 0, REG_SZ, reinterpret_cast<const BYTE*>(build),
                       sizeof build);
        RegCloseKey(key);
        const auto first = real_.FindFirstVolumeName();
        ASSERT_TRUE(first.has_value());
        firstVolume_ = first->firstVolume;
        real_.CloseVolumeSearch(first->search);

        scripted_ = test::AfterStartUp();
        scripted_.enabledPrivileges.clear();
        const std::size_t c = scripted_.AddVolume({firstVolume_, L"NTFS", 0});
        scripted_.AssignLetter(L'C', c);
        scripted_.PutFolder(L"C:\\windows\\system32");
        scripted_.SetRegistryValue(kContractKey, L"CurrentBuild", test::StringValue(L"26100"));
        scripted_.commands[L"cmd.exe /d /c exit 3"] = {3};
        folder_ = L"C:\\windows\\temp\\certvane-contract";
        RemoveDirectoryW((folder_ + L"\\inner").c_str());
        RemoveDirectoryW(folder_.c_str());
        scripted_.PutFolder(L"C:\\windows\\temp");
    }
    void TearDown() override {
        RemoveDirectoryW((folder_ + L"\\inner").c_str());
        RemoveDirectoryW(folder_.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kContractKey.c_str());
    }

    // Runs one case on both platforms; each must give the same answer.
    void ExpectSameAnswer(const char* name, const std::function<std::wstring(Platform&)>& call) {
        SCOPED_TRACE(name);
        const std::wstring real = call(real_);
        EXPECT_EQ(call(scripted_), real);
    }

    Win32Platform real_;
    test::ScriptedMachine scripted_;
    std::wstring firstVolume_;
    std::wstring folder_;
};

TEST_F(PlatformContract, FilesAndFolders) {
    ExpectSameAnswer("a missing path has no attributes", [](Platform& p) {
        return Answer(p.FileAttributesOf(L"C:\\windows\\no-such-file.efi"));
    });
    ExpectSameAnswer("a folder is a directory", [](Platform& p) {
        const auto attributes = p.FileAttributesOf(L"C:\\windows\\system32");
        return std::to_wstring(attributes && (*attributes & FileAttributeDirectory) != 0);
    });
    ExpectSameAnswer("a folder exists with or without its backslash", [](Platform& p) {
        return std::to_wstring(p.PathExists(L"C:\\windows\\system32")) +
               std::to_wstring(p.PathExists(L"C:\\windows\\system32\\"));
    });
    ExpectSameAnswer("folders are made once and removed only when empty", [this](Platform& p) {
        std::wstring answers;
        answers += std::to_wstring(p.MakeDirectory(folder_));
        answers += std::to_wstring(p.MakeDirectory(folder_));
        answers += std::to_wstring(p.MakeDirectory(folder_ + L"\\inner"));
        answers += std::to_wstring(p.DeleteDirectory(folder_));
        answers += std::to_wstring(p.DeleteDirectory(folder_ + L"\\inner"));
        answers += std::to_wstring(p.DeleteDirectory(folder_));
        answers += std::to_wstring(p.DeleteDirectory(folder_));
        return answers;
    });
}

TEST_F(PlatformContract, DrivesAndVolumes) {
    ExpectSameAnswer("drive types", [](Platform& p) {
        return std::to_wstring(p.DriveTypeOf(L"C:\\")) + L" " +
               std::to_wstring(p.DriveTypeOf(L"S:\\"));
    });
    ExpectSameAnswer("a volume name needs its trailing backslash", [this](Platform& p) {
        const std::wstring bare = firstVolume_.substr(0, firstVolume_.size() - 1);
        return std::to_wstring(p.VolumeFileSystemName(firstVolume_).has_value()) +
               std::to_wstring(p.VolumeFileSystemName(bare).has_value());
    });
}

TEST_F(PlatformContract, Registry) {
    ExpectSameAnswer("a missing key cannot be opened", [](Platform& p) {
        const auto key = p.OpenRegistryKey(RegistryRoot::LocalMachine,
                                           L"SOFTWARE\\CertvaneNoSuchKey", RegistryKeyRead);
        if (key) p.CloseRegistryKey(*key);
        return std::to_wstring(key.has_value());
    });
    ExpectSameAnswer("a value is read whole or not at all", [](Platform& p) {
        const auto key =
            p.OpenRegistryKey(RegistryRoot::LocalMachine, kContractKey, RegistryKeyRead);
        if (!key) return std::wstring(L"no key");
        std::array<std::uint8_t, 64> large{};
        std::array<std::uint8_t, 4> small{};
        const auto whole = p.QueryRegistryValue(*key, L"CurrentBuild", large);
        const auto cut = p.QueryRegistryValue(*key, L"CurrentBuild", small);
        const auto missing = p.QueryRegistryValue(*key, L"NoSuchValue", large);
        p.CloseRegistryKey(*key);
        return (whole ? std::to_wstring(whole->type) + L"/" + std::to_wstring(whole->size)
                      : L"none") +
               L" " + std::to_wstring(cut.has_value()) + std::to_wstring(missing.has_value());
    });
}

TEST_F(PlatformContract, CommandsAndFirmware) {
    ExpectSameAnswer("a system program's exit code", [](Platform& p) {
        return std::to_wstring(RunSystemProgram(p, L"cmd.exe", L"/d /c exit 3", 30000));
    });
    ExpectSameAnswer("firmware variables are unreadable without the privilege", [](Platform& p) {
        std::array<std::uint8_t, 64> buffer{};
        return std::to_wstring(
            p.QueryFirmwareVariable(L"db", L"{D719B2CB-3D3A-4596-A3BC-DAD00E67656F}", buffer));
    });
}

}  // namespace
}  // namespace certvane
