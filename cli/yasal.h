// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's --yasal-degerler: before each case is calculated, the legal figures in force on its own
// exit date are taken from the table beside the program, except those the case gives itself; the result
// line reports what was taken and what the table does not have.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/json.h"
#include "calc/record.h"
#include "figures/yasal_degerler.h"

namespace pamerol {

// The table among the program's read-only files (beside it, or in the shared data folder of an installed
// program). A Problem naming the file and the reason when it cannot be read or a row of it is malformed.
Expected<std::unique_ptr<YasalDegerler>> YasalDegerleriYukle();

// Adds the report, and the ceiling warning for the TAV the calculation used, to the object of a result
// line being written, as its member "yasalDegerler".
// "uyarilar" lists each figure used that is not the one in force on the date (YasalUyarilar).
void YasalRaporuEkle(const YasalRapor& report, const YasalDegerler& table, const Record& r,
                     const std::vector<YasalUyari>& uyarilar, JsonWriter& json);

} // namespace pamerol
