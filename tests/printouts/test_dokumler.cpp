// SPDX-License-Identifier: GPL-3.0-or-later
// The fills and the printout dialog on the recording backend: every call, in order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "base/conversions.h"
#include "case.h"
#include "printouts/dokumler.h"
#include "printouts/ibraname.h"
#include "printouts/recording_spreadsheet.h"
#include "printouts/yaziyla.h"
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
        std::ofstream(folder / "Aciklama.xls") << "statement template";
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
    EXPECT_EQ(lines,
              (Lines{
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
                  "block AV6:BZ6: AV6=Hizmet Günü | BA6=Brüt Ücret | BH6=GV Matrahı | BR6=Brüt Tazminat",
                  // The line in one block, amounts as numbers: 6.862,42 − 45,29 = 6.817,13.
                  "block AV8:DJ8: AV8=1279 | BA8=2000 | BH8=0 | BR8=6862.42 | CA8=0 | CI8=45.29 | "
                  "CS8=45.29 | DA8=6817.13",
                  "block A9:A9: A9=Kıdem Tazminatı Tavanı: 1.960,69 YTL.",
                  // The detail table, made under the notes from the captions and the line.
                  "insert 10 3",
                  "copy A6:DJ8 A10",
                  "height 10 500",
                  "height 11 500",
                  "height 12 500",
                  "block A10:DJ12: A10=Hizmet Süresi | A12=3 yıl 6 ay 0 gün | Q10=Yıllık Kıdem Günü | "
                  "Q12=30 | Y10=Gün Payı Böleni | Y12=365 | AH10=DV Oranı | AH12=‰6,6 | "
                  "BA10=Esas Aylık Ücret | BA12=1960.69 | BH10=Günlük Ücret | BH12=65.36 | "
                  "BR10=Kıdem Tazminatı Tavanı | BR12=1.960,69 | CA10=Bir Yıllık Tazminat | "
                  "CA12=1960.69 | CI10=Gelir Vergisinden İstisna | CI12=6862.42 | "
                  "CS10=Gelir Vergisine Tabi | CS12=0 | DA10=Devreden GV Matrahı | DA12=0",
                  "block CI15:CI15: CI15=Adı Soyadı: Ayşe Çağlar",
                  "title Kıdem Bordrosu – Ayşe Çağlar",
                  "release",
              }));
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(Slurp(folder / "Velkara1.xls"), "payroll template");
}

TEST_F(Fill, NoticeSheetCellByCell) {
    Record r = CalculatedCase();
    Lines lines = Bordro(r, false);
    EXPECT_EQ(lines,
              (Lines{
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
                  "block AV6:BZ6: AV6=İhbar Günü | BA6=Brüt Ücret | BH6=GV Matrahı | BR6=Brüt Tazminat",
                  // The notice days, not the days of service; the payment's own base.
                  "block AV8:DJ8: AV8=56 | BA8=2000 | BH8=3733.33 | BR8=3733.33 | CA8=560 | CI8=24.64 | "
                  "CS8=584.64 | DA8=3148.69",
                  "insert 10 4",
                  "copy A6:DJ8 A10",
                  "height 10 500",
                  "height 11 500",
                  "height 12 500",
                  "height 13 500",
                  "block A10:DJ13: A10=Hizmet Süresi | A12=3 yıl 6 ay 0 gün | Q10=İhbar Süresi | "
                  "Q12=56 gün | AH10=DV Oranı | AH12=‰6,6 | BA10=Günlük Ücret | BA12=66.67 | "
                  "BH10=Devreden GV Matrahı | BH12=0 | BR10=Bu Ödemenin GV Matrahı | BR12=3733.33 | "
                  "CA10=Kümülatif GV Matrahı | CA12=3733.33 | "
                  "A13=Gelir vergisi 1. dilim: 3.733,33 × %15 = 560,00",
                  "block CI16:CI16: CI16=Adı Soyadı: Ayşe Çağlar",
                  "title İhbar Bordrosu – Ayşe Çağlar",
                  "release",
              }));
}

// The ceiling the severance was worked out with, in the notes and in the detail table; a ceiling the table
// of legal figures lacks for the exit date says so. The lira was renamed from "YTL" to "TL" on 01.01.2009:
// the papers follow the exit date whenever one is typed, in either mode.
TEST_F(Fill, CeilingLine) {
    enum Table { Has, LacksLastUsed, LacksTyped };
    struct Row {
        double ceiling;
        Table table;
        const char* exit;
        Mode mode;
        const char* line;
        const char* detail; // BR12
    } rows[] = {
        {1960.69, Has, "14.09.2007", Mode::Dates, "Kıdem Tazminatı Tavanı: 1.960,69 YTL.", "1.960,69"},
        {2500, Has, "14.09.2007", Mode::Dates, "Kıdem Tazminatı Tavanı: 2.500,00 YTL.", "2.500,00"},
        {1960.694, Has, "14.09.2007", Mode::Dates, "Kıdem Tazminatı Tavanı: 1.960,69 YTL.", "1.960,69"},
        {2087.92, Has, "31.12.2008", Mode::Dates, "Kıdem Tazminatı Tavanı: 2.087,92 YTL.", "2.087,92"},
        {2087.92, Has, "31.12.2008", Mode::PremiumDays, "Kıdem Tazminatı Tavanı: 2.087,92 YTL.", "2.087,92"},
        {2500, Has, "01.01.2009", Mode::Dates, "Kıdem Tazminatı Tavanı: 2.500,00 TL", "2.500,00"},
        {64948.77, Has, "15.03.2026", Mode::PremiumDays, "Kıdem Tazminatı Tavanı: 64.948,77 TL", "64.948,77"},
        // No exit date: the day of printing, long after 2009.
        {64948.77, Has, "__.__.____", Mode::PremiumDays, "Kıdem Tazminatı Tavanı: 64.948,77 TL", "64.948,77"},
        {2030.19, LacksLastUsed, "14.09.2007", Mode::Dates,
         "Kıdem Tazminatı Tavanı: 2.030,19 YTL. (tabloda yok: 01.07.2007 – 31.12.2007 dönemi tavanı tabloda "
         "yok, son bilinen tavan (01.01.2007 – 30.06.2007) kullanıldı)",
         "2.030,19 (tabloda yok)"},
        {2100, LacksTyped, "14.09.2007", Mode::Dates,
         "Kıdem Tazminatı Tavanı: 2.100,00 YTL. (tabloda yok: 01.07.2007 – 31.12.2007 dönemi tavanı tabloda "
         "yok, Sabitler'de yazılan tavan kullanıldı)",
         "2.100,00 (tabloda yok)"},
    };
    for (const Row& row : rows) {
        Record r = CalculatedCase();
        r.setMode(row.mode);
        r.write(Field::CTarih, row.exit);
        Hesap h = *r.hesap();
        h.dava.law.ceiling = row.ceiling;
        if (row.table != Has)
            h.dava.law.inForce =
                CeilingInForce{std::nullopt, 2030.19, "01.01.2007 – 30.06.2007", "01.07.2007 – 31.12.2007"};
        h.dava.law.ceilingMissing = row.table == LacksLastUsed;
        r.setHesap(std::make_shared<const Hesap>(h));
        RecordingSpreadsheet filled;
        ASSERT_TRUE(BordroDoldur(r, true, folder.string(), filled, messages));
        EXPECT_EQ(filled.blockCell("A9"), row.line) << row.ceiling << " " << row.exit;
        EXPECT_EQ(filled.blockCell("BR12"), row.detail) << row.ceiling << " " << row.exit;
    }
}

// The deductions' sum is the calculation's, in kuruş: no text on the sheet is read back for it, and
// without a calculation carried by the sheet there is no sum.
// The leave pay's payroll sheet: the days and the wage without the extra pay, the year's base it is taxed on
// top of (the notice pay's 3.733,33), its taxes, the deductions with the SGK shares, the net; the SGK shares
// on the line below. A case without a leave pay fills nothing and says how to give one.
TEST_F(Fill, LeaveSheetCellByCell) {
    Record r = CalculatedCase();
    r.write(Field::YIUCRET, "0");
    r.write(Field::ESUCRET, "2.000,00");
    r.write(Field::IZGUN, "10");
    r.write(Field::AYSGKMAT, "3.000,00"); // 656,25 left under the month's ceiling of 3.656,25
    RecordedMessages said;
    Hesapla(r, said);
    ASSERT_TRUE(IzinBordroDoldur(r, folder.string(), sheet, messages));
    Lines lines = sheet.lines();
    const Lines tail(lines.begin() + 13, lines.end());
    EXPECT_EQ(tail,
              (Lines{
                  "block AV6:BZ6: AV6=İzin Günü | BA6=Brüt Ücret | BH6=GV Matrahı | BR6=Brüt İzin Ücreti",
                  // Its base is the gross less the SGK shares: 666,67 − 98,44.
                  "block AV8:DJ8: AV8=10 | BA8=2000 | BH8=568.23 | BR8=666.67 | CA8=85.23 | CI8=4.4 | "
                  "CS8=188.07 | DA8=478.6",
                  "block A9:A9: A9=SGK işçi payı 98,44 (sigorta primi 91,88, işsizlik sigortası primi "
                  "6,56; prime esas tutar 656,25) kesintiler toplamındadır.",
                  "insert 10 4",
                  "copy A6:DJ8 A10",
                  "height 10 500",
                  "height 11 500",
                  "height 12 500",
                  "height 13 500",
                  "block A10:DJ13: A10=İzin | A12=10 gün | AH10=DV Oranı | AH12=‰6,6 | "
                  "BA10=Günlük Ücret | BA12=66.67 | BH10=SGK Primine Esas | BH12=656.25 | "
                  "BR10=SGK İşçi Payı | BR12=91.88 | CA10=İşsizlik Sig. İşçi Payı | CA12=6.56 | "
                  "CI10=Devreden GV Matrahı | CI12=3733.33 | CS10=Bu Ödemenin GV Matrahı | CS12=568.23 | "
                  "DA10=Kümülatif GV Matrahı | DA12=4301.56 | "
                  "A13=Gelir vergisi 1. dilim: 568,23 × %15 = 85,23",
                  "block CI16:CI16: CI16=Adı Soyadı: Ayşe Çağlar",
                  "title İzin Bordrosu – Ayşe Çağlar",
                  "release",
              }));
    EXPECT_EQ(lines[3], "write A1 literal YILLIK İZİN ÜCRETİ BORDROSU");

    r.write(Field::IZGUN, "0");
    r.write(Field::YIUCRET, "0");
    Hesapla(r, said);
    sheet.calls.clear();
    EXPECT_FALSE(IzinBordroDoldur(r, folder.string(), sheet, messages));
    EXPECT_TRUE(sheet.calls.empty());
    ASSERT_EQ(messages.entries.size(), 1u);
}

TEST_F(Fill, NoticeSumIsTheCalculations) {
    const std::pair<const char*, const char*> cases[] = {{"", "6,60"}, {"123,45", "abc"}, {"1,2,3", "1"}};
    for (auto [tax, stamp] : cases) {
        Record r = CalculatedCase();
        r.write(Field::IGVER, tax);
        r.write(Field::IDVER, stamp);
        RecordingSpreadsheet filled;
        BordroDoldur(r, false, folder.string(), filled, messages);
        EXPECT_EQ(filled.blockCell("CA8"), "560") << tax << " + " << stamp;
        EXPECT_EQ(filled.blockCell("CS8"), "584.64") << tax << " + " << stamp;
        // Without a calculation carried by the sheet there is no paper at all.
        r.setHesap(nullptr);
        sheet.calls.clear();
        messages.entries.clear();
        EXPECT_FALSE(BordroDoldur(r, false, folder.string(), sheet, messages));
        EXPECT_TRUE(sheet.calls.empty());
        ASSERT_EQ(messages.entries.size(), 1u);
        EXPECT_EQ(messages.entries[0].text,
                  "Hesap yok: önce \"Hesapla\" ile hesaplayın.\r\nBordro yazdırılmadı.");
    }
}

TEST_F(Fill, ReleaseLetterCellByCell) {
    Record r = CalculatedCase();
    r.write(Field::txtAdresi, "Bağdat Cad. 1");
    r.write(Field::txtIbranameTarihi, "15.10.2007");
    r.write(Field::txtOdemeTarihi, "01.10.2007");
    r.write(Field::txtBanka, "Örnek Bankası");
    r.write(Field::txtIBAN, "tr330006100519786457841326");
    r.write(Field::txtEkOdemeler, "Son ay ücreti: 12.345,67\r\n");
    Lines lines = Ibraname(r);
    std::string text(kDefaultReleaseText);
    for (size_t p; (p = text.find("\r\n")) != std::string::npos;) text.replace(p, 2, "\n");
    const Lines expected{
        "start",
        "show",
        "open " + Path("Ibraname1.xls"),
        "write AQ6 value Örnek Tekstil San. ve Tic. Ltd. Şti.",
        "write AQ7 text 2 1234 01 01 1234567 034 12 34 000",
        "write AQ8 value Bağdat Cad. 1",
        "write aq10 value Ayşe Çağlar",
        "write aq11 text 0340123456789",
        "write aq12 text 01234567890",
        "write aq13 value 15.03.2004",
        "write aq14 value 14.09.2007",
        "write aq15 value Moda Cad. No: 5\r\nKadıköy / İstanbul",
        "footer center 3 Tarih: 15.10.2007",
        "footer left -1 Örnek Tekstil San. ve Tic. Ltd.\nŞti.",
        "footer right -1 Ayşe Çağlar\n\u00a0",
        "merge A17:EX23",
        "write a17 text " + text,
        "write a24 text Kıdem Tazminatı (net)",
        "write U24 literal :",
        "right AT24",
        "write AT24 value 6.817,13 YTL.",
        "write a25 text İhbar Tazminatı (net)",
        "write U25 literal :",
        "right AT25",
        "write AT25 value 3.148,69 YTL.",
        "write a26 text İzin Ücreti (net)",
        "write U26 literal :",
        "right AT26",
        "write AT26 value 883,81 YTL.",
        "write a27 text Son ay ücreti (net)",
        "write U27 literal :",
        "right AT27",
        "write AT27 value 12.345,67 YTL.",
        "write a28 literal TOPLAM (net)",
        "border AT28 W28",
        "write U28 literal :",
        "right AT28",
        "write AT28 value 23.195,30 YTL.",
        "look A17 A29:EX29",
        "merge A29:EX29",
        "write a29 literal Yalnız: Yirmiüç Bin Yüz Doksan Beş Yeni Türk Lirası Otuz Yeni "
        "Kuruş\nİzin "
        "ücreti: brüt 1.234,56; SGK işçi payı 185,19, gelir vergisi 157,41, damga vergisi 8,15 "
        "kesildi, net 883,81. Toplam, kesintiler düşülmüş net tutarların toplamıdır.\nYukarıdaki "
        "tutarların her biri 01.10.2007 tarihinde Örnek Bankası nezdindeki TR33 0006 1005 1978 6457 "
        "8413 26 IBAN numaralı hesabıma ödenmiştir.",
        "title İbraname – Ayşe Çağlar",
        "release",
    };
    // Line by line: a long list is shown cut short where it differs.
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << i;
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
        {"tek satır", "merge A17:EX20", "write a17 text tek satır", "write a21 literal TOPLAM (net)"},
        {"", "merge A17:EX20", "write a17 text ", "write a21 literal TOPLAM (net)"},
        {"bir\r\niki", "merge A17:EX21", "write a17 text bir\niki", "write a22 literal TOPLAM (net)"},
        {"bir\r\n", "merge A17:EX21", "write a17 text bir\n", "write a22 literal TOPLAM (net)"},
        {"\r\n\r\n\r\n", "merge A17:EX23", "write a17 text \n\n\n", "write a24 literal TOPLAM (net)"},
        // Only the pair counts as a line break.
        {"bir\niki\rüç", "merge A17:EX20", "write a17 text bir\niki\rüç", "write a21 literal TOPLAM (net)"},
    };
    for (const auto& c : cases) {
        Record r = CalculatedCase();
        r.write(Field::txtIbraname, c.text);
        r.setCheck1(0);
        r.setCheck2(0);
        r.write(Field::YIUCRET, "0");
        RecordedMessages said;
        Hesapla(r, said); // no leave pay
        sheet.calls.clear();
        Lines lines = Ibraname(r);
        const auto merge = std::find(lines.begin(), lines.end(), c.merge);
        ASSERT_LT(merge + 2, lines.end()) << c.text;
        EXPECT_EQ(merge[1], c.block) << c.text;
        EXPECT_EQ(merge[2], c.total) << c.text;
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
        {"both ticked, no leave", 1, 1, "0", {"a24 Kıdem", "a25 İhbar", "a26 TOPLAM"}, "9.965,82"},
        {"nothing", 0, 0, "0", {"a24 TOPLAM"}, "0,00"},
        {"greyed box counts as not ticked", 2, 1, "0", {"a24 İhbar", "a25 TOPLAM"}, "3.148,69"},
        // The leave pay's net: 0,50 less 0,08 SGK and 0,06 income tax; 1,00 less 0,15, 0,13 and 0,01 stamp
        // duty; 1.234,56 less 185,19, 157,41 and 8,15.
        {"leave below one lira", 0, 0, "0,50", {"a24 İzin", "a25 TOPLAM"}, "0,36"},
        {"leave of one lira", 0, 0, "1,00", {"a24 İzin", "a25 TOPLAM"}, "0,71"},
        {"leave with grouping", 1, 0, "1.234,56", {"a24 Kıdem", "a25 İzin", "a26 TOPLAM"}, "7.700,94"},
        {"leave not a number", 0, 0, "beş", {"a24 TOPLAM"}, "0,00"},
        {"leave with its currency typed", 0, 0, "12 TL", {"a24 TOPLAM"}, "0,00"}, // not the sheet's notation
    };
    for (const auto& c : cases) {
        Record r = CalculatedCase();
        r.setCheck1(c.check1);
        r.setCheck2(c.check2);
        r.write(Field::YIUCRET, c.leave);
        RecordedMessages said;
        Hesapla(r, said); // a leave pay that cannot be read stops the calculation: no letter amounts
        if (!said.entries.empty() && said.entries[0].icon == MessageIcon::Warning) r.setHesap(nullptr);
        sheet.calls.clear();
        Lines labels;
        std::string total;
        for (const std::string& l : AmountLines(Ibraname(r))) {
            if (l.rfind("write a", 0) == 0 && l.find("Yalnız") == std::string::npos) {
                std::string rest = l.substr(6);                     // "a24 text Kıdem ..."
                std::string cell = rest.substr(0, rest.find(' '));  // "a24"
                rest = rest.substr(cell.size() + 1);                // "text Kıdem ..."
                std::string word = rest.substr(rest.find(' ') + 1); // "Kıdem Tazminatı (net)"
                labels.push_back(cell + " " + word.substr(0, word.find(' ')));
            }
            if (l.find(" value ") != std::string::npos) total = l.substr(l.find(" value ") + 7);
        }
        EXPECT_EQ(labels, c.labels) << c.name;
        EXPECT_EQ(total, std::string(c.total) + " YTL.") << c.name;
    }
}

// The total adds the calculation's amounts as shown, whatever a result text was made to say afterwards.
TEST_F(Fill, TotalIsTheCalculationsNotTheTexts) {
    Record r = CalculatedCase();
    r.write(Field::YIUCRET, "0");
    RecordedMessages said;
    Hesapla(r, said);
    r.write(Field::NET, "hesaplanmadı");
    Lines lines = AmountLines(Ibraname(r));
    EXPECT_EQ(lines[3], "write AT24 value 6.817,13 YTL.");
    EXPECT_EQ(lines[lines.size() - 6], "write AT26 value 9.965,82 YTL.");
}

// How the recorded letter prints on pages of the recording backend's height: the page of every row up to
// the total in words, with the faults a reader would see.
struct Printed {
    std::map<int, int> page;         // row -> page (1 for the first)
    std::map<int, std::string> text; // row -> what column A holds
    std::vector<std::string> faults;
};

Printed Paginate(const RecordingSpreadsheet& sheet) {
    Printed out;
    std::set<int> breaks;
    int last = 0;
    for (const SpreadsheetCall& c : sheet.calls) {
        if (c.op == Op::PageBreak) breaks.insert(std::stoi(c.first));
        if (c.op != Op::Write) continue;
        const size_t digits = c.first.find_first_of("0123456789");
        const int row = std::stoi(c.first.substr(digits));
        if (digits == 1 && (c.first[0] == 'a' || c.first[0] == 'A')) out.text[row] = c.second;
        last = std::max(last, row);
    }
    RecordingSpreadsheet& s = const_cast<RecordingSpreadsheet&>(sheet);
    int page = 1, used = 0;
    for (int row = 1; row <= last; ++row) {
        const int h = s.rowHeight(row);
        if (h > sheet.pageHeight)
            out.faults.push_back("row " + std::to_string(row) + " is taller than a page");
        if (breaks.count(row) || used + h > sheet.pageHeight) {
            if (!breaks.count(row) && used > 0)
                out.faults.push_back("row " + std::to_string(row) + " breaks a page the fill did not plan");
            ++page;
            used = 0;
        }
        used += h;
        out.page[row] = page;
    }
    return out;
}

std::vector<std::string> WordsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// A text longer than the room on its page is cut between laid-out lines, so that no row is taller than the
// room left on its page; each later page begins with the employee's name; the amount lines, the total and
// the total in words stand on one page with at least the last line of text.
TEST_F(Fill, ReleaseTextFlowsOverPages) {
    std::string paragraph;
    for (int i = 1; paragraph.size() < 12000; ++i) paragraph += "söz" + std::to_string(i) + " ";
    auto paragraphs = [](int count, int words) {
        std::string t;
        for (int p = 1; p <= count; ++p) {
            t += p > 1 ? "\r\n" : "";
            for (int w = 1; w <= words; ++w) t += "p" + std::to_string(p) + "k" + std::to_string(w) + " ";
        }
        return t;
    };
    struct Case {
        const char* name;
        std::string text;
        int pages;
    };
    std::vector<Case> cases = {
        {"one paragraph of 12,000 characters", paragraph, 3},
        {"one paragraph of 4,700 characters", paragraph.substr(0, paragraph.find(' ', 4700)), 0},
        {"12 paragraphs and 4 short lines", paragraphs(12, 60) + "\r\nbir\r\niki\r\nüç\r\ndört", 2},
        {"31 paragraphs", paragraphs(31, 40), 3},
        {"40 paragraphs", paragraphs(40, 40), 3},
        {"ending in an empty line", paragraphs(13, 60) + "\r\n", 2},
        {"one word longer than a page", std::string(30000, 'x'), 0},
        {"the default text", std::string(kDefaultReleaseText), 1},
    };
    // Texts that end anywhere near the foot of the first page.
    for (int n = 20; n <= 45; ++n) {
        std::string t = "satır1";
        for (int i = 2; i <= n; ++i) t += "\r\nsatır" + std::to_string(i);
        cases.push_back({"short lines", t, 0});
    }
    for (const Case& c : cases) {
        Record r = CalculatedCase();
        r.write(Field::txtIbraname, c.text);
        r.setCheck1(1);
        r.setCheck2(1);
        RecordingSpreadsheet paged;
        paged.pageHeight = 25000; // 250 mm
        ASSERT_TRUE(IbranameDoldur(r, folder.string(), paged, messages)) << c.name;
        const Printed printed = Paginate(paged);
        for (const std::string& fault : printed.faults) ADD_FAILURE() << c.name << ": " << fault;
        // The rows of the amounts, the total and the words, and the last line of text above them.
        int total = 0;
        for (const auto& [row, text] : printed.text)
            if (text == "TOPLAM (net)") total = row;
        ASSERT_GT(total, 0) << c.name;
        int lastText = 0;
        for (const auto& [row, text] : printed.text)
            if (row >= 17 && row < total - 3 && text.find_first_not_of(" \n") != std::string::npos)
                lastText = row;
        for (int row : {total - 3, total - 2, total - 1, total, total + 1})
            EXPECT_EQ(printed.page.at(row), printed.page.at(lastText)) << c.name << ": row " << row;
        if (c.pages > 0) {
            EXPECT_EQ(printed.page.at(total + 1), c.pages) << c.name;
        }
        EXPECT_EQ(printed.text.at(total + 1).rfind("Yalnız: ", 0), 0u) << c.name;
        // Every word once, in order; each later page begins with the continuation line.
        std::vector<std::string> words;
        for (const auto& [row, text] : printed.text) {
            if (row < 17 || row >= total - 3) continue;
            const bool first = printed.page.at(row) != printed.page.at(row - 1);
            if (first) {
                EXPECT_EQ(text, "Ayşe Çağlar – İbraname (devam)") << c.name << ": row " << row;
                continue;
            }
            for (std::string& w : WordsOf(text)) words.push_back(std::move(w));
        }
        std::string shown;
        for (const std::string& w : words) shown += w;
        std::string expected;
        for (const std::string& w : WordsOf(c.text)) expected += w;
        EXPECT_EQ(shown, expected) << c.name;
    }
}

// The statement paper: the summary on the first page, every block of the statement (a step with its
// headings, figures and result) on one page, each later page headed by the continuation line, the date and
// the signature together on the last page, every text as text. Without results there is nothing to state:
// one message, no office started.
TEST_F(Fill, StatementLinesKeepTogetherOnTheirPages) {
    const struct {
        const char* name;
        int pageHeight;
        int charsPerLine;
        int pages; // 0: the backend cannot tell, no breaks
    } cases[] = {
        {"tall pages", 60000, 100, 1},
        {"short pages", 14000, 100, 0},
        {"narrow cells", 24000, 12, 0},
        {"unknown page", 0, 100, 1},
    };
    for (const auto& c : cases) {
        RecordingSpreadsheet paged;
        paged.pageHeight = c.pageHeight;
        paged.charsPerLine = c.charsPerLine;
        ASSERT_TRUE(AciklamaDoldur(CalculatedCase(), nullptr, folder.string(), paged, messages)) << c.name;
        for (const SpreadsheetCall& call : paged.calls)
            if (call.op == Op::Write) {
                EXPECT_NE(call.mode, WriteMode::Value) << c.name << ": " << call.str();
            }
        if (c.pageHeight == 0) {
            for (const SpreadsheetCall& call : paged.calls) EXPECT_NE(call.op, Op::PageBreak) << c.name;
            continue;
        }
        const Printed printed = Paginate(paged);
        for (const std::string& fault : printed.faults) ADD_FAILURE() << c.name << ": " << fault;
        // A row of figures stands on the page of the caption above it (a heading, a step, the signature)
        // or of the legal figure whose sources it names; a later page begins with the continuation line;
        // the summary's table is on the first page.
        std::set<int> starts; // the rows that begin a block
        for (const SpreadsheetCall& call : paged.calls) {
            if (call.op != Op::Write) continue;
            bool origin = false;
            for (const char* o :
                 {"ayar dosyasından", "tablodaki değer", "elle girildi", "arşivdeki hesaptan"})
                origin = origin || (call.first[0] == 'C' && call.second.rfind(o, 0) == 0);
            if (origin || (call.first[0] == 'A' && call.second.find("(devam)") == std::string::npos))
                starts.insert(std::stoi(call.first.substr(1)));
        }
        int signature = 0, net = 0;
        for (const SpreadsheetCall& call : paged.calls) {
            if (call.op != Op::Write) continue;
            const int row = std::stoi(call.first.substr(1));
            if (row < 15) continue; // the particulars
            const bool first = printed.page.at(row) != printed.page.at(row - 1);
            if (call.first[0] == 'A' && first) {
                EXPECT_EQ(call.second, "Ayşe Çağlar – Hesap Açıklaması (devam)") << c.name << ": row " << row;
            }
            if (call.first[0] == 'A' && call.second == "Düzenleme Tarihi") signature = row;
            if (call.first[0] == 'A' && call.second == "Adı Soyadı:") {
                EXPECT_EQ(printed.page.at(row), printed.page.at(signature)) << c.name;
            }
            if (call.first[0] == 'G' && call.second == "Net") net = row;
            const auto start = starts.upper_bound(row);
            if (start == starts.begin() || (call.first[0] == 'A' && first)) continue;
            EXPECT_EQ(printed.page.at(row), printed.page.at(*std::prev(start)))
                << c.name << ": " << call.str();
        }
        ASSERT_GT(signature, 0) << c.name;
        EXPECT_EQ(printed.page.at(signature), printed.page.rbegin()->second) << c.name;
        ASSERT_GT(net, 0) << c.name;
        EXPECT_EQ(printed.page.at(net), 1) << c.name;
        if (c.pages > 0) {
            EXPECT_EQ(printed.page.rbegin()->second, c.pages) << c.name;
        }
    }

    fs::remove(folder / "Aciklama1.xls");
    Record blank; // typed, never calculated
    blank.write(Field::GTarih, "15.03.2004");
    RecordingSpreadsheet unused;
    RecordedMessages said;
    EXPECT_FALSE(AciklamaDoldur(blank, nullptr, folder.string(), unused, said));
    EXPECT_TRUE(unused.calls.empty());
    EXPECT_EQ(said.entries.size(), 1u);
    EXPECT_FALSE(fs::exists(folder / "Aciklama1.xls"));
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

// The names under the signature lines are broken into lines that stay clear of the footer's middle.
TEST_F(Fill, FooterNames) {
    const std::tuple<Field, const char*, const char*> cases[] = {
        // The shorter name is filled out with empty lines: the signature blocks stand level.
        {Field::txtAdiSoyadi, " Ali  Veli ", "footer right -1 Ali Veli\n\u00a0"},
        {Field::txtAdiSoyadi, "Muhammed Mustafa Abdurrahman Karaosmanoğlu",
         "footer right -1 Muhammed Mustafa Abdurrahman\nKaraosmanoğlu"},
        {Field::txtUnvani, "Örnek Tekstil\r\nLtd. Şti.", "footer left -1 Örnek Tekstil\nLtd. Şti."},
        {Field::txtUnvani, "ÇokUzunBirUnvanıOlanŞirketinAdıBurada A.Ş.",
         "footer left -1 ÇokUzunBirUnvanıOlanŞirketinAdıB\nurada A.Ş."},
        {Field::txtAdiSoyadi, "", "footer right -1 \u00a0\n\u00a0"}, // no name: the room it would take
    };
    for (auto [field, name, line] : cases) {
        Record r = CalculatedCase();
        r.write(field, name);
        sheet.calls.clear();
        Lines lines = Ibraname(r);
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << name;
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
        {Field::txtVergiDairesi, "-2,68", "write CI3 value -2,68"},
        {Field::txtUnvani, "+1.234,50", "write N3 value +1.234,50"},
        {Field::txtTcKNo, "@1", "write Y8 text @1"},
        {Field::txtTcKNo, "=1", "write Y8 text =1"},
        {Field::txtAdiSoyadi, " =1+2", "write a8 value  =1+2"}, // a leading blank makes it text anyway
        // A date left empty (a case from premium days) prints blank, not as its mask.
        {Field::GTarih, "__.__.____", "write AH8 text "},
        {Field::CTarih, "__.__.____", "write AO8 text "},
    };
    for (const auto& c : cases) {
        Record r = CalculatedCase();
        r.write(c.field, c.text);
        sheet.calls.clear();
        Lines lines = Bordro(r, false);
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.expected), lines.end()) << c.expected;
    }
    // The amounts come from the calculation, never from a field's text.
    Record edited = CalculatedCase();
    edited.write(Field::ITAZM, "=SUM(A1)");
    RecordingSpreadsheet filled;
    BordroDoldur(edited, false, folder.string(), filled, messages);
    EXPECT_EQ(filled.blockCell("DA8"), "3148.69");
    Record r = CalculatedCase();
    r.write(Field::NET, "=1+2");
    r.write(Field::txtAdres, "@adres");
    r.write(Field::txtEkOdemeler, "=1+2 ücret: 10");
    sheet.calls.clear();
    Lines lines = Ibraname(r);
    for (const char* line :
         {"write aq15 text @adres", "write AT24 value 6.817,13 YTL.", "write a27 text =1+2 ücret (net)"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
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
    EXPECT_EQ(names,
              (std::set<std::string>{"Velkara1.xls", "Ibraname.xls", "Ibraname1.xls", "Aciklama.xls"}));
}

// A severance that could not be worked out for want of the date's ceiling goes on no paper that shows it:
// one message, no office; the notice payroll sheet and a letter without the severance still print.
TEST_F(Fill, NoPaperShowsASeveranceNotWorkedOut) {
    Record r = CalculatedCase();
    Hesap h = *r.hesap();
    h.sonuc.severanceUnknown = true;
    r.setHesap(std::make_shared<const Hesap>(h));
    EXPECT_FALSE(BordroDoldur(r, true, folder.string(), sheet, messages));
    EXPECT_FALSE(IbranameDoldur(r, folder.string(), sheet, messages));
    EXPECT_TRUE(sheet.calls.empty());
    ASSERT_EQ(messages.entries.size(), 2u);
    EXPECT_EQ(messages.entries[0].text,
              "Kıdem tazminatı hesaplanmadı.\r\nKıdem tazminatını gösteren döküm yazdırılmadı.");
    EXPECT_TRUE(BordroDoldur(r, false, folder.string(), sheet, messages));
    r.setCheck1(0);
    EXPECT_TRUE(IbranameDoldur(r, folder.string(), sheet, messages));
}

// A payment the termination reason makes not due is left out of the release letter, and its payroll sheet
// says why instead of printing; the letter's total is what is left.
TEST_F(Fill, APaymentNotDueIsLeftOut) {
    struct Row {
        const char* reason;
        Lines letter; // the letter's amount captions
        bool severanceSheet, noticeSheet;
    } rows[] = {
        {"isveren", {"a24 Kıdem", "a25 İhbar", "a26 İzin", "a27 TOPLAM"}, true, true},
        {"24", {"a24 Kıdem", "a25 İzin", "a26 TOPLAM"}, true, false},
        {"istifa-bildirimsiz", {"a24 İzin", "a25 TOPLAM"}, false, false},
    };
    for (const Row& row : rows) {
        Record r = CalculatedCase();
        r.write(Field::FESIH, row.reason);
        RecordedMessages said;
        Hesapla(r, said);
        Lines captions;
        for (const std::string& line : Ibraname(r))
            for (const char* word : {"Kıdem", "İhbar", "İzin", "TOPLAM"})
                if (line.find(" literal " + std::string(word)) != std::string::npos ||
                    line.find(" text " + std::string(word)) != std::string::npos)
                    captions.push_back(line.substr(6, line.find(' ', 6) - 6) + " " + word);
        EXPECT_EQ(captions, row.letter) << row.reason;
        messages.entries.clear();
        EXPECT_EQ(BordroDoldur(r, true, folder.string(), sheet, messages), row.severanceSheet) << row.reason;
        EXPECT_EQ(BordroDoldur(r, false, folder.string(), sheet, messages), row.noticeSheet) << row.reason;
        EXPECT_EQ(messages.entries.size(), size_t{!row.severanceSheet} + size_t{!row.noticeSheet})
            << row.reason;
        sheet.calls.clear();
    }
}

// A payroll sheet with nothing due on it is not printed: no office is started, and one message names the
// reason; the other payment's sheet prints as usual.
TEST_F(Fill, APayrollSheetWithNothingDueSaysWhy) {
    struct Row {
        const char* name;
        std::vector<std::pair<Field, const char*>> edits;
        std::string severance, notice; // the message, or empty when the sheet prints
    } rows[] = {
        {"a year of service", {}, "", ""},
        {"under one year",
         {{Field::GTarih, "01.03.2007"}},
         "Kıdem tazminatı: Hak edilmedi — hizmet süresi bir yıldan az (0 yıl 6 ay 14 gün).\r\nBordro "
         "yazdırılmadı.",
         ""},
        {"resignation",
         {{Field::FESIH, "istifa"}},
         "Kıdem tazminatı: Hak edilmedi — İstifa (1475 m. 14/1; 4857 m. 17)\r\nBordro yazdırılmadı.",
         "İhbar tazminatı: "},
        {"a notice band of no days",
         {{Field::DL4, "0"}},
         "",
         "İhbar tazminatı: ödenecek tutar yok (ihbar süresi 0 gün, brüt 0,00).\r\nBordro yazdırılmadı."},
        {"no wage",
         {{Field::TBRUT, "0"}},
         "Kıdem tazminatı: ödenecek tutar yok (brüt 0,00).\r\nBordro yazdırılmadı.",
         "İhbar tazminatı: ödenecek tutar yok (ihbar süresi 56 gün, brüt 0,00).\r\nBordro yazdırılmadı."},
    };
    for (const Row& row : rows) {
        Record r = CalculatedCase();
        for (auto [f, text] : row.edits) r.write(f, text);
        RecordedMessages said;
        Hesapla(r, said);
        ASSERT_TRUE(r.hesap()) << row.name;
        for (bool kidem : {true, false}) {
            const std::string& why = kidem ? row.severance : row.notice;
            RecordingSpreadsheet paper;
            RecordedMessages m;
            EXPECT_EQ(BordroDoldur(r, kidem, folder.string(), paper, m), why.empty()) << row.name << kidem;
            if (why.empty()) {
                EXPECT_TRUE(m.entries.empty()) << row.name << kidem;
                continue;
            }
            EXPECT_TRUE(paper.calls.empty()) << row.name << kidem;
            ASSERT_EQ(m.entries.size(), 1u) << row.name << kidem;
            EXPECT_EQ(m.entries[0].text.substr(0, why.size()), why) << row.name << kidem;
            EXPECT_EQ(m.entries[0].icon, MessageIcon::Warning) << row.name << kidem;
        }
    }
}

// Each sheet adds up on its own, as printed: gross − deductions = net, the income tax is the sum of its
// brackets' taxes and its base the sum of their slices, on cases whose payments cross brackets.
TEST_F(Fill, PayrollSheetsAddUpOnTheirOwn) {
    const std::pair<const char*, const char*> cases[] = {
        {"2.000,00", "0"}, {"2.000,00", "6.990,00"}, {"9.876,54", "28.999,99"}, {"25.000,00", "55.555,55"}};
    auto number = [](const std::optional<std::string>& t) { return t ? std::stod(*t) : -1.0; };
    for (auto [wage, carried] : cases) {
        for (int kind = 0; kind < 3; ++kind) {
            Record r = CalculatedCase();
            r.write(Field::TBRUT, wage);
            r.write(Field::DGVMAT, carried);
            r.write(Field::ESUCRET, wage);
            r.write(Field::IZGUN, "12");
            r.write(Field::YIUCRET, "0");
            RecordedMessages said;
            Hesapla(r, said);
            ASSERT_TRUE(r.hesap()) << wage << " " << carried;
            RecordingSpreadsheet paper;
            ASSERT_TRUE(kind == 2 ? IzinBordroDoldur(r, folder.string(), paper, messages)
                                  : BordroDoldur(r, kind == 0, folder.string(), paper, messages));
            const std::string at = std::string(wage) + " " + carried + " kind " + std::to_string(kind);
            const double gross = number(paper.blockCell("BR8")), tax = number(paper.blockCell("CA8")),
                         stamp = number(paper.blockCell("CI8")), deductions = number(paper.blockCell("CS8")),
                         net = number(paper.blockCell("DA8")), base = number(paper.blockCell("BH8"));
            EXPECT_NEAR(gross - deductions, net, 0.001) << at;
            if (kind < 2) {
                EXPECT_NEAR(tax + stamp, deductions, 0.001) << at;
            }
            // "Gelir vergisi 2. dilim: 1.234,56 × %20 = 246,91", one row each under the table.
            double slices = 0, taxes = 0;
            for (int row = 13;; ++row) {
                const auto line = paper.blockCell("A" + std::to_string(row));
                if (!line) break;
                const auto colon = line->find(": "), times = line->find(" × "), equals = line->find(" = ");
                ASSERT_NE(equals, std::string::npos) << *line;
                slices += *ParseNumber(line->substr(colon + 2, times - colon - 2));
                taxes += *ParseNumber(line->substr(equals + 3));
            }
            EXPECT_NEAR(taxes, tax, 0.001) << at;
            if (tax > 0) {
                EXPECT_NEAR(slices, base, 0.001) << at;
            }
        }
    }
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
        {4, "Velkara1.xls", "write A1 literal YILLIK İZİN ÜCRETİ BORDROSU", true},
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
    EXPECT_EQ(made.size(), 6u);

    dialog.secimYap(5); // no option selected: nothing happens
    dialog.yazdir();
    EXPECT_EQ(made.size(), 6u);
    EXPECT_TRUE(messages.entries.empty());

    frmRaporSec noOffice(
        r, folder.string(), [] { return std::unique_ptr<Spreadsheet>(); }, messages);
    noOffice.yazdir();
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, "LibreOffice Calc başlatılamadı.");
}

} // namespace

namespace {

TEST(TutarYaziyla, Amounts) {
    const std::tuple<double, bool, const char*> cases[] = {
        {13611.22, false, "Onüç Bin Altıyüz On Bir Türk Lirası Yirmi İki Kuruş"},
        {13611.22, true, "Onüç Bin Altıyüz On Bir Yeni Türk Lirası Yirmi İki Yeni Kuruş"},
        {0.01, false, "Bir Kuruş"},
        {1.00, false, "Bir Türk Lirası"},
        {10.10, false, "On Türk Lirası On Kuruş"},
        {1000000.00, false, "Bir Milyon Türk Lirası"},
        {999999999.99, false,
         "Dokuzyüzdoksandokuz Milyon Dokuzyüzdoksandokuz Bin Dokuzyüz Doksan Dokuz Türk Lirası Doksan Dokuz "
         "Kuruş"},
        {0, false, "Sıfır Türk Lirası"},
        {1000, false, "Bin Türk Lirası"},
        {1001000, false, "Bir Milyon Bin Türk Lirası"},
        {2100, false, "İki Bin Yüz Türk Lirası"},
        {100000, false, "Yüz Bin Türk Lirası"},
        {3000000000.0, false, "Üç Milyar Türk Lirası"},
        {0.005, false, "Bir Kuruş"}, // rounded to the kuruş
        {0.994, false, "Doksan Dokuz Kuruş"},
        {-5.5, false, "Eksi Beş Türk Lirası Elli Kuruş"},
        {1e15, false, ""},
    };
    for (auto [amount, yeni, words] : cases) EXPECT_EQ(TutarYaziyla(amount, yeni), words) << amount;
}

// What a letter lacks or holds that the law does not accept is said, each in its own sentence.
TEST(IbranameUyarilari, BankParticularsBlanketReleaseAndFurtherPayments) {
    struct Row {
        const char* name;
        const char* paid;
        const char* bank;
        const char* iban;
        std::string text;
        const char* further;
        std::vector<const char*> said; // a word of each warning, in order
    };
    const Row rows[] = {
        {"all there",
         "01.10.2007",
         "Örnek Bankası",
         "TR33 0006 1005 1978 6457 8413 26",
         std::string(kDefaultReleaseText),
         "Son ay ücreti: 1.000,00\r\nFazla çalışma\t250",
         {}},
        {"no bank particulars",
         "__.__.____",
         " ",
         "",
         std::string(kDefaultReleaseText),
         "",
         {"\"Ödeme Tarihi\", \"Banka\" ve \"IBAN\" yok"}},
        {"IBAN fails its check",
         "01.10.2007",
         "Örnek",
         "TR34 0006 1005 1978 6457 8413 26",
         std::string(kDefaultReleaseText),
         "",
         {"kontrol rakamları"}},
        {"the earlier standard text",
         "01.10.2007",
         "Örnek",
         "TR330006100519786457841326",
         std::string(kPreviousReleaseText),
         "",
         {"\"bilcümle alacak\", \"hiçbir alacağımın kalmadığını\", \"bütün ücretlerimi\""}},
        {"a blanket phrase in capitals over a line break",
         "01.10.2007",
         "Örnek",
         "TR330006100519786457841326",
         "TÜM\r\nALACAKLARIMI aldım.",
         "",
         {"\"tüm alacaklarımı\""}},
        {"further payments without a kind or an amount",
         "01.10.2007",
         "Örnek",
         "TR330006100519786457841326",
         std::string(kDefaultReleaseText),
         "Son ay ücreti\r\n: 100\r\nPrim: sıfır",
         {"\"Son ay ücreti\" okunamadı", "\": 100\" okunamadı", "\"Prim: sıfır\" okunamadı"}},
    };
    for (const Row& row : rows) {
        Record r;
        r.write(Field::txtOdemeTarihi, row.paid);
        r.write(Field::txtBanka, row.bank);
        r.write(Field::txtIBAN, row.iban);
        r.write(Field::txtIbraname, row.text);
        r.write(Field::txtEkOdemeler, row.further);
        const std::vector<std::string> said = IbranameUyarilari(r);
        ASSERT_EQ(said.size(), row.said.size()) << row.name;
        for (size_t i = 0; i < said.size(); ++i)
            EXPECT_NE(said[i].find(row.said[i]), std::string::npos) << row.name << ": " << said[i];
    }
    const EkOdemeler further = EkOdemeleriOku("Son ay ücreti: 1.000,00\r\nFazla çalışma\t250\r\n\r\n");
    ASSERT_EQ(further.satirlar.size(), 2u);
    EXPECT_EQ(further.satirlar[0].kurus, 100000);
    EXPECT_EQ(further.satirlar[1].tur, "Fazla çalışma");
    EXPECT_EQ(further.satirlar[1].kurus, 25000);
}

TEST(IbranameTarihi, RefusedWithinAMonthOfTheExitOrWithoutItsDates) {
    const int today = 20071210;
    enum Stop { None, Month, Dates };
    const std::tuple<const char*, const char*, const char*, Stop> cases[] = {
        // entry date, exit date, letter date typed, why the letter is refused
        {"01.01.2000", "14.09.2007", "", None},            // printed today, three months later
        {"01.01.2000", "14.09.2007", "13.10.2007", Month}, // a day short of a month
        {"01.01.2000", "14.09.2007", "14.10.2007", None},
        {"01.01.2000", "31.01.2008", "28.02.2008", Month}, // 2008 is a leap year: a month is up on 29.02
        {"01.01.2000", "31.01.2008", "29.02.2008", None},
        {"01.01.2000", "31.01.2007", "28.02.2007", None},
        {"01.01.2000", "15.12.2007", "", Month}, // the exit lies after the printing day
        {"01.01.2000", "15.12.2007", "__.__.____", Month},
        {"01.01.2000", "15.12.2007", "15.01.2008", None},
        {"01.01.2000", "__.__.____", "01.01.2007", Dates}, // a premium-day case without its dates
        {"__.__.____", "14.09.2007", "01.01.2008", Dates},
    };
    for (auto [entry, exit, date, stop] : cases) {
        Record r;
        r.write(Field::GTarih, entry);
        r.write(Field::CTarih, exit);
        r.write(Field::txtIbranameTarihi, date);
        const auto engel = IbranameEngeliVar(r, today);
        EXPECT_EQ(engel ? engel->birAy ? Month : Dates : None, stop) << exit << " " << date;
    }
    Record r;
    r.write(Field::GTarih, "01.01.2000");
    r.write(Field::CTarih, "14.09.2007");
    r.write(Field::txtIbranameTarihi, "01.10.2007");
    EXPECT_EQ(IbranameEngeliVar(r, today)->neden,
              "İbraname tarihi (01.10.2007) çıkış tarihinden (14.09.2007) sonra bir ay geçmeden: TBK m. 420 "
              "uyarınca fesihten itibaren bir ay geçmeden düzenlenen ibraname kesin olarak hükümsüzdür. "
              "İbraname en erken 14.10.2007 tarihli olabilir.");
    EXPECT_EQ(IbranameTarihi(r, today), 20071001);
    r.write(Field::txtIbranameTarihi, "31.02.2007"); // no calendar date: the printing day
    EXPECT_EQ(IbranameTarihi(r, today), today);
}

} // namespace
