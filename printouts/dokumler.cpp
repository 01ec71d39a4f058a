// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/dokumler.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/conversions.h"
#include "figures/yasal_degerler.h"

namespace pamerol {

namespace fs = std::filesystem;

namespace {

// Why a copy failed, in words a clerk can act on.
std::string CopyFailureReason(const fs::path& from, const fs::path& to, const std::error_code& ec) {
    std::error_code ignored;
    if (!fs::exists(from, ignored)) return "şablon dosyası yok";
    if (!std::ifstream(from, std::ios::binary)) return "şablon dosyası okunamıyor";
    if (fs::is_directory(to, ignored)) return "çalışma kopyasının yerinde bir klasör var";
    if (!fs::is_directory(to.parent_path(), ignored)) return "klasör yok";
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return "çalışma kopyasına yazma izni yok";
    if (ec == std::errc::read_only_file_system) return "klasör salt okunur";
    if (ec == std::errc::no_space_on_device) return "diskte yer kalmadı";
    return ec.message();
}

// Replaces the working copy with a fresh copy of the template. On failure the fill must stop: filling an
// older working copy would mix this run's cells with an earlier paper's. The copy is made beside the
// working copy and then put in its place in one step, so that a fill running at the same time (the
// companion, another window) never opens a half-written file.
bool CopyTemplate(const fs::path& from, const fs::path& to, Messages& messages) {
    fs::path fresh = to;
    fresh += ".yeni-" + std::to_string(::getpid());
    std::error_code ec, ignored;
    fs::copy_file(from, fresh, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(fresh, to, ec);
    if (!ec) return true;
    fs::remove(fresh, ignored);
    messages.show("Şablon kopyalanamadı: " + from.string() + " → " + to.string() + " (" +
                      CopyFailureReason(from, to, ec) + ")",
                  MessageIcon::None);
    return false;
}

// The first steps every fill shares: copy the template, start a new instance, show it, open the working
// copy. Returns false (after one message) when the workbook is not there to be filled.
bool Prepare(const PaperFolders& folders, std::string_view templateName, std::string_view copyName,
             Spreadsheet& sheet, Messages& messages) {
    const fs::path from = fs::path(folders.templates) / templateName;
    const fs::path to = fs::path(folders.copies) / copyName;
    if (!CopyTemplate(from, to, messages)) return false;
    Outcome started = sheet.start();
    if (!started.ok) {
        messages.show("LibreOffice Calc başlatılamadı: " + started.reason, MessageIcon::None);
        return false;
    }
    sheet.show(); // a window that cannot be shown is no reason to stop
    Outcome opened = sheet.open(to.string());
    if (!opened.ok) {
        messages.show("Çalışma kopyası açılamadı: " + to.string() + " (" + opened.reason + ")",
                      MessageIcon::None);
        sheet.release();
        return false;
    }
    return true;
}

// A field's text into its cell. In value mode a text the spreadsheet could take as a formula goes in as
// text, so a name such as "=HYPERLINK(...)" is shown as typed and never runs.
void Put(Spreadsheet& sheet, std::string_view cell, const std::string& text, WriteMode mode) {
    if (mode == WriteMode::Value && TakenAsFormula(text)) mode = WriteMode::Text;
    sheet.write(cell, text, mode);
}

// An amount with the currency of the case's papers after it: "YTL." before 2009, "TL" from then on.
std::string WithCurrency(const Record& r, const std::string& amount) {
    return amount + " " + std::string(KagitParaBirimi(r));
}

std::string CeilingLine(const Record& r) {
    std::string amount = r.text(Field::TAV);
    if (auto v = ParseNumber(amount))
        if (auto t = AmountText(*v)) amount = *t;
    return "Kıdem Tazminatı Tavanı: " + WithCurrency(r, amount);
}

// The window's title: the paper, and the employee's name when there is one ("Kıdem Bordrosu – Ayşe Çağlar").
std::string WindowTitle(std::string_view paper, const std::string& name) {
    const auto first = name.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string(paper);
    const auto last = name.find_last_not_of(" \t\r\n");
    return std::string(paper) + " \u2013 " + name.substr(first, last - first + 1);
}

std::string ReleaseText(const std::string& text, int& lines) {
    std::string out;
    out.reserve(text.size());
    lines = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += '\n';
            ++lines;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

bool BordroDoldur(const Record& r, bool kidem, const PaperFolders& folders, Spreadsheet& sheet,
                  Messages& messages) {
    if (!Prepare(folders, kBordroSablonu, kBordroKopyasi, sheet, messages)) return false;
    using F = Field;
    using M = WriteMode;
    auto put = [&](std::string_view cell, F f, M mode) { Put(sheet, cell, r.text(f), mode); };

    sheet.write("A1", kidem ? "KIDEM TAZMİNATI BORDROSU" : "İHBAR TAZMİNATI BORDROSU", M::Literal);
    put("N3", F::txtUnvani, M::Value);
    put("N4", F::txtSSkNoIsv, M::Value);
    put("CI3", F::txtVergiDairesi, M::Value);
    put("CI4", F::txtVergiNo, M::Value);
    put("a8", F::txtAdiSoyadi, M::Value);
    put("Q8", F::txtSSkNoPer, M::Text);
    put("Y8", F::txtTcKNo, M::Text);
    put("AH8", F::GTarih, M::Value);
    put("AO8", F::CTarih, M::Value);
    put("BA8", F::TBRUT, M::Value);
    if (kidem) {
        put("AV8", F::TGUNU, M::Value);
        put("BR8", F::BKTAZ, M::Text);
        put("CI8", F::DVER, M::Text);
        put("CS8", F::DVER, M::Text);
        put("DA8", F::NET, M::Text);
        Put(sheet, "A9", CeilingLine(r), M::Value);
    } else {
        put("AV8", F::TIGUNU, M::Value);
        put("BH8", F::DGVMAT, M::Value);
        put("BR8", F::BITZM, M::Value);
        put("CA8", F::IGVER, M::Value);
        put("CI8", F::IDVER, M::Value);
        auto tax = ParseNumber(r.text(F::IGVER));
        auto stamp = ParseNumber(r.text(F::IDVER));
        if (tax && stamp) sheet.writeNumber("CS8", *tax + *stamp);
        put("DA8", F::ITAZM, M::Value);
    }
    sheet.title(WindowTitle(kidem ? "Kıdem Bordrosu" : "İhbar Bordrosu", r.text(F::txtAdiSoyadi)));
    sheet.release();
    return true;
}

bool IbranameDoldur(const Record& r, const PaperFolders& folders, Spreadsheet& sheet, Messages& messages) {
    if (!Prepare(folders, kIbranameSablonu, kIbranameKopyasi, sheet, messages)) return false;
    using F = Field;
    using M = WriteMode;
    auto put = [&](std::string_view cell, F f, M mode) { Put(sheet, cell, r.text(f), mode); };

    put("AQ6", F::txtUnvani, M::Value);
    put("AQ7", F::txtSSkNoIsv, M::Text);
    put("aq10", F::txtAdiSoyadi, M::Value);
    put("aq11", F::txtSSkNoPer, M::Text);
    put("aq12", F::txtTcKNo, M::Text);
    put("aq13", F::GTarih, M::Value);
    put("aq14", F::CTarih, M::Value);
    put("aq15", F::txtAdres, M::Value);

    int n = 1;
    const std::string text = ReleaseText(r.text(F::txtIbraname), n);
    const std::string block = "A17:EX" + std::to_string(19 + n);
    if (sheet.fitsOnOnePage(block, text)) {
        sheet.merge(block);
        sheet.write("a17", text, M::Text);
    } else {
        // A merged block cannot break across pages: a text longer than the page goes in one row per line,
        // each as wide as the block and with its look, so that the pages break between lines. The rows
        // below the text stay empty, as the block's last three rows would be.
        if (n > 1) sheet.copyLook("A17", "A18:EX" + std::to_string(16 + n));
        size_t from = 0;
        for (int i = 0; i < n; ++i) {
            const size_t to = i + 1 < n ? text.find('\n', from) : text.size();
            const std::string rs = std::to_string(17 + i);
            sheet.merge("A" + rs + ":EX" + rs);
            sheet.write("a" + rs, text.substr(from, to - from), M::Text);
            from = to + 1;
        }
    }

    // The rows follow from the line count alone, so a write that fails never moves a later line.
    int row = n + 20;
    double total = 0;
    struct Payment {
        bool included;
        const char* label;
        F amount;
    };
    const Payment payments[] = {
        {r.check1() == 1, "Kıdem Tazminatı", F::NET},
        {r.check2() == 1, "İhbar Tazminatı", F::ITAZM},
        {LeadingNumber(r.text(F::YIUCRET)) != 0, "İzin Ücreti", F::YIUCRET},
    };
    for (const Payment& p : payments) {
        if (!p.included) continue;
        const std::string rs = std::to_string(row);
        const std::string& amount = r.text(p.amount);
        sheet.write("a" + rs, p.label, M::Literal);
        sheet.write("U" + rs, ":", M::Literal);
        sheet.alignRight("AT" + rs);
        Put(sheet, "AT" + rs, WithCurrency(r, amount), M::Value);
        if (auto v = ParseNumber(amount)) total += *v;
        ++row;
    }

    const std::string rs = std::to_string(row);
    sheet.write("a" + rs, "TOPLAM", M::Literal);
    sheet.topBorder("AT" + rs, "W" + rs);
    sheet.write("U" + rs, ":", M::Literal);
    sheet.alignRight("AT" + rs);
    if (auto t = AmountText(total)) sheet.write("AT" + rs, WithCurrency(r, *t), M::Value);
    sheet.title(WindowTitle("İbraname", r.text(F::txtAdiSoyadi)));
    sheet.release();
    return true;
}

frmRaporSec::frmRaporSec(const Record& record, PaperFolders folders, SpreadsheetFactory factory,
                         Messages& messages)
    : record_(record), folders_(std::move(folders)), factory_(std::move(factory)), messages_(messages) {}

std::unique_ptr<Spreadsheet> frmRaporSec::newSheet() {
    std::unique_ptr<Spreadsheet> sheet = factory_ ? factory_() : nullptr;
    if (!sheet) messages_.show("LibreOffice Calc başlatılamadı.", MessageIcon::None);
    return sheet;
}

bool frmRaporSec::BordroHazirla() {
    auto sheet = newSheet();
    return sheet && pamerol::BordroDoldur(record_, kidemBordrosu_, folders_, *sheet, messages_);
}

bool frmRaporSec::IbranameHazirla() {
    auto sheet = newSheet();
    return sheet && pamerol::IbranameDoldur(record_, folders_, *sheet, messages_);
}

void frmRaporSec::yazdir() {
    bool filled = false;
    switch (secim_) {
    case KidemBordrosuSecimi:
        kidemBordrosu_ = true;
        filled = BordroHazirla();
        break;
    case IhbarBordrosuSecimi:
        kidemBordrosu_ = false;
        filled = BordroHazirla();
        break;
    case IbranameSecimi: filled = IbranameHazirla(); break;
    default: break;
    }
    if (filled && filled_) filled_(secim_);
}

} // namespace pamerol
