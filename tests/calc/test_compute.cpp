// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation as a function of a case and its legal figures, without a sheet.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "calc/compute.h"

using namespace pamerol;

namespace {

// The figures of the first half of 2007 (ceiling 1.960,69, stamp duty 6,6 per mille, the 2007 brackets).
LegalFigures Law2007() {
    LegalFigures law;
    law.stampDutyPerMille = 6.6;
    law.severanceDays = 30;
    law.ceiling = 1960.69;
    const double days[] = {14, 28, 42, 56};
    for (size_t i = 0; i < 4; ++i) law.noticeDays[i] = {days[i], std::to_string(static_cast<int>(days[i]))};
    const double rates[] = {15, 20, 27, 35, 35}, limits[] = {7500, 19000, 43000, 999999999, 999999999};
    for (size_t i = 0; i < 5; ++i) law.brackets[i] = {rates[i], limits[i], true};
    return law;
}

CaseInput Dates(Date entry, Date exit, double wage) {
    CaseInput in;
    in.entry = entry;
    in.exit = exit;
    in.wage = wage;
    return in;
}

CaseInput Premium(double days, double wage) {
    CaseInput in;
    in.mode = Mode::PremiumDays;
    in.premiumDays = days;
    in.wage = wage;
    return in;
}

} // namespace

TEST(Compute, EveryFigureOfACase) {
    struct Row {
        const char* name;
        CaseInput in;
        LegalFigures law;
        double tgunu;
        int band;
        bool entitled, capped;
        Kurus bktaz, net, bitzm, igver, itazm;
    };
    LegalFigures carried = Law2007();
    CaseInput highBase = Dates({15, 3, 2004}, {14, 9, 2007}, 2000);
    highBase.carriedTaxBase = 7000; // 500 of the notice pay at 15 %, the rest at 20 %
    LegalFigures sixth = Law2007();
    sixth.brackets[0].limit = 1000; // a notice pay across three brackets
    sixth.brackets[1].limit = 2000;
    const Row rows[] = {
        {"the worked example", Dates({15, 3, 2004}, {14, 9, 2007}, 2000), Law2007(), 1275, 3, true, true,
         686242, 681712, 373333, 56000, 314869},
        {"under the ceiling", Dates({15, 3, 2004}, {14, 9, 2007}, 1500), Law2007(), 1275, 3, true, false,
         525000, 521535, 280000, 42000, 236152},
        {"carried tax base", highBase, carried, 1275, 3, true, true, 686242, 681712, 373333, 72167, 298702},
        {"three brackets", Dates({15, 3, 2004}, {14, 9, 2007}, 2000), sixth, 1275, 3, true, true, 686242,
         681712, 373333, 81800, 289069},
        {"premium days, second band", Premium(400, 1000), Law2007(), 400, 1, true, false, 109703, 108979,
         93333, 14000, 78717},
        {"under a year", Dates({15, 1, 2007}, {10, 3, 2007}, 600), Law2007(), 56, 0, false, false, 9274, 9213,
         28000, 4200, 23615},
    };
    for (const Row& r : rows) {
        const Expected<Result> x = Compute(r.in, r.law);
        ASSERT_TRUE(x) << r.name << ": " << x.error().message;
        EXPECT_EQ(x->tgunu, r.tgunu) << r.name;
        EXPECT_EQ(x->band, r.band) << r.name;
        EXPECT_EQ(x->entitled, r.entitled) << r.name;
        EXPECT_EQ(x->ceilingApplied, r.capped) << r.name;
        EXPECT_EQ(x->bktazKurus, r.bktaz) << r.name;
        EXPECT_EQ(x->netKurus, r.net) << r.name;
        EXPECT_EQ(x->bitzmKurus, r.bitzm) << r.name;
        EXPECT_EQ(x->igverKurus, r.igver) << r.name;
        EXPECT_EQ(x->itazmKurus, r.itazm) << r.name;
        // The parts add up: the shares to the gross, the slices to the notice pay.
        EXPECT_NEAR(x->yearsShare + x->monthsShare + x->daysShare, x->bktaz, 1e-6) << r.name;
        double slices = 0;
        for (double s : x->tax.slice) slices += s;
        EXPECT_NEAR(slices, x->bitzm, 1e-6) << r.name;
    }
}

TEST(Compute, NamesTheFigureThatStopsIt) {
    struct Row {
        const char* name;
        CaseInput in;
        LegalFigures law;
        std::string message; // empty: computed
    };
    LegalFigures noFirstBand = Law2007();
    noFirstBand.noticeDays[0] = {std::nullopt, ""};
    LegalFigures noLastBand = Law2007();
    noLastBand.noticeDays[3] = {std::nullopt, "elli altı"};
    LegalFigures badLimit = Law2007();
    badLimit.brackets[0] = {15, std::nullopt, true};
    badLimit.limitTexts[0] = "7.5OO";
    LegalFigures zeroCeiling = Law2007();
    zeroCeiling.ceiling = 0;
    CaseInput negative = Premium(400, -2000);
    LegalFigures noCeiling = Law2007();
    noCeiling.ceiling = kMaxAmount;
    CaseInput reversed = Dates({15, 3, 2007}, {10, 1, 2007}, 2000);
    const std::string fix = "\r\n\"Sabitler\" sekmesinde düzeltip yeniden hesaplayın.";
    const Row rows[] = {
        {"a band the case does not reach", Dates({15, 3, 2004}, {14, 9, 2007}, 2000), noFirstBand, ""},
        {"the band it reaches", Dates({15, 3, 2004}, {14, 9, 2007}, 2000), noLastBand,
         "37 Ay Üzeri İçin okunamadı: \"elli altı\"" + fix},
        {"a bracket limit it reaches", Dates({15, 3, 2004}, {14, 9, 2007}, 2000), badLimit,
         "GV Dilim. ve Oranları, 1. dilimin sınırı okunamadı: \"7.5OO\"" + fix},
        {"a ceiling of zero", Premium(400, 1000), zeroCeiling,
         "Kıdem Tazminatı Tavanı sıfır olamaz: \"0\"" + fix},
        {"a negative wage", negative, Law2007(), "Brüt Ücret Toplam eksi olamaz: \"-2000\""},
        {"exit before entry", reversed, Law2007(), "Çıkış tarihi giriş tarihinden önce."},
        {"a result no paper can show", Premium(kMaxDays, kMaxAmount), noCeiling,
         "Hesap yapılamadı: sonuç 999.999.999,99'dan büyük; ücreti, günleri ve yasal değerleri kontrol "
         "edin."},
        // The ceiling keeps the severance pay small; the notice pay is not capped.
        {"a notice pay no paper can show", Premium(1110, kMaxAmount), Law2007(),
         "Hesap yapılamadı: sonuç 999.999.999,99'dan büyük; ücreti, günleri ve yasal değerleri kontrol "
         "edin."},
    };
    for (const Row& r : rows) {
        const Expected<Result> x = Compute(r.in, r.law);
        if (r.message.empty()) {
            EXPECT_TRUE(x) << r.name << ": " << x.error().message;
        } else {
            ASSERT_FALSE(x) << r.name;
            EXPECT_EQ(x.error().message, r.message) << r.name;
        }
    }
}
