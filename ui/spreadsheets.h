// The spreadsheet program the printouts fill.
#pragma once

#include <string>

#include "printouts/spreadsheet.h"

namespace pamerol::ui {

SpreadsheetFactory Spreadsheets(const std::string& programFolder);

} // namespace pamerol::ui
