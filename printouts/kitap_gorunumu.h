// SPDX-License-Identifier: GPL-3.0-or-later
// The view a results workbook opens with. An office that saves without a window keeps no view, so the
// frozen panes are written into the saved file afterwards: the sheet's view part of an .xlsx, the settings
// part of an .ods. Both are zip archives; every other part is copied as it is.
#pragma once

#include <string>
#include <string_view>

#include "base/problem.h"

namespace pamerol {

// The panes a workbook opens with frozen: the first `satirlar` rows and `sutunlar` columns of the sheet
// named `sayfa`, its first.
struct DonukBolme {
    std::string sayfa;
    int sutunlar = 0;
    int satirlar = 0;
};

// The workbook's bytes with its first sheet's first `rows` rows and first `columns` columns frozen (xlsx:
// the workbook is an Office Open XML file; else an OpenDocument spreadsheet whose first sheet is named
// `sheet`). A Problem when the file is not a zip archive as the office writes one; the caller keeps the
// workbook without its view, and no clerk sees the message.
Expected<std::string> DonukBolmeler(std::string_view book, bool xlsx, const std::string& sheet, int columns,
                                    int rows);

} // namespace pamerol
