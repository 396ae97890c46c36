// Feeds arbitrary UTF-16 text to the reader of rendered events: an offline installation's
// System.evtx is outside data. Every field it keeps must stay within its bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "inspect/ServicingEvents.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring xml;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        xml.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    }
    const auto event = certvane::ParseEventXml(xml);
    if (event) {
        if (event->data.size() > 32) std::abort();
        for (const auto& [name, value] : event->data) {
            if (name.size() > 512 || value.size() > 512) std::abort();
        }
    }
    return 0;
}
