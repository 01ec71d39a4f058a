// SPDX-License-Identifier: GPL-3.0-or-later
// Workbooks through a headless office of this run's own: a workbook (.xlsx, .xls, .ods) read as CSV (its
// first sheet as ";"-separated UTF-8 text, each cell by its stored value in the Turkish notation whatever
// its format: numbers with all their decimals and no grouping, dates as "GG.AA.YYYY", formulas as their
// values), and a results workbook saved from a flat ODF spreadsheet.
#pragma once

#include <string>

#include "base/problem.h"
#include "kitap_gorunumu.h"

namespace pamerol {

// Whether the file's name ends as a workbook the office reads (.xlsx, .xls, .ods; any letter case).
bool IsWorkbook(const std::string& path);

// The CSV bytes of the workbook's first sheet; a Problem when the office cannot be started or cannot read
// the file (not a workbook, password-protected, damaged), or when the file is not given to it: an .xlsx or
// .ods that unpacks to more than 256 MB or whose zip directory is damaged, a workbook that is no zip over
// 64 MB. The office reads under a 4 GB limit of memory. The message is the reason, which the caller's
// sentence about the file quotes.
// With asShown, every cell is read as its format shows it instead.
Expected<std::string> WorkbookAsCsv(const std::string& path, bool asShown = false);

// The bytes of a workbook that the office saves from a flat ODF spreadsheet, in the format the target's
// name ends with (.xlsx or .ods; the target itself is not written), opening with the panes frozen (a
// workbook that cannot be given its view is still the workbook); a Problem with the reason, as
// WorkbookAsCsv, when the office cannot be started or cannot save it.
Expected<std::string> WorkbookFromFods(const std::string& fods, const std::string& target,
                                       const DonukBolme& donuk);

} // namespace pamerol
