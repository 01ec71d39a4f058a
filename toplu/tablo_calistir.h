// SPDX-License-Identifier: GPL-3.0-or-later
// A run of the clerk's table of employees: every row through the same sheet as a single case, so that
// each row's results are the single case's; the results table, each row's papers on headless offices with
// one combined PDF per paper, and the rows stored in the archive. The companion's --toplu-tablo is a shell
// around it.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "printouts/dokum.h"
#include "protokol.h"
#include "tablo_oku.h"
#include "vaka.h"

namespace pamerol {

struct TopluTabloSecenekleri {
    std::string girdi;                      // the clerk's table (.xlsx, .xls, .ods, .csv)
    std::string cikti;                      // the results table (.xlsx, .ods, .csv)
    std::optional<std::string> cikisTarihi; // a reference exit date for every row, "GG.AA.YYYY"
    bool uzerineYaz = false;                // an existing output (results table, papers) may be replaced
    std::optional<std::string> ayarDosyasi; // the settings every row starts from (named in the summary)
    std::optional<std::string> pdfKlasoru;  // where each row's papers go as PDFs, with one combined per paper
    std::vector<Dokum> dokumler;            // the papers filled for each row
    std::optional<std::string> arsiv;       // the archive every completed row is stored in
    std::string topluAdi;                   // the run's name in the archive; empty: made from file and time
    // The release letters' date where a row's "İbraname Tarihi" is empty, "GG.AA.YYYY"; without either, a
    // letter is dated on the day it is printed. A letter that date makes void is not printed (TBK m. 420).
    std::optional<std::string> ibranameTarihi;
};

// Stops a run after the row in progress. Set from a signal handler or another thread; the run looks at it
// before each row.
class StopToken {
  public:
    void stop() noexcept { stopped_.store(true, std::memory_order_relaxed); }
    bool stopped() const noexcept { return stopped_.load(std::memory_order_relaxed); }
    // Called once the offices that fill the papers have started. The office library sets up signal
    // handlers of its own (it would end the process on SIGTERM): a caller that stops the run on a signal
    // takes the signals back here.
    std::function<void()> officesStarted;

  private:
    static_assert(std::atomic<bool>::is_always_lock_free); // set from a signal handler
    std::atomic<bool> stopped_{false};
};

// The clerk's table read as rows: a workbook through the office, any other file as CSV. A Problem whose
// message names the file when it cannot be read as a table.
Expected<OkunanTablo> TabloDosyasiOku(const std::string& girdi, const OkumaSecenekleri& secenekler);

// A row's paper file name: "NNN Adı Soyadı – Kıdem Bordrosu.pdf", NNN the row's place with at least three
// digits (as many as the last row's), every character a file name cannot hold (or that a file manager
// would stumble on) replaced by "_", an empty name written "Adsız".
std::string DokumDosyaAdi(size_t sira, size_t toplam, const std::string& adSoyad, Dokum dokum);

// Checks the output before anything is read or computed, reads the table, runs every row (filling and
// storing its papers and keeping it for the archive) and writes the results table. Messages go to err as
// they come (the offices' threads take turns); onProgress is called as each row is done, its papers
// included, in turns too. A stop ends the run after the row in progress: the rows done are written as a
// whole table with their totals, stored and combined, and the summary says where it stopped (status 1).
// One run at a time holds the papers' folder and the archive (calisma_kilidi.h); the papers an earlier run
// listed in the folder are moved aside into a subfolder of their own before this run's come, and this
// run's are listed as they are put in place (dokum_listesi.h); the summary says where they went. Results,
// papers and combined PDFs take the folder's usual mode, or keep the mode of a file they replace; the rows
// stored under a run's name replace the cases that name stored for the same people (ArchiveRun). Rows
// are named in the summary by their "Sıra", as the papers' files are numbered, with their line in the
// clerk's table.
// The status: 2 when nothing was computed (an output that must not or cannot be written, an input that is
// no table or lacks a required column, an archive that cannot be opened, a folder or an archive that a
// running run holds), 1 when a row was not calculated
// (the others are written) or a file not written, 3 when a row used a legal figure that is not the law of
// its exit date or a ceiling the table lacks (its severance worked out under the table's last ceiling, or
// left empty with the notice pay computed), else 0. The legal figures are the table's for each row's exit
// date, or the settings' compared with them (YasalTablo). The summary lines are made once the results
// table is written; they count and name the rows whose severance was left empty.
TopluSonuc RunTable(const TopluTabloSecenekleri& secenekler, const Settings* settings, YasalTablo table,
                    std::ostream& err, const StopToken& stop,
                    const std::function<void(const TopluIlerleme&)>& onProgress = {});

} // namespace pamerol
