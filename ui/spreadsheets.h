// The spreadsheet program the printouts fill.
#pragma once

#include "printouts/spreadsheet.h"

namespace pamerol::ui {

SpreadsheetFactory Spreadsheets();

} // namespace pamerol::ui
