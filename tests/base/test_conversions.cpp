// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "base/conversions.h"

using namespace pamerol;

TEST(NumberText, WritesFifteenDigitsWithComma) {
    struct Case {
        double in;
        const char* out;
    } cases[] = {
        {1276, "1276"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3, "0,333333333333333"},
        {56 * 2000.0 / 30, "3733,33333333333"},
        {1e15, "1E+15"},
        {0.00001, "1E-05"},
        {-0.0, "0"},
        {-2.5, "-2,5"},
        {123456789012345.0, "123456789012345"},
        {0.5, "0,5"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberText(c.in).value(), c.out) << c.in;
    EXPECT_FALSE(NumberText(INFINITY));
    EXPECT_FALSE(NumberText(NAN));
}

TEST(ParseNumber, ReadsTurkishNotationStrictly) {
    struct Case {
        const char* in;
        std::optional<double> out;
    } cases[] = {
        {"1.234,5", 1234.5},
        {"1234,5", 1234.5},
        {" 12 ", 12},
        {"\t12\t", 12},
        {",5", 0.5},
        {"12,", 12},
        {"-3", -3},
        {"+3", 3},
        {"1.234.567", 1234567},
        {"0,00", 0},
        {"1E+15", 1e15},
        {"1E-05", 0.00001},
        {"-2,5E+20", -2.5e20},
        {"6.6", std::nullopt},
        {"1.23", std::nullopt},
        {"1..234", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {",", std::nullopt},
        {"1234.567", std::nullopt},
        {".234", std::nullopt},
        {"1.2345", std::nullopt},
        {"12a", std::nullopt},
        {"1 2", std::nullopt},
        {"1,2,3", std::nullopt},
        {"1E5", std::nullopt},
        {"1E+", std::nullopt},
        {"1E+5", std::nullopt}, // the exponent as NumberText writes it: two digits at least
        {"1E+999", std::nullopt},
        {"--1", std::nullopt},
        {"1.234,5.6", std::nullopt},
        {"__.__.____", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.in), c.out) << '"' << c.in << '"';
}

TEST(ParseNumber, ReadsBackEveryNumberText) {
    const double values[] = {1.0 / 3, 3733.3333333333335, 1e15, 1e-5, -123.456, 5882.07, 1e300, 2.675};
    for (double v : values) {
        auto t = NumberText(v).value();
        auto back = ParseNumber(t).value();
        EXPECT_EQ(NumberText(back).value(), t);
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14);
    }
}

TEST(ReadAmount, LeadingTakesTheLongestPrefix) {
    struct Case {
        const char* in;
        std::optional<double> out;
    } cases[] = {{"1.234,5", 1.234},
                 {"12a", 12},
                 {"0_", 0},
                 {"", std::nullopt},
                 {"abc", std::nullopt},
                 {"  -7", -7},
                 {"12.", 12},
                 {"3.5.1", 3.5},
                 {"_5", std::nullopt},
                 {"05", 5},
                 {"1E5", 1},
                 {"-0", 0},
                 {".5", std::nullopt},
                 {"-.5", std::nullopt},
                 {"+2.5x", 2.5}};
    for (const auto& c : cases)
        EXPECT_EQ(ReadAmount(c.in, AmountForms::Leading), c.out) << '"' << c.in << '"';
}

TEST(ReadAmount, TableTakesWhatClerksWrite) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"12.345,67", 12345.67},
        {"12.345,67 TL", 12345.67},
        {"12.345,67TL", 12345.67},
        {"12.345,67\xC2\xA0TL", 12345.67},
        {"\u00A012.345,67", 12345.67},
        {"12345,67", 12345.67},
        {"12345.67", 12345.67},
        {"12345.5", 12345.5},
        {"12.345", 12345.0},
        {"1.234.567,8", 1234567.8},
        {"2000", 2000.0},
        {"0", 0.0},
        {"45.000,50 ₺", 45000.5},
        {"abc", std::nullopt},
        {"12,345,67", std::nullopt},
        {"TL", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(ReadAmount(in, AmountForms::Table), want) << in;
}

TEST(AmountPattern, RoundsHalfAwayOnTheDecimalForm) {
    struct Case {
        double in;
        const char* out;
    } cases[] = {
        {2.675, "2,68"},
        {1.005, "1,01"},
        {-2.675, "-2,68"},
        {0, "0,00"},
        {-0.004, "0,00"},
        {1234.5, "1.234,50"},
        {6867.786, "6.867,79"},
        {999.995, "1.000,00"},
        {1e15, "1.000.000.000.000.000,00"},
        {0.00001, "0,00"},
        {0.005, "0,01"},
        {123456789.125, "123.456.789,13"},
        {-1234567.891, "-1.234.567,89"},
    };
    for (const auto& c : cases) EXPECT_EQ(AmountText(c.in).value(), c.out) << c.in;
}

TEST(AmountPattern, LeavesUnreadableTextsAlone) {
    EXPECT_EQ(ApplyAmountPattern(""), "");
    EXPECT_EQ(ApplyAmountPattern(","), ",");
    EXPECT_EQ(ApplyAmountPattern("abc"), "abc");
    EXPECT_EQ(ApplyAmountPattern("250,5"), "250,50");
    EXPECT_EQ(ApplyAmountPattern("1.234,567"), "1.234,57");
}

// Each text in the sheet's form (a calendar date or not) and in the clerk's table forms (the date read).
TEST(ReadDate, SheetAndTableForms) {
    struct Case {
        const char* in;
        bool sheet;
        const char* table;
    } cases[] = {
        {"01.02.2007", true, "01.02.2007"},
        {"29.02.2004", true, "29.02.2004"},
        {"29.02.2000", true, "29.02.2000"},
        {"29.02.1900", false, nullptr},
        {"29.02.2007", false, nullptr},
        {"31.04.2007", false, nullptr},
        {"00.01.2007", false, nullptr},
        {"01.13.2007", false, nullptr},
        {"01.01.0000", false, nullptr},
        {"31.12.9999", true, "31.12.9999"},
        {"__.__.____", false, nullptr},
        {"01.02.200_", false, nullptr},
        {"1.2.2007", false, "01.02.2007"},
        {"01-02-2007", false, "01.02.2007"},
        {"", false, nullptr},
        {"01.02.20071", false, nullptr},
        {" 1.12.2005 ", false, "01.12.2005"},
        {"1/2/2005", false, "01.02.2005"},
        {"2005-02-01", false, "01.02.2005"},
        {"32.01.2020", false, nullptr},
        {"1.2.05", false, nullptr},
        {"01.02.2005x", false, nullptr},
        {"bugün", false, nullptr},
        // Day numbers of date cells without a date format; a year or a small number is no date.
        {"42005", false, "01.01.2015"},
        {"45657", false, "31.12.2024"},
        {"7306", false, "01.01.1920"},
        {"73050", false, "31.12.2099"},
        {"43511", false, "15.02.2019"},
        {"60", false, nullptr},
        {"2015", false, nullptr},
        {"73051", false, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadDate(c.in, DateForms::Sheet).has_value(), c.sheet) << c.in;
        const auto table = ReadDate(c.in, DateForms::Table);
        if (c.table) {
            EXPECT_EQ(table ? DateText(*table) : "-", c.table) << c.in;
        } else {
            EXPECT_FALSE(table) << c.in << " -> " << DateText(table.value_or(Date{}));
        }
    }
}

// The fast paths must agree with the C library on every value: "%.15G" for writing, strtod-style
// correctly rounded reading for reading.
TEST(Conversions, AgreeWithTheCLibrary) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> scale(-12, 18), digits(1, 17);
    // Exact ties at the fifteenth digit, and values just beside them.
    for (double tie : {1.000030517578125, 1.000030517578125 + 2e-16, 1.000030517578125 - 2e-16, 2.675, 1.005,
                       0.5, 999999999999999.5, 99999999999999.95, -7.92054830076991E-310, 4.9E-324}) {
        char c[64];
        std::snprintf(c, sizeof c, "%.15G", tie);
        std::string expected(c);
        for (char& ch : expected)
            if (ch == '.') ch = ',';
        EXPECT_EQ(NumberText(tie).value(), expected) << std::hexfloat << tie;
    }
    for (int i = 0; i < 400000; ++i) {
        double x;
        switch (i % 5) {
        case 4: x = static_cast<double>(rng() % 100000000) / 3 * std::pow(10.0, scale(rng) % 6); break;
        case 0: x = unit(rng) * std::pow(10.0, scale(rng)); break;
        case 1: x = std::round(unit(rng) * 1e6) / 100; break; // amounts in cents
        case 2: x = static_cast<double>(rng() % 100000) / 30; break;
        default: x = std::bit_cast<double>(rng()); break;
        }
        if (!std::isfinite(x)) continue;
        if (i % 3 == 0) x = -x;
        char c[64];
        std::snprintf(c, sizeof c, "%.15G", x);
        std::string expected(c);
        for (char& ch : expected)
            if (ch == '.') ch = ',';
        if (expected == "-0") expected = "0";
        ASSERT_EQ(NumberText(x).value(), expected) << std::hexfloat << x;

        // Reading a decimal text of up to 17 digits gives the correctly rounded double.
        std::snprintf(c, sizeof c, "%.*f", digits(rng) % 8, std::fabs(x) < 1e12 ? x : 1.5);
        double strtodValue = std::strtod(c, nullptr);
        std::string turkish(c);
        for (char& ch : turkish)
            if (ch == '.') ch = ',';
        ASSERT_EQ(ParseNumber(turkish).value(), strtodValue == 0 ? 0.0 : strtodValue) << turkish;
    }
}
