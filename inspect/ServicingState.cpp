#include "inspect/ServicingState.h"

#include "inspect/OfflineSystemHive.h"
#include "inspect/PathText.h"

namespace certvane {
namespace {

constexpr std::wstring_view kSecureBootValues[] = {L"AvailableUpdates", L"AvailableUpdatesPolicy",
                                                   L"HighConfidenceOptOut",
                                                   L"MicrosoftUpdateManagedOptIn"};
constexpr std::wstring_view kServicingValues[] = {
    L"UEFICA2023Status",         L"UEFICA2023Error",        L"UEFICA2023ErrorEvent",
    L"WindowsUEFICA2023Capable", L"BootMgrLastUpdateError", L"BootMgrLastUpdateErrorReason"};

// Values are small; anything larger is not what servicing writes and is not read.
constexpr std::size_t kMaxValueSize = 1024;
constexpr std::size_t kMaxDeviceAttributes = 64;
// Servicing writes a few events a day at most; this covers months of them.
constexpr std::uint32_t kMaxEvents = 500;
constexpr std::size_t kMaxMessage = 4096;

std::vector<NamedStoredValue> ReadNamedValues(Platform& platform, const std::wstring& key,
                                              std::span<const std::wstring_view> names) {
    std::vector<NamedStoredValue> found;
    const auto open = platform.OpenRegistryKey(RegistryRoot::LocalMachine, key, RegistryKeyRead);
    if (!open) return found;
    for (std::wstring_view name : names) {
        if (auto value = QueryStoredValue(platform, *open, name, kMaxValueSize)) {
            found.push_back({std::wstring(name), std::move(*value)});
        }
    }
    platform.CloseRegistryKey(*open);
    return found;
}

std::vector<NamedStoredValue> ReadAllValues(Platform& platform, const std::wstring& key) {
    std::vector<NamedStoredValue> found;
    const auto open = platform.OpenRegistryKey(RegistryRoot::LocalMachine, key, RegistryKeyRead);
    if (!open) return found;
    for (const std::wstring& name : platform.RegistryValueNames(*open, kMaxDeviceAttributes)) {
        if (auto value = QueryStoredValue(platform, *open, name, kMaxValueSize)) {
            found.push_back({name, std::move(*value)});
        }
    }
    platform.CloseRegistryKey(*open);
    return found;
}

void ReadRegistry(Platform& platform, const std::wstring& controlSet, ServicingState& state) {
    const std::wstring secureBoot = controlSet + L"\\Control\\SecureBoot";
    state.registryReadable = true;
    state.secureBootValues = ReadNamedValues(platform, secureBoot, kSecureBootValues);
    state.servicingValues =
        ReadNamedValues(platform, secureBoot + L"\\Servicing", kServicingValues);
    state.deviceAttributes = ReadAllValues(platform, secureBoot + L"\\Servicing\\DeviceAttributes");
}

EventTimeline ReadEvents(Platform& platform, std::wstring_view log, EventLogSource source) {
    EventTimeline timeline;
    const auto rendered = platform.QueryEvents(log, source, ServicingEventQuery(),
                                               ServicingEventProvider, kMaxEvents);
    if (!rendered) return timeline;
    timeline.available = true;
    for (const RenderedEvent& rendering : *rendered) {
        auto event = ParseEventXml(rendering.xml);
        if (!event) continue;
        event->message = rendering.message.substr(0, kMaxMessage);
        timeline.events.push_back(std::move(*event));
    }
    return timeline;
}

bool StatusIsUpdated(const ServicingState& state) {
    const StoredRegistryValue* status = FindValue(state.servicingValues, L"UEFICA2023Status");
    return status && status->type == RegSz && TextOfRegistryBytes(status->bytes) == L"Updated";
}

}  // namespace

const StoredRegistryValue* FindValue(const std::vector<NamedStoredValue>& values,
                                     std::wstring_view name) {
    for (const NamedStoredValue& value : values) {
        if (value.name == name) return &value.value;
    }
    return nullptr;
}

ServicingState ReadServicingState(Platform& platform, bool isWinPE,
                                  std::wstring_view offlineWindows) {
    ServicingState state;
    state.offline = isWinPE;
    if (!isWinPE) {
        ReadRegistry(platform, L"SYSTEM\\CurrentControlSet", state);
        state.events = ReadEvents(platform, L"System", EventLogSource::Channel);
        state.task = platform.QueryScheduledTask(SecureBootTaskPath);
    } else if (!offlineWindows.empty()) {
        ReadOfflineControlSet(platform, offlineWindows, [&](const std::wstring& controlSet) {
            ReadRegistry(platform, controlSet, state);
        });
        state.events = ReadEvents(
            platform, UnderDirectory(offlineWindows, L"System32\\winevt\\Logs\\System.evtx"),
            EventLogSource::File);
    }
    const StoredRegistryValue* requested = FindValue(state.secureBootValues, L"AvailableUpdates");
    if (requested && requested->type == RegDword && requested->bytes.size() == 4) {
        state.availableUpdates = LittleEndian32(requested->bytes.data());
    }
    state.stage = DeriveServicingStage(
        {state.availableUpdates, StatusIsUpdated(state), HasEvent(state.events, EventNoPkSignedKek),
         NewestEventBlocks(state.events), HasEvent(state.events, EventFullyUpdated)});
    return state;
}

}  // namespace certvane
