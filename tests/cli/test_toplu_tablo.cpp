// SPDX-License-Identifier: GPL-3.0-or-later
// The companion's --toplu-tablo on files the tests write: every row's results equal the single case's for
// the same inputs, the totals row equals the sum of the rows, and an output or input that cannot be used
// stops the run before anything is written. The legal table is the one beside the test executable.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>

#include "archive/archive.h"
#include "base/conversions.h"
#include "base/files.h"
#include "calc/fields.h"
#include "cli/toplu_tablo.h"
#include "companion_run.h"
#include "sheet/profile.h"
#include "tests/common/temp_folder.h"
#include "toplu/calisma_kilidi.h"
#include "toplu/dokum_listesi.h"
#include "toplu/tablo_oku.h"
#include "toplu/tablo_yaz.h"

using namespace pamerol;
using namespace pamerol::testing;
using Json = nlohmann::ordered_json;

namespace {

// One employee as the clerk's file gives it and as the single case is given it.
struct Employee {
    std::vector<std::string> cells; // Adı Soyadı, Giriş Tarihi, Çıkış Tarihi, En Son Brüt Ücret, İlave Ücret
    std::vector<std::string> single; // the same inputs as the window shows them
};

const char* kHeader = "Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret;İlave Ücret";

std::string WriteTable(const std::string& header, const std::vector<Employee>& rows, char sep) {
    std::string text = header;
    for (char& c : text)
        if (c == ';') c = sep;
    text += "\r\n";
    for (const Employee& e : rows) {
        for (size_t i = 0; i < e.cells.size(); ++i) {
            if (i > 0) text += sep;
            text += '"' + e.cells[i] + '"';
        }
        text += "\r\n";
    }
    return text;
}

void Save(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The results file as rows of cells by column title.
std::vector<std::map<std::string, std::string>> Results(const std::string& path) {
    std::string text = Load(path);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);
    const auto rows = CsvHucreleri(std::string_view(text).substr(3), ';');
    std::vector<std::map<std::string, std::string>> out;
    for (size_t r = 1; r < rows.size(); ++r) {
        std::map<std::string, std::string> row;
        for (size_t c = 0; c < rows[0].size() && c < rows[r].size(); ++c) row[rows[0][c]] = rows[r][c];
        out.push_back(row);
    }
    return out;
}

// The single-case companion's fields for the same inputs.
Json Single(std::vector<std::string> args) {
    const Outcome o = Companion(args);
    return Json::parse(o.out);
}

long long Kurus(const std::string& amount) {
    auto v = ParseNumber(amount);
    return v ? std::llround(*v * 100) : 0;
}

// Every row of the results equals the single case of its employee, and the totals row their sum.
void ExpectEqualsSingleCases(const std::vector<std::map<std::string, std::string>>& results,
                             const std::vector<Employee>& rows, const std::vector<std::string>& common) {
    ASSERT_EQ(results.size(), rows.size() + 1);
    const auto titles = SonucBasliklari();
    const auto& fields = SonucAlanlari();
    std::map<Field, long long> sums;
    for (size_t i = 0; i < rows.size(); ++i) {
        std::vector<std::string> args = common;
        args.insert(args.end(), rows[i].single.begin(), rows[i].single.end());
        args.push_back("txtAdiSoyadi=" + rows[i].cells[0]);
        const Json single = Single(args);
        const bool calculated = single["Command3"].get<bool>();
        EXPECT_EQ(results[i].at("Sıra"), std::to_string(i + 1));
        EXPECT_EQ(results[i].at("Hata").empty(), calculated) << i << ": " << results[i].at("Hata");
        for (size_t c = 0; c < fields.size(); ++c) {
            const bool result =
                std::find(kResultFields.begin(), kResultFields.end(), fields[c]) != kResultFields.end();
            const std::string want =
                result && !calculated
                    ? ""
                    : single["fields"][std::string(FieldName(fields[c]))].get<std::string>();
            EXPECT_EQ(results[i].at(titles[c + 1]), want) << "row " << i + 1 << " " << titles[c + 1];
        }
        if (calculated)
            for (Field f : ToplananAlanlar())
                sums[f] += Kurus(
                    results[i].at(titles[1 + (std::find(fields.begin(), fields.end(), f) - fields.begin())]));
    }
    const auto& totals = results.back();
    EXPECT_EQ(totals.at("Sıra"), "TOPLAM");
    for (Field f : ToplananAlanlar()) {
        const std::string& title = titles[1 + (std::find(fields.begin(), fields.end(), f) - fields.begin())];
        EXPECT_EQ(Kurus(totals.at(title)), sums[f]) << title;
        EXPECT_EQ(totals.at(title), *AmountText(static_cast<double>(sums[f]) / 100)) << title;
    }
}

std::vector<Employee> SomeEmployees() {
    return {
        {{"Ali Veli", "15.03.2004", "14.09.2007", "2.000,00 TL", ""},
         {"GTarih=15.03.2004", "CTarih=14.09.2007", "ESUCRET=2.000,00"}},
        {{"Şükrü Öztürk", "1.1.2015", "31.12.2024", "45000.5", "1.250,00"},
         {"GTarih=01.01.2015", "CTarih=31.12.2024", "ESUCRET=45.000,50", "IUCRET=1.250,00"}},
        // Under the ceiling, above it, under one year, on the first day of a new ceiling.
        {{"Çağla İnce", "2.5.2019", "1.7.2025", "120.000", ""},
         {"GTarih=02.05.2019", "CTarih=01.07.2025", "ESUCRET=120.000,00"}},
        {{"Ömer Ğ", "10.10.2023", "09.06.2024", "30.000,00", ""},
         {"GTarih=10.10.2023", "CTarih=09.06.2024", "ESUCRET=30.000,00"}},
        {{"Işıl Ü", "01.01.2000", "01.01.2026", "64.948,77", "0"},
         {"GTarih=01.01.2000", "CTarih=01.01.2026", "ESUCRET=64.948,77", "IUCRET=0,00"}},
        // No entry date: the sheet refuses it with its own message, the others stand.
        {{"Giriş Yok", "", "01.01.2024", "1000", ""}, {"CTarih=01.01.2024", "ESUCRET=1.000,00"}},
    };
}

} // namespace

TEST(TopluTabloCompanion, EveryRowEqualsTheSingleCaseInEveryEncodingAndSeparator) {
    const auto rows = SomeEmployees();
    for (const auto& [name, sep, cp1254] :
         {std::tuple{"utf8-semicolon", ';', false}, std::tuple{"cp1254-comma", ',', true},
          std::tuple{"utf8-comma", ',', false}, std::tuple{"cp1254-semicolon", ';', true}}) {
        SCOPED_TRACE(name);
        TempFolder dir;
        const std::string text = WriteTable(kHeader, rows, sep);
        Save(dir.file("personel.csv"), cp1254 ? Utf8ToCp1254(text) : "\xEF\xBB\xBF" + text);
        const Outcome o =
            Companion({"--toplu-tablo", dir.file("personel.csv"), "--cikti", dir.file("sonuc.csv")});
        EXPECT_EQ(o.status, 1) << o.err; // the row without an entry date
        EXPECT_NE(o.out.find("Hesaplanan: 5\nHesaplanamayan: 1\nAtlanan boş satır: 0\n"), std::string::npos)
            << o.out;
        EXPECT_NE(o.out.find("Personelin Giriş Çıkış Tarihleri Geçersiz."), std::string::npos) << o.out;
        ExpectEqualsSingleCases(Results(dir.file("sonuc.csv")), rows, {"--yasal-degerler", "Option1=1"});
    }
}

TEST(TopluTabloCompanion, AThousandRowsInOrderWithTheirSums) {
    std::vector<Employee> rows;
    for (int i = 0; i < 1000; ++i) {
        const int day = 1 + i % 28, month = 1 + i % 12, year = 1995 + i % 29;
        const std::string entry =
            std::to_string(day) + "." + std::to_string(month) + "." + std::to_string(year);
        char entryText[16];
        std::snprintf(entryText, sizeof entryText, "%02d.%02d.%04d", day, month, year);
        const std::string exit = i % 3 ? "31.12.2024" : "30.06.2025";
        const double wage = 17002.12 + 97.31 * i;
        const std::string wageText = *AmountText(wage);
        rows.push_back({{"Personel " + std::to_string(i + 1), entry, exit, wageText, ""},
                        {std::string("GTarih=") + entryText, "CTarih=" + exit, "ESUCRET=" + wageText}});
    }
    TempFolder dir;
    Save(dir.file("bin.csv"), WriteTable(kHeader, rows, ';'));
    const Outcome o = Companion({"--toplu-tablo", dir.file("bin.csv"), "--cikti", dir.file("bin-sonuc.csv")});
    EXPECT_EQ(o.status, 0) << o.err << o.out;
    const auto results = Results(dir.file("bin-sonuc.csv"));
    for (size_t i = 0; i + 1 < results.size(); ++i)
        ASSERT_EQ(results[i].at("Adı Soyadı"), "Personel " + std::to_string(i + 1));
    ExpectEqualsSingleCases(results, rows, {"--yasal-degerler", "Option1=1"});
}

// The year-end provision; the table lacks the ceiling of the second half of 2026, so on 31.12.2026 the
// rows at or under the first half's 64.948,77 are computed with a note and the one above it (120.000,00)
// is named, its severance empty and its notice pay computed.
TEST(TopluTabloCompanion, AReferenceExitDateComputesTheProvision) {
    const struct {
        const char* date;
        int status;
        std::vector<std::string> summary; // lines the summary holds
    } cases[] = {
        {"30.06.2026", 0, {}},
        {"31.12.2026",
         3,
         {"Tavanı tabloda olmayan, son tavanın altında hesaplanan satır: 4 ",
          "Kıdem tazminatı hesaplanmayan satır: 1 ",
          "Sıra 3, tablodaki 4. satır (Çağla İnce): Kıdem tazminatı hesaplanmadı: 01.07.2026 – 31.12.2026 "
          "dönemi için"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        auto rows = SomeEmployees();
        rows.pop_back();
        for (Employee& e : rows) {
            e.cells[2] = "bozuk tarih"; // ignored under a reference date
            e.single[1] = std::string("CTarih=") + c.date;
        }
        TempFolder dir;
        Save(dir.file("p.csv"), WriteTable(kHeader, rows, ';'));
        const Outcome o = Companion(
            {"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--cikis-tarihi", c.date});
        EXPECT_EQ(o.status, c.status) << o.err << o.out;
        EXPECT_NE(o.out.find(std::string("Referans çıkış tarihi: ") + c.date), std::string::npos) << o.out;
        EXPECT_NE(o.out.find("\"Çıkış Tarihi\" sütunu kullanılmadı"), std::string::npos) << o.out;
        for (const std::string& line : c.summary)
            EXPECT_NE(o.out.find("\n" + line), std::string::npos) << o.out;
        const auto results = Results(dir.file("s.csv"));
        ExpectEqualsSingleCases(results, rows, {"--yasal-degerler", "Option1=1"});
        for (size_t i = 0; i < rows.size(); ++i) {
            const bool above = c.status == 3 && rows[i].cells[0] == "Çağla İnce";
            EXPECT_EQ(results[i].at("Ödenecek Kıdem Tazminatı").empty(), above) << rows[i].cells[0];
            EXPECT_FALSE(results[i].at("Ödenecek İhbar Tazminatı").empty()) << rows[i].cells[0];
            EXPECT_EQ(results[i].at("Uyarı").empty(), c.status == 0) << rows[i].cells[0];
        }
    }
}

// Rows counted from premium days take the legal figures of their exit date (or of the reference date),
// as the single case given the same exit date does; without a settings file.
TEST(TopluTabloCompanion, PremiumDayRowsTakeTheFiguresOfTheirExitDate) {
    const std::vector<Employee> rows = {
        {{"Prim Bir", "4000", "30.06.2026", "45.000,00", ""},
         {"Option2=1", "TGUN=4000", "CTarih=30.06.2026", "ESUCRET=45.000,00"}},
        {{"Prim İki", "900", "15.03.2012", "2.500,00", ""},
         {"Option2=1", "TGUN=900", "CTarih=15.03.2012", "ESUCRET=2.500,00"}},
    };
    TempFolder dir;
    Save(dir.file("p.csv"),
         WriteTable("Adı Soyadı;Çalıştığı Toplam Gün;Çıkış Tarihi;En Son Brüt Ücret;İlave Ücret", rows, ';'));
    const Outcome o = Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv")});
    EXPECT_EQ(o.status, 0) << o.err << o.out;
    const auto results = Results(dir.file("s.csv"));
    EXPECT_EQ(results.at(0).at("Kıdem Tazminatı Tavanı"), "64948,77");
    EXPECT_EQ(results.at(1).at("Kıdem Tazminatı Tavanı"), "2917,27");
    ExpectEqualsSingleCases(results, rows, {"--yasal-degerler"});
}

TEST(TopluTabloCompanion, ASettingsFileGivesEveryRowItsFigures) {
    auto rows = SomeEmployees();
    rows.resize(2);
    TempFolder dir;
    Save(dir.file("p.csv"), WriteTable(kHeader, rows, ';'));
    const std::string ini = PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini";
    const Outcome o =
        Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--ayar", ini});
    EXPECT_EQ(o.status, 3) << o.err << o.out; // the 2026 figures on exits of 2007 and 2024, named
    EXPECT_NE(o.out.find("ayar dosyasındaki değerler"), std::string::npos) << o.out;
    ExpectEqualsSingleCases(Results(dir.file("s.csv")), rows, {"--ayar", ini, "Option1=1"});
}

TEST(TopluTabloCompanion, AFigureThatIsNotTheLawIsAWarning) {
    std::vector<Employee> rows = {
        {{"Tavanlı", "15.03.2004", "14.09.2007", "2.000,00", "1.000,00"},
         {"GTarih=15.03.2004", "CTarih=14.09.2007", "ESUCRET=2.000,00", "TAV=1000"}},
    };
    TempFolder dir;
    Save(dir.file("p.csv"),
         WriteTable("Adı Soyadı;Giriş Tarihi;Çıkış Tarihi;En Son Brüt Ücret;Kıdem Tazminatı Tavanı", rows,
                    ';'));
    const Outcome o = Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv")});
    EXPECT_EQ(o.status, 3) << o.err << o.out;
    const auto results = Results(dir.file("s.csv"));
    EXPECT_FALSE(results.at(0).at("Uyarı").empty());
    EXPECT_EQ(results.at(0).at("Kıdem Tazminatı Tavanı"), "1.000,00");
    EXPECT_EQ(results.at(0).at("Hata"), "");
}

TEST(TopluTabloCompanion, NothingIsWrittenWhenTheRunCannotStart) {
    TempFolder dir;
    const auto rows = SomeEmployees();
    Save(dir.file("p.csv"), WriteTable(kHeader, rows, ';'));
    Save(dir.file("var.csv"), "eski");
    Save(dir.file("kitap.csv"), std::string("PK\x03\x04zip", 7)); // a workbook under a CSV name
    Save(dir.file("bos.csv"), "");
    Save(dir.file("eksik.csv"), "Adı Soyadı;Giriş Tarihi;Çıkış Tarihi\nA;01.01.2020;01.01.2024\n");
    struct Case {
        std::vector<std::string> args;
        std::string message;
        std::string untouched; // a file that must stay as it was, or not come to be
    } cases[] = {
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("var.csv")},
         "zaten var; üzerine yazmak için",
         dir.file("var.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("yok/s.csv")},
         "klasörü",
         dir.file("yok/s.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.txt")},
         ".xlsx, .ods ya da .csv ile bitmeli",
         dir.file("s.txt")},
        {{"--toplu-tablo", dir.file("kitap.csv"), "--cikti", dir.file("s.csv")},
         "\"" + dir.file("kitap.csv") + "\": bir CSV dosyası değil",
         dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("bos.csv"), "--cikti", dir.file("s.csv")},
         "\"" + dir.file("bos.csv") + "\": dosya boş",
         dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("eksik.csv"), "--cikti", dir.file("s.csv")},
         "gerekli sütun yok: \"En Son Brüt Ücret\"",
         dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("hic.csv"), "--cikti", dir.file("s.csv")},
         "okunamadı",
         dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--cikis-tarihi", "31.13.2026"},
         "--cikis-tarihi",
         dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("p.csv")}, "birlikte verilir", dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--yasal-degerler", "--ayar",
          "x.ini"},
         "Ayarlar okunamadı: x.ini",
         dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "ESUCRET=1"},
         "yalnız --cikti",
         dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--pdf-klasoru", dir.file("pdf")},
         "--pdf-klasoru KLASÖR ve --dokum",
         dir.file("pdf")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--dokum", "kidem,bordro"},
         "\"kidem,bordro\" değil",
         dir.file("s.csv")},
        // A paper of the run that exists already is not replaced: nothing starts.
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--pdf-klasoru", dir.file("eski"),
          "--dokum", "ihbar,kidem"},
         "Şükrü Öztürk – Kıdem Bordrosu.pdf\" zaten var",
         dir.file("s.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--arsiv", dir.file("bozuk.db")},
         "bir Pamerol arşivi değil",
         dir.file("s.csv")},
        // A link where a paper, a combined PDF or the results would go is refused, even with --uzerine-yaz
        // and when it points nowhere: nothing is written where it points.
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--pdf-klasoru", dir.file("bag"),
          "--dokum", "kidem", "--uzerine-yaz"},
         "\"" + dir.file("bag/002 Şükrü Öztürk – Kıdem Bordrosu.pdf") + "\" bir sembolik bağlantı",
         dir.file("disari.pdf")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--pdf-klasoru", dir.file("bag"),
          "--dokum", "ihbar", "--uzerine-yaz"},
         "\"" + dir.file("bag/Tümü – İhbar Bordrosu.pdf") + "\" bir sembolik bağlantı",
         dir.file("var.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--pdf-klasoru",
          dir.file("kilit"), "--dokum", "kidem"},
         "\"" + dir.file("kilit/.pamerol-kilit") + "\" bir sembolik bağlantı",
         dir.file("disari.pdf")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("bag.csv"), "--uzerine-yaz"},
         "\"" + dir.file("bag.csv") + "\" bir sembolik bağlantı",
         dir.file("disari.csv")},
        // The results never go over the table read or the archive and its files, however they are named.
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("yok/../p.csv"), "--uzerine-yaz"},
         "okunan tablonun kendisi olamaz",
         dir.file("p.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("a.csv"), "--arsiv", dir.file("./a.csv")},
         "arşiv ya da arşivin dosyalarından biri olamaz",
         dir.file("a.csv")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("w.csv"), "--arsiv", dir.file("a.db"),
          "--uzerine-yaz"},
         "(\"" + dir.file("a.db-wal") + "\")",
         dir.file("a.db-wal")},
        {{"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"), "--arsiv", dir.file("p.csv")},
         "arşiv okunan tablonun kendisi olamaz",
         dir.file("p.csv")},
    };
    std::filesystem::create_directory(dir.file("eski"));
    std::filesystem::create_directory(dir.file("bag"));
    std::filesystem::create_symlink(dir.file("disari.pdf"),
                                    dir.file("bag/002 Şükrü Öztürk – Kıdem Bordrosu.pdf"));
    std::filesystem::create_symlink(dir.file("var.csv"), dir.file("bag/Tümü – İhbar Bordrosu.pdf"));
    std::filesystem::create_symlink(dir.file("disari.csv"), dir.file("bag.csv"));
    std::filesystem::create_directory(dir.file("kilit"));
    std::filesystem::create_symlink(dir.file("disari.pdf"), dir.file("kilit/.pamerol-kilit"));
    Save(dir.file("a.db-wal"), "wal");
    std::filesystem::create_hard_link(dir.file("a.db-wal"), dir.file("w.csv"));
    Save(dir.file("eski/002 Şükrü Öztürk – Kıdem Bordrosu.pdf"), "eski");
    Save(dir.file("bozuk.db"), std::string(4096, 'x'));
    for (const Case& c : cases) {
        const bool existed = std::filesystem::exists(c.untouched);
        const std::string before = existed ? Load(c.untouched) : "";
        const Outcome o = Companion(c.args);
        EXPECT_EQ(o.status, 2) << c.message;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(std::filesystem::exists(c.untouched), existed) << c.untouched;
        if (existed) {
            EXPECT_EQ(Load(c.untouched), before) << c.untouched;
        }
    }
    // No paper was started beside the links.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("bag")), {}), 2);
    // Asked to, the existing file is replaced.
    const Outcome o =
        Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("var.csv"), "--uzerine-yaz"});
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_EQ(Results(dir.file("var.csv")).size(), rows.size() + 1);
}

// The preview the window shows before a run: the header, each column's match ("" for none), the first 20
// rows as written, the count, and a missing required column said rather than refused.
TEST(TopluTabloCompanion, PreviewShowsMatchesAndTheFirstRowsWithoutComputing) {
    TempFolder dir;
    std::string many = "Ad;Soyad;İşe Giriş;Brüt Ücret;Departman\n";
    for (int i = 1; i <= 25; ++i) many += "Ad" + std::to_string(i) + ";S;1.1.2020;1000;\n";
    Save(dir.file("p.csv"), many);
    const Outcome o = Companion({"--toplu-tablo", dir.file("p.csv"), "--onizleme"});
    ASSERT_EQ(o.status, 0) << o.err;
    const Json j = Json::parse(o.out);
    EXPECT_EQ(j["basliklar"], Json({"Ad", "Soyad", "İşe Giriş", "Brüt Ücret", "Departman"}));
    EXPECT_EQ(j["eslesmeler"], Json({"Ad", "Soyad", "Giriş Tarihi", "En Son Aylık Brüt Ücreti", ""}));
    EXPECT_EQ(j["satirlar"].size(), 20u);
    EXPECT_EQ(j["satirlar"][19][0], "Ad20");
    EXPECT_EQ(j["satirSayisi"], 25);
    EXPECT_EQ(j["eksik"], "gerekli sütun yok: \"Çıkış Tarihi\"");
    // With a reference exit date nothing is missing.
    const Outcome ref =
        Companion({"--toplu-tablo", dir.file("p.csv"), "--onizleme", "--cikis-tarihi", "31.12.2026"});
    EXPECT_EQ(Json::parse(ref.out)["eksik"], "");
    // An exit date column under a reference date is matched, and named as left aside.
    Save(dir.file("c.csv"), "Ad;Çıkış Tarihi;Brüt Ücret\nA;1.1.2020;1000\n");
    const Outcome aside =
        Companion({"--toplu-tablo", dir.file("c.csv"), "--onizleme", "--cikis-tarihi", "31.12.2026"});
    EXPECT_EQ(Json::parse(aside.out)["eslesmeler"], Json({"Ad", "", "En Son Aylık Brüt Ücreti"}));
    EXPECT_EQ(Json::parse(aside.out)["kullanilmayanlar"], Json({"", "Çıkış Tarihi", ""}));
    Save(dir.file("bos.csv"), "");
    const Outcome empty = Companion({"--toplu-tablo", dir.file("bos.csv"), "--onizleme"});
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.out, "");
    EXPECT_NE(empty.err.find("dosya boş"), std::string::npos);
}

TEST(TopluTabloCompanion, PaperFileNamesHoldOnlyWhatAFileNameCan) {
    const std::tuple<size_t, size_t, std::string, Dokum, std::string> rows[] = {
        {7, 40, "Ayşe Yılmaz", Dokum::Kidem, "007 Ayşe Yılmaz – Kıdem Bordrosu.pdf"},
        {12, 1500, "A/B\\C:D*E?F\"G<H>I|J", Dokum::Ihbar, "0012 A_B_C_D_E_F_G_H_I_J – İhbar Bordrosu.pdf"},
        {1, 1, "  ..Ali\r\nVeli.  ", Dokum::Ibraname, "001 Ali__Veli – İbraname.pdf"},
        {2, 3, "", Dokum::Kidem, "002 Adsız – Kıdem Bordrosu.pdf"},
        {3, 3, "..", Dokum::Kidem, "003 Adsız – Kıdem Bordrosu.pdf"},
    };
    for (const auto& [sira, toplam, name, dokum, expected] : rows) {
        EXPECT_EQ(DokumDosyaAdi(sira, toplam, name, dokum), expected);
    }
    // A long name is cut at a whole character.
    std::string longName;
    for (int i = 0; i < 100; ++i) longName += "Ş";
    const std::string cut = DokumDosyaAdi(1, 1, longName, Dokum::Kidem);
    EXPECT_EQ(cut, "001 " + longName.substr(0, 150) + " – Kıdem Bordrosu.pdf");
}

// The results take the mode the folder gives any new file (0666 less the umask), and a results file run
// over keeps its own.
TEST(TopluTabloCompanion, ResultsTakeTheFoldersUsualModeAndAReplacedFileKeepsItsOwn) {
    const struct {
        mode_t umask;
        std::optional<mode_t> before; // the mode of a results file there already
        mode_t after;
    } rows[] = {
        {002, std::nullopt, 0664},
        {077, std::nullopt, 0600},
        {022, 0640, 0640},
        {077, 0664, 0664},
    };
    auto employees = SomeEmployees();
    employees.resize(1);
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << std::oct << r.umask);
        TempFolder dir;
        Save(dir.file("p.csv"), WriteTable(kHeader, employees, ';'));
        std::vector<std::string> args = {"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv")};
        if (r.before) {
            Save(dir.file("s.csv"), "eski");
            ::chmod(dir.file("s.csv").c_str(), *r.before);
            args.push_back("--uzerine-yaz");
        }
        const mode_t was = ::umask(r.umask);
        const Outcome o = Companion(args);
        ::umask(was);
        EXPECT_EQ(o.status, 0) << o.err;
        struct stat st {};
        ASSERT_EQ(::stat(dir.file("s.csv").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, r.after) << std::oct << (st.st_mode & 07777);
    }
}

// Made again under its name, a run replaces the cases it stored in the archive and says so; under another
// name it adds its own.
TEST(TopluTabloCompanion, ARunMadeAgainUnderItsNameReplacesItsCases) {
    auto employees = SomeEmployees();
    employees.resize(2);
    TempFolder dir;
    Save(dir.file("p.csv"), WriteTable(kHeader, employees, ';'));
    const struct {
        const char* name;
        bool replaces;
        int cases; // in the archive afterwards
    } rows[] = {{"Haziran", false, 2}, {"Haziran", true, 2}, {"Temmuz", false, 4}};
    for (const auto& r : rows) {
        const Outcome o = Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"),
                                     "--uzerine-yaz", "--arsiv", dir.file("a.db"), "--toplu-adi", r.name});
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out.find("2 kişinin bu adla önceden kaydedilen vakası yenisiyle değiştirildi") !=
                      std::string::npos,
                  r.replaces)
            << o.out;
        auto archive = Archive::open(dir.file("a.db"));
        ASSERT_TRUE(archive);
        EXPECT_EQ((*archive)->search({})->size(), static_cast<size_t>(r.cases)) << r.name;
    }
}

namespace {

// A lock file as a run of another process would have left it.
std::string LockText(const std::string& host, long pid, unsigned long long start) {
    return "Pamerol toplu hesap kilidi\ntopluAdi=Eski Hesap\nkullanici=ayse\nmakine=" + host +
           "\npid=" + std::to_string(pid) + "\nsurec=" + std::to_string(start) +
           "\nbaslangic=07.12.2026 16:40\n";
}

std::string Host() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

// The id of a process that has ended.
long EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

// One run at a time on a papers' folder and on an archive: a lock that a running run holds refuses the
// run before anything is written and says whose it is; a lock whose process has ended on this machine is
// taken over; every lock is let go when the run ends.
TEST(TopluTabloCompanion, OneRunAtATimeOnAFolderAndAnArchive) {
    enum class On { Folder, Archive };
    const struct {
        const char* what;
        On on;
        std::function<std::unique_ptr<CalismaKilidi>(const std::string& lock)> hold;
        std::string refused; // the message, or empty: the run goes on
    } rows[] = {
        {"a run holds the folder", On::Folder,
         [](const std::string& lock) { return std::move(*CalismaKilidi::Al(lock, "klasör", "Birinci")); },
         "başka bir toplu hesabın kullanımında: \"Birinci\" (kullanıcı "},
        {"a run holds the archive", On::Archive,
         [](const std::string& lock) { return std::move(*CalismaKilidi::Al(lock, "arşiv", "Birinci")); },
         "başka bir toplu hesabın kullanımında: \"Birinci\""},
        {"a process of this machine that runs, where the file system holds no lock", On::Archive,
         [](const std::string& lock) {
             Save(lock, LockText(Host(), ::getpid(), ProcessStart(::getpid()).value_or(0)));
             return nullptr;
         },
         "\"Eski Hesap\" (kullanıcı ayse, bilgisayar " + Host() + ", süreç " + std::to_string(::getpid())},
        {"another machine's run", On::Archive,
         [](const std::string& lock) {
             Save(lock, LockText("muhasebe-3", 4242, 1));
             return nullptr;
         },
         "O hesap artık çalışmıyorsa (muhasebe-3 kapandıysa"},
        {"a process that has ended", On::Archive,
         [](const std::string& lock) {
             Save(lock, LockText(Host(), EndedProcess(), 1));
             return nullptr;
         },
         ""},
        {"a later process given the ended one's id", On::Archive,
         [](const std::string& lock) {
             Save(lock, LockText(Host(), ::getpid(), 1));
             return nullptr;
         },
         ""},
    };
    auto employees = SomeEmployees();
    employees.resize(1);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        TempFolder dir;
        Save(dir.file("p.csv"), WriteTable(kHeader, employees, ';'));
        std::filesystem::create_directory(dir.file("pdf"));
        const std::string lock =
            r.on == On::Folder ? DokumKlasoruKilidi(dir.file("pdf")) : ArsivKilidi(dir.file("a.db"));
        const auto held = r.hold(lock);
        std::vector<std::string> args = {"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv")};
        if (r.on == On::Folder)
            args.insert(args.end(), {"--pdf-klasoru", dir.file("pdf"), "--dokum", "kidem"});
        else
            args.insert(args.end(), {"--arsiv", dir.file("a.db")});
        const Outcome o = Companion(args);
        if (r.refused.empty()) {
            EXPECT_EQ(o.status, 0) << o.err;
            EXPECT_FALSE(std::filesystem::exists(lock)); // let go at the end
        } else {
            EXPECT_EQ(o.status, 2);
            EXPECT_NE(o.err.find(r.refused), std::string::npos) << o.err;
            EXPECT_FALSE(std::filesystem::exists(dir.file("s.csv")));
            EXPECT_TRUE(std::filesystem::exists(lock));
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("pdf")), {}),
                      r.on == On::Folder ? 1 : 0);
        }
    }
}

// A run into a folder that holds an earlier run's papers moves them, with that run's list, into a
// subfolder named after that run and its time, and says so; the clerk's own files and links stay, and a
// name the list cannot rightly hold is not followed.
TEST(TopluTabloCompanion, AnEarlierRunsPapersAreMovedAsideAndTheClerksStay) {
    TempFolder dir;
    const std::string pdf = dir.file("pdf");
    std::filesystem::create_directory(pdf);
    for (const char* file : {"001 Ali – Kıdem Bordrosu.pdf", "Tümü – Kıdem Bordrosu.pdf", "benim.pdf"})
        Save(pdf + "/" + file, "eski");
    Save(dir.file("disari.pdf"), "dışarıda");
    std::filesystem::create_symlink(dir.file("disari.pdf"), pdf + "/002 Bağ – Kıdem Bordrosu.pdf");
    {
        auto liste = DokumListesi::Baslat(pdf, "Haziran: kapanış", 1780000000);
        ASSERT_TRUE(liste);
        for (const char* file : {"001 Ali – Kıdem Bordrosu.pdf", "002 Bağ – Kıdem Bordrosu.pdf",
                                 "003 Yok.pdf", "../disari.pdf", "Tümü – Kıdem Bordrosu.pdf"})
            ASSERT_TRUE((*liste)->ekle(file));
    }
    const auto onceki = OncekiCalismaOku(pdf);
    ASSERT_TRUE(onceki);
    EXPECT_EQ(onceki->dosyalar,
              (std::vector<std::string>{"001 Ali – Kıdem Bordrosu.pdf", "Tümü – Kıdem Bordrosu.pdf"}));
    const std::string aside = pdf + "/" + onceki->altKlasor();
    EXPECT_EQ(onceki->altKlasor().rfind("Haziran_ kapanış (", 0), 0u) << onceki->altKlasor();
    // Only rows that are not calculated: nothing to fill, the office not started.
    Save(dir.file("p.csv"), std::string(kHeader) + "\nBozuk;yok;01.01.2024;1000;\n");
    const Outcome o = Companion({"--toplu-tablo", dir.file("p.csv"), "--cikti", dir.file("s.csv"),
                                 "--pdf-klasoru", pdf, "--dokum", "kidem", "--toplu-adi", "Temmuz"});
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_NE(o.out.find("Önceki dökümler: 2 dosya (\"Haziran: kapanış\" toplu hesabının) \"" + aside +
                         "\" klasörüne taşındı"),
              std::string::npos)
        << o.out;
    for (const char* file : {"001 Ali – Kıdem Bordrosu.pdf", "Tümü – Kıdem Bordrosu.pdf"}) {
        EXPECT_EQ(Load(aside + "/" + file), "eski") << file;
        EXPECT_FALSE(std::filesystem::exists(pdf + "/" + file)) << file;
    }
    EXPECT_NE(Load(aside + "/.pamerol-dokumler").find("topluAdi=Haziran: kapanış\n"), std::string::npos);
    EXPECT_EQ(Load(pdf + "/benim.pdf"), "eski");
    EXPECT_TRUE(std::filesystem::is_symlink(pdf + "/002 Bağ – Kıdem Bordrosu.pdf"));
    EXPECT_EQ(Load(dir.file("disari.pdf")), "dışarıda");
    // The new list is this run's, with none of its papers yet; a second run finds nothing to move.
    EXPECT_NE(Load(pdf + "/.pamerol-dokumler").find("topluAdi=Temmuz\n"), std::string::npos);
    EXPECT_FALSE(OncekiCalismaOku(pdf));
}
