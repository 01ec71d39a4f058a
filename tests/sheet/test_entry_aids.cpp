// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "sheet/entry_aids.h"
#include "sheet/pamerol.h"

using namespace pamerol;
using F = Field;

namespace {

struct PasteCase {
    const char* pasted;
    const char* kept;
};

class PastedAmount : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PastedAmount, LosesCurrencyMarksAndBlanks) {
    EXPECT_EQ(WithoutCurrencyAndBlanks(GetParam().pasted), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Clerks, PastedAmount,
    ::testing::Values(PasteCase{"2.000,00 TL", "2.000,00"}, PasteCase{"₺ 2.000,00", "2.000,00"},
                      PasteCase{"2 000,00", "2000,00"}, PasteCase{"2\u00A0000,00\tYTL", "2000,00"},
                      PasteCase{"2.000,00 TRY\r\n", "2.000,00"}, PasteCase{"iki bin", "ikibin"}));

struct CloseCase {
    const char* name;
    F field;
    const char* text;
    bool calculated;
    bool asks;
};

class Uncalculated : public ::testing::TestWithParam<CloseCase> {};

TEST_P(Uncalculated, OnlyATypedCaseWithoutResults) {
    const CloseCase& c = GetParam();
    RecordedMessages messages;
    Pamerol sheet(messages);
    sheet.record().write(c.field, c.text);
    sheet.record().setCommand3Enabled(c.calculated);
    EXPECT_EQ(HasUncalculatedInputs(sheet.record()), c.asks);
}

INSTANTIATE_TEST_SUITE_P(Cases, Uncalculated,
                         ::testing::Values(CloseCase{"fresh", F::DGUN, "0", false, false},
                                           CloseCase{"wage formatted zero", F::ESUCRET, "0,00", false, false},
                                           CloseCase{"empty tax base", F::DGVMAT, "", false, false},
                                           CloseCase{"wage", F::ESUCRET, "2.500,00", false, true},
                                           CloseCase{"partly typed date", F::GTarih, "15.0_.____", false,
                                                     true},
                                           CloseCase{"pasted days", F::TGUN, "12a", false, true},
                                           CloseCase{"annual-leave wage", F::YIUCRET, "350", false, true},
                                           CloseCase{"calculated", F::ESUCRET, "2.500,00", true, false},
                                           CloseCase{"only a setting", F::KGN, "45", false, false}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

TEST(ParticularsAge, WarnsAfterAClearUntilTheyAreEditedAgain) {
    Record r;
    ParticularsAge age;
    r.write(F::txtAdiSoyadi, "Ayşe Yılmaz");
    age.edited();
    EXPECT_EQ(age.warning(r), std::nullopt); // the first case
    age.cleared();
    EXPECT_EQ(age.warning(r), "Personel bilgileri önceki hesaptan: Ayşe Yılmaz");
    age.edited();
    EXPECT_EQ(age.warning(r), std::nullopt);
    age.cleared();
    r.write(F::txtAdiSoyadi, "");
    EXPECT_EQ(age.warning(r), std::nullopt); // nothing would be printed
}

} // namespace
