// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <random>

#include "base/conversions.h"
#include "calc/hesapla.h"
#include "tests/common/figures2007.h"

using namespace pamerol;
using F = Field;

namespace {

// A sheet with the figures of the first half of 2007 and the bracket table copied into the calculator.
Record Sheet2007() {
    Record r;
    pamerol::testing::Put2007(r, pamerol::testing::Half2007::First);
    return r;
}

struct Case {
    const char* name;
    Mode mode;
    std::map<F, std::string> input;
    std::map<F, std::string> expected;
    std::string message;
};

const std::string kNotEntitled = "Kıdem Tazminatı = Hak Etmemiş!\r\nİhbar Tazminatı  =";

} // namespace

TEST(Hesapla, WorkedExamples) {
    const Case cases[] = {
        {"three and a half years",
         Mode::Dates,
         {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2007"}, {F::TBRUT, "2.000,00"}},
         {{F::TGUNU, "1279"},
          {F::KYILI, "3"},
          {F::KAYI, "6"},
          {F::KGUNU, "0"},
          {F::BKTAZ, "6.862,42"},
          {F::DVER, "45,29"},
          {F::KGVER, "0,00"},
          {F::NET, "6.817,13"},
          {F::TIGUNU, "1279"},
          {F::IAYI, "42"},
          {F::KIGUNU, "0"},
          {F::HIGUNU, "56"},
          {F::BITZM, "3.733,33"},
          {F::IDVER, "24,64"},
          {F::IGVER, "560,00"},
          {F::ITAZM, "3.148,69"},
          {F::DGVMAT, "0,00"}},
         "Kıdem Tazminatı =6.817,13\r\nİhbar Tazminatı  =3.148,69"},
        {"one calendar year",
         Mode::Dates,
         {{F::GTarih, "01.01.2006"}, {F::CTarih, "31.12.2006"}, {F::TBRUT, "1.500,00"}},
         {{F::TIGUNU, "365"},
          {F::TGUNU, "365"},
          {F::KYILI, "1"},
          {F::KAYI, "0"},
          {F::KGUNU, "0"},
          {F::BKTAZ, "1.500,00"},
          {F::HIGUNU, "28"}},
         ""},
        {"under a year",
         Mode::Dates,
         {{F::GTarih, "15.01.2007"}, {F::CTarih, "10.03.2007"}, {F::TBRUT, "600,00"}},
         {{F::TGUNU, "55"},
          {F::KYILI, "0"},
          {F::IAYI, "1"},
          {F::KIGUNU, "24"},
          {F::HIGUNU, "14"},
          {F::BITZM, "280,00"},
          {F::BKTAZ, ""},
          {F::DVER, ""},
          {F::NET, ""}},
         kNotEntitled + "236,15"},
        {"short February",
         Mode::Dates,
         {{F::GTarih, "10.02.2007"}, {F::CTarih, "05.04.2007"}},
         {{F::TGUNU, "55"}},
         ""},
        {"same month, whole February",
         Mode::Dates,
         {{F::GTarih, "01.02.2007"}, {F::CTarih, "28.02.2007"}},
         {{F::TGUNU, "28"}, {F::KAYI, "1"}, {F::KGUNU, "0"}},
         ""},
        {"same month, part",
         Mode::Dates,
         {{F::GTarih, "05.02.2007"}, {F::CTarih, "20.02.2007"}},
         {{F::TGUNU, "16"}},
         ""},
        {"same month, 31 days",
         Mode::Dates,
         {{F::GTarih, "01.03.2007"}, {F::CTarih, "31.03.2007"}},
         {{F::TGUNU, "31"}, {F::KAYI, "1"}, {F::KGUNU, "0"}},
         ""},
        {"exit on the 31st",
         Mode::Dates,
         {{F::GTarih, "01.01.2007"}, {F::CTarih, "31.05.2007"}},
         {{F::TGUNU, "151"}, {F::KAYI, "5"}, {F::KGUNU, "0"}},
         ""},
        {"same day counts one",
         Mode::Dates,
         {{F::GTarih, "10.05.2007"}, {F::CTarih, "10.05.2007"}},
         {{F::TGUNU, "1"}},
         ""},
        // 1 month 24 days and 310 carried days (10 months 10 days): 34 days carry a month, 12 months a year.
        {"carried days are added",
         Mode::Dates,
         {{F::GTarih, "15.01.2007"}, {F::CTarih, "10.03.2007"}, {F::DGUN, "310"}},
         {{F::TIGUNU, "365"}, {F::TGUNU, "365"}, {F::KYILI, "1"}, {F::KAYI, "0"}, {F::KGUNU, "4"}},
         ""},
        {"exactly 18 months stay in the second band",
         Mode::Dates,
         {{F::GTarih, "01.01.2006"}, {F::CTarih, "30.06.2007"}},
         {{F::TIGUNU, "546"}, {F::TGUNU, "546"}, {F::IAYI, "18"}, {F::KIGUNU, "0"}, {F::HIGUNU, "28"}},
         ""},
        {"premium days",
         Mode::PremiumDays,
         {{F::GGUN, "400"}, {F::GTarih, "__.__.____"}},
         {{F::TGUNU, "400"}, {F::TIGUNU, "400"}, {F::KYILI, "1"}, {F::KAYI, "1"}, {F::KGUNU, "10"}},
         ""},
        {"across a year end",
         Mode::Dates,
         {{F::GTarih, "15.12.2006"}, {F::CTarih, "10.01.2007"}},
         {{F::TGUNU, "27"}},
         ""},
        {"fractional premium days give fractional days",
         Mode::PremiumDays,
         {{F::GGUN, "400,5"}},
         {{F::KYILI, "1"}, {F::KAYI, "1"}, {F::KGUNU, "10,5"}},
         ""},
        // 1.111,2667 shows 1.111,27, its stamp duty 7,334 shows 7,33; the net is the difference of the two.
        {"net severance from the shown figures",
         Mode::PremiumDays,
         {{F::GGUN, "400"}, {F::TBRUT, "1.000,14"}},
         {{F::BKTAZ, "1.111,27"}, {F::DVER, "7,33"}, {F::NET, "1.103,94"}},
         ""},
        // The notice taxes are deducted as shown (787,50 when deducted unrounded).
        {"notice taxes deducted as shown",
         Mode::PremiumDays,
         {{F::GGUN, "400"}, {F::TBRUT, "1.000,42"}},
         {{F::ITAZM, "787,51"}},
         ""},
        // An edited bracket is used by the next calculation, without a settings load.
        {"bracket edited is used at once",
         Mode::Dates,
         {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2007"}, {F::TBRUT, "2.000,00"}, {F::O1, "40"}},
         {{F::IGVER, "1.493,33"}},
         ""},
        {"premium days under a year",
         Mode::PremiumDays,
         {{F::GGUN, "359"}},
         {{F::KYILI, "0"}, {F::KAYI, "11"}, {F::KGUNU, "29"}, {F::KGVER, ""}, {F::NET, ""}},
         ""},
        {"a whole year's days of severance a year",
         Mode::Dates,
         {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2007"}, {F::TBRUT, "2.000,00"}, {F::KGN, "365"}},
         {{F::BKTAZ, "83.492,72"}},
         ""},
    };
    for (const auto& c : cases) {
        Record r = Sheet2007();
        r.setMode(c.mode);
        for (const auto& [f, t] : c.input) r.write(f, t);
        RecordedMessages m;
        Hesapla(r, m);
        for (const auto& [f, t] : c.expected) EXPECT_EQ(r.text(f), t) << c.name << ": " << FieldName(f);
        ASSERT_EQ(m.entries.size(), 1u) << c.name;
        EXPECT_EQ(m.entries[0].icon, MessageIcon::Information) << c.name;
        if (!c.message.empty()) {
            EXPECT_EQ(m.entries[0].text, c.message) << c.name;
        }
        EXPECT_TRUE(r.command3Enabled()) << c.name;
    }
}

// The service between two dates by monthly anniversaries: the total days are calendar days, the notice
// follows the months and the days over them, under a year no severance.
TEST(Hesapla, ServiceCountedAsTheCalendarCounts) {
    struct Row {
        const char *entry, *exit;
        int tigunu, tgunu, kyili, kayi, kgunu, iayi, kigunu, higunu;
    } rows[] = {
        // Exact anniversaries of 1, 3 and 10 years from the 1st, the 15th, the 28th to 31st, 29 February.
        {"01.03.2025", "28.02.2026", 365, 365, 1, 0, 0, 12, 0, 28},
        {"01.01.2023", "31.12.2023", 365, 365, 1, 0, 0, 12, 0, 28},
        {"01.03.2015", "28.02.2025", 3653, 3653, 10, 0, 0, 120, 0, 56},
        {"01.06.2020", "31.05.2023", 1095, 1095, 3, 0, 0, 36, 0, 42},
        {"15.03.2004", "14.03.2005", 365, 365, 1, 0, 0, 12, 0, 28},
        {"15.07.2016", "14.07.2026", 3652, 3652, 10, 0, 0, 120, 0, 56},
        {"15.09.2020", "14.09.2023", 1095, 1095, 3, 0, 0, 36, 0, 42},
        {"28.02.2023", "27.02.2024", 365, 365, 1, 0, 0, 12, 0, 28},
        {"29.01.2022", "28.01.2025", 1096, 1096, 3, 0, 0, 36, 0, 42},
        {"30.04.2021", "29.04.2022", 365, 365, 1, 0, 0, 12, 0, 28},
        {"30.01.2016", "29.01.2026", 3653, 3653, 10, 0, 0, 120, 0, 56},
        {"31.01.2025", "30.01.2026", 365, 365, 1, 0, 0, 12, 0, 28},
        {"31.03.2013", "30.03.2023", 3652, 3652, 10, 0, 0, 120, 0, 56},
        {"31.05.2022", "30.05.2025", 1096, 1096, 3, 0, 0, 36, 0, 42},
        {"31.12.2015", "30.12.2016", 366, 366, 1, 0, 0, 12, 0, 28},
        {"29.02.2024", "28.02.2025", 366, 366, 1, 0, 1, 12, 1, 28},
        {"29.02.2020", "28.02.2023", 1096, 1096, 3, 0, 1, 36, 1, 56},
        {"29.02.2016", "28.02.2026", 3653, 3653, 10, 0, 1, 120, 1, 56},
        {"02.01.2016", "01.01.2026", 3653, 3653, 10, 0, 0, 120, 0, 56},
        // One day short of a year (not entitled) and one day over.
        {"29.07.2024", "27.07.2025", 364, 364, 0, 11, 29, 11, 29, 28},
        {"01.01.2019", "30.12.2019", 364, 364, 0, 11, 30, 11, 30, 28},
        {"01.03.2025", "27.02.2026", 364, 364, 0, 11, 27, 11, 27, 28},
        {"01.03.2025", "01.03.2026", 366, 366, 1, 0, 1, 12, 1, 28},
        {"15.03.2004", "13.03.2005", 364, 364, 0, 11, 27, 11, 27, 28},
        {"15.03.2004", "15.03.2005", 366, 366, 1, 0, 1, 12, 1, 28},
        {"31.01.2025", "29.01.2026", 364, 364, 0, 11, 30, 11, 30, 28},
        {"31.01.2025", "31.01.2026", 366, 366, 1, 0, 1, 12, 1, 28},
        {"29.02.2024", "27.02.2025", 365, 365, 1, 0, 0, 12, 0, 28},
        {"29.02.2024", "01.03.2025", 367, 367, 1, 0, 2, 12, 2, 28},
        // Whole Februaries, entry and exit in the same month; the worked example; under six months.
        {"01.02.2019", "28.02.2019", 28, 28, 0, 1, 0, 1, 0, 14},
        {"01.02.2020", "29.02.2020", 29, 29, 0, 1, 0, 1, 0, 14},
        {"05.02.2007", "20.02.2007", 16, 16, 0, 0, 16, 0, 16, 14},
        {"10.05.2007", "10.05.2007", 1, 1, 0, 0, 1, 0, 1, 14},
        {"01.03.2007", "31.03.2007", 31, 31, 0, 1, 0, 1, 0, 14},
        {"15.03.2004", "14.09.2007", 1279, 1279, 3, 6, 0, 42, 0, 56},
        {"01.01.1900", "31.12.1900", 365, 365, 1, 0, 0, 12, 0, 28}, // the first year a date may have
        {"20.03.2006", "25.03.2007", 371, 371, 1, 0, 6, 12, 6, 28}, // the same month a year on
        {"01.02.2019", "30.07.2019", 180, 180, 0, 5, 30, 5, 30, 14},
        // An exit on the 31st is a day past the anniversary; a month's end falls on the shorter month's.
        {"31.01.2015", "31.01.2018", 1097, 1097, 3, 0, 1, 36, 1, 56},
        {"31.01.2015", "31.07.2016", 548, 548, 1, 6, 1, 18, 1, 42},
        {"01.01.2015", "30.12.2015", 364, 364, 0, 11, 30, 11, 30, 28},
        {"15.03.2020", "31.12.2025", 2118, 2118, 5, 9, 17, 69, 17, 56},
        {"31.01.2025", "28.02.2025", 29, 29, 0, 1, 1, 1, 1, 14},
        {"29.02.2020", "28.02.2021", 366, 366, 1, 0, 1, 12, 1, 28},
        {"29.02.2020", "27.02.2021", 365, 365, 1, 0, 0, 12, 0, 28},
        // The notice bounds: exactly 6, 18 and 36 months and a day either side.
        {"01.01.2025", "30.06.2025", 181, 181, 0, 6, 0, 6, 0, 28},
        {"01.01.2025", "29.06.2025", 180, 180, 0, 5, 29, 5, 29, 14},
        {"01.01.2025", "01.07.2025", 182, 182, 0, 6, 1, 6, 1, 28},
        {"01.01.2024", "30.06.2025", 547, 547, 1, 6, 0, 18, 0, 28},
        {"01.01.2024", "29.06.2025", 546, 546, 1, 5, 29, 17, 29, 28},
        {"01.01.2024", "01.07.2025", 548, 548, 1, 6, 1, 18, 1, 42},
        {"01.01.2024", "27.06.2025", 544, 544, 1, 5, 27, 17, 27, 28},
        {"01.01.2023", "31.12.2025", 1096, 1096, 3, 0, 0, 36, 0, 42},
        {"01.01.2023", "30.12.2025", 1095, 1095, 2, 11, 30, 35, 30, 42},
        {"01.01.2023", "01.01.2026", 1097, 1097, 3, 0, 1, 36, 1, 56},
        {"01.01.2023", "26.12.2025", 1091, 1091, 2, 11, 26, 35, 26, 42},
    };
    for (const Row& c : rows) {
        Record r = Sheet2007();
        r.write(F::GTarih, c.entry);
        r.write(F::CTarih, c.exit);
        r.write(F::TBRUT, "3.000,00");
        RecordedMessages m;
        Hesapla(r, m);
        const std::string at = std::string(c.entry) + " - " + c.exit;
        const std::pair<F, int> expected[] = {
            {F::TIGUNU, c.tigunu}, {F::TGUNU, c.tgunu}, {F::KYILI, c.kyili},   {F::KAYI, c.kayi},
            {F::KGUNU, c.kgunu},   {F::IAYI, c.iayi},   {F::KIGUNU, c.kigunu}, {F::HIGUNU, c.higunu}};
        for (auto [f, v] : expected) EXPECT_EQ(r.text(f), std::to_string(v)) << at << " " << FieldName(f);
        ASSERT_EQ(m.entries.size(), 1u) << at;
        EXPECT_EQ(m.entries[0].text.rfind("Kıdem Tazminatı = Hak Etmemiş!", 0) == 0, c.kyili < 1) << at;
    }
}

TEST(Hesapla, NoticeBands) {
    const std::pair<const char*, const char*> cases[] = {{"179", "14"},  {"180", "28"}, {"181", "28"},
                                                         {"540", "28"},  {"541", "42"}, {"1080", "42"},
                                                         {"1081", "56"}, {"1110", "56"}};
    for (auto [days, band] : cases) {
        Record r = Sheet2007();
        r.setMode(Mode::PremiumDays);
        r.write(F::GGUN, days);
        RecordedMessages m;
        Hesapla(r, m);
        EXPECT_EQ(r.text(F::HIGUNU), band) << days;
    }
}

TEST(Hesapla, InvalidOrReversedDatesChangeNothing) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"15.03.2004", "__.__.____", "Çıkış tarihi girilmemiş."},
        {"15.03.2004", "  .  .    ", "Çıkış tarihi girilmemiş."},
        {"15.03.2004", "14.09-2007", "Çıkış tarihi eksik: \"14.09-2007\""},
        {"15.03.20__", "14.09.2007", "Giriş tarihi eksik: \"15.03.20__\""},
        {"15.03.2004", "14.09.....", "Çıkış tarihi eksik: \"14.09.....\""}, // once an uncaught exception
        {"31.02.2007", "01.03.2007", "Giriş tarihi: 31.02.2007 takvimde yok."},
        {"15.03.0204", "14.09.2007", "Giriş tarihi: 15.03.0204, yıl 1900 ile 2099 arasında olmalı."},
        {"15.03.2004", "14.09.2107", "Çıkış tarihi: 14.09.2107, yıl 1900 ile 2099 arasında olmalı."},
        {"15.03.2007", "10.01.2007", "Çıkış tarihi (10.01.2007) giriş tarihinden (15.03.2007) önce."},
        {"10.05.2007", "05.05.2007", "Çıkış tarihi (05.05.2007) giriş tarihinden (10.05.2007) önce."},
        {"01.01.2008", "31.12.2007", "Çıkış tarihi (31.12.2007) giriş tarihinden (01.01.2008) önce."},
        {"15.03.2004", "31.09.2007", "Çıkış tarihi: 31.09.2007 takvimde yok."},
        {"31.06.2004", "14.09.2007", "Giriş tarihi: 31.06.2004 takvimde yok."},
        {"15.03.2004", "31.11.2007", "Çıkış tarihi: 31.11.2007 takvimde yok."},
    };
    for (auto [g, c, why] : cases) {
        Record r = Sheet2007();
        r.write(F::GTarih, "15.03.2004");
        r.write(F::CTarih, "14.09.2007");
        r.write(F::TBRUT, "2.000,00");
        RecordedMessages m;
        Hesapla(r, m);
        r.write(F::GTarih, g);
        r.write(F::CTarih, c);
        r.write(F::DGVMAT, "5");
        Hesapla(r, m);
        ASSERT_EQ(m.entries.size(), 2u);
        EXPECT_EQ(m.entries[1].text, std::string(kInvalidDatesMessage) + "\r\n" + why) << g << " " << c;
        EXPECT_EQ(m.entries[1].icon, MessageIcon::None);
        EXPECT_EQ(r.text(F::NET), "6.817,13") << g << " " << c;
        EXPECT_EQ(r.text(F::DGVMAT), "5");
        EXPECT_TRUE(r.command3Enabled());
    }
}

TEST(Hesapla, CarriedTaxBaseIsKept) {
    const std::pair<const char*, const char*> cases[] = {
        {"7.000", "7.000,00"}, {"7000", "7.000,00"}, {"", "0,00"}, {"0,00", "0,00"}};
    for (auto [typed, shown] : cases) {
        Record r = Sheet2007();
        r.write(F::GTarih, "15.03.2004");
        r.write(F::CTarih, "14.09.2007");
        r.write(F::TBRUT, "2.000,00");
        r.write(F::DGVMAT, typed);
        RecordedMessages m;
        Hesapla(r, m);
        EXPECT_EQ(r.text(F::DGVMAT), shown);
        EXPECT_EQ(r.ytlHesap.GM2, std::string(shown) == "7.000,00" ? "7000" : "0");
        // 500 of the notice pay still at 15 %, the rest at 20 %.
        EXPECT_EQ(r.text(F::IGVER), std::string(shown) == "7.000,00" ? "721,67" : "560,00") << typed;
    }
}

TEST(Hesapla, UnreadableFiguresStopBeforeAnyResult) {
    const std::string fix = "\r\n\"Sabitler\" sekmesinde düzeltip yeniden hesaplayın.";
    struct Failure {
        F field;
        const char* text;
        std::string message;
    } cases[] = {
        {F::ESUCRET, "2.000,00 TL", "En Son Aylık Brüt Ücreti okunamadı: \"2.000,00 TL\""},
        {F::IUCRET, "₺ 10", "İlave Ücret okunamadı: \"₺ 10\""},
        {F::DGUN, "abc", "Devreden Prim Günü okunamadı: \"abc\""},
        {F::DVOR, "6.6", "Damga Vergisi Oranı (Binde) okunamadı: \"6.6\"" + fix},
        {F::DVOR, "", "Damga Vergisi Oranı (Binde) girilmemiş." + fix},
        {F::TAV, "", "Kıdem Tazminatı Tavanı girilmemiş." + fix},
        {F::KGN, "x", "Kıdem Günü (1 Yıl İçin) okunamadı: \"x\"" + fix},
        {F::DL4, "", "37 Ay Üzeri İçin girilmemiş." + fix},
        {F::O1, "on beş", "GV Dilim. ve Oranları, 1. dilimin oranı okunamadı: \"on beş\"" + fix},
        {F::DGVMAT, "250000.00", "En Son Top. GV Matrahı okunamadı: \"250000.00\""},
        {F::DGVMAT, "250000,00 TL", "En Son Top. GV Matrahı okunamadı: \"250000,00 TL\""},
        // Out of range: negative, zero where a figure must be above it, too large.
        {F::ESUCRET, "-2.000,00", "En Son Aylık Brüt Ücreti eksi olamaz: \"-2.000,00\""},
        {F::DGUN, "-100", "Devreden Prim Günü eksi olamaz: \"-100\""},
        {F::DVOR, "-7,59", "Damga Vergisi Oranı (Binde) eksi olamaz: \"-7,59\"" + fix},
        {F::TAV, "0", "Kıdem Tazminatı Tavanı sıfır olamaz: \"0\"" + fix},
        {F::KGN, "0", "Kıdem Günü (1 Yıl İçin) sıfır olamaz: \"0\"" + fix},
        {F::DL4, "-56", "37 Ay Üzeri İçin eksi olamaz: \"-56\"" + fix},
        {F::ESUCRET, "1.000.000.000.000.000,00",
         "En Son Aylık Brüt Ücreti en çok 999.999.999,99 olabilir: \"1.000.000.000.000.000,00\""},
        {F::DGUN, "99999999999999999999",
         "Devreden Prim Günü en çok 99.999 olabilir: \"99999999999999999999\""},
        {F::VD1, "-7500", "GV Dilim. ve Oranları, 1. dilimin sınırı eksi olamaz: \"-7500\"" + fix},
        {F::O1, "99", "GV Dilim. ve Oranları, 1. dilimin oranı en çok 50 olabilir: \"99\"" + fix},
        {F::KGN, "366", "Kıdem Günü (1 Yıl İçin) en çok 365 olabilir: \"366\"" + fix},
    };
    for (const auto& c : cases) {
        Record r = Sheet2007();
        r.write(F::GTarih, "15.03.2004");
        r.write(F::CTarih, "14.09.2007");
        r.write(F::TBRUT, "2.000,00");
        r.write(F::DGVMAT, "5");
        r.write(c.field, c.text);
        RecordedMessages m;
        Hesapla(r, m);
        ASSERT_EQ(m.entries.size(), 1u) << c.message;
        EXPECT_EQ(m.entries[0].text, c.message);
        EXPECT_EQ(m.entries[0].icon, MessageIcon::Warning) << c.message;
        for (F f : kResultFields) EXPECT_EQ(r.text(f), "") << c.message << ": " << FieldName(f);
        EXPECT_EQ(r.text(F::DGVMAT), c.field == F::DGVMAT ? c.text : "5") << c.message;
        EXPECT_FALSE(r.command3Enabled()) << c.message;
    }
}

TEST(GelVerHesapla, RowsTheBaseReaches) {
    struct Row {
        std::array<const char*, 5> limits, rates;
        const char* base;
        std::optional<std::pair<int, bool>> unreadable;
    } rows[] = {
        {{"1000", "2000", "", "", ""}, {"10", "20", "", "", ""}, "1500", std::nullopt},
        {{"1000", "2000", "", "", ""}, {"10", "20", "", "", ""}, "2500", std::nullopt}, // empty limit ends it
        {{"1000", "2000", "3.OOO", "", ""}, {"10", "20", "30", "", ""}, "1500", std::nullopt},
        {{"1000", "2000", "3.OOO", "", ""}, {"10", "20", "30", "", ""}, "2000", std::nullopt}, // on a limit
        {{"1000", "2000", "3.OOO", "", ""}, {"10", "20", "30", "", ""}, "2500", std::pair{3, false}},
        {{"1000", "2000", "3000", "", ""}, {"10", "", "30", "", ""}, "500", std::nullopt},
        {{"1000", "2000", "3000", "", ""}, {"10", "", "30", "", ""}, "1500", std::pair{2, true}},
    };
    for (const auto& row : rows) {
        YTLHesap calc;
        for (size_t k = 0; k < 5; ++k) {
            calc.VD[k] = row.limits[k];
            calc.O[k] = row.rates[k];
        }
        calc.GM = row.base;
        calc.GM2 = "0";
        auto bad = FindUnreadableBracket(ParseNumber(row.base).value_or(0), 0, calc.table());
        ASSERT_EQ(bad.has_value(), row.unreadable.has_value()) << row.base << " " << row.limits[2];
        if (bad) {
            EXPECT_EQ(std::pair(bad->row, bad->rate), *row.unreadable) << row.base;
        }
    }
}

TEST(Hesapla, YearlyAmountUnderTheCeiling) {
    const std::tuple<const char*, const char*, double> cases[] = {
        {"2.500,00", "30", 1960.69},
        {"1.500,00", "30", 1500},
        {"2.500,00", "x", 1500 /* kept from the last calculation */}};
    Record r = Sheet2007();
    r.setMode(Mode::PremiumDays);
    r.write(F::GGUN, "400");
    RecordedMessages m;
    for (auto [wage, kgn, y] : cases) {
        r.write(F::TBRUT, wage);
        r.write(F::KGN, kgn);
        Hesapla(r, m);
        EXPECT_DOUBLE_EQ(r.yillikKidemTutari, y) << wage << " " << kgn;
    }
}

TEST(Record, DefaultsAndClearing) {
    Record r;
    for (F f : {F::DGUN, F::TGUN, F::GGUN, F::DGVMAT, F::ESUCRET, F::IUCRET, F::TBRUT, F::YIUCRET})
        EXPECT_EQ(r.text(f), "0");
    EXPECT_EQ(r.text(F::GTarih), "__.__.____");
    EXPECT_EQ(r.text(F::txtIbraname), kDefaultReleaseText);
    EXPECT_EQ(r.mode(), Mode::Dates);
    EXPECT_EQ(r.check1(), 1);
    EXPECT_FALSE(r.command3Enabled());

    std::vector<F> order;
    r.setObserver([&](std::optional<F> f) {
        if (f) order.push_back(*f);
    });
    for (F f : kResultFields) r.write(f, "1");
    order.clear();
    BOSALT(r);
    EXPECT_EQ(order, std::vector<F>(kResultFields.begin(), kResultFields.end()));
}

TEST(Record, OnlyAChangeRunsTheRule) {
    Record r;
    int runs = 0;
    r.setChangeRule(F::DGUN, [&] {
        ++runs;
        r.write(F::GGUN, r.text(F::DGUN)); // nested write
    });
    int ggun = 0;
    r.setChangeRule(F::GGUN, [&] { ++ggun; });
    r.write(F::DGUN, "0");
    EXPECT_EQ(runs, 0);
    r.write(F::DGUN, "5");
    r.write(F::DGUN, "5");
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ggun, 1);
    EXPECT_EQ(r.text(F::GGUN), "5");
}

namespace {
// The day after a date, by the standard library's calendar.
Date NextDay(Date d) {
    using namespace std::chrono;
    const year_month_day next{
        sys_days{year{d.year} / month{static_cast<unsigned>(d.month)} / day{static_cast<unsigned>(d.day)}} +
        days{1}};
    return {static_cast<int>(static_cast<unsigned>(next.day())),
            static_cast<int>(static_cast<unsigned>(next.month())), static_cast<int>(next.year())};
}

std::chrono::sys_days Days(Date d) {
    using namespace std::chrono;
    return sys_days{year{d.year} / month{static_cast<unsigned>(d.month)} / day{static_cast<unsigned>(d.day)}};
}

// Years, months and days from entry to the day after the exit, by the standard library's calendar: the
// most months k for which the entry plus k months (a day past the month's end on its last day) is not
// after the end, then the calendar days left.
ServiceLength ByAnniversaries(Date entry, Date exit) {
    using namespace std::chrono;
    const sys_days end = Days(exit) + days{1};
    const auto plus = [&](int k) {
        const year_month_day at = year_month_day{Days(entry)} + months{k};
        return at.ok() ? sys_days{at} : sys_days{at.year() / at.month() / last};
    };
    int k = 0;
    while (plus(k + 1) <= end) ++k;
    return {k / 12, k % 12, static_cast<double>((end - plus(k)).count())};
}
} // namespace

TEST(CountService, EveryAnniversaryIsOneYear) {
    int pairs = 0;
    for (Date d{1, 1, 2024}; d.year <= 2026; d = NextDay(d)) {
        Date exit{d.day, d.month, d.year + 1};
        if (!IsCalendarDate(exit.day, exit.month, exit.year)) continue; // 29 February has its own rows
        // One year on, the day before.
        Date before = d;
        while (NextDay(before) != exit) before = NextDay(before);
        const ServiceLength s = CountService(d, before);
        EXPECT_EQ(std::tuple(s.years, s.months, s.days), std::tuple(1, 0, 0.0)) << DateText(d);
        ++pairs;
    }
    EXPECT_GT(pairs, 1000);
}

TEST(CountService, MatchesTheAnniversarySearch) {
    std::mt19937 rng(19);
    for (int i = 0; i < 2000; ++i) {
        Date entry{std::uniform_int_distribution(1, 31)(rng), std::uniform_int_distribution(1, 12)(rng),
                   std::uniform_int_distribution(1990, 2026)(rng)};
        if (!IsCalendarDate(entry.day, entry.month, entry.year)) continue;
        Date exit = entry;
        for (int k = std::uniform_int_distribution(0, 4000)(rng); k > 0; --k) exit = NextDay(exit);
        const ServiceLength a = CountService(entry, exit), b = ByAnniversaries(entry, exit);
        EXPECT_EQ(std::tuple(a.years, a.months, a.days), std::tuple(b.years, b.months, b.days))
            << DateText(entry) << " - " << DateText(exit);
    }
}

// No ceiling typed and none in the table for the exit date: a wage above the last one known leaves the
// severance empty, and the result box says why where its amount would be; the notice pay is paid.
TEST(Hesapla, ASeveranceNotWorkedOutSaysWhyInTheResultBox) {
    Record r = Sheet2007();
    r.write(F::TAV, "");
    r.tavanTablosu =
        CeilingInForce{std::nullopt, 1960.69, "01.01.2007 – 30.06.2007", "01.07.2007 – 31.12.2007"};
    r.write(F::GTarih, "15.03.2004");
    r.write(F::CTarih, "14.09.2007");
    r.write(F::TBRUT, "2.000,00");
    RecordedMessages m;
    Hesapla(r, m);
    ASSERT_EQ(m.entries.size(), 1u);
    EXPECT_EQ(r.text(F::NET), "");
    EXPECT_EQ(r.text(F::ITAZM), "3.148,69");
    EXPECT_EQ(
        m.entries[0].text.rfind("Kıdem Tazminatı = Kıdem tazminatı hesaplanmadı: 01.07.2007 – 31.12.2007 "
                                "dönemi için Kıdem Tazminatı Tavanı tabloda yok",
                                0),
        0u)
        << m.entries[0].text;
    EXPECT_NE(m.entries[0].text.find("\r\nİhbar Tazminatı  =3.148,69"), std::string::npos);
}

// A case stored by a release that did not work out the leave pay: its typed leave pay, without the SGK
// figures it would now need, still gives its calculation back, as it was made then; a case stored with a
// leave result is made again with it.
TEST(HesabiGeriKoy, ACaseStoredBeforeTheLeavePayComesBackAsItWas) {
    Record r = Sheet2007();
    for (Field f : {F::SGKIO, F::ISIO, F::PEKUST}) r.write(f, "");
    r.write(F::GTarih, "15.03.2004");
    r.write(F::CTarih, "14.09.2007");
    r.write(F::TBRUT, "2.000,00");
    r.write(F::YIUCRET, "1.234,56");
    ASSERT_TRUE(HesabiGeriKoy(r));
    ASSERT_TRUE(r.hesap());
    EXPECT_FALSE(r.hesap()->sonuc.leave);
    EXPECT_EQ(r.hesap()->sonuc.netKurus, 681713);

    r.write(F::IZNET, "883,81"); // stored with its leave result: the figures it was made with are needed
    const Expected<void> again = HesabiGeriKoy(r);
    ASSERT_FALSE(again);
    EXPECT_NE(again.error().message.find("SGK İşçi Payı (%) girilmemiş"), std::string::npos);
}
