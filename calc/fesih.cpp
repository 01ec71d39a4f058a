// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/fesih.h"

#include <algorithm>
#include <cctype>

namespace pamerol {

namespace {

std::string_view Trimmed(std::string_view t) {
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
    return t;
}

bool SameCode(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

const TerminationReason* TerminationReasonOf(std::string_view text) {
    text = Trimmed(text);
    for (const TerminationReason& r : kTerminationReasons)
        if (SameCode(text, r.code) || text == r.caption) return &r;
    return nullptr;
}

} // namespace pamerol
