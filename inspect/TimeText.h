#pragma once

#include <cstdint>
#include <string>

#include "platform/ClockApi.h"

namespace certvane {

// A FILETIME (100-nanosecond intervals since 1601-01-01 UTC) as ISO 8601 text,
// "2026-03-01T08:00:00Z"; empty for 0 or for a time past the year 9999.
std::wstring FileTimeText(std::uint64_t fileTime);

// An OLE automation date (days since 1899-12-30, local time) as ISO 8601 text without a
// zone, to the second; empty for 0 or a date outside the years 1900 to 9999.
std::wstring OleDateText(double date);

// A calendar date as "2026-12-09".
std::string IsoDateText(const CalendarDate& date);

}  // namespace certvane
