// SPDX-License-Identifier: GPL-3.0-or-later
// The typed calculation against the text-based one it replaced, on random cases: every result text and
// every message the same.
#include <gtest/gtest.h>

#include <random>

#include "base/conversions.h"
#include "calc/hesapla.h"
#include "tests/common/figures2007.h"

namespace pamerol::legacy {
void Hesapla(Record& r, Messages& messages);
}

using namespace pamerol;
using F = Field;

TEST(Differential, RandomCasesGiveTheSameSheet) {
    std::mt19937 rng(20261207);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto money = [&](int maxLira) {
        return AmountText(pick(0, maxLira) + pick(0, 99) / 100.0).value_or("0");
    };
    int differences = 0;
    for (int i = 0; i < 3000; ++i) {
        Record a;
        pamerol::testing::Put2007(a, i % 2 ? pamerol::testing::Half2007::First
                                           : pamerol::testing::Half2007::Second);
        if (i % 3 == 0) a.write(F::TAV, money(80000));
        if (i % 5 == 0) a.write(F::DVOR, "7,59");
        const bool dates = i % 4 != 0;
        a.setMode(dates ? Mode::Dates : Mode::PremiumDays);
        const Date g{pick(1, 28), pick(1, 12), pick(1990, 2025)};
        Date c = g;
        for (int k = pick(0, 1) ? pick(0, 400) : pick(0, 9000); k > 0; --k) c = DayAfter(c);
        a.write(F::GTarih, DateText(g));
        a.write(F::CTarih, DateText(c));
        a.write(F::DGUN, std::to_string(pick(0, 3) ? 0 : pick(0, 2000)));
        a.write(F::GGUN, std::to_string(pick(0, 9000)));
        a.write(F::TBRUT, money(pick(0, 1) ? 5000 : 200000));
        a.write(F::DGVMAT, pick(0, 2) ? "0" : money(200000));
        Record b = a;
        CopyBracketsToCalculator(a);
        CopyBracketsToCalculator(b);
        RecordedMessages ma, mb;
        legacy::Hesapla(a, ma);
        Hesapla(b, mb);
        bool same = a.command3Enabled() == b.command3Enabled() && ma.entries.size() == mb.entries.size();
        for (size_t k = 0; same && k < ma.entries.size(); ++k)
            same = ma.entries[k].text == mb.entries[k].text;
        for (int f = 0; f < kFieldCount; ++f)
            if (a.text(static_cast<F>(f)) != b.text(static_cast<F>(f))) {
                same = false;
                ADD_FAILURE() << i << " " << FieldName(static_cast<F>(f)) << ": " << a.text(static_cast<F>(f))
                              << " / " << b.text(static_cast<F>(f));
            }
        if (!same) ++differences;
    }
    EXPECT_EQ(differences, 0);
}
