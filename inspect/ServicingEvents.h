#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace certvane {

// The events Windows' Secure Boot servicing writes to the System log (provider
// Microsoft-Windows-TPM-WMI), with what each means.
struct ServicingEventKind {
    std::uint32_t id;
    std::string_view meaning;
    bool blocks;  // the step was refused and will not go on by itself
};

inline constexpr ServicingEventKind ServicingEventKinds[] = {
    {1032, "blocked: BitLocker would ask for recovery", true},
    {1033, "a revoked boot manager is on the ESP", false},
    {1034, "dbx applied", false},
    {1036, "db applied", false},
    {1043, "KEK applied", false},
    {1044, "Option ROM UEFI CA 2023 applied", false},
    {1045, "Microsoft UEFI CA 2023 applied", false},
    {1795, "the firmware returned an error", false},
    {1796, "an error code was logged", false},
    {1797, "PCA 2011 revocation precondition", false},
    {1798, "PCA 2011 revocation precondition", false},
    {1799, "2023 boot manager installed", false},
    {1800, "a restart is needed", false},
    {1801, "the update is still needed", false},
    {1802, "blocked by a known firmware issue", true},
    {1803, "no PK-signed KEK for this machine", false},
    {1808, "fully updated", false},
};

inline constexpr std::uint32_t EventNoPkSignedKek = 1803;
inline constexpr std::uint32_t EventFullyUpdated = 1808;

// The meaning of an event id; nullopt for an id servicing does not write.
const ServicingEventKind* FindServicingEventKind(std::uint32_t id);

// The XPath query of the System log that selects exactly these events.
std::wstring ServicingEventQuery();

// One event as the log rendered it.
struct ServicingEvent {
    std::uint32_t id = 0;
    std::wstring time;  // TimeCreated/@SystemTime as written (ISO 8601, UTC)
    std::vector<std::pair<std::wstring, std::wstring>> data;  // EventData, in order
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
