// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the clerk's table of employees (a CSV file as a spreadsheet saves it): the header row is
// matched to the sheet's fields, every other row becomes the assignments of one case, as the window would
// take them from typing; its dates and amounts are read in the table forms (DateForms::Table,
// AmountForms::Table). A row whose date or amount cannot be read keeps its reason and is not calculated;
// the other rows are not held back by it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/problem.h"
#include "calc/record.h"

namespace pamerol {

// One row of the table: the assignments (field or option name and text, in the sheet's field order) and
// why it cannot be calculated, if it cannot.
struct TabloSatiri {
    size_t satir = 0; // the row's line number in the file (the header is line 1)
    std::vector<std::pair<std::string, std::string>> atamalar;
    std::string hata;                // empty: the row can be calculated
    bool temizlendi = false;         // a cell lost characters no paper or file name may hold (TemizMetin)
    std::vector<std::string> notlar; // what the reading changed, for the row's "Uyarı" (an amount rounded)
};

// What a column of the header was matched to: a field, the first or the last name (joined into
// "Adı Soyadı"), or nothing.
struct SutunEslesmesi {
    enum class Tur { Alan, Ad, Soyad, Yok } tur = Tur::Yok;
    Field alan = Field::GTarih;
};

struct OkunanTablo {
    std::vector<std::string> basliklar;     // the header's cells as written
    std::vector<SutunEslesmesi> eslesmeler; // one per header cell
    // One per header cell: the caption of the field a column names but is not read into (the exit date
    // under a reference exit date); empty for every other column.
    std::vector<std::string> kullanilmayanlar;
    std::vector<std::string> eslesmeyenler; // the captions of the columns that match nothing
    std::vector<TabloSatiri> satirlar;      // the rows with at least one non-blank cell, in order
    size_t bosSatir = 0;                    // rows skipped because every cell is blank
    char ayirici = ';';
    // For a preview only: the cells of the first rows with text, as written, and the message for the
    // required columns that are missing (the rows are then not read).
    std::vector<std::vector<std::string>> ornekler;
    std::string eksik;
};

// How the rows are read: with a reference exit date (the provision) every row takes that date, and the
// exit date column is neither required nor read.
struct OkumaSecenekleri {
    std::optional<std::string> cikisTarihi; // "GG.AA.YYYY"
    // The release letter's date for every row whose "İbraname Tarihi" cell is empty, "GG.AA.YYYY".
    std::optional<std::string> ibranameTarihi;
    // A preview: the first this many rows' cells are kept, and a missing required column is said in
    // `eksik` instead of refusing the file.
    size_t onizleme = 0;
};

// Reads a CSV file's bytes: UTF-8 with or without a byte-order mark, or Windows-1254 (any text that is
// not valid UTF-8); ";", "," or a tab between cells (the one the header row holds most of, outside
// quotes); cells in double quotes may hold separators, line breaks and doubled quotes, and a quote opens a
// quoted cell only at the cell's start (anywhere else it is a character of the cell). A Problem whose
// message is the reason (naming no file: the caller adds it) when the file is empty, has no header or
// lacks a required column; when the header is one cell holding ";" or ",", the reason says that the
// columns sit in one cell and how to split them.
// With kitaptan, the bytes are a workbook's first sheet as WorkbookAsCsv writes it, its number and date
// cells in their stored form ("25000,555", "31.12.2024 13:45:00", "12,5%"): a date with a time of day is
// read as its day, a percentage in a rate column as the rate it shows (in per mille for the stamp duty),
// and an amount with more than two decimals is rounded to the kuruş with a note in the row's `notlar`.
Expected<OkunanTablo> CsvTabloOku(std::string_view bytes, const OkumaSecenekleri& secenekler,
                                  bool kitaptan = false);

// A cell's text as the papers, file names and terminals may take it: a byte sequence that is no character
// (an overlong form, a surrogate, a stray byte) and a noncharacter (U+FFFE, U+FFFF, U+FDD0–U+FDEF) become
// U+FFFD; control characters other than tab and line breaks (ESC, BEL, C1) and the bidirectional controls
// (which turn "pdf.x" into "x.fdp" on screen) are left out. *changed says whether anything was.
std::string TemizMetin(std::string_view text, bool* changed = nullptr);

// The cells of a CSV text (already UTF-8) split at sep, row by row.
std::vector<std::vector<std::string>> CsvHucreleri(std::string_view text, char sep);

// A header cell reduced for matching: Turkish and other letters to their plain small base letters, every
// character that is neither a letter nor a digit left out ("T.C. Kimlik No" -> "tckimlikno").
std::string BaslikAnahtari(std::string_view baslik);

// What a column was matched to, as the clerk knows it: the field's caption, "Ad" or "Soyad"; empty when
// it matches nothing.
std::string EslesmeBasligi(const SutunEslesmesi& e);

// The column a header cell names: the usual variants of the clerk's files first, then any field by its
// caption or its field name.
SutunEslesmesi BaslikEslesmesi(std::string_view baslik);

// The parts one after another with `between` between them.
std::string Joined(const std::vector<std::string>& parts, std::string_view between);

} // namespace pamerol
