#include "assess/ReferenceLists.h"

#include <algorithm>

namespace certvane {
namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
long long DaysSinceEpoch(int year, unsigned month, unsigned day) {
    const long long y = month <= 2 ? year - 1 : year;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(int year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<unsigned> Digits(std::string_view text) {
    if (text.empty()) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

// The day a YYYY-MM-DD date names, or the last day of a YYYY-MM month.
std::optional<long long> DayNumber(std::string_view date) {
    if (date.size() != 7 && date.size() != 10) return std::nullopt;
    if (date[4] != '-' || (date.size() == 10 && date[7] != '-')) return std::nullopt;
    const auto year = Digits(date.substr(0, 4));
    const auto month = Digits(date.substr(5, 2));
    if (!year || !month || *month < 1 || *month > 12) return std::nullopt;
    const int y = static_cast<int>(*year);
    std::optional<unsigned> day = DaysInMonth(y, *month);
    if (date.size() == 10) day = Digits(date.substr(8, 2));
    if (!day || *day < 1 || *day > DaysInMonth(y, *month)) return std::nullopt;
    return DaysSinceEpoch(y, *month, *day);
}

}  // namespace

const KekUpdateEntry* KekUpdateMap::Find(std::string_view thumbprint) const {
    const auto found =
        std::ranges::lower_bound(entries, thumbprint, {}, &KekUpdateEntry::thumbprint);
    return found != entries.end() && found->thumbprint == thumbprint ? &*found : nullptr;
}

std::optional<int> ListAgeDays(std::string_view date, std::string_view today) {
    const auto then = DayNumber(date);
    const auto now = today.size() == 10 ? DayNumber(today) : std::nullopt;
    if (!then || !now) return std::nullopt;
    return static_cast<int>(*now - *then);
}

std::optional<int> OldestBuiltInListAge(const ReferenceLists& lists, std::string_view today) {
    std::optional<int> oldest;
    for (const ListOrigin* origin : {&lists.kekMap.origin, &lists.dbx.origin}) {
        if (!origin->BuiltIn()) continue;
        const auto age = ListAgeDays(origin->date, today);
        if (age && (!oldest || *age > *oldest)) oldest = age;
    }
    return oldest;
}

}  // namespace certvane
