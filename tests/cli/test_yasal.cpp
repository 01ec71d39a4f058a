// SPDX-License-Identifier: GPL-3.0-or-later
// The companion with --yasal-degerler: the table beside the test executable (build/bin) is the shipped one.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/companion.h"
#include "tests/common/temp_folder.h"

using namespace pamerol;
using Json = nlohmann::ordered_json;

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Companion(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    int status = RunCompanion(args, in, out, err);
    return {status, out.str(), err.str()};
}

std::vector<Json> Lines(const std::string& out) {
    std::vector<Json> lines;
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) lines.push_back(Json::parse(l));
    return lines;
}

} // namespace

// Published worked examples, each case given only its dates and wage: every legal figure comes from the
// table. Where the page prints whole lira only, the kuruş are the program's.
TEST(CompanionYasal, PublishedWorkedExamples) {
    const struct {
        const char* address;
        std::vector<std::string> args;
        std::map<std::string, std::string> expected;
    } cases[] = {
        // Ceiling 01.07-31.12.2023: "Çalışılan her yıl için damga vergisi kesilmiş olarak en çok 23 bin 311
        // lira" and, at the minimum wage 13.414,50, "her yıl için 13 bin 312 lira".
        {"https://www.takvim.com.tr/ekonomi/2023/10/31/"
         "ve-sartlar-netlesti-istifa-edip-tazminat-almanin-5-yolu-aciklandi-8-eylul-1999-ve-30-nisan-2008-"
         "tarihleri",
         {"GTarih=01.10.2022", "CTarih=30.09.2023", "ESUCRET=30.000,00"},
         {{"BKTAZ", "23.489,83"}, {"DVER", "178,29"}, {"NET", "23.311,54"}}},
        {"https://www.takvim.com.tr/ekonomi/2023/10/31/"
         "ve-sartlar-netlesti-istifa-edip-tazminat-almanin-5-yolu-aciklandi-8-eylul-1999-ve-30-nisan-2008-"
         "tarihleri",
         {"GTarih=01.10.2022", "CTarih=30.09.2023", "ESUCRET=13.414,50"},
         {{"BKTAZ", "13.414,50"}, {"DVER", "101,82"}, {"NET", "13.312,68"}}},
        // Ceiling 01.07-31.12.2025 "53 bin 919 lira", after stamp duty "en çok 53 bin 510 lira".
        {"https://www.sabah.com.tr/galeri/ekonomi/"
         "son-dakika-emekli-ve-memur-zammi-ile-birlikte-artacak-milyonlara-yeni-maas-geliyor-en-dusuk-"
         "maaslar-ne-"
         "kadar-olacak",
         {"GTarih=01.10.2024", "CTarih=30.09.2025", "ESUCRET=60.000,00"},
         {{"BKTAZ", "53.919,68"}, {"DVER", "409,25"}, {"NET", "53.510,43"}}},
        // First half of 2023: a gross wage of 50.000 earns at most the ceiling 19.982,83 a year.
        {"https://www.yarin11.com/kidem-tazminati-1",
         {"GTarih=01.04.2022", "CTarih=31.03.2023", "ESUCRET=50.000,00"},
         {{"TAV", "19982,83"}, {"BKTAZ", "19.982,83"}}},
        // Notice pay: a daily wage of 40,00 after 3,5 years, 8 weeks: "40,00 TLx56=2.240,00 TL", income tax
        // "en az % 15".
        {"https://www.msenel.av.tr/ihbar-tazminati-hesaplamasi-avukat-izmir/izmir-avukat/",
         {"GTarih=01.01.2013", "CTarih=30.06.2016", "ESUCRET=1.200,00"},
         {{"HIGUNU", "56"}, {"BITZM", "2.240,00"}, {"IGVER", "336,00"}}},
        // "Giydirilmiş brüt aylık: 5400 TL, Çalışma süresi: 10 yıl + 3 ay" gives "54000 + 1500 = 55000 TL"
        // there: the page takes 3 × 5400 / 12 for 1.500, but it is 1.350, so the severance is 55.350,00.
        {"https://milliyet.com.tr/galeri/"
         "2024-kidem-tazminati-tavani-ne-kadar-oldu-kidem-tazminati-hesalama-nasili-neye-gore-yapilir-"
         "7056561/4",
         {"GTarih=01.01.2014", "CTarih=31.03.2024", "ESUCRET=5.400,00"},
         {{"KYILI", "10"}, {"KAYI", "3"}, {"KGUNU", "0"}, {"BKTAZ", "55.350,00"}}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--yasal-degerler"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Outcome r = Companion(args);
        ASSERT_EQ(r.status, 0) << c.address << r.err;
        Json j = Json::parse(r.out);
        for (const auto& [field, text] : c.expected)
            EXPECT_EQ(j["fields"][field], text) << c.address << " " << field;
        EXPECT_TRUE(j["yasalDegerler"]["eksik"].empty()) << c.address;
    }
}

// One exit a year from 2005 to 2026, each a year of service on a wage above the ceiling, so the severance
// is the ceiling in force; the gaps leave TAV empty, and a wage above the table's last ceiling leaves the
// severance empty while the notice pay is computed.
TEST(CompanionYasal, BatchSpanning2005To2026) {
    const std::map<int, const char*> ceiling = {
        {2005, "1.727,15"},  {2006, "1.857,44"},  {2007, "2.030,19"},  {2008, ""},
        {2009, ""},          {2010, "2.517,01"},  {2011, "2.731,85"},  {2012, "3.033,98"},
        {2013, "3.254,44"},  {2014, "3.438,22"},  {2015, "3.709,98"},  {2016, "4.297,21"},
        {2017, "4.732,48"},  {2018, "5.434,42"},  {2019, "6.379,86"},  {2020, "7.117,17"},
        {2021, "8.284,51"},  {2022, "15.371,40"}, {2023, "23.489,83"}, {2024, "41.828,42"},
        {2025, "53.919,68"}, {2026, ""},
    };
    const std::map<int, const char*> firstBracket = {
        {2005, "6600"}, {2009, "8700"}, {2010, "8800"}, {2020, "22000"}, {2026, "190000"}};
    std::string input;
    for (const auto& [year, tav] : ceiling)
        input += "{\"GTarih\":\"01.09." + std::to_string(year - 1) + "\",\"CTarih\":\"31.08." +
                 std::to_string(year) + "\",\"ESUCRET\":\"100.000,00\"}\n";
    input += "{\"Option2\":\"1\",\"TGUN\":\"400\",\"ESUCRET\":\"100\"}\n";
    input += "{\"GTarih\":\"01.09.2006\",\"CTarih\":\"31.08.2007\",\"ESUCRET\":\"3.000\",\"TAV\":\"1960,69\","
             "\"DVOR\":\"6,6\"}\n";
    Outcome r = Companion({"--yasal-degerler", "--toplu"}, input);
    EXPECT_EQ(r.status, 1); // the premium-day line: no exit date to take the figures for
    std::vector<Json> out = Lines(r.out);
    ASSERT_EQ(out.size(), ceiling.size() + 2);
    size_t k = 0;
    for (const auto& [year, tav] : ceiling) {
        const Json& j = out[k++];
        const Json& y = j["yasalDegerler"];
        EXPECT_EQ(y["tarih"], "31.08." + std::to_string(year));
        EXPECT_EQ(j["fields"]["DVOR"], year < 2010 ? "6" : year < 2013 ? "6,6" : "7,59") << year;
        if (auto b = firstBracket.find(year); b != firstBracket.end()) {
            EXPECT_EQ(j["fields"]["VD1"], b->second) << year;
        }
        if (*tav) {
            EXPECT_EQ(j["fields"]["BKTAZ"], tav) << year;
            EXPECT_TRUE(y["eksik"].empty()) << year;
        } else {
            EXPECT_EQ(j["Command3"], true) << year;
            EXPECT_EQ(j["fields"]["TAV"], "") << year;
            EXPECT_EQ(j["fields"]["BKTAZ"], "") << year;
            EXPECT_NE(j["fields"]["ITAZM"], "") << year;
            EXPECT_EQ(y["eksik"], Json::array({"TAV"})) << year;
            EXPECT_NE(y["mesaj"].get<std::string>().find("TAV için"), std::string::npos) << year;
            EXPECT_TRUE(y["uyarilar"].empty()) << year;
            EXPECT_EQ(y["tavanNotu"].get<std::string>().rfind("Kıdem tazminatı hesaplanmadı: ", 0), 0u)
                << year;
        }
    }
    // Premium-day mode: no exit date to take the figures for.
    const Json& premium = out[k++];
    EXPECT_EQ(premium["yasalDegerler"]["tarih"], nullptr);
    EXPECT_TRUE(premium["yasalDegerler"]["yazilan"].empty());
    EXPECT_EQ(premium["yasalDegerler"]["mesaj"],
              "Yasal değerler çıkış tarihine göre getirilir: önce geçerli bir çıkış tarihi girin.");
    // Figures the line gives win over the table, and a differing ceiling is pointed out.
    const Json& given = out[k++];
    EXPECT_EQ(given["fields"]["TAV"], "1960,69");
    EXPECT_EQ(given["fields"]["DVOR"], "6,6");
    EXPECT_EQ(given["fields"]["VD1"], "7500");
    EXPECT_EQ(given["fields"]["BKTAZ"], "1.960,69");
    EXPECT_FALSE(given["yasalDegerler"]["yazilan"].contains("TAV"));
    EXPECT_EQ(given["yasalDegerler"]["tavanUyarisi"],
              "Çıkış tarihinde geçerli tavan 2.030,19; hesapta 1.960,69 kullanıldı.");

    // A gap in the table with the ceiling of a settings file: computed, but never silently.
    const pamerol::testing::TempFolder tmp;
    const std::string ini = tmp.path().string() + "/Pmrl.ini";
    std::ofstream(ini, std::ios::binary) << "[Oranlar]\r\nOran1=7,59\r\nOran2=30\r\nOran3=64948,77\r\n";
    const Outcome gap = Companion(
        {"--ayar", ini, "--yasal-degerler", "GTarih=01.01.2005", "CTarih=15.09.2009", "ESUCRET=100.000,00"});
    const Json gapCase = Json::parse(gap.out);
    EXPECT_EQ(gapCase["fields"]["TAV"], "64948,77");
    EXPECT_EQ(gapCase["yasalDegerler"]["tavanUyarisi"],
              "Çıkış tarihindeki tavan tabloda yok; hesapta 64.948,77 kullanıldı.");
    EXPECT_EQ(gap.status, 3);
    EXPECT_EQ(
        gapCase["yasalDegerler"]["uyarilar"],
        Json::parse(R"([{"alan":"TAV","baslik":"Kıdem Tazminatı Tavanı","kullanilan":"64948,77",)"
                    R"("yururlukte":null,"metin":"Çıkış tarihindeki (15.09.2009) Kıdem Tazminatı Tavanı )"
                    R"(tabloda yok; hesapta 64.948,77 kullanıldı. Kıdem Tazminatı Tavanı değerini )"
                    R"(Sabitler sekmesinde kontrol edin."}])"));
    // Where no severance is due the ceiling is not spoken of at all.
    const Outcome resigned = Companion(
        {"--ayar", ini, "GTarih=01.01.2005", "CTarih=15.09.2009", "ESUCRET=100.000,00", "FESIH=istifa"});
    const Json resignedCase = Json::parse(resigned.out);
    for (const Json& u : resignedCase["yasalDegerler"]["uyarilar"]) EXPECT_NE(u["alan"], "TAV");

    // Figures given that are not the law of the exit date: each named by its caption, status 3; the
    // table's own figures: nothing to warn, status 0.
    const Outcome given2007 = Companion({"--yasal-degerler", "GTarih=15.03.2004", "CTarih=14.09.2007",
                                         "ESUCRET=2.000,00", "TAV=1960,69", "DVOR=6,6", "DL4=60", "DL3=40"});
    EXPECT_EQ(given2007.status, 3);
    std::vector<std::string> named;
    const Json given2007Case = Json::parse(given2007.out);
    for (const Json& u : given2007Case["yasalDegerler"]["uyarilar"])
        named.push_back(u["baslik"].get<std::string>() + " " + u["yururlukte"].get<std::string>());
    EXPECT_EQ(named,
              (std::vector<std::string>{"Damga Vergisi Oranı (Binde) 6", "Kıdem Tazminatı Tavanı 2030,19",
                                        "19-36 Ay İçin 42"})); // 60 days of a contract are no warning
    const Outcome plain2007 =
        Companion({"--yasal-degerler", "GTarih=15.03.2004", "CTarih=14.09.2007", "ESUCRET=2.000,00"});
    EXPECT_EQ(plain2007.status, 0);
    EXPECT_TRUE(Json::parse(plain2007.out)["yasalDegerler"]["uyarilar"].empty());

    // Without the flag nothing is taken from the table.
    Outcome plain = Companion({"--toplu"}, input);
    const std::vector<Json> plainLines = Lines(plain.out);
    EXPECT_EQ(plainLines.size(), ceiling.size() + 2); // a line for every case, or the loop proves nothing
    for (const Json& j : plainLines) EXPECT_FALSE(j.contains("yasalDegerler"));
    EXPECT_NE(Companion({"--help"}).out.find("--yasal-degerler"), std::string::npos);
}

// One policy for the figures of a case's exit date. With the table's figures (with or without a settings
// file) the case takes those of its date, keeps a contract's higher days and the settings' employer; a
// period whose ceiling the table lacks, with none given, is worked out under the table's last ceiling
// when the wage is at or under it, else the severance is left empty and the notice pay computed. With a
// settings file alone its figures are used, each one that is not the law of the date named, and the
// exempt part of the severance capped at the law's ceiling.
TEST(CompanionYasal, OnePolicyForTheFiguresOfTheExitDate) {
    const pamerol::testing::TempFolder tmp;
    const std::string contract = tmp.file("sozlesme.ini"), shipped = PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini";
    std::ofstream(contract, std::ios::binary) << "[Oranlar]\r\nOran2=45\r\n[Isveren]\r\nUnvani=Acar Ltd.\r\n";
    const struct {
        std::vector<std::string> args;
        int status;
        bool applied;
        std::map<std::string, std::string> fields;
        std::vector<std::string> named; // the figures in "uyarilar"
        std::string note;               // the start of "tavanNotu"; empty: null
    } rows[] = {
        // The second half of 2026 has no ceiling in the table; the first half's is 64.948,77.
        {{"--yasal-degerler", "GTarih=16.08.2020", "CTarih=15.08.2026", "ESUCRET=40.000,00"},
         3,
         true,
         {{"TAV", ""},
          {"BKTAZ", "240.000,00"},
          {"DVER", "1.821,60"},
          {"NET", "238.178,40"},
          {"BITZM", "74.666,67"},
          {"ITAZM", "62.899,95"}},
         {},
         "01.07.2026 – 31.12.2026 dönemi için Kıdem Tazminatı Tavanı tabloda yok; ücret (40.000,00) "
         "tablodaki son tavanın (64.948,77, 01.01.2026 – 30.06.2026) altında"},
        {{"--yasal-degerler", "GTarih=16.08.2020", "CTarih=15.08.2026", "ESUCRET=70.000,00"},
         3,
         true,
         {{"TAV", ""},
          {"BKTAZ", ""},
          {"KGVER", ""},
          {"DVER", ""},
          {"NET", ""},
          {"BITZM", "130.666,67"},
          {"IGVER", "19.600,00"},
          {"IDVER", "991,76"},
          {"ITAZM", "110.074,91"}},
         {},
         "Kıdem tazminatı hesaplanmadı: 01.07.2026 – 31.12.2026 dönemi için Kıdem Tazminatı Tavanı tabloda "
         "yok ve ücret (70.000,00) tablodaki son tavanın (64.948,77, 01.01.2026 – 30.06.2026) üstünde. "
         "Tavanı verin: pencerede \"Sabitler\" sekmesine yazarak, hesap aracında --ayar ile ya da tabloda "
         "\"Kıdem Tazminatı Tavanı\" sütunuyla."},
        // A contract's 45 days a year: kept, the 15 above the law's 30 taxed as wages (2019: 15 % to
        // 18.000, 20 % above).
        {{"--ayar", contract, "--yasal-degerler", "GTarih=01.01.2010", "CTarih=31.12.2019",
          "ESUCRET=5.000,00"},
         0,
         true,
         {{"KGN", "45"},
          {"TAV", "6379,86"},
          {"BKTAZ", "75.000,00"},
          {"KGVER", "4.100,00"},
          {"NET", "70.330,75"},
          {"txtUnvani", "Acar Ltd."}},
         {},
         ""},
        // The shipped settings (2026) on a 2007 exit: used and named; the exempt part is capped at the
        // law's 2.030,19, so 3,5 years × (3.000,00 − 2.030,19) are taxed.
        {{"--ayar", shipped, "GTarih=15.03.2004", "CTarih=14.09.2007", "ESUCRET=3.000,00"},
         3,
         false,
         {{"TAV", "64948,77"}, {"BKTAZ", "10.500,00"}, {"KGVER", "509,15"}, {"NET", "9.911,15"}},
         {"DVOR", "TAV", "O5", "VD1", "VD2", "VD3", "VD4"},
         ""},
        {{"--ayar", shipped, "GTarih=15.03.2004", "CTarih=31.03.2026", "ESUCRET=3.000,00"},
         0,
         false,
         {},
         {},
         ""},
    };
    for (const auto& row : rows) {
        const std::string name = row.args[0] + " " + row.args[row.args.size() - 2] + " " + row.args.back();
        const Outcome o = Companion(row.args);
        EXPECT_EQ(o.status, row.status) << name << o.err;
        const Json j = Json::parse(o.out);
        EXPECT_EQ(j["Command3"], true) << name;
        for (const auto& [field, text] : row.fields)
            EXPECT_EQ(j["fields"][field], text) << name << " " << field;
        const Json& y = j["yasalDegerler"];
        EXPECT_EQ(y["uygulandi"], row.applied) << name;
        std::vector<std::string> named;
        for (const Json& u : y["uyarilar"]) named.push_back(u["alan"]);
        EXPECT_EQ(named, row.named) << name;
        if (row.note.empty()) {
            EXPECT_EQ(y["tavanNotu"], nullptr) << name;
        } else {
            EXPECT_EQ(y["tavanNotu"].get<std::string>().rfind(row.note, 0), 0u) << name << y["tavanNotu"];
        }
    }
}
