// SPDX-License-Identifier: GPL-3.0-or-later
// Income tax of one month's base on top of the base already taxed earlier in the year, over a table of
// five bracket limits and six rates. Values cross as texts, as everywhere on the sheet.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace pamerol {

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

    // A bracket row whose figure a run could not read: rows that cannot be read are quietly taxed at
    // nothing by GelVerHesapla, so a caller that must not pay on a silent gap asks here after a run.
    struct UnreadableRow {
        int row;   // 1..5
        bool rate; // the rate (otherwise the limit) cannot be read
    };
    // After a run: the first of rows 1..5, from the first up to the row the year's base GM2 + GM ends in,
    // whose limit cannot be read, or whose rate cannot be read while the row took part of this month's
    // base. An empty limit counts as 0 and so ends the table: the rows from there on are not asked for,
    // nor is the sixth rate, which is never filled.
    std::optional<UnreadableRow> unreadableRow() const;
};

} // namespace pamerol
