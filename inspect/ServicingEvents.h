#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace certvane {

inline constexpr std::wstring_view ServicingEventProvider = L"Microsoft-Windows-TPM-WMI";

// What an event says of servicing: a step is refused until something changes (blocking), a
// step failed (error), servicing moves on (progress), or it has finished (done).
enum class EventClass { Blocking, Error, Progress, Done };

// The events Windows' Secure Boot servicing writes to the System log (provider
// Microsoft-Windows-TPM-WMI), with what each means as Microsoft documents it (KB5016061).
struct ServicingEventKind {
    std::uint32_t id;
    std::string_view meaning;
    EventClass eventClass;
};

inline constexpr ServicingEventKind ServicingEventKinds[] = {
    {1032, "blocked: BitLocker would ask for recovery", EventClass::Blocking},
    {1033, "a vulnerable boot manager is on the ESP: the dbx update was not applied",
     EventClass::Error},
    {1034, "dbx applied", EventClass::Progress},
    {1036, "db applied", EventClass::Progress},
    {1037, "dbx applied: Microsoft Windows Production PCA 2011 revoked", EventClass::Progress},
    {1043, "KEK applied", EventClass::Progress},
    {1044, "Option ROM UEFI CA 2023 applied", EventClass::Progress},
    {1045, "Microsoft UEFI CA 2023 applied", EventClass::Progress},
    {1795, "the firmware returned an error", EventClass::Error},
    {1796, "an error code was logged", EventClass::Error},
    {1797, "PCA 2011 revocation blocked: Windows UEFI CA 2023 is not in db", EventClass::Blocking},
    {1798, "PCA 2011 revocation blocked: the boot manager is not signed under Windows UEFI CA 2023",
     EventClass::Blocking},
    {1799, "2023 boot manager installed", EventClass::Progress},
    {1800, "a restart is needed", EventClass::Progress},
    {1801, "the certificates are not yet applied to the firmware", EventClass::Progress},
    {1802, "blocked by a known firmware issue", EventClass::Blocking},
    {1803, "no PK-signed KEK for this machine", EventClass::Error},
    {1808, "fully updated", EventClass::Done},
};

inline constexpr std::uint32_t EventNoPkSignedKek = 1803;
inline constexpr std::uint32_t EventFullyUpdated = 1808;

// The class's key in the JSON: "blocking", "error", "progress", "done".
std::string_view EventClassKey(EventClass eventClass);

// The meaning of an event id; nullopt for an id servicing does not write.
const ServicingEventKind* FindServicingEventKind(std::uint32_t id);

// The XPath query of the System log that selects exactly these events.
std::wstring ServicingEventQuery();

// One event as the log rendered it.
struct ServicingEvent {
    std::uint32_t id = 0;
    std::wstring time;  // TimeCreated/@SystemTime as written (ISO 8601, UTC)
    std::vector<std::pair<std::wstring, std::wstring>> data;  // EventData, in order
    // Windows' own words for the event in the machine's language; empty where it has none.
    std::wstring message;

    // The text of the EventData field of that name; empty when the event has none.
    std::wstring_view Field(std::wstring_view name) const;
};

// Reads one rendered event. The XML comes from a log file that may be damaged or crafted:
// nullopt when it holds no event id; fields and their texts are bounded.
std::optional<ServicingEvent> ParseEventXml(std::wstring_view xml);

// What the log says, newest first.
struct EventTimeline {
    bool available = false;  // false: the event log or the file could not be read
    std::vector<ServicingEvent> events;
};

struct EventIdSummary {
    std::uint32_t id;
    std::size_t count;
    std::wstring lastTime;
};

// Per id, in the order ids first appear newest first: how often and when last.
std::vector<EventIdSummary> SummariseById(const EventTimeline& timeline);

// True when the newest event is one that blocks servicing.
bool NewestEventBlocks(const EventTimeline& timeline);

// True when any event of the id is in the timeline.
bool HasEvent(const EventTimeline& timeline, std::uint32_t id);

}  // namespace certvane
