// The calculate command ("&Hesapla") and the severance computation with its notice-pay steps.
#pragma once

#include "messages.h"
#include "record.h"

namespace pamerol {

inline constexpr std::string_view kInvalidDatesMessage = "Personelin Giriş Çıkış Tarihleri Geçersiz.";

// Checks the dates (mode 1), fixes the yearly severance under the ceiling, counts the service days,
// runs KıdemHesapla, reports both payable amounts and enables the printouts.
void Hesapla(Record& r, Messages& messages);

// Years, months and days of service, the notice pay, then the severance amounts. Stops at the first step
// whose text cannot be read; returns false then.
bool KıdemHesapla(Record& r);

// Days of service between two valid date texts, in 30-day months (entry and exit month in calendar days).
double ServiceDays(const std::string& entry, const std::string& exit);

} // namespace pamerol
