#include "conversions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

std::optional<double> FromC(const std::string& c) {
    double v = 0;
    auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
    if (ec != std::errc() || end != c.data() + c.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

} // namespace

std::optional<std::string> NumberText(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    if (x == 0) return std::string("0");
    // to_chars with a precision behaves as printf's "%.15g", only faster.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
    std::string s(buf, res.ptr);
    for (char& c : s) {
        if (c == '.') c = ',';
        if (c == 'e') c = 'E';
    }
    return s;
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view s = Trim(text);
    std::string c; // the same number in the C notation, for from_chars
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') c += '-';
        ++i;
    }
    // Integer part: plain digits, or a first group of one to three followed by ".ddd" groups.
    size_t start = i;
    while (i < s.size() && IsDigit(s[i])) c += s[i++];
    size_t firstGroup = i - start;
    while (i < s.size() && s[i] == '.') {
        if (firstGroup < 1 || firstGroup > 3) return std::nullopt;
        for (size_t k = 1; k <= 3; ++k)
            if (i + k >= s.size() || !IsDigit(s[i + k])) return std::nullopt;
        if (i + 4 < s.size() && IsDigit(s[i + 4])) return std::nullopt;
        c.append(s.substr(i + 1, 3));
        i += 4;
    }
    bool haveDigits = i > start;
    if (i < s.size() && s[i] == ',') {
        ++i;
        c += '.';
        while (i < s.size() && IsDigit(s[i])) {
            c += s[i++];
            haveDigits = true;
        }
    }
    if (!haveDigits) return std::nullopt;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        if (i >= s.size() || (s[i] != '+' && s[i] != '-')) return std::nullopt;
        c += 'e';
        c += s[i++];
        if (i >= s.size() || !IsDigit(s[i])) return std::nullopt;
        while (i < s.size() && IsDigit(s[i])) c += s[i++];
    }
    if (i != s.size()) return std::nullopt;
    if (c == "-" || c.empty()) return std::nullopt;
    if (c.front() == '.' || (c.size() > 1 && c[0] == '-' && c[1] == '.'))
        c.insert(c.front() == '-' ? 1 : 0, "0");
    auto v = FromC(c);
    if (v && *v == 0) v = 0.0; // no negative zero from "-0"
    return v;
}

double LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::string c;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') c += '-';
        ++i;
    }
    bool digits = false;
    while (i < text.size() && IsDigit(text[i])) {
        c += text[i++];
        digits = true;
    }
    if (i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1])) {
        c += '.';
        ++i;
        while (i < text.size() && IsDigit(text[i])) c += text[i++];
        digits = true;
    }
    if (!digits) return 0;
    if (c[0] == '.' || (c[0] == '-' && c[1] == '.')) c.insert(c[0] == '-' ? 1 : 0, "0");
    double v = 0;
    std::from_chars(c.data(), c.data() + c.size(), v);
    if (!std::isfinite(v) || v == 0) return 0;
    return v;
}

std::optional<std::string> AmountText(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    // The 15 significant digits of "%.15G", as a digit string and a decimal exponent.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(x), std::chars_format::scientific, 14);
    *res.ptr = '\0';
    std::string mant;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (IsDigit(*p)) mant += *p;
    int exp10 = std::atoi(p + 1);
    int point = exp10 + 1; // digits of mant before the decimal point
    std::string intPart, frac;
    if (point <= 0) {
        intPart = "0";
        frac = std::string(static_cast<size_t>(-point), '0') + mant;
    } else if (point >= static_cast<int>(mant.size())) {
        intPart = mant + std::string(static_cast<size_t>(point) - mant.size(), '0');
    } else {
        intPart = mant.substr(0, static_cast<size_t>(point));
        frac = mant.substr(static_cast<size_t>(point));
    }
    while (frac.size() < 3) frac += '0';
    bool up = frac[2] >= '5';
    std::string digits = intPart + frac.substr(0, 2);
    if (up) {
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0 && digits[static_cast<size_t>(k)] == '9') digits[static_cast<size_t>(k--)] = '0';
        if (k < 0)
            digits.insert(0, "1");
        else
            ++digits[static_cast<size_t>(k)];
    }
    std::string ip = digits.substr(0, digits.size() - 2);
    size_t nz = ip.find_first_not_of('0');
    ip = nz == std::string::npos ? "0" : ip.substr(nz);
    std::string dec = digits.substr(digits.size() - 2);
    std::string out;
    for (size_t k = 0; k < ip.size(); ++k) {
        if (k > 0 && (ip.size() - k) % 3 == 0) out += '.';
        out += ip[k];
    }
    out += ',';
    out += dec;
    bool zero = ip == "0" && dec == "00";
    if (x < 0 && !zero) out.insert(0, "-");
    return out;
}

std::string ApplyAmountPattern(const std::string& text) {
    auto v = ParseNumber(text);
    if (!v) return text;
    auto t = AmountText(*v);
    return t ? *t : text;
}

std::optional<double> RoundedAsShown(double x) {
    auto t = AmountText(x);
    if (!t) return std::nullopt;
    return ParseNumber(*t);
}

bool IsCalendarDate(int day, int month, int year) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int last = days[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

bool IsValidDateText(std::string_view t) {
    if (t.size() != 10 || t[2] != '.' || t[5] != '.') return false;
    for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!IsDigit(t[i])) return false;
    auto num = [&](size_t a, size_t n) {
        int v = 0;
        for (size_t i = a; i < a + n; ++i) v = v * 10 + (t[i] - '0');
        return v;
    };
    return IsCalendarDate(num(0, 2), num(3, 2), num(6, 4));
}

} // namespace pamerol
