// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/json.h"

namespace pamerol {

namespace {

// Stands in a JSON string as it is: printable ASCII but the quote and the backslash.
bool Plain(unsigned char c) {
    return c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
}

// The length of the UTF-8 character that begins at s[i] (a byte of 0x80 or more) when it is valid: the
// shortest form, no surrogate, nothing above U+10FFFF. When it is not, 0, and in *invalid the bytes that
// make one U+FFFD: the lead byte and the continuation bytes that could still have begun a character.
size_t Utf8Character(std::string_view s, size_t i, size_t* invalid) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t continuation = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        continuation = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        continuation = 2;
        if (c == 0xE0) low = 0xA0;  // shorter forms
        if (c == 0xED) high = 0x9F; // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        continuation = 3;
        if (c == 0xF0) low = 0x90;  // shorter forms
        if (c == 0xF4) high = 0x8F; // above U+10FFFF
    } else {
        *invalid = 1;
        return 0;
    }
    size_t k = 1;
    for (; k <= continuation && i + k < s.size(); ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) break;
    }
    if (k > continuation) return k;
    *invalid = k;
    return 0;
}

} // namespace

void AppendJsonString(std::string& out, std::string_view s) {
    out += '"';
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (Plain(c)) {
            size_t end = i + 1;
            while (end < s.size() && Plain(static_cast<unsigned char>(s[end]))) ++end;
            out.append(s, i, end - i);
            i = end;
            continue;
        }
        if (c >= 0x80) {
            size_t invalid = 0;
            if (const size_t n = Utf8Character(s, i, &invalid)) {
                out.append(s, i, n);
                i += n;
            } else {
                out += "\xEF\xBF\xBD";
                i += invalid;
            }
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\f': out += "\\f"; break;
        case '\r': out += "\\r"; break;
        default: {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
        }
        ++i;
    }
    out += '"';
}

std::string JsonString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    AppendJsonString(out, text);
    return out;
}

} // namespace pamerol
