// SPDX-License-Identifier: GPL-3.0-or-later
// The legal figures by period: a table shipped beside the program (yasal-degerler.csv) that says which
// stamp-duty rate, severance ceiling, income-tax brackets and notice days were in force on a date, with
// the sources each figure was read from. The program fills the "Sabitler" fields from it on request and
// points out a ceiling that differs from the one in force on the exit date; it never writes the settings
// file on its own.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/problem.h"
#include "calc/fields.h"
#include "calc/hesapla.h"
#include "calc/record.h"

namespace pamerol {

// The table's file name, beside the executables.
inline constexpr std::string_view kYasalDegerlerDosyasi = "yasal-degerler.csv";

// The table's path: the program's folder followed by "/yasal-degerler.csv".
std::string YasalDegerlerYolu(const std::string& programFolder);

// The settings fields the table fills: the legal figures of the "Sabitler" tab, in its order.
inline constexpr const auto& kYasalAlanlar = kFigureFields;

// A date as the number YYYYMMDD, so that dates compare as numbers. Nothing for a text that is not a
// calendar date "DD.MM.YYYY".
std::optional<int> DateKey(std::string_view text);
// The date text "DD.MM.YYYY" of a key.
std::string DateText(int key);

// One row: a field's value over a period.
struct YasalDeger {
    Field field;
    int start;              // first day in force (YYYYMMDD)
    std::optional<int> end; // last day in force; none: until a new rule
    std::string value;      // in the sheet's notation ("2030,19", "7,59"); empty for a period no source gives
    std::string status;     // "2+", "1", either followed by " ƒ", or "✗" for a period without a value
    std::string sources;    // addresses, separated by blanks
    int line;               // line of the file, for messages
};

class YasalDegerler {
  public:
    // Reads the table from its text. A row that cannot be used (a wrong number of columns, an unknown
    // field, a date that is not in the calendar, an end before the start, a value the sheet cannot
    // read, a value with status "✗" or a gap without it, a value without a source, a period that
    // overlaps another of the same field) makes the whole table unusable: a Problem whose message is
    // "satır N: " and the reason. Lines starting with "#" and blank lines are skipped; the first other
    // line is the header.
    static Expected<YasalDegerler> Parse(std::string_view text);

    // Parse on the file's contents; the message begins with the path. A file that cannot be read is a
    // Problem too. The caller's sentence quotes the message ("Yasal değerler tablosu okunamadı: ...").
    static Expected<YasalDegerler> Load(const std::string& path);

    // The row of the field in force on the date, a gap row included; null when no row covers the date.
    const YasalDeger* inForce(Field f, int date) const;

    const std::vector<YasalDeger>& rows() const { return rows_; }

  private:
    std::vector<YasalDeger> rows_;
};

// What fetching the figures for a date did.
struct Getirilen {
    std::vector<Field> filled;  // written from the table (the text may have been there already)
    std::vector<Field> missing; // the table has no value for the date: the field is left as it is
    std::string message;        // the one message naming both, for the clerk
};

// The message when the figures are asked for without a date to fetch them for.
inline constexpr std::string_view kCikisTarihiGerekli =
    "Yasal değerler çıkış tarihine göre getirilir: önce geçerli bir çıkış tarihi girin.";

// The exit date to fetch the figures for: CTarih in the dates mode, when it is a calendar date.
std::optional<int> CikisTarihi(const Record& r);

// How a figure the law sets only as a minimum (AsgariYasalDeger) is written from the table.
enum class AsgariKurali {
    Yazilir,   // like every other figure: the statutory one replaces what the field holds (the clerk's
               // own command that fetches the law's figures into "Sabitler")
    Yukseltir, // raised to the statutory figure when the field holds less, kept when it holds more (a
               // contract's days): the figures of a case's date
};

// Writes the figures in force on the date into the settings fields through Record::write, as if the
// clerk had typed them, so that their change rules run (the results clear). A field for which keep
// answers true is neither written nor counted as missing (the caller was given its value, or the clerk
// typed it for this case); a field the table lacks for the date keeps its text. The caller then
// refreshes the income-tax calculator's copy of the brackets, as a settings load does.
Getirilen YasalDegerleriYaz(Record& r, const YasalDegerler& table, int date,
                            const std::function<bool(Field)>& keep = {},
                            AsgariKurali asgari = AsgariKurali::Yazilir);

// What taking the figures of a case's date did, for its result.
struct YasalRapor {
    std::optional<int> date; // the date the figures are for; none: nothing was applied
    std::vector<std::pair<Field, std::string>> filled;
    std::vector<Field> missing;
    std::string message;
};

// The one step that gives a case, before it is calculated, the legal figures in force on its date (the
// window's calculation, the companion's --yasal-degerler with or without a settings file, and a table of
// employees alike): nothing without a date, with the message that asks for one; otherwise
// YasalDegerleriYaz with the statutory minimums raising a lower figure and keeping a contract's higher
// one (AsgariKurali::Yukseltir), reported with the texts written. The employer's particulars are no legal
// figure and stay as the settings gave them. The origins of the figures written are set to the table's
// row (its period and sources) when asked.
YasalRapor TarihinYasalDegerleriniUygula(Record& r, const YasalDegerler& table, std::optional<int> date,
                                         const std::function<bool(Field)>& keep,
                                         FigureOrigins* origins = nullptr);

// What the table says of the severance ceiling on a date: the ceiling in force, or, for a period no
// source gives or a date the table does not reach, the last ceiling it holds before the date and the
// period it lacks. The calculation takes it from Record::tavanTablosu.
CeilingInForce TarihinTavani(const YasalDegerler& table, int date);

// A row's period as the clerk reads it: "01.07.2007 – 31.12.2007", "01.01.2026 – yeni düzenlemeye kadar".
std::string DonemMetni(const YasalDeger& row);

// After a calculation: "Çıkış tarihinde geçerli tavan 2.030,19; hesapta 1.960,69 kullanıldı." when the
// table has a ceiling for the exit date and the sheet's TAV (rounded to kuruş) differs from it;
// "Çıkış tarihindeki tavan tabloda yok; hesapta 64.948,77 kullanıldı." when the table has none for the
// date (a period no source gives, or a date the table does not reach); nothing for an unreadable TAV.
std::optional<std::string> TavanUyarisi(const YasalDegerler& table, int exitDate, const std::string& tav);

// For exits from 01.01.2022, when the part of a wage equal to the minimum wage became exempt from income
// tax and stamp duty: the note that this calculation does not apply that exemption to the notice pay or
// to the stamp duty on the severance pay (no ruling found settles how it would). Nothing before.
std::optional<std::string_view> AsgariUcretIstisnasiNotu(int exitDate);

// What the sheet shows beside its results once a case is calculated (the printouts command is on); both
// empty while no results are shown. The ceiling warning needs the table (null: not loaded) and an exit
// date, so it comes only in the dates mode. The minimum-wage note follows the exit date, or in the
// premium-day mode the day of the calculation (`today`, YYYYMMDD), on which the tax is worked out.
struct SonucNotlari {
    std::optional<std::string> tavanUyarisi;    // beside the ceiling figure on the "Kıdem" tab
    std::optional<std::string> asgariUcretNotu; // beside the notice results on the "İhbar" tab
    std::optional<std::string>
        kidemDurumu; // on "Kıdem": not due for the termination reason, or why not worked out
    std::optional<std::string> ihbarDurumu; // on "İhbar": not due, or owed by the employee
};
SonucNotlari HesapNotlari(const Record& r, const YasalDegerler* table, int today);

// The currency written after amounts on the papers: "YTL." for dates before 01.01.2009, when the new
// lira was renamed, and "TL" from then on.
std::string_view ParaBirimi(int date);

// Today's date (local time) as a key YYYYMMDD.
int TodayKey();

// The currency of a case's papers: by its exit date, or, in the premium-day mode (no exit date), by the
// day of the calculation.
std::string_view KagitParaBirimi(const Record& r);

} // namespace pamerol

namespace pamerol {

// The caption of a legal figure as the clerk knows it; the bracket rows by their place in the table
// ("Gelir Vergisi 1. Dilim Oranı").
std::string YasalBaslik(Field f);

// The figures the law sets only as minimums (a contract or collective agreement may give more): the
// severance days per year and the notice days.
bool AsgariYasalDeger(Field f);

// One figure a calculation used that is not the one in force on its date.
struct YasalUyari {
    Field alan;
    std::string baslik;                    // the caption the clerk knows it by
    std::string kullanilan;                // the figure used, as the sheet writes it
    std::optional<std::string> yururlukte; // the figure in force; nothing when the table lacks it
    std::string metin;                     // the sentence the clerk reads
};

// After a calculation: each legal figure used that differs from the one in force on the date (figures
// compared as shown, to the kuruş; a minimum only when it is below the statutory figure), and each one
// the table lacks for the date. In the table's field order. A ceiling the table lacks that no one gave
// is left out: the calculation took the table's last one and its note (CeilingNote) says so.
std::vector<YasalUyari> YasalUyarilar(const Record& r, const YasalDegerler& table, int date);

// The date a case's figures are taken for: its exit date in the dates mode, the day of the calculation
// (`today`, YYYYMMDD) in the premium-day mode; nothing in the dates mode without a valid exit date.
std::optional<int> YasalTarih(const Record& r, int today);

// The warnings as one paragraph for the result box and the papers' dialog; empty when there are none.
std::string UyariParagrafi(const std::vector<YasalUyari>& uyarilar);

// The table among the program's read-only files (beside it, or in the shared data folder of an installed
// program); a Problem, as Load gives it, when it cannot be read or a row of it is malformed.
Expected<YasalDegerler> ProgramYasalDegerleri();

} // namespace pamerol
