// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/markup.h"

namespace pamerol {

std::string MarkupText(std::string_view text, ControlCharacters controls) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r': break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' ||
                controls == ControlCharacters::CarriageReturnLeftOut)
                out += c;
        }
    }
    return out;
}

} // namespace pamerol
