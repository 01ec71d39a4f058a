// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>

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
         {{F::TGUNU, "1276"},
          {F::KYILI, "3"},
          {F::KAYI, "6"},
          {F::KGUNU, "1"},
          {F::BKTAZ, "6.867,79"},
          {F::DVER, "45,33"},
          {F::NET, "6.822,46"},
          {F::TIGUNU, "1261"},
          {F::IAYI, "42"},
          {F::KIGUNU, "16"},
          {F::HIGUNU, "56"},
          {F::BITZM, "3.733,33"},
          {F::IDVER, "24,64"},
          {F::IGVER, "560,00"},
          {F::ITAZM, "3.148,69"},
          {F::DGVMAT, "0,00"}},
         "Kıdem Tazminatı =6.822,46\r\nİhbar Tazminatı  =3.148,69"},
        {"one calendar year gets five extra days",
         Mode::Dates,
         {{F::GTarih, "01.01.2006"}, {F::CTarih, "31.12.2006"}, {F::TBRUT, "1.500,00"}},
         {{F::TIGUNU, "360"},
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
         {{F::TGUNU, "57"},
          {F::KYILI, "0"},
          {F::IAYI, "1"},
          {F::KIGUNU, "27"},
          {F::HIGUNU, "14"},
          {F::BITZM, "280,00"},
          {F::BKTAZ, ""},
          {F::DVER, ""},
          {F::NET, ""}},
         kNotEntitled + "236,15"},
        {"short February",
         Mode::Dates,
         {{F::GTarih, "10.02.2007"}, {F::CTarih, "05.04.2007"}},
         {{F::TGUNU, "54"}},
         ""},
        {"same month, whole February",
         Mode::Dates,
         {{F::GTarih, "01.02.2007"}, {F::CTarih, "28.02.2007"}},
         {{F::TGUNU, "28"}},
         ""},
        {"same month, part",
         Mode::Dates,
         {{F::GTarih, "05.02.2007"}, {F::CTarih, "20.02.2007"}},
         {{F::TGUNU, "16"}},
         ""},
        {"same month, 31 days",
         Mode::Dates,
         {{F::GTarih, "01.03.2007"}, {F::CTarih, "31.03.2007"}},
         {{F::TGUNU, "30"}},
         ""},
        {"exit on the 31st",
         Mode::Dates,
         {{F::GTarih, "01.01.2007"}, {F::CTarih, "31.05.2007"}},
         {{F::TGUNU, "150"}},
         ""},
        {"same day counts one",
         Mode::Dates,
         {{F::GTarih, "10.05.2007"}, {F::CTarih, "10.05.2007"}},
         {{F::TGUNU, "1"}},
         ""},
        {"carried days are added",
         Mode::Dates,
         {{F::GTarih, "15.01.2007"}, {F::CTarih, "10.03.2007"}, {F::DGUN, "303"}},
         {{F::TIGUNU, "360"}, {F::TGUNU, "365"}, {F::KYILI, "1"}},
         ""},
        {"540 counted days move to the third band",
         Mode::Dates,
         {{F::GTarih, "01.01.2006"}, {F::CTarih, "30.06.2007"}},
         {{F::TIGUNU, "540"}, {F::TGUNU, "545"}, {F::HIGUNU, "42"}},
         ""},
        {"premium days",
         Mode::PremiumDays,
         {{F::GGUN, "400"}, {F::GTarih, "__.__.____"}},
         {{F::TGUNU, "400"}, {F::TIGUNU, "400"}, {F::KYILI, "1"}, {F::KAYI, "1"}, {F::KGUNU, "5"}},
         ""},
        {"across a year end",
         Mode::Dates,
         {{F::GTarih, "15.12.2006"}, {F::CTarih, "10.01.2007"}},
         {{F::TGUNU, "27"}},
         ""},
        {"fractional premium days give fractional days",
         Mode::PremiumDays,
         {{F::GGUN, "400,5"}},
         {{F::KYILI, "1"}, {F::KAYI, "1"}, {F::KGUNU, "5,5"}},
         ""},
        // NET from the unrounded gross and stamp duty (1.089,95 from the rounded ones).
        {"net severance from unrounded amounts",
         Mode::PremiumDays,
         {{F::GGUN, "400"}, {F::TBRUT, "1.000,14"}},
         {{F::NET, "1.089,94"}},
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
         {{F::GTarih, "15.03.2004"}, {F::CTarih, "14.09.2007"}, {F::TBRUT, "2.000,00"}, {F::O1, "99"}},
         {{F::IGVER, "3.696,00"}},
         ""},
        {"premium days under a year",
         Mode::PremiumDays,
         {{F::GGUN, "364"}},
         {{F::KYILI, "0"}, {F::NET, ""}},
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

TEST(Hesapla, NoticeBands) {
    const std::pair<const char*, const char*> cases[] = {{"180", "14"}, {"181", "28"},  {"540", "28"},
                                                         {"541", "42"}, {"1080", "42"}, {"1081", "56"},
                                                         {"1110", "56"}};
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
        {"15.03.20__", "14.09.2007", "Giriş tarihi eksik: \"15.03.20__\""},
        {"31.02.2007", "01.03.2007", "Giriş tarihi: 31.02.2007 takvimde yok."},
        {"15.03.0204", "14.09.2007", "Giriş tarihi: 15.03.0204, yıl 1900 ile 2099 arasında olmalı."},
        {"15.03.2004", "14.09.2107", "Çıkış tarihi: 14.09.2107, yıl 1900 ile 2099 arasında olmalı."},
        {"15.03.2007", "10.01.2007", "Çıkış tarihi (10.01.2007) giriş tarihinden (15.03.2007) önce."},
        {"10.05.2007", "05.05.2007", "Çıkış tarihi (05.05.2007) giriş tarihinden (10.05.2007) önce."},
        {"01.01.2008", "31.12.2007", "Çıkış tarihi (31.12.2007) giriş tarihinden (01.01.2008) önce."},
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
        EXPECT_EQ(r.text(F::NET), "6.822,46") << g << " " << c;
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
        {{"1000", "2000", "", "", ""}, {"10", "20", "", "", ""}, "1500", std::nullopt}, // empty limit ends it
        {{"1000", "2000", "3.OOO", "", ""}, {"10", "20", "30", "", ""}, "1500", std::nullopt},
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
    EXPECT_EQ(r.text(F::txtIbraname).size(), 752u); // 677 characters, Turkish letters take two bytes
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
