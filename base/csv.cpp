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

} // namespace pamerol
