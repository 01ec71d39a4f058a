// SPDX-License-Identifier: GPL-3.0-or-later
// The companion and the legal figures: with --yasal-degerler, before each case is calculated, the legal
// figures in force on its own exit date are taken from the table beside the program, except those the
// case gives itself and a contract's higher days; with --ayar alone the settings' figures are used and
// only compared with the table's. The result line reports what was taken, what the table does not have,
// each figure used that is not the law of the exit date and the note on a ceiling the table lacks.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/json.h"
#include "calc/record.h"
#include "figures/yasal_degerler.h"
#include "toplu/vaka.h"

namespace pamerol {

// The table among the program's read-only files (beside it, or in the shared data folder of an installed
// program). A Problem naming the file and the reason when it cannot be read or a row of it is malformed.
Expected<std::unique_ptr<YasalDegerler>> YasalDegerleriYukle();

// Adds what the table gave a case (vaka.yasal, which must be set) to the object of a result line being
// written, as its member "yasalDegerler": "uygulandi" (the table's figures were taken, or only compared),
// the date, the figures taken, those the table lacks, the message, the ceiling warning for the TAV the
// calculation used, "uyarilar" (each figure used that is not the one in force on the date,
// YasalUyarilar) and "tavanNotu" (CeilingNote, or null).
void YasalRaporuEkle(const Vaka& vaka, const YasalDegerler& table, JsonWriter& json);

} // namespace pamerol
