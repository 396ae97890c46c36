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

ordered_json ClassJson(std::uint32_t id) {
    const ServicingEventKind* kind = FindServicingEventKind(id);
    return kind ? ordered_json(std::string(EventClassKey(kind->eventClass)))
                : ordered_json(nullptr);
}

// One event: our meaning and class, Windows' own message whole, and its data as written.
ordered_json EventJson(const ServicingEvent& event) {
    ordered_json data = ordered_json::object();
    for (const auto& [name, text] : event.data) data[ToUtf8(name)] = ToUtf8(text);
    return {{"id", event.id},
            {"class", ClassJson(event.id)},
            {"meaning", Meaning(event.id)},
            {"time", ToUtf8(event.time)},
            {"message",
             event.message.empty() ? ordered_json(nullptr) : ordered_json(ToUtf8(event.message))},
            {"data", data}};
}

// The newest events the JSON lists whole; `byId` counts every event read.
constexpr std::size_t kListedEvents = 50;

ordered_json EventsJson(const EventTimeline& timeline) {
    const ordered_json latest =
        timeline.events.empty() ? ordered_json(nullptr) : EventJson(timeline.events.front());
    ordered_json list = ordered_json::array();
    for (std::size_t i = 0; i < timeline.events.size() && i < kListedEvents; ++i)
        list.push_back(EventJson(timeline.events[i]));
    ordered_json byId = ordered_json::array();
    for (const EventIdSummary& summary : SummariseById(timeline)) {
        byId.push_back({{"id", summary.id},
                        {"meaning", Meaning(summary.id)},
                        {"count", summary.count},
                        {"lastTime", ToUtf8(summary.lastTime)}});
    }
    return {
        {"available", timeline.available}, {"latest", latest}, {"byId", byId}, {"events", list}};
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

std::string_view ConfidenceKey(BucketConfidence confidence) {
    switch (confidence) {
        case BucketConfidence::High:
            return "high";
        case BucketConfidence::UnderObservation:
            return "underObservation";
        case BucketConfidence::Paused:
            return "paused";
        case BucketConfidence::NotSupported:
            return "notSupported";
        case BucketConfidence::Undocumented:
            return "undocumented";
    }
    return {};
}

ordered_json TextOrNull(const std::wstring& text) {
    return text.empty() ? ordered_json(nullptr) : ordered_json(ToUtf8(text));
}

}  // namespace

ordered_json RolloutJson(const std::optional<DeviceBucket>& bucket) {
    if (!bucket) return nullptr;
    return {{"eventId", bucket->eventId},
            {"bucketId", TextOrNull(bucket->bucketId)},
            {"bucketConfidenceLevel", TextOrNull(bucket->confidenceLevel)},
            {"confidence", bucket->confidence
                               ? ordered_json(std::string(ConfidenceKey(*bucket->confidence)))
                               : ordered_json(nullptr)},
            {"skipReason", TextOrNull(bucket->skipReason)},
            {"knownFirmwareIssue", bucket->KnownFirmwareIssue()}};
}

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
