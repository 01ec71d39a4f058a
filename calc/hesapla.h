// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command ("&Hesapla") and the severance computation with its notice-pay steps.
#pragma once

#include <optional>
#include <string>

#include "messages.h"
#include "record.h"

namespace pamerol {

inline constexpr std::string_view kInvalidDatesMessage = "Personelin Giriş Çıkış Tarihleri Geçersiz.";

// The years a date of this sheet may have; anything else is taken for a typing mistake.
inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2099;

// Checks the dates (mode 1), fixes the yearly severance under the ceiling, counts the service days,
// runs KıdemHesapla, reports both payable amounts and enables the printouts.
//
// A calculation either completes or changes nothing: when a date is not valid, or a figure it would use
// cannot be read (a wage, a day count, a settings figure, a bracket row it reaches), it shows one message
// that says which and why, and the results and the printouts command stay as they were. An empty wage
// field counts as 0; an empty settings figure cannot be read.
void Hesapla(Record& r, Messages& messages);

// The second line of the invalid-dates message: which date and why (not entered, incomplete, a year
// outside kFirstYear..kLastYear, not in the calendar, exit before entry); nothing when both are valid.
std::optional<std::string> DatesProblem(const std::string& entry, const std::string& exit);

// Years, months and days of service, the notice pay, then the severance amounts. Stops at the first step
// whose text cannot be read; returns false then.
bool KıdemHesapla(Record& r);

// Days of service between two valid date texts, in 30-day months (entry and exit month in calendar days).
double ServiceDays(const std::string& entry, const std::string& exit);

} // namespace pamerol
