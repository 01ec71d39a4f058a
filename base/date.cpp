// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/date.h"

#include <cstdio>
#include <ctime>

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
} // namespace

bool IsCalendarDate(int day, int month, int year) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    return day <= DaysIn(month, year);
}

std::optional<Date> ParseDate(std::string_view t) {
    if (t.size() != 10 || t[2] != '.' || t[5] != '.') return std::nullopt;
    for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (t[i] < '0' || t[i] > '9') return std::nullopt;
    auto num = [&](size_t a, size_t n) {
        int v = 0;
        for (size_t i = a; i < a + n; ++i) v = v * 10 + (t[i] - '0');
        return v;
    };
    const Date d{num(0, 2), num(3, 2), num(6, 4)};
    if (!IsCalendarDate(d.day, d.month, d.year)) return std::nullopt;
    return d;
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
