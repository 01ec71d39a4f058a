// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/csv.h"

namespace pamerol {

std::string CsvCell(std::string_view text) {
    std::string out = "\"";
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' ||
                          text[0] == '\t' || text[0] == '\r'))
        out += '\'';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string_view CellTrimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    while (s.size() >= 2 && s.substr(0, 2) == "\xC2\xA0") s.remove_prefix(2);
    while (s.size() >= 2 && s.substr(s.size() - 2) == "\xC2\xA0") s.remove_suffix(2);
    return s;
}

} // namespace pamerol
