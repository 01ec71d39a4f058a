// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's --toplu-tablo: the clerk's table of employees in, a results table out, every row run
// through the same sheet as a single case, so that each row's results are the single case's.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "case_run.h"

namespace pamerol {

struct TopluTabloSecenekleri {
    std::string girdi;                      // the clerk's table (.csv)
    std::string cikti;                      // the results table (.csv)
    std::optional<std::string> cikisTarihi; // a reference exit date for every row, "GG.AA.YYYY"
    bool uzerineYaz = false;                // an existing output may be replaced
    std::optional<std::string> ayarDosyasi; // the settings every row starts from; none: the legal table
};

// Checks the output before anything is read or computed, reads the table, runs every row, writes the
// results table and a summary on out. Returns the exit status: 2 when nothing was computed (an output
// that must not or cannot be written, an input that is no table or lacks a required column), 1 when a
// row was not calculated (the others are written), 3 when a row used a legal figure that is not the law
// of its exit date, else 0.
int RunTopluTablo(const TopluTabloSecenekleri& secenekler, const Settings* settings,
                  const YasalDegerler* table, std::ostream& out, std::ostream& err);

} // namespace pamerol
