// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's --toplu-tablo: a shell around the run of a table (toplu/tablo_calistir.h). It stops the
// run on SIGTERM or SIGINT, shows the progress on a terminal and prints the summary: for a person as
// "label: value" lines, or with --ilerleme as the JSON lines of toplu/protokol.h.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "toplu/tablo_calistir.h"

namespace pamerol {

// --onizleme: reads the table only and writes one JSON object on out: the header cells ("basliklar"), the
// caption each matched ("eslesmeler", "" for none), the first 20 rows with text as written ("satirlar"),
// how many rows with text there are ("satirSayisi") and the message for a missing required column
// ("eksik", "" when none). Returns 0, or 2 when the file cannot be read as a table (the reason on err).
int TopluTabloOnizleme(const std::string& girdi, const std::optional<std::string>& cikisTarihi,
                       std::ostream& out, std::ostream& err);

// Runs the table with SIGTERM and SIGINT stopping it after the row in progress (for as long as the run
// lasts) and writes the summary on out once the results table is written. ilerleme: the progress and the
// summary as JSON lines on out (IlerlemeSatiri, OzetSatiri); otherwise the summary as "label: value" lines,
// and the rows done counted on a terminal's standard error. Returns the run's exit status.
int RunTopluTablo(const TopluTabloSecenekleri& secenekler, bool ilerleme, const Settings* settings,
                  YasalTablo table, std::ostream& out, std::ostream& err);

} // namespace pamerol
