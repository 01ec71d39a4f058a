// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's --toplu-tablo: the clerk's table of employees in, a results table out, every row run
// through the same sheet as a single case, so that each row's results are the single case's.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "case_run.h"

namespace pamerol {

struct TopluTabloSecenekleri {
    std::string girdi;                      // the clerk's table (.xlsx, .xls, .ods, .csv)
    std::string cikti;                      // the results table (.xlsx, .ods, .csv)
    std::optional<std::string> cikisTarihi; // a reference exit date for every row, "GG.AA.YYYY"
    bool uzerineYaz = false;                // an existing output (results table, papers) may be replaced
    std::optional<std::string> ayarDosyasi; // the settings every row starts from; none: the legal table
    std::optional<std::string> pdfKlasoru;  // where each row's papers go as PDFs, with one combined per paper
    std::vector<Dokum> dokumler;            // the papers filled for each row
    std::optional<std::string> arsiv;       // the archive every completed row is stored in
    std::string topluAdi;                   // the run's name in the archive; empty: made from file and time
    bool ilerleme = false;                  // a line "ilerleme DONE TOTAL NAME" on err after each row
};

// --onizleme: reads the table only and writes one JSON object on out: the header cells ("basliklar"), the
// caption each matched ("eslesmeler", "" for none), the first 20 rows with text as written ("satirlar"),
// how many rows with text there are ("satirSayisi") and the message for a missing required column
// ("eksik", "" when none). Returns 0, or 2 when the file cannot be read as a table (the reason on err).
int TopluTabloOnizleme(const std::string& girdi, const std::optional<std::string>& cikisTarihi,
                       std::ostream& out, std::ostream& err);

// A row's paper file name: "NNN Adı Soyadı – Kıdem Bordrosu.pdf", NNN the row's place with at least three
// digits (as many as the last row's), every character a file name cannot hold (or that a file manager
// would stumble on) replaced by "_", an empty name written "Adsız".
std::string DokumDosyaAdi(size_t sira, size_t toplam, const std::string& adSoyad, Dokum dokum);

// Checks the output before anything is read or computed, reads the table, runs every row (filling and
// storing its papers and keeping it for the archive), writes the results table and a summary on out.
// SIGTERM or SIGINT stops the run after the row in progress: the rows done are written as a whole table
// with their totals, stored and combined, and the summary says where it stopped (status 1). Returns the exit
// status: 2 when nothing was computed (an output that must not or cannot be written, an input that is no
// table or lacks a required column), 1 when a row was not calculated (the others are written), 3 when a row
// used a legal figure that is not the law of its exit date, else 0.
int RunTopluTablo(const TopluTabloSecenekleri& secenekler, const Settings* settings,
                  const YasalDegerler* table, std::ostream& out, std::ostream& err);

} // namespace pamerol
