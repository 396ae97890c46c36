#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "inspect/MachineFacts.h"

namespace certvane {

// How sure Microsoft's rollout is that this machine's model takes the update, as the events'
// BucketConfidenceLevel field says it.
enum class BucketConfidence { High, UnderObservation, Paused, NotSupported, Undocumented };

// What the newest of the events carrying the machine's rollout bucket (1801, 1802, 1803, 1808)
// says, read from the event's data, never from its localized text.
struct DeviceBucket {
    std::uint32_t eventId = 0;
    std::wstring bucketId;
    std::wstring confidenceLevel;  // as written; empty when the event carries none
    std::optional<BucketConfidence> confidence;
    std::wstring skipReason;  // 1802's known issue, "KI_<n>"; empty when none

    // A known firmware issue blocks the update: it cannot be bypassed, only a firmware update
    // mends it.
    bool KnownFirmwareIssue() const;
};

std::optional<DeviceBucket> NewestDeviceBucket(const EventTimeline& timeline);

// The meaning of a BucketConfidenceLevel text; Undocumented for words Microsoft has not
// documented.
BucketConfidence ConfidenceOf(std::wstring_view level);

// The virtual machine platform the firmware's maker and model name, if any.
enum class VirtualPlatform { None, HyperV, VMware };
VirtualPlatform VirtualPlatformOf(const MachineFacts& facts);

}  // namespace certvane
