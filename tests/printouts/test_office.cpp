// SPDX-License-Identifier: GPL-3.0-or-later
// The fills on a real, headless LibreOffice: each paper is filled from a calculated case, stored as .xls,
// opened again and read back cell by cell.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

#include "base/conversions.h"
#include "calc/fields.h"
#include "case.h"
#include "office_probe.h"
#include "pdf_words.h"
#include "printouts/dokumler.h"
#include "printouts/office_process.h"
#include "printouts/office_spreadsheet.h"
#include "tests/common/temp_folder.h"

using namespace pamerol;
using pamerol::testing::CalculatedCase;
using pamerol::testing::CellContent;
using pamerol::testing::OfficeProbe;
using pamerol::testing::PageSetup;
namespace fs = std::filesystem;

namespace {

struct Expected {
    const char* cell;
    CellContent::Kind kind;
    std::string shown;
};

class OfficeFill : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"Velkara.xls", "Ibraname.xls", "Aciklama.xls"})
            fs::copy_file(fs::path(PAMEROL_BIN_DIR) / name, folder / name);
        office = std::make_unique<OfficeSpreadsheet>(Options());
    }
    void TearDown() override { office.reset(); }
    // Headless, on a profile of this test's own, so that tests may run side by side.
    OfficeOptions Options() const {
        OfficeOptions o;
        o.visible = false;
        o.profile = std::string(PAMEROL_TEST_PROFILES "/") +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name();
        return o;
    }
    // Stores the filled workbook and opens it again for reading.
    std::unique_ptr<OfficeProbe> StoreAndRead(const char* name) {
        const std::string path = (folder / name).string();
        Outcome stored = office->storeTo(path);
        EXPECT_TRUE(stored.ok) << stored.reason;
        auto probe = std::make_unique<OfficeProbe>(office->connection());
        EXPECT_TRUE(probe->load(path));
        return probe;
    }
    void Check(OfficeProbe& probe, const std::vector<Expected>& cells) {
        for (const auto& e : cells) {
            CellContent c = probe.cell(e.cell);
            EXPECT_EQ(c.kind, e.kind) << e.cell << " holds \"" << c.shown << "\"";
            EXPECT_EQ(c.shown, e.shown) << e.cell;
        }
        EXPECT_EQ(probe.formulaCount(), 0);
    }

    const pamerol::testing::TempFolder tmp;
    const fs::path folder = tmp.path();
    std::unique_ptr<OfficeSpreadsheet> office;
    RecordedMessages messages;
};

using K = CellContent::Kind;

// The pages of a PDF the office stored.
int PdfPages(const fs::path& pdf) {
    std::ifstream in(pdf, std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(in), {}};
    int pages = 0;
    for (size_t p = 0; (p = data.find("/Type/Page", p)) != std::string::npos; p += 10)
        if (data.compare(p + 10, 1, "s") != 0) ++pages;
    return pages;
}

// The letter's footer below the signature captions, its paragraphs joined by spaces: two lines of room,
// then the dotted line to sign on.
const std::string kRoomToSign = " \u00a0 \u00a0 " + std::string(38, '.');

TEST_F(OfficeFill, SeveranceSheet) {
    Record r = CalculatedCase();
    ASSERT_TRUE(BordroDoldur(r, true, folder.string(), *office, messages));
    EXPECT_TRUE(messages.entries.empty());
    auto probe = StoreAndRead("kidem.xls");
    Check(*probe, {
                      {"A1", K::Text, "KIDEM TAZMİNATI BORDROSU"},
                      {"N3", K::Text, "Örnek Tekstil San. ve Tic. Ltd. Şti."},
                      {"N4", K::Text, "2 1234 01 01 1234567 034 12 34 000"},
                      {"CI3", K::Text, "Kadıköy"},
                      {"CI4", K::Text, "0123456789"}, // a text cell in the template keeps the zero
                      {"A8", K::Text, "Ayşe Çağlar"},
                      {"Q8", K::Text, "0340123456789"},
                      {"Y8", K::Text, "01234567890"},
                      {"AH8", K::Number, "15.03.2004"},
                      {"AO8", K::Number, "14.09.2007"},
                      {"BA8", K::Number, "2.000,00"},
                      {"AV8", K::Number, "1279"},
                      {"BH8", K::Number, "0,00"},
                      {"BR8", K::Number, "6.862,42"},
                      {"CA8", K::Number, "0,00"},
                      {"CI8", K::Number, "45,29"},
                      {"CS8", K::Number, "45,29"},
                      {"DA8", K::Number, "6.817,13"},
                      {"A9", K::Text, "Kıdem Tazminatı Tavanı: 1.960,69 YTL."},
                      // The detail table, inserted under the notes in the look of the captions and the line.
                      {"A10", K::Text, "Hizmet Süresi"},
                      {"A12", K::Text, "3 yıl 6 ay 0 gün"},
                      {"BH12", K::Number, "65,36"},
                      {"BR12", K::Text, "1.960,69"},
                      {"AV10", K::Empty, ""},
                      {"CI15", K::Text, "Adı Soyadı: Ayşe Çağlar"},
                  });
    EXPECT_DOUBLE_EQ(probe->cell("AH8").value, 38061); // 15 March 2004
    EXPECT_DOUBLE_EQ(probe->cell("BA8").value, 2000);
    // The written cells sit in the template's merged areas under their captions.
    EXPECT_EQ(probe->mergedArea("A8"), "A8:P8");
    EXPECT_EQ(probe->mergedArea("N3"), "N3:BQ3");
    EXPECT_EQ(probe->mergedArea("DA8"), "DA8:DJ8");
    EXPECT_EQ(probe->cell("AV6").shown, "Hizmet Günü");
    EXPECT_EQ(probe->cell("CS6").shown, "Kesintiler Toplamı");
    EXPECT_EQ(probe->mergedArea("BR10"), "BR10:BZ11");
    EXPECT_EQ(probe->mergedArea("BR12"), "BR12:BZ12");
    // The signature areas moved down under the table.
    EXPECT_EQ(probe->cell("CI14").shown, "Tazminatı Aldım (Personel)");
}

TEST_F(OfficeFill, NoticeSheet) {
    Record r = CalculatedCase();
    ASSERT_TRUE(BordroDoldur(r, false, folder.string(), *office, messages));
    auto probe = StoreAndRead("ihbar.xls");
    Check(*probe, {
                      {"A1", K::Text, "İHBAR TAZMİNATI BORDROSU"},
                      {"AV8", K::Number, "56"},
                      {"BH8", K::Number, "3.733,33"},
                      {"BR8", K::Number, "3.733,33"},
                      {"CA8", K::Number, "560,00"},
                      {"CI8", K::Number, "24,64"},
                      {"CS8", K::Number, "584,64"},
                      {"DA8", K::Number, "3.148,69"},
                      {"A9", K::Empty, ""},
                      {"A13", K::Text, "Gelir vergisi 1. dilim: 3.733,33 × %15 = 560,00"},
                      {"CI16", K::Text, "Adı Soyadı: Ayşe Çağlar"},
                  });
    EXPECT_NEAR(probe->cell("CS8").value, 584.64, 1e-9);
    EXPECT_DOUBLE_EQ(probe->cell("BR8").value, 3733.33);
}

// What a payroll manager reads on each printed payroll sheet: the columns that change with its kind, the
// detail table, each income-tax bracket and the name under "Tazminatı Aldım", every one once, on one page.
TEST_F(OfficeFill, PayrollSheetsPrintTheirDetails) {
    enum Kind { Kidem, Ihbar, Izin };
    const struct {
        Kind kind;
        std::vector<std::string> seen;
    } papers[] = {
        {Kidem,
         {"KIDEM TAZMİNATI BORDROSU", "Hizmet Günü", "Hizmet Süresi", "3 yıl 6 ay 0 gün", "Yıllık Kıdem Günü",
          "Günlük Ücret", "65,36", "Kıdem Tazminatı Tavanı: 1.960,69 YTL.", "Gelir Vergisinden İstisna",
          "Devreden GV Matrahı", "‰6,6", "6.817,13", "Adı Soyadı: Ayşe Çağlar"}},
        {Ihbar,
         {"İHBAR TAZMİNATI BORDROSU", "İhbar Günü", "56 gün", "Günlük Ücret", "66,67", "Devreden GV Matrahı",
          "Bu Ödemenin GV Matrahı", "Kümülatif GV Matrahı", "Gelir vergisi 1. dilim: 3.733,33 × %15 = 560,00",
          "584,64", "3.148,69", "Adı Soyadı: Ayşe Çağlar"}},
        {Izin,
         {"YILLIK İZİN ÜCRETİ BORDROSU", "İzin Günü", "10 gün", "Brüt İzin Ücreti", "SGK Primine Esas",
          "656,25", "Bu Ödemenin GV Matrahı", "4.301,56", "Gelir vergisi 1. dilim: 568,23 × %15 = 85,23",
          "478,60", "Adı Soyadı: Ayşe Çağlar"}},
    };
    for (const auto& paper : papers) {
        Record r = CalculatedCase();
        if (paper.kind == Izin) {
            r.write(Field::YIUCRET, "0");
            r.write(Field::ESUCRET, "2.000,00");
            r.write(Field::IZGUN, "10");
            r.write(Field::AYSGKMAT, "3.000,00");
            RecordedMessages said;
            Hesapla(r, said);
        }
        ASSERT_TRUE(paper.kind == Izin
                        ? IzinBordroDoldur(r, folder.string(), *office, messages)
                        : BordroDoldur(r, paper.kind == Kidem, folder.string(), *office, messages));
        const std::string pdf = (folder / ("bordro" + std::to_string(paper.kind) + ".pdf")).string();
        ASSERT_TRUE(office->storeTo(pdf).ok);
        const pamerol::testing::PdfWords words = pamerol::testing::ReadPdfWords(pdf);
        EXPECT_EQ(words.pages.size(), 1u) << paper.seen[0];
        for (const std::string& fault : pamerol::testing::ReadingFaults(words, paper.seen))
            ADD_FAILURE() << paper.seen[0] << ": " << fault;
        // The name stands under the employee's signature caption, not beside another one.
        const auto last = [&](const std::string& text) {
            const auto it = std::find_if(words.words.rbegin(), words.words.rend(),
                                         [&](const auto& w) { return w.text == text; });
            return it == words.words.rend() ? pamerol::testing::PdfWord{} : *it;
        };
        const auto caption = last("Aldım"), name = last("Çağlar"); // the name's first place is the line
        EXPECT_GT(name.yMin, caption.yMax) << paper.seen[0];
        EXPECT_LT(std::abs((name.xMin + name.xMax) / 2 - (caption.xMin + caption.xMax) / 2), 120)
            << paper.seen[0];
    }
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(OfficeFill, ReleaseLetter) {
    Record r = CalculatedCase();
    r.write(Field::txtAdresi, "Bağdat Cad. No: 1\r\nKadıköy");
    r.write(Field::txtIbranameTarihi, "21.10.2007");
    r.write(Field::txtOdemeTarihi, "15.10.2007");
    r.write(Field::txtBanka, "Örnek Bankası");
    r.write(Field::txtIBAN, "TR330006100519786457841326");
    r.write(Field::txtEkOdemeler,
            "Son ay ücreti: 1.000,00\r\nFazla çalışma ve hafta tatili ücretleri, Ocak - "
            "Eylül 2007: 500");
    ASSERT_TRUE(IbranameDoldur(r, folder.string(), *office, messages));
    ASSERT_TRUE(office->storeTo((folder / "ibraname.pdf").string()).ok);
    auto probe = StoreAndRead("ibraname.xls");
    std::string text(kDefaultReleaseText);
    for (size_t p; (p = text.find("\r\n")) != std::string::npos;) text.replace(p, 2, "\n");
    Check(
        *probe,
        {
            {"AQ6", K::Text, "Örnek Tekstil San. ve Tic. Ltd. Şti."},
            {"AQ7", K::Text, "2 1234 01 01 1234567 034 12 34 000"},
            {"AQ8", K::Text, "Bağdat Cad. No: 1\nKadıköy"},
            {"AQ10", K::Text, "Ayşe Çağlar"},
            {"AQ11", K::Text, "0340123456789"},
            {"AQ12", K::Text, "01234567890"},
            {"AQ13", K::Number, "15.03.2004"},
            {"AQ14", K::Number, "14.09.2007"},
            {"AQ15", K::Text, "Moda Cad. No: 5\nKadıköy / İstanbul"},
            {"A17", K::Text, text},
            {"A24", K::Text, "Kıdem Tazminatı (net)"},
            {"U24", K::Text, ":"},
            {"AT24", K::Text, "6.817,13 YTL."},
            {"A25", K::Text, "İhbar Tazminatı (net)"},
            {"AT25", K::Text, "3.148,69 YTL."},
            {"A26", K::Text, "İzin Ücreti (net)"},
            {"AT26", K::Text, "883,81 YTL."},
            {"A27", K::Text, "Son ay ücreti (net)"},
            {"AT27", K::Text, "1.000,00 YTL."},
            {"A28", K::Text, "Fazla çalışma ve hafta tatili ücretleri, Ocak - Eylül 2007 (net)"},
            {"AT28", K::Text, "500,00 YTL."},
            {"A29", K::Text, "TOPLAM (net)"},
            {"U29", K::Text, ":"},
            {"AT29", K::Text, "12.349,63 YTL."},
            {"A30", K::Text,
             "Yalnız: Oniki Bin Üçyüz Kırk Dokuz Yeni Türk Lirası Altmış Üç Yeni Kuruş\nİzin ücreti: brüt "
             "1.234,56; SGK işçi payı 185,19, gelir vergisi 157,41, damga vergisi 8,15 kesildi, net 883,81. "
             "Toplam, kesintiler düşülmüş net tutarların toplamıdır.\nYukarıdaki tutarların her biri "
             "15.10.2007 tarihinde Örnek Bankası nezdindeki TR33 0006 1005 1978 6457 8413 26 IBAN numaralı "
             "hesabıma ödenmiştir."},
        });
    EXPECT_EQ(probe->mergedArea("A17"), "A17:EX23");
    // A kind too long for its room wraps there and its line grows; the others stay one line high.
    EXPECT_EQ(probe->mergedArea("A28"), "A28:T28");
    EXPECT_GT(probe->rowHeight(28), 900);
    EXPECT_LT(probe->rowHeight(27), 700);
    // As printed: one date, the footer's; the kinds and the bank's line whole; no blank to fill in.
    std::string printed;
    for (const auto& w :
         pamerol::testing::InReadingOrder(pamerol::testing::ReadPdfWords((folder / "ibraname.pdf").string()))
             .words)
        printed += w.text + " ";
    EXPECT_EQ(printed.find("Tarih:"), printed.rfind("Tarih:")) << printed;
    EXPECT_NE(printed.find("Tarih: 21.10.2007"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("..../"), std::string::npos) << printed;
    for (const char* run :
         {"Son ay ücreti (net) : 1.000,00 YTL.", "Fazla çalışma ve hafta", "Eylül 2007 (net) : 500,00 YTL.",
          "TR33 0006 1005 1978 6457 8413 26 IBAN numaralı hesabıma ödenmiştir.",
          "türü ve tutarı yazılı alacakları kapsar"})
        EXPECT_NE(printed.find(run), std::string::npos) << run << "\n" << printed;
    // The address of two lines fits the template's row; the rows of the text block keep their heights.
    EXPECT_NEAR(probe->rowHeight(15), 900, 10);
    EXPECT_NEAR(probe->rowHeight(17), 500, 10);
    for (const char* cell : {"AT24", "AT25", "AT26", "AT29"}) EXPECT_TRUE(probe->rightAligned(cell)) << cell;
    EXPECT_FALSE(probe->rightAligned("A29"));
    // The total's line runs over W29 to AT29 and no further.
    for (const char* cell : {"W29", "AH29", "AT29"}) {
        auto line = probe->topBorder(cell);
        EXPECT_TRUE(line.present) << cell;
        EXPECT_EQ(line.style, 0) << cell; // solid
        EXPECT_NEAR(line.width, 26, 10) << cell;
        EXPECT_EQ(line.color, 0) << cell; // automatic: black on the white page
    }
    for (const char* cell : {"V29", "AU29", "W28", "W30"})
        EXPECT_FALSE(probe->topBorder(cell).present) << cell;
}

// A release text of 20 lines, the most that keeps a letter with a leave pay (its deductions itemised under
// the total) on one page: the block runs to row 39 and the amount lines below it, over the rows where a fixed
// form would keep its signatures. The template has nothing there (no merged cells to clash with the block, no
// print range to cut rows off); the signatures are in the page footer.
TEST_F(OfficeFill, ReleaseLetterWithALongText) {
    Record r = CalculatedCase();
    std::string text, shown;
    for (int i = 1; i <= 20; ++i) {
        text += (i > 1 ? "\r\n" : "") + std::to_string(i) + ". satır";
        shown += (i > 1 ? "\n" : "") + std::to_string(i) + ". satır";
    }
    r.write(Field::txtIbraname, text);
    r.setCheck1(1);
    r.setCheck2(1);
    r.write(Field::YIUCRET, "1.234,56");
    ASSERT_TRUE(IbranameDoldur(r, folder.string(), *office, messages));
    auto probe = StoreAndRead("uzun.xls");
    EXPECT_EQ(probe->mergedArea("A17"), "A17:EX39");
    Check(
        *probe,
        {
            {"A17", K::Text, shown},
            {"A40", K::Text, "Kıdem Tazminatı (net)"},
            {"U40", K::Text, ":"},
            {"AT40", K::Text, "6.817,13 YTL."},
            {"A41", K::Text, "İhbar Tazminatı (net)"},
            {"U41", K::Text, ":"},
            {"AT41", K::Text, "3.148,69 YTL."},
            {"A42", K::Text, "İzin Ücreti (net)"},
            {"U42", K::Text, ":"},
            {"AT42", K::Text, "883,81 YTL."},
            {"A43", K::Text, "TOPLAM (net)"},
            {"U43", K::Text, ":"},
            {"AT43", K::Text, "10.849,63 YTL."},
            {"A44", K::Text,
             "Yalnız: On Bin Sekizyüz Kırk Dokuz Yeni Türk Lirası Altmış Üç Yeni Kuruş\nİzin ücreti: brüt "
             "1.234,56; SGK işçi payı 185,19, gelir vergisi 157,41, damga vergisi 8,15 kesildi, net 883,81. "
             "Toplam, kesintiler düşülmüş net tutarların toplamıdır."},
            {"A45", K::Empty, ""},
        });
    EXPECT_EQ(probe->mergedArea("A44"), "A44:EX44");
    for (const char* cell : {"AT40", "AT41", "AT42", "AT43"}) EXPECT_TRUE(probe->rightAligned(cell)) << cell;
    for (const char* cell : {"W43", "AT43"}) EXPECT_TRUE(probe->topBorder(cell).present) << cell;
    for (const char* cell : {"V43", "AU43", "W42"}) EXPECT_FALSE(probe->topBorder(cell).present) << cell;
    // Each cell the amount lines use, and the rows below, stand alone.
    for (int row = 40; row <= 55; ++row)
        for (const char* column : {"A", "U", "W", "AT", "BZ", "CA", "EX"}) {
            if (row == 44) continue; // the total in words
            const std::string cell = column + std::to_string(row);
            EXPECT_EQ(probe->mergedArea(cell), cell);
        }
    PageSetup page = probe->page();
    EXPECT_EQ(page.printRanges, 0);
    EXPECT_FALSE(page.landscape);
    EXPECT_NEAR(page.width, 21000, 10);
    EXPECT_NEAR(page.height, 29700, 10);
    EXPECT_TRUE(page.footer);
    // Below the signature lines the employer's and the employee's names.
    EXPECT_EQ(page.footerLeft,
              "İşveren / Yetkili (Kaşe - İmza)" + kRoomToSign + " Örnek Tekstil San. ve Tic. Ltd. Şti.");
    // The employee's name, one line to the employer's two, is filled out so the signature blocks stand level.
    EXPECT_EQ(page.footerRight,
              "İbra Eden (Personel) Adı Soyadı - İmza" + kRoomToSign + " Ayşe Çağlar \u00a0");
}

// A text too long for one page goes on to the next: no print range cuts the rows below it off.
TEST_F(OfficeFill, ReleaseLetterRunsOntoASecondPage) {
    Record r = CalculatedCase();
    std::string text = "1. satır";
    for (int i = 2; i <= 60; ++i) text += "\r\n" + std::to_string(i) + ". satır";
    r.write(Field::txtIbraname, text);
    ASSERT_TRUE(IbranameDoldur(r, folder.string(), *office, messages));
    ASSERT_TRUE(office->storeTo((folder / "uzun.pdf").string()).ok);
    EXPECT_EQ(PdfPages(folder / "uzun.pdf"), 2);
}

// The employer's name and the employee's address may run over several lines: their rows grow to show them.
TEST_F(OfficeFill, TextsOfSeveralLinesShowEveryLine) {
    Record r = CalculatedCase();
    r.write(Field::txtUnvani, "Örnek Tekstil\r\nSanayi ve Ticaret\r\nLimited Şirketi");
    r.write(Field::txtAdres, "Moda Cad. No: 5\r\nKadıköy\r\nİstanbul");
    ASSERT_TRUE(IbranameDoldur(r, folder.string(), *office, messages));
    auto letter = StoreAndRead("ibraname.xls");
    Check(*letter, {{"AQ6", K::Text, "Örnek Tekstil\nSanayi ve Ticaret\nLimited Şirketi"},
                    {"AQ15", K::Text, "Moda Cad. No: 5\nKadıköy\nİstanbul"}});
    // Three lines of 10 pt need about 12 mm; a row of one line stays about one line high.
    EXPECT_TRUE(letter->wrapped("AQ6"));
    EXPECT_TRUE(letter->wrapped("AQ15"));
    EXPECT_GT(letter->rowHeight(6), 1200);
    EXPECT_GT(letter->rowHeight(15), 1200);
    EXPECT_NEAR(letter->rowHeight(7), 500, 30);
    ASSERT_TRUE(BordroDoldur(r, true, folder.string(), *office, messages));
    auto payroll = StoreAndRead("kidem.xls");
    Check(*payroll, {{"N3", K::Text, "Örnek Tekstil\nSanayi ve Ticaret\nLimited Şirketi"}});
    EXPECT_TRUE(payroll->wrapped("N3"));
    EXPECT_GT(payroll->rowHeight(3), 1100); // 9 pt
    EXPECT_NEAR(payroll->rowHeight(4), 550, 10);
    // The payroll sheet still prints on one page.
    ASSERT_TRUE(office->storeTo((folder / "kidem.pdf").string()).ok);
    EXPECT_EQ(PdfPages(folder / "kidem.pdf"), 1);
}

// Every text the program writes shows whole on the printed paper: long particulars wrap and their rows
// grow, the release text's block is as tall as its text, a text longer than a page runs over as many pages
// as it needs, and no number prints as "###". Read from the PDF as a person would: each line of each text
// once, in order, inside the page body, over no other word; on the release letters the rendered pages show
// every word of the body (nothing clipped) and nothing but the footer under the body, every page is numbered
// and signed with the date and both names, each later page begins with the employee's name, and the amount
// lines, the total and the total in words stand on one page with the last words of the text. On the statement
// each of its lines (caption, figures, result) stands whole on one page, and the date and the signature on
// the last.
TEST_F(OfficeFill, PapersShowEveryWrittenTextWhole) {
    using F = Field;
    const std::string employer = "Örnek Tekstil Konfeksiyon İnşaat Turizm Gıda Tarım Hayvancılık Madencilik "
                                 "Enerji Lojistik Sanayi ve Ticaret Anonim Şirketi Genel Müdürlüğü";
    const std::string tradeName = "Örnek Tekstil Konfeksiyon İnşaat Turizm Sanayi ve Ticaret Limited Şirketi";
    const std::string name = "Muhammed Mustafa Abdurrahman Karaosmanoğlu Yıldırımtürk";
    const std::string address = "Cumhuriyet Mahallesi Atatürk Bulvarı Gül Sokak Papatya Apartmanı No: 123 "
                                "Daire: 45 Kat: 6 Eski Sanayi Sitesi Karşısı Yeşilköy Semti Bakırköy İlçesi "
                                "İstanbul 34149 Türkiye (Posta Kutusu 17)";
    const std::string employerAddress = "Organize Sanayi Bölgesi 3. Cadde No: 14 Çerkezköy / Tekirdağ";
    auto paragraph = [](const std::string& word, size_t length) {
        std::string p;
        for (int i = 1; p.size() < length; ++i) p += word + std::to_string(i) + " ";
        p.pop_back();
        return p;
    };
    // Paragraphs as a lawyer writes them, with line breaks between them only, and the same text as seen.
    auto paragraphs = [&](int count, const std::string& tail) {
        std::pair<std::string, std::string> out;
        for (int i = 1; i <= count; ++i) {
            const std::string p = paragraph("p" + std::to_string(i) + "k", 330);
            out.first += (i > 1 ? "\r\n" : "") + p;
            out.second += (i > 1 ? "\n" : "") + p;
        }
        out.first += tail;
        for (size_t at; (at = out.second.find("\r\n")) != std::string::npos;) out.second.replace(at, 2, "\n");
        return out;
    };
    std::string lines, crlfLines;
    for (int i = 1; i <= 120; ++i) {
        lines += (i > 1 ? "\n" : "") + std::to_string(i) + ". satır";
        crlfLines += (i > 1 ? "\r\n" : "") + std::to_string(i) + ". satır";
    }
    const std::string shortLines = "\r\nKısa satır bir\r\nKısa satır iki\r\nKısa satır üç\r\nKısa satır dört";
    const std::string longParagraph = paragraph("alacak", 12000);
    const auto twelve = paragraphs(12, shortLines);
    const auto thirtyOne = paragraphs(31, "");
    const auto forty = paragraphs(40, "");
    const std::string amounts = "\nKıdem Tazminatı (net)\nİhbar Tazminatı (net)\nİzin Ücreti (net)\nTOPLAM "
                                "(net)\nYalnız: On Bin Sekizyüz Kırk "
                                "Dokuz Yeni Türk Lirası Altmış Üç Yeni Kuruş";
    const std::string particulars =
        tradeName + "\n2 1234 01 01 1234567 034 12 34 000\n" + employerAddress + "\n" + name + "\n" + address;
    struct Paper {
        const char* name;
        int kind; // 0 severance sheet, 1 notice sheet, 2 release letter, 3 statement (calculated again)
        std::vector<std::pair<F, std::string>> fields;
        std::vector<std::string> seen;
        size_t pages;
    };
    auto letter = [&](const char* title, const std::string& text, const std::string& shown, size_t pages) {
        return Paper{title,
                     2,
                     {{F::txtUnvani, tradeName},
                      {F::txtAdresi, employerAddress},
                      {F::txtAdiSoyadi, name},
                      {F::txtAdres, address},
                      {F::txtIbraname, text}},
                     {particulars, shown + amounts, "6.817,13 YTL.\n10.849,63 YTL."},
                     pages};
    };
    const Paper papers[] = {
        {"severance sheet",
         0,
         {{F::txtUnvani, employer}, {F::txtAdiSoyadi, name}, {F::TGUNU, "17520"}},
         {employer, name, "17520", "6.817,13", "Kıdem Tazminatı Tavanı: 1.960,69 YTL.", "Sayfa 1 / 1"},
         1},
        {"notice sheet",
         1,
         {{F::txtAdiSoyadi, name},
          {F::TIGUNU, "99999"},
          {F::TBRUT, "12.345.678.901,23"}, // beyond the column: shrinks to fit
          {F::DGVMAT, "999.999.999,97"},
          {F::BITZM, "2.074.074,05"},
          {F::IGVER, "999.999.998,99"},
          {F::IDVER, "1,00"},
          {F::ITAZM, "999.999.999,98"}},
         // The gross stands in three columns (the line's base and gross, the table's base), the notice days
         // in two.
         {name, "12.345.678.901,23", "999.999.998,99", "1,00", "999.999.999,99", // the deductions' sum
          "999.999.999,98", "99999 gün", "999.999.999,97", "Sayfa 1 / 1"},
         1},
        letter("release letter", paragraph("alacak", 1000), paragraph("alacak", 1000), 1),
        letter("release letter of 120 lines", crlfLines, lines, 4),
        letter("release letter of one paragraph of 12,000 characters", longParagraph, longParagraph, 3),
        letter("release letter of 12 paragraphs and 4 short lines", twelve.first, twelve.second, 2),
        letter("release letter of 31 paragraphs", thirtyOne.first, thirtyOne.second, 3),
        letter("release letter of 40 paragraphs", forty.first, forty.second, 4),
        {"statement with long particulars",
         3,
         {{F::txtUnvani, employer}, {F::txtAdresi, address}, {F::txtAdiSoyadi, name}},
         {},
         2},
        // A wage whose notice pay reaches three income-tax brackets, and an address of many lines.
        {"statement of three brackets",
         3,
         {{F::txtUnvani, employer},
          {F::txtAdresi, address + "\r\n" + address + "\r\n" + address},
          {F::txtAdiSoyadi, name},
          {F::ESUCRET, "10.000,00"},
          {F::DGVMAT, "6.000,00"}},
         {},
         3},
    };
    for (const Paper& paper : papers) {
        Record r = CalculatedCase();
        r.setCheck1(1);
        r.setCheck2(1);
        r.write(F::txtIbranameTarihi, "21.10.2007");
        for (const auto& [f, text] : paper.fields) r.write(f, text);
        // Figures no case reaches: the payroll sheets print the calculation the sheet carries, so it is
        // given them too.
        if (paper.kind < 2) {
            Hesap h = *r.hesap();
            for (Field f : kResultFields)
                if (auto k = Info(f).result.kurus)
                    if (auto v = ParseNumber(r.text(f))) h.sonuc.*k = std::llround(*v * 100);
            const auto number = [&](Field f) { return *ParseNumber(r.text(f)); };
            h.sonuc.tgunu = number(F::TGUNU);
            h.sonuc.higunu = number(F::TIGUNU);
            h.dava.input.wage = number(F::TBRUT);
            h.sonuc.noticeCarriedBase = number(F::DGVMAT);
            r.setHesap(std::make_shared<const Hesap>(h));
        }
        if (paper.kind == 3) {
            RecordedMessages said;
            Hesapla(r, said);
            ASSERT_TRUE(r.command3Enabled()) << paper.name;
            ASSERT_TRUE(AciklamaDoldur(r, nullptr, folder.string(), *office, messages)) << paper.name;
        } else {
            ASSERT_TRUE(paper.kind == 2
                            ? IbranameDoldur(r, folder.string(), *office, messages)
                            : BordroDoldur(r, paper.kind == 0, folder.string(), *office, messages));
        }
        const std::string pdf = (folder / (std::string(paper.name) + ".pdf")).string();
        ASSERT_TRUE(office->storeTo(pdf).ok) << paper.name;
        const pamerol::testing::PdfWords words = pamerol::testing::ReadPdfWords(pdf);
        EXPECT_EQ(words.pages.size(), paper.pages) << paper.name;
        if (paper.kind < 2) {
            for (const std::string& fault : pamerol::testing::ReadingFaults(words, paper.seen))
                ADD_FAILURE() << paper.name << ": " << fault;
            continue;
        }
        // The page body's box, from the page style the filled workbook has.
        const PageSetup page = StoreAndRead("letter.ods")->page();
        auto pt = [](int hmm) { return hmm * 72.0 / 2540.0; };
        const pamerol::testing::PdfBox body{pt(page.leftMargin), pt(page.topMargin),
                                            pt(page.width - page.rightMargin),
                                            pt(page.height - page.bottomMargin - page.footerHeight)};
        std::vector<std::string> faults;
        pamerol::testing::PdfWords inBody = pamerol::testing::BodyWords(
            words, body, name + (paper.kind == 3 ? " – Hesap Açıklaması (devam)" : " – İbraname (devam)"),
            faults);
        if (paper.kind == 3) {
            // The particulars, then the date and the signature, each as one run of words.
            const std::string dots(38, '.');
            const std::string seen =
                "Ünvanı: " + employer + "\nAdresi: " + address + "\nAdı Soyadı: " + name +
                "\nT.C. Kimlik No: 01234567890\nİşe Giriş Tarihi: 15.03.2004\nDüzenleme Tarihi " +
                DateText(TodayKey()) + " Düzenleyen İmza Adı Soyadı: " + dots + " " + dots + "\n";
            // The figures stand in columns, so the words are read line by line across them.
            inBody = pamerol::testing::InReadingOrder(inBody);
            for (const std::string& f : pamerol::testing::ReadingFaults(inBody, {seen})) faults.push_back(f);
            // A thin sign standing alone ("−", "=", "÷") renders at 72 dpi in a grey lighter than the ink the
            // check looks for, though it prints: only words with a letter or a digit count as clipped.
            const std::string clipped = "not printed (clipped): \"";
            for (const std::string& f : pamerol::testing::RenderedFaults(pdf, words, body)) {
                const size_t end = f.find("\" (page");
                const std::string word =
                    f.rfind(clipped, 0) == 0 ? f.substr(clipped.size(), end - clipped.size()) : "";
                if (word.empty() ||
                    word.find_first_of("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") !=
                        std::string::npos)
                    faults.push_back(f);
            }
            for (const std::string& fault : faults) ADD_FAILURE() << paper.name << ": " << fault;
            // Every number a reader finds has at most two decimals, and an amount of thousands is grouped.
            for (const auto& w : inBody.words) {
                const size_t comma = w.text.find(',');
                if (comma == std::string::npos || comma == 0 ||
                    !std::isdigit(static_cast<unsigned char>(w.text[0])))
                    continue;
                size_t decimals = 0;
                while (comma + 1 + decimals < w.text.size() &&
                       std::isdigit(static_cast<unsigned char>(w.text[comma + 1 + decimals])))
                    ++decimals;
                EXPECT_LE(decimals, 2u) << paper.name << ": " << w.text;
                EXPECT_TRUE(comma <= 3 || w.text.find('.') < comma)
                    << paper.name << ": not grouped: " << w.text;
            }
            // The summary on the first page: each payment's net under the column's heading, right-aligned
            // with it, and the total's.
            const Result& x = r.hesap()->sonuc;
            const std::vector<std::string> nets = {KurusText(x.netKurus), KurusText(x.itazmKurus),
                                                   KurusText(x.izNetKurus),
                                                   KurusText(x.netKurus + x.itazmKurus + x.izNetKurus)};
            const pamerol::testing::PdfWord* heading = nullptr;
            for (const auto& w : inBody.words)
                if (w.text == "Net" && !heading) heading = &w;
            ASSERT_TRUE(heading) << paper.name;
            EXPECT_EQ(heading->page, 0) << paper.name;
            for (const std::string& net : nets) {
                const auto found = std::find_if(inBody.words.begin(), inBody.words.end(), [&](const auto& w) {
                    return w.text == net && w.yMin > heading->yMin && w.page == 0;
                });
                ASSERT_NE(found, inBody.words.end()) << paper.name << ": " << net;
                EXPECT_NEAR(found->xMax, heading->xMax, 1.5) << paper.name << ": " << net;
            }
            continue;
        }
        for (const std::string& f : pamerol::testing::ReadingFaults(inBody, paper.seen)) faults.push_back(f);
        for (const std::string& f : pamerol::testing::RenderedFaults(pdf, words, body)) faults.push_back(f);
        for (const std::string& fault : faults) ADD_FAILURE() << paper.name << ": " << fault;
        // The page of a run of words in the body; -1 when it is not there.
        auto pageOf = [&](const std::vector<std::string>& run) {
            for (size_t i = 0; i + run.size() <= inBody.words.size(); ++i) {
                size_t k = 0;
                while (k < run.size() && inBody.words[i + k].text == run[k]) ++k;
                if (k == run.size()) return inBody.words[i].page;
            }
            return -1;
        };
        // The last two words of the text, before the amount lines.
        std::istringstream shown(paper.seen[1]);
        std::vector<std::string> lastWords;
        for (std::string w; shown >> w && w != "Kıdem";) lastWords.push_back(w);
        lastWords.erase(lastWords.begin(), lastWords.end() - 2);
        const int last = pageOf(lastWords);
        EXPECT_EQ(last, static_cast<int>(paper.pages) - 1) << paper.name;
        for (const std::vector<std::string>& run : std::vector<std::vector<std::string>>{
                 {"Kıdem", "Tazminatı"}, {"İhbar", "Tazminatı"}, {"İzin", "Ücreti"}, {"TOPLAM"}, {"Yalnız:"}})
            EXPECT_EQ(pageOf(run), last) << paper.name << ": " << run[0];
        // Under the signature lines of every page: the date and both names.
        for (size_t p = 0; p < words.pages.size(); ++p) {
            std::string footer;
            for (const auto& w : words.words)
                if (w.page == static_cast<int>(p) && w.yMin >= body.bottom - 0.5) footer += " " + w.text;
            for (const char* part :
                 {" Tarih: 21.10.2007", " Örnek Tekstil Konfeksiyon İnşaat", " Muhammed Mustafa Abdurrahman"})
                EXPECT_NE(footer.find(part), std::string::npos)
                    << paper.name << " page " << p + 1 << ": " << part;
        }
    }
}

// The office object keeps what it has learned of a workbook's layout from one fill to the next: a fill after
// others lays out every row exactly as the same fill after a different history.
TEST_F(OfficeFill, FillsAfterOthersLayOutAsAfterAnyOther) {
    using F = Field;
    std::vector<Record> cases(4, CalculatedCase());
    cases[1].write(F::txtUnvani, "Örnek Tekstil Konfeksiyon İnşaat Turizm Gıda Tarım Hayvancılık Madencilik "
                                 "Enerji Lojistik Sanayi ve Ticaret Anonim Şirketi");
    cases[1].write(F::txtAdiSoyadi, "Muhammed Mustafa Abdurrahman Karaosmanoğlu Yıldırımtürk");
    cases[2].write(F::txtAdiSoyadi, "Ali Veli\r\nKaraca");
    cases[2].write(F::txtAdres, "Kısa");
    cases[3].write(F::txtUnvani, "ŞİRKET");
    cases[3].write(F::txtAdiSoyadi, "Ayşe Çağlar Öztürk Ğülşen İpek Üstündağ");
    using Fill = std::function<bool(const Record&, Spreadsheet&)>;
    const std::pair<const char*, Fill> papers[] = {
        {"kidem", [&](const Record& r,
                      Spreadsheet& s) { return BordroDoldur(r, true, folder.string(), s, messages); }},
        {"ibraname",
         [&](const Record& r, Spreadsheet& s) { return IbranameDoldur(r, folder.string(), s, messages); }},
        {"aciklama",
         [&](const Record& r, Spreadsheet& s) {
             return AciklamaDoldur(r, nullptr, folder.string(), s, messages);
         }},
    };
    // Each case's rows on an office that filled the cases in order, and on one that filled them backwards.
    std::map<std::pair<std::string, size_t>, std::vector<int>> forward;
    OfficeOptions other = Options();
    other.profile += "-2";
    OfficeSpreadsheet backward(other);
    for (int pass = 0; pass < 2; ++pass) {
        OfficeSpreadsheet& sheet = pass == 0 ? *office : backward;
        for (const auto& [paper, fill] : papers)
            for (size_t k = 0; k < cases.size(); ++k) {
                const size_t i = pass == 0 ? k : cases.size() - 1 - k;
                ASSERT_TRUE(fill(cases[i], sheet)) << paper << " " << i;
                const std::string path =
                    (folder / (std::string(paper) + std::to_string(pass) + ".xls")).string();
                ASSERT_TRUE(sheet.storeTo(path).ok);
                OfficeProbe probe(sheet.connection());
                ASSERT_TRUE(probe.load(path));
                std::vector<int> rows;
                for (int row = 1; row <= 60; ++row) rows.push_back(probe.rowHeight(row));
                if (pass == 0)
                    forward[{paper, i}] = rows;
                else
                    EXPECT_EQ(rows, (forward[{paper, i}])) << paper << " " << i;
            }
    }
}

TEST_F(OfficeFill, FieldTextsNeverBecomeFormulas) {
    using F = Field;
    Record r = CalculatedCase();
    const std::pair<F, const char*> texts[] = {
        {F::txtUnvani, "=1+2"},
        {F::txtSSkNoIsv, "-1+2"},
        {F::txtVergiDairesi, "@SUM(1)"},
        {F::txtVergiNo, "+1+2"},
        {F::txtAdiSoyadi, "=HYPERLINK(\"http://example.com\";\"tıkla\")"},
        {F::IGVER, "=A1"},
        {F::ITAZM, "=1/0"},
        {F::TBRUT, "-2,68"},
    };
    for (auto [f, t] : texts) r.write(f, t);
    ASSERT_TRUE(BordroDoldur(r, false, folder.string(), *office, messages));
    auto probe = StoreAndRead("ihbar.xls");
    Check(*probe, {
                      {"N3", K::Text, "=1+2"},
                      {"N4", K::Text, "-1+2"},
                      {"CI3", K::Text, "@SUM(1)"},
                      {"CI4", K::Text, "+1+2"},
                      {"A8", K::Text, "=HYPERLINK(\"http://example.com\";\"tıkla\")"},
                      // The amounts are the calculation's, never a result field's text.
                      {"CA8", K::Number, "560,00"},
                      {"CS8", K::Number, "584,64"},
                      {"DA8", K::Number, "3.148,69"},
                      {"BA8", K::Number, "2.000,00"},
                  });
}

TEST_F(OfficeFill, EarlierWindowOnTheWorkingCopyDoesNotBlock) {
    Record r = CalculatedCase();
    ASSERT_TRUE(BordroDoldur(r, true, folder.string(), *office, messages));
    // The severance sheet stays open; another office window claims the working copy as well.
    std::ofstream(folder / ".~lock.Velkara1.xls#")
        << "Başka Kullanıcı,başka,makine,07.12.2026 08:00,file:///x;";
    ASSERT_TRUE(BordroDoldur(r, false, folder.string(), *office, messages));
    EXPECT_TRUE(messages.entries.empty());
    auto probe = StoreAndRead("ihbar.xls");
    Check(*probe, {{"A1", K::Text, "İHBAR TAZMİNATI BORDROSU"}, {"A9", K::Empty, ""}});
}

TEST_F(OfficeFill, StoresPdfAndOdsToo) {
    Record r = CalculatedCase();
    ASSERT_TRUE(IbranameDoldur(r, folder.string(), *office, messages));
    const std::pair<const char*, std::string> stores[] = {{"ibraname.pdf", "%PDF"}, {"ibraname.ods", "PK"}};
    for (const auto& [name, magic] : stores) {
        Outcome stored = office->storeTo((folder / name).string());
        ASSERT_TRUE(stored.ok) << name << ": " << stored.reason;
        std::string head(magic.size(), '\0');
        std::ifstream(folder / name, std::ios::binary)
            .read(head.data(), static_cast<std::streamsize>(head.size()));
        EXPECT_EQ(head, magic) << name;
    }
    EXPECT_EQ(PdfPages(folder / "ibraname.pdf"), 1); // the default text and all three payments
    EXPECT_FALSE(office->storeTo((folder / "ibraname.txt").string()).ok);
}

// The companion fills the same paper on an office of its own and stores it where it is told.
TEST_F(OfficeFill, CompanionStoresThePaper) {
    const std::string stored = (folder / "kidem.xls").string();
    const std::string companion =
        PAMEROL_BIN_DIR "/pamerol-hesap --ayar " PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini"
                        " GTarih=15.03.2004 CTarih=14.09.2007 ESUCRET=2.000,00 TAV=1960,69 DVOR=6,6"
                        " txtTcKNo=01234567890";
    // Exit status 3: the sample settings' figures are not the law of a 2007 exit, and are named.
    ASSERT_EQ(
        WEXITSTATUS(std::system((companion + " --dokum kidem --kaydet " + stored + " > /dev/null").c_str())),
        3);
    ASSERT_TRUE(office->start().ok);
    OfficeProbe probe(office->connection());
    ASSERT_TRUE(probe.load(stored));
    Check(probe, {
                     {"A1", K::Text, "KIDEM TAZMİNATI BORDROSU"},
                     {"Y8", K::Text, "01234567890"},
                     {"DA8", K::Number, "6.817,13"},
                     {"A9", K::Text, "Kıdem Tazminatı Tavanı: 1.960,69 YTL."},
                 });
    // The statement, stored as PDF: its title and particulars, on as many pages as its lines need.
    const std::string statement = (folder / "aciklama.pdf").string();
    ASSERT_EQ(WEXITSTATUS(std::system(
                  (companion + " --dokum aciklama --kaydet " + statement + " > /dev/null").c_str())),
              3);
    const pamerol::testing::PdfWords words = pamerol::testing::ReadPdfWords(statement);
    EXPECT_GE(words.pages.size(), 2u);
    for (const std::string& fault : pamerol::testing::ReadingFaults(words, {"HESAP AÇIKLAMASI\n01234567890"}))
        ADD_FAILURE() << "statement: " << fault;
    // A paper the companion does not know is a usage error; a calculation without results prints nothing.
    const std::pair<std::string, int> failures[] = {
        {companion + " --dokum maas --kaydet " + stored, 2},
        {companion + " --dokum ihbar", 2},
        {companion + " GTarih=31.02.2004 --dokum ihbar --kaydet " + stored, 1},
        {companion + " GTarih=31.02.2004 --dokum aciklama --kaydet " + statement, 1},
    };
    for (const auto& [command, status] : failures) {
        int result = std::system((command + " > /dev/null 2>&1").c_str());
        EXPECT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == status) << command;
    }
}

// An office that closes while the program still talks to it makes the remaining steps fail; the program
// itself goes on.
TEST_F(OfficeFill, OfficeThatGoesAwayIsAFailedStep) {
    ASSERT_TRUE(BordroDoldur(CalculatedCase(), true, folder.string(), *office, messages));
    OfficeProbe(office->connection()).endOffice();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(office->merge("A1:B2"));
    EXPECT_FALSE(office->storeTo((folder / "kidem.xls").string()).ok);
}

// After a calculation the program's office comes up in the background, once, on a profile that holds the
// program's settings: a profile of an earlier version gets those it lacks.
TEST_F(OfficeFill, BackgroundStartBringsUpTheOfficeOnItsProfile) {
    const OfficeOptions o = Options();
    const fs::path settings = fs::path(o.profile) / "user" / "registrymodifications.xcu";
    fs::create_directories(settings.parent_path());
    std::ofstream(settings)
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\">\n"
           "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooSetupSystemLocale\" "
           "oor:op=\"fuse\"><value>tr-TR</value></prop></item>\n"
           "</oor:items>\n";
    const std::string pipe = PipeNameFor(fs::absolute(o.profile).lexically_normal().string());
    ASSERT_FALSE(PipeListening(pipe));
    const auto start = std::chrono::steady_clock::now();
    StartOfficeInBackground(o);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)); // never waits for it
    for (int i = 0; i < 600 && !PipeListening(pipe); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(PipeListening(pipe));
    StartOfficeInBackground(o); // already running: nothing more
    std::ifstream in(settings);
    const std::string xml{std::istreambuf_iterator<char>(in), {}};
    for (const char* setting : {"\"ooSetupSystemLocale\"", "\"ShowTipOfTheDay\"", "\"UILocale\"",
                                "\"com.sun.star.frame.StartModule\""}) {
        const size_t first = xml.find(setting);
        EXPECT_NE(first, std::string::npos) << setting;
        EXPECT_EQ(xml.find(setting, first + 1), std::string::npos) << setting;
    }
    // The fill finds that office; ending the test ends it.
    ASSERT_TRUE(BordroDoldur(CalculatedCase(), true, folder.string(), *office, messages));
    EXPECT_TRUE(messages.entries.empty());
}

// The program's own office on a display: each paper is filled with no window and shown whole; closing the
// last paper leaves the office up for the next one; the program's end ends it, or, with a paper still on
// screen, the closing of that paper does.
TEST_F(OfficeFill, VisibleOfficeOutlivesItsPapersAndEndsWithTheProgram) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "Xvfb is not installed";
    int display = 0;
    for (int n = 300 + ::getpid() % 500; n < 900 && !display; ++n)
        if (!fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) display = n;
    const std::string name = ":" + std::to_string(display);
    const pid_t xvfb = ::fork();
    if (xvfb == 0) {
        ::setsid();
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1366x768x24", "-nolisten", "tcp", nullptr);
        ::_exit(127);
    }
    struct Ends {
        pid_t pid;
        ~Ends() {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    } ends{xvfb};
    // The display is up when its socket accepts a connection.
    const auto accepts = [&] {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(display);
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool up = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return up;
    };
    for (int i = 0; i < 400 && !accepts(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ASSERT_TRUE(accepts()) << "Xvfb " << name << " did not start";
    const char* before = std::getenv("DISPLAY");
    const std::string saved = before ? before : "";
    ::setenv("DISPLAY", name.c_str(), 1);
    OfficeOptions o = Options();
    o.visible = true;
    o.profile += "-ekran";
    const std::string pipe = PipeNameFor(fs::absolute(o.profile).lexically_normal().string());
    // Up to a minute: on a busy machine an office takes its time to close a window or to end.
    const auto within = [](auto&& done) {
        for (int i = 0; i < 1200 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return done();
    };
    const auto print = [&] {
        OfficeSpreadsheet sheet(o);
        return BordroDoldur(CalculatedCase(), true, folder.string(), sheet, messages);
    };

    const auto said = [&] { return messages.entries.empty() ? std::string() : messages.entries.back().text; };
    ASSERT_TRUE(print()) << said();
    std::string connection = "uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext";
    {
        OfficeProbe probe(connection);
        EXPECT_EQ(probe.shownWindows(),
                  std::vector<std::string>{"Kıdem Bordrosu – Ayşe Çağlar - LibreOffice Calc"});
        // The clerk closes the paper: the office stays, with no window, and the next paper is shown.
        ASSERT_TRUE(probe.closeWindow("Kıdem Bordrosu"));
        EXPECT_TRUE(within([&] { return probe.shownWindows().empty(); }));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(PipeListening(pipe));
    ASSERT_TRUE(print()) << said();
    // With a paper on screen the program's end leaves the office to the clerk...
    EndProgramOffice(o, PAMEROL_BIN_DIR "/pamerol-hesap");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(PipeListening(pipe));
    {
        OfficeProbe probe(connection);
        EXPECT_EQ(probe.shownWindows().size(), 1u);
        // ...and closing that paper ends it.
        ASSERT_TRUE(probe.closeWindow("Kıdem Bordrosu"));
    }
    EXPECT_TRUE(within([&] { return !PipeListening(pipe); }));

    // A program that ends with no paper on screen ends its office at once, the workbooks it had loaded
    // ahead with it.
    PrepareOfficePapers({(folder / "Velkara.xls").string()}, o);
    ASSERT_TRUE(print()) << said();
    {
        OfficeProbe probe(connection);
        ASSERT_TRUE(probe.closeWindow("Kıdem Bordrosu"));
        EXPECT_TRUE(within([&] { return probe.shownWindows().empty(); }));
    }
    EndProgramOffice(o);
    EXPECT_TRUE(within([&] { return !PipeListening(pipe); }));
    EXPECT_TRUE(messages.entries.empty());
    if (before)
        ::setenv("DISPLAY", saved.c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}

TEST_F(OfficeFill, OfficeThatCannotStartIsReported) {
    OfficeOptions o = Options();
    o.soffice = "/nonexistent/soffice";
    OfficeSpreadsheet missing(o);
    EXPECT_FALSE(BordroDoldur(CalculatedCase(), true, folder.string(), missing, messages));
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text,
              "LibreOffice Calc başlatılamadı: '/nonexistent/soffice' programı bulunamadı");
}

} // namespace
