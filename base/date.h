// SPDX-License-Identifier: GPL-3.0-or-later
// A calendar date and the one reading of the date texts "GG.AA.YYYY" that every part of the program
// uses, with "today" in one place so that tests can fix it.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace pamerol {

struct Date {
    int day = 1;
    int month = 1;
    int year = 1;

    // The date as the number YYYYMMDD, so that dates compare as numbers.
    int key() const { return year * 10000 + month * 100 + day; }
    static Date FromKey(int key) { return {key % 100, key / 100 % 100, key / 10000}; }

    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date& a, const Date& b) { return a.key() <=> b.key(); }
};

// Whether day.month.year is a day of the Gregorian calendar (years 1..9999).
bool IsCalendarDate(int day, int month, int year);

// Reads exactly "DD.MM.YYYY" with digits only; nothing for any other text or a day not in the calendar.
std::optional<Date> ParseDate(std::string_view text);

// "DD.MM.YYYY".
std::string DateText(Date d);

// The calendar day after d.
Date DayAfter(Date d);

// Today's date on this computer (local time), or the date a test has fixed.
Date Today();
// Fixes "today" for tests; nothing lets the clock decide again.
void SetTodayForTesting(std::optional<Date> d);

} // namespace pamerol
