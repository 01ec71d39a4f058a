// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/spreadsheet.h"

#include "base/conversions.h"

namespace pamerol {

// "=" always starts a formula. A leading "+", "-" or "@" starts one when typed into a cell in many
// spreadsheet programs, unless the text is a plain number such as "-2,68"; LibreOffice's own input
// keeps them as text today, but the workbook may later be opened elsewhere.
bool TakenAsFormula(std::string_view text) {
    if (text.empty()) return false;
    const char c = text.front();
    if (c == '=') return true;
    if (c == '+' || c == '-') return !ParseNumber(text).has_value();
    return c == '@';
}

bool Spreadsheet::writeBlock(std::string_view /*range*/, const std::vector<BlockCell>& cells) {
    bool all = true;
    for (const BlockCell& c : cells) {
        if (const auto* text = std::get_if<std::string>(&c.value))
            all = write(c.cell, *text, WriteMode::Literal) && all;
        else
            all = writeNumber(c.cell, std::get<double>(c.value)) && all;
    }
    return all;
}

} // namespace pamerol
