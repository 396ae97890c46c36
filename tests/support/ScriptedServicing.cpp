// The scripted machine's event logs and Task Scheduler.
#include <algorithm>

#include "tests/support/Fold.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

std::optional<std::vector<RenderedEvent>> ScriptedMachine::QueryEvents(std::wstring_view log,
                                                                       EventLogSource source,
                                                                       std::wstring_view xpath,
                                                                       std::wstring_view provider,
                                                                       std::uint32_t maxEvents) {
    eventQueries.push_back(
        {std::wstring(log), source, std::wstring(xpath), std::wstring(provider), maxEvents});
    for (const auto& [name, events] : eventLogs) {
        if (Fold(name) != Fold(log)) continue;
        const std::size_t count = std::min<std::size_t>(events.size(), maxEvents);
        return std::vector<RenderedEvent>(events.begin(), events.begin() + count);
    }
    return std::nullopt;
}

ScheduledTaskState ScriptedMachine::QueryScheduledTask(std::wstring_view taskPath) {
    if (!taskSchedulerAvailable) return {};
    for (const auto& [path, task] : scheduledTasks) {
        if (Fold(path) == Fold(taskPath)) return task;
    }
    ScheduledTaskState missing;
    missing.lookup = TaskLookup::Missing;
    return missing;
}

}  // namespace certvane::test
