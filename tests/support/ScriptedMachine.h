#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace certvane::test {

using Bytes = std::vector<std::uint8_t>;

// Bytes that the scripted machine's default certificate decoder reads as a certificate whose
// subject display name is `displayName` (any other bytes are no certificate).
Bytes FakeCertificate(std::wstring_view displayName);

// The scripted machine's signature scheme: a digest of the key's public part and the signed
// bytes. Anyone can make one for any key, Microsoft's real certificates included, which lets
// tests sign as them; the Wine tests check real signatures.
Bytes ScriptedSignatureOver(std::span<const std::uint8_t> publicKeyInfo,
                            std::span<const std::uint8_t> toBeSigned);

struct ScriptedRegistryValue {
    std::uint32_t type;
    Bytes data;
    std::wstring name{};  // as it was set, for listing the names of a key's values
};
ScriptedRegistryValue DwordValue(std::uint32_t value);
ScriptedRegistryValue StringValue(std::wstring_view text);  // REG_SZ with its NUL

// Registry keys by path (any letter case) to their values by name.
using RegistryTree = std::map<std::wstring, std::map<std::wstring, ScriptedRegistryValue>>;
void SetValue(RegistryTree& tree, std::wstring_view key, std::wstring_view name,
              ScriptedRegistryValue value);

struct ScriptedFile {
    std::optional<FixedFileVersion> version;
    std::optional<RegistryTree> hive;  // the file is a registry hive with these keys
    std::optional<Bytes> content;      // what reading the file gives; empty without
    bool unreadable = false;           // present, but opening it for reading fails
};

struct ScriptedVolume {
    std::wstring name;                  // "\\?\Volume{...}\"
    std::wstring fileSystem = L"NTFS";  // empty: unreadable
    int disk = 0;                       // -1: the disk cannot be told
    std::uint32_t extents = 1;
    std::uint32_t driveType = DriveFixed;
    bool refusesFolderMount = false;
    // Its files can be reached through its volume name ("\\?\Volume{...}\EFI\...") and its
    // device path ("\\?\GLOBALROOT\Device\HarddiskVolumeN\EFI\..."); false stands for a
    // system that reaches them through neither, so only a letter or a mount folder does.
    bool filesByVolumeName = true;
    // The volume search lists it; false stands for a volume Windows gave no volume name.
    bool listed = true;
    // The partition it lies on; unset, AddVolume gives a FAT volume of a fixed drive the ESP's
    // GPT type, a FAT volume of a removable drive MBR type 0x0C, and anything else the GPT type
    // of basic data.
    std::optional<PartitionInfo> partition{};
    // Folded (upper-case) paths relative to the root, without leading or trailing backslash.
    std::map<std::wstring, ScriptedFile> files{};
    std::set<std::wstring> folders{};
};

struct ScriptedKeyProtector {
    std::wstring id;    // "{...}"
    std::int32_t type;  // KeyProtectorType: 1 TPM, 3 recovery password, 4 TPM and PIN, ...
};

struct ScriptedEncryptableVolume {
    std::optional<WmiValue> conversionStatus;
    std::optional<WmiValue> protectionStatus;
    std::vector<ScriptedKeyProtector> protectors{};
    bool protectorsUnreadable = false;  // GetKeyProtectors cannot be called
    // What GetSuspendCount answers; unset: the method cannot be called.
    std::optional<std::int32_t> suspendCount = 0;
    // The ReturnValue of DisableKeyProtectors and EnableKeyProtectors; 0 is success, which
    // turns protection off for DisableCount restarts, or on again.
    std::int32_t disableResult = 0;
    std::int32_t enableResult = 0;
};

struct ScriptedCommand {
    std::uint32_t exitCode = 0;
    bool hangs = false;  // runs until it is terminated
};

// An in-memory machine: tests script its state, run the portable algorithms on it, and read
// back what the algorithms asked of it and what they left held.
class ScriptedMachine : public Platform {
  public:
    ScriptedMachine();
    // A search or hive read that a test left unreleased holds its release in ProcessHoldings()
    // with this machine: it is forgotten, so that no later test runs it on a machine gone.
    ~ScriptedMachine() override;
    ScriptedMachine(const ScriptedMachine&) = default;
    ScriptedMachine(ScriptedMachine&&) = default;
    ScriptedMachine& operator=(const ScriptedMachine&) = default;
    ScriptedMachine& operator=(ScriptedMachine&&) = default;

    // ---- scripting ---------------------------------------------------------------------
    void SetFirmwareVariable(std::wstring name, std::wstring guidText, Bytes value);
    std::size_t AddVolume(ScriptedVolume volume);
    // "\\?\GLOBALROOT\Device\HarddiskVolumeN\": volumes are numbered from 1 as they were
    // added.
    static std::wstring DevicePathOf(std::size_t volume);
    void AssignLetter(wchar_t letter, std::size_t volume);
    // Puts a file (and its folders) at a path that resolves through the letters, volume
    // names and mount folders as they are now.
    void PutFile(std::wstring_view path, ScriptedFile file = {});
    void PutFolder(std::wstring_view path);
    void SetRegistryValue(std::wstring_view key, std::wstring_view name,
                          ScriptedRegistryValue value);

    std::map<std::pair<std::wstring, std::wstring>, Bytes> firmwareVariables;
    // Replaces the return value of every firmware read (to script misbehaving firmware).
    std::optional<std::uint32_t> firmwareCountOverride;
    // Variables whose read fails with this reason instead of returning data, by (name, GUID).
    std::map<std::pair<std::wstring, std::wstring>, FirmwareReadFailure> firmwareFailures;
    std::optional<std::uint32_t> firmwareType;
    // Decodes certificates: FakeCertificate bytes, and real DER by its subject's common name, by
    // default. Each call's input is recorded.
    std::function<std::optional<std::wstring>(std::span<const std::uint8_t>)> decodeCertificate;
    // Called on the loading thread at the end of each hive load that succeeds: a test may hold
    // a run inside that acquire.
    std::function<void(std::wstring_view name)> onHiveLoaded;

    std::wstring windowsDirectory = L"C:\\Windows";
    std::wstring systemDirectory = L"C:\\Windows\\system32";
    std::wstring tempDirectory = L"C:\\Users\\admin\\AppData\\Local\\Temp\\";
    std::wstring currentDirectory = L"C:\\Users\\admin";

    std::vector<ScriptedVolume> volumes;
    std::map<wchar_t, std::size_t> letters;
    std::map<std::wstring, std::size_t> mountFolders;  // folded folder with trailing backslash
    RegistryTree registry;
    std::set<std::wstring> heldPrivileges{L"SeSystemEnvironmentPrivilege", L"SeBackupPrivilege",
                                          L"SeRestorePrivilege"};
    std::set<std::wstring> enabledPrivileges;
    bool tokenOpenFails = false;
    std::optional<bool> tokenElevated = true;  // none: the elevation query fails

    // The program's own file (none: it cannot be read) and the answer to a "runas" start.
    std::optional<std::wstring> programPath = L"C:\\Users\\admin\\Downloads\\certvane.exe";
    // What the clock says; tests never depend on the real one.
    CalendarDate today{2026, 12, 9};
    bool elevationRefused = false;

    // The volume "mountvol S: /s" gives the letter S:; none makes it fail.
    std::optional<std::size_t> mountvolEsp;
    bool mountvolHangs = false;         // every mountvol runs until it is ended
    bool mountvolUnmountFails = false;  // "mountvol S: /d" exits with 1 and S: stays
    bool removeMountPointFails = false;
    bool deleteDirectoryFails = false;
    // Every folder made private is found a reparse point when its handle is read: something
    // replaced it between its making and its use.
    bool privateFoldersReplaced = false;
    // Programs of the system directory other than mountvol, by command line
    // ("schtasks.exe /query ..."); unknown ones exit with 1. Nothing outside the system
    // directory starts, and the command interpreter is a misuse.
    std::map<std::wstring, ScriptedCommand> commands;

    bool registryWriteAccessDenied = false;  // keys cannot be opened for setting values
    bool registryWriteFails = false;

    bool comInitFails = false;
    bool wmiAvailable = true;
    // The system cannot check signatures at all (no crypt32).
    bool signatureChecksUnavailable = false;
    bool wmiQueryFails = false;
    bool wmiProviderHangs = false;  // the enumeration never delivers within any time-out
    bool wmiEnumerationFails = false;
    // The machine lock: held by another run (a wait times out) or refused (it exists but
    // cannot be opened).
    bool lockHeldElsewhere = false;
    bool lockRefused = false;  // the enumeration answers with an error (WBEM_E_...)
    std::map<std::wstring, ScriptedEncryptableVolume> encryptableVolumes;  // by drive, "C:"

    // Event logs by channel ("System") or by file path (any letter case), each event as the
    // XML the system renders, newest first. A log that is not here cannot be read.
    // By log name or file: each event's XML, with the message Windows formats for it (empty:
    // the provider is not registered, as inside Windows PE).
    std::map<std::wstring, std::vector<RenderedEvent>> eventLogs;
    // Tasks by full path; the service answers only while it is available.
    std::map<std::wstring, ScheduledTaskState> scheduledTasks;
    bool taskSchedulerAvailable = true;

    // ---- reading back ------------------------------------------------------------------
    struct FirmwareRead {
        std::wstring name;
        std::wstring guidText;
        std::size_t bufferSize;
        bool refused;  // the privilege was not enabled
    };
    std::vector<FirmwareRead> firmwareReads;
    std::vector<Bytes> decodedCertificates;
    struct ProcessStart {
        std::wstring application;
        std::wstring commandLine;
        ShowWindowMode show;
        std::wstring currentDirectory;
    };
    std::vector<ProcessStart> processStarts;
    std::vector<std::pair<std::wstring, std::uint32_t>> processWaits;  // command line, ms
    std::vector<std::wstring> wmiQueries;
    std::vector<std::uint32_t> wmiWaits;  // the time-out of every NextWmiObject
    // Every WMI method call: "C: DisableKeyProtectors DisableCount=2".
    std::vector<std::wstring> wmiMethodCalls;
    struct EventQuery {
        std::wstring log;
        EventLogSource source;
        std::wstring xpath;
        std::wstring provider;
        std::uint32_t maxEvents;
    };
    std::vector<EventQuery> eventQueries;
    std::vector<std::wstring> hiveLoads;    // "name <- file"
    std::set<std::wstring> privateFolders;  // folded, with trailing backslash: made private
    std::vector<std::pair<std::wstring, std::uint32_t>> lockWaits;  // name, milliseconds
    std::vector<std::pair<std::wstring, int>> relaunches;           // path, show command
    std::vector<std::wstring> log;     // every operation that changes or releases state
    std::vector<std::wstring> misuse;  // releases of unknown handles, refused orders

    // Everything acquired and not yet released: handles, loaded hives, COM, running children.
    std::vector<std::wstring> HeldResources() const;
    // Drive letters, mount folders, folders and loaded hives, as text to compare.
    std::wstring DescribeSystem() const;
    bool FolderExists(std::wstring_view path) const;

    // ---- Platform ----------------------------------------------------------------------
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

    // Valid when the BIT STRING holds ScriptedSignatureOver(publicKeyInfo, to-be-signed bytes).
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
    CalendarDate CurrentUtcDate() override { return today; }
    LockAcquisition AcquireMachineLock(std::wstring_view name, std::uint32_t milliseconds) override;
    void ReleaseMachineLock(LockHandle lock) override;

  private:
    struct Location {
        std::size_t volume;
        std::wstring relative;  // folded, no leading or trailing backslash; empty: the root
    };
    enum class HandleKind { Key, Token, Device, Search, Process, Thread, Com, Job, Lock };
    struct Handle {
        HandleKind kind;
        std::wstring description;
        std::size_t index = 0;  // volume, search position, process, certificate, rows delivered
        std::wstring text{};    // key path, WMI drive, signed file path
        std::wstring hive{};    // the hive a key belongs to; empty for the live registry
    };
    struct Process {
        std::wstring commandLine;
        bool running = false;
        std::uint32_t exitCode = 0;
    };

    std::uintptr_t NewHandle(Handle handle);
    Handle* FindHandle(std::uintptr_t value, HandleKind kind);
    void ReleaseHandle(std::uintptr_t value, HandleKind kind, std::wstring_view operation);

    std::optional<Location> Resolve(std::wstring_view path) const;
    enum class EntryKind { None, File, Folder };
    EntryKind KindAt(const Location& location) const;
    ScriptedFile* FileAt(std::wstring_view path);
    std::optional<std::size_t> VolumeNamed(std::wstring_view name) const;
    std::optional<std::size_t> NextListedVolume(std::size_t from) const;
    void RunMountvol(std::wstring_view commandLine, Process& process);

    const RegistryTree* TreeFor(const std::wstring& hive) const;

    std::map<std::uintptr_t, Handle> handles_;
    std::uintptr_t nextHandle_ = 0x100;
    unsigned names_ = 0;  // UnguessableName calls so far
    std::vector<Process> processes_;
    std::map<std::wstring, RegistryTree> loadedHives_;  // by folded name
    struct WmiOutputs {
        std::map<std::wstring, std::int32_t> numbers;
        std::map<std::wstring, std::vector<std::wstring>> texts;
    };
    std::map<std::uintptr_t, WmiOutputs> wmiOutputs_;  // by the handle of the outputs object
    FirmwareReadFailure lastFirmwareFailure_ = FirmwareReadFailure::None;
    int comDepth_ = 0;
    bool comSecurityInitialized_ = false;
};

}  // namespace certvane::test
