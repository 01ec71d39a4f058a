// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a clerk's table of employees and writing the results table; the lines the companion tells the
// window.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "sheet/profile.h"
#include "tests/common/why.h"
#include "toplu/protokol.h"
#include "toplu/tablo_oku.h"
#include "toplu/tablo_yaz.h"
#include "toplu/vaka.h"

using namespace pamerol;
using Tur = SutunEslesmesi::Tur;

namespace {

std::map<std::string, std::string> AsMap(const TabloSatiri& s) {
    std::map<std::string, std::string> m;
    for (const auto& [k, v] : s.atamalar) m[k] = v;
    return m;
}

OkunanTablo Read(const std::string& bytes, OkumaSecenekleri o = {}) {
    auto t = CsvTabloOku(bytes, o);
    EXPECT_TRUE(t) << pamerol::testing::Why(t);
    return t ? *t : OkunanTablo{};
}

std::string Refusal(const std::string& bytes, OkumaSecenekleri o = {}) {
    const auto t = CsvTabloOku(bytes, o);
    EXPECT_FALSE(t);
    return pamerol::testing::Why(t);
}

} // namespace

TEST(TopluTablo, HeaderVariantsMatchTheirFields) {
    struct Case {
        const char* header;
        Tur tur;
        Field alan;
    } cases[] = {
        {"Adı Soyadı", Tur::Alan, Field::txtAdiSoyadi},
        {"ADI SOYADI", Tur::Alan, Field::txtAdiSoyadi},
        {"adi_soyadi", Tur::Alan, Field::txtAdiSoyadi},
        {"Ad Soyad", Tur::Alan, Field::txtAdiSoyadi},
        {"Ad", Tur::Ad, Field::txtAdiSoyadi},
        {"SOYADI", Tur::Soyad, Field::txtAdiSoyadi},
        {"T.C. Kimlik No", Tur::Alan, Field::txtTcKNo},
        {"TC KİMLİK NO", Tur::Alan, Field::txtTcKNo},
        {"TCKN", Tur::Alan, Field::txtTcKNo},
        {"SSK No", Tur::Alan, Field::txtSSkNoPer},
        {"SGK No.", Tur::Alan, Field::txtSSkNoPer},
        {"Giriş Tarihi", Tur::Alan, Field::GTarih},
        {"GİRİŞ TARİHİ", Tur::Alan, Field::GTarih},
        {"giris tarihi", Tur::Alan, Field::GTarih},
        {"Çıkış Tarihi", Tur::Alan, Field::CTarih},
        {"Devreden Prim Günü", Tur::Alan, Field::DGUN},
        {"Çalıştığı Toplam Gün", Tur::Alan, Field::TGUN},
        {"En Son Brüt Ücret", Tur::Alan, Field::ESUCRET},
        {"En Son Aylık Brüt Ücreti", Tur::Alan, Field::ESUCRET},
        {"İlave Ücret", Tur::Alan, Field::IUCRET},
        {"Yıllık İzin Ücreti", Tur::Alan, Field::YIUCRET},
        {"En Son Toplam GV Matrahı", Tur::Alan, Field::DGVMAT},
        {"En Son Top. GV Matrahı", Tur::Alan, Field::DGVMAT},
        {"Adres", Tur::Alan, Field::txtAdres},
        {"ESUCRET", Tur::Alan, Field::ESUCRET},
        {"tav", Tur::Alan, Field::TAV},
        {"Kıdem Tazminatı Tavanı", Tur::Alan, Field::TAV},
        {"Damga Vergisi Oranı (Binde)", Tur::Alan, Field::DVOR},
        {"Fesih Nedeni", Tur::Alan, Field::FESIH},
        {"Kullanılmayan İzin Günü", Tur::Alan, Field::IZGUN},
        // Results are not inputs; unknown names match nothing.
        {"NET", Tur::Yok, Field::GTarih},
        {"Departman", Tur::Yok, Field::GTarih},
        {"", Tur::Yok, Field::GTarih},
    };
    for (const Case& c : cases) {
        const SutunEslesmesi e = BaslikEslesmesi(c.header);
        EXPECT_EQ(e.tur, c.tur) << c.header;
        if (c.tur == Tur::Alan) {
            EXPECT_EQ(e.alan, c.alan) << c.header;
        }
    }
}

TEST(TopluTablo, EncodingsAndSeparatorsReadTheSame) {
    const std::string utf8 =
        "Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret\n"
        "Şükrü Öztürk;1.3.2004;14.09.2007;\"2.000,00\"\n"; // quoted: the comma stays in the cell
    std::string comma = utf8;
    for (char& c : comma)
        if (c == ';') c = ',';
    std::string tab = utf8;
    for (char& c : tab)
        if (c == ';') c = '\t';
    const std::pair<std::string, char> files[] = {
        {utf8, ';'},  {"\xEF\xBB\xBF" + utf8, ';'}, {Utf8ToCp1254(utf8), ';'},
        {comma, ','}, {Utf8ToCp1254(comma), ','},   {tab, '\t'},
    };
    for (const auto& [bytes, sep] : files) {
        const OkunanTablo t = Read(bytes);
        EXPECT_EQ(t.ayirici, sep);
        ASSERT_EQ(t.satirlar.size(), 1u);
        EXPECT_EQ(t.satirlar[0].hata, "");
        const auto m = AsMap(t.satirlar[0]);
        EXPECT_EQ(m.at("txtAdiSoyadi"), "Şükrü Öztürk");
        EXPECT_EQ(m.at("GTarih"), "01.03.2004");
        EXPECT_EQ(m.at("CTarih"), "14.09.2007");
        EXPECT_EQ(m.at("ESUCRET"), "2.000,00");
        EXPECT_EQ(m.at("Option1"), "1");
        EXPECT_TRUE(t.eslesmeyenler.empty());
    }
}

TEST(TopluTablo, BlankLinesBeforeTheHeaderDoNotHideItsSeparator) {
    const OkunanTablo t = Read("\r\n\r\nAdı Soyadı,Giriş Tarihi,Çıkış Tarihi,En Son Brüt Ücret\r\n"
                               "A,01.01.2020,01.01.2024,\"1.000,50\"\r\n");
    EXPECT_EQ(t.ayirici, ',');
    ASSERT_EQ(t.satirlar.size(), 1u);
    EXPECT_EQ(AsMap(t.satirlar[0]).at("ESUCRET"), "1.000,50");
    EXPECT_EQ(t.bosSatir, 0u);
    EXPECT_EQ(t.satirlar[0].satir, 2u); // counted from the header
}

TEST(TopluTablo, QuotedCellsHoldSeparatorsQuotesAndLineBreaks) {
    const auto rows = CsvHucreleri("a;\"b;c\";\"d \"\"e\"\"\"\r\n\"x\ny\";;z\n", ';');
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b;c", "d \"e\""}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"x\ny", "", "z"}));
    // A last line without its line end, and its empty last cell, are kept.
    EXPECT_EQ(CsvHucreleri("a;b\nc;", ';'), (std::vector<std::vector<std::string>>{{"a", "b"}, {"c", ""}}));
}

// A quote opens a quoted cell only at the cell's start; anywhere else it is a character of the cell, and
// the line break after it still ends the row.
TEST(TopluTablo, AQuoteInsideACellIsItsOwnCharacter) {
    using Rows = std::vector<std::vector<std::string>>;
    const std::tuple<const char*, Rows> cases[] = {
        {"Ali \"Kara\" Öz;1\n", {{"Ali \"Kara\" Öz", "1"}}},
        {"Kişi 10 \"Memo;2\nKişi 11;3\n", {{"Kişi 10 \"Memo", "2"}, {"Kişi 11", "3"}}},
        {"a\";\"b;c\"\n", {{"a\"", "b;c"}}}, // a quote at a cell's end is a character; the next cell's opens
        {"\"a\"b\"c;d\n", {{"ab\"c", "d"}}}, // after a quoted part, a quote is a character
        {" \"a;b\"\n", {{" \"a", "b\""}}},   // not at the start: a blank comes first
    };
    for (const auto& [text, rows] : cases) EXPECT_EQ(CsvHucreleri(text, ';'), rows) << text;
}

TEST(TopluTablo, AStrayQuoteInANameSwallowsNoLaterRow) {
    std::string text = "Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret\r\n";
    for (int i = 1; i <= 500; ++i)
        text +=
            "Kişi " + std::to_string(i) + (i == 10 ? " \"Memo" : "") + ";01.01.2020;31.12.2024;30.000\r\n";
    const OkunanTablo t = Read(text);
    EXPECT_EQ(t.ayirici, ';');
    ASSERT_EQ(t.satirlar.size(), 500u);
    EXPECT_EQ(AsMap(t.satirlar[9]).at("txtAdiSoyadi"), "Kişi 10 \"Memo");
    EXPECT_EQ(AsMap(t.satirlar[9]).at("ESUCRET"), "30.000,00");
    EXPECT_EQ(AsMap(t.satirlar[499]).at("txtAdiSoyadi"), "Kişi 500");
}

// A name reaches the papers, the file names and the terminal without what none of them may hold.
TEST(TopluTablo, NamesLoseWhatNoPaperFileNameOrTerminalMayHold) {
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"as typed", "Ayşe Çağlar", "Ayşe Çağlar"},
        {"terminal controls", "Ali\x1b[2J\x07 Veli", "Ali[2J Veli"},
        {"a C1 control", "Ali\xC2\x9B Veli", "Ali Veli"},
        {"right-to-left override",
         "Ali\xE2\x80\xAE"
         "fdp.exe",
         "Alifdp.exe"},
        {"bidirectional isolate",
         "\xE2\x81\xA6"
         "Ali\xE2\x81\xA9",
         "Ali"},
        {"noncharacters", "Ali\xEF\xBF\xBE\xEF\xBF\xBF", "Ali\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"an overlong slash", "Ali\xC0\xAF", "Ali\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a surrogate half (CESU)", "Ali\xED\xA0\x80", "Ali\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a sequence cut short", "Ali\xE2\x82", "Ali\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& [name, in, out] : cases) {
        bool changed = false;
        EXPECT_EQ(TemizMetin(in, &changed), out) << name;
        EXPECT_EQ(changed, in != out) << name;
    }
    const OkunanTablo t = Read("Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret\r\n"
                               "Ali\xE2\x80\xAE"
                               "fdp.exe;01.01.2020;31.12.2024;30.000\r\n"
                               "Veli;01.01.2020;31.12.2024;30.000\r\n");
    ASSERT_EQ(t.satirlar.size(), 2u);
    EXPECT_EQ(AsMap(t.satirlar[0]).at("txtAdiSoyadi"), "Alifdp.exe");
    EXPECT_TRUE(t.satirlar[0].temizlendi);
    EXPECT_FALSE(t.satirlar[1].temizlendi);
}

TEST(TopluTablo, FirstAndLastNameJoinAndPremiumDaysChooseMode2) {
    const OkunanTablo t =
        Read("Ad;Soyad;Çıkış Tarihi;Devreden Prim Günü;Çalıştığı Toplam Gün;En Son Brüt Ücret\n"
             "Ali;Veli;31.12.2026;100;1.200;30000\n");
    ASSERT_EQ(t.satirlar.size(), 1u);
    const auto m = AsMap(t.satirlar[0]);
    EXPECT_EQ(m.at("txtAdiSoyadi"), "Ali Veli");
    EXPECT_EQ(m.at("Option2"), "1");
    EXPECT_EQ(m.at("DGUN"), "100");
    EXPECT_EQ(m.at("TGUN"), "1200");
    EXPECT_EQ(m.at("ESUCRET"), "30.000,00");
    // The carried premium days alone, without an entry date, are enough for the mode.
    const OkunanTablo carried = Read("Adı Soyadı;Çıkış Tarihi;Devreden Prim Günü;En Son Brüt Ücret\n"
                                     "Ali Veli;31.12.2026;400;30000\n");
    ASSERT_EQ(carried.satirlar.size(), 1u);
    EXPECT_EQ(AsMap(carried.satirlar[0]).count("Option2"), 1u);
}

TEST(TopluTablo, UnmatchedColumnsAreListedAndEmptyRowsCounted) {
    // A second column for the wage is not read: listed with the unmatched.
    const OkunanTablo t =
        Read("Departman;Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret;Not;Brüt Ücret\n"
             "Muhasebe;A;01.01.2020;01.01.2024;1000;x;9999\n"
             ";;;;;\n"
             "\n"
             "Satış;B;01.01.2021;01.01.2024;2000;;\n");
    EXPECT_EQ(t.eslesmeyenler, (std::vector<std::string>{"Departman", "Not", "Brüt Ücret"}));
    EXPECT_EQ(AsMap(t.satirlar.at(0)).at("ESUCRET"), "1.000,00");
    EXPECT_EQ(t.ayirici, ';');
    EXPECT_EQ(t.bosSatir, 2u);
    ASSERT_EQ(t.satirlar.size(), 2u);
    EXPECT_EQ(t.satirlar[1].satir, 5u);
}

TEST(TopluTablo, ABadRowGetsItsReasonsAndTheOthersStand) {
    const OkunanTablo t =
        Read("Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret;Devreden Prim Günü;Fesih Nedeni\n"
             "İyi;01.01.2020;01.01.2024;1000;;İstifa\n"
             "Kötü;31.02.2020;01.01.2024;bin lira;2,5;kovuldu\n"
             "Yine İyi;01.01.2021;01.01.2024;2000;;24\n");
    ASSERT_EQ(t.satirlar.size(), 3u);
    EXPECT_EQ(t.satirlar[0].hata, "");
    EXPECT_EQ(AsMap(t.satirlar[0]).at("FESIH"), "istifa"); // a reason by its caption is kept as its code
    EXPECT_EQ(t.satirlar[1].hata,
              "Giriş Tarihi: \"31.02.2020\" okunamadı; En Son Brüt Ücret: \"bin lira\" "
              "okunamadı; Devreden Prim Günü: \"2,5\" okunamadı; Fesih Nedeni: \"kovuldu\" "
              "okunamadı");
    EXPECT_EQ(t.satirlar[2].hata, "");
    EXPECT_EQ(AsMap(t.satirlar[2]).at("FESIH"), "24");
}

TEST(TopluTablo, AReferenceDateReplacesTheExitDateColumn) {
    OkumaSecenekleri o;
    o.cikisTarihi = "31.12.2026";
    const OkunanTablo t = Read("Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret\n"
                               "A;01.01.2020;bozuk;1000\n",
                               o);
    ASSERT_EQ(t.satirlar.size(), 1u);
    EXPECT_EQ(t.satirlar[0].hata, "");
    EXPECT_EQ(AsMap(t.satirlar[0]).at("CTarih"), "31.12.2026");
    EXPECT_TRUE(t.eslesmeyenler.empty());
    // Without the exit date column the reference date is enough.
    EXPECT_EQ(Read("Adı Soyadı;Giriş Tarihi;En Son Brüt Ücret\nA;01.01.2020;1000\n", o).satirlar.size(), 1u);
}

// A workbook's number and date cells come in their stored form; texts read as in any CSV file.
TEST(TopluTablo, WorkbookCellsReadByTheirStoredForm) {
    const struct {
        const char* column;
        const char* cell;
        bool kitaptan;
        const char* field;
        const char* value; // empty: unreadable
        const char* note;  // empty: none
    } cases[] = {
        {"En Son Brüt Ücret", "25000,555", true, "ESUCRET", "25.000,56",
         "En Son Brüt Ücret: hücrede 25000,555 kayıtlı; kuruşa yuvarlanarak 25.000,56 alındı."},
        {"En Son Brüt Ücret", "25000,555", false, "ESUCRET", "25.000,56", ""},
        {"En Son Brüt Ücret", "25.000,555", true, "ESUCRET", "25.000,56", ""}, // a text cell, as ever
        {"En Son Brüt Ücret", "12,5%", true, "ESUCRET", "", ""},
        {"Giriş Tarihi", "01.01.2015 13:45:00", true, "GTarih", "01.01.2015", ""},
        {"Giriş Tarihi", "01.01.2015 13:45:00", false, "GTarih", "", ""},
        {"Giriş Tarihi", "31.02.2015 00:00:00", true, "GTarih", "", ""},
        {"O1", "15%", true, "O1", "15", ""},
        {"DVOR", "0,759%", true, "DVOR", "7,59", ""},
        {"KGN", "30%", true, "KGN", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " " + c.cell + (c.kitaptan ? " (workbook)" : ""));
        std::vector<std::string> header = {"Adı Soyadı", "Giriş Tarihi", "Çıkış Tarihi", "En Son Brüt Ücret"};
        std::vector<std::string> row = {"A", "01.01.2020", "01.01.2024", "1000"};
        const auto at = std::find(header.begin(), header.end(), c.column) - header.begin();
        if (static_cast<size_t>(at) == header.size()) {
            header.push_back(c.column);
            row.push_back(c.cell);
        } else {
            row[static_cast<size_t>(at)] = c.cell;
        }
        const auto t = CsvTabloOku(Joined(header, ";") + "\n" + Joined(row, ";") + "\n", {}, c.kitaptan);
        ASSERT_TRUE(t && t->satirlar.size() == 1);
        const TabloSatiri& satir = t->satirlar[0];
        if (*c.value)
            EXPECT_EQ(AsMap(satir)[c.field], c.value);
        else
            EXPECT_EQ(satir.hata, std::string(c.column) + ": \"" + c.cell + "\" okunamadı");
        EXPECT_EQ(Joined(satir.notlar, " "), c.note);
    }
}

TEST(TopluTablo, FilesThatCannotBeReadSayWhy) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "dosya boş"},
        {"\n;;\n\n", "dosya boş"},
        {std::string("PK\x03\x04rest", 8), "bir CSV dosyası değil"},
        {std::string("\xD0\xCF\x11\xE0rest", 8), "bir CSV dosyası değil"},
        {"\xFF\xFEx", "UTF-16"},
        {std::string("a\0b", 3), "bir tablo dosyası değil"},
        {"Ali Veli;01.01.2020;2000\n", "başlık satırı bulunamadı"},
        // A CSV pasted into a workbook's first column: each line one cell.
        {"\"Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret\"\n\"A;01.01.2020;01.01.2024;1000\"\n",
         "sütunlar tek bir hücrede \";\" ile ayrılmış olarak duruyor: tabloyu CSV olarak kaydedip"},
        {"Adı Soyadı;Giriş Tarihi;Çıkış Tarihi\nA;01.01.2020;01.01.2024\n",
         "gerekli sütun yok: \"En Son Brüt Ücret\""},
        {"Ad;Çıkış Tarihi;Ücret\nA;01.01.2024;1\n", "gerekli sütun yok: \"Adı Soyadı\" (ya da \"Ad\" ile "
                                                    "\"Soyad\"), \"Giriş Tarihi\" (ya da \"Çalıştığı "
                                                    "Toplam Gün\"), \"En Son Brüt Ücret\""},
    };
    for (const auto& [bytes, want] : cases) EXPECT_NE(Refusal(bytes).find(want), std::string::npos) << want;
}

TEST(TopluTablo, ResultsCsvDefusesFormulasAndAddsUpTheRows) {
    std::vector<SonucSatiri> rows(3);
    const auto set = [](SonucSatiri& s, Field f, const char* t) { s.alan[static_cast<size_t>(f)] = t; };
    for (size_t i = 0; i < rows.size(); ++i) rows[i].sira = i + 1;
    rows[0].hesaplandi = rows[1].hesaplandi = true;
    set(rows[0], Field::txtAdiSoyadi, "=HYPERLINK(\"x\")");
    // The totals add the calculations' amounts, not the texts.
    const auto net = [](Kurus k) {
        Result x;
        x.entitled = true;
        x.netKurus = k;
        return x;
    };
    set(rows[0], Field::NET, "1.234,56");
    rows[0].sonuc = net(123456);
    set(rows[1], Field::txtAdiSoyadi, "@a");
    set(rows[1], Field::NET, "abc");
    rows[1].sonuc = net(44);
    set(rows[2], Field::txtAdiSoyadi, "-b");
    set(rows[2], Field::NET, "999,00"); // not calculated: neither shown nor added
    rows[2].hata = "+neden";
    const std::string csv = SonucCsv(rows);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF\"Sıra\";\"Adı Soyadı\";", 0), 0u);
    EXPECT_NE(csv.find("\"'=HYPERLINK(\"\"x\"\")\""), std::string::npos);
    EXPECT_NE(csv.find("\"'@a\""), std::string::npos);
    EXPECT_NE(csv.find("\"'-b\""), std::string::npos);
    EXPECT_NE(csv.find("\"'+neden\""), std::string::npos);
    EXPECT_EQ(csv.find("999,00"), std::string::npos);
    EXPECT_EQ(Toplam(rows, Field::NET), "1.235,00");
    EXPECT_NE(csv.find("\"1.235,00\""), std::string::npos);
    EXPECT_NE(csv.find("\r\n\"TOPLAM\";"), std::string::npos);
    EXPECT_EQ(CsvHucresi("\tx"), "\"'\tx\"");
    EXPECT_EQ(CsvHucresi("a\"b"), "\"a\"\"b\"");

    // The workbook's totals are formulas over exactly the rows of the two cases, in each amount's column:
    // the severance's S to V, the notice's AA (its gross) to AD, the leave pay's AE to AI.
    const std::string fods = SonucFods({rows[0], rows[1]}, {});
    std::vector<std::string> formulas;
    for (size_t at = fods.find("table:formula=\""); at != std::string::npos;
         at = fods.find("table:formula=\"", at + 1)) {
        const size_t from = at + 15;
        formulas.push_back(fods.substr(from, fods.find('"', from) - from));
    }
    EXPECT_EQ(formulas,
              (std::vector<std::string>{
                  "of:=SUM([.S2:.S3])", "of:=SUM([.T2:.T3])", "of:=SUM([.U2:.U3])", "of:=SUM([.V2:.V3])",
                  "of:=SUM([.AA2:.AA3])", "of:=SUM([.AB2:.AB3])", "of:=SUM([.AC2:.AC3])",
                  "of:=SUM([.AD2:.AD3])", "of:=SUM([.AE2:.AE3])", "of:=SUM([.AF2:.AF3])",
                  "of:=SUM([.AG2:.AG3])", "of:=SUM([.AH2:.AH3])", "of:=SUM([.AI2:.AI3])"}));
}

// Each reader takes its own line only (a message, the old text form or the other shape is none of its), and
// a line reads back as written, a name that is no valid UTF-8 included.
TEST(TopluProtokol, EachReaderTakesItsOwnLineAndReadsItBackAsWritten) {
    TopluSonuc s;
    s.durum = kStatusWarning;
    s.toplam = 3;
    s.hesaplanan = 2;
    s.hesaplanamayan = 1;
    s.uyarili = 1;
    s.durduruldu = true;
    s.sonucTablosu = "/tmp/Şube \"A\".xlsx";
    s.birlesikPdfler = {"Tümü – Kıdem Bordrosu.pdf"};
    s.ozet = {{"İptal", "2 / 3 satırdan sonra durduruldu"}};
    const std::string ozet = OzetSatiri(s);
    const std::string ilerleme = IlerlemeSatiri({2, 3, "Ayşe\n\xff"});
    struct Case {
        std::string line;
        bool progress, summary;
    } const cases[] = {
        {ilerleme, true, false},
        {ozet, false, true},
        {"pamerol-hesap: \"p.csv\" okunamadı", false, false},
        {"ilerleme 1 4 Ayşe Yılmaz", false, false},
        {"{\"ilerleme\":3}", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IlerlemeOku(c.line).has_value(), c.progress) << c.line;
        EXPECT_EQ(OzetOku(c.line).has_value(), c.summary) << c.line;
    }
    EXPECT_EQ(ilerleme.back(), '\n');
    EXPECT_EQ(std::count(ilerleme.begin(), ilerleme.end(), '\n'), 1);
    const auto i = IlerlemeOku(ilerleme);
    EXPECT_EQ(i->bitti, 2u);
    EXPECT_EQ(i->toplam, 3u);
    EXPECT_EQ(i->ad, "Ayşe\n\xEF\xBF\xBD");
    const auto back = OzetOku(ozet);
    EXPECT_EQ(back->durum, kStatusWarning);
    EXPECT_EQ(std::tie(back->toplam, back->hesaplanan, back->hesaplanamayan, back->uyarili, back->durduruldu),
              std::tie(s.toplam, s.hesaplanan, s.hesaplanamayan, s.uyarili, s.durduruldu));
    EXPECT_EQ(back->sonucTablosu, s.sonucTablosu);
    EXPECT_EQ(back->birlesikPdfler, s.birlesikPdfler);
    EXPECT_EQ(back->ozet, s.ozet);
}

// Where each legal figure of a case came from travels with its calculation: given by the case, taken from
// the table for its exit date (with the period and sources), or left as the settings had it.
TEST(Vaka, TheCalculationKnowsWhereEachFigureCameFrom) {
    const auto table = YasalDegerler::Load(PAMEROL_SOURCE_DIR "/figures/yasal-degerler.csv");
    ASSERT_TRUE(table) << table.error().message;
    Vaka vaka;
    VakaHesapla(
        vaka, nullptr,
        {{"GTarih", "15.03.2004"}, {"CTarih", "14.09.2007"}, {"ESUCRET", "2.000,00"}, {"DVOR", "6,6"}},
        {&*table});
    const Hesap* h = vaka.sheet.record().hesap();
    ASSERT_TRUE(h);
    using O = FigureOrigin;
    EXPECT_EQ(h->kaynaklar[Field::DVOR].kind, O::TypedForCase);
    EXPECT_EQ(h->kaynaklar[Field::TAV].kind, O::Table);
    EXPECT_EQ(h->kaynaklar[Field::TAV].period, "01.07.2007 – 31.12.2007");
    EXPECT_FALSE(h->kaynaklar[Field::TAV].sources.empty());
    EXPECT_EQ(h->kaynaklar[Field::O1].kind, O::Table);
}
