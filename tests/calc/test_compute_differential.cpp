// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation in numbers gives, figure for figure and bit for bit, what it gave when every
// intermediate figure went through the sheet's texts: 10,000 random cases in both modes, with the legal
// figures of every period of the shipped table, carried days and tax bases, and random brackets.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "base/conversions.h"
#include "calc/compute.h"
#include "calc/fields.h"
#include "figures/yasal_degerler.h"
#include "tests/calc/compute_through_texts.h"

using namespace pamerol;

namespace {

const YasalDegerler& Table() {
    static const YasalDegerler table = [] {
        auto t = YasalDegerler::Load(PAMEROL_SOURCE_DIR "/figures/yasal-degerler.csv");
        if (!t) throw std::runtime_error(t.error().message);
        return std::move(*t);
    }();
    return table;
}

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every member of the two results, named where they differ.
std::string Differences(const Result& a, const Result& b) {
    std::string out;
    auto d = [&](const char* name, double x, double y) {
        if (!Same(x, y))
            out += std::string(name) + ": " + NumberText(x).value_or("?") + " / " +
                   NumberText(y).value_or("?") + "\n";
    };
#define PAMEROL_SAME(m) d(#m, static_cast<double>(a.m), static_cast<double>(b.m))
    PAMEROL_SAME(countedDays);
    PAMEROL_SAME(serviceYears);
    PAMEROL_SAME(serviceMonths);
    PAMEROL_SAME(serviceDays);
    PAMEROL_SAME(tigunu);
    PAMEROL_SAME(extraDays);
    PAMEROL_SAME(tgunu);
    PAMEROL_SAME(kyili);
    PAMEROL_SAME(kayi);
    PAMEROL_SAME(kgunu);
    PAMEROL_SAME(entitled);
    PAMEROL_SAME(monthlyWageUsed);
    PAMEROL_SAME(ceilingApplied);
    PAMEROL_SAME(yearly);
    PAMEROL_SAME(yearsShare);
    PAMEROL_SAME(monthsShare);
    PAMEROL_SAME(daysShare);
    PAMEROL_SAME(bktaz);
    PAMEROL_SAME(dver);
    PAMEROL_SAME(net);
    PAMEROL_SAME(bktazKurus);
    PAMEROL_SAME(dverKurus);
    PAMEROL_SAME(netKurus);
    PAMEROL_SAME(iayi);
    PAMEROL_SAME(kigunu);
    PAMEROL_SAME(band);
    PAMEROL_SAME(higunu);
    PAMEROL_SAME(dailyWage);
    PAMEROL_SAME(bitzm);
    PAMEROL_SAME(idver);
    PAMEROL_SAME(carriedTaxBase);
    PAMEROL_SAME(tax.total);
    PAMEROL_SAME(tax.startBracket);
    for (size_t k = 0; k < a.tax.slice.size(); ++k) PAMEROL_SAME(tax.slice[k]);
    PAMEROL_SAME(igver);
    PAMEROL_SAME(itazm);
    PAMEROL_SAME(bitzmKurus);
    PAMEROL_SAME(idverKurus);
    PAMEROL_SAME(igverKurus);
    PAMEROL_SAME(itazmKurus);
#undef PAMEROL_SAME
    return out;
}

} // namespace

TEST(ComputeInNumbers, GivesWhatTheTextsGave) {
    std::mt19937 rng(30);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto amount = [&](int loKurus, int hiKurus) { return pick(loKurus, hiKurus) / 100.0; };
    int computed = 0, refused = 0;
    for (int n = 0; n < 10000; ++n) {
        // The figures in force on a day of 2005-2026; a period no source gives takes a random figure.
        const int year = pick(2005, 2026);
        const int day = year * 10000 + pick(1, 12) * 100 + pick(1, 28);
        auto figure = [&](Field f, double otherwise) {
            const YasalDeger* row = Table().inForce(f, day);
            return row && !row->value.empty() ? ParseNumber(row->value).value() : otherwise;
        };
        LegalFigures law;
        law.stampDutyPerMille = figure(Field::DVOR, 7.59);
        law.severanceDays = pick(0, 3) == 0 ? pick(30, 60) : figure(Field::KGN, 30);
        law.ceiling = figure(Field::TAV, amount(100000, 9000000));
        for (size_t i = 0; i < kNoticeBands.size(); ++i) {
            const double days = figure(kNoticeBands[i].field, 14.0 * static_cast<double>(i + 1));
            law.noticeDays[i] = {days, NumberText(days).value()};
        }
        const bool randomBrackets = pick(0, 4) == 0;
        double limit = 0;
        for (size_t i = 0; i < kBracketRows.size(); ++i) {
            double rate = figure(kBracketRows[i].rate, 15 + 5.0 * static_cast<double>(i));
            double top = figure(kBracketRows[i].limit, 999999999);
            if (randomBrackets) {
                rate = pick(0, 400) / 10.0;
                limit += amount(1, 50000000);
                top = i + 1 == kBracketRows.size() ? 999999999 : limit;
            }
            law.brackets[i] = {rate, top, true};
            law.rateTexts[i] = NumberText(rate).value();
            law.limitTexts[i] = NumberText(top).value();
        }

        CaseInput in;
        in.mode = pick(0, 3) == 0 ? Mode::PremiumDays : Mode::Dates;
        const Date exit = Date::FromKey(day);
        in.exit = exit;
        in.entry = {pick(1, 28), pick(1, 12), exit.year - pick(0, 30)};
        if (in.exit < in.entry) std::swap(in.entry, in.exit);
        in.carriedDays = pick(0, 2) == 0 ? pick(0, 4000) : 0;
        in.premiumDays = pick(0, 12000);
        in.wage = pick(0, 5) == 0 ? amount(0, 100000000) : amount(50000, 20000000);
        in.carriedTaxBase = pick(0, 1) == 0 ? 0 : amount(0, 300000000);

        const Expected<Result> now = Compute(in, law);
        const Expected<Result> before = through_texts::Compute(in, law);
        ASSERT_EQ(bool(now), bool(before)) << n;
        if (!now) {
            EXPECT_EQ(now.error().message, before.error().message) << n;
            ++refused;
            continue;
        }
        ++computed;
        ASSERT_EQ(Differences(*now, *before), "") << "case " << n;
    }
    // Both kinds of case were tried.
    EXPECT_GT(computed, 9000);
}

// The numeric rounding to 15 significant digits and to kuruş agrees with the texts at the edges: halves,
// numbers of 15 and 16 digits, the smallest and largest amounts, negative values.
TEST(ComputeInNumbers, RoundsAsTheTextsRound) {
    const double values[] = {0.005,
                             0.015,
                             1.005,
                             2.675,
                             6862.415,
                             999999999.995,
                             0.1 + 0.2,
                             1e15,
                             1e16 + 2,
                             123456789012345.6,
                             1234567890123456,
                             3733.333333333335,
                             1e-5,
                             1.5e-9,
                             -45.285,
                             -0.004,
                             9999999999999.9,
                             4.35e22,
                             1e300,
                             7e-310};
    for (double x : values) {
        SCOPED_TRACE(NumberText(x).value());
        const double viaText = ParseNumber(NumberText(x).value()).value();
        EXPECT_TRUE(Same(Significant15(x), viaText));
        if (auto k = KurusAsShown(x)) {
            EXPECT_EQ(*k, std::llround(ParseNumber(AmountText(x).value()).value() * 100));
            EXPECT_EQ(AmountText(x), AmountText(static_cast<double>(*k) / 100));
        }
    }
}
