// SPDX-License-Identifier: GPL-3.0-or-later
// A calendar date and the one reading of date texts that every part of the program uses: the sheet's
// masked "GG.AA.YYYY" and, as an option, the forms a clerk's table holds; with "today" in one place so
// that tests can fix it.
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

// The forms of a date text ReadDate accepts.
enum class DateForms {
    // Exactly "GG.AA.YYYY" with digits only, as the sheet's date mask holds a date typed out.
    Sheet,
    // A date as a clerk's table holds it, blanks and no-break spaces around it left out (CellTrimmed):
    // "G.A.YYYY" to "GG.AA.YYYY", also with "/" or "-" between the numbers, or "YYYY-AA-GG" as some
    // programs save it; or a whole number from 7306 to 73050, a date cell shown without a date format,
    // which is the spreadsheet's day number counted from 30.12.1899 (1.1.1920 to 31.12.2099; a year or
    // a small number typed into a date column is no date).
    Table,
};

// The calendar date a text holds in the given forms; nothing for any other text or a day not in the
// calendar (years 1..9999).
std::optional<Date> ReadDate(std::string_view text, DateForms forms);

// ReadDate in the sheet's form.
inline std::optional<Date> ParseDate(std::string_view text) {
    return ReadDate(text, DateForms::Sheet);
}

// The day, month and year of a text typed out in the date mask: digits where "GG.AA.YYYY" has them and
// the two dots, whether or not they make a calendar day (so the Date may be none); nothing for any other
// text. The first step of ReadDate's sheet form, for the messages that tell an incomplete date from a
// day not in the calendar.
std::optional<Date> MaskedDate(std::string_view text);

// "DD.MM.YYYY".
std::string DateText(Date d);

// The calendar day after d.
Date DayAfter(Date d);

// The days of month (1..12) in year.
int DaysInMonth(int month, int year);

// The calendar days from a to b: 0 for the same day, negative when b is before a.
long DaysBetween(Date a, Date b);

// Today's date on this computer (local time), or the date a test has fixed.
Date Today();
// Fixes "today" for tests; nothing lets the clock decide again.
void SetTodayForTesting(std::optional<Date> d);

} // namespace pamerol
