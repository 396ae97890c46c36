#include <windows.h>
#include <winevt.h>

#include "platform/win32/BoundedCall.h"
#include "platform/win32/SystemLibraries.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

// An event log handle for the length of one call.
class EventHandle {
  public:
    EventHandle(const EventLogEntries& entries, EVT_HANDLE handle)
        : entries_(entries), handle_(handle) {}
    ~EventHandle() {
        if (handle_ != nullptr) entries_.EvtClose(handle_);
    }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
    EVT_HANDLE get() const { return handle_; }

  private:
    const EventLogEntries& entries_;
    EVT_HANDLE handle_;
};

std::optional<std::wstring> RenderXml(const EventLogEntries& entries, EVT_HANDLE event) {
    DWORD used = 0;
    DWORD properties = 0;
    entries.EvtRender(nullptr, event, EvtRenderEventXml, 0, nullptr, &used, &properties);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || used == 0) return std::nullopt;
    std::wstring xml(used / sizeof(wchar_t) + 1, L'\0');
    if (!entries.EvtRender(nullptr, event, EvtRenderEventXml,
                           static_cast<DWORD>(xml.size() * sizeof(wchar_t)), xml.data(), &used,
                           &properties)) {
        return std::nullopt;
    }
    xml.resize(wcsnlen(xml.data(), xml.size()));
    return xml;
}

// Longer messages are cut: servicing's own are a few hundred characters.
constexpr DWORD kMaxMessage = 4096;

// The provider's message for the event, in the machine's language; empty when Windows has
// none. A message whose inserts cannot all be resolved is still the provider's text.
std::wstring FormatMessageOf(const EventLogEntries& entries, EVT_HANDLE publisher,
                             EVT_HANDLE event) {
    if (publisher == nullptr) return {};
    std::wstring message(kMaxMessage, L'\0');
    DWORD used = 0;
    const BOOL formatted = entries.EvtFormatMessage(
        publisher, event, 0, 0, nullptr, EvtFormatMessageEvent, kMaxMessage, message.data(), &used);
    const DWORD error = formatted ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_INSUFFICIENT_BUFFER) {
        message.back() = L'\0';  // the first kMaxMessage characters, cut
    } else if (error != ERROR_SUCCESS && error != ERROR_EVT_UNRESOLVED_VALUE_INSERT &&
               error != ERROR_EVT_UNRESOLVED_PARAMETER_INSERT) {
        return {};
    }
    message.resize(wcsnlen(message.data(), message.size()));
    return message;
}

using Events = std::optional<std::vector<RenderedEvent>>;

Events QueryOnThisThread(const EventLogEntries* entries, const std::wstring& log,
                         EventLogSource source, const std::wstring& xpath,
                         const std::wstring& provider, std::uint32_t maxEvents) {
    const DWORD flags = (source == EventLogSource::File ? EvtQueryFilePath : EvtQueryChannelPath) |
                        EvtQueryReverseDirection;
    const EventHandle query(*entries, entries->EvtQuery(nullptr, Terminated(log).c_str(),
                                                        Terminated(xpath).c_str(), flags));
    if (query.get() == nullptr) return std::nullopt;
    // The provider's messages as this machine has them registered (inside Windows PE it
    // usually is not, and the events come without their text).
    const EventHandle publisher(
        *entries, entries->EvtOpenPublisherMetadata(nullptr, provider.c_str(), nullptr, 0, 0));
    std::vector<RenderedEvent> events;
    while (events.size() < maxEvents) {
        EVT_HANDLE batch[16];
        DWORD returned = 0;
        // The log is local: a second is long for it, and a stuck service must not hold the
        // worker.
        if (!entries->EvtNext(query.get(), 16, batch, 1000, 0, &returned)) {
            // Only the end of the results is an answer; a time-out or a failure of the
            // service leaves the events unknown, not fewer.
            if (GetLastError() == ERROR_NO_MORE_ITEMS) break;
            return std::nullopt;
        }
        for (DWORD i = 0; i < returned; ++i) {
            const EventHandle event(*entries, batch[i]);
            if (events.size() >= maxEvents) continue;
            if (auto xml = RenderXml(*entries, event.get())) {
                events.emplace_back(std::move(*xml),
                                    FormatMessageOf(*entries, publisher.get(), event.get()));
            }
        }
    }
    return events;
}

}  // namespace

Events Win32Platform::QueryEvents(std::wstring_view log, EventLogSource source,
                                  std::wstring_view xpath, std::wstring_view provider,
                                  std::uint32_t maxEvents) {
    // The library's table lives as long as the process, so a query left running may use it.
    const EventLogEntries* entries = EventLog();
    if (entries == nullptr) return std::nullopt;
    // EvtQuery takes no time-out: a service that does not answer makes the events unknown.
    return CallWithin<Events>(
               kSystemServiceTimeLimitMs,
               [entries, log = std::wstring(log), source, xpath = std::wstring(xpath),
                provider = std::wstring(provider), maxEvents] {
                   return QueryOnThisThread(entries, log, source, xpath, provider, maxEvents);
               })
        .value_or(std::nullopt);
}

}  // namespace certvane
