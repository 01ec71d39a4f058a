// SPDX-License-Identifier: GPL-3.0-or-later
// A cell of a CSV file: as the program writes it for a spreadsheet program to open, and as one is read
// from a clerk's table.
#pragma once

#include <string>
#include <string_view>

namespace pamerol {

// The text quoted, its quotes doubled, and defused: a text that begins with "=", "+", "-", "@", a TAB or
// a CR, which a spreadsheet program would evaluate as a formula, gets a leading "'".
std::string CsvCell(std::string_view text);

// A cell's text without what a spreadsheet leaves around it: spaces, tabs and line breaks, then the
// no-break spaces (U+00A0) some spreadsheets write between thousands or before "TL".
std::string_view CellTrimmed(std::string_view text);

} // namespace pamerol
