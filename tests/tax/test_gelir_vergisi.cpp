// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "base/conversions.h"
#include "tax/gelir_vergisi.h"

using namespace pamerol;

namespace {
YTLHesap Table(std::array<std::string, 5> limits, std::array<std::string, 5> rates) {
    YTLHesap h;
    h.VD = limits;
    for (size_t i = 0; i < 5; ++i) h.O[i] = rates[i];
    return h;
}
} // namespace

TEST(GelVerHesapla, PlacesTheMonthAboveTheCarriedBase) {
    struct Case {
        const char* gm2;
        const char* gm;
        const char* gvk;
        std::array<const char*, 6> hm;
        int start; // the bracket the month starts in
    } cases[] = {
        {"1500", "2000", "600", {"0", "500", "1000", "500", "0", "0"}, 2},
        {"0", "800", "80", {"800", "0", "0", "0", "0", "0"}, 1},
        {"0", "1000", "100", {"1000", "0", "0", "0", "0", "0"}, 1},  // the year's base ends exactly on VD1
        {"1000", "500", "100", {"0", "500", "0", "0", "0", "0"}, 1}, // carried base on a limit stays below
        {"1200", "800", "160", {"0", "800", "0", "0", "0", "0"}, 2}, // ends exactly on VD2
        {"5000", "700", "0", {"0", "0", "0", "0", "0", "700"}, 5},   // carried base on VD5
        {"6000", "700", "0", {"0", "0", "0", "0", "0", "700"}, 6},   // above VD5: untaxed sixth bracket
        {"4500", "1000", "250", {"0", "0", "0", "0", "500", "500"}, 5},
        {"0", "-100", "0", {"-100", "0", "0", "0", "0", "0"}, 1}, // negative base: no tax
        {"", "800", "80", {"800", "0", "0", "0", "0", "0"}, 1},   // unreadable base counts as 0
    };
    for (const auto& c : cases) {
        YTLHesap h = Table({"1000", "2000", "3000", "4000", "5000"}, {"10", "20", "30", "40", "50"});
        YTLHesaplama out;
        h.GM2 = c.gm2;
        h.GM = c.gm;
        h.GelVerHesapla(out);
        EXPECT_EQ(out.GVK, c.gvk) << c.gm2 << " + " << c.gm;
        for (size_t k = 0; k < 6; ++k)
            EXPECT_EQ(h.HM[k], c.hm[k]) << c.gm2 << " + " << c.gm << " HM" << k + 1;
        // Where it starts decides which rows the statement shows, also where the slices alone do not tell.
        EXPECT_EQ(GelirVergisi(ParseNumber(c.gm).value_or(0), ParseNumber(c.gm2).value_or(0), h.table())
                      .startBracket,
                  c.start)
            << c.gm2 << " + " << c.gm;
    }
}

TEST(GelVerHesapla, UnreadableTableEntries) {
    YTLHesaplama out;
    // No limits at all: everything lands in the sixth bracket, which has no rate.
    YTLHesap empty = Table({"", "", "", "", ""}, {"10", "20", "30", "40", "50"});
    empty.GM = "800";
    empty.GelVerHesapla(out);
    EXPECT_EQ(out.GVK, "0");
    EXPECT_EQ(empty.HM[5], "800");

    // A rate that is no number adds nothing; the other brackets still count.
    YTLHesap bad = Table({"1000", "2000", "3000", "4000", "5000"}, {"10", "x", "30", "40", "50"});
    bad.GM2 = "500";
    bad.GM = "2000";
    bad.GelVerHesapla(out);
    EXPECT_EQ(out.GVK, "200"); // 500 at 10 %, 1000 at no rate, 500 at 30 %

    // Limits that do not increase: a negative slice taxes nothing and enlarges the remainder.
    YTLHesap down = Table({"1000", "500", "3000", "4000", "5000"}, {"10", "20", "30", "40", "50"});
    down.GM = "2000";
    down.GelVerHesapla(out);
    EXPECT_EQ(down.HM[1], "-500");
    EXPECT_EQ(down.HM[2], "1500");
    EXPECT_EQ(out.GVK, "550"); // 1000 at 10 %, -500 untaxed, 1500 at 30 %
}

TEST(GelVerHesapla, TurkishTableOf2007) {
    YTLHesap h =
        Table({"7.500", "19.000", "43.000", "999.999.999", "999.999.999"}, {"15", "20", "27", "35", "35"});
    YTLHesaplama out;
    h.GM2 = "7000";
    h.GM = "1000";
    h.GelVerHesapla(out);
    EXPECT_EQ(out.GVK, "175"); // 500 at 15 % + 500 at 20 %
}
