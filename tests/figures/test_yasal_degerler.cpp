// SPDX-License-Identifier: GPL-3.0-or-later
#include "figures/yasal_degerler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "figures/ayar_surumu.h"
#include "sheet/ayarlar.h"
#include "sheet/profile.h"
#include "tests/common/temp_folder.h"
#include "tests/common/why.h"

using namespace pamerol;

namespace {

const YasalDegerler& Shipped() {
    static const YasalDegerler table = [] {
        auto t = YasalDegerler::Load(PAMEROL_SOURCE_DIR "/figures/yasal-degerler.csv");
        EXPECT_TRUE(t) << pamerol::testing::Why(t);
        return t ? *t : YasalDegerler();
    }();
    return table;
}

int Key(const char* text) {
    auto k = DateKey(text);
    EXPECT_TRUE(k) << text;
    return k.value_or(0);
}

// The day after a date key.
int Next(int key) {
    using namespace std::chrono;
    year_month_day d{year(key / 10000), month(static_cast<unsigned>(key / 100 % 100)),
                     day(static_cast<unsigned>(key % 100))};
    year_month_day n{sys_days(d) + days(1)};
    return static_cast<int>(n.year()) * 10000 + static_cast<int>(static_cast<unsigned>(n.month())) * 100 +
           static_cast<int>(static_cast<unsigned>(n.day()));
}

// The value in force, "✗" for a gap, "-" when no row covers the date.
std::string Value(const YasalDegerler& t, Field f, int date) {
    const YasalDeger* row = t.inForce(f, date);
    return !row ? "-" : row->value.empty() ? "✗" : row->value;
}

} // namespace

// Every figure the table keeps is covered from 01.01.2005 to 31.12.2026 without a hole: the next period
// starts the day after the last one ends. 44 ceiling periods, 4 of them gaps.
TEST(YasalDegerler, TheShippedTableCoversEveryDayFrom2005To2026) {
    const YasalDegerler& t = Shipped();
    for (Field f : kYasalAlanlar) {
        for (int date = 20050101; date <= 20261231;) {
            const YasalDeger* row = t.inForce(f, date);
            ASSERT_TRUE(row) << FieldName(f) << " " << DateText(date);
            if (!row->end) break;
            date = Next(*row->end);
        }
    }
    int periods = 0, gaps = 0;
    for (const YasalDeger& row : t.rows()) {
        if (row.field != Field::TAV) continue;
        ++periods;
        if (row.value.empty()) ++gaps;
    }
    EXPECT_EQ(periods, 44);
    EXPECT_EQ(gaps, 4);
}

TEST(YasalDegerler, FiguresOnBothSidesOfThePeriodBoundaries) {
    const struct {
        const char* date;
        Field field;
        const char* value;
    } cases[] = {
        {"31.12.2004", Field::TAV, "-"},         {"01.01.2005", Field::TAV, "1648,90"},
        {"30.06.2005", Field::TAV, "1648,90"},   {"01.07.2005", Field::TAV, "1727,15"},
        {"31.12.2005", Field::TAV, "1727,15"},   {"01.01.2006", Field::TAV, "1770,63"},
        {"30.06.2006", Field::TAV, "1770,63"},   {"01.07.2006", Field::TAV, "1857,44"},
        {"30.06.2007", Field::TAV, "1960,69"},   {"01.07.2007", Field::TAV, "2030,19"},
        {"31.12.2007", Field::TAV, "2030,19"},   {"01.01.2008", Field::TAV, "2087,92"},
        {"30.06.2008", Field::TAV, "2087,92"},   {"01.07.2008", Field::TAV, "✗"},
        {"31.12.2009", Field::TAV, "✗"},         {"01.01.2010", Field::TAV, "2427,04"},
        {"30.06.2011", Field::TAV, "2623,23"},   {"01.07.2011", Field::TAV, "2731,85"},
        {"31.12.2013", Field::TAV, "3254,44"},   {"01.01.2014", Field::TAV, "3438,22"},
        {"30.06.2014", Field::TAV, "3438,22"},   {"01.07.2014", Field::TAV, "3438,22"},
        {"31.12.2014", Field::TAV, "3438,22"},   {"01.01.2015", Field::TAV, "3541,37"},
        {"30.06.2015", Field::TAV, "3541,37"},   {"01.07.2015", Field::TAV, "3709,98"},
        {"31.08.2015", Field::TAV, "3709,98"},   {"01.09.2015", Field::TAV, "3828,37"},
        {"31.12.2015", Field::TAV, "3828,37"},   {"01.01.2016", Field::TAV, "4092,53"},
        {"31.12.2021", Field::TAV, "8284,51"},   {"01.01.2022", Field::TAV, "10848,59"},
        {"31.12.2025", Field::TAV, "53919,68"},  {"01.01.2026", Field::TAV, "64948,77"},
        {"30.06.2026", Field::TAV, "64948,77"},  {"01.07.2026", Field::TAV, "✗"},
        {"31.12.2009", Field::DVOR, "6"},        {"01.01.2010", Field::DVOR, "6,6"},
        {"31.12.2012", Field::DVOR, "6,6"},      {"01.01.2013", Field::DVOR, "7,59"},
        {"31.12.2026", Field::DVOR, "7,59"},     {"01.01.2027", Field::DVOR, "-"},
        {"31.12.2005", Field::O3, "25"},         {"01.01.2006", Field::O3, "27"},
        {"31.12.2005", Field::VD4, "78000"},     {"01.01.2006", Field::VD4, "999999999"},
        {"31.12.2009", Field::VD3, "50000"},     {"01.01.2010", Field::VD3, "76200"},
        {"31.12.2019", Field::O5, "35"},         {"01.01.2020", Field::O5, "40"},
        {"31.12.2019", Field::VD4, "999999999"}, {"01.01.2020", Field::VD4, "600000"},
        {"31.12.2025", Field::VD1, "158000"},    {"01.01.2026", Field::VD1, "190000"},
        {"31.12.2026", Field::VD5, "999999999"}, {"01.01.2027", Field::VD1, "-"},
        {"01.01.2027", Field::DL4, "56"},        {"01.01.2027", Field::KGN, "30"},
    };
    for (const auto& c : cases) EXPECT_EQ(Value(Shipped(), c.field, Key(c.date)), c.value) << c.date;
}

TEST(YasalDegerler, AMalformedRowIsRejectedWithItsLineNumber) {
    const std::string head = "# yorum\nalan;baslangic;bitis;deger;durum;kaynaklar\n";
    const std::string good = "TAV;01.01.2007;30.06.2007;1960,69;1;a.com\n";
    const std::pair<std::string, std::string> cases[] = {
        {"alan;bitis\n", "satır 1: başlık satırı \"alan;baslangic;bitis;deger;durum;kaynaklar\" olmalı"},
        {"# yalnız yorum\n", "satır 1: başlık satırı yok"},
        {head + "TAV;01.01.2007;30.06.2007;1960,69;1\n", "satır 3: 6 sütun olmalı, 5 sütun var"},
        {head + good + "ESUCRET;01.01.2007;;1;1;a.com\n", "satır 4: tabloda olmayan alan \"ESUCRET\""},
        {head + "TAV;31.02.2007;30.06.2007;1;1;a.com\n",
         "satır 3: başlangıç tarihi \"31.02.2007\" geçerli bir tarih değil"},
        {head + "TAV;01.07.2007;30.06.2007;1;1;a.com\n", "satır 3: bitiş tarihi başlangıçtan önce"},
        {head + "TAV;01.01.2007;30.06.2007;1960.69;1;a.com\n", "satır 3: değer \"1960.69\" okunamıyor"},
        {head + "TAV;01.01.2007;30.06.2007;1960,69;✗;\n",
         "satır 3: durumu ✗ olan dönemin değeri boş kalmalı"},
        {head + "TAV;01.01.2007;30.06.2007;;1;a.com\n",
         "satır 3: değer boş; kaynağı bulunmayan dönemin durumu ✗ olmalı"},
        {head + "TAV;01.01.2007;30.06.2007;1960,69;3;a.com\n",
         "satır 3: durum \"3\" olamaz (2+, 1, 2+ ƒ, 1 ƒ ya da ✗)"},
        {head + "TAV;01.01.2007;30.06.2007;1960,69;2+;\n", "satır 3: değerin kaynağı yazılmamış"},
        {head + "TAV;01.01.2007;30.06.2007;-1960,69;1;a.com\n", "satır 3: değer \"-1960,69\" eksi olamaz"},
        {head + good + "TAV;01.07.2007;;2030,19;1;a.com;b.com\n", "satır 4: 6 sütun olmalı, 7 sütun var"},
        {"", "dosya boş"},
        // An overlap is found whichever of the two rows comes first in the file, and a row inside another.
        {head + good + "\nTAV;30.06.2007;;2030,19;1;b.com\n",
         "satır 5: TAV için 30.06.2007 - ... dönemi satır 3 ile çakışıyor"},
        {head + good + "TAV;01.07.2006;01.01.2007;1857,44;1;b.com\n",
         "satır 4: TAV için 01.07.2006 - 01.01.2007 dönemi satır 3 ile çakışıyor"},
        {head + good + "TAV;01.03.2007;01.03.2007;1;1;b.com\n",
         "satır 4: TAV için 01.03.2007 - 01.03.2007 dönemi satır 3 ile çakışıyor"},
        {head + "TAV;01.01.2000;;1;1;a.com\nDVOR;01.01.2000;;6;1;a.com\nTAV;01.01.1990;31.12.1999;1;1;a.com\n"
                "TAV;01.01.1995;01.01.2000;1;1;a.com\n",
         "satır 6: TAV için 01.01.1995 - 01.01.2000 dönemi satır 3 ile çakışıyor"},
        // The file's first fault is named: an overlap above a malformed row, or the malformed row above it.
        {head + good + "TAV;01.01.2007;;1;1;b.com\nTAV;01.01.2008\n",
         "satır 4: TAV için 01.01.2007 - ... dönemi satır 3 ile çakışıyor"},
        {head + good + "TAV;01.01.2008\nTAV;01.01.2007;;1;1;b.com\n", "satır 4: 6 sütun olmalı, 2 sütun var"},
    };
    using pamerol::testing::Why;
    for (const auto& [text, error] : cases) EXPECT_EQ(Why(YasalDegerler::Parse(text)), error);
    EXPECT_EQ(Why(YasalDegerler::Load("/nonexistent/yasal-degerler.csv")),
              "/nonexistent/yasal-degerler.csv: dosya okunamadı");
    pamerol::testing::TempFolder folder;
    const std::string empty = folder.file("yasal-degerler.csv");
    pamerol::testing::WriteBytes(empty, "");
    EXPECT_EQ(Why(YasalDegerler::Load(empty)), empty + ", dosya boş");
    EXPECT_EQ(Why(YasalDegerler::Load(folder.path().string())), folder.path().string() + ": dosya okunamadı");
    // A period of one day, between two others.
    auto oneDay = YasalDegerler::Parse(head + good + "TAV;01.07.2007;01.07.2007;2000;1;a.com\n" +
                                       "TAV;02.07.2007;;2030,19;1;a.com\n");
    ASSERT_TRUE(oneDay) << Why(oneDay);
    EXPECT_EQ(Value(*oneDay, Field::TAV, Key("01.07.2007")), "2000");
    EXPECT_EQ(Value(*oneDay, Field::TAV, Key("02.07.2007")), "2030,19");
    // Windows line ends on every line and a byte-order mark, as an editor on the clerk's machine may leave
    // them; a rate of 0 is a figure like any other.
    const std::string windows = folder.file("windows.csv");
    pamerol::testing::WriteBytes(windows,
                                 "\xEF\xBB\xBF# yorum\r\nalan;baslangic;bitis;deger;durum;kaynaklar\r\n"
                                 "TAV;01.01.2007;30.06.2007;1960,69;1;a.com\r\n"
                                 "O5;01.01.2007;;0;1;a.com\r\n");
    auto t = YasalDegerler::Load(windows);
    ASSERT_TRUE(t) << Why(t);
    EXPECT_EQ(Value(*t, Field::TAV, Key("30.06.2007")), "1960,69");
    EXPECT_EQ(Value(*t, Field::O5, Key("30.06.2007")), "0");
}

// The overlap check sorts the rows instead of comparing each with every other: 80,000 rows took 19 s.
TEST(YasalDegerler, ALargeTableIsCheckedQuickly) {
    std::string text = "alan;baslangic;bitis;deger;durum;kaynaklar\n";
    int rows = 0;
    for (Field f : kYasalAlanlar)
        for (int date = 19500101; rows < 80000 && date < 20991231; date = Next(date), ++rows)
            text += std::string(FieldName(f)) + ";" + DateText(date) + ";" + DateText(date) + ";1;1;a.com\n";
    ASSERT_EQ(rows, 80000);
    const auto start = std::chrono::steady_clock::now();
    const auto parsed = YasalDegerler::Parse(text);
    EXPECT_TRUE(parsed) << pamerol::testing::Why(parsed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Filling the sheet writes through the record, so change rules run; a kept field is left alone and a
// gap is named with its period.
TEST(YasalDegerler, FillsTheSettingsFieldsAndNamesWhatIsMissing) {
    Record r;
    int changes = 0;
    r.setChangeRule(Field::TAV, [&] { ++changes; });
    r.write(Field::TAV, "1");
    r.write(Field::DVOR, "9");
    changes = 0;
    Getirilen g = YasalDegerleriYaz(r, Shipped(), Key("15.08.2008"));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(r.text(Field::TAV), "1");
    EXPECT_EQ(r.text(Field::DVOR), "6");
    EXPECT_EQ(r.text(Field::VD3), "44700");
    EXPECT_EQ(g.filled.size(), 19u);
    EXPECT_EQ(g.missing, std::vector<Field>{Field::TAV});
    EXPECT_EQ(g.message, "15.08.2008 tarihinde geçerli yasal değerler yazıldı: DVOR, KGN, O1–O5, VD1–VD5, "
                         "DL1–DL4, SGKIO, ISIO, PEKUST.\r\nTabloda olmayanlar (alanda yazılı değer kaldı): "
                         "TAV; TAV için 01.07.2008 "
                         "- 31.12.2008 döneminin kaynağı bulunamadı.");

    g = YasalDegerleriYaz(r, Shipped(), Key("14.09.2007"), [](Field f) { return f == Field::DVOR; });
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(r.text(Field::TAV), "2030,19");
    EXPECT_EQ(r.text(Field::DVOR), "6");
    EXPECT_TRUE(g.missing.empty());
    EXPECT_EQ(
        g.message,
        "14.09.2007 tarihinde geçerli yasal değerler yazıldı: KGN, TAV, O1–O5, VD1–VD5, DL1–DL4, SGKIO, "
        "ISIO, PEKUST.");

    g = YasalDegerleriYaz(r, Shipped(), Key("02.01.2027"), [](Field f) { return f != Field::DVOR; });
    EXPECT_EQ(g.message,
              "02.01.2027 tarihi için tabloda yasal değer yok.\r\nTabloda olmayanlar (alanda yazılı "
              "değer kaldı): DVOR.");

    r.write(Field::CTarih, "31.12.2008");
    EXPECT_EQ(CikisTarihi(r), 20081231);
    r.setMode(Mode::PremiumDays);
    EXPECT_FALSE(CikisTarihi(r));
    r.setMode(Mode::Dates);
    r.write(Field::CTarih, "31.02.2008");
    EXPECT_FALSE(CikisTarihi(r));
}

TEST(YasalDegerler, CeilingWarningCurrencyLabelAndExemptionNote) {
    const struct {
        const char* date;
        const char* tav;
        const char* warning;
    } cases[] = {
        {"14.09.2007", "1960,69", "Çıkış tarihinde geçerli tavan 2.030,19; hesapta 1.960,69 kullanıldı."},
        {"14.09.2007", "2030,19", ""},
        {"14.09.2007", "2.030,190", ""},
        {"14.09.2007", "2030,191", ""}, // the same ceiling once rounded to kuruş
        {"14.09.2007", "2030,195", "Çıkış tarihinde geçerli tavan 2.030,19; hesapta 2.030,20 kullanıldı."},
        {"01.09.2015", "3709,98", "Çıkış tarihinde geçerli tavan 3.828,37; hesapta 3.709,98 kullanıldı."},
        {"15.08.2008", "1", "Çıkış tarihindeki tavan tabloda yok; hesapta 1,00 kullanıldı."}, // a gap
        {"14.09.2007", "abc", ""}, // unreadable: the calculation refused it already
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavanUyarisi(Shipped(), Key(c.date), c.tav).value_or(""), c.warning)
            << c.date << " " << c.tav;

    EXPECT_EQ(ParaBirimi(Key("31.12.2008")), "YTL.");
    EXPECT_EQ(ParaBirimi(Key("01.01.2009")), "TL");
    EXPECT_FALSE(AsgariUcretIstisnasiNotu(Key("31.12.2021")));
    EXPECT_TRUE(AsgariUcretIstisnasiNotu(Key("01.01.2022")));

    // Beside the results: nothing before a calculation; in the premium-day mode no exit date to compare
    // the ceiling with, and the note follows the day of the calculation.
    Record r;
    r.write(Field::CTarih, "15.06.2023");
    r.write(Field::TAV, "1,00");
    EXPECT_FALSE(HesapNotlari(r, &Shipped(), 20230615).asgariUcretNotu);
    r.setCommand3Enabled(true);
    EXPECT_TRUE(HesapNotlari(r, &Shipped(), 20210615).tavanUyarisi);
    EXPECT_FALSE(HesapNotlari(r, nullptr, 20210615).tavanUyarisi);
    r.setMode(Mode::PremiumDays);
    r.setCommand3Enabled(true);
    const SonucNotlari premium = HesapNotlari(r, &Shipped(), 20210615);
    EXPECT_FALSE(premium.tavanUyarisi || premium.asgariUcretNotu);
    EXPECT_TRUE(HesapNotlari(r, &Shipped(), 20220101).asgariUcretNotu);
    // The warnings of a premium-day case speak of the day of the calculation, not of an exit date.
    const std::vector<YasalUyari> byDays = YasalUyarilar(r, Shipped(), 20210615);
    ASSERT_FALSE(byDays.empty());
    for (const YasalUyari& u : byDays) EXPECT_EQ(u.metin.rfind("Hesap gün", 0), 0u) << u.metin;
}

// The sample settings file shipped beside the program holds the latest figures of the table.
TEST(YasalDegerler, TheSampleSettingsHoldTheLatestFiguresOfTheTable) {
    Record sample, table;
    AyarlariOku(sample, PAMEROL_SOURCE_DIR "/sheet/Pmrl.ini");
    Getirilen g = YasalDegerleriYaz(table, Shipped(), Key("01.01.2026"));
    EXPECT_TRUE(g.missing.empty()) << g.message;
    for (Field f : kYasalAlanlar) EXPECT_EQ(sample.text(f), table.text(f)) << FieldName(f);
}

// An older settings file gains, once, the legal figures it lacks, with the values in force that day.
TEST(AyarSurumu, AnOlderFileGainsTheFiguresItLacks) {
    const pamerol::testing::TempFolder tmp;
    const std::string path = tmp.path().string() + "/Pmrl.ini";
    const std::string full =
        "[Oranlar]\r\nOran1=6\r\nOran2=30\r\nOran3=2030,19\r\n[IhbarTazminati]\r\n37=56\r\n";
    struct Row {
        const char* name;
        std::optional<std::string> file;                        // nothing: no file
        std::string message;                                    // empty: nothing added
        std::vector<std::pair<std::string, std::string>> after; // section/key -> value
    } rows[] = {
        {"no version, a ceiling and a band missing",
         "[Oranlar]\r\nOran1=6\r\nOran2=30\r\n[IhbarTazminati]\r\n0-6=14\r\n",
         "eklenenler: Kıdem Tazminatı Tavanı, Gelir Vergisi 1. Dilim Oranı",
         {{"Oranlar/Oran3", "64948,77"},
          {"IhbarTazminati/37", "56"},
          {"IhbarTazminati/0-6", "14"},
          {"SGK/UstSinir", "297270,00"},
          {"Pamerol/Surum", "3"}}},
        {"no version, nothing missing but the brackets",
         full,
         "eklenenler: Gelir Vergisi 1. Dilim Oranı",
         {{"Oranlar/Oran3", "2030,19"}, {"Pamerol/Surum", "3"}}},
        // The second version's file gains the SGK figures the leave pay bears.
        {"version 2: the SGK figures",
         "[Pamerol]\r\nSurum=2\r\n[Oranlar]\r\nOran3=2030,19\r\n",
         "SGK İşçi Payı (%), İşsizlik Sig. Payı (%), SGK Tavanı.",
         {{"SGK/IsciPayi", "14"},
          {"SGK/IssizlikPayi", "1"},
          {"Oranlar/Oran3", "2030,19"},
          {"Pamerol/Surum", "3"}}},
        {"this version: an emptied figure stays empty",
         "[Pamerol]\r\nSurum=3\r\n[Oranlar]\r\nOran3=\r\n",
         "",
         {{"Oranlar/Oran3", ""}}},
        {"no file", std::nullopt, "", {}},
    };
    for (const Row& r : rows) {
        std::filesystem::remove(path);
        if (r.file) std::ofstream(path, std::ios::binary) << *r.file;
        const auto got = AyarDosyasiniYukselt(path, &Shipped(), 20260315);
        ASSERT_TRUE(got) << r.name;
        if (r.message.empty()) {
            EXPECT_FALSE(*got) << r.name;
        } else {
            ASSERT_TRUE(*got) << r.name;
            EXPECT_NE((*got)->find(r.message), std::string::npos) << r.name << ": " << **got;
            EXPECT_NE((*got)->find("15.03.2026"), std::string::npos) << r.name;
        }
        for (const auto& [where, value] : r.after) {
            const size_t slash = where.find('/');
            EXPECT_EQ(IniOku(path, where.substr(0, slash), where.substr(slash + 1)), value)
                << r.name << " " << where;
        }
        EXPECT_EQ(std::filesystem::exists(path), r.file.has_value()) << r.name;
        // Once only: the second start changes nothing.
        if (r.file) {
            const auto again = AyarDosyasiniYukselt(path, &Shipped(), 20260315);
            EXPECT_TRUE(again && !*again) << r.name;
        }
    }
}
