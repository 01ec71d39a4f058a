// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's printouts: one paper of a calculated case, filled on a headless office and stored.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "calc/record.h"

namespace pamerol {

enum class Dokum { Kidem, Ihbar, Ibraname, Aciklama };

// "kidem", "ihbar", "ibraname" or "aciklama".
std::optional<Dokum> DokumByName(const std::string& name);
// The paper's name as the command line and the archive write it.
std::string_view DokumName(Dokum d);

// Fills the paper from the record as the printout dialog would, with the templates of the program's
// folder (the statement with the legal figures of the table beside the program), and stores it at path:
// ".xls", ".pdf" or ".ods" by its ending. Failures are written to err. Returns the exit status: 0 stored, 1
// not.
int DokumKaydet(const Record& record, Dokum dokum, const std::string& path, std::ostream& err);

} // namespace pamerol
