// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/turkish_fold.h"

namespace pamerol {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t Fold(char32_t c) {
    if (c == U'I') return U'ı';
    if (c == U'İ') return U'i';
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    switch (c) {
    case U'Â':
    case U'â': return U'a';
    case U'Î':
    case U'î': return U'i';
    case U'Û':
    case U'û': return U'u';
    case U'Ğ': return U'ğ';
    case U'Ş': return U'ş';
    default: break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20; // Latin-1 capitals: Ç, Ö, Ü and the rest
    return c;
}

} // namespace

std::string TurkishFold(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            AppendUtf8(out, Fold(b));
            ++i;
            continue;
        }
        // Two- and three-byte sequences hold every letter folded here; anything else is copied as it is.
        const auto cont = [&](size_t k) {
            return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        };
        char32_t c = 0;
        size_t len = 1;
        if ((b & 0xE0) == 0xC0 && b >= 0xC2 && cont(1)) {
            c = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
            len = 2;
        } else if ((b & 0xF0) == 0xE0 && cont(1) && cont(2)) {
            c = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
            len = c >= 0x800 ? 3 : 0;
        }
        if (len < 2) {
            out += s[i];
            ++i;
            continue;
        }
        if (c == 0x307 && !out.empty() && out.back() == 'i') {
            i += len;
            continue;
        }
        AppendUtf8(out, Fold(c));
        i += len;
    }
    return out;
}

} // namespace pamerol
