// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_io.h"

namespace pamerol {

std::string Excerpt(std::string_view text) {
    constexpr std::size_t kMax = 100;
    std::size_t chars = 0, i = 0;
    for (; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue; // inside a letter
        if (chars++ == kMax) return std::string(text.substr(0, i)) + "…";
    }
    return std::string(text);
}

} // namespace pamerol
