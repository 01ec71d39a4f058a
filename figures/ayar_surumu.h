// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file's version, "[Pamerol] Surum=". A file of an older version (or of none: every file
// before versions were kept) gains, once, the legal figures that later versions added, with the values
// in force today from the table of legal figures — never a value made up by the program — and the clerk
// is told which were added.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/problem.h"
#include "calc/record.h"
#include "figures/yasal_degerler.h"

namespace pamerol {

// This program's settings version. 1: the 22 keys of the first files (no "Surum" key); 2: "Surum" and
// "[Pamerol] YasalOtomatik" (the switch "Yasal değerleri çıkış tarihine göre al"); 3: "[SGK]", the
// employee's shares and the premium ceiling the leave pay bears.
inline constexpr int kAyarSurumu = 3;

// Brings an existing settings file of an older version up to kAyarSurumu: every legal figure whose key is
// missing or empty gets the value the table gives for `today` (YYYYMMDD; a figure the table lacks stays
// missing), and "Surum" is written; one save. Returns the message naming the figures added (nothing when
// none were, when the file is already of this version, or when there is no file), or the Problem of a
// save that failed (the file is then as it was).
Expected<std::optional<std::string>> AyarDosyasiniYukselt(const std::string& path, const YasalDegerler* table,
                                                          int today);

} // namespace pamerol
