#include <windows.h>
#include <oleauto.h>
#include <taskschd.h>

#include "platform/win32/BoundedCall.h"
#include "platform/win32/HeldCom.h"
#include "platform/win32/SystemString.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

// The Task Scheduler's class and interface ids, here so that no import library is needed.
constexpr CLSID kTaskSchedulerClass = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr IID kTaskServiceInterface = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

// S_OK with a date: the time; anything else (SCHED_S_TASK_HAS_NOT_RUN, no next run): none.
std::optional<double> TimeOf(HRESULT result, DATE date) {
    if (result != S_OK || date == 0) return std::nullopt;
    return date;
}

ScheduledTaskState ReadTask(IRegisteredTask& task) {
    ScheduledTaskState state;
    state.lookup = TaskLookup::Found;
    VARIANT_BOOL enabled = VARIANT_FALSE;
    state.enabled = SUCCEEDED(task.get_Enabled(&enabled)) && enabled != VARIANT_FALSE;
    DATE lastRun = 0;
    state.lastRunTime = TimeOf(task.get_LastRunTime(&lastRun), lastRun);
    LONG lastResult = 0;
    if (task.get_LastTaskResult(&lastResult) == S_OK) state.lastResult = lastResult;
    DATE nextRun = 0;
    state.nextRunTime = TimeOf(task.get_NextRunTime(&nextRun), nextRun);
    return state;
}

ScheduledTaskState QueryThroughService(ITaskService& service, std::wstring_view taskPath) {
    const VARIANT empty{};
    if (FAILED(service.Connect(empty, empty, empty, empty))) return {};
    HeldCom<ITaskFolder> root;
    const SystemString rootPath(L"\\");
    if (FAILED(service.GetFolder(rootPath.get(), root.out())) || !root) return {};
    HeldCom<IRegisteredTask> task;
    const SystemString path(taskPath);
    const HRESULT found = root->GetTask(path.get(), task.out());
    if (FAILED(found) || !task) {
        const bool missing = found == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
                             found == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
        ScheduledTaskState state;
        state.lookup = missing ? TaskLookup::Missing : TaskLookup::Unavailable;
        return state;
    }
    return ReadTask(*task);
}

// Connects and reads on the calling thread, in the multithreaded apartment.
ScheduledTaskState QueryOnThisThread(const std::wstring& taskPath) {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    // RPC_E_CHANGED_MODE: the thread is in an apartment already, which serves as well.
    if (FAILED(init) && init != RPC_E_CHANGED_MODE) return {};
    ScheduledTaskState state;
    {
        HeldCom<ITaskService> service;
        if (SUCCEEDED(CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER,
                                       kTaskServiceInterface,
                                       reinterpret_cast<void**>(service.out()))) &&
            service) {
            state = QueryThroughService(*service, taskPath);
        }
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return state;
}

}  // namespace

ScheduledTaskState Win32Platform::QueryScheduledTask(std::wstring_view taskPath) {
    // Connect and GetTask take no time-out: a service that does not answer makes the task
    // unavailable after the limit, and the thread left behind ends when the service answers.
    return CallWithin<ScheduledTaskState>(
               kSystemServiceTimeLimitMs,
               [path = std::wstring(taskPath)] { return QueryOnThisThread(path); })
        .value_or(ScheduledTaskState{});
}

}  // namespace certvane
