#include "cli/ServicingJson.h"

#include <cstdio>

#include "cli/Utf8.h"
#include "inspect/TimeText.h"

namespace certvane::cli {
namespace {

using nlohmann::ordered_json;

constexpr std::uint32_t RegQword = 11;

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char digits[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        text += digits;
    }
    return text;
}

std::uint64_t LittleEndian64(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return value;
}

// A registry value as JSON: numbers as numbers, text as text, anything else as hex.
// Times servicing stores as a FILETIME (8 bytes, binary or QWORD) are written as ISO text.
ordered_json ValueJson(std::wstring_view name, const StoredRegistryValue& value) {
    const bool eightBytes = value.bytes.size() == 8;
    if (name == L"CanAttemptUpdateAfter" && eightBytes) {
        return ToUtf8(FileTimeText(LittleEndian64(value.bytes)));
    }
    if (value.type == RegDword && value.bytes.size() == 4)
        return LittleEndian32(value.bytes.data());
    if (value.type == RegQword && eightBytes) return LittleEndian64(value.bytes);
    if (value.type == RegSz) return ToUtf8(TextOfRegistryBytes(value.bytes));
    return Hex(value.bytes);
}

ordered_json ValuesJson(const std::vector<NamedStoredValue>& values) {
    ordered_json object = ordered_json::object();
    for (const NamedStoredValue& value : values) {
        object[ToUtf8(value.name)] = ValueJson(value.name, value.value);
    }
    return object;
}

ordered_json Meaning(std::uint32_t id) {
    const ServicingEventKind* kind = FindServicingEventKind(id);
    return kind ? ordered_json(std::string(kind->meaning)) : ordered_json(nullptr);
}

ordered_json EventsJson(const EventTimeline& timeline) {
    ordered_json latest = nullptr;
    if (!timeline.events.empty()) {
        const ServicingEvent& newest = timeline.events.front();
        ordered_json data = ordered_json::object();
        for (const auto& [name, text] : newest.data) data[ToUtf8(name)] = ToUtf8(text);
        latest = {{"id", newest.id},
                  {"meaning", Meaning(newest.id)},
                  {"time", ToUtf8(newest.time)},
                  {"data", data}};
    }
    ordered_json byId = ordered_json::array();
    for (const EventIdSummary& summary : SummariseById(timeline)) {
        byId.push_back({{"id", summary.id},
                        {"meaning", Meaning(summary.id)},
                        {"count", summary.count},
                        {"lastTime", ToUtf8(summary.lastTime)}});
    }
    return {{"available", timeline.available}, {"latest", latest}, {"byId", byId}};
}

ordered_json TimeJson(const std::optional<double>& date) {
    if (!date) return nullptr;
    const std::wstring text = OleDateText(*date);
    return text.empty() ? ordered_json(nullptr) : ordered_json(ToUtf8(text));
}

ordered_json TaskJson(const ScheduledTaskState& task) {
    const char* lookup = task.lookup == TaskLookup::Found     ? "present"
                         : task.lookup == TaskLookup::Missing ? "missing"
                                                              : "unavailable";
    ordered_json json = {{"path", ToUtf8(SecureBootTaskPath)}, {"state", lookup}};
    if (task.lookup != TaskLookup::Found) return json;
    json["enabled"] = task.enabled;
    json["lastRunTime"] = TimeJson(task.lastRunTime);
    json["lastResult"] = task.lastResult ? ordered_json(*task.lastResult) : ordered_json(nullptr);
    json["nextRunTime"] = TimeJson(task.nextRunTime);
    return json;
}

}  // namespace

std::string_view ReadinessWord(int exitCode) {
    switch (exitCode) {
        case 0:
            return "ready";
        case 1:
            return "firmware-not-ready";
        case 2:
            return "boot-manager-2011";
        case 4:
            return "would-not-boot";
        default:
            return "undetermined";
    }
}

ordered_json ServicingJson(const ServicingState& state, ServicingStage stage) {
    ordered_json pending = ordered_json::array();
    for (const ServicingStep* step : PendingSteps(state.availableUpdates.value_or(0))) {
        pending.push_back({{"bit", step->bit},
                           {"key", std::string(step->key)},
                           {"meaning", std::string(step->meaning)}});
    }
    return {
        {"source", state.offline ? "offline" : "running"},
        {"registryReadable", state.registryReadable},
        {"requested", ValuesJson(state.secureBootValues)},
        {"status", ValuesJson(state.servicingValues)},
        {"deviceAttributes", ValuesJson(state.deviceAttributes)},
        {"pendingSteps", pending},
        {"unknownBits", UnknownServicingBits(state.availableUpdates.value_or(0))},
        {"stage", std::string(ServicingStageKey(stage))},
        {"events", EventsJson(state.events)},
        {"task", TaskJson(state.task)},
    };
}

}  // namespace certvane::cli
