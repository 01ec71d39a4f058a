// SPDX-License-Identifier: GPL-3.0-or-later
// One person's stored cases written out, to answer their request for the data kept on them: a CSV file
// with every text of every case by its field name, and a printable HTML list with the sheet's captions.
// The window and the companion both export through ExportPerson, so both follow one rule for the file's
// type and refuse the same targets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive.h"

namespace pamerol {

// A moment as local time "dd.mm.yyyy SS:DD".
std::string ArchiveTimeText(std::int64_t secondsSince1970);

// One header row and one row per case, ";"-separated, every value quoted, UTF-8 with a byte-order mark
// so that a spreadsheet reads the Turkish letters. A value that a spreadsheet could take for a formula
// (one that starts with "=", "+", "-", "@", a tab or a carriage return) gets a leading "'".
std::string ExportCsv(const std::vector<ArchivedCase>& cases);

// A self-contained HTML page: for each case, when and by whom it was stored, the papers printed (by their
// captions), and every field that holds a text, under its caption (FieldLabel).
std::string ExportHtml(const std::vector<ArchivedCase>& cases);

// Who may read a file written out: its owner only (a person's export: it holds personal data), or whoever
// the folder lets read its files (a results table in a folder shared by clerks): the mode any program's
// new file takes there, or the mode and group of the file replaced (base/files.h, UsualModeFor).
enum class ExportReaders { Owner, AsTheFolder };

// Writes an export to path: a temporary file in the same folder is written, synced, given its mode and
// renamed over path. When it fails, no temporary file stays behind and the Problem's message is the reason
// ("disk dolu"), which the caller's sentence about the file quotes.
Expected<void> WriteExport(const std::string& path, const std::string& bytes,
                           ExportReaders readers = ExportReaders::Owner);

// The stored cases whose T.C. Kimlik No is exactly tcNo, oldest first; blanks around either number do not
// count. An empty number is refused.
Expected<std::vector<ArchivedCase>> CasesOfPerson(Archive& archive, std::string_view tcNo);

enum class ExportKind { Csv, Html };

// The type of an export by the end of its file name, in any letter case: ".html" and ".htm" are HTML,
// ".csv" is CSV; any other name is refused (the reason as the Problem's message).
Expected<ExportKind> ExportKindOf(std::string_view path);

// Writes every stored case of the T.C. Kimlik No to path, as ExportKindOf says. Returns how many cases
// were written, or the Problem with the clerk's message: an unknown file type, no case of that number (no
// file is written), a target that is the archive itself or another SQLite database, or a failed write.
Expected<size_t> ExportPerson(Archive& archive, std::string_view tcNo, const std::string& path);

} // namespace pamerol
