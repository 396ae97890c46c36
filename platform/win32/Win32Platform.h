#pragma once

#include "platform/Platform.h"

namespace certvane {

// How long a call into a local system service without a time-out of its own (Task Scheduler,
// event log) may take before its step counts as failed: as long as WMI's own bounded connection.
// A service that starts on first use is given 30 s to report running, by Windows' service
// control manager and by Wine's Task Scheduler alike; four times that is a service that does not
// answer, not a slow start.
inline constexpr unsigned long kSystemServiceTimeLimitMs = 120000;

// The real operating system. Each operation is the Win32 call (or fixed tiny sequence of
// calls) it names and nothing more.
class Win32Platform : public Platform {
  public:
    std::uint32_t QueryFirmwareVariable(std::wstring_view name, std::wstring_view guidText,
                                        std::span<std::uint8_t> buffer) override;
    FirmwareReadFailure LastFirmwareReadFailure() override;
    std::optional<std::uint32_t> QueryFirmwareType() override;
    std::optional<std::wstring> CertificateSubjectName(std::span<const std::uint8_t> der) override;

    std::optional<RegistryKey> OpenRegistryKey(RegistryRoot root, std::wstring_view subkey,
                                               std::uint32_t access) override;
    std::optional<RegistryValueData> QueryRegistryValue(RegistryKey key, std::wstring_view name,
                                                        std::span<std::uint8_t> buffer) override;
    bool WriteRegistryValue(RegistryKey key, std::wstring_view name, std::uint32_t type,
                            std::span<const std::uint8_t> data) override;
    std::vector<std::wstring> RegistryValueNames(RegistryKey key, std::size_t maxNames) override;
    void CloseRegistryKey(RegistryKey key) override;
    bool LoadRegistryHive(RegistryRoot root, std::wstring_view name,
                          std::wstring_view hiveFile) override;
    bool UnloadRegistryHive(RegistryRoot root, std::wstring_view name) override;

    std::optional<TokenHandle> OpenOwnProcessToken(std::uint32_t access) override;
    std::optional<std::uint64_t> LookupPrivilegeId(std::wstring_view privilegeName) override;
    PrivilegeAdjustment AdjustTokenPrivilege(TokenHandle token, std::uint64_t privilegeId,
                                             std::uint32_t attributes) override;
    void CloseToken(TokenHandle token) override;
    std::optional<bool> QueryTokenElevation(TokenHandle token) override;

    std::optional<std::uint32_t> FileAttributesOf(std::wstring_view path) override;
    bool PathExists(std::wstring_view path) override;
    std::optional<std::vector<std::uint8_t>> ReadFileBytes(std::wstring_view path,
                                                           std::uint64_t maxBytes) override;
    std::optional<std::vector<std::uint8_t>> ReadFileRange(std::wstring_view path,
                                                           std::uint64_t offset,
                                                           std::uint32_t maxBytes) override;
    std::optional<std::vector<DirectoryEntry>> ListDirectory(std::wstring_view folder,
                                                             std::size_t maxEntries) override;
    std::wstring WindowsDirectoryPath() override;
    std::wstring SystemDirectoryPath() override;
    std::wstring TempDirectoryPath() override;
    std::wstring CurrentDirectoryPath() override;
    bool MakeDirectory(std::wstring_view path) override;
    bool DeleteDirectory(std::wstring_view path) override;
    bool MakePrivateDirectory(std::wstring_view path) override;
    bool IsPlainFolder(std::wstring_view path) override;
    bool CopyFileTo(std::wstring_view source, std::wstring_view destination) override;
    bool DeleteDirectoryWithFiles(std::wstring_view folder) override;
    std::wstring UnguessableName() override;

    std::uint32_t LogicalDriveMask() override;
    std::uint32_t DriveTypeOf(std::wstring_view root) override;
    std::optional<DeviceHandle> OpenDevice(std::wstring_view path, std::uint32_t access) override;
    std::optional<DiskExtentsReply> QueryVolumeDiskExtents(DeviceHandle device) override;
    std::optional<std::uint32_t> QueryStorageDeviceNumber(DeviceHandle device) override;
    std::optional<PartitionInfo> QueryPartitionInfo(DeviceHandle device) override;
    void CloseDevice(DeviceHandle device) override;
    std::optional<VolumeSearchStart> FindFirstVolumeName() override;
    std::optional<std::wstring> FindNextVolumeName(VolumeSearch search) override;
    void CloseVolumeSearch(VolumeSearch search) override;
    std::optional<std::wstring> VolumeFileSystemName(std::wstring_view volume) override;
    std::uint32_t VolumePathNamesLength(std::wstring_view volume) override;
    bool MountVolumeAt(std::wstring_view folder, std::wstring_view volume) override;
    bool RemoveMountPoint(std::wstring_view folder) override;

    std::optional<StartedProcess> StartProcess(std::wstring_view applicationPath,
                                               std::wstring_view commandLine, ShowWindowMode show,
                                               std::wstring_view currentDirectory) override;
    void WaitForProcess(ProcessHandle process, std::uint32_t milliseconds) override;
    std::optional<std::uint32_t> ProcessExitCode(ProcessHandle process) override;
    void KillProcessTree(StartedProcess started, std::uint32_t exitCode) override;
    void CloseProcess(StartedProcess started) override;

    bool InitializeComApartment() override;
    bool InitializeComSecurity() override;
    void UninitializeCom() override;
    std::optional<ComObject> CreateWmiLocator() override;
    std::optional<ComObject> ConnectWmiNamespace(ComObject locator,
                                                 std::wstring_view wmiNamespace) override;
    bool SetWmiProxyBlanket(ComObject services) override;
    std::optional<ComObject> ExecWmiQuery(ComObject services, std::wstring_view wql) override;
    WmiNext NextWmiObject(ComObject enumerator, std::uint32_t milliseconds) override;
    std::optional<WmiValue> WmiProperty(ComObject object, std::wstring_view name) override;
    std::optional<std::vector<std::wstring>> WmiStringArrayProperty(
        ComObject object, std::wstring_view name) override;
    std::optional<ComObject> ExecWmiMethod(ComObject services, ComObject object,
                                           std::wstring_view method,
                                           const std::vector<WmiArgument>& inputs) override;
    void ReleaseComObject(ComObject object) override;

    SignatureCheck VerifySignedContent(std::span<const std::uint8_t> signedContent,
                                       std::span<const std::uint8_t> publicKeyInfo) override;

    std::optional<FixedFileVersion> ReadFixedFileVersion(std::wstring_view path) override;

    std::optional<std::vector<RenderedEvent>> QueryEvents(std::wstring_view log,
                                                          EventLogSource source,
                                                          std::wstring_view xpath,
                                                          std::wstring_view provider,
                                                          std::uint32_t maxEvents) override;

    ScheduledTaskState QueryScheduledTask(std::wstring_view taskPath) override;

    std::optional<std::wstring> OwnProgramPath() override;
    bool RelaunchElevated(std::wstring_view path, int showCommand) override;

    CalendarDate CurrentUtcDate() override;
    LockAcquisition AcquireMachineLock(std::wstring_view name, std::uint32_t milliseconds) override;
    void ReleaseMachineLock(LockHandle lock) override;

  private:
    // The system's error code of the last firmware variable read that returned nothing.
    std::uint32_t lastFirmwareError_ = 0;
};

}  // namespace certvane
