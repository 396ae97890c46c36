#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace certvane {

// Where events are read from: a channel of the running system ("System") or an exported or
// offline log file (an offline installation's System.evtx).
enum class EventLogSource { Channel, File };

// One event as the event log gives it.
struct RenderedEvent {
    RenderedEvent(std::wstring xml, std::wstring message = {})
        : xml(std::move(xml)), message(std::move(message)) {}
    std::wstring xml;  // the event's XML rendering
    // The provider's message for the event in the machine's language, as Windows formats it;
    // empty where Windows has none (the provider is not registered, as inside Windows PE).
    std::wstring message;
};

// The Windows event log.
class EventLogApi {
  public:
    // Each event that the XPath query selects, newest first, at most `maxEvents`, with the
    // message of `provider` for it; nullopt when the event log service, the channel or the
    // file cannot be read.
    virtual std::optional<std::vector<RenderedEvent>> QueryEvents(std::wstring_view log,
                                                                  EventLogSource source,
                                                                  std::wstring_view xpath,
                                                                  std::wstring_view provider,
                                                                  std::uint32_t maxEvents) = 0;

  protected:
    ~EventLogApi() = default;
};

}  // namespace certvane
