#include "inspect/TimeText.h"

#include <cmath>
#include <cstdio>

namespace certvane {
namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

std::wstring Text(std::int64_t secondsSince1970, const wchar_t* zone) {
    const std::int64_t days =
        secondsSince1970 >= 0 ? secondsSince1970 / 86400 : (secondsSince1970 - 86399) / 86400;
    const std::int64_t second = secondsSince1970 - days * 86400;
    std::int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    if (year < 1900 || year > 9999) return {};
    wchar_t text[32];
    std::swprintf(text, 32, L"%04lld-%02u-%02uT%02lld:%02lld:%02lld%ls",
                  static_cast<long long>(year), month, day, static_cast<long long>(second / 3600),
                  static_cast<long long>(second / 60 % 60), static_cast<long long>(second % 60),
                  zone);
    return text;
}

constexpr std::int64_t kFileTimeTo1970Seconds = 11644473600;
constexpr std::int64_t kOleDateTo1970Days = 25569;

}  // namespace

std::wstring FileTimeText(std::uint64_t fileTime) {
    if (fileTime == 0) return {};
    return Text(static_cast<std::int64_t>(fileTime / 10000000) - kFileTimeTo1970Seconds, L"Z");
}

std::wstring OleDateText(double date) {
    if (date == 0 || !std::isfinite(date) || date < 0 || date > 2958466) return {};
    const double seconds = std::round((date - kOleDateTo1970Days) * 86400.0);
    return Text(static_cast<std::int64_t>(seconds), L"");
}

std::string IsoDateText(const CalendarDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", date.year, date.month % 100, date.day % 100);
    return text;
}

}  // namespace certvane
