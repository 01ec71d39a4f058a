// SPDX-License-Identifier: GPL-3.0-or-later
// One person's stored cases written out, to answer their request for the data kept on them: a CSV file
// with every text of every case by its field name, and a printable HTML list with the sheet's captions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive.h"

namespace pamerol {

// A moment as local time "dd.mm.yyyy SS:DD".
std::string ArchiveTimeText(std::int64_t secondsSince1970);

// One header row and one row per case, ";"-separated, every value quoted, UTF-8 with a byte-order mark
// so that a spreadsheet reads the Turkish letters. A value that a spreadsheet would take for a formula
// ("=", "+", "@", or "-" before a non-digit) gets a leading "'".
std::string ExportCsv(const std::vector<ArchivedCase>& cases);

// A self-contained HTML page: for each case, when and by whom it was stored, the papers printed, and
// every field that holds a text, under its caption.
std::string ExportHtml(const std::vector<ArchivedCase>& cases);

// Writes an export to path, readable by its owner only (it holds personal data): a temporary file in the
// same folder is written, synced and renamed over path. Returns the reason when it fails; no temporary
// file stays behind.
std::optional<std::string> WriteExport(const std::string& path, const std::string& bytes);

// The stored cases whose T.C. Kimlik No is exactly tcNo, oldest first.
std::optional<std::vector<ArchivedCase>> CasesOfPerson(Archive& archive, const std::string& tcNo,
                                                       std::string* error = nullptr);

} // namespace pamerol
