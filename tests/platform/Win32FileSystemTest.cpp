// Files, folders, drives, volumes and version resources as Wine provides them.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/DiskNumbers.h"
#include "inspect/Environment.h"
#include "inspect/EspSearch.h"
#include "inspect/PathText.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

TEST(Win32FileSystem, TellsFilesFromFoldersAndMissingPaths) {
    Win32Platform platform;
    const std::wstring folder = platform.TempDirectoryPath() + L"CertvaneFolder";
    const std::wstring file = folder + L"\\file.efi";
    ASSERT_TRUE(platform.MakeDirectory(folder));
    EXPECT_FALSE(platform.MakeDirectory(folder));
    const HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);

    EXPECT_TRUE(IsRegularFile(platform, file));
    EXPECT_FALSE(IsRegularFile(platform, folder));
    // Read through a handle on the path itself: a folder is plain, a file or nothing is not.
    EXPECT_TRUE(platform.IsPlainFolder(folder));
    EXPECT_FALSE(platform.IsPlainFolder(file));
    EXPECT_FALSE(platform.IsPlainFolder(folder + L"\\missing"));
    EXPECT_TRUE(platform.PathExists(folder));
    EXPECT_FALSE(IsRegularFile(platform, folder + L"\\missing.efi"));
    EXPECT_FALSE(platform.PathExists(folder + L"\\missing.efi"));
    EXPECT_FALSE(platform.DeleteDirectory(folder));  // not empty
    DeleteFileW(file.c_str());
    EXPECT_TRUE(platform.DeleteDirectory(folder));
    EXPECT_FALSE(platform.PathExists(folder));
}

TEST(Win32FileSystem, KnowsTheSystemsDirectories) {
    Win32Platform platform;
    EXPECT_TRUE(EqualsIgnoringCase(platform.WindowsDirectoryPath(), L"C:\\windows"));
    EXPECT_TRUE(EqualsIgnoringCase(platform.SystemDirectoryPath(), L"C:\\windows\\system32"));
    EXPECT_EQ(GetSystemDriveRoot(platform), L"C:\\");
    EXPECT_TRUE(platform.TempDirectoryPath().ends_with(L"\\"));
    EXPECT_FALSE(platform.CurrentDirectoryPath().empty());
}

TEST(Win32Drives, SeeWinesDrivesAndNoOfflineInstallation) {
    Win32Platform platform;
    const std::uint32_t mask = platform.LogicalDriveMask();
    EXPECT_NE(mask & (1u << 2), 0u);   // C:
    EXPECT_NE(mask & (1u << 25), 0u);  // Z:, the host's root
    EXPECT_EQ(platform.DriveTypeOf(L"C:\\"), DriveFixed);
    EXPECT_EQ(platform.DriveTypeOf(L"Q:\\"), DriveNoRootDir);
    // C:\windows is the running installation and Z:\ (the host's root) holds none.
    EXPECT_THAT(FindOfflineWindows(platform), ::testing::IsEmpty());
    EXPECT_FALSE(IsWinPE(platform));
}

TEST(Win32Volumes, AnUnknownDeviceHasNoDiskAndTheEnumerationEnds) {
    Win32Platform platform;
    EXPECT_EQ(GetDeviceNumber(platform, L"Q:"), -1);
    EXPECT_EQ(GetVolumeDiskNumber(platform, L"Q:\\"), -1);
    EXPECT_EQ(FindEspVolumeOnDisk(platform, 97), L"");
    const auto start = platform.FindFirstVolumeName();
    ASSERT_TRUE(start.has_value());
    EXPECT_TRUE(start->firstVolume.starts_with(L"\\\\?\\Volume{"));
    EXPECT_TRUE(start->firstVolume.ends_with(L"\\"));
    int volumes = 1;
    while (platform.FindNextVolumeName(start->search) && volumes < 1000) ++volumes;
    EXPECT_LT(volumes, 1000);
    platform.CloseVolumeSearch(start->search);
}

TEST(Win32Versions, ReadsTheFixedVersionOfASystemProgram) {
    Win32Platform platform;
    const auto version =
        platform.ReadFixedFileVersion(platform.SystemDirectoryPath() + L"\\winver.exe");
    ASSERT_TRUE(version.has_value());
    EXPECT_NE(version->mostSignificant, 0u);
    EXPECT_FALSE(platform.ReadFixedFileVersion(L"C:\\no-such-program.exe").has_value());
}

TEST(Win32FileSystem, APrivateFolderIsNewAndItsCopiesAndFilesGoWithIt) {
    Win32Platform platform;
    const std::wstring name = platform.UnguessableName();
    ASSERT_EQ(name.size(), 38u);
    EXPECT_NE(platform.UnguessableName(), name);
    const std::wstring folder = platform.TempDirectoryPath() + L"certvane-private-" + name;
    ASSERT_TRUE(platform.MakePrivateDirectory(folder));
    EXPECT_FALSE(platform.MakePrivateDirectory(folder));  // never one that exists

    const std::wstring source = platform.TempDirectoryPath() + L"certvane-source-" + name;
    const HANDLE handle =
        CreateFileW(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(handle, "hive", 4, &written, nullptr);
    CloseHandle(handle);
    const std::wstring copy = folder + L"\\SYSTEM";
    EXPECT_TRUE(platform.CopyFileTo(source, copy));
    EXPECT_FALSE(platform.CopyFileTo(source, copy));  // never over an existing file
    EXPECT_EQ(platform.ReadFileBytes(copy, 16), (std::vector<std::uint8_t>{'h', 'i', 'v', 'e'}));
    EXPECT_TRUE(platform.CopyFileTo(source, copy + L".LOG1"));

    EXPECT_TRUE(platform.DeleteDirectoryWithFiles(folder));
    EXPECT_FALSE(platform.PathExists(folder));
    EXPECT_TRUE(platform.PathExists(source));  // the source is only read
    DeleteFileW(source.c_str());
}

}  // namespace
}  // namespace certvane
