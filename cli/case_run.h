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
#include "figures/yasal_degerler.h"
#include "json_io.h"
#include "printouts/dokum.h"
#include "sheet/ayarlar.h"
#include "sheet/pamerol.h"
#include "toplu/protokol.h"
#include "toplu/vaka.h"

namespace pamerol {

// A printout to fill from the calculated case and where to store it.
struct Printout {
    Dokum dokum;
    std::string path;
};

// Where --ayar-yaz saves: the file, and what was loaded from it when it is the --ayar file too (then only
// the fields the command line changed are written).
struct SaveTarget {
    std::string path;
    LoadedSettings loaded;
};

// What a caller does with the calculated sheet and the calculation's messages (the statement).
using CalculatedCase = std::function<void(const Record&, const RecordedMessages&)>;
// A fresh sheet with the settings (if any), the assignments, the calculator's table and the calculation;
// appends the result line to out. status becomes 1 when the calculation was refused or a file could not
// be written, and 3 when it was calculated with a figure that is not the law of its exit date or with a
// ceiling the table lacks (Vaka::warned); the table's figures are taken or only compared as `table` says;
// archive keeps the completed case (order: its place in the run); calculated, when given, is
// called with the sheet once it is calculated. Assignments of settings
// fields only, without a printout, are calculated not at all: the line shows the sheet as it stands. An
// assignment the sheet does not take gives its Problem, and nothing is written or calculated.
Expected<void> RunCase(const Settings* settings, const Assignments& assignments, ResultWriter& writer,
                       std::string& out, const SaveTarget* saveTo = nullptr, std::ostream* err = nullptr,
                       int* status = nullptr, const Printout* printout = nullptr,
                       ArchiveRun* archive = nullptr, size_t order = 0, YasalTablo table = {},
                       const CalculatedCase& calculated = {});

// Whether everything written to out has reached it; if not, says so once on err.
bool OutputWritten(std::ostream& out, std::ostream& err);

} // namespace pamerol
