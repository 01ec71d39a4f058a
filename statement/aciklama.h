// SPDX-License-Identifier: GPL-3.0-or-later
// "Hesap Açıklaması": how every figure of a calculated case was reached, line by line, for the employee,
// the inspector and the court expert. It is built from the sheet's own calculation (the sheet read once
// and calculated by the one pure function), never from a second computation of its own, and every line's
// arithmetic comes out at the figures the tabs show, to the kuruş.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/problem.h"
#include "calc/compute.h"
#include "calc/hesapla.h"
#include "calc/record.h"
#include "figures/yasal_degerler.h"

namespace pamerol {

// What a line of the statement is: the summary at its head, a step of the calculation, a note, a legal
// figure used, or a warning that the sheet's results differ from the calculation.
enum class SatirTuru { Ozet, Adim, Not, YasalDeger, Uyari };

// One line: what it is, the figures it takes (name and text, in order), what comes out, and the law it
// rests on. Amounts are in the amount pattern ("348.607,88"), rounded to the kuruş; a calculation is
// written as its operands, " = " and its rounded outcome ("3 × 1.960,69 = 5.882,07"); day counts as the
// sheet writes them ("1275"); rates as the law writes them ("7,59").
struct AciklamaSatiri {
    std::string baslik;
    std::vector<std::pair<std::string, std::string>> degerler;
    std::string sonuc;
    std::string dayanak; // "1475 sayılı İş Kanunu m. 14"; empty when the line rests on none
    SatirTuru tur = SatirTuru::Adim;

    // The text of a named figure; empty when the line has none of that name.
    const std::string& deger(const std::string& ad) const;
};
using Aciklama = std::vector<AciklamaSatiri>;

// The summary's lines of the payments: the name of each deduction, in the order of the summary's columns.
// A payment whose deduction is not taken shows kAlinmaz there.
inline constexpr std::string_view kOzetBrut = "Brüt";
inline constexpr std::string_view kOzetSgk = "SGK işçi payı";
inline constexpr std::string_view kOzetGelirVergisi = "Gelir vergisi";
inline constexpr std::string_view kOzetDamgaVergisi = "Damga vergisi";
inline constexpr std::string_view kAlinmaz = "—";

// The caption of the rounding figure of a line whose parts are rounded one by one: the shown total minus
// the sum of the shown parts (the total is formed from the unrounded parts).
inline constexpr std::string_view kYuvarlamaFarki = "Yuvarlama farkı";

// The statement of the calculation the sheet carries (Record::hesap): how each of its figures was
// reached. The legal figures used are looked up in the table (null: not available) for the case's date
// (its exit date, or `today`, YYYYMMDD, in the premium-day mode). A Problem when no results are shown.
// Should the sheet's result texts differ from the calculation (a case stored by an older release), a
// last line names each difference.
Expected<Aciklama> HesapAciklamasi(const Record& r, const YasalDegerler* table, int today);

// The statement of a calculation already made from the sheet's case, with where each legal figure came
// from.
Aciklama AciklamaSatirlari(const Record& r, const SheetCase& c, const Result& x, const FigureOrigins& origins,
                           const YasalDegerler* table, int today);

// The currency the statement's amounts are in: "YTL" for a case dated before 01.01.2009, else "TL".
std::string AciklamaParaBirimi(const Record& r, int today);

// The statement as plain text: each line's caption, its figures indented below it, its result, then its
// legal basis.
std::string AciklamaMetni(const Aciklama& aciklama);

} // namespace pamerol
