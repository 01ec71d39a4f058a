// SPDX-License-Identifier: GPL-3.0-or-later
// The fills and the printout dialog on the recording backend: every call, in order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "case.h"
#include "printouts/dokumler.h"
#include "printouts/recording_spreadsheet.h"
#include "tests/common/temp_folder.h"

using namespace pamerol;
using pamerol::testing::CalculatedCase;
using Lines = std::vector<std::string>;
using Op = SpreadsheetCall::Op;
namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A program folder with both templates in it.
class Fill : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream(folder / "Velkara.xls") << "payroll template";
        std::ofstream(folder / "Ibraname.xls") << "letter template";
    }
    std::string Path(const char* name) const { return (folder / name).string(); }

    Lines Bordro(const Record& r, bool kidem) {
        BordroDoldur(r, kidem, folder.string(), sheet, messages);
        return sheet.lines();
    }
    Lines Ibraname(const Record& r) {
        IbranameDoldur(r, folder.string(), sheet, messages);
        return sheet.lines();
    }

    const pamerol::testing::TempFolder tmp;
    const fs::path folder = tmp.path();
    RecordingSpreadsheet sheet;
    RecordedMessages messages;
};

// The letter's calls from the amount lines on (after the header, the merge and the text block).
Lines AmountLines(const Lines& all) {
    auto it = std::find_if(all.begin(), all.end(),
                           [](const std::string& l) { return l.rfind("write a17 ", 0) == 0; });
    return it == all.end() ? Lines{} : Lines(it + 1, all.end());
}

TEST_F(Fill, SeveranceSheetCellByCell) {
    Lines lines = Bordro(CalculatedCase(), true);
    EXPECT_EQ(lines, (Lines{
                         "start",
                         "show",
                         "open " + Path("Velkara1.xls"),
                         "write A1 literal KIDEM TAZMİNATI BORDROSU",
                         "write N3 value Örnek Tekstil San. ve Tic. Ltd. Şti.",
                         "write N4 value 2 1234 01 01 1234567 034 12 34 000",
                         "write CI3 value Kadıköy",
                         "write CI4 value 0123456789",
                         "write a8 value Ayşe Çağlar",
                         "write Q8 text 0340123456789",
                         "write Y8 text 01234567890",
                         "write AH8 value 15.03.2004",
                         "write AO8 value 14.09.2007",
                         "write BA8 value 2.000,00",
                         "write AV8 value 1275",
                         "write BR8 text 6.862,42",
                         "write CI8 text 45,29",
                         "write CS8 text 45,29",
                         "write DA8 text 6.817,12",
                         "write A9 value Kıdem Tazminatı Tavanı: 1.960,69 YTL.",
                         "title Kıdem Bordrosu – Ayşe Çağlar",
                         "release",
                     }));
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(Slurp(folder / "Velkara1.xls"), "payroll template");
}

TEST_F(Fill, NoticeSheetCellByCell) {
    Record r = CalculatedCase();
    r.write(Field::IGVER, "123,45");
    r.write(Field::IDVER, "6,60");
    Lines lines = Bordro(r, false);
    EXPECT_EQ(lines, (Lines{
                         "start",
                         "show",
                         "open " + Path("Velkara1.xls"),
                         "write A1 literal İHBAR TAZMİNATI BORDROSU",
                         "write N3 value Örnek Tekstil San. ve Tic. Ltd. Şti.",
                         "write N4 value 2 1234 01 01 1234567 034 12 34 000",
                         "write CI3 value Kadıköy",
                         "write CI4 value 0123456789",
                         "write a8 value Ayşe Çağlar",
                         "write Q8 text 0340123456789",
                         "write Y8 text 01234567890",
                         "write AH8 value 15.03.2004",
                         "write AO8 value 14.09.2007",
                         "write BA8 value 2.000,00",
                         "write AV8 value 1260",
                         "write BH8 value 0,00",
                         "write BR8 value 3.733,33",
                         "write CA8 value 123,45",
                         "write CI8 value 6,60",
                         "number CS8 130.05", // the sum, as a number
                         "write DA8 value 3.148,69",
                         "title İhbar Bordrosu – Ayşe Çağlar",
                         "release",
                     }));
}

TEST_F(Fill, CeilingLine) {
    // The lira was renamed from "YTL" to "TL" on 01.01.2009: the papers follow the exit date.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"1960,69", "14.09.2007", "Kıdem Tazminatı Tavanı: 1.960,69 YTL."},
        {"2500", "14.09.2007", "Kıdem Tazminatı Tavanı: 2.500,00 YTL."},
        {"1.960,694", "14.09.2007", "Kıdem Tazminatı Tavanı: 1.960,69 YTL."},
        {"", "14.09.2007", "Kıdem Tazminatı Tavanı:  YTL."},
        {"yok", "14.09.2007", "Kıdem Tazminatı Tavanı: yok YTL."},
        {"2087,92", "31.12.2008", "Kıdem Tazminatı Tavanı: 2.087,92 YTL."},
        {"2500", "01.01.2009", "Kıdem Tazminatı Tavanı: 2.500,00 TL"},
        {"64948,77", "15.03.2026", "Kıdem Tazminatı Tavanı: 64.948,77 TL"},
    };
    for (auto [tav, exit, line] : cases) {
        Record r = CalculatedCase();
        r.write(Field::TAV, tav);
        r.write(Field::CTarih, exit);
        sheet.calls.clear();
        Lines lines = Bordro(r, true);
        EXPECT_EQ(lines[lines.size() - 3], std::string("write A9 value ") + line) << tav << " " << exit;
    }
}

TEST_F(Fill, NoticeSumNeedsBothNumbers) {
    const std::pair<const char*, const char*> cases[] = {{"", "6,60"}, {"123,45", "abc"}, {"1,2,3", "1"}};
    for (auto [tax, stamp] : cases) {
        Record r = CalculatedCase();
        r.write(Field::IGVER, tax);
        r.write(Field::IDVER, stamp);
        sheet.calls.clear();
        Lines lines = Bordro(r, false);
        EXPECT_EQ(
            std::count_if(sheet.calls.begin(), sheet.calls.end(), [](auto& c) { return c.first == "CS8"; }),
            0)
            << tax << " + " << stamp;
        EXPECT_EQ(lines[lines.size() - 3], "write DA8 value 3.148,69");
    }
}

TEST_F(Fill, ReleaseLetterCellByCell) {
    Lines lines = Ibraname(CalculatedCase());
    std::string text(kDefaultReleaseText);
    for (size_t p; (p = text.find("\r\n")) != std::string::npos;) text.replace(p, 2, "\n");
    EXPECT_EQ(lines, (Lines{
                         "start",
                         "show",
                         "open " + Path("Ibraname1.xls"),
                         "write AQ6 value Örnek Tekstil San. ve Tic. Ltd. Şti.",
                         "write AQ7 text 2 1234 01 01 1234567 034 12 34 000",
                         "write aq10 value Ayşe Çağlar",
                         "write aq11 text 0340123456789",
                         "write aq12 text 01234567890",
                         "write aq13 value 15.03.2004",
                         "write aq14 value 14.09.2007",
                         "write aq15 value Moda Cad. No: 5\r\nKadıköy / İstanbul",
                         "fits A17:EX27",
                         "merge A17:EX27",
                         "write a17 text " + text,
                         "write a28 literal Kıdem Tazminatı",
                         "write U28 literal :",
                         "right AT28",
                         "write AT28 value 6.817,12 YTL.",
                         "write a29 literal İhbar Tazminatı",
                         "write U29 literal :",
                         "right AT29",
                         "write AT29 value 3.148,69 YTL.",
                         "write a30 literal İzin Ücreti",
                         "write U30 literal :",
                         "right AT30",
                         "write AT30 value 1.234,56 YTL.",
                         "write a31 literal TOPLAM",
                         "border AT31 W31",
                         "write U31 literal :",
                         "right AT31",
                         "write AT31 value 11.200,37 YTL.",
                         "title İbraname – Ayşe Çağlar",
                         "release",
                     }));
    EXPECT_EQ(Slurp(folder / "Ibraname1.xls"), "letter template");
}

// Installed, the templates lie in the shared data folder, which the clerk cannot write, and the working
// copies go to the clerk's own folder.
TEST_F(Fill, WorkingCopyInItsOwnFolder) {
    const fs::path copies = folder / "kopyalar";
    fs::create_directory(copies);
    ASSERT_TRUE(
        IbranameDoldur(CalculatedCase(), PaperFolders(folder.string(), copies.string()), sheet, messages));
    EXPECT_EQ(Slurp(copies / "Ibraname1.xls"), "letter template");
    EXPECT_FALSE(fs::exists(folder / "Ibraname1.xls"));
    EXPECT_EQ(sheet.lines()[2], "open " + (copies / "Ibraname1.xls").string());
}

TEST_F(Fill, ReleaseTextLineCount) {
    struct Case {
        const char* text;
        const char* merge;
        const char* block;
        const char* total; // the first row below the block, here the total line (no payments)
    };
    const Case cases[] = {
        {"tek satır", "merge A17:EX20", "write a17 text tek satır", "write a21 literal TOPLAM"},
        {"", "merge A17:EX20", "write a17 text ", "write a21 literal TOPLAM"},
        {"bir\r\niki", "merge A17:EX21", "write a17 text bir\niki", "write a22 literal TOPLAM"},
        {"bir\r\n", "merge A17:EX21", "write a17 text bir\n", "write a22 literal TOPLAM"},
        {"\r\n\r\n\r\n", "merge A17:EX23", "write a17 text \n\n\n", "write a24 literal TOPLAM"},
        // Only the pair counts as a line break.
        {"bir\niki\rüç", "merge A17:EX20", "write a17 text bir\niki\rüç", "write a21 literal TOPLAM"},
    };
    for (const auto& c : cases) {
        Record r = CalculatedCase();
        r.write(Field::txtIbraname, c.text);
        r.setCheck1(0);
        r.setCheck2(0);
        r.write(Field::YIUCRET, "0");
        sheet.calls.clear();
        Lines lines = Ibraname(r);
        EXPECT_EQ(lines[11], "fits " + std::string(c.merge).substr(6)) << c.text;
        EXPECT_EQ(lines[12], c.merge) << c.text;
        EXPECT_EQ(lines[13], c.block) << c.text;
        EXPECT_EQ(lines[14], c.total) << c.text;
    }
}

TEST_F(Fill, PaymentLines) {
    struct Case {
        const char* name;
        int check1, check2;
        const char* leave;
        Lines labels; // the payment labels and the total, with their rows
        const char* total;
    };
    const Case cases[] = {
        {"both ticked, no leave", 1, 1, "0", {"a28 Kıdem", "a29 İhbar", "a30 TOPLAM"}, "9.965,81"},
        {"nothing", 0, 0, "0", {"a28 TOPLAM"}, "0,00"},
        {"greyed box counts as not ticked", 2, 1, "0", {"a28 İhbar", "a29 TOPLAM"}, "3.148,69"},
        {"leave below one lira", 0, 0, "0,50", {"a28 TOPLAM"}, "0,00"},
        {"leave of one lira", 0, 0, "1,00", {"a28 İzin", "a29 TOPLAM"}, "1,00"},
        {"leave with grouping", 1, 0, "1.234,56", {"a28 Kıdem", "a29 İzin", "a30 TOPLAM"}, "8.051,68"},
        {"leave not a number", 0, 0, "beş", {"a28 TOPLAM"}, "0,00"},
    };
    for (const auto& c : cases) {
        Record r = CalculatedCase();
        r.setCheck1(c.check1);
        r.setCheck2(c.check2);
        r.write(Field::YIUCRET, c.leave);
        sheet.calls.clear();
        Lines labels;
        std::string total;
        for (const std::string& l : AmountLines(Ibraname(r))) {
            if (l.rfind("write a", 0) == 0) {
                std::string rest = l.substr(6);                            // "a28 literal Kıdem ..."
                std::string cell = rest.substr(0, rest.find(' '));         // "a28"
                std::string word = rest.substr(rest.find("literal ") + 8); // "Kıdem Tazminatı"
                labels.push_back(cell + " " + word.substr(0, word.find(' ')));
            }
            if (l.find(" value ") != std::string::npos) total = l.substr(l.find(" value ") + 7);
        }
        EXPECT_EQ(labels, c.labels) << c.name;
        EXPECT_EQ(total, std::string(c.total) + " YTL.") << c.name;
    }
}

TEST_F(Fill, AmountThatIsNoNumberIsShownButNotAdded) {
    Record r = CalculatedCase();
    r.write(Field::NET, "hesaplanmadı");
    r.write(Field::YIUCRET, "0");
    Lines lines = AmountLines(Ibraname(r));
    EXPECT_EQ(lines[3], "write AT28 value hesaplanmadı YTL.");
    EXPECT_EQ(lines[lines.size() - 3], "write AT30 value 3.148,69 YTL.");
}

// A text that does not fit one page goes in one row per line, each merged across the block's width and
// with the block's look; the amount lines stay where the block's height puts them.
TEST_F(Fill, ReleaseTextLongerThanAPageGoesOneRowPerLine) {
    Record r = CalculatedCase();
    r.write(Field::txtIbraname, "bir\r\n\r\nüç");
    r.setCheck1(1);
    r.setCheck2(0);
    r.write(Field::YIUCRET, "0");
    sheet.failWhen = [](const SpreadsheetCall& c) { return c.op == Op::Fits; };
    Lines lines = Ibraname(r);
    EXPECT_EQ(Lines(lines.begin() + 11, lines.begin() + 20), (Lines{
                                                                 "fits A17:EX22",
                                                                 "look A17 A18:EX19",
                                                                 "merge A17:EX17",
                                                                 "write a17 text bir",
                                                                 "merge A18:EX18",
                                                                 "write a18 text ",
                                                                 "merge A19:EX19",
                                                                 "write a19 text üç",
                                                                 "write a23 literal Kıdem Tazminatı",
                                                             }));
    EXPECT_EQ(lines[lines.size() - 7], "write a24 literal TOPLAM");
}

// The window says which paper it holds and for whom; without a name, the paper alone.
TEST_F(Fill, WindowTitle) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "Ayşe Çağlar", "title Kıdem Bordrosu – Ayşe Çağlar"},
        {1, " Ali Veli ", "title İhbar Bordrosu – Ali Veli"},
        {2, "Ayşe Çağlar", "title İbraname – Ayşe Çağlar"},
        {0, "", "title Kıdem Bordrosu"},
        {2, "  ", "title İbraname"},
    };
    for (auto [paper, name, title] : cases) {
        Record r = CalculatedCase();
        r.write(Field::txtAdiSoyadi, name);
        sheet.calls.clear();
        Lines lines = paper == 2 ? Ibraname(r) : Bordro(r, paper == 0);
        EXPECT_EQ(lines[lines.size() - 2], title) << name;
    }
}

// Every step is attempted: a refused merge, write, alignment or border leaves all later calls as they were.
TEST_F(Fill, FailedStepsShiftNothing) {
    const Record r = CalculatedCase();
    const Lines expected = Ibraname(r);
    struct Case {
        const char* name;
        std::function<bool(const SpreadsheetCall&)> fail;
    };
    const Case cases[] = {
        {"merge", [](const SpreadsheetCall& c) { return c.op == Op::Merge; }},
        {"text block", [](const SpreadsheetCall& c) { return c.first == "a17"; }},
        {"first label", [](const SpreadsheetCall& c) { return c.first == "a28"; }},
        {"every amount", [](const SpreadsheetCall& c) { return c.first.rfind("AT", 0) == 0; }},
        {"border", [](const SpreadsheetCall& c) { return c.op == Op::TopBorder; }},
        {"header", [](const SpreadsheetCall& c) { return c.first == "aq13"; }},
    };
    for (const auto& c : cases) {
        RecordingSpreadsheet failing;
        failing.failWhen = c.fail;
        EXPECT_TRUE(IbranameDoldur(r, folder.string(), failing, messages)) << c.name;
        EXPECT_EQ(failing.lines(), expected) << c.name;
        EXPECT_TRUE(
            std::any_of(failing.calls.begin(), failing.calls.end(), [](auto& x) { return x.failed; }));
    }
    RecordingSpreadsheet failing;
    failing.failWhen = [](const SpreadsheetCall& c) { return c.first == "CA8" || c.op == Op::Show; };
    BordroDoldur(r, false, folder.string(), failing, messages);
    RecordingSpreadsheet plain;
    BordroDoldur(r, false, folder.string(), plain, messages);
    EXPECT_EQ(failing.lines(), plain.lines());
    EXPECT_TRUE(messages.entries.empty());
}

// Value-mode texts that a spreadsheet would run as formulas go in as text; numbers stay values.
TEST_F(Fill, NoFieldBecomesAFormula) {
    struct Case {
        Field field;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {Field::txtUnvani, "=HYPERLINK(\"http://x\";\"y\")", "write N3 text =HYPERLINK(\"http://x\";\"y\")"},
        {Field::txtSSkNoIsv, "+1+2", "write N4 text +1+2"},
        {Field::txtVergiDairesi, "-1+2", "write CI3 text -1+2"},
        {Field::txtVergiNo, "@x", "write CI4 text @x"},
        {Field::txtAdiSoyadi, "=1+2", "write a8 text =1+2"},
        {Field::GTarih, "-", "write AH8 text -"},
        {Field::TBRUT, "-2,68", "write BA8 value -2,68"},
        {Field::TBRUT, "+1.234,50", "write BA8 value +1.234,50"},
        {Field::ITAZM, "=SUM(A1)", "write DA8 text =SUM(A1)"},
        {Field::txtTcKNo, "=1", "write Y8 text =1"},
        {Field::txtAdiSoyadi, " =1+2", "write a8 value  =1+2"}, // a leading blank makes it text anyway
    };
    for (const auto& c : cases) {
        Record r = CalculatedCase();
        r.write(c.field, c.text);
        sheet.calls.clear();
        Lines lines = Bordro(r, false);
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.expected), lines.end()) << c.expected;
    }
    Record r = CalculatedCase();
    r.write(Field::NET, "=1+2");
    r.write(Field::txtAdres, "@adres");
    sheet.calls.clear();
    Lines lines = Ibraname(r);
    EXPECT_EQ(lines[10], "write aq15 text @adres");
    EXPECT_EQ(lines[17], "write AT28 text =1+2 YTL.");
}

TEST(TakenAsFormula, LeadingSigns) {
    const std::pair<const char*, bool> cases[] = {
        {"=1", true},    {"=", true}, {"+1+2", true},   {"-1+2", true},      {"@SUM(1)", true},
        {"-abc", true},  {"+", true}, {"-2,68", false}, {"+5", false},       {"-1.234,56", false},
        {"12,5", false}, {"", false}, {" =1", false},   {"Ali=Veli", false}, {"'=1", false},
    };
    for (auto [text, formula] : cases) EXPECT_EQ(TakenAsFormula(text), formula) << text;
}

// When the template cannot be copied, nothing is filled: an older working copy would carry another
// paper's cells. One message names the files.
TEST_F(Fill, TemplateThatCannotBeCopiedStopsTheFill) {
    std::ofstream(folder / "Velkara1.xls") << "an earlier severance sheet";
    fs::remove(folder / "Velkara.xls");
    EXPECT_FALSE(BordroDoldur(CalculatedCase(), false, folder.string(), sheet, messages));
    EXPECT_TRUE(sheet.calls.empty());
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, "Şablon kopyalanamadı: " + Path("Velkara.xls") + " → " +
                                            Path("Velkara1.xls") + " (şablon dosyası yok)");
    EXPECT_EQ(Slurp(folder / "Velkara1.xls"), "an earlier severance sheet");

    messages.entries.clear();
    fs::create_directory(folder / "Ibraname1.xls");
    EXPECT_FALSE(IbranameDoldur(CalculatedCase(), folder.string(), sheet, messages));
    EXPECT_TRUE(sheet.calls.empty());
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, "Şablon kopyalanamadı: " + Path("Ibraname.xls") + " → " +
                                            Path("Ibraname1.xls") +
                                            " (çalışma kopyasının yerinde bir klasör var)");
    // Nothing half-made is left behind.
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"Velkara1.xls", "Ibraname.xls", "Ibraname1.xls"}));
}

TEST_F(Fill, EachFillStartsFromAFreshCopy) {
    std::ofstream(folder / "Velkara1.xls") << "an earlier severance sheet, longer than the template";
    Bordro(CalculatedCase(), false);
    EXPECT_EQ(Slurp(folder / "Velkara1.xls"), "payroll template");
}

// A spreadsheet that cannot be started or a working copy that cannot be opened is said, once.
TEST_F(Fill, StartAndOpenFailuresAreReported) {
    struct Case {
        Op failing;
        Lines calls;
        std::string message;
    };
    const Case cases[] = {
        {Op::Start, {"start"}, "LibreOffice Calc başlatılamadı: nedeni"},
        {Op::Open,
         {"start", "show", "open " + Path("Ibraname1.xls"), "release"},
         "Çalışma kopyası açılamadı: " + Path("Ibraname1.xls") + " (nedeni)"},
    };
    for (const auto& c : cases) {
        RecordingSpreadsheet failing;
        failing.failReason = "nedeni";
        failing.failWhen = [&](const SpreadsheetCall& call) { return call.op == c.failing; };
        RecordedMessages m;
        EXPECT_FALSE(IbranameDoldur(CalculatedCase(), folder.string(), failing, m));
        EXPECT_EQ(failing.lines(), c.calls);
        ASSERT_EQ(m.entries.size(), 1u);
        EXPECT_EQ(m.entries[0].text, c.message);
    }
}

TEST_F(Fill, DialogPrintsTheSelectedPaperInANewInstanceEachTime) {
    const Record r = CalculatedCase();
    // The calls each new instance was given, kept after the fill has let the instance go.
    std::vector<Lines> made;
    frmRaporSec dialog(
        r, folder.string(),
        [&] {
            auto s = std::make_unique<RecordingSpreadsheet>();
            made.emplace_back();
            s->failWhen = [&made, i = made.size() - 1](const SpreadsheetCall& c) {
                made[i].push_back(c.str());
                return false;
            };
            return s;
        },
        messages);

    EXPECT_EQ(dialog.secim(), frmRaporSec::KidemBordrosuSecimi);
    const struct {
        int secim;
        const char* workbook;
        const char* a1; // the first write of the fill
        bool kidem;
    } prints[] = {
        {0, "Velkara1.xls", "write A1 literal KIDEM TAZMİNATI BORDROSU", true},
        {1, "Velkara1.xls", "write A1 literal İHBAR TAZMİNATI BORDROSU", false},
        {1, "Velkara1.xls", "write A1 literal İHBAR TAZMİNATI BORDROSU", false},
        {2, "Ibraname1.xls", "write AQ6 value Örnek Tekstil San. ve Tic. Ltd. Şti.", false},
        {0, "Velkara1.xls", "write A1 literal KIDEM TAZMİNATI BORDROSU", true},
    };
    for (const auto& p : prints) {
        dialog.secimYap(p.secim);
        dialog.yazdir();
        ASSERT_FALSE(made.empty());
        const Lines& lines = made.back();
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[2], "open " + Path(p.workbook));
        EXPECT_EQ(lines[3], p.a1);
        EXPECT_EQ(dialog.KidemBordrosu(), p.kidem);
        EXPECT_EQ(dialog.secim(), p.secim); // the choice stays
    }
    EXPECT_EQ(made.size(), 5u);

    dialog.secimYap(3); // no option selected: nothing happens
    dialog.yazdir();
    EXPECT_EQ(made.size(), 5u);
    EXPECT_TRUE(messages.entries.empty());

    frmRaporSec noOffice(
        r, folder.string(), [] { return std::unique_ptr<Spreadsheet>(); }, messages);
    noOffice.yazdir();
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, "LibreOffice Calc başlatılamadı.");
}

} // namespace
