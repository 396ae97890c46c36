#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace certvane {

enum class TaskLookup { Unavailable, Missing, Found };

// What the Task Scheduler says of one task. Times are OLE automation dates (days since
// 1899-12-30, local time), absent when the task has not run or has no next run.
struct ScheduledTaskState {
    TaskLookup lookup = TaskLookup::Unavailable;
    bool enabled = false;
    std::optional<double> lastRunTime;
    std::optional<std::int32_t> lastResult;
    std::optional<double> nextRunTime;
};

// The Task Scheduler service.
class ScheduledTaskApi {
  public:
    // Connects to the local service and reads the task at its full path; Unavailable when
    // the service cannot be reached, Missing when there is no such task.
    virtual ScheduledTaskState QueryScheduledTask(std::wstring_view taskPath) = 0;

  protected:
    ~ScheduledTaskApi() = default;
};

}  // namespace certvane
