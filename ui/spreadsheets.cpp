#include "spreadsheets.h"

namespace pamerol::ui {

namespace {

// Stands in when the program is built without the spreadsheet backend: every print says so.
class NoSpreadsheet : public Spreadsheet {
  public:
    Outcome start() override { return Outcome::Failure("bu kurulumda hesap tablosu desteği yok"); }
    bool show() override { return false; }
    Outcome open(const std::string&) override { return Outcome::Failure("hesap tablosu yok"); }
    bool write(std::string_view, std::string_view, WriteMode) override { return false; }
    bool writeNumber(std::string_view, double) override { return false; }
    bool merge(std::string_view) override { return false; }
    bool alignRight(std::string_view) override { return false; }
    bool topBorder(std::string_view, std::string_view) override { return false; }
    void release() override {}
};

} // namespace

SpreadsheetFactory Spreadsheets(const std::string&) {
    return [] { return std::make_unique<NoSpreadsheet>(); };
}

} // namespace pamerol::ui
