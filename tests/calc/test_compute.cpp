// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation as a function of a case and its legal figures, without a sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <tuple>

#include "base/conversions.h"
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

// The figures of the first half of 2026 with a contract's 60 days (the wage tariff's brackets).
LegalFigures Law2026(double severanceDays = 60) {
    LegalFigures law;
    law.stampDutyPerMille = 7.59;
    law.severanceDays = severanceDays;
    law.ceiling = 64948.77;
    law.inForce = CeilingInForce{64948.77, std::nullopt, {}, {}};
    const double days[] = {14, 28, 42, 56};
    for (size_t i = 0; i < 4; ++i) law.noticeDays[i] = {days[i], std::to_string(static_cast<int>(days[i]))};
    const double rates[] = {15, 20, 27, 35, 40}, limits[] = {190000, 400000, 1500000, 5300000, 999999999};
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
        Kurus bktaz, kgver, net, bitzm, igver, itazm;
    };
    LegalFigures carried = Law2007();
    CaseInput highBase = Dates({15, 3, 2004}, {14, 9, 2007}, 2000);
    highBase.carriedTaxBase = 7000; // 500 of the notice pay at 15 %, the rest at 20 %
    LegalFigures sixth = Law2007();
    sixth.brackets[0].limit = 1000; // a notice pay across three brackets
    sixth.brackets[1].limit = 2000;
    // A collective agreement's 60 days: 400.000,00 above the statutory amount is taxed on top of the
    // carried 300.000,00 (100.000,00 at 20 %, 300.000,00 at 27 %), the notice pay on top of both.
    CaseInput contract = Dates({1, 3, 2016}, {28, 2, 2026}, 40000);
    contract.carriedTaxBase = 300000;
    // A ceiling typed above the law's: the part above the law's ceiling is wages.
    LegalFigures typedCeiling = Law2026(30);
    typedCeiling.ceiling = 100000;
    const Row rows[] = {
        {"the worked example", Dates({15, 3, 2004}, {14, 9, 2007}, 2000), Law2007(), 1279, 3, true, true,
         686242, 0, 681713, 373333, 56000, 314869},
        {"under the ceiling", Dates({15, 3, 2004}, {14, 9, 2007}, 1500), Law2007(), 1279, 3, true, false,
         525000, 0, 521535, 280000, 42000, 236152},
        {"carried tax base", highBase, carried, 1279, 3, true, true, 686242, 0, 681713, 373333, 72167,
         298702},
        {"three brackets", Dates({15, 3, 2004}, {14, 9, 2007}, 2000), sixth, 1279, 3, true, true, 686242, 0,
         681713, 373333, 81800, 289069},
        {"premium days, second band", Premium(400, 1000), Law2007(), 400, 1, true, false, 111111, 0, 110378,
         93333, 14000, 78717},
        {"under a year", Dates({15, 1, 2007}, {10, 3, 2007}, 600), Law2007(), 55, 0, false, false, 8945, 0,
         8886, 28000, 4200, 23615},
        {"a contract's 60 days", contract, Law2026(), 3652, 3, true, false, 80000000, 10100000, 69292800,
         7466667, 2016000, 5393995},
        {"a ceiling above the law's", Dates({1, 3, 2016}, {28, 2, 2026}, 100000), typedCeiling, 3652, 3, true,
         false, 100000000, 6060246, 93180754, 18666667, 4693586, 13831401},
    };
    for (const Row& r : rows) {
        const Expected<Result> x = Compute(r.in, r.law);
        ASSERT_TRUE(x) << r.name << ": " << x.error().message;
        EXPECT_EQ(x->tgunu, r.tgunu) << r.name;
        EXPECT_EQ(x->band, r.band) << r.name;
        EXPECT_EQ(x->entitled, r.entitled) << r.name;
        EXPECT_EQ(x->ceilingApplied, r.capped) << r.name;
        EXPECT_EQ(x->bktazKurus, r.bktaz) << r.name;
        EXPECT_EQ(x->kgverKurus, r.kgver) << r.name;
        EXPECT_EQ(x->netKurus, r.net) << r.name;
        EXPECT_EQ(x->bitzmKurus, r.bitzm) << r.name;
        EXPECT_EQ(x->igverKurus, r.igver) << r.name;
        EXPECT_EQ(x->itazmKurus, r.itazm) << r.name;
        // The parts add up: the shares to the gross, the slices to the shown notice pay.
        EXPECT_NEAR(x->yearsShare + x->monthsShare + x->daysShare, x->bktaz, 1e-6) << r.name;
        double slices = 0;
        for (double s : x->tax.slice) slices += s;
        EXPECT_NEAR(slices, static_cast<double>(x->bitzmKurus) / 100, 1e-6) << r.name;
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

// SGK's count: 30 premium days a month, 360 a year; the notice band from the months and the days over them.
TEST(Compute, PremiumDaysAsSgkCountsThem) {
    struct Row {
        double days;
        int years, months;
        double rest;
        int band;
    } rows[] = {
        {179, 0, 5, 29, 0},   {180, 0, 6, 0, 1},  {359, 0, 11, 29, 1}, {360, 1, 0, 0, 1},
        {361, 1, 0, 1, 1},    {539, 1, 5, 29, 1}, {540, 1, 6, 0, 1},   {541, 1, 6, 1, 2},
        {1079, 2, 11, 29, 2}, {1080, 3, 0, 0, 2}, {1081, 3, 0, 1, 3},  {3600, 10, 0, 0, 3},
    };
    for (const Row& r : rows) {
        const Expected<Result> x = Compute(Premium(r.days, 1000), Law2007());
        ASSERT_TRUE(x) << r.days;
        EXPECT_EQ(std::tuple(x->kyili, x->kayi, x->kgunu, x->band),
                  std::tuple(r.years, r.months, r.rest, r.band))
            << r.days;
        EXPECT_EQ(x->entitled, r.years >= 1) << r.days;
    }
    // Ten full insured years pay ten years' severance.
    const Expected<Result> ten = Compute(Premium(3600, 40000), Law2026(30));
    ASSERT_TRUE(ten);
    EXPECT_EQ(ten->bktazKurus, 40000000);
}

namespace {
// The tariff's tax on a year's whole base, in kuruş × percent, from whole kuruş.
std::int64_t TariffTax(std::int64_t base) {
    const std::int64_t limits[] = {19000000, 40000000, 150000000, 530000000, 99999999900};
    const std::int64_t rates[] = {15, 20, 27, 35, 40};
    std::int64_t tax = 0, below = 0;
    for (size_t i = 0; i < 5 && base > below; ++i) {
        tax += (std::min(base, limits[i]) - below) * rates[i];
        below = limits[i];
    }
    return tax;
}
} // namespace

// The severance above the statutory amount is taxed from wherever the year's base stands, across every
// bracket edge, and the notice pay on top of both.
TEST(Compute, ExtraSeveranceTaxedAtEveryBracketEdge) {
    const std::int64_t edges[] = {0,         18999999,  19000000,  19000001,  39999999,  40000000, 40000001,
                                  149999999, 150000000, 150000001, 529999999, 530000000, 530000001};
    for (std::int64_t carried : edges) {
        CaseInput in = Dates({1, 3, 2016}, {28, 2, 2026}, 40000);
        in.carriedTaxBase = static_cast<double>(carried) / 100;
        const Expected<Result> x = Compute(in, Law2026());
        ASSERT_TRUE(x) << carried;
        ASSERT_EQ(x->taxableKurus, 40000000) << carried;
        const std::int64_t severance = TariffTax(carried + 40000000) - TariffTax(carried);
        EXPECT_EQ(x->kgverKurus, (severance + 50) / 100) << carried;
        const std::int64_t noticeBase = carried + 40000000;
        const std::int64_t notice = TariffTax(noticeBase + x->bitzmKurus) - TariffTax(noticeBase);
        EXPECT_EQ(x->igverKurus, (notice + 50) / 100) << carried;
    }
}

// Whatever the case, every net is its shown gross less its shown deductions, the taxed part is never
// above the gross, and statutory days under the law's ceiling are never taxed.
TEST(Compute, EveryNetIsTheDifferenceOfTheShownFigures) {
    std::mt19937 rng(31);
    auto pick = [&](double lo, double hi) { return std::uniform_real_distribution(lo, hi)(rng); };
    for (int i = 0; i < 10000; ++i) {
        const double wage = std::round(pick(0, 250000) * 100) / 100;
        CaseInput in = i % 3 == 0
                           ? Premium(std::floor(pick(0, 12000)), wage)
                           : Dates({1, 1 + i % 12, 1990 + i % 30}, {28, 1 + i / 12 % 12, 2020 + i % 6}, wage);
        in.carriedTaxBase = std::round(pick(0, 2000000)) / 100 * (i % 2);
        const double days = i % 4 == 0 ? std::floor(pick(30, 90)) : 30;
        LegalFigures law = Law2026(days);
        if (i % 5 == 0) law.ceiling = std::round(pick(10000, 200000) * 100) / 100; // typed for the case
        const Expected<Result> x = Compute(in, law);
        ASSERT_TRUE(x) << i << ": " << x.error().message;
        EXPECT_EQ(x->itazmKurus, x->bitzmKurus - x->idverKurus - x->igverKurus) << i;
        if (!x->entitled) continue;
        EXPECT_EQ(x->netKurus, x->bktazKurus - x->dverKurus - x->kgverKurus) << i;
        EXPECT_TRUE(x->taxableKurus >= 0 && x->taxableKurus <= x->bktazKurus) << i;
        if (days == 30 && law.ceiling <= 64948.77) {
            EXPECT_EQ(x->kgverKurus, 0) << i;
        }
    }
}

// No ceiling given and none in the table for the date: a wage at or under the last one known is exact,
// above it the severance is not worked out; the notice pay always is.
TEST(Compute, ACeilingTheTableLacks) {
    struct Row {
        double wage;
        bool unknown;
        Kurus bktaz;
        const char* note;
    } rows[] = {
        {40000, false, 40000000,
         "01.07.2026 – 31.12.2026 dönemi için Kıdem Tazminatı Tavanı tabloda yok; ücret (40.000,00) "
         "tablodaki son "
         "tavanın (64.948,77, 01.01.2026 – 30.06.2026) altında olduğundan kıdem tazminatı tavansız "
         "hesaplandı "
         "(tavan hiç düşmediği için sonuç kesindir)."},
        {64948.77, false, 64948770, nullptr},
        {70000, true, 0,
         "Kıdem tazminatı hesaplanmadı: 01.07.2026 – 31.12.2026 dönemi için Kıdem Tazminatı Tavanı tabloda "
         "yok ve "
         "ücret (70.000,00) tablodaki son tavanın (64.948,77, 01.01.2026 – 30.06.2026) üstünde. Tavanı "
         "verin: "
         "pencerede \"Sabitler\" sekmesine yazarak, hesap aracında --ayar ile ya da tabloda \"Kıdem "
         "Tazminatı "
         "Tavanı\" sütunuyla. İhbar tazminatı hesaplandı."},
    };
    for (const Row& r : rows) {
        LegalFigures law = Law2026(30);
        law.inForce =
            CeilingInForce{std::nullopt, 64948.77, "01.01.2026 – 30.06.2026", "01.07.2026 – 31.12.2026"};
        law.ceilingMissing = true;
        const CaseInput in = Dates({16, 8, 2016}, {15, 8, 2026}, r.wage);
        const Expected<Result> x = Compute(in, law);
        ASSERT_TRUE(x) << r.wage;
        EXPECT_EQ(x->severanceUnknown, r.unknown) << r.wage;
        EXPECT_EQ(x->bktazKurus, r.bktaz) << r.wage;
        EXPECT_EQ(x->netKurus, r.unknown ? 0 : r.bktaz - x->dverKurus) << r.wage;
        EXPECT_EQ(x->bitzmKurus, KurusAsShown(56 * r.wage / 30).value()) << r.wage;
        if (r.note) {
            EXPECT_EQ(CeilingNote(in, law, *x).value_or(""), r.note) << r.wage;
        }
    }
}

// What each termination reason makes due (1475 m. 14; 4857 m. 17, 24, 25), written out here apart from the
// program's table: the worked example's severance, its notice pay, or the notice pay the employee owes.
TEST(Compute, TheTerminationReasonDecidesWhatIsDue) {
    struct Row {
        const char* code;
        bool severance, notice, owed;
    } rows[] = {
        {"", true, true, false},
        {"isveren", true, true, false},
        {"isveren-bildirimli", true, false, false},
        {"25-2", false, false, false},
        {"25-diger", true, false, false},
        {"24", true, false, false},
        {"emeklilik", true, false, false},
        {"yas-disi", true, false, false},
        {"askerlik", true, false, false},
        {"evlilik", true, false, false},
        {"olum", true, false, false},
        {"belirli-sure", true, false, false},
        {"istifa", false, false, false},
        {"istifa-bildirimsiz", false, false, true},
    };
    ASSERT_EQ(std::size(rows), kTerminationReasons.size());
    for (const Row& row : rows) {
        CaseInput in = Dates({15, 3, 2004}, {14, 9, 2007}, 2000);
        in.reason = TerminationReasonOf(row.code);
        ASSERT_TRUE(in.reason) << row.code;
        const Expected<Result> x = Compute(in, Law2007());
        ASSERT_TRUE(x) << row.code;
        EXPECT_EQ(x->severancePaid(), row.severance) << row.code;
        EXPECT_EQ(x->netKurus, row.severance ? 681713 : 0) << row.code;
        EXPECT_EQ(x->noticePaid(), row.notice) << row.code;
        EXPECT_EQ(x->itazmKurus, row.notice ? 314869 : 0) << row.code;
        EXPECT_EQ(x->owedNoticeKurus, row.owed ? 373333 : 0) << row.code;
        EXPECT_EQ(SeveranceDueNote(*x).has_value(), !row.severance) << row.code;
        EXPECT_EQ(NoticeDueNote(*x).has_value(), !row.notice) << row.code;
    }
    // Chosen by its caption too; anything else is no reason.
    EXPECT_EQ(TerminationReasonOf(" İstifa "), TerminationReasonOf("ISTIFA"));
    EXPECT_FALSE(TerminationReasonOf("kovuldu"));
    CaseInput quit = Dates({15, 3, 2004}, {14, 9, 2007}, 2000);
    quit.reason = TerminationReasonOf("istifa-bildirimsiz");
    EXPECT_EQ(
        NoticeDueNote(*Compute(quit, Law2007())),
        "İşçinin Ödeyeceği İhbar Tazminatı: 3.733,33 — İstifa, bildirim süresine uyulmadan (1475 m. 14/1; "
        "4857 m. 17/son); işçiye ödenmez, ibranameye girmez.");
}

// Unused annual leave: days at the wage without the extra pay, or a typed gross; the employee's SGK shares
// (14 % and 1 %) only up to what the month's premium ceiling (3.656,25) leaves after the wage reported;
// the income tax from where the year's base stands after the notice pay (4.013,33 on the wage with its
// extra pay), across the 7.500,00 edge; every net the difference of the shown figures.
TEST(Compute, LeavePayAtTheCeilingAndBracketEdges) {
    struct Row {
        const char* name;
        double days, typed, reported, carried;
        Kurus gross, sgk, tax, stamp, net;
    } rows[] = {
        {"ten days, room under the ceiling", 10, 0, 3000, 0, 66667, 9844, 8523, 440, 47860},
        {"the ceiling reached by the month's wage", 10, 0, 3656.25, 0, 66667, 0, 10000, 440, 56227},
        {"a wage above the ceiling", 10, 0, 4000, 0, 66667, 0, 10000, 440, 56227},
        {"a hundred left under the ceiling", 10, 0, 3556.25, 0, 66667, 1500, 9775, 440, 54952},
        {"typed, under the bracket edge", 0, 1000, 0, 2486.67, 100000, 15000, 12750, 660, 71590},
        {"typed, across the bracket edge", 0, 1000, 0, 2720, 100000, 15000, 13167, 660, 71173},
        {"typed, from the bracket edge", 0, 1000, 0, 3486.67, 100000, 15000, 17000, 660, 67340},
    };
    LegalFigures law = Law2007();
    law.sgkShare = {14, "14"};
    law.unemploymentShare = {1, "1"};
    law.premiumCeiling = {3656.25, "3656,25"};
    for (const Row& row : rows) {
        CaseInput in = Dates({15, 3, 2004}, {14, 9, 2007}, 2150); // the wage with 150,00 extra pay
        in.baseWage = 2000;
        in.leaveDays = row.days;
        in.leaveTyped = row.typed;
        in.reportedThisMonth = row.reported;
        in.carriedTaxBase = row.carried;
        const Expected<Result> x = Compute(in, law);
        ASSERT_TRUE(x) << row.name << ": " << x.error().message;
        EXPECT_EQ(std::tuple(x->izBrutKurus, x->izSgkKurus, x->izGverKurus, x->izDverKurus, x->izNetKurus),
                  std::tuple(row.gross, row.sgk, row.tax, row.stamp, row.net))
            << row.name;
    }
    // A leave pay needs the SGK figures; a case without one does not.
    CaseInput in = Dates({15, 3, 2004}, {14, 9, 2007}, 2000);
    EXPECT_TRUE(Compute(in, Law2007()));
    in.leaveDays = 5;
    const Expected<Result> refused = Compute(in, Law2007());
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().message,
              "SGK İşçi Payı (%) girilmemiş.\r\n\"Sabitler\" sekmesinde düzeltip yeniden "
              "hesaplayın.");
}
