// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/dokumler.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>
#include <vector>

#include "base/conversions.h"
#include "figures/yasal_degerler.h"
#include "printouts/ibraname.h"
#include "printouts/yaziyla.h"
#include "statement/aciklama.h"

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
    return amount + " " + std::string(DokumParaBirimi(r, TodayKey()));
}

// A date column: an empty date mask (a case calculated from premium days) prints blank.
void PutDate(Spreadsheet& sheet, std::string_view cell, const std::string& date) {
    const bool empty = date.find_first_not_of("_. ") == std::string::npos;
    if (empty)
        sheet.write(cell, "", WriteMode::Text);
    else
        Put(sheet, cell, date, WriteMode::Value);
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

// The footer's line for the letter's date: below two lines of room, beside the signature lines.
constexpr int kFooterDateLine = 3;
// The widest line a name under a signature line may take in the footer, in characters: the footer's
// sides share the page's width, and a longer line would run into the middle.
constexpr size_t kFooterNameWidth = 32;

// Characters (not bytes) of a UTF-8 text.
size_t Chars(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

// A name for the footer: its lines (a trade name may have several) broken at blanks into lines of at most
// kFooterNameWidth characters; a longer word is broken too.
std::string FooterName(const std::string& name) {
    std::string out, line;
    auto flush = [&] {
        if (line.empty()) return;
        out += (out.empty() ? "" : "\n") + line;
        line.clear();
    };
    std::string text;
    for (char c : name) text += c == '\r' ? ' ' : c == '\n' ? '\n' : c;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t to = std::min(text.find('\n', from), text.size());
        std::istringstream words(text.substr(from, to - from));
        for (std::string w; words >> w;) {
            if (!line.empty() && Chars(line) + 1 + Chars(w) > kFooterNameWidth) flush();
            while (Chars(w) > kFooterNameWidth) {
                size_t at = 0; // the byte that begins the character after kFooterNameWidth of them
                for (size_t chars = 0; at < w.size(); ++at) {
                    if ((static_cast<unsigned char>(w[at]) & 0xC0) == 0x80) continue;
                    if (chars++ == kFooterNameWidth) break;
                }
                line = w.substr(0, at);
                flush();
                w.erase(0, at);
            }
            line += (line.empty() ? "" : " ") + w;
        }
        flush();
        from = to + 1;
    }
    return out;
}

// One row of the release text as the pages break it.
struct LetterRow {
    int row;
    std::string text;
    int height;
    bool newPage;
};

struct LetterLayout {
    std::vector<LetterRow> rows; // empty: the text goes in one merged block from A17
    int plainRow = 0;            // the height of the empty rows and of the amount lines
    int wordsRow = 0;            // the height of the total in words
    std::vector<int> labelRows;  // each payment line's height: taller where its kind wraps; empty: unmeasured
};

// A payment's kind stands in A to T, before the colon; a kind the clerk typed may need more than a line.
constexpr const char* kPaymentLabel = "A17:T17";

// Where a text may be cut between laid-out lines: after each word (before the blanks that follow it).
std::vector<size_t> WordEnds(const std::string& text) {
    std::vector<size_t> out;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != ' ' && (i + 1 == text.size() || text[i + 1] == ' ')) out.push_back(i + 1);
    return out;
}

// Every character boundary, for a word longer than a page.
std::vector<size_t> CharacterEnds(const std::string& text) {
    std::vector<size_t> out;
    for (size_t i = 1; i <= text.size(); ++i)
        if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) out.push_back(i);
    return out;
}

// The longest beginning of the text, cut at one of these places, whose height is at most `limit`; 0 when
// none is. Heights grow with the text, so a binary search finds it.
size_t LongestFitting(Spreadsheet& sheet, std::string_view range, const std::string& text,
                      const std::vector<size_t>& cuts, int limit) {
    size_t lo = 0, hi = cuts.size(); // cuts[0, lo) fit; cuts[hi, end) do not
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (sheet.textHeight(range, text.substr(0, cuts[mid])) <= limit)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo == 0 ? 0 : cuts[lo - 1];
}

bool Blank(const std::string& s) {
    return s.find_first_not_of(" \t\r") == std::string::npos;
}

// Works out the release letter's rows. When everything (the header, the text block with its three empty
// rows, the amount lines, the total and the total in words) fits the first page, or the backend cannot
// measure the page, the text stays one merged block. Otherwise each line break begins a row, and a row that
// would not fit the room left on its page is cut between two of its laid-out lines; each later page begins
// with the employee's name and "İbraname (devam)". The empty rows, amounts, total and words keep together on
// one page with at least the last line of text above them.
LetterLayout LayOutLetter(Spreadsheet& sheet, const std::string& text, int n,
                          const std::vector<std::string>& labels, const std::string& words,
                          const std::string& name) {
    LetterLayout out;
    // A little less than the page, so that rounding in the office never pushes a row over.
    const int body = sheet.pageBodyHeight() - 50;
    if (body <= 0) return out;
    constexpr const char* range = "A17:EX17";
    out.plainRow = std::max(sheet.rowHeight(17), 1);
    out.wordsRow = std::max(out.plainRow, sheet.textHeight(range, words));
    int labelsHeight = 0;
    const int oneLine = sheet.textHeight(kPaymentLabel, "Ag");
    for (const std::string& label : labels) {
        const int h = sheet.textHeight(kPaymentLabel, label);
        out.labelRows.push_back(h > oneLine ? std::max(out.plainRow, h) : out.plainRow);
        labelsHeight += out.labelRows.back();
    }
    int used = 0; // on the current page
    for (int r = 1; r <= 16; ++r) {
        const int h = sheet.rowHeight(r);
        used = used + h > body ? h : used + h;
    }
    const int amounts = labelsHeight + out.plainRow + out.wordsRow;
    int block = 0;
    for (int r = 17; r <= 19 + n; ++r) block += sheet.rowHeight(r);
    block = std::max(block, sheet.textHeight("A17:EX" + std::to_string(19 + n), text));
    if (used + block + amounts <= body) return out;

    std::string shownName = name;
    for (char& c : shownName)
        if (c == '\r' || c == '\n') c = ' ';
    const std::string continued = (Blank(shownName) ? "" : shownName + " \u2013 ") + "İbraname (devam)";
    const int continuedHeight = std::max(sheet.textHeight(range, continued), 1);

    std::vector<std::string> paragraphs;
    for (size_t from = 0;;) {
        const size_t to = text.find('\n', from);
        paragraphs.push_back(text.substr(from, to == std::string::npos ? std::string::npos : to - from));
        if (to == std::string::npos) break;
        from = to + 1;
    }
    int lastVisible = -1;
    for (int i = 0; i < static_cast<int>(paragraphs.size()); ++i)
        if (!Blank(paragraphs[static_cast<size_t>(i)])) lastVisible = i;
    // What must stand on the page of the last line of text: the empty lines after it, the three empty rows,
    // the amounts, the total and the words.
    int keep = 3 * out.plainRow + amounts;
    for (int i = lastVisible + 1; i < static_cast<int>(paragraphs.size()); ++i)
        keep += sheet.textHeight(range, paragraphs[static_cast<size_t>(i)]);

    int row = 17;
    bool pendingBreak = false;
    bool freshPage = false; // nothing on the page yet but its first line
    auto place = [&](std::string t, int h) {
        out.rows.push_back({row++, std::move(t), h, pendingBreak});
        pendingBreak = false;
        used += h;
        freshPage = false;
    };
    auto newPage = [&] {
        pendingBreak = true;
        used = 0;
        place(continued, continuedHeight);
        freshPage = true;
    };
    for (int i = 0; i < static_cast<int>(paragraphs.size()); ++i) {
        std::string rest = paragraphs[static_cast<size_t>(i)];
        const bool last = i == lastVisible;
        for (;;) {
            const int room = body - used;
            const int h = sheet.textHeight(range, rest);
            if (h + (last ? keep : 0) <= room) {
                place(rest, h);
                break;
            }
            // The part that fits the room; the last line of text leaves at least one line for the next page.
            const int limit = last && h <= room ? h - 1 : room;
            size_t cut = LongestFitting(sheet, range, rest, WordEnds(rest), limit);
            if (cut == 0 && freshPage) cut = LongestFitting(sheet, range, rest, CharacterEnds(rest), limit);
            if (cut == 0 && freshPage) { // a single line taller than what is left: it has to stand here
                place(rest, h);
                break;
            }
            if (cut > 0) {
                place(rest.substr(0, cut), sheet.textHeight(range, rest.substr(0, cut)));
                const size_t next = rest.find_first_not_of(' ', cut);
                rest = next == std::string::npos ? std::string() : rest.substr(next);
            }
            newPage();
        }
    }
    if (lastVisible < 0 && used + keep > body) newPage(); // no text: the amounts begin the next page
    return out;
}

// The statement's grid, laid out by its template: a caption in A (running on over the empty cells to its
// right), a figure's name in B, its text in C (running on over D to F), its amount in G, right-aligned;
// rows kAciklamaFirstRow to kAciklamaLastRow have those looks already. Row 14 holds the looks of the cells
// that differ: B14 and C14 a text that wraps, E14 a column's heading, G14 an amount.
constexpr int kAciklamaFirstRow = 15;
constexpr int kAciklamaLastRow = 300;
constexpr size_t kAciklamaColumns = 7; // A to G
constexpr int kAciklamaB = 1, kAciklamaC = 2, kAciklamaF = 5, kAciklamaG = 6;
constexpr const char* kAciklamaCaptionLook = "A14";
constexpr const char* kAciklamaHeadLook = "E14";
constexpr const char* kAciklamaAmountLook = "G14";
// A text of more characters than this may not fit the cells it runs on over (C to F, 10,8 cm at 9 pt): it
// wraps in a block merged over them instead, as tall as it needs.
constexpr size_t kAciklamaRunOn = 56;
// A caption of more characters than this would run into the legal basis beside it: the basis gets a row
// of its own.
constexpr size_t kAciklamaCaptionRunOn = 30;
// The room to sign in, above the dotted lines.
constexpr int kAciklamaSignRoom = 1200;
// The most characters a line of a wrapped block surely holds, whatever the letters: 9 pt Arial has no
// glyph wider than 1,02 em (0,32 cm), and the block is measured at 96 % of its width less its margins.
// The particulars' blocks (C to G) and the statement's blocks from B or C to G, or C to F.
constexpr size_t kAciklamaParticularChars = 38;
constexpr size_t kAciklamaWrapCharsB = 53, kAciklamaWrapCharsC = 38, kAciklamaWrapCharsCF = 30;

// One row of the statement paper.
struct StatementRow {
    std::array<std::string, kAciklamaColumns> cells; // A to G
    int wrapFrom = -1; // a long text in this column wraps in a block merged from it to wrapTo
    int wrapTo = kAciklamaG;
    bool head = false;    // the summary's column headings: bold, right-aligned
    bool amounts = false; // the summary's amounts in C to F: right-aligned as in G
    bool total = false;   // a line above it, as over a total
    int height = 0;       // a fixed height; 0: a plain row, or as tall as its wrapped text
};
using StatementBlock = std::vector<StatementRow>;

// Whether a text is an amount in the amount pattern ("12.345,67", "-0,01").
bool AmountPattern(std::string_view t) {
    if (!t.empty() && t.front() == '-') t.remove_prefix(1);
    const size_t comma = t.find(',');
    if (comma == std::string_view::npos || comma == 0 || t.size() != comma + 3 || t.front() == '.')
        return false;
    for (size_t i = 0; i < t.size(); ++i) {
        if (i == comma) continue;
        const bool digit = std::isdigit(static_cast<unsigned char>(t[i])) != 0;
        // Before the comma, a dot stands before each group of three digits.
        const bool dot = i < comma && (comma - i) % 4 == 0;
        if (dot ? t[i] != '.' : !digit) return false;
    }
    return true;
}

// A long text in column `from` wraps in a block up to G, or up to F when G holds an amount.
void WrapIfLong(StatementRow& row, int from) {
    if (Chars(row.cells[static_cast<size_t>(from)]) <= kAciklamaRunOn) return;
    row.wrapFrom = from;
    row.wrapTo = row.cells[kAciklamaG].empty() ? kAciklamaG : kAciklamaF;
}

// A figure: its name in B; an amount in G, a calculation in C with its outcome in G, any other text in C.
StatementRow FigureRow(const std::string& name, const std::string& value) {
    StatementRow row;
    row.cells[kAciklamaB] = name;
    const size_t eq = value.rfind(" = ");
    if (AmountPattern(value)) {
        row.cells[kAciklamaG] = value;
    } else if (eq != std::string::npos && AmountPattern(std::string_view(value).substr(eq + 3))) {
        row.cells[kAciklamaC] = value.substr(0, eq);
        row.cells[kAciklamaG] = value.substr(eq + 3);
    } else {
        row.cells[kAciklamaC] = value;
    }
    WrapIfLong(row, kAciklamaC);
    return row;
}

// A text over the whole width from B, wrapped.
StatementRow ParagraphRow(const std::string& text) {
    StatementRow row;
    row.cells[kAciklamaB] = text;
    row.wrapFrom = kAciklamaB;
    return row;
}

StatementRow CaptionRow(const std::string& caption) {
    StatementRow row;
    row.cells[0] = caption;
    return row;
}

// Turkish capitals of a text of the program's own (letters a to z and the Turkish ones): all of them, or
// the first letter only.
std::string Capitals(const std::string& text, bool onlyFirst) {
    static const std::pair<std::string_view, std::string_view> kTurkish[] = {
        {"ı", "I"}, {"i", "İ"}, {"ş", "Ş"}, {"ğ", "Ğ"}, {"ü", "Ü"}, {"ö", "Ö"}, {"ç", "Ç"}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const bool change = !onlyFirst || i == 0;
        bool done = false;
        for (const auto& [small, capital] : kTurkish) {
            if (change && text.compare(i, small.size(), small) == 0) {
                out += capital;
                i += small.size();
                done = true;
                break;
            }
        }
        if (done) continue;
        const char c = text[i++];
        out += change && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

// The group of a caption and the step within it: "Kıdem tazminatı: brüt" is "Brüt" of "Kıdem tazminatı".
std::pair<std::string, std::string> GroupAndStep(const std::string& baslik) {
    const size_t colon = baslik.find(": ");
    if (colon == std::string::npos) return {{}, baslik};
    return {baslik.substr(0, colon), Capitals(baslik.substr(colon + 2), true)};
}

// A step: its caption with its legal basis beside it and its result at the right (an amount or a day
// count; any other result on a row of its own), then its figures.
StatementBlock StepRows(const AciklamaSatiri& line, const std::string& caption) {
    StatementBlock rows{CaptionRow(caption)};
    const bool shortResult =
        AmountPattern(line.sonuc) ||
        (!line.sonuc.empty() && line.sonuc.find_first_not_of("0123456789") == std::string::npos);
    if (shortResult) rows[0].cells[kAciklamaG] = line.sonuc;
    if (!line.dayanak.empty()) {
        if (Chars(caption) <= kAciklamaCaptionRunOn) {
            rows[0].cells[kAciklamaC] = "Dayanak: " + line.dayanak;
            WrapIfLong(rows[0], kAciklamaC);
        } else {
            rows.push_back(FigureRow("Dayanak", line.dayanak));
        }
    }
    for (const auto& [name, value] : line.degerler) rows.push_back(FigureRow(name, value));
    if (!shortResult && !line.sonuc.empty()) rows.push_back(FigureRow("Sonuç", line.sonuc));
    return rows;
}

// The summary's rows: the termination reason, the service, and a table of the payments (gross, each
// deduction, net) headed with the currency.
void SummaryRows(const AciklamaSatiri& line, const std::string& currency, StatementBlock& rows, bool& table,
                 bool& notTaken) {
    const auto [prefix, name] = GroupAndStep(line.baslik);
    if (prefix.empty()) { // the termination reason
        StatementRow row;
        row.cells[kAciklamaB] = name;
        row.cells[kAciklamaC] = line.sonuc + (line.dayanak.empty() ? "" : " (" + line.dayanak + ")");
        WrapIfLong(row, kAciklamaC);
        rows.push_back(row);
        for (const auto& [n, v] : line.degerler) rows.push_back(FigureRow(n, v));
        return;
    }
    const std::string caption = Capitals(name, true);
    if (line.degerler.size() != 4) { // the service, or a payment not made
        std::string text = line.sonuc;
        for (size_t i = 0; i < line.degerler.size(); ++i)
            text += (i == 0 ? " (" : ", ") + line.degerler[i].first + " " + line.degerler[i].second +
                    (i + 1 == line.degerler.size() ? ")" : "");
        StatementRow row;
        row.cells[kAciklamaB] = caption;
        row.cells[kAciklamaC] = text;
        WrapIfLong(row, kAciklamaC);
        rows.push_back(row);
        return;
    }
    if (!table) {
        StatementRow head;
        head.head = true;
        head.cells = {
            "", "Ödeme (" + currency + ")", "Brüt", "SGK İşçi Payı", "Gelir Vergisi", "Damga Vergisi", "Net"};
        rows.push_back(head);
        table = true;
    }
    StatementRow row;
    row.amounts = true;
    row.total = caption == "Toplam";
    row.cells[kAciklamaB] = caption;
    for (size_t i = 0; i < 4; ++i) {
        row.cells[kAciklamaC + i] = line.degerler[i].second;
        notTaken = notTaken || line.degerler[i].second == kAlinmaz;
    }
    row.cells[kAciklamaG] = line.sonuc;
    rows.push_back(row);
}

// A legal figure: its name, where it came from and its period, its value at the right; then its sources.
StatementBlock FigureRows(const AciklamaSatiri& line) {
    StatementRow row;
    row.cells[kAciklamaB] = line.baslik.substr(line.baslik.find(": ") + 2);
    std::string where = line.sonuc;
    if (!line.deger("Dönem").empty()) where += "; " + line.deger("Dönem");
    if (!line.deger("Yürürlükteki").empty()) where += "; yürürlükteki: " + line.deger("Yürürlükteki");
    row.cells[kAciklamaC] = where;
    row.cells[kAciklamaG] = line.deger("Kullanılan");
    WrapIfLong(row, kAciklamaC);
    StatementBlock block{row};
    if (!line.deger("Kaynaklar").empty()) {
        StatementRow sources;
        sources.cells[kAciklamaC] = "Kaynak: " + line.deger("Kaynaklar");
        sources.wrapFrom = kAciklamaC;
        block.push_back(sources);
    }
    return block;
}

// The blocks of the statement, each kept on one page: the summary, then each step under its group's
// heading, the notes, the legal figures with their sources, and any warning.
std::vector<StatementBlock> StatementBlocks(const Aciklama& aciklama) {
    std::vector<StatementBlock> blocks;
    StatementBlock pending; // headings that go with the next block
    const auto section = [&](const std::string& heading) {
        pending.push_back({});
        pending.push_back(CaptionRow(heading));
    };
    const auto add = [&](StatementBlock block) {
        block.insert(block.begin(), pending.begin(), pending.end());
        pending.clear();
        blocks.push_back(std::move(block));
    };
    std::string currency, group;
    bool table = false, notTaken = false, figures = false;
    StatementBlock summary{CaptionRow("ÖZET")};
    for (const AciklamaSatiri& line : aciklama) {
        if (line.tur == SatirTuru::Ozet) {
            if (line.baslik == "Özet: para birimi")
                currency = line.sonuc;
            else
                SummaryRows(line, currency, summary, table, notTaken);
            continue;
        }
        if (!summary.empty()) {
            if (notTaken)
                summary.push_back(ParagraphRow(
                    std::string(kAlinmaz) + " Kıdem ve ihbar tazminatı prime esas kazanca girmez: SGK işçi "
                                            "payı alınmaz (5510 sayılı Kanun m. 80)."));
            add(std::move(summary));
            summary.clear();
            section("HESAP ADIMLARI");
        }
        switch (line.tur) {
        case SatirTuru::Adim: {
            const auto [prefix, step] = GroupAndStep(line.baslik);
            if (prefix != group && !prefix.empty()) pending.push_back(CaptionRow(Capitals(prefix, false)));
            group = prefix;
            add(StepRows(line, step));
            break;
        }
        case SatirTuru::Not: add({CaptionRow(line.baslik), ParagraphRow(line.sonuc)}); break;
        case SatirTuru::YasalDeger: {
            if (!figures) section("KULLANILAN YASAL DEĞERLER");
            figures = true;
            StatementBlock block = FigureRows(line);
            // The bracket rows of a year share their sources: named once, after the last of them.
            if (block.size() == 2 && !blocks.empty() && blocks.back().size() >= 2 &&
                blocks.back().back().cells[kAciklamaC] == block.back().cells[kAciklamaC])
                blocks.back().pop_back();
            add(std::move(block));
            break;
        }
        case SatirTuru::Uyari: {
            StatementBlock block{CaptionRow(line.baslik)};
            for (const auto& [n, v] : line.degerler) block.push_back(FigureRow(n, v));
            block.push_back(ParagraphRow(line.sonuc));
            add(std::move(block));
            break;
        }
        case SatirTuru::Ozet: break;
        }
    }
    if (!summary.empty()) add(std::move(summary));
    return blocks;
}

// Whether a text of one line (no line break) surely fits a line of `chars` characters.
bool FitsOneLine(const std::string& text, size_t chars) {
    return text.find_first_of("\r\n") == std::string::npos && Chars(text) <= chars;
}

// The characters a line of a row's wrapped block surely holds.
size_t WrapChars(const StatementRow& row) {
    if (row.wrapFrom == kAciklamaB) return kAciklamaWrapCharsB;
    return row.wrapTo == kAciklamaG ? kAciklamaWrapCharsC : kAciklamaWrapCharsCF;
}

// The range of a row's wrapped text, "C17:G17".
std::string WrapRange(const StatementRow& row, int r) {
    const std::string rs = std::to_string(r);
    return ColumnLetters(row.wrapFrom) + rs + ":" + ColumnLetters(row.wrapTo) + rs;
}
} // namespace

namespace {

// A severance that could not be worked out (the ceiling of the date is missing) goes on no paper that
// would show it: an empty amount signed for is worse than no paper.
bool SeveranceUnknown(const Record& r, Messages& messages) {
    const Hesap* h = r.hesap();
    if (!h || !h->sonuc.severanceUnknown) return false;
    messages.show(
        CeilingNote(h->dava.input, h->dava.law, h->sonuc).value_or("Kıdem tazminatı hesaplanmadı.") +
            "\r\nKıdem tazminatını gösteren döküm yazdırılmadı.",
        MessageIcon::Warning);
    return true;
}

// A payroll sheet of a payment the termination reason makes not due is not made: it says why instead.
bool NotDue(const Record& r, bool kidem, Messages& messages) {
    const Hesap* h = r.hesap();
    if (!h) return false;
    const auto note = kidem ? SeveranceDueNote(h->sonuc) : NoticeDueNote(h->sonuc);
    if (!note) return false;
    messages.show(std::string(kidem ? "Kıdem tazminatı: " : "İhbar tazminatı: ") + *note +
                      "\r\nBordro yazdırılmadı.",
                  MessageIcon::Warning);
    return true;
}

} // namespace

std::optional<std::string> FesihNedeniUyarisi(const Record& r) {
    const Hesap* h = r.hesap();
    if (!h || h->sonuc.reason != &NoReasonChosen()) return std::nullopt;
    return "Fesih nedeni seçilmedi (Personel sekmesi): kıdem ve ihbar tazminatı ikisi de hesaplandı; "
           "hangisinin hak edildiği fesih nedenine göre değişir.";
}

// A payroll sheet's title, the employer's and the employee's particulars and the dates.
void BordroBasligi(const Record& r, const char* title, Spreadsheet& sheet) {
    using F = Field;
    using M = WriteMode;
    auto put = [&](std::string_view cell, F f, M mode) { Put(sheet, cell, r.text(f), mode); };
    sheet.write("A1", title, M::Literal);
    put("N3", F::txtUnvani, M::Value);
    put("N4", F::txtSSkNoIsv, M::Value);
    put("CI3", F::txtVergiDairesi, M::Value);
    put("CI4", F::txtVergiNo, M::Value);
    put("a8", F::txtAdiSoyadi, M::Value);
    put("Q8", F::txtSSkNoPer, M::Text);
    put("Y8", F::txtTcKNo, M::Text);
    PutDate(sheet, "AH8", r.text(F::GTarih));
    PutDate(sheet, "AO8", r.text(F::CTarih));
}

bool IzinBordroDoldur(const Record& r, const PaperFolders& folders, Spreadsheet& sheet, Messages& messages) {
    const Hesap* h = r.hesap();
    if (!h || !h->sonuc.leave) {
        messages.show("İzin ücreti yok: \"İzin\" sekmesinde kullanılmayan izin gününü (ya da \"Yıllık İzin "
                      "Ücreti\"ni) yazıp yeniden hesaplayın.",
                      MessageIcon::Warning);
        return false;
    }
    if (!Prepare(folders, kBordroSablonu, kBordroKopyasi, sheet, messages)) return false;
    using F = Field;
    using M = WriteMode;
    const Result& x = h->sonuc;
    auto put = [&](std::string_view cell, F f, M mode) { Put(sheet, cell, r.text(f), mode); };
    BordroBasligi(r, "YILLIK İZİN ÜCRETİ BORDROSU", sheet);
    sheet.write("BR6", "Brüt İzin Ücreti", M::Literal); // the template's column says "Brüt Tazminat"
    // The days and the wage without the extra pay they were paid at; a typed leave pay has neither.
    if (x.leaveFromDays) {
        put("AV8", F::IZGUN, M::Value);
        put("BA8", F::ESUCRET, M::Value);
    }
    // The year's base the leave pay is taxed on top of, the taxes in their columns, and the deductions with
    // the employee's SGK shares, added in kuruş; the SGK shares, which have no column, on the line below.
    if (auto base = AmountText(x.leaveCarriedBase)) sheet.write("BH8", *base, M::Value);
    put("BR8", F::IZBRUT, M::Text);
    put("CA8", F::IZGVER, M::Text);
    put("CI8", F::IZDVER, M::Text);
    sheet.writeNumber("CS8", static_cast<double>(x.izSgkKurus + x.izGverKurus + x.izDverKurus) / 100);
    put("DA8", F::IZNET, M::Text);
    Put(sheet, "A9",
        "SGK işçi payı " + KurusText(x.izSgkKurus) + " (sigorta primi " + KurusText(x.leaveInsuranceKurus) +
            ", işsizlik sigortası primi " + KurusText(x.leaveUnemploymentKurus) + "; prime esas tutar " +
            KurusText(x.leaveSgkBaseKurus) + ") kesintiler toplamındadır.",
        M::Value);
    sheet.title(WindowTitle("İzin Bordrosu", r.text(F::txtAdiSoyadi)));
    sheet.release();
    return true;
}

bool BordroDoldur(const Record& r, bool kidem, const PaperFolders& folders, Spreadsheet& sheet,
                  Messages& messages) {
    if ((kidem && SeveranceUnknown(r, messages)) || NotDue(r, kidem, messages)) return false;
    if (!Prepare(folders, kBordroSablonu, kBordroKopyasi, sheet, messages)) return false;
    using F = Field;
    using M = WriteMode;
    auto put = [&](std::string_view cell, F f, M mode) { Put(sheet, cell, r.text(f), mode); };

    BordroBasligi(r, kidem ? "KIDEM TAZMİNATI BORDROSU" : "İHBAR TAZMİNATI BORDROSU", sheet);
    put("BA8", F::TBRUT, M::Value);
    if (kidem) {
        put("AV8", F::TGUNU, M::Value);
        put("BR8", F::BKTAZ, M::Text);
        // The severance above the statutory amount is taxed on top of the year's base, in the income-tax
        // column; the deductions are both taxes as shown, added in kuruş.
        put("BH8", F::DGVMAT, M::Value);
        put("CA8", F::KGVER, M::Text);
        put("CI8", F::DVER, M::Text);
        if (const Hesap* h = r.hesap(); h && h->sonuc.entitled)
            sheet.writeNumber("CS8", static_cast<double>(h->sonuc.kgverKurus + h->sonuc.dverKurus) / 100);
        put("DA8", F::NET, M::Text);
        Put(sheet, "A9", CeilingLine(r), M::Value);
    } else {
        put("AV8", F::TIGUNU, M::Value);
        put("BH8", F::DGVMAT, M::Value);
        put("BR8", F::BITZM, M::Value);
        put("CA8", F::IGVER, M::Value);
        put("CI8", F::IDVER, M::Value);
        // The deductions as shown, added in kuruş.
        if (const Hesap* h = r.hesap())
            sheet.writeNumber("CS8", static_cast<double>(h->sonuc.igverKurus + h->sonuc.idverKurus) / 100);
        put("DA8", F::ITAZM, M::Value);
    }
    sheet.title(WindowTitle(kidem ? "Kıdem Bordrosu" : "İhbar Bordrosu", r.text(F::txtAdiSoyadi)));
    sheet.release();
    return true;
}

bool IbranameDoldur(const Record& r, const PaperFolders& folders, Spreadsheet& sheet, Messages& messages,
                    bool birAyIcindeKabul) {
    const int today = TodayKey();
    // A letter the law makes void is not made: without the period of service, or within a month of the
    // exit unless the clerk said so in the window.
    if (const auto engel = IbranameEngeliVar(r, today); engel && !(engel->birAy && birAyIcindeKabul)) {
        messages.show(engel->neden + "\r\nİbraname yazdırılmadı.", MessageIcon::Warning);
        return false;
    }
    if (r.check1() == 1 && SeveranceUnknown(r, messages)) return false;
    if (!Prepare(folders, kIbranameSablonu, kIbranameKopyasi, sheet, messages)) return false;
    using F = Field;
    using M = WriteMode;
    auto put = [&](std::string_view cell, F f, M mode) { Put(sheet, cell, r.text(f), mode); };

    put("AQ6", F::txtUnvani, M::Value);
    put("AQ7", F::txtSSkNoIsv, M::Text);
    put("AQ8", F::txtAdresi, M::Value);
    put("aq10", F::txtAdiSoyadi, M::Value);
    put("aq11", F::txtSSkNoPer, M::Text);
    put("aq12", F::txtTcKNo, M::Text);
    PutDate(sheet, "aq13", r.text(F::GTarih));
    PutDate(sheet, "aq14", r.text(F::CTarih));
    put("aq15", F::txtAdres, M::Value);

    // The letter's one date, in the footer; the names under the signature lines, the shorter one filled
    // out with empty lines so that both signature blocks stand level.
    const int date = IbranameTarihi(r, today);
    sheet.footerLine(Spreadsheet::FooterSide::Center, kFooterDateLine, "Tarih: " + DateText(date));
    std::string employer = FooterName(r.text(F::txtUnvani));
    std::string employee = FooterName(r.text(F::txtAdiSoyadi));
    const auto lineCount = [](const std::string& s) {
        return s.empty() ? 0 : static_cast<int>(std::count(s.begin(), s.end(), '\n')) + 1;
    };
    for (int i = lineCount(employer); i < lineCount(employee); ++i)
        employer += (i ? "\n" : "") + std::string("\u00a0");
    for (int i = lineCount(employee); i < lineCount(employer); ++i)
        employee += (i ? "\n" : "") + std::string("\u00a0");
    if (!employer.empty()) sheet.footerLine(Spreadsheet::FooterSide::Left, -1, employer);
    if (!employee.empty()) sheet.footerLine(Spreadsheet::FooterSide::Right, -1, employee);

    // The standard text of an earlier release, which released claims it did not name, gives way to
    // today's; a clerk's own text stays as it is.
    const std::string& typed = r.text(F::txtIbraname);
    int n = 1;
    const std::string text =
        ReleaseText(typed == kPreviousReleaseText ? std::string(kDefaultReleaseText) : typed, n);

    // Each payment with its kind and its net amount, added in kuruş; a payment the case does not make due
    // (not entitled, or not due for the termination reason) is no claim released: it is left out, never
    // an empty amount.
    struct Payment {
        std::string label;
        Kurus kurus;
    };
    const Hesap* h = r.hesap();
    std::vector<Payment> payments;
    if (h) {
        const Result& x = h->sonuc;
        if (r.check1() == 1 && x.severancePaid()) payments.push_back({"Kıdem Tazminatı (net)", x.netKurus});
        if (r.check2() == 1 && x.noticePaid()) payments.push_back({"İhbar Tazminatı (net)", x.itazmKurus});
        // The leave pay as paid, after its SGK shares and taxes.
        if (x.leave) payments.push_back({"İzin Ücreti (net)", x.izNetKurus});
    }
    for (const EkOdeme& e : EkOdemeleriOku(r.text(F::txtEkOdemeler)).satirlar)
        payments.push_back({e.tur + " (net)", e.kurus});
    Kurus totalKurus = 0;
    for (const Payment& p : payments) totalKurus += p.kurus;
    const double total = static_cast<double>(totalKurus) / 100;
    const bool yeniLira = DokumParaBirimi(r, today) == "YTL.";
    std::string words = "Yalnız: " + TutarYaziyla(total, yeniLira);
    // The leave pay is wage: what was deducted from it is itemised under the total, which adds nets.
    if (h && h->sonuc.leave) {
        const Result& x = h->sonuc;
        words += "\nİzin ücreti: brüt " + KurusText(x.izBrutKurus) + "; SGK işçi payı " +
                 KurusText(x.izSgkKurus) + ", gelir vergisi " + KurusText(x.izGverKurus) +
                 ", damga vergisi " + KurusText(x.izDverKurus) + " kesildi, net " + KurusText(x.izNetKurus) +
                 ". Toplam, kesintiler düşülmüş net tutarların toplamıdır.";
    }
    // How the amounts were paid: the day and the account.
    if (const std::string paid = OdemeBeyani(r); !paid.empty()) words += "\n" + paid;

    // Where the text goes: as one merged block when the whole letter fits its first page, else in rows
    // that the pages break between.
    std::vector<std::string> labels;
    for (const Payment& p : payments) labels.push_back(p.label);
    const LetterLayout layout = LayOutLetter(sheet, text, n, labels, words, r.text(F::txtAdiSoyadi));
    int row = 0;
    if (layout.rows.empty()) {
        const std::string block = "A17:EX" + std::to_string(19 + n);
        sheet.merge(block);
        sheet.write("a17", text, M::Text);
        // The rows follow from the line count alone, so a write that fails never moves a later line.
        row = n + 20;
    } else {
        for (const LetterRow& lr : layout.rows) {
            const std::string rs = std::to_string(lr.row);
            const std::string range = "A" + rs + ":EX" + rs;
            if (lr.newPage) sheet.pageBreakBefore(lr.row);
            if (lr.row != 17) sheet.copyLook("A17", range);
            sheet.merge(range);
            sheet.write("a" + rs, lr.text, M::Text);
            sheet.setRowHeight(lr.row, lr.height);
        }
        row = layout.rows.back().row + 1;
        // Three empty rows, as below the merged block, then the amounts, all at the heights reckoned with.
        for (int i = 0; i < 3; ++i) sheet.setRowHeight(row++, layout.plainRow);
        for (int i = 0; i <= static_cast<int>(payments.size()); ++i)
            sheet.setRowHeight(row + i, layout.plainRow);
    }

    for (size_t i = 0; i < payments.size(); ++i) {
        const Payment& p = payments[i];
        const std::string rs = std::to_string(row);
        // A kind longer than its room wraps there, in the letter's look, and its line grows.
        if (i < layout.labelRows.size() && layout.labelRows[i] > layout.plainRow) {
            sheet.copyLook("A17", "A" + rs + ":T" + rs);
            sheet.merge("A" + rs + ":T" + rs);
            sheet.setRowHeight(row, layout.labelRows[i]);
        }
        Put(sheet, "a" + rs, p.label, M::Text);
        sheet.write("U" + rs, ":", M::Literal);
        sheet.alignRight("AT" + rs);
        Put(sheet, "AT" + rs, WithCurrency(r, KurusText(p.kurus)), M::Value);
        ++row;
    }

    const std::string rs = std::to_string(row);
    sheet.write("a" + rs, "TOPLAM (net)", M::Literal);
    sheet.topBorder("AT" + rs, "W" + rs);
    sheet.write("U" + rs, ":", M::Literal);
    sheet.alignRight("AT" + rs);
    sheet.write("AT" + rs, WithCurrency(r, KurusText(totalKurus)), M::Value);
    // The total in words, on the row below, as wide as the text block.
    const std::string ws = std::to_string(row + 1);
    sheet.copyLook("A17", "A" + ws + ":EX" + ws);
    sheet.merge("A" + ws + ":EX" + ws);
    sheet.write("a" + ws, words, M::Literal);
    if (layout.wordsRow > 0) sheet.setRowHeight(row + 1, layout.wordsRow);
    sheet.title(WindowTitle("İbraname", r.text(F::txtAdiSoyadi)));
    sheet.release();
    return true;
}

bool AciklamaDoldur(const Record& r, const YasalDegerler* table, const PaperFolders& folders,
                    Spreadsheet& sheet, Messages& messages) {
    const int today = TodayKey();
    // The statement comes from the sheet's own calculation; without one there is nothing to print.
    const Expected<Aciklama> aciklama = HesapAciklamasi(r, table, today);
    if (!aciklama) {
        messages.show(aciklama.error().message, MessageIcon::None);
        return false;
    }
    if (!Prepare(folders, kAciklamaSablonu, kAciklamaKopyasi, sheet, messages)) return false;
    using F = Field;
    // Every particular goes in as the text it is: the paper shows what the sheet says. Each stands in a
    // block merged from C to G that wraps; a row grows for a particular longer than a line.
    const std::pair<int, F> particulars[] = {{4, F::txtUnvani},    {5, F::txtSSkNoIsv}, {6, F::txtAdresi},
                                             {9, F::txtAdiSoyadi}, {10, F::txtTcKNo},   {11, F::txtSSkNoPer},
                                             {12, F::GTarih},      {13, F::CTarih}};
    std::vector<std::vector<std::string>> employer, employee;
    std::vector<int> longRows;
    std::vector<std::string> longTexts;
    for (const auto& [row, f] : particulars) {
        std::string text = r.text(f);
        if ((f == F::GTarih || f == F::CTarih) && text.find_first_not_of("_. ") == std::string::npos)
            text.clear();
        (row < 8 ? employer : employee).push_back({text});
        if (!FitsOneLine(text, kAciklamaParticularChars)) {
            longRows.push_back(row);
            longTexts.push_back(text);
        }
    }
    sheet.writeBlock("C4", employer);
    sheet.writeBlock("C9", employee);
    const std::vector<int> longHeights = sheet.textHeights("C4:G4", longTexts);
    for (size_t i = 0; i < longRows.size() && i < longHeights.size(); ++i)
        if (longHeights[i] > sheet.rowHeight(longRows[i])) sheet.setRowHeight(longRows[i], longHeights[i]);

    // Blocks that must not be cut by a page break: the summary, each step, each note and legal figure,
    // then the date and the signature.
    std::vector<StatementBlock> blocks = StatementBlocks(*aciklama);
    const std::string dots(38, '.');
    StatementRow sign[5];
    sign[0].cells[0] = "Düzenleme Tarihi";
    sign[0].cells[kAciklamaC] = DateText(today);
    sign[1].cells[0] = "Düzenleyen";
    sign[1].cells[kAciklamaC] = "İmza";
    sign[2].cells[0] = "Adı Soyadı:";
    sign[3].height = kAciklamaSignRoom;
    sign[4].cells[kAciklamaB] = dots;
    sign[4].cells[kAciklamaC] = dots;
    blocks.push_back({{}, sign[0], sign[1], sign[2], sign[3], sign[4]});
    std::string shownName = r.text(F::txtAdiSoyadi);
    for (char& c : shownName)
        if (c == '\r' || c == '\n') c = ' ';
    const StatementRow continued =
        CaptionRow((Blank(shownName) ? "" : shownName + " \u2013 ") + "Hesap Açıklaması (devam)");

    // A little less than the page, so that rounding in the office never pushes a row over; 0 or less
    // when the backend cannot tell, and the pages are left to the spreadsheet program.
    const int body = sheet.pageBodyHeight() - 50;
    const int plain = std::max(sheet.rowHeight(kAciklamaFirstRow), 1);
    int used = 0; // on the current page
    for (int row = 1; row < kAciklamaFirstRow; ++row) {
        const int h = sheet.rowHeight(row);
        used = body > 0 && used + h > body ? h : used + h;
    }

    // Each row's height: a fixed one, a plain row, or as tall as its wrapped text; the texts longer than a
    // line are measured together, those of one width at once.
    std::map<const StatementRow*, int> heightOf;
    std::map<std::string, std::vector<const StatementRow*>> toMeasure; // by the width's look, "C14:G14"
    for (const StatementBlock& block : blocks)
        for (const StatementRow& sr : block) {
            heightOf[&sr] = sr.height > 0 ? sr.height : plain;
            if (sr.height > 0 || sr.wrapFrom < 0) continue;
            const std::string& text = sr.cells[static_cast<size_t>(sr.wrapFrom)];
            if (FitsOneLine(text, WrapChars(sr))) continue;
            toMeasure[ColumnLetters(sr.wrapFrom) + "14:" + ColumnLetters(sr.wrapTo) + "14"].push_back(&sr);
        }
    // A text that takes one line stays in a plain row, which holds a line as the template's rows do (the
    // office would give it a little more): a line of one letter, measured with them, tells which.
    for (const auto& [look, rows] : toMeasure) {
        std::vector<std::string> texts{"X"};
        for (const StatementRow* sr : rows) texts.push_back(sr->cells[static_cast<size_t>(sr->wrapFrom)]);
        const std::vector<int> heights = sheet.textHeights(look, texts);
        for (size_t i = 0; i < rows.size() && i + 1 < heights.size(); ++i)
            heightOf[rows[i]] = heights[i + 1] <= heights[0] ? plain : std::max(plain, heights[i + 1]);
    }

    // The rows are laid out first; then every text goes in at once, and only the cells and rows that
    // differ from the template's are touched.
    std::vector<std::vector<std::string>> texts;
    std::vector<std::pair<int, const StatementRow*>> placed;
    std::vector<int> breaks;
    int row = kAciklamaFirstRow;
    const auto place = [&](const StatementRow& sr, int h) {
        texts.emplace_back(sr.cells.begin(), sr.cells.end());
        placed.emplace_back(row++, &sr);
        used += h;
    };
    for (size_t b = 0; b < blocks.size(); ++b) {
        const StatementBlock& rows = blocks[b];
        int total = 0;
        for (const StatementRow& sr : rows) total += heightOf[&sr];
        size_t first = 0;
        if (body > 0 && used + total > body) {
            breaks.push_back(row);
            used = 0;
            place(continued, plain);
            // A block that begins a page needs no empty row above it.
            while (first < rows.size() && rows[first].cells == StatementRow{}.cells &&
                   rows[first].height == 0)
                ++first;
        }
        for (size_t i = first; i < rows.size(); ++i) place(rows[i], heightOf[&rows[i]]);
    }

    sheet.writeBlock("A" + std::to_string(kAciklamaFirstRow), texts);
    std::string wrapB, wrapC, headCaptions, heads, amounts;
    const auto join = [](std::string& list, const std::string& range) {
        list += (list.empty() ? "" : ";") + range;
    };
    std::vector<std::string> borders;
    for (const auto& [at, sr] : placed) {
        const std::string rs = std::to_string(at);
        if (sr->wrapFrom >= 0) {
            join(sr->wrapFrom == kAciklamaB ? wrapB : wrapC, ColumnLetters(sr->wrapFrom) + rs);
            sheet.merge(WrapRange(*sr, at));
        }
        if (sr->head) {
            join(headCaptions, "B" + rs);
            join(heads, "C" + rs + ":G" + rs);
        }
        if (sr->amounts) join(amounts, "C" + rs + ":F" + rs);
        if (sr->total) borders.push_back(rs);
        const int h = sr == &continued ? plain : heightOf[sr];
        // Below the rows the template lays out, every row's height is set.
        if (h != plain || at > kAciklamaLastRow) sheet.setRowHeight(at, h);
    }
    if (!wrapB.empty()) sheet.copyLook("B14", wrapB);
    if (!wrapC.empty()) sheet.copyLook("C14", wrapC);
    if (!headCaptions.empty()) sheet.copyLook(kAciklamaCaptionLook, headCaptions);
    if (!heads.empty()) sheet.copyLook(kAciklamaHeadLook, heads);
    if (!amounts.empty()) sheet.copyLook(kAciklamaAmountLook, amounts);
    // The looks carry borders: the line over a total is drawn after them.
    for (const std::string& rs : borders) sheet.topBorder("B" + rs, "G" + rs);
    for (int at : breaks) sheet.pageBreakBefore(at);
    sheet.title(WindowTitle("Hesap Açıklaması", r.text(F::txtAdiSoyadi)));
    sheet.release();
    return true;
}

std::string_view DokumParaBirimi(const Record& r, int today) {
    return ParaBirimi(DateKey(r.text(Field::CTarih)).value_or(today));
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

bool frmRaporSec::IzinBordrosuHazirla() {
    auto sheet = newSheet();
    return sheet && pamerol::IzinBordroDoldur(record_, folders_, *sheet, messages_);
}

bool frmRaporSec::IbranameHazirla() {
    auto sheet = newSheet();
    return sheet && pamerol::IbranameDoldur(record_, folders_, *sheet, messages_, ibranameBirAyKabul_);
}

bool frmRaporSec::AciklamaHazirla() {
    auto sheet = newSheet();
    return sheet && pamerol::AciklamaDoldur(record_, table_, folders_, *sheet, messages_);
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
    case AciklamaSecimi: filled = AciklamaHazirla(); break;
    case IzinBordrosuSecimi: filled = IzinBordrosuHazirla(); break;
    default: break;
    }
    if (filled && filled_) filled_(secim_);
}

} // namespace pamerol
