// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheets.h"

#include <filesystem>

#include "base/files.h"

#ifdef PAMEROL_WITH_OFFICE
#include "printouts/office_spreadsheet.h"
#endif

namespace pamerol::ui {

namespace {

// Stands in when the program is built without the office backend: every print says so.
class NoSpreadsheet : public Spreadsheet {
  public:
    Outcome start() override { return Outcome::Failure("bu kurulum LibreOffice desteği olmadan derlendi"); }
    bool show() override { return false; }
    Outcome open(const std::string&) override { return Outcome::Failure("hesap tablosu programı yok"); }
    bool write(std::string_view, std::string_view, WriteMode) override { return false; }
    bool writeNumber(std::string_view, double) override { return false; }
    bool merge(std::string_view) override { return false; }
    bool alignRight(std::string_view) override { return false; }
    bool topBorder(std::string_view, std::string_view) override { return false; }
    void release() override {}
};

} // namespace

SpreadsheetFactory Spreadsheets() {
#ifdef PAMEROL_WITH_OFFICE
    return [] { return std::make_unique<OfficeSpreadsheet>(); }; // visible, on the program's own profile
#else
    return [] { return std::make_unique<NoSpreadsheet>(); };
#endif
}

void PrepareSpreadsheets(const PaperFolders& folders) {
#ifdef PAMEROL_WITH_OFFICE
    StartOfficeInBackground(); // the program's own office, with no window until a paper opens
    PrepareOfficePapers(DokumSablonlari(folders));
#else
    (void)folders;
#endif
}

void EndSpreadsheets() {
#ifdef PAMEROL_WITH_OFFICE
    // With papers still on screen, the companion beside the program ends the office once they are closed.
    EndProgramOffice({}, (std::filesystem::path(ProgramFolder()) / "pamerol-hesap").string());
#endif
}

} // namespace pamerol::ui
