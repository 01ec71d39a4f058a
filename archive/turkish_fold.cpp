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

// Calls visit(c, bytes) for each code point of up to three bytes, and visit(0, bytes) for anything else
// (invalid bytes and four-byte sequences), which the caller copies as it is.
template <typename Visit> void EachCodePoint(std::string_view s, Visit visit) {
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const auto cont = [&](size_t k) {
            return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        };
        char32_t c = b;
        size_t len = 1;
        if (b >= 0x80) {
            len = 0;
            if ((b & 0xE0) == 0xC0 && b >= 0xC2 && cont(1)) {
                c = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
                len = 2;
            } else if ((b & 0xF0) == 0xE0 && cont(1) && cont(2)) {
                c = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                    (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
                len = c >= 0x800 ? 3 : 0;
            }
            if (len == 0) {
                visit(char32_t{0}, s.substr(i, 1));
                ++i;
                continue;
            }
        }
        visit(c, s.substr(i, len));
        i += len;
    }
}

char32_t TurkishLower(char32_t c) {
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

// The plain base letter of a small or capital letter, in lower case.
char32_t PlainLower(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7) {
        // Latin-1 letters from À to ÿ, capitals and small letters alike.
        static constexpr char32_t kBase[32] = {
            U'a', U'a', U'a', U'a', U'a', U'a', U'æ', U'c', U'e', U'e', U'e', U'e', U'i', U'i', U'i', U'i',
            U'ð', U'n', U'o', U'o', U'o', U'o', U'o', 0,    U'o', U'u', U'u', U'u', U'u', U'y', U'þ', U'ß'};
        const char32_t base = kBase[(c - 0xC0) & 0x1F];
        if (c == 0xFF) return U'y';
        return base;
    }
    switch (c) {
    case U'Ğ':
    case U'ğ': return U'g';
    case U'İ':
    case U'ı': return U'i';
    case U'Ş':
    case U'ş': return U's';
    default: return c;
    }
}

bool IsCombiningMark(char32_t c) {
    return c >= 0x300 && c <= 0x36F;
}

// Replaces the last letter of out (one or two bytes) by `with` when it is `last`.
bool ReplaceLast(std::string& out, std::string_view last, char32_t with) {
    if (out.size() < last.size() || out.compare(out.size() - last.size(), last.size(), last) != 0)
        return false;
    out.resize(out.size() - last.size());
    AppendUtf8(out, with);
    return true;
}

// A base letter and a combining mark that make one Turkish letter (or a circumflex letter, which folds to
// its base): true when out's last letter took the mark.
bool Compose(std::string& out, char32_t mark) {
    switch (mark) {
    case 0x307: // dot above: "I" (already "ı") or "i" with a dot is "i"
        return ReplaceLast(out, "ı", U'i') || ReplaceLast(out, "i", U'i');
    case 0x327: // cedilla
        return ReplaceLast(out, "c", U'ç') || ReplaceLast(out, "s", U'ş');
    case 0x306: // breve
        return ReplaceLast(out, "g", U'ğ');
    case 0x308: // diaeresis
        return ReplaceLast(out, "o", U'ö') || ReplaceLast(out, "u", U'ü');
    case 0x302: // circumflex: â, î, û fold to their base letters
        return ReplaceLast(out, "a", U'a') || ReplaceLast(out, "ı", U'i') || ReplaceLast(out, "i", U'i') ||
               ReplaceLast(out, "u", U'u');
    default: return false;
    }
}

} // namespace

std::string TurkishFold(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    EachCodePoint(s, [&](char32_t c, std::string_view bytes) {
        if (c == 0)
            out += bytes;
        else if (!(IsCombiningMark(c) && Compose(out, c)))
            AppendUtf8(out, TurkishLower(c));
    });
    return out;
}

std::string PlainFold(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    EachCodePoint(s, [&](char32_t c, std::string_view bytes) {
        if (c == 0)
            out += bytes;
        else if (!IsCombiningMark(c))
            AppendUtf8(out, PlainLower(c));
    });
    return out;
}

} // namespace pamerol
