// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/dokumler.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>
#include <variant>
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
// would show it: an empty amount signed for is worse than no paper. Why, as the papers say it.
std::string SeveranceUnknownNote(const Hesap& h) {
    return CeilingNote(h.dava.input, h.dava.law, h.sonuc).value_or("Kıdem tazminatı hesaplanmadı.") +
           "\r\nKıdem tazminatını gösteren döküm yazdırılmadı.";
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

namespace {

// The payroll template's column groups, each named by its first column: the payroll line (row 8) and the
// detail table under it share them.
constexpr const char* kPayrollGroups[] = {"A",  "Q",  "Y",  "AH", "AO", "AV", "BA",
                                          "BH", "BR", "CA", "CI", "CS", "DA"};
// The template's rows: the captions over rows 6 and 7, the payroll line, the line of notes, then the
// signature areas with "Adı Soyadı:" in row 12. The detail table is inserted below the notes, so a template
// made before it had one gets it as well.
constexpr int kDetailRow = 10;
constexpr int kSignatureNameRow = 12;

double Lira(Kurus k) {
    return static_cast<double>(k) / 100;
}

// An amount as the papers show it: rounded to the kuruş as the amount pattern rounds.
double Shown(double x) {
    return Lira(KurusAsShown(x).value_or(0));
}

std::string Days(double days) {
    return NumberText(days).value_or("");
}

std::string ServiceText(const Result& x) {
    return Days(x.kyili) + " yıl " + Days(x.kayi) + " ay " + Days(x.kgunu) + " gün";
}

// One column of the detail table: its group, its caption, and a text or an amount.
struct Detail {
    const char* group;
    std::string caption;
    std::variant<std::string, double> value;
};

// A payroll sheet as printed: row 8 from the day count on, the captions over the columns that change with
// the kind of sheet, the line of notes, the detail table and the income tax bracket by bracket.
struct Payroll {
    const char* title = "";
    const char* paper = ""; // for the window's title
    const char* daysCaption = "Gün";
    const char* grossCaption = "Brüt Tazminat";
    std::optional<double> days, wage; // nothing: the column stays empty
    Kurus base = 0, gross = 0, tax = 0, stamp = 0, deductions = 0, net = 0;
    std::string note;
    std::vector<Detail> details;
    std::vector<std::string> brackets;
};

// Parts of a whole number of kuruş, each rounded as shown and the rounding evened out, so that the parts
// printed add up to the total printed: a part whose rounding went furthest the other way takes the kuruş.
std::array<Kurus, 6> Apportioned(const std::array<double, 6>& parts, Kurus total) {
    std::array<Kurus, 6> out{};
    Kurus sum = 0;
    for (size_t i = 0; i < parts.size(); ++i) sum += out[i] = KurusAsShown(parts[i]).value_or(0);
    // Only rounding is evened out: parts that are not of this total (a sheet whose figures were set by
    // hand) are printed as they are.
    if (std::llabs(total - sum) > static_cast<Kurus>(parts.size())) return out;
    while (sum != total) {
        const Kurus step = sum < total ? 1 : -1;
        size_t best = parts.size();
        double furthest = 0;
        for (size_t i = 0; i < parts.size(); ++i) {
            if (parts[i] <= 0 || (step < 0 && out[i] <= 0)) continue;
            const double off = static_cast<double>(step) * (parts[i] * 100 - static_cast<double>(out[i]));
            if (best == parts.size() || off > furthest) best = i, furthest = off;
        }
        if (best == parts.size()) break;
        out[best] += step;
        sum += step;
    }
    return out;
}

// The income tax of a payment, one line per bracket it reaches: the slice of its base at the bracket's rate
// and the tax. The slices add up to the base and the taxes to the tax, as printed.
std::vector<std::string> BracketLines(const IncomeTax& tax, const LegalFigures& law, Kurus base,
                                      Kurus total) {
    const std::array<Kurus, 6> slices = Apportioned(tax.slice, base);
    const std::array<Kurus, 6> taxes = Apportioned(tax.tax, total);
    std::vector<std::string> lines;
    for (size_t k = 0; k < slices.size(); ++k) {
        if (slices[k] <= 0 && taxes[k] <= 0) continue;
        double rate = 0;
        if (k < law.brackets.size() && law.brackets[k].rate)
            rate = *law.brackets[k].rate;
        else if (tax.slice[k] > 0)
            rate = tax.tax[k] / tax.slice[k] * 100;
        lines.push_back("Gelir vergisi " + std::to_string(k + 1) + ". dilim: " + KurusText(slices[k]) +
                        " × %" + NumberText(rate).value_or("") + " = " + KurusText(taxes[k]));
    }
    return lines;
}

// The stamp duty's rate, per mille of the gross: "‰7,59".
std::string StampRate(const SheetCase& c) {
    return "\u2030" + NumberText(c.law.stampDutyPerMille).value_or("");
}

// The ceiling a severance was worked out with, and a word when the table of legal figures lacks the
// ceiling of the exit date.
std::string CeilingText(const SheetCase& c) {
    return KurusText(KurusAsShown(c.law.ceiling).value_or(0));
}
std::optional<std::string> CeilingMissingNote(const SheetCase& c) {
    if (!c.law.inForce || c.law.inForce->value) return std::nullopt;
    const CeilingInForce& f = *c.law.inForce;
    if (c.law.ceilingMissing)
        return "tabloda yok: " + f.missingPeriod + " dönemi tavanı tabloda yok, son bilinen tavan (" +
               f.lastPeriod + ") kullanıldı";
    return "tabloda yok: " + f.missingPeriod +
           " dönemi tavanı tabloda yok, Sabitler'de yazılan tavan kullanıldı";
}

} // namespace

std::optional<std::string> BordroEngeli(const Record& r, bool kidem) {
    const Hesap* h = r.hesap();
    if (!h) return "Hesap yok: önce \"Hesapla\" ile hesaplayın.\r\nBordro yazdırılmadı.";
    const Result& x = h->sonuc;
    const char* payment = kidem ? "Kıdem tazminatı: " : "İhbar tazminatı: ";
    if (auto note = kidem ? SeveranceDueNote(x) : NoticeDueNote(x))
        return payment + *note + "\r\nBordro yazdırılmadı.";
    if (kidem && !x.entitled)
        return payment + std::string("Hak edilmedi — hizmet süresi bir yıldan az (") + ServiceText(x) +
               ").\r\nBordro yazdırılmadı.";
    if (kidem && x.severanceUnknown) return SeveranceUnknownNote(*h);
    if (kidem && x.bktazKurus <= 0)
        return payment + std::string("ödenecek tutar yok (brüt 0,00).\r\nBordro yazdırılmadı.");
    if (!kidem && x.bitzmKurus <= 0)
        return payment + std::string("ödenecek tutar yok (ihbar süresi ") + Days(x.higunu) +
               " gün, brüt 0,00).\r\nBordro yazdırılmadı.";
    return std::nullopt;
}

std::optional<std::string> IzinBordrosuEngeli(const Record& r) {
    const Hesap* h = r.hesap();
    if (h && h->sonuc.leave) return std::nullopt;
    return "İzin ücreti yok: \"İzin\" sekmesinde kullanılmayan izin gününü (ya da \"Yıllık İzin Ücreti\"ni) "
           "yazıp yeniden hesaplayın.";
}

namespace {

Payroll SeverancePayroll(const Record& r, const Hesap& h) {
    const Result& x = h.sonuc;
    Payroll p;
    p.title = "KIDEM TAZMİNATI BORDROSU";
    p.paper = "Kıdem Bordrosu";
    p.daysCaption = "Hizmet Günü";
    p.days = x.tgunu;
    p.wage = h.dava.input.wage;
    p.base = x.taxableKurus;
    p.gross = x.bktazKurus;
    p.tax = x.kgverKurus;
    p.stamp = x.dverKurus;
    p.deductions = x.kgverKurus + x.dverKurus;
    p.net = x.netKurus;
    const auto missing = CeilingMissingNote(h.dava);
    p.note = "Kıdem Tazminatı Tavanı: " + WithCurrency(r, CeilingText(h.dava)) +
             (missing ? " (" + *missing + ")" : "");
    p.details = {
        {"A", "Hizmet Süresi", ServiceText(x)},
        {"Q", "Yıllık Kıdem Günü", Days(h.dava.law.severanceDays)},
        {"Y", "Gün Payı Böleni", Days(x.daysDivisor)},
        {"AH", "DV Oranı", StampRate(h.dava)},
        {"BA", "Esas Aylık Ücret", Shown(x.monthlyWageUsed)},
        {"BH", "Günlük Ücret", Shown(x.monthlyWageUsed / 30)},
        {"BR", "Kıdem Tazminatı Tavanı", CeilingText(h.dava) + (missing ? " (tabloda yok)" : "")},
        {"CA", "Bir Yıllık Tazminat", Shown(x.yearly)},
        {"CI", "Gelir Vergisinden İstisna", Lira(x.exemptKurus)},
        {"CS", "Gelir Vergisine Tabi", Lira(x.taxableKurus)},
        {"DA", "Devreden GV Matrahı", Shown(x.carriedTaxBase)},
    };
    if (x.taxableKurus > 0)
        p.brackets = BracketLines(x.severanceTax, h.dava.law, x.taxableKurus, x.kgverKurus);
    return p;
}

Payroll NoticePayroll(const Hesap& h) {
    const Result& x = h.sonuc;
    Payroll p;
    p.title = "İHBAR TAZMİNATI BORDROSU";
    p.paper = "İhbar Bordrosu";
    p.daysCaption = "İhbar Günü";
    p.days = x.higunu;
    p.wage = h.dava.input.wage;
    p.base = x.bitzmKurus;
    p.gross = x.bitzmKurus;
    p.tax = x.igverKurus;
    p.stamp = x.idverKurus;
    p.deductions = x.igverKurus + x.idverKurus;
    p.net = x.itazmKurus;
    const Kurus carried = KurusAsShown(x.noticeCarriedBase).value_or(0);
    p.details = {
        {"A", "Hizmet Süresi", ServiceText(x)},
        {"Q", "İhbar Süresi", Days(x.higunu) + " gün"},
        {"AH", "DV Oranı", StampRate(h.dava)},
        {"BA", "Günlük Ücret", Shown(x.dailyWage)},
        {"BH", "Devreden GV Matrahı", Lira(carried)},
        {"BR", "Bu Ödemenin GV Matrahı", Lira(x.bitzmKurus)},
        {"CA", "Kümülatif GV Matrahı", Lira(carried + x.bitzmKurus)},
    };
    p.brackets = BracketLines(x.tax, h.dava.law, x.bitzmKurus, x.igverKurus);
    return p;
}

Payroll LeavePayroll(const Hesap& h) {
    const Result& x = h.sonuc;
    Payroll p;
    p.title = "YILLIK İZİN ÜCRETİ BORDROSU";
    p.paper = "İzin Bordrosu";
    p.daysCaption = "İzin Günü";
    p.grossCaption = "Brüt İzin Ücreti";
    // The days and the wage without the extra pay they were paid at; a typed leave pay has neither.
    if (x.leaveFromDays) {
        p.days = h.dava.input.leaveDays;
        p.wage = h.dava.input.baseWage;
    }
    const Kurus base = x.izBrutKurus - x.izSgkKurus;
    const Kurus carried = KurusAsShown(x.leaveCarriedBase).value_or(0);
    p.base = base;
    p.gross = x.izBrutKurus;
    p.tax = x.izGverKurus;
    p.stamp = x.izDverKurus;
    p.deductions = x.izSgkKurus + x.izGverKurus + x.izDverKurus;
    p.net = x.izNetKurus;
    // The SGK shares have no column of their own on the line: they are in the deductions.
    p.note = "SGK işçi payı " + KurusText(x.izSgkKurus) + " (sigorta primi " +
             KurusText(x.leaveInsuranceKurus) + ", işsizlik sigortası primi " +
             KurusText(x.leaveUnemploymentKurus) + "; prime esas tutar " + KurusText(x.leaveSgkBaseKurus) +
             ") kesintiler toplamındadır.";
    p.details = {
        {"A", "İzin", x.leaveFromDays ? Days(h.dava.input.leaveDays) + " gün" : std::string("yazılan tutar")},
        {"AH", "DV Oranı", StampRate(h.dava)},
        {"BH", "SGK Primine Esas", Lira(x.leaveSgkBaseKurus)},
        {"BR", "SGK İşçi Payı", Lira(x.leaveInsuranceKurus)},
        {"CA", "İşsizlik Sig. İşçi Payı", Lira(x.leaveUnemploymentKurus)},
        {"CI", "Devreden GV Matrahı", Lira(carried)},
        {"CS", "Bu Ödemenin GV Matrahı", Lira(base)},
        {"DA", "Kümülatif GV Matrahı", Lira(carried + base)},
    };
    if (x.leaveFromDays) p.details.push_back({"BA", "Günlük Ücret", Shown(h.dava.input.baseWage / 30)});
    p.brackets = BracketLines(x.leaveTax, h.dava.law, base, x.izGverKurus);
    return p;
}

// Fills an opened payroll template: the title and the particulars, the payroll line in one block (its
// amounts as numbers, so that the sheet adds up in the spreadsheet too: gross − deductions = net), the
// captions that change with the kind of sheet, the line of notes, the detail table with one line per income
// tax bracket, and the employee's name under "Tazminatı Aldım".
void FillPayroll(const Record& r, const Payroll& p, Spreadsheet& sheet) {
    BordroBasligi(r, p.title, sheet);
    sheet.writeCells("AV6:BZ6", {{"AV6", std::string(p.daysCaption)},
                                 {"BA6", std::string("Brüt Ücret")},
                                 {"BH6", std::string("GV Matrahı")},
                                 {"BR6", std::string(p.grossCaption)}});
    std::vector<BlockCell> line;
    if (p.days) line.push_back({"AV8", *p.days});
    if (p.wage) line.push_back({"BA8", Shown(*p.wage)});
    for (auto [cell, kurus] : {std::pair{"BH8", p.base},
                               {"BR8", p.gross},
                               {"CA8", p.tax},
                               {"CI8", p.stamp},
                               {"CS8", p.deductions},
                               {"DA8", p.net}})
        line.push_back({cell, Lira(kurus)});
    sheet.writeCells("AV8:DJ8", line);
    if (!p.note.empty()) sheet.writeCells("A9:A9", {{"A9", p.note}});

    // The detail table: the captions and the looks of rows 6 to 8 copied under the notes, then its texts
    // and amounts in one block with the bracket lines below it.
    const int rows = 3 + static_cast<int>(p.brackets.size());
    int inserted = 0;
    const int heights[] = {sheet.rowHeight(6), sheet.rowHeight(7), sheet.rowHeight(8), sheet.rowHeight(9)};
    if (sheet.insertRows(kDetailRow, rows)) {
        inserted = rows;
        sheet.copyRange("A6:DJ8", "A" + std::to_string(kDetailRow));
        for (int i = 0; i < rows; ++i)
            if (const int h = heights[std::min(i, 3)]; h > 0) sheet.setRowHeight(kDetailRow + i, h);
        const std::string captions = std::to_string(kDetailRow), values = std::to_string(kDetailRow + 2);
        std::vector<BlockCell> cells;
        for (const char* group : kPayrollGroups) {
            const auto d = std::find_if(p.details.begin(), p.details.end(),
                                        [&](const Detail& x) { return std::string_view(x.group) == group; });
            if (d == p.details.end()) continue; // the block leaves the copied caption's box empty
            cells.push_back({group + captions, d->caption});
            cells.push_back({group + values, d->value});
        }
        for (size_t i = 0; i < p.brackets.size(); ++i)
            cells.push_back({"A" + std::to_string(kDetailRow + 3 + static_cast<int>(i)), p.brackets[i]});
        sheet.writeCells("A" + captions + ":DJ" + std::to_string(kDetailRow + rows - 1), cells);
    }
    // The name of the one who signs for the payment.
    const std::string name = std::to_string(kSignatureNameRow + inserted);
    std::string shown = r.text(Field::txtAdiSoyadi);
    for (char& c : shown)
        if (c == '\r' || c == '\n') c = ' ';
    sheet.writeCells("CI" + name + ":CI" + name, {{"CI" + name, "Adı Soyadı: " + shown}});
    sheet.title(WindowTitle(p.paper, r.text(Field::txtAdiSoyadi)));
}

} // namespace

bool IzinBordroDoldur(const Record& r, const PaperFolders& folders, Spreadsheet& sheet, Messages& messages) {
    if (auto why = IzinBordrosuEngeli(r)) {
        messages.show(*why, MessageIcon::Warning);
        return false;
    }
    const Hesap* h = r.hesap();
    if (!Prepare(folders, kBordroSablonu, kBordroKopyasi, sheet, messages)) return false;
    FillPayroll(r, LeavePayroll(*h), sheet);
    sheet.release();
    return true;
}

bool BordroDoldur(const Record& r, bool kidem, const PaperFolders& folders, Spreadsheet& sheet,
                  Messages& messages) {
    // A paper with nothing due on it is not printed: a signature box under empty amounts invites a
    // signature for nothing. The clerk is told why.
    if (auto why = BordroEngeli(r, kidem)) {
        messages.show(*why, MessageIcon::Warning);
        return false;
    }
    if (!Prepare(folders, kBordroSablonu, kBordroKopyasi, sheet, messages)) return false;
    const Hesap& h = *r.hesap();
    FillPayroll(r, kidem ? SeverancePayroll(r, h) : NoticePayroll(h), sheet);
    sheet.release();
    return true;
}

std::optional<std::string> IbranameReddi(const Record& r, int today, bool birAyIcindeKabul) {
    // A letter the law makes void is not made: without the period of service, or within a month of the
    // exit unless the clerk said so in the window.
    if (const auto engel = IbranameEngeliVar(r, today); engel && !(engel->birAy && birAyIcindeKabul))
        return engel->neden + "\r\nİbraname yazdırılmadı.";
    if (const Hesap* h = r.hesap(); r.check1() == 1 && h && h->sonuc.severanceUnknown)
        return SeveranceUnknownNote(*h);
    return std::nullopt;
}

bool IbranameDoldur(const Record& r, const PaperFolders& folders, Spreadsheet& sheet, Messages& messages,
                    bool birAyIcindeKabul) {
    const int today = TodayKey();
    if (auto why = IbranameReddi(r, today, birAyIcindeKabul)) {
        messages.show(*why, MessageIcon::Warning);
        return false;
    }
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

std::vector<std::string> DokumSablonlari(const PaperFolders& folders) {
    std::vector<std::string> paths;
    for (std::string_view name : {kBordroSablonu, kAciklamaSablonu, kIbranameSablonu})
        paths.push_back((fs::path(folders.templates) / name).string());
    return paths;
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
