// SPDX-License-Identifier: GPL-3.0-or-later
// The printouts: the severance and notice payroll sheets, the release letter, the statement of how each
// figure was reached, and the core of the printout dialog that chooses between them. Each fill copies its
// template to a working copy (both in the program's folder unless installed), starts a new spreadsheet
// instance, shows it, opens the working copy and writes the sheet's texts into it, then lets go: the filled
// workbook stays open for the user to print, save or discard.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/messages.h"
#include "calc/record.h"
#include "figures/yasal_degerler.h"
#include "printouts/spreadsheet.h"

namespace pamerol {

// Where a fill takes its template and where it leaves the working copy: the same folder for a program that
// keeps everything beside itself, the shared data folder and the user's own folder when installed.
struct PaperFolders {
    PaperFolders(std::string folder) : templates(folder), copies(std::move(folder)) {} // one folder for both
    PaperFolders(std::string templatesFolder, std::string copiesFolder)
        : templates(std::move(templatesFolder)), copies(std::move(copiesFolder)) {}
    std::string templates;
    std::string copies;
};

// The workbooks the papers are filled from, in the templates' folder.
std::vector<std::string> DokumSablonlari(const PaperFolders& folders);

inline constexpr std::string_view kBordroSablonu = "Velkara.xls";
inline constexpr std::string_view kBordroKopyasi = "Velkara1.xls";
inline constexpr std::string_view kIbranameSablonu = "Ibraname.xls";
inline constexpr std::string_view kIbranameKopyasi = "Ibraname1.xls";
inline constexpr std::string_view kAciklamaSablonu = "Aciklama.xls";
inline constexpr std::string_view kAciklamaKopyasi = "Aciklama1.xls";

// Fills the severance payroll sheet (kidemBordrosu true) or the notice payroll sheet (false) from the
// record's current texts. When the template cannot be copied, the spreadsheet program cannot be started
// or the working copy cannot be opened, one message says so and nothing else happens; a single cell that
// cannot be written is skipped silently. Returns whether the workbook was opened and filled.
bool BordroDoldur(const Record& record, bool kidemBordrosu, const PaperFolders& folders, Spreadsheet& sheet,
                  Messages& messages);

// Why a payroll sheet is not printed (nothing is due on it, or it cannot be worked out), in the words the
// fill says it with; nothing when it may be printed.
std::optional<std::string> BordroEngeli(const Record& record, bool kidemBordrosu);
// Why the leave pay's payroll sheet is not printed: the case has no leave pay.
std::optional<std::string> IzinBordrosuEngeli(const Record& record);

// Fills the leave pay's payroll sheet on the payroll template ("YILLIK İZİN ÜCRETİ BORDROSU"): the days and
// the wage they were paid at, the year's base it is taxed on top of, its gross, income tax, stamp duty,
// the deductions with the employee's SGK shares, and the net; the SGK shares on the line below. A case
// without a leave pay says so and fills nothing. Failures as for BordroDoldur.
bool IzinBordroDoldur(const Record& record, const PaperFolders& folders, Spreadsheet& sheet,
                      Messages& messages);

// Why the release letter is not printed, in the words the fill says it with: the law makes it void
// (IbranameEngeliVar; one dated within a month of the exit only unless birAyIcindeKabul), or it would show
// a severance that was not worked out. Nothing when it may be printed.
std::optional<std::string> IbranameReddi(const Record& record, int today, bool birAyIcindeKabul = false);

// Fills the release letter: the header cells, the date and the names in the page footer, the release text
// from row 17 (one merged block when the letter fits its first page, else rows that the pages break
// between, each later page headed by the employee's name), one line per payment with its kind and net
// amount (those the case makes due and the further payments typed in "Diğer Ödemeler"), the total line,
// the total in words and how the amounts were paid. A letter the law makes void is refused with one
// message (IbranameEngeliVar): one dated within a month of the exit only unless birAyIcindeKabul (the
// clerk said so in the window). Failures as for BordroDoldur.
bool IbranameDoldur(const Record& record, const PaperFolders& folders, Spreadsheet& sheet, Messages& messages,
                    bool birAyIcindeKabul = false);

// Fills the statement of how each figure was reached ("Hesap Açıklaması") from HesapAciklamasi, with the
// legal figures of the table (null: not available): the particulars at the top, then each line of the
// statement (its caption, its figures, its result), then the date and the signature. A line is never cut
// by a page break: one that does not fit the room left begins the next page, under the employee's name and
// "Hesap Açıklaması (devam)"; the date and the signature keep together in the same way. Without a
// statement (no results shown) one message gives the reason and nothing is filled; other failures as for
// BordroDoldur.
bool AciklamaDoldur(const Record& record, const YasalDegerler* table, const PaperFolders& folders,
                    Spreadsheet& sheet, Messages& messages);

// The currency the papers write after amounts: by the exit date whenever one is typed, in either mode;
// by `today` (the day of printing) only when there is none.
std::string_view DokumParaBirimi(const Record& r, int today);

// For a calculated case without a termination reason: that both payments were worked out though what is
// due depends on the reason. Nothing once a reason is chosen.
std::optional<std::string> FesihNedeniUyarisi(const Record& r);

// The printout dialog without its window: the five choices, the payroll kind and the print command.
// The window creates one on every opening (so the first choice is selected again) and forwards the option
// buttons and "&Yazdır" to it.
class frmRaporSec {
  public:
    enum Secim {
        KidemBordrosuSecimi = 0,
        IhbarBordrosuSecimi = 1,
        IbranameSecimi = 2,
        AciklamaSecimi = 3,
        IzinBordrosuSecimi = 4
    };

    frmRaporSec(const Record& record, PaperFolders folders, SpreadsheetFactory factory, Messages& messages);

    // The sheet the papers are filled from.
    const Record& record() const { return record_; }

    // The selected option (0 "Kıdem Bordrosu", 1 "İhbar Bordrosu", 2 "İbraname", 3 "Hesap Açıklaması",
    // 4 "İzin Bordrosu");
    // another value selects none.
    int secim() const { return secim_; }
    void secimYap(int index) { secim_ = index; }

    // Which payroll sheet BordroHazirla fills; set by yazdir right before it fills one.
    bool KidemBordrosu() const { return kidemBordrosu_; }

    // "&Yazdır": fills the selected printout in a new spreadsheet instance. The choice stays as it is.
    void yazdir();

    // Called with the choice after "&Yazdır" has filled its paper (the archive stores the case then).
    using Filled = std::function<void(int secim)>;
    void setFilled(Filled filled) { filled_ = std::move(filled); }

    // The table of legal figures the statement names its figures from (null: none); it must outlive the
    // dialog.
    void setYasalTablo(const YasalDegerler* table) { table_ = table; }

    // The clerk has said that the release letter be printed though it is dated within a month of the
    // exit (the window asks, "Hayır" first).
    void setIbranameBirAyKabul(bool accepted) { ibranameBirAyKabul_ = accepted; }

    // The dialog's fill operations, on a new spreadsheet instance each. Return whether it was filled.
    bool BordroHazirla();
    bool IbranameHazirla();
    bool AciklamaHazirla();
    bool IzinBordrosuHazirla();

  private:
    std::unique_ptr<Spreadsheet> newSheet();

    const Record& record_;
    PaperFolders folders_;
    SpreadsheetFactory factory_;
    Messages& messages_;
    int secim_ = KidemBordrosuSecimi;
    bool kidemBordrosu_ = true;
    const YasalDegerler* table_ = nullptr;
    bool ibranameBirAyKabul_ = false;
    Filled filled_;
};

} // namespace pamerol
