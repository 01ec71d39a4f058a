// SPDX-License-Identifier: GPL-3.0-or-later
// Text put into XML or HTML: the one escaping of the workbooks' XML and the archive's HTML pages.
#pragma once

#include <string>
#include <string_view>

namespace pamerol {

// What becomes of the control characters (U+0000 to U+001F) of a text put into markup.
enum class ControlCharacters {
    // All but the tab left out: XML 1.0 has no place for the others, and a cell's paragraph is one line.
    LeftOut,
    // Only the carriage return left out, every other kept: a page keeps the text's line breaks, "\r\n"
    // becoming "\n".
    CarriageReturnLeftOut,
};

// The text with "&", "<", ">" and '"' escaped (fit for an element or an attribute in double quotes) and
// its control characters treated as asked; every other byte as it is.
std::string MarkupText(std::string_view text, ControlCharacters controls);

} // namespace pamerol
