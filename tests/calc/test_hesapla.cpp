#include <gtest/gtest.h>

#include <map>

#include "calc/hesapla.h"

using namespace pamerol;
using F = Field;

namespace {

// A sheet with the figures of mid-2007 and the bracket table copied into the calculator.
Record Sheet2007() {
    Record r;
    const std::pair<F, const char*> settings[] = {
        {F::DVOR, "6,6"},        {F::KGN, "30"},     {F::TAV, "1960,69"}, {F::DL1, "14"},
        {F::DL2, "28"},          {F::DL3, "42"},     {F::DL4, "56"},      {F::O1, "15"},
        {F::O2, "20"},           {F::O3, "27"},      {F::O4, "35"},       {F::O5, "35"},
        {F::VD1, "7.500"},       {F::VD2, "19.000"}, {F::VD3, "43.000"},  {F::VD4, "999.999.999"},
        {F::VD5, "999.999.999"},
    };
    for (auto [f, t] : settings) r.write(f, t);
    for (size_t i = 0; i < 5; ++i) {
        r.ytlHesap.O[i] = r.text(static_cast<F>(static_cast<int>(F::O1) + static_cast<int>(i)));
        r.ytlHesap.VD[i] = r.text(static_cast<F>(static_cast<int>(F::VD1) + static_cast<int>(i)));
    }
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
    const std::pair<const char*, const char*> cases[] = {
        {"15.03.2004", "__.__.____"}, {"31.02.2007", "01.03.2007"}, {"15.03.2007", "10.01.2007"},
        {"10.05.2007", "05.05.2007"}, {"01.01.2008", "31.12.2007"},
    };
    for (auto [g, c] : cases) {
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
        EXPECT_EQ(m.entries[1].text, kInvalidDatesMessage) << g << " " << c;
        EXPECT_EQ(m.entries[1].icon, MessageIcon::None);
        EXPECT_EQ(r.text(F::NET), "6.822,46") << g << " " << c;
        EXPECT_EQ(r.text(F::DGVMAT), "5");
        EXPECT_TRUE(r.command3Enabled());
    }
}

TEST(Hesapla, CarriedTaxBaseIsKept) {
    const std::pair<const char*, const char*> cases[] = {
        {"7.000", "7.000,00"}, {"7000", "7.000,00"}, {"abc", "0,00"}, {"", "0,00"}, {"0,00", "0,00"}};
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

TEST(Hesapla, FailuresLeaveTheLaterResultsEmpty) {
    struct Failure {
        const char* name;
        F field;
        const char* text;
        std::map<F, std::string> expected;
        std::string message;
    } cases[] = {
        {"unreadable carried days",
         F::DGUN,
         "abc",
         {{F::TGUNU, ""}, {F::KYILI, ""}, {F::ITAZM, ""}, {F::BKTAZ, ""}},
         kNotEntitled},
        {"empty notice band",
         F::DL4,
         "",
         {{F::KYILI, "3"}, {F::HIGUNU, ""}, {F::BITZM, ""}, {F::ITAZM, ""}, {F::BKTAZ, ""}, {F::NET, ""}},
         "Kıdem Tazminatı =\r\nİhbar Tazminatı  ="},
        {"empty stamp-duty rate",
         F::DVOR,
         "",
         {{F::BITZM, "3733,33333333333"}, {F::IDVER, ""}, {F::IGVER, ""}, {F::BKTAZ, ""}},
         ""},
        {"empty ceiling", F::TAV, "", {{F::BKTAZ, "0,00"}, {F::NET, "0,00"}}, ""},
    };
    for (const auto& c : cases) {
        Record r = Sheet2007();
        r.write(F::GTarih, "15.03.2004");
        r.write(F::CTarih, "14.09.2007");
        r.write(F::TBRUT, "2.000,00");
        RecordedMessages m;
        Hesapla(r, m); // results of a first, complete calculation must not survive the second
        r.write(c.field, c.text);
        Hesapla(r, m);
        for (const auto& [f, t] : c.expected) EXPECT_EQ(r.text(f), t) << c.name << ": " << FieldName(f);
        if (!c.message.empty()) {
            EXPECT_EQ(m.entries.back().text, c.message) << c.name;
        }
        EXPECT_TRUE(r.command3Enabled()) << c.name;
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

TEST(KidemHesapla, NegativeDaysRoundDown) {
    Record r = Sheet2007();
    r.write(F::TGUNU, "-4");
    EXPECT_TRUE(KıdemHesapla(r));
    EXPECT_EQ(r.text(F::TGUNU), "-9");
    EXPECT_EQ(r.text(F::KYILI), "-1");
    EXPECT_EQ(r.text(F::KAYI), "11");
    EXPECT_EQ(r.text(F::KGUNU), "26");
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
