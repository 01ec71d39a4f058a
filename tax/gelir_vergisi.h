// SPDX-License-Identifier: GPL-3.0-or-later
// Income tax of one month's base on top of the base already taxed earlier in the year, over a table of
// five bracket limits and six rates. Values cross as texts, as everywhere on the sheet.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace pamerol {

// One row of the bracket table as read: its rate in percent and its upper limit on the year's
// cumulative base; nothing for a figure that cannot be read. limitGiven is false for an empty limit,
// which counts as 0 and ends the table.
struct TaxBracket {
    std::optional<double> rate;
    std::optional<double> limit;
    bool limitGiven = true;
};
using TaxTable = std::array<TaxBracket, 5>;

// The income tax of this month's base on top of the carried base: where it started, the slice of the
// base in each of the six brackets, the tax of each, and the total, none of it rounded.
struct IncomeTax {
    int startBracket = 1;          // 1..6
    std::array<double, 6> slice{}; // bracket k is slice[k-1]; the sixth is everything above the fifth limit
    std::array<double, 6> tax{};
    double total = 0;
};

// Places the base in the brackets from where the carried base ends and taxes each slice at its row's
// rate. A limit that cannot be read counts as 0, a rate that cannot be read taxes its slice at nothing
// (the caller asks UnreadableBracket first), the sixth bracket is taxed at sixthRate, and a negative
// tax counts as 0.
IncomeTax GelirVergisi(double base, double carried, const TaxTable& rows,
                       std::optional<double> sixthRate = std::nullopt);

// The first of rows 1..5, from the first up to the row the year's base (carried + base) ends in, whose
// limit cannot be read, or whose rate cannot be read while the row takes part of the base; rows after an
// empty limit are not asked for. Nothing when every row the base reaches can be used.
struct UnreadableBracket {
    int row;   // 1..5
    bool rate; // the rate (otherwise the limit) cannot be read
};
std::optional<UnreadableBracket> FindUnreadableBracket(double base, double carried, const TaxTable& rows);

// The payroll value store; only the computed income tax is used.
struct YTLHesaplama {
    std::string GVK;
};

// The income-tax calculator. Its bracket table is a copy of the sheet's, refreshed by a settings load.
struct YTLHesap {
    std::string GM;                // this month's taxable base
    std::string GM2;               // taxable base of the earlier months of the year
    std::array<std::string, 5> VD; // upper limits of brackets 1..5 (VD[0] is VD1)
    std::array<std::string, 6> O;  // rates of brackets 1..6 in percent; the sixth is never filled
    std::array<std::string, 6> HM; // slice of GM in each bracket, written by the last run

    // Places GM in the brackets from where GM2 ends and leaves the total tax in out.GVK.
    void GelVerHesapla(YTLHesaplama& out);

    // The table as the calculator reads it.
    TaxTable table() const;
};

} // namespace pamerol
