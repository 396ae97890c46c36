#include "assess/ServicingSignals.h"

#include <algorithm>
#include <cwctype>

namespace certvane {
namespace {

// The events whose data carry BucketId and BucketConfidenceLevel.
constexpr std::uint32_t kBucketEvents[] = {1801, 1802, 1803, 1808};
constexpr std::uint32_t kKnownIssueEvent = 1802;

bool Contains(std::wstring_view text, std::wstring_view word) {
    const auto found =
        std::search(text.begin(), text.end(), word.begin(), word.end(),
                    [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
    return found != text.end() || word.empty();
}

}  // namespace

bool DeviceBucket::KnownFirmwareIssue() const {
    return eventId == kKnownIssueEvent && skipReason.starts_with(L"KI_");
}

BucketConfidence ConfidenceOf(std::wstring_view level) {
    if (Contains(level, L"high confidence")) return BucketConfidence::High;
    if (Contains(level, L"under observation")) return BucketConfidence::UnderObservation;
    if (Contains(level, L"paused")) return BucketConfidence::Paused;
    if (Contains(level, L"not supported")) return BucketConfidence::NotSupported;
    return BucketConfidence::Undocumented;
}

std::optional<DeviceBucket> NewestDeviceBucket(const EventTimeline& timeline) {
    const auto newest = std::ranges::find_if(timeline.events, [](const ServicingEvent& event) {
        return std::ranges::find(kBucketEvents, event.id) != std::end(kBucketEvents);
    });
    if (newest == timeline.events.end()) return std::nullopt;
    DeviceBucket bucket;
    bucket.eventId = newest->id;
    bucket.bucketId = newest->Field(L"BucketId");
    bucket.confidenceLevel = newest->Field(L"BucketConfidenceLevel");
    if (!bucket.confidenceLevel.empty()) bucket.confidence = ConfidenceOf(bucket.confidenceLevel);
    bucket.skipReason = newest->Field(L"SkipReason");
    return bucket;
}

VirtualPlatform VirtualPlatformOf(const MachineFacts& facts) {
    if (Contains(facts.systemManufacturer, L"VMware")) return VirtualPlatform::VMware;
    // Hyper-V's firmware names Microsoft as its maker and "Virtual Machine" as the model.
    if (Contains(facts.systemManufacturer, L"Microsoft Corporation") &&
        Contains(facts.systemProductName, L"Virtual Machine")) {
        return VirtualPlatform::HyperV;
    }
    return VirtualPlatform::None;
}

}  // namespace certvane
