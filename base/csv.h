// SPDX-License-Identifier: GPL-3.0-or-later
// A cell of a CSV file the program writes for a spreadsheet program to open.
#pragma once

#include <string>
#include <string_view>

namespace pamerol {

// The text quoted, its quotes doubled, and defused: a text that begins with "=", "+", "-", "@", a TAB or
// a CR, which a spreadsheet program would evaluate as a formula, gets a leading "'".
std::string CsvCell(std::string_view text);

} // namespace pamerol
