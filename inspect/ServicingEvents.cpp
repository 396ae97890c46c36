#include "inspect/ServicingEvents.h"

#include <algorithm>

namespace certvane {
namespace {

constexpr std::size_t kMaxDataFields = 32;
constexpr std::size_t kMaxFieldText = 512;

std::wstring Unescaped(std::wstring_view text) {
    static constexpr std::pair<std::wstring_view, wchar_t> kEntities[] = {
        {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&amp;", L'&'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
    std::wstring out;
    for (std::size_t i = 0; i < text.size() && out.size() < kMaxFieldText; ++i) {
        bool replaced = false;
        if (text[i] == L'&') {
            for (const auto& [entity, character] : kEntities) {
                if (text.substr(i, entity.size()) == entity) {
                    out.push_back(character);
                    i += entity.size() - 1;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out.push_back(text[i]);
    }
    return out;
}

// The value of `name='...'` or `name="..."` inside one tag, or nullopt.
std::optional<std::wstring_view> AttributeIn(std::wstring_view tag, std::wstring_view name) {
    const std::size_t at = tag.find(std::wstring(name) + L"=");
    if (at == std::wstring_view::npos) return std::nullopt;
    const std::size_t open = at + name.size() + 1;
    if (open >= tag.size() || (tag[open] != L'\'' && tag[open] != L'"')) return std::nullopt;
    const std::size_t close = tag.find(tag[open], open + 1);
    if (close == std::wstring_view::npos) return std::nullopt;
    return tag.substr(open + 1, close - open - 1);
}

// The text of the first tag that starts with `start`, up to its '>' (exclusive).
std::optional<std::wstring_view> TagAt(std::wstring_view xml, std::size_t from,
                                       std::wstring_view start, std::size_t* end) {
    const std::size_t at = xml.find(start, from);
    if (at == std::wstring_view::npos) return std::nullopt;
    const std::size_t close = xml.find(L'>', at);
    if (close == std::wstring_view::npos) return std::nullopt;
    if (end != nullptr) *end = close + 1;
    return xml.substr(at, close - at);
}

std::optional<std::uint32_t> EventIdOf(std::wstring_view xml) {
    std::size_t end = 0;
    if (!TagAt(xml, 0, L"<EventID", &end)) return std::nullopt;
    std::uint64_t id = 0;
    std::size_t digits = 0;
    for (std::size_t i = end; i < xml.size() && xml[i] >= L'0' && xml[i] <= L'9'; ++i, ++digits) {
        id = id * 10 + static_cast<std::uint64_t>(xml[i] - L'0');
        if (id > 0xFFFFFFFFu) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    return static_cast<std::uint32_t>(id);
}

void ReadData(std::wstring_view xml, ServicingEvent& event) {
    std::size_t from = xml.find(L"<EventData");
    if (from == std::wstring_view::npos) return;
    while (event.data.size() < kMaxDataFields) {
        std::size_t end = 0;
        const auto tag = TagAt(xml, from, L"<Data", &end);
        if (!tag) return;
        from = end;
        const auto name = AttributeIn(*tag, L"Name");
        std::wstring_view text;
        if (!tag->ends_with(L"/")) {
            const std::size_t close = xml.find(L"</Data>", end);
            if (close == std::wstring_view::npos) return;
            text = xml.substr(end, close - end);
            from = close + 7;
        }
        event.data.emplace_back(Unescaped(name.value_or(L"")), Unescaped(text));
    }
}

}  // namespace

std::string_view EventClassKey(EventClass eventClass) {
    switch (eventClass) {
        case EventClass::Blocking:
            return "blocking";
        case EventClass::Error:
            return "error";
        case EventClass::Progress:
            return "progress";
        case EventClass::Done:
            return "done";
    }
    return {};
}

std::wstring_view ServicingEvent::Field(std::wstring_view name) const {
    for (const auto& [field, text] : data) {
        if (field == name) return text;
    }
    return {};
}

const ServicingEventKind* FindServicingEventKind(std::uint32_t id) {
    for (const ServicingEventKind& kind : ServicingEventKinds) {
        if (kind.id == id) return &kind;
    }
    return nullptr;
}

std::wstring ServicingEventQuery() {
    std::wstring ids;
    for (const ServicingEventKind& kind : ServicingEventKinds) {
        if (!ids.empty()) ids += L" or ";
        ids += L"EventID=" + std::to_wstring(kind.id);
    }
    return L"*[System[Provider[@Name='" + std::wstring(ServicingEventProvider) + L"'] and (" + ids +
           L")]]";
}

std::optional<ServicingEvent> ParseEventXml(std::wstring_view xml) {
    const auto id = EventIdOf(xml);
    if (!id) return std::nullopt;
    ServicingEvent event;
    event.id = *id;
    if (const auto tag = TagAt(xml, 0, L"<TimeCreated", nullptr)) {
        if (const auto time = AttributeIn(*tag, L"SystemTime")) event.time = Unescaped(*time);
    }
    ReadData(xml, event);
    return event;
}

std::vector<EventIdSummary> SummariseById(const EventTimeline& timeline) {
    std::vector<EventIdSummary> summary;
    for (const ServicingEvent& event : timeline.events) {
        const auto found = std::find_if(summary.begin(), summary.end(),
                                        [&](const EventIdSummary& s) { return s.id == event.id; });
        if (found != summary.end()) {
            ++found->count;
        } else {
            summary.push_back({event.id, 1, event.time});
        }
    }
    return summary;
}

bool NewestEventBlocks(const EventTimeline& timeline) {
    if (timeline.events.empty()) return false;
    const ServicingEventKind* kind = FindServicingEventKind(timeline.events.front().id);
    return kind != nullptr && kind->eventClass == EventClass::Blocking;
}

bool HasEvent(const EventTimeline& timeline, std::uint32_t id) {
    return std::any_of(timeline.events.begin(), timeline.events.end(),
                       [id](const ServicingEvent& event) { return event.id == id; });
}

}  // namespace certvane
