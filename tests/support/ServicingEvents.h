#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace certvane::test {

// An event of the Secure Boot servicing provider as the event log renders it.
std::wstring ServicingEventXml(std::uint32_t id, std::wstring_view systemTime,
                               const std::vector<std::pair<std::wstring, std::wstring>>& data = {});

}  // namespace certvane::test
