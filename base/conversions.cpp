// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "base/csv.h"

namespace pamerol {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The exponent after the "e" of to_chars' scientific form ("e+05", "e-308").
int ExponentAt(const char* p) {
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    int v = 0;
    while (*p >= '0' && *p <= '9') v = v * 10 + (*p++ - '0');
    return negative ? -v : v;
}

// The first 15 significant digits of |x| (as "%.15E" would round them) and the decimal exponent of
// the first digit. The shortest text that reads back as x is used when it has at most 15 digits: the
// 15-digit rounding is then that text padded with zeros, and it is much cheaper to get.
int Digits15(double x, char mant[15]) {
    // Whole numbers below 10^15 (day counts, most settings) need no floating-point conversion.
    if (const double a = std::fabs(x); a < 1e15 && a == std::floor(a)) {
        char digits[16] = {};
        auto end = std::to_chars(digits, digits + sizeof digits, static_cast<uint64_t>(a)).ptr;
        const int count = static_cast<int>(end - digits);
        for (int k = 0; k < 15; ++k) mant[k] = k < count ? digits[k] : '0';
        return count - 1;
    }
    // Between 1 and 10^14 the scaled value x * 10^(14-e) in 64-bit long double is within 6e-5 of the
    // exact product, so its rounding to a whole number is the exact 15-digit rounding unless the
    // fraction is near one half; those few values take the general path below.
    if constexpr (std::numeric_limits<long double>::digits >= 64) {
        const double a = std::fabs(x);
        if (a >= 1 && a < 1e14) {
            int e = 0;
            while (e < 13 && a >= kPow10[e + 1]) ++e;
            const long double y = static_cast<long double>(a) * static_cast<long double>(kPow10[14 - e]);
            const long double whole = std::floor(y);
            const long double fraction = y - whole;
            if (fraction < 0.4999L || fraction > 0.5001L) {
                uint64_t r = static_cast<uint64_t>(whole) + (fraction > 0.5L ? 1 : 0);
                if (r >= 1000000000000000ULL) {
                    r /= 10;
                    ++e;
                }
                for (int k = 14; k >= 0; --k) {
                    mant[k] = static_cast<char>('0' + r % 10);
                    r /= 10;
                }
                return e;
            }
        }
    }
    char buf[40];
    // The exact 15-digit rounding, as printf does it: slower, so only where the cheap ways cannot tell.
    auto exact = [&] {
        auto res = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(x), std::chars_format::scientific, 14);
        *res.ptr = '\0';
        mant[0] = buf[0];
        for (int k = 1; k < 15; ++k) mant[k] = buf[k + 1];
        return ExponentAt(buf + 17);
    };
    // Subnormal values carry fewer than 15 digits: their shortest text says nothing about the rounding.
    if (std::fabs(x) < std::numeric_limits<double>::min()) return exact();
    auto res = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(x), std::chars_format::scientific);
    *res.ptr = '\0';
    const char* e = buf;
    while (*e != 'e') ++e;
    const int count = e - buf > 1 ? static_cast<int>(e - buf) - 1 : 1; // digits without the "."
    int exp10 = ExponentAt(e + 1);
    char d[17];
    d[0] = buf[0];
    for (int k = 1; k < count; ++k) d[k] = buf[k + 1];
    if (count <= 15) {
        for (int k = 0; k < 15; ++k) mant[k] = k < count ? d[k] : '0';
        return exp10;
    }
    // 16 or 17 shortest digits: no 15-digit rounding boundary lies between x and its shortest text,
    // unless that text is itself on the boundary (16 digits ending in 5); only then ask for the
    // exact rounding.
    if (count == 16 && d[15] == '5') return exact();
    for (int k = 0; k < 15; ++k) mant[k] = d[k];
    if (d[15] >= '5') {
        int k = 14;
        while (k >= 0 && mant[k] == '9') mant[k--] = '0';
        if (k >= 0) {
            ++mant[k];
        } else {
            mant[0] = '1';
            ++exp10;
        }
    }
    return exp10;
}

// A number of at most 15 significant digits and 22 decimals, without exponent, is one exact integer
// divided by one exact power of ten: a single correctly rounded division gives the same double as
// from_chars, much faster.
bool ExactlyRepresented(const char* p, const char* end, double& out) {
    bool negative = *p == '-';
    if (negative) ++p;
    uint64_t m = 0;
    int significant = 0, decimals = 0;
    bool fraction = false;
    for (; p < end; ++p) {
        if (*p == '.') {
            fraction = true;
            continue;
        }
        if (*p < '0' || *p > '9') return false; // an exponent
        if (m == 0 && *p == '0') {
            if (fraction) ++decimals;
            continue;
        }
        if (++significant > 15) return false;
        m = m * 10 + static_cast<uint64_t>(*p - '0');
        if (fraction) ++decimals;
    }
    if (decimals > 22) return false;
    double v = static_cast<double>(m) / kPow10[decimals];
    out = negative ? -v : v;
    return true;
}

} // namespace

std::optional<std::string> NumberText(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    if (x == 0) return std::string("0");
    // "%.15G" with "," for the point: plain notation for exponents -4..14, otherwise d,dddE+xx.
    char mant[15];
    const int exp10 = Digits15(x, mant);
    int n = 15;
    while (n > 1 && mant[n - 1] == '0') --n;
    std::string out;
    out.reserve(24);
    if (x < 0) out += '-';
    if (exp10 < -4 || exp10 >= 15) {
        out += mant[0];
        if (n > 1) {
            out += ',';
            out.append(mant + 1, static_cast<size_t>(n - 1));
        }
        out += exp10 < 0 ? "E-" : "E+";
        int a = exp10 < 0 ? -exp10 : exp10;
        if (a < 10) out += '0';
        out += std::to_string(a);
    } else if (exp10 >= 0) {
        for (int k = 0; k <= exp10; ++k) out += k < n ? mant[k] : '0';
        if (n > exp10 + 1) {
            out += ',';
            out.append(mant + exp10 + 1, static_cast<size_t>(n - exp10 - 1));
        }
    } else {
        out += "0,";
        out.append(static_cast<size_t>(-exp10 - 1), '0');
        out.append(mant, static_cast<size_t>(n));
    }
    return out;
}

namespace {

// The common case in one pass: sign, digits (grouped or not), a decimal part, no exponent, at most 15
// significant digits. Returns false when the text needs the general reading (or is not a number: the
// general reading then says so).
bool ParsePlain(std::string_view s, double& out) {
    size_t i = 0;
    const size_t n = s.size();
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    uint64_t m = 0;
    int significant = 0, decimals = 0;
    auto digit = [&](char c, bool fraction) {
        if (m == 0 && c == '0') {
            if (fraction) ++decimals;
            return;
        }
        m = m * 10 + static_cast<uint64_t>(c - '0');
        ++significant;
        if (fraction) ++decimals;
    };
    const size_t start = i;
    while (i < n && IsDigit(s[i])) digit(s[i++], false);
    const size_t firstGroup = i - start;
    while (i < n && s[i] == '.') {
        if (firstGroup < 1 || firstGroup > 3 || i + 3 >= n) return false;
        if (!IsDigit(s[i + 1]) || !IsDigit(s[i + 2]) || !IsDigit(s[i + 3])) return false;
        if (i + 4 < n && IsDigit(s[i + 4])) return false;
        digit(s[i + 1], false);
        digit(s[i + 2], false);
        digit(s[i + 3], false);
        i += 4;
    }
    bool haveDigits = i > start;
    if (i < n && s[i] == ',') {
        ++i;
        while (i < n && IsDigit(s[i])) {
            digit(s[i++], true);
            haveDigits = true;
        }
    }
    if (!haveDigits || i != n || significant > 15 || decimals > 22) return false;
    const double v = static_cast<double>(m) / kPow10[decimals];
    out = negative && v != 0 ? -v : v;
    return true;
}

} // namespace

std::optional<double> amount_forms::Sheet(std::string_view text) {
    double plain;
    if (ParsePlain(Trim(text), plain)) return plain;
    const std::string_view s = Trim(text);
    // The same number in the C notation for from_chars: at most the text's length plus a sign and a "0".
    char small[128];
    std::string large;
    char* c = small;
    if (s.size() + 3 > sizeof small) {
        large.resize(s.size() + 3);
        c = large.data();
    }
    char* const begin = c;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') *c++ = '-';
        ++i;
    }
    *c++ = '0'; // so that ",5" reads as 0.5
    // Integer part: plain digits, or a first group of one to three followed by ".ddd" groups.
    const size_t start = i;
    while (i < s.size() && IsDigit(s[i])) *c++ = s[i++];
    const size_t firstGroup = i - start;
    while (i < s.size() && s[i] == '.') {
        if (firstGroup < 1 || firstGroup > 3) return std::nullopt;
        for (size_t k = 1; k <= 3; ++k)
            if (i + k >= s.size() || !IsDigit(s[i + k])) return std::nullopt;
        if (i + 4 < s.size() && IsDigit(s[i + 4])) return std::nullopt;
        for (size_t k = 1; k <= 3; ++k) *c++ = s[i + k];
        i += 4;
    }
    bool haveDigits = i > start;
    if (i < s.size() && s[i] == ',') {
        ++i;
        *c++ = '.';
        while (i < s.size() && IsDigit(s[i])) {
            *c++ = s[i++];
            haveDigits = true;
        }
    }
    if (!haveDigits) return std::nullopt;
    // The exponent exactly as NumberText writes it: "E", a sign, two or more digits.
    if (i < s.size() && s[i] == 'E') {
        ++i;
        if (i >= s.size() || (s[i] != '+' && s[i] != '-')) return std::nullopt;
        *c++ = 'e';
        *c++ = s[i++];
        const size_t digitsStart = i;
        while (i < s.size() && IsDigit(s[i])) *c++ = s[i++];
        if (i - digitsStart < 2) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    double v = 0;
    if (ExactlyRepresented(begin, c, v)) return v == 0 ? 0.0 : v;
    auto [end, ec] = std::from_chars(begin, c, v);
    if (ec != std::errc() || end != c || !std::isfinite(v)) return std::nullopt;
    return v == 0 ? 0.0 : v; // no negative zero from "-0"
}

std::optional<double> amount_forms::Leading(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    const size_t begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t digitsStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i > digitsStart && i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1])) {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
    }
    if (i == digitsStart) return std::nullopt;
    // The same prefix in the C notation, without a "+".
    std::string c;
    c.reserve(i - begin);
    if (text[begin] == '-') c += '-';
    c.append(text.substr(digitsStart, i - digitsStart));
    double v = 0;
    std::from_chars(c.data(), c.data() + c.size(), v);
    if (!std::isfinite(v)) return std::nullopt;
    return v == 0 ? 0.0 : v;
}

std::optional<double> amount_forms::Table(std::string_view text) {
    text = CellTrimmed(text);
    for (std::string_view unit : {"YTL", "ytl", "TL", "tl", "Tl", "\xE2\x82\xBA"}) {
        if (text.size() > unit.size() && text.substr(text.size() - unit.size()) == unit) {
            text = CellTrimmed(text.substr(0, text.size() - unit.size()));
            break;
        }
    }
    if (text.empty()) return std::nullopt;
    const auto dots = std::count(text.begin(), text.end(), '.');
    const bool comma = text.find(',') != std::string_view::npos;
    // A plain number with a decimal point ("12345.67", "0.5").
    if (!comma && dots == 1 && text.size() - text.find('.') - 1 != 3) {
        std::string turkish(text);
        turkish[turkish.find('.')] = ',';
        return Sheet(turkish);
    }
    return Sheet(text);
}

std::optional<std::string> AmountText(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    // The 15 significant digits of "%.15G" and the decimal exponent of the first one.
    char mant[15];
    const int point = x == 0 ? 1 : Digits15(x, mant) + 1; // digits before the decimal point
    if (x == 0) std::fill(mant, mant + 15, '0');
    // The integer digits and three decimals, in decimal, then rounded half away from zero on the third.
    // One extra leading digit takes the carry of the rounding.
    const int intLen = (point > 0 ? point : 1) + 1;
    const int shift = intLen - point; // zeros before the first significant digit
    char d[400];
    const int len = intLen + 3;
    for (int j = 0; j < len; ++j) {
        int m = j - shift;
        d[j] = m >= 0 && m < 15 ? mant[m] : '0';
    }
    if (d[len - 1] >= '5') {
        int k = len - 2;
        while (d[k] == '9') d[k--] = '0';
        ++d[k];
    }
    // Integer digits without leading zeros (at least one), grouped by three with ".".
    const char* ip = d;
    int ipLen = intLen;
    while (ipLen > 1 && *ip == '0') ++ip, --ipLen;
    const bool zero = ipLen == 1 && ip[0] == '0' && d[intLen] == '0' && d[intLen + 1] == '0';
    std::string out;
    out.reserve(static_cast<size_t>(ipLen + ipLen / 3 + 5));
    if (x < 0 && !zero) out += '-';
    for (int k = 0; k < ipLen; ++k) {
        if (k > 0 && (ipLen - k) % 3 == 0) out += '.';
        out += ip[k];
    }
    out += ',';
    out += d[intLen];
    out += d[intLen + 1];
    return out;
}

std::string ApplyAmountPattern(const std::string& text) {
    auto v = ParseNumber(text);
    if (!v) return text;
    auto t = AmountText(*v);
    return t ? *t : text;
}

std::string KurusText(std::int64_t kurus) {
    return AmountText(static_cast<double>(kurus) / 100).value_or("");
}

std::optional<std::int64_t> KurusAsShown(double x) {
    if (!std::isfinite(x) || std::fabs(x) >= 1e13) return std::nullopt;
    if (x == 0) return 0;
    // The thousandths of |x| on its 15 digits, rounded half away from zero on the third decimal, as
    // AmountText rounds them.
    char mant[15];
    const int point = Digits15(x, mant) + 1; // digits before the decimal point
    std::int64_t thousandths = 0;
    for (int j = 0; j < point + 3; ++j) thousandths = thousandths * 10 + (j < 15 ? mant[j] - '0' : 0);
    const std::int64_t kurus = thousandths / 10 + (thousandths % 10 >= 5 ? 1 : 0);
    return x < 0 ? -kurus : kurus;
}

double Significant15(double x) {
    if (!std::isfinite(x) || x == 0) return x == 0 ? 0.0 : x;
    char mant[15];
    const int exp10 = Digits15(x, mant);
    int n = 15;
    while (n > 1 && mant[n - 1] == '0') --n;
    uint64_t m = 0;
    for (int k = 0; k < n; ++k) m = m * 10 + static_cast<uint64_t>(mant[k] - '0');
    // The value is m * 10^scale. With an exact power of ten one correctly rounded operation gives the
    // double ParseNumber reads; beyond them the C reading of the same digits does.
    const int scale = exp10 - (n - 1);
    double v = 0;
    if (scale >= 0 && scale <= 22) {
        v = static_cast<double>(m) * kPow10[scale];
    } else if (scale < 0 && scale >= -22) {
        v = static_cast<double>(m) / kPow10[-scale];
    } else {
        char buf[48];
        auto digits = std::to_chars(buf, buf + 20, m); // at most 15 digits
        *digits.ptr = 'e';
        auto exponent = std::to_chars(digits.ptr + 1, buf + sizeof buf, scale);
        std::from_chars(buf, exponent.ptr, v);
    }
    return x < 0 ? -v : v;
}

} // namespace pamerol
