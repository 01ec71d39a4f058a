// SPDX-License-Identifier: GPL-3.0-or-later
// The spreadsheet program the printouts fill.
#pragma once

#include "printouts/spreadsheet.h"

namespace pamerol::ui {

SpreadsheetFactory Spreadsheets();

// Gets the spreadsheet program ready for a first paper, in the background: returns at once.
void PrepareSpreadsheets();

} // namespace pamerol::ui
