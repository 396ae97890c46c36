// The scripted machine's child processes: mountvol acts on the drive letters, the other
// programs of the system directory run the scripted commands.
#include "tests/support/Fold.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

void ScriptedMachine::RunMountvol(std::wstring_view commandLine, Process& process) {
    process.exitCode = 1;
    if (mountvolHangs) {
        process.running = true;
        process.exitCode = StillActive;
        log.push_back(std::wstring(commandLine) + L" hangs");
        return;
    }
    if (commandLine == L"mountvol S: /s") {
        if (!letters.count(L'S') && mountvolEsp) {
            letters[L'S'] = *mountvolEsp;
            process.exitCode = 0;
        }
    } else if (commandLine == L"mountvol S: /d") {
        if (!mountvolUnmountFails && letters.erase(L'S')) process.exitCode = 0;
    }
    log.push_back(std::wstring(commandLine) + L" -> " + std::to_wstring(process.exitCode));
}

std::optional<StartedProcess> ScriptedMachine::StartProcess(std::wstring_view applicationPath,
                                                            std::wstring_view commandLine,
                                                            ShowWindowMode show,
                                                            std::wstring_view currentDirectory) {
    processStarts.push_back({std::wstring(applicationPath), std::wstring(commandLine), show,
                             std::wstring(currentDirectory)});
    const std::wstring application = Fold(applicationPath);
    const std::wstring system = Fold(systemDirectory + L"\\");
    // An elevated child must not run where the user keeps files, nor through the interpreter,
    // which runs the user's AutoRun command first.
    if (Fold(currentDirectory) != Fold(systemDirectory)) {
        misuse.push_back(L"a child started outside the system directory: " +
                         std::wstring(commandLine));
    }
    if (application == Fold(systemDirectory + L"\\cmd.exe"))
        misuse.push_back(L"the command interpreter started: " + std::wstring(commandLine));
    Process process{std::wstring(commandLine)};
    if (application == Fold(systemDirectory + L"\\mountvol.exe")) {
        RunMountvol(commandLine, process);
    } else if (application.starts_with(system) &&
               application.find(L'\\', system.size()) == std::wstring::npos) {
        const auto command = commands.find(std::wstring(commandLine));
        if (command != commands.end()) {
            process.running = command->second.hangs;
            process.exitCode = command->second.hangs ? StillActive : command->second.exitCode;
        } else {
            process.exitCode = 1;
        }
    } else {
        return std::nullopt;
    }
    processes_.push_back(process);
    const std::size_t index = processes_.size() - 1;
    const std::wstring description(commandLine);
    return StartedProcess{ProcessHandle{NewHandle({HandleKind::Process, description, index})},
                          ThreadHandle{NewHandle({HandleKind::Thread, description, index})},
                          JobHandle{NewHandle({HandleKind::Job, description, index})}};
}

void ScriptedMachine::WaitForProcess(ProcessHandle process, std::uint32_t milliseconds) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(process), HandleKind::Process);
    if (handle == nullptr) return;
    processWaits.emplace_back(processes_[handle->index].commandLine, milliseconds);
    if (milliseconds == WaitForever && processes_[handle->index].running) {
        misuse.push_back(L"endless wait for the hung " + processes_[handle->index].commandLine);
    }
}

std::optional<std::uint32_t> ScriptedMachine::ProcessExitCode(ProcessHandle process) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(process), HandleKind::Process);
    if (handle == nullptr) return std::nullopt;
    return processes_[handle->index].exitCode;
}

void ScriptedMachine::KillProcessTree(StartedProcess started, std::uint32_t exitCode) {
    const Handle* handle =
        FindHandle(static_cast<std::uintptr_t>(started.process), HandleKind::Process);
    if (handle == nullptr) return;
    Process& killed = processes_[handle->index];
    killed.running = false;
    killed.exitCode = exitCode;
    log.push_back(L"KillProcessTree " + killed.commandLine);
}

LockAcquisition ScriptedMachine::AcquireMachineLock(std::wstring_view name,
                                                    std::uint32_t milliseconds) {
    lockWaits.emplace_back(std::wstring(name), milliseconds);
    if (lockRefused) return {LockWait::Refused, std::nullopt};
    if (lockHeldElsewhere) return {LockWait::TimedOut, std::nullopt};
    return {LockWait::Acquired, LockHandle{NewHandle({HandleKind::Lock, std::wstring(name)})}};
}

void ScriptedMachine::ReleaseMachineLock(LockHandle lock) {
    ReleaseHandle(static_cast<std::uintptr_t>(lock), HandleKind::Lock, L"ReleaseMachineLock");
}

void ScriptedMachine::CloseProcess(StartedProcess started) {
    ReleaseHandle(static_cast<std::uintptr_t>(started.job), HandleKind::Job, L"CloseJob");
    ReleaseHandle(static_cast<std::uintptr_t>(started.thread), HandleKind::Thread, L"CloseThread");
    ReleaseHandle(static_cast<std::uintptr_t>(started.process), HandleKind::Process,
                  L"CloseProcess");
}

}  // namespace certvane::test

namespace certvane::test {

std::optional<std::wstring> ScriptedMachine::OwnProgramPath() {
    return programPath;
}

bool ScriptedMachine::RelaunchElevated(std::wstring_view path, int showCommand) {
    relaunches.emplace_back(std::wstring(path), showCommand);
    return !elevationRefused;
}

}  // namespace certvane::test
