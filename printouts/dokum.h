// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's printouts: one paper of a calculated case, filled on a headless office and stored.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "calc/record.h"

namespace pamerol {

enum class Dokum { Kidem, Ihbar, Ibraname, Aciklama, Izin };

// "kidem", "ihbar", "ibraname", "aciklama" or "izin".
std::optional<Dokum> DokumByName(const std::string& name);
// The paper's name as the command line and the archive write it.
std::string_view DokumName(Dokum d);

// Why the paper of a calculated case is not made, as its fill would say: nothing due on a payroll sheet,
// no leave pay, a release letter the law makes void or whose severance is not worked out. Nothing when it
// may be made. A refusal is no failure of the office.
std::optional<std::string> DokumEngeli(const Record& record, Dokum dokum, int today);

// Fills the paper from the record as the printout dialog would, with the templates of the program's
// folder (the statement with the legal figures of the table beside the program), and stores it at path:
// ".xls", ".pdf" or ".ods" by its ending. Failures are written to err. Returns the exit status: 0 stored, 1
// not.
int DokumKaydet(const Record& record, Dokum dokum, const std::string& path, std::ostream& err);

// The window's office after the window has ended with papers still on screen: waits until the clerk has
// closed them and ends it (the companion's "--ofis-bekle PROFILE"). Returns the exit status.
int OfisKapanisiniBekle(const std::string& profile);

// The paper's caption as a clerk knows it: "Kıdem Bordrosu", "İhbar Bordrosu", "İbraname".
std::string DokumBasligi(Dokum d);

// A headless office kept open for many papers in a row (a table of employees): started on the first
// paper, on a profile of its own that goes with this process however it ends. Each paper is filled,
// stored and closed before the next, so the office holds one workbook at a time. One object serves one
// thread; offices side by side are one object each.
class DokumOfisi {
  public:
    explicit DokumOfisi(std::ostream& err);
    ~DokumOfisi();
    DokumOfisi(const DokumOfisi&) = delete;
    DokumOfisi& operator=(const DokumOfisi&) = delete;

    // Makes the office's profile, starts its watchdog (a copy of this process: call it before this
    // process starts threads) and starts the office. False, with the reason on err, when the profile
    // cannot be made; an office that does not start is tried again by the first paper.
    bool hazirla();

    // Fills the paper from the calculated record and stores it at path (".xls", ".pdf" or ".ods"). False,
    // with the reason written to err, when it was not stored.
    bool kaydet(const Record& record, Dokum dokum, const std::string& path);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace pamerol
