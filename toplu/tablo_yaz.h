// SPDX-License-Identifier: GPL-3.0-or-later
// The results table of many employees: one row per row of the clerk's table in the same order, with the
// particulars, the inputs as the sheet used them, every result of both tabs, the figures used, the
// warnings and the reason a row was not calculated; then a totals row.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/compute.h"
#include "calc/record.h"

namespace pamerol {

struct SonucSatiri {
    size_t sira = 0;                           // the row's place in the clerk's table (1, 2, ...)
    std::array<std::string, kFieldCount> alan; // the sheet's texts after the calculation
    std::optional<Result> sonuc;               // the calculation's figures; none when it was not made
    bool hesaplandi = false;                   // false: the results stay empty and "Hata" says why
    std::string uyari;                         // the legal figures that are not the law of the exit date
    std::string hata;
};

// The fields of the table's columns after "Sıra", in order.
const std::vector<Field>& SonucAlanlari();

// The amount columns the totals row adds up (the results in the amount pattern).
const std::vector<Field>& ToplananAlanlar();

// The column titles: "Sıra", the fields' captions (the two tabs' "Toplam Gün" and "Damga Vergisi" named
// by their tab: "Kıdem Toplam Gün", "İhbar Damga Vergisi"), "Uyarı", "Hata".
std::vector<std::string> SonucBasliklari();

// The sum of the calculations' amounts of the column as shown, in kuruş, in the amount pattern; rows not
// calculated count nothing.
std::string Toplam(const std::vector<SonucSatiri>& satirlar, Field f);

// The table as CSV: ";" between cells, every cell quoted, UTF-8 with a byte-order mark, CR LF line ends,
// the totals row last ("TOPLAM" under "Sıra"). A cell that a spreadsheet would take for a formula (it
// starts with "=", "+", "-", "@", a tab or a carriage return) gets a leading "'".
std::string SonucCsv(const std::vector<SonucSatiri>& satirlar);

// The summary of a run: label and value, one line each ("Okunan tablo", "Hesaplanan", ...). The companion
// prints it; the workbook holds it on its sheet "Özet".
using Ozet = std::vector<std::pair<std::string, std::string>>;

// The name of the workbook's sheet of results.
inline constexpr std::string_view kSonucSayfasi = "Sonuçlar";

// The table as a flat ODF spreadsheet for the office to save as .xlsx or .ods: the sheet "Sonuçlar" with
// the header row in bold, amounts, day counts and figures as number cells (amounts with thousands grouping
// and two decimals, in Turkish), dates as date cells, every text as a text cell (never a formula), column
// widths that fit the longest text, and the totals row with real SUM formulas over the rows; then the
// sheet "Özet" with the summary.
std::string SonucFods(const std::vector<SonucSatiri>& satirlar, const Ozet& ozet);

// A cell quoted for CSV, defused as above.
std::string CsvHucresi(std::string_view text);

} // namespace pamerol
