// SPDX-License-Identifier: GPL-3.0-or-later
// One case of the companion: a fresh sheet, the settings it starts from, the assignments as the window
// would make them, the legal figures, the calculation, the result line, and what is saved, printed and
// archived from it.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "arsiv.h"
#include "dokum.h"
#include "figures/yasal_degerler.h"
#include "json_io.h"
#include "sheet/ayarlar.h"
#include "sheet/pamerol.h"

namespace pamerol {

// An argument or an assignment the companion cannot take; nothing is computed.
struct UsageError {
    std::string what;
};

// A printout to fill from the calculated case and where to store it.
struct Printout {
    Dokum dokum;
    std::string path;
};

// The settings a case starts from, as loaded from the --ayar file.
struct Settings {
    Record record;
    LoadedSettings loaded;
};

// Where --ayar-yaz saves: the file, and what was loaded from it when it is the --ayar file too (then only
// the fields the command line changed are written).
struct SaveTarget {
    std::string path;
    LoadedSettings loaded;
};

// One assignment as the window would make it: a field's text, the mode or an include flag.
void Apply(Pamerol& sheet, const std::string& name, const std::string& value);

// Whether two paths name the same file.
bool SameFile(const std::string& a, const std::string& b);

// Copying the settings fields and the calculator's table equals loading them from the same file.
void CopySettings(const Record& from, Record& to);

// The exit status of a case calculated with legal figures that differ from the law of its exit date (or
// that the table lacks for it).
inline constexpr int kStatusWarning = 3;
// The more serious of two exit statuses: 0 < 3 (a warning) < 1 (refused) < 2 (misused).
int WorseStatus(int a, int b);

// What a caller does with the calculated sheet and the calculation's messages (the statement).
using CalculatedCase = std::function<void(const Record&, const RecordedMessages&)>;
// What a case came to, for a caller that needs more than the result line: the sheet's texts after the
// calculation, whether it was calculated, its messages, and the legal figures used that are not the law
// of its exit date.
struct CaseOutcome {
    std::array<std::string, kFieldCount> texts;
    bool calculated = false;
    std::vector<std::string> messages;
    std::vector<YasalUyari> uyarilar;
};

// A fresh sheet with the settings (if any), the assignments, the calculator's table and the calculation;
// appends the result line to out. status becomes 1 when the calculation was refused or a file could not
// be written; archive keeps the completed case (order: its place in the run); calculated, when given, is
// called with the sheet once it is calculated. Assignments of settings
// fields only, without a printout, are calculated not at all: the line shows the sheet as it stands.
void RunCase(const Settings* settings, const Assignments& assignments, ResultWriter& writer, std::string& out,
             const SaveTarget* saveTo = nullptr, std::ostream* err = nullptr, int* status = nullptr,
             const Printout* printout = nullptr, ArchiveRun* archive = nullptr, size_t order = 0,
             const YasalDegerler* table = nullptr, const CalculatedCase& calculated = {},
             CaseOutcome* outcome = nullptr);

// Option1/Option2, Check1/Check2 or a field of the sheet.
bool KnownName(const std::string& name);

// Whether every assignment names a settings field (none at all included): such a run or batch line only
// loads, changes and saves settings, and calculates nothing.
bool OnlySettings(const Assignments& assignments);

// The message for a name that is no field: bilinmeyen alan "FOO".
std::string UnknownField(const std::string& name);

// Whether everything written to out has reached it; if not, says so once on err.
bool OutputWritten(std::ostream& out, std::ostream& err);

} // namespace pamerol
