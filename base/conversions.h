// SPDX-License-Identifier: GPL-3.0-or-later
// Number and date texts as the sheet shows them: Turkish notation, "." groups thousands and "," comes
// before the decimals. Every number the program reads from or writes to a field goes through here, so
// that all parts agree on how a text becomes a number and back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/date.h"

namespace pamerol {

// A number as plain text without grouping: the C conversion "%.15G" with "," for the decimal point and
// no trailing zeros ("1276", "0,3", "3733,33333333333", "1E+15"). Negative zero gives "0". A value that
// is not finite has no text; callers treat it as a failed computation.
std::optional<std::string> NumberText(double x);

// The forms of a number text ReadAmount accepts.
enum class AmountForms {
    // The whole text in the Turkish notation: blanks around, an optional sign, digits with "." only
    // between groups of exactly three, an optional "," with digits, an optional exponent "E+nn"/"E-nn".
    Sheet,
    // The number a text begins with after leading blanks: sign, digits, "." and digits; a "," ends it.
    // Nothing when the text begins with no number.
    Leading,
    // An amount as a clerk's table holds it, blanks and no-break spaces around it left out (CellTrimmed):
    // the sheet's notation, also with "TL", "YTL" or "₺" after it, or a plain number "12345.67" /
    // "12345,67". One "." without a "," is the decimal point unless exactly three digits follow it:
    // "12.345" is Turkish grouping, as a clerk means it.
    Table,
};

// The forms one by one, for ReadAmount, which chooses among them where it is called: the field reading
// is as fast as a call of its own.
namespace amount_forms {
std::optional<double> Sheet(std::string_view text);
std::optional<double> Leading(std::string_view text);
std::optional<double> Table(std::string_view text);
} // namespace amount_forms

// The number a text holds in the given forms; nothing for any other text. Negative zero reads as 0.
inline std::optional<double> ReadAmount(std::string_view text, AmountForms forms) {
    switch (forms) {
    case AmountForms::Sheet: return amount_forms::Sheet(text);
    case AmountForms::Leading: return amount_forms::Leading(text);
    case AmountForms::Table: return amount_forms::Table(text);
    }
    return std::nullopt;
}

// ReadAmount in the sheet's notation, the reading of every field.
inline std::optional<double> ParseNumber(std::string_view text) {
    return ReadAmount(text, AmountForms::Sheet);
}

// A value in the amount pattern "##,###,###,##0.00": rounded to two decimals half away from zero on its
// 15-digit decimal form, "." between thousands, "," before the two decimals. Not finite: no text.
std::optional<std::string> AmountText(double x);

// Applies the amount pattern to a field's text: a text ParseNumber reads becomes that number in the
// pattern; an unreadable text (or an empty one) stays as it is.
std::string ApplyAmountPattern(const std::string& text);

// The amount pattern's rounding in whole kuruş: the number AmountText shows, times 100. Nothing when x is not
// finite or 10^13 or more away from zero (no amount of the sheet is that large).
std::optional<std::int64_t> KurusAsShown(double x);

// A whole number of kuruş in the amount pattern ("6.817,13").
std::string KurusText(std::int64_t kurus);

// x as a field holds it once written and read back (ParseNumber(NumberText(x))): the nearest double to
// x rounded to 15 significant digits, worked out without a text. Not finite: x itself.
double Significant15(double x);

} // namespace pamerol
