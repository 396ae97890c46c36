#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/Registry.h"
#include "inspect/ServicingEvents.h"
#include "inspect/ServicingUpdates.h"
#include "platform/Platform.h"

namespace certvane {

inline constexpr std::wstring_view SecureBootTaskPath =
    L"\\Microsoft\\Windows\\PI\\Secure-Boot-Update";

struct NamedStoredValue {
    std::wstring name;
    StoredRegistryValue value;
};

// Where Windows' Secure Boot servicing stands on one installation: its registry values, its
// events, its scheduled task and the stage they add up to. Reads only.
struct ServicingState {
    // Read from the offline installation (inside Windows PE); its task cannot be asked.
    bool offline = false;
    bool registryReadable = false;
    std::vector<NamedStoredValue> secureBootValues;  // under Control\SecureBoot, those present
    std::vector<NamedStoredValue> servicingValues;   // under SecureBoot\Servicing
    std::vector<NamedStoredValue> deviceAttributes;  // every value of Servicing\DeviceAttributes
    std::optional<std::uint32_t> availableUpdates;   // when present as a REG_DWORD
    EventTimeline events;
    ScheduledTaskState task;
    ServicingStage stage = ServicingStage::NotRequested;
};

// The running installation's servicing state; inside Windows PE, the offline installation's
// (`offlineWindows` empty: there is none, and nothing can be read).
ServicingState ReadServicingState(Platform& platform, bool isWinPE,
                                  std::wstring_view offlineWindows);

// The value of that name among the values, if present.
const StoredRegistryValue* FindValue(const std::vector<NamedStoredValue>& values,
                                     std::wstring_view name);

}  // namespace certvane
