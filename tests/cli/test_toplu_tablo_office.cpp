// SPDX-License-Identifier: GPL-3.0-or-later
// --toplu-tablo on workbooks that the office makes (label "office": a real, headless LibreOffice): the
// test writes a flat ODF spreadsheet by hand with date cells (with and without a date format, with a
// time), number cells in formats that hide their decimals or thousands, a currency-formatted cell, a
// formula cell, text cells, an unmatched column and a bad row, has the office save it as .xlsx and .ods,
// and reads each back through the companion. Every row must equal the single case for the same inputs.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>

#include "archive/archive.h"
#include "calc/fields.h"
#include "companion_run.h"
#include "tests/common/temp_folder.h"
#include "tests/common/zip_bytes.h"
#include "toplu/protokol.h"
#include "toplu/tablo_calistir.h"
#include "toplu/tablo_oku.h"
#include "toplu/tablo_yaz.h"

using namespace pamerol;
using namespace pamerol::testing;
using Json = nlohmann::ordered_json;

namespace {

std::string Cell(const std::string& inner) {
    return "<table:table-cell " + inner + "/>";
}
std::string Text(const std::string& text) {
    return "<table:table-cell office:value-type=\"string\"><text:p>" + text + "</text:p></table:table-cell>";
}

// A flat ODF spreadsheet of the rows: a date style "GG.AA.YYYY" (ce1), a currency style (ce2), the number
// formats "#,##0" (ce3), "#,##0," (ce4) and "#,##0.000" (ce5), the date formats "dd.mm.yy" (ce6) and
// "d mmmm yyyy" (ce7), and a date with its time "dd.mm.yyyy hh:mm" (ce8).
std::string Fods(const std::vector<std::string>& rows) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" office:version=\"1.2\" "
        "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
        "<office:automatic-styles>"
        "<number:date-style style:name=\"N1\"><number:day number:style=\"long\"/><number:text>.</number:text>"
        "<number:month number:style=\"long\"/><number:text>.</number:text><number:year "
        "number:style=\"long\"/>"
        "</number:date-style>"
        "<number:number-style style:name=\"N2\"><number:number number:decimal-places=\"2\" "
        "number:min-integer-digits=\"1\" number:grouping=\"true\"/><number:text> TL</number:text>"
        "</number:number-style>"
        "<number:number-style style:name=\"N3\"><number:number number:decimal-places=\"0\" "
        "number:min-integer-digits=\"1\" number:grouping=\"true\"/></number:number-style>"
        "<number:number-style style:name=\"N4\"><number:number number:decimal-places=\"0\" "
        "number:min-integer-digits=\"1\" number:grouping=\"true\" number:display-factor=\"1000\"/>"
        "</number:number-style>"
        "<number:number-style style:name=\"N5\"><number:number number:decimal-places=\"3\" "
        "number:min-integer-digits=\"1\" number:grouping=\"true\"/></number:number-style>"
        "<number:date-style style:name=\"N6\"><number:day number:style=\"long\"/><number:text>.</number:text>"
        "<number:month number:style=\"long\"/><number:text>.</number:text><number:year/></number:date-style>"
        "<number:date-style style:name=\"N7\"><number:day/><number:text> </number:text><number:month "
        "number:textual=\"true\" number:style=\"long\"/><number:text> </number:text><number:year "
        "number:style=\"long\"/></number:date-style>"
        "<number:date-style style:name=\"N8\"><number:day number:style=\"long\"/><number:text>.</number:text>"
        "<number:month number:style=\"long\"/><number:text>.</number:text><number:year "
        "number:style=\"long\"/>"
        "<number:text> </number:text><number:hours number:style=\"long\"/><number:text>:</number:text>"
        "<number:minutes number:style=\"long\"/></number:date-style>"
        "<number:number-style style:name=\"N9\"><number:number number:decimal-places=\"0\" "
        "number:min-integer-digits=\"13\"/></number:number-style>";
    for (int i = 1; i <= 9; ++i)
        xml += "<style:style style:name=\"ce" + std::to_string(i) +
               "\" style:family=\"table-cell\" style:data-style-name=\"N" + std::to_string(i) + "\"/>";
    xml += "</office:automatic-styles><office:body><office:spreadsheet><table:table table:name=\"Personel\">";
    for (const auto& r : rows) xml += "<table:table-row>" + r + "</table:table-row>";
    return xml + "</table:table></office:spreadsheet></office:body></office:document>\n";
}

// Has the office save the flat file in another format into the same folder.
void Convert(const TempFolder& dir, const std::string& fods, const std::string& format) {
    const std::string command = "cd '" + dir.path().string() + "' && soffice -env:UserInstallation=file://" +
                                dir.file("profile") + " --headless --norestore --convert-to " + format +
                                " '" + fods + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::vector<std::vector<std::string>> ResultRows(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return CsvHucreleri(std::string_view(text).substr(3), ';');
}

} // namespace

TEST(TopluTabloOffice, WorkbooksReadByTheirStoredValuesAndEqualTheSingleCase) {
    TempFolder dir;
    const std::vector<std::string> rows = {
        Text("Adı Soyadı") + Text("Giriş Tarihi") + Text("Çıkış Tarihi") + Text("En Son Brüt Ücret") +
            Text("İlave Ücret") + Text("Departman"),
        // Date cells with a date format, a number cell, a formula cell.
        Text("Şükrü Öztürk") +
            Cell("table:style-name=\"ce1\" office:value-type=\"date\" "
                 "office:date-value=\"2015-01-01\"") +
            Cell("table:style-name=\"ce1\" office:value-type=\"date\" office:date-value=\"2024-12-31\"") +
            Cell("office:value-type=\"float\" office:value=\"45000.5\"") +
            Cell("table:formula=\"of:=[.D2]/40\" office:value-type=\"float\" office:value=\"1125.0125\"") +
            Text("Muhasebe"),
        // Date cells without a date format, a currency-formatted amount, amounts as Turkish texts.
        Text("Çağla İnce") + Cell("office:value-type=\"date\" office:date-value=\"2019-05-02\"") +
            Text("1.7.2025") +
            Cell("table:style-name=\"ce2\" office:value-type=\"float\" office:value=\"120000\"") +
            Text("2.500,00 TL") + Text("Satış"),
        // A bad row among good ones.
        Text("Bozuk Tarih") + Text("31.02.2020") + Text("01.01.2024") + Text("bin lira") + Text("") +
            Text(""),
        Text("Ali Veli") + Text("15.03.2004") + Text("14.09.2007") + Text("2.000,00") + Text("") + Text(""),
        // Formats that show fewer decimals, thousands, a two-digit year, the month's name, a time.
        Text("Binli Gösterim") +
            Cell("table:style-name=\"ce6\" office:value-type=\"date\" office:date-value=\"2015-01-01\"") +
            Cell("table:style-name=\"ce7\" office:value-type=\"date\" office:date-value=\"2024-12-31\"") +
            Cell("table:style-name=\"ce4\" office:value-type=\"float\" office:value=\"25000.5\"") +
            Cell("table:style-name=\"ce3\" office:value-type=\"float\" office:value=\"2500.5\"") + Text(""),
        Text("Üç Ondalık") +
            Cell("table:style-name=\"ce8\" office:value-type=\"date\" "
                 "office:date-value=\"2019-05-02T13:45:00\"") +
            Cell("table:style-name=\"ce6\" office:value-type=\"date\" office:date-value=\"2025-07-01\"") +
            Cell("table:style-name=\"ce5\" office:value-type=\"float\" office:value=\"25000.555\"") +
            Text("") + Text(""),
        Text("Metin Ücret") + Text("01.01.2015") + Text("31.12.2024") + Text("25.000,50") + Text("") +
            Text(""),
    };
    { std::ofstream(dir.file("personel.fods")) << Fods(rows); }
    Convert(dir, "personel.fods", "xlsx");
    Convert(dir, "personel.fods", "ods");
    const std::vector<std::vector<std::string>> singles = {
        {"GTarih=01.01.2015", "CTarih=31.12.2024", "ESUCRET=45.000,50", "IUCRET=1.125,01",
         "txtAdiSoyadi=Şükrü Öztürk"},
        {"GTarih=02.05.2019", "CTarih=01.07.2025", "ESUCRET=120.000,00", "IUCRET=2.500,00",
         "txtAdiSoyadi=Çağla İnce"},
        {},
        {"GTarih=15.03.2004", "CTarih=14.09.2007", "ESUCRET=2.000,00", "txtAdiSoyadi=Ali Veli"},
        {"GTarih=01.01.2015", "CTarih=31.12.2024", "ESUCRET=25.000,50", "IUCRET=2.500,50",
         "txtAdiSoyadi=Binli Gösterim"},
        {"GTarih=02.05.2019", "CTarih=01.07.2025", "ESUCRET=25.000,56", "txtAdiSoyadi=Üç Ondalık"},
        {"GTarih=01.01.2015", "CTarih=31.12.2024", "ESUCRET=25.000,50", "txtAdiSoyadi=Metin Ücret"},
    };
    for (const char* book : {"personel.xlsx", "personel.ods"}) {
        SCOPED_TRACE(book);
        const std::string out = dir.file(std::string(book) + ".csv");
        const Outcome o = Companion({"--toplu-tablo", dir.file(book), "--cikti", out});
        EXPECT_EQ(o.status, 1) << o.err << o.out;
        EXPECT_NE(o.out.find("Eşleşmeyen sütunlar (okunmadı): \"Departman\""), std::string::npos) << o.out;
        const auto results = ResultRows(out);
        ASSERT_EQ(results.size(), 1 + singles.size() + 1);
        const auto& header = results[0];
        const auto column = [&](const std::string& title) {
            return static_cast<size_t>(std::find(header.begin(), header.end(), title) - header.begin());
        };
        EXPECT_EQ(results[3][column("Hata")],
                  "Giriş Tarihi: \"31.02.2020\" okunamadı; En Son Brüt Ücret: \"bin lira\" okunamadı");
        for (size_t i = 0; i < singles.size(); ++i) {
            if (singles[i].empty()) continue;
            std::vector<std::string> args = {"--yasal-degerler", "Option1=1"};
            args.insert(args.end(), singles[i].begin(), singles[i].end());
            const Json single = Json::parse(Companion(args).out);
            for (const auto& [field, title] :
                 std::vector<std::pair<std::string, std::string>>{{"GTarih", "Giriş Tarihi"},
                                                                  {"CTarih", "Çıkış Tarihi"},
                                                                  {"ESUCRET", "En Son Aylık Brüt Ücreti"},
                                                                  {"IUCRET", "İlave Ücret"},
                                                                  {"NET", "Ödenecek Kıdem Tazminatı"},
                                                                  {"ITAZM", "Ödenecek İhbar Tazminatı"},
                                                                  {"BITZM", "Brüt İhbar Tazminatı"},
                                                                  {"TAV", "Kıdem Tazminatı Tavanı"}})
                EXPECT_EQ(results[i + 1][column(title)], single["fields"][field].get<std::string>())
                    << "row " << i + 1 << " " << title;
            EXPECT_EQ(results[i + 1][column("Hata")], "");
            // Only the amount stored with three decimals says it was rounded.
            EXPECT_EQ(results[i + 1][column("Uyarı")].find("En Son Brüt Ücret: hücrede 25000,555 kayıtlı; "
                                                           "kuruşa yuvarlanarak 25.000,56 alındı.") == 0,
                      i == 5)
                << results[i + 1][column("Uyarı")];
        }
    }
}

// A registry number kept as a number cell whose format adds its leading zeros is read as the workbook
// shows it; the wage in the same row is still read by its stored value.
TEST(TopluTabloOffice, TextColumnsOfNumberCellsKeepTheirLeadingZeros) {
    TempFolder dir;
    const std::vector<std::string> rows = {
        Text("Adı Soyadı") + Text("Giriş Tarihi") + Text("Çıkış Tarihi") + Text("En Son Brüt Ücret") +
            Text("SSK No") + Text("T.C. Kimlik No"),
        Text("Sıfırlı Sicil") + Text("01.01.2015") + Text("31.12.2024") +
            Cell("table:style-name=\"ce3\" office:value-type=\"float\" office:value=\"25000.5\"") +
            Cell("table:style-name=\"ce9\" office:value-type=\"float\" office:value=\"340123456789\"") +
            Cell("office:value-type=\"float\" office:value=\"12345678901\""),
    };
    { std::ofstream(dir.file("sicil.fods")) << Fods(rows); }
    Convert(dir, "sicil.fods", "xlsx");
    const auto tablo = TabloDosyasiOku(dir.file("sicil.xlsx"), {});
    ASSERT_TRUE(tablo) << tablo.error().message;
    ASSERT_EQ(tablo->satirlar.size(), 1u);
    std::map<std::string, std::string> read(tablo->satirlar[0].atamalar.begin(),
                                            tablo->satirlar[0].atamalar.end());
    EXPECT_EQ(read["txtSSkNoPer"], "0340123456789");
    EXPECT_EQ(read["txtTcKNo"], "12345678901");
    EXPECT_EQ(read["ESUCRET"], "25.000,50");
}

// A file that is no workbook, and one the office is not given (a zip that would unpack to more than a
// table of employees can hold, or whose directory is damaged): one message, nothing written.
TEST(TopluTabloOffice, AFileThatIsNoWorkbookIsOneMessageAndNothingWritten) {
    TempFolder dir;
    const std::string bomb =
        Zip({{"[Content_Types].xml", "", 0}, {"xl/sharedStrings.xml", "x", 2000u << 20}});
    const struct {
        const char* book;
        std::optional<std::string> bytes; // nothing: no file
        const char* said;
    } cases[] = {
        {"sahte.xlsx", "bu bir çalışma kitabı değil\n", ""},
        {"bos.ods", "", ""},
        {"yok.xls", std::nullopt, ""},
        {"bomba.xlsx", bomb, "açıldığında 2.000 MB tutuyor; bir personel tablosu için sınır 256 MB"},
        {"kirik.ods", bomb.substr(0, bomb.size() - 8),
         "bozuk: sıkıştırılmış dosyanın içindekiler dizini okunamadı"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.book);
        if (c.bytes) std::ofstream(dir.file(c.book), std::ios::binary) << *c.bytes;
        const Outcome o = Companion({"--toplu-tablo", dir.file(c.book), "--cikti", dir.file("s.csv")});
        EXPECT_EQ(o.status, 2) << o.out;
        EXPECT_NE(o.err.find("\"" + dir.file(c.book) + "\": " + c.said), std::string::npos) << o.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("s.csv")));
    }
}

namespace {

std::string Unzipped(const std::string& book, const std::string& member) {
    const std::string command = "unzip -p '" + book + "' '" + member + "' 2>/dev/null";
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}

} // namespace

TEST(TopluTabloOffice, ResultWorkbooksHoldTheSameFiguresAndRealSums) {
    TempFolder dir;
    {
        std::ofstream table(dir.file("p.csv"));
        table << "Adı Soyadı;T.C. Kimlik No;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret\n"
                 "Ali Veli;=1+2;15.03.2004;14.09.2007;2.000,00\n"
                 "Şükrü Öztürk;10000000146;1.1.2015;31.12.2024;45000.5\n"
                 "Bozuk;1;32.01.2020;01.01.2024;abc\n"
                 "Çağla İnce;10000000210;2.5.2019;1.7.2025;120.000\n";
    }
    ASSERT_EQ(Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv")}).status, 1);
    const auto csv = ResultRows(dir.file("s.csv"));
    ASSERT_EQ(csv.size(), 6u);
    const auto& header = csv[0];
    std::vector<size_t> compared; // the results, the names, the dates, the reasons
    const auto titles = SonucBasliklari();
    for (size_t c = 0; c < header.size(); ++c) {
        ASSERT_EQ(header[c], titles.at(c));
        const bool result = c > 0 && c <= SonucAlanlari().size() &&
                            std::find(kResultFields.begin(), kResultFields.end(), SonucAlanlari()[c - 1]) !=
                                kResultFields.end();
        if (result || header[c] == "Sıra" || header[c] == "Adı Soyadı" || header[c] == "Giriş Tarihi" ||
            header[c] == "Çıkış Tarihi" || header[c] == "Hata")
            compared.push_back(c);
    }
    ASSERT_EQ(compared.size(), 21u + 5u); // 21 results: the leave pay's five among them
    for (const char* name : {"kitap.xlsx", "kitap.ods"}) {
        SCOPED_TRACE(name);
        const Outcome o = Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file(name)});
        EXPECT_EQ(o.status, 1) << o.err;
        // Read back by the office into a folder of its own: the first sheet as the office shows it.
        std::filesystem::create_directory(dir.file("geri"));
        const std::string command =
            "soffice -env:UserInstallation=file://" + dir.file("profile") +
            " --headless --norestore --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1'"
            " --outdir '" +
            dir.file("geri") + "' '" + dir.file(name) + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::ifstream in(dir.file("geri/kitap.csv"), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const auto back = CsvHucreleri(text, ';');
        ASSERT_EQ(back.size(), csv.size());
        for (size_t r = 0; r < csv.size(); ++r)
            for (size_t c : compared)
                EXPECT_EQ(back[r].at(c), csv[r].at(c)) << "row " << r << " " << header[c];
        // A text that looks like a formula stays a text.
        EXPECT_EQ(back[1].at(2), "=1+2");
    }
    // The totals are formulas over the rows; the summary is the second sheet.
    const std::string sheet = Unzipped(dir.file("kitap.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("SUM(U2:U5)</f>"), std::string::npos) << sheet.substr(0, 300);
    EXPECT_NE(Unzipped(dir.file("kitap.xlsx"), "xl/workbook.xml").find("name=\"Özet\""), std::string::npos);
    EXPECT_NE(Unzipped(dir.file("kitap.xlsx"), "xl/styles.xml").find("#,##0.00"), std::string::npos);
    const std::string content = Unzipped(dir.file("kitap.ods"), "content.xml");
    EXPECT_NE(content.find("of:=SUM([.U2:.U5])"), std::string::npos);
    EXPECT_NE(content.find("table:name=\"Özet\""), std::string::npos);
    EXPECT_NE(content.find("Okunan tablo"), std::string::npos);
    EXPECT_NE(content.find("Hesaplanamayan"), std::string::npos);
    EXPECT_NE(content.find("style:column-width"), std::string::npos);
    // Both open with the header row and the number and name columns frozen (and were read back above).
    EXPECT_NE(sheet.find("<pane xSplit=\"2\" ySplit=\"1\" topLeftCell=\"C2\" activePane=\"bottomRight\" "
                         "state=\"frozen\"/>"),
              std::string::npos);
    const std::string settings = Unzipped(dir.file("kitap.ods"), "settings.xml");
    EXPECT_NE(settings.find("<config:config-item-map-entry config:name=\"Sonuçlar\"><config:config-item "
                            "config:name=\"HorizontalSplitMode\" config:type=\"short\">2<"),
              std::string::npos)
        << settings;
}

namespace {

// The pages of a PDF, as pdfinfo counts them; 0 when it cannot be read.
int PdfPages(const std::string& pdf) {
    const std::string command = "pdfinfo '" + pdf + "' 2>/dev/null";
    int pages = 0;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            if (std::strncmp(buffer, "Pages:", 6) == 0) pages = std::atoi(buffer + 6);
        ::pclose(pipe);
    }
    return pages;
}

// A table of n employees named "Kişi 1" ... with the third refused (an amount that cannot be read).
void WriteEmployees(const std::string& path, int n) {
    std::ofstream table(path);
    table << "Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret\n";
    for (int i = 1; i <= n; ++i)
        table << "Kişi " << i << ";1.3." << 2000 + i % 20 << ";30.06.2026;" << (i == 3 ? "abc" : "45.000,00")
              << "\n";
}

} // namespace

// Each calculated row's papers as PDFs named for the row, one combined PDF per paper in the rows' order,
// and every calculated row in the archive with its papers, found by the run's name. A release letter dated
// within a month of the exit is void (TBK m. 420): it is not printed, and the row's "Uyarı" says why.
TEST(TopluTabloOffice, PapersOfEveryRowCombinedAndArchivedUnderTheRunsName) {
    TempFolder dir;
    WriteEmployees(dir.file("p.csv"), 4);
    {
        // The second row's letter dated ten days after its exit, the others by the option.
        std::ifstream in(dir.file("p.csv"));
        std::string table, line;
        for (int i = 0; std::getline(in, line); ++i)
            table += line + (i == 0 ? ";İbraname Tarihi" : i == 2 ? ";10.07.2026" : ";") + "\n";
        std::ofstream(dir.file("p.csv")) << table;
    }
    const Outcome o =
        Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--pdf-klasoru",
                   dir.file("pdf"), "--dokum", "ibraname,kidem", "--arsiv", dir.file("a.db"), "--toplu-adi",
                   "Kapanış Haziran 2026", "--ibraname-tarihi", "31.07.2026"});
    EXPECT_EQ(o.status, 1) << o.err; // the third row is refused, and the second row's letter
    for (const char* file :
         {"001 Kişi 1 – Kıdem Bordrosu.pdf", "001 Kişi 1 – İbraname.pdf", "002 Kişi 2 – Kıdem Bordrosu.pdf",
          "004 Kişi 4 – İbraname.pdf", "Tümü – Kıdem Bordrosu.pdf", "Tümü – İbraname.pdf"})
        EXPECT_GT(PdfPages(dir.file("pdf/" + std::string(file))), 0) << file;
    for (const char* file : {"003 Kişi 3 – Kıdem Bordrosu.pdf", "002 Kişi 2 – İbraname.pdf"})
        EXPECT_FALSE(std::filesystem::exists(dir.file("pdf/" + std::string(file)))) << file;
    EXPECT_EQ(PdfPages(dir.file("pdf/Tümü – Kıdem Bordrosu.pdf")), 3);
    EXPECT_NE(o.out.find("Dökümler: 5 PDF"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("İbranamesi yazdırılmayan satır: 1"), std::string::npos) << o.out;
    const auto results = ResultRows(dir.file("s.csv"));
    const auto warning =
        std::find(results.at(0).begin(), results.at(0).end(), "Uyarı") - results.at(0).begin();
    EXPECT_NE(results.at(2).at(static_cast<size_t>(warning)).find("kesin olarak hükümsüzdür"),
              std::string::npos);
    // The others are dated by the option and lack the bank's particulars: printed, with a word.
    EXPECT_NE(results.at(1).at(static_cast<size_t>(warning)).find("İbraname: İbranamede \"Ödeme Tarihi\""),
              std::string::npos);
    auto archive = Archive::open(dir.file("a.db"));
    ASSERT_TRUE(archive);
    const auto found = (*archive)->search({"kapanis haziran", "", ""});
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 3u);
    for (const ArchiveRow& r : *found) {
        EXPECT_EQ(r.run, "Kapanış Haziran 2026");
        const std::vector<std::string> papers = r.name == "Kişi 2"
                                                    ? std::vector<std::string>{"kidem"}
                                                    : std::vector<std::string>{"ibraname", "kidem"};
        EXPECT_EQ(r.papers, papers) << r.name;
    }
}

// Stopped half-way (SIGTERM, as the window's "İptal" does), the run writes the rows done as a whole table
// with their totals, their papers and their combined PDF, and says where it stopped.
TEST(TopluTabloOffice, StoppedHalfWayLeavesWhatIsDoneWholeAndSaysWhere) {
    TempFolder dir;
    WriteEmployees(dir.file("p.csv"), 40);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        for (int s : {SIGINT, SIGTERM}) ::signal(s, SIG_DFL);
        ::execl(PAMEROL_BIN_DIR "/pamerol-hesap", "pamerol-hesap", "--toplu-tablo", dir.file("p.csv").c_str(),
                "--cikti", dir.file("s.csv").c_str(), "--pdf-klasoru", dir.file("pdf").c_str(), "--dokum",
                "kidem", "--ilerleme", nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    // Stopped once five rows are done; every line on standard output is one of the protocol's.
    const auto line = [&out] {
        std::string text;
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n') text += c;
        return text;
    };
    for (std::string l; (l = line()).size();) {
        const auto ilerleme = IlerlemeOku(l);
        ASSERT_TRUE(ilerleme) << l;
        EXPECT_EQ(ilerleme->toplam, 40u);
        if (ilerleme->bitti == 5) break;
    }
    ::kill(pid, SIGTERM);
    std::optional<TopluSonuc> sonuc;
    for (std::string l; (l = line()).size();) {
        if (!IlerlemeOku(l)) {
            EXPECT_FALSE(sonuc) << "a second summary: " << l;
            sonuc = OzetOku(l);
            ASSERT_TRUE(sonuc) << l;
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(out[0]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kStatusRefused);
    ASSERT_TRUE(sonuc);
    EXPECT_EQ(sonuc->durum, kStatusRefused);
    EXPECT_TRUE(sonuc->durduruldu);
    EXPECT_TRUE(std::any_of(sonuc->ozet.begin(), sonuc->ozet.end(),
                            [](const auto& l) { return l.first == "İptal"; }));
    const auto rows = ResultRows(dir.file("s.csv"));
    ASSERT_GE(rows.size(), 2u + 5u);
    const size_t done = rows.size() - 2; // without the header and the totals
    EXPECT_LT(done, 40u);
    EXPECT_EQ(sonuc->hesaplanan + sonuc->hesaplanamayan, done);
    EXPECT_EQ(sonuc->birlesikPdfler, std::vector<std::string>{dir.file("pdf/Tümü – Kıdem Bordrosu.pdf")});
    EXPECT_EQ(rows.back().front(), "TOPLAM");
    // The papers of every row written, the third (refused) none, and nothing beyond but their list.
    EXPECT_EQ(PdfPages(dir.file("pdf/Tümü – Kıdem Bordrosu.pdf")), static_cast<int>(done) - 1);
    const auto files = [&dir](const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.file(folder)))
            if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(files("pdf").size(), done - 1 + 1 + 1);
    const std::string last = "Kişi " + std::to_string(done);
    EXPECT_EQ(rows[done][1], last);

    // Run again on two rows: the stopped run's papers go aside whole, none stays among the new ones, and
    // the new papers take the folder's usual mode.
    WriteEmployees(dir.file("p2.csv"), 2);
    const mode_t was = ::umask(002);
    const Outcome again =
        Companion({"--toplu-tablo", dir.file("p2.csv"), "--cikti", dir.file("s2.csv"), "--pdf-klasoru",
                   dir.file("pdf"), "--dokum", "kidem", "--toplu-adi", "Yeni"});
    ::umask(was);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(files("pdf"),
              (std::vector<std::string>{".pamerol-dokumler", "001 Kişi 1 – Kıdem Bordrosu.pdf",
                                        "002 Kişi 2 – Kıdem Bordrosu.pdf", "Tümü – Kıdem Bordrosu.pdf"}));
    std::string aside;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("pdf")))
        if (entry.is_directory() && entry.path().filename().string().rfind(".pamerol", 0) != 0)
            aside = "pdf/" + entry.path().filename().string();
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(files(aside).size(), done - 1 + 1 + 1);
    EXPECT_EQ(PdfPages(dir.file(aside + "/Tümü – Kıdem Bordrosu.pdf")), static_cast<int>(done) - 1);
    EXPECT_NE(again.out.find("Önceki dökümler: " + std::to_string(done) + " dosya"), std::string::npos)
        << again.out;
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("pdf/001 Kişi 1 – Kıdem Bordrosu.pdf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0664u);
    ASSERT_EQ(::stat(dir.file("pdf/Tümü – Kıdem Bordrosu.pdf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0664u);
}

// Without an office to fill them, the papers are given up after a few tries instead of each waiting for
// it; the results table is written all the same, and the run says so.
TEST(TopluTabloOffice, PapersWithoutAnOfficeAreGivenUpAndTheTableStillWritten) {
    TempFolder dir;
    WriteEmployees(dir.file("p.csv"), 30);
    const std::string command = "PATH=/yok '" PAMEROL_BIN_DIR "/pamerol-hesap' --toplu-tablo '" +
                                dir.file("p.csv") + "' --cikti '" + dir.file("s.csv") + "' --pdf-klasoru '" +
                                dir.file("pdf") + "' --dokum kidem,ihbar 2>&1; echo \"durum $?\"";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        ::pclose(pipe);
    }
    EXPECT_NE(output.find("durum 1"), std::string::npos) << output;
    EXPECT_NE(output.find("kalan dökümler denenmedi"), std::string::npos) << output;
    // Not one message per paper (58 papers): the companion's own lines, apart from the summary's.
    size_t said = 0;
    for (size_t at = output.find("pamerol-hesap:"); at != std::string::npos;
         at = output.find("pamerol-hesap:", at + 1))
        ++said;
    EXPECT_LE(said, 15u) << output;
    EXPECT_EQ(ResultRows(dir.file("s.csv")).size(), 30u + 2u);
}

// A combined PDF that pdfunite did not make whole (it failed, wrote something else, or was cut short as on
// a full disk) is not listed as made: the run says so and ends with status 1, and the rows' papers stay.
TEST(TopluTabloOffice, ACombinedPdfNotMadeWholeIsAFailure) {
    const std::pair<const char*, const char*> standIns[] = {
        {"fails", "exit 1"},
        {"writes something else", "for last; do :; done; echo bozuk > \"$last\""},
        {"cut short", "/usr/bin/pdfunite \"$@\" || exit; for last; do :; done; head -c 600 \"$last\" > "
                      "\"$last.k\"; mv \"$last.k\" \"$last\""},
    };
    for (const auto& [what, script] : standIns) {
        SCOPED_TRACE(what);
        TempFolder dir;
        WriteEmployees(dir.file("p.csv"), 2);
        std::filesystem::create_directory(dir.file("bin"));
        std::ofstream(dir.file("bin/pdfunite")) << "#!/bin/sh\n" << script << "\n";
        std::filesystem::permissions(dir.file("bin/pdfunite"), std::filesystem::perms::owner_all);
        const std::string command =
            "PATH='" + dir.file("bin") + "':\"$PATH\" '" PAMEROL_BIN_DIR "/pamerol-hesap' --toplu-tablo '" +
            dir.file("p.csv") + "' --cikti '" + dir.file("s.csv") + "' --pdf-klasoru '" + dir.file("pdf") +
            "' --dokum kidem 2>&1; echo \"durum $?\"";
        std::string output;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
            ::pclose(pipe);
        }
        const std::string combined = dir.file("pdf/Tümü – Kıdem Bordrosu.pdf");
        EXPECT_NE(output.find("durum 1"), std::string::npos) << output;
        EXPECT_NE(output.find("Yazılamayan birleşik PDF: " + combined), std::string::npos) << output;
        EXPECT_EQ(output.find("Birleşik PDF: "), std::string::npos) << output;
        EXPECT_FALSE(std::filesystem::exists(combined));
        // The rows' papers, and nothing of the run's own beside them but their list.
        EXPECT_GT(PdfPages(dir.file("pdf/001 Kişi 1 – Kıdem Bordrosu.pdf")), 0);
        EXPECT_GT(PdfPages(dir.file("pdf/002 Kişi 2 – Kıdem Bordrosu.pdf")), 0);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("pdf")), {}), 3);
    }
}
