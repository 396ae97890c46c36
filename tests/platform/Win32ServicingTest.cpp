// The event log and the Task Scheduler as Wine provides them: answers where Wine has them,
// a clean "unavailable" where it does not.
#include <windows.h>
#include <oleauto.h>
#include <taskschd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/ServicingState.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

// Wine 8 has no event log service behind wevtapi: every query fails.
TEST(Win32EventLog, WithoutAnEventLogServiceEveryLogIsUnavailable) {
    Win32Platform platform;
    EXPECT_FALSE(platform.QueryEvents(L"System", EventLogSource::Channel, ServicingEventQuery(),
                                      ServicingEventProvider, 10));
    EXPECT_FALSE(platform.QueryEvents(L"C:\\windows\\no-such.evtx", EventLogSource::File,
                                      ServicingEventQuery(), ServicingEventProvider, 10));
}

constexpr CLSID kTaskSchedulerClass = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr IID kTaskServiceInterface = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

// Registers (or, with no XML, deletes) a task in the root folder through the scheduler itself.
bool ChangeTask(const wchar_t* name, const wchar_t* xml) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return false;
    bool done = false;
    ITaskService* service = nullptr;
    ITaskFolder* root = nullptr;
    const VARIANT empty{};
    BSTR rootPath = SysAllocString(L"\\");
    BSTR taskName = SysAllocString(name);
    if (SUCCEEDED(CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER,
                                   kTaskServiceInterface, reinterpret_cast<void**>(&service))) &&
        SUCCEEDED(service->Connect(empty, empty, empty, empty)) &&
        SUCCEEDED(service->GetFolder(rootPath, &root))) {
        if (xml == nullptr) {
            done = SUCCEEDED(root->DeleteTask(taskName, 0));
        } else {
            BSTR definition = SysAllocString(xml);
            IRegisteredTask* task = nullptr;
            done = SUCCEEDED(root->RegisterTask(taskName, definition, TASK_CREATE_OR_UPDATE, empty,
                                                empty, TASK_LOGON_NONE, empty, &task));
            if (task != nullptr) task->Release();
            SysFreeString(definition);
        }
    }
    if (root != nullptr) root->Release();
    if (service != nullptr) service->Release();
    SysFreeString(taskName);
    SysFreeString(rootPath);
    CoUninitialize();
    return done;
}

TEST(Win32ScheduledTasks, ReadsATaskTheSchedulerHoldsAndNamesAMissingOne) {
    Win32Platform platform;
    EXPECT_EQ(platform.QueryScheduledTask(SecureBootTaskPath).lookup, TaskLookup::Missing);

    const wchar_t* xml =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
        L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
        L"<Settings><Enabled>false</Enabled></Settings>"
        L"<Actions><Exec><Command>cmd.exe</Command></Exec></Actions></Task>";
    ASSERT_TRUE(ChangeTask(L"CertvaneProbe", xml));
    const ScheduledTaskState task = platform.QueryScheduledTask(L"\\CertvaneProbe");
    EXPECT_TRUE(ChangeTask(L"CertvaneProbe", nullptr));
    EXPECT_EQ(task.lookup, TaskLookup::Found);
    EXPECT_FALSE(task.enabled);
    EXPECT_EQ(task.lastRunTime, std::nullopt);  // it never ran
    EXPECT_EQ(platform.QueryScheduledTask(L"\\CertvaneProbe").lookup, TaskLookup::Missing);
}

}  // namespace
}  // namespace certvane
