// SPDX-License-Identifier: GPL-3.0-or-later
// The spreadsheet operations on LibreOffice Calc, spoken to through UNO from a separate office process.
//
// Each start launches soffice with the program's own office profile (never the user's own LibreOffice
// profile). When an office already runs on that profile, the new soffice hands its arguments to it and
// leaves, so later fills are fast and land in the same office as new windows. Workbooks are opened as
// untitled copies of the working copy: an earlier window that still shows the working copy neither blocks
// the fill nor brings up the office's "document in use" question, and saving asks the user for a name.
//
// A text written into a cell that wraps (or that has line breaks) makes the rows of its block as tall as the
// text needs: the office lays the text out in a cell of the block's width on a scratch sheet, which is
// removed again when the fill lets go. The window is titled by the fill and the filled workbook is not
// marked as modified.
//
// Visible mode fills the workbook with no window, then shows it whole and lets go: every paper of the
// program shares one connection, and the office stays up between papers while the program runs (see
// EndProgramOffice). Headless mode serves the tests and the companion: nothing is shown, the filled
// workbook can be stored, and the office this object started is ended when it is destroyed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "printouts/spreadsheet.h"

namespace pamerol {

struct OfficeOptions {
    bool visible = true;
    // The office profile folder; empty: DefaultOfficeProfile().
    std::string profile;
    // The program that starts the office.
    std::string soffice = "soffice";
    // How long to wait for a starting office to accept the connection.
    int connectTimeoutMs = 60000;
};

// $XDG_CONFIG_HOME/pamerol/office-profile, or ~/.config/pamerol/office-profile.
std::string DefaultOfficeProfile();

// Starts the program's own office (on the profile of these options) in the background and returns at once:
// the office comes up with no window, so that the first paper opens in an office that is already running.
// Nothing happens when that office runs already or there is no display; a fill then starts it as usual.
void StartOfficeInBackground(const OfficeOptions& options = {});

// Has the program's own office (visible) load an untitled copy of each workbook ahead, with no window, on a
// thread of its own: a paper filled from the same bytes later takes it and only fills and shows it. The
// office may still be starting (the copies wait for it); returns at once.
void PrepareOfficePapers(const std::vector<std::string>& workbooks, const OfficeOptions& options = {});

// Called as the program ends: the copies loaded ahead are closed, and the office the program started ends
// now when it shows no paper, else when the clerk closes the last one (the watcher, a program that takes
// "--ofis-bekle PROFILE" and calls WaitForOfficePapers, is started to see to it). Until then, an office
// whose last paper the clerk closes stays up, with no window, for the next paper.
void EndProgramOffice(const OfficeOptions& options = {}, const std::string& watcher = {});

// Waits until the office on the profile shows no window, and ends it; returns at once when none runs.
void WaitForOfficePapers(const OfficeOptions& options = {});

// The office's export filter for a file name's ending (".xls", ".pdf", ".ods"); nullptr for any other.
const char* StoreFilterFor(const std::string& path);

class OfficeSpreadsheet final : public Spreadsheet {
  public:
    explicit OfficeSpreadsheet(OfficeOptions options = {});
    ~OfficeSpreadsheet() override;
    OfficeSpreadsheet(const OfficeSpreadsheet&) = delete;
    OfficeSpreadsheet& operator=(const OfficeSpreadsheet&) = delete;

    Outcome start() override;
    bool show() override;
    Outcome open(const std::string& path) override;
    bool write(std::string_view cell, std::string_view text, WriteMode mode) override;
    bool writeNumber(std::string_view cell, double value) override;
    bool writeCells(std::string_view range, const std::vector<BlockCell>& cells) override;
    bool insertRows(int row, int count) override;
    bool copyRange(std::string_view fromRange, std::string_view toCell) override;
    bool merge(std::string_view range) override;
    bool alignRight(std::string_view cell) override;
    bool topBorder(std::string_view firstCell, std::string_view secondCell) override;
    int pageBodyHeight() override;
    int rowHeight(int row) override;
    bool setRowHeight(int row, int height) override;
    int textHeight(std::string_view range, std::string_view text) override;
    std::vector<int> textHeights(std::string_view range, const std::vector<std::string>& texts) override;
    bool pageBreakBefore(int row) override;
    bool footerLine(FooterSide side, int line, std::string_view text) override;
    bool copyLook(std::string_view fromCell, std::string_view toRange) override;
    bool writeBlock(std::string_view topLeft, const std::vector<std::vector<std::string>>& rows) override;
    bool title(std::string_view text) override;
    void release() override;

    // Headless mode: stores the last opened workbook (also after release) by the path's ending: ".xls"
    // (Excel 97-2003), ".pdf" (PDF), ".ods" (ODF spreadsheet).
    Outcome storeTo(const std::string& path);

    // The UNO connection string of the office this object talks to (for tests that read results back).
    std::string connection() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace pamerol
