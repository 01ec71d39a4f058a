// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/spreadsheet.h"

#include <cctype>
#include <cstdlib>

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

// The column letters of a column (0 for A).
std::string ColumnLetters(int column) {
    std::string letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters;
}

std::vector<int> Spreadsheet::textHeights(std::string_view range, const std::vector<std::string>& texts) {
    std::vector<int> heights;
    for (const std::string& text : texts) heights.push_back(textHeight(range, text));
    return heights;
}

bool Spreadsheet::writeBlock(std::string_view topLeft, const std::vector<std::vector<std::string>>& rows) {
    size_t letters = 0;
    int column = 0;
    for (; letters < topLeft.size() && std::isalpha(static_cast<unsigned char>(topLeft[letters])); ++letters)
        column = column * 26 + (std::toupper(static_cast<unsigned char>(topLeft[letters])) - 'A' + 1);
    const int first = std::atoi(std::string(topLeft.substr(letters)).c_str());
    if (letters == 0 || first < 1) return false;
    bool ok = true;
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].empty())
                ok = write(ColumnLetters(column - 1 + static_cast<int>(c)) +
                               std::to_string(first + static_cast<int>(r)),
                           rows[r][c], WriteMode::Text) &&
                     ok;
    return ok;
}

bool Spreadsheet::writeCells(std::string_view /*range*/, const std::vector<BlockCell>& cells) {
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
