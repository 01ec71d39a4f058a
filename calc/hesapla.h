// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command ("&Hesapla"): the sheet's view of the calculation. It reads the sheet's texts
// once into a case and its legal figures, calls Compute and writes the results once.
#pragma once

#include <optional>
#include <string>

#include "calc/compute.h"
#include "messages.h"
#include "record.h"

namespace pamerol {

inline constexpr std::string_view kInvalidDatesMessage = "Personelin Giriş Çıkış Tarihleri Geçersiz.";

// The years a date of this sheet may have; anything else is taken for a typing mistake.
inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2099;

// Checks the dates (mode 1), reads the case and the figures, calculates, writes every result, reports
// both payable amounts and enables the printouts.
//
// A calculation either completes or changes nothing: when a date is not valid, or a figure it would use
// cannot be read or is out of its range, it shows one message that says which and why, and the results
// and the printouts command stay as they were. An empty wage or carried tax base counts as 0; an empty
// settings figure cannot be read. The bracket rows are read from the fields each time, so an edited
// bracket is used at once.
void Hesapla(Record& r, Messages& messages);

// The second line of the invalid-dates message: which date and why (not entered, incomplete, a year
// outside kFirstYear..kLastYear, not in the calendar, exit before entry); nothing when both are valid.
std::optional<std::string> DatesProblem(const std::string& entry, const std::string& exit);

// The sheet's case and legal figures, read from its texts; the Problem of the first figure that cannot
// be read or is out of its range. The dates must have passed DatesProblem in mode 1.
struct SheetCase {
    CaseInput input;
    LegalFigures law;
};
Expected<SheetCase> ReadSheet(const Record& r);

// Writes a calculation's results into the sheet's result fields (the not-entitled case leaves the
// severance amounts empty) and the calculator's record of the last calculation, and enables the
// printouts. The results must have been emptied first.
void WriteResult(Record& r, const Result& result);

} // namespace pamerol
