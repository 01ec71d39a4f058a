// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/date.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "base/csv.h"

namespace pamerol {

namespace {
bool Leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}
int DaysIn(int month, int year) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return days[month - 1] + (month == 2 && Leap(year) ? 1 : 0);
}
std::optional<Date> g_today;

// The spreadsheet day numbers of 01.01.1920 and 31.12.2099.
constexpr long kFirstDayNumber = 7306;
constexpr long kLastDayNumber = 73050;

// The civil date of a spreadsheet day number (days since 30.12.1899, proleptic Gregorian calendar).
Date OfDayNumber(long serial) {
    // Days since 1.3.0000 to the civil date.
    const long z = serial - 25569 + 719468; // 25569: 1.1.1970 as a spreadsheet day
    const long era = z / 146097, doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    const long day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
    const long year = yoe + era * 400 + (month <= 2);
    return {static_cast<int>(day), static_cast<int>(month), static_cast<int>(year)};
}

std::optional<Date> InCalendar(Date d) {
    if (!IsCalendarDate(d.day, d.month, d.year)) return std::nullopt;
    return d;
}

// The clerk's table forms (DateForms::Table).
std::optional<Date> TableDate(std::string_view text) {
    text = CellTrimmed(text);
    const auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!text.empty() && text.size() <= 5 && digits(text)) {
        long serial = 0;
        for (char c : text) serial = serial * 10 + (c - '0');
        if (serial < kFirstDayNumber || serial > kLastDayNumber) return std::nullopt;
        return OfDayNumber(serial);
    }
    // Numbers split at ".", "/" or "-"; the year is the part of four digits.
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] >= '0' && text[i] <= '9') continue;
        if (i < text.size() && text[i] != '.' && text[i] != '/' && text[i] != '-') return std::nullopt;
        parts.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    if (parts.size() != 3) return std::nullopt;
    for (std::string_view p : parts)
        if (p.empty() || p.size() > 4) return std::nullopt;
    std::string_view day = parts[0], month = parts[1], year = parts[2];
    if (parts[0].size() == 4) day = parts[2], year = parts[0]; // YYYY-AA-GG
    if (year.size() != 4 || day.size() > 2 || month.size() > 2) return std::nullopt;
    const auto number = [](std::string_view s) {
        int v = 0;
        for (char c : s) v = v * 10 + (c - '0');
        return v;
    };
    return InCalendar({number(day), number(month), number(year)});
}

} // namespace

bool IsCalendarDate(int day, int month, int year) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    return day <= DaysIn(month, year);
}

std::optional<Date> MaskedDate(std::string_view t) {
    if (t.size() != 10 || t[2] != '.' || t[5] != '.') return std::nullopt;
    for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (t[i] < '0' || t[i] > '9') return std::nullopt;
    auto num = [&](size_t a, size_t n) {
        int v = 0;
        for (size_t i = a; i < a + n; ++i) v = v * 10 + (t[i] - '0');
        return v;
    };
    return Date{num(0, 2), num(3, 2), num(6, 4)};
}

std::optional<Date> ReadDate(std::string_view text, DateForms forms) {
    if (forms == DateForms::Table) return TableDate(text);
    const std::optional<Date> d = MaskedDate(text);
    return d ? InCalendar(*d) : std::nullopt;
}

std::string DateText(Date d) {
    char text[24];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", d.day, d.month, d.year);
    return text;
}

Date DayAfter(Date d) {
    if (d.day < DaysIn(d.month, d.year)) return {d.day + 1, d.month, d.year};
    if (d.month < 12) return {1, d.month + 1, d.year};
    return {1, 1, d.year + 1};
}

int DaysInMonth(int month, int year) {
    return DaysIn(month, year);
}

long DaysBetween(Date a, Date b) {
    // Days since 1.3.0000 of a civil date (the inverse of OfDayNumber's count).
    const auto days = [](Date d) {
        const long y = d.year - (d.month <= 2);
        const long era = y / 400, yoe = y - era * 400;
        const long doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
        return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
    };
    return days(b) - days(a);
}

Date Today() {
    if (g_today) return *g_today;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

void SetTodayForTesting(std::optional<Date> d) {
    g_today = d;
}

} // namespace pamerol
