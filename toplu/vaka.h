// SPDX-License-Identifier: GPL-3.0-or-later
// One case as the companion calculates it, alone or as a row of a table: a fresh sheet, the settings it
// starts from, the assignments as the window would make them, the legal figures of its exit date and the
// calculation.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/problem.h"
#include "calc/messages.h"
#include "figures/yasal_degerler.h"
#include "sheet/ayarlar.h"
#include "sheet/pamerol.h"

namespace pamerol {

// Field or option name and its text, in the order given.
using Assignments = std::vector<std::pair<std::string, std::string>>;

// The settings a case starts from, as loaded from the --ayar file.
struct Settings {
    Record record;
    LoadedSettings loaded;
};

// At most 100 characters of a text from the input, so that a message never repeats a huge line.
std::string Excerpt(std::string_view text);

// One assignment as the window would make it: a field's text, the mode or an include flag. A day count is
// read as a table of employees reads its cells: "2.500" is 2500 days, written "2500" (a text the table
// would not read as a whole number of days up to kMaxDays is given to the sheet as it is). A Problem for a
// name or a value the sheet does not take (the companion's misuse: nothing is computed).
Expected<void> Apply(Pamerol& sheet, const std::string& name, const std::string& value);

// Whether two paths name the same file.
bool SameFile(const std::string& a, const std::string& b);

// Copying the settings fields and the calculator's table equals loading them from the same file.
void CopySettings(const Record& from, Record& to);

// Option1/Option2, Check1/Check2 or a field of the sheet.
bool KnownName(const std::string& name);

// Whether every assignment names a settings field (none at all included): such a run or batch line only
// loads, changes and saves settings, and calculates nothing.
bool OnlySettings(const Assignments& assignments);

// The message for a name that is no field: bilinmeyen alan "FOO".
std::string UnknownField(const std::string& name);

// Applies the table to a case's sheet after its assignments, for its exit date: the fields the
// assignments name keep their given texts, a contract's higher severance and notice days are kept.
YasalRapor YasalDegerleriUygula(Record& r, const YasalDegerler& table, const Assignments& assignments,
                                FigureOrigins* origins = nullptr);

// The table of legal figures as a case meets it. One policy for every path: with the table's figures
// (--yasal-degerler, with or without a settings file, and a table of employees) the case takes those of
// its exit date over the settings, as the window does; with a settings file alone it keeps the settings'
// figures, and each one that is not the law of its exit date is named, as the window does with its
// switch off.
struct YasalTablo {
    const YasalDegerler* degerler = nullptr; // none: no table at hand, nothing taken or compared
    bool uygulanir = true;                   // false: the figures used are only compared with the table's
};

// A case calculated: its sheet and messages, and what the table of legal figures gave it.
struct Vaka {
    RecordedMessages messages;
    Pamerol sheet{messages};
    bool settingsRun = false;         // the assignments name settings fields only: nothing was calculated
    std::optional<YasalRapor> yasal;  // with a table: the figures it gave (none when only compared)
    bool yasalUygulandi = false;      // the table's figures were taken, not only compared
    std::vector<YasalUyari> uyarilar; // the figures used that are not the law of its exit date
    // The table lacks the ceiling of the date and none was given: the severance was worked out under the
    // table's last ceiling, or left empty (CeilingNote).
    std::optional<std::string> tavanNotu;

    // Calculated (with or without a warning).
    bool calculated() const { return !settingsRun && sheet.record().command3Enabled(); }
    // The calculation stopped on a date or a figure it cannot read: the printouts are unavailable.
    bool refused() const { return !settingsRun && !sheet.record().command3Enabled(); }
    // Calculated with a figure that is not the law of its exit date, or with a ceiling the table lacks:
    // the caller must look (exit status 3).
    bool warned() const { return !uyarilar.empty() || tavanNotu.has_value(); }
};

// Fills the fresh case from the settings (if any) and the assignments, takes the figures of its exit date
// from the table or compares with them (YasalTablo) and calculates it; assignments of settings fields
// only are calculated not at all unless a paper is to be filled from the case (printout). The first
// assignment Apply refuses stops it with its Problem, before anything is calculated.
Expected<void> VakaHesapla(Vaka& vaka, const Settings* settings, const Assignments& assignments,
                           YasalTablo tablo = {}, bool printout = false);

} // namespace pamerol
