// SPDX-License-Identifier: GPL-3.0-or-later
// The spreadsheet program the printouts fill.
#pragma once

#include "printouts/dokumler.h"
#include "printouts/spreadsheet.h"

namespace pamerol::ui {

SpreadsheetFactory Spreadsheets();

// Gets the spreadsheet program ready for a first paper, in the background (the papers' workbooks loaded
// ahead): returns at once.
void PrepareSpreadsheets(const PaperFolders& folders);

// As the program ends: the spreadsheet program it started ends with it, unless a paper is still open.
void EndSpreadsheets();

} // namespace pamerol::ui
