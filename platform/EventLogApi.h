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

// The Windows event log.
class EventLogApi {
  public:
    // The XML rendering of each event that the XPath query selects, newest first, at most
    // `maxEvents`; nullopt when the event log service, the channel or the file cannot be read.
    virtual std::optional<std::vector<std::wstring>> QueryEventXml(std::wstring_view log,
                                                                   EventLogSource source,
                                                                   std::wstring_view xpath,
                                                                   std::uint32_t maxEvents) = 0;

  protected:
    ~EventLogApi() = default;
};

}  // namespace certvane
