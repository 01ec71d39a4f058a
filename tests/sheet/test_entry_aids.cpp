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

// What still stands from the case before a clear is named until it is touched or confirmed; what holds
// nothing of that case (an empty particular, a ticked box, the standard release text) is not.
struct AgeCase {
    const char* name;
    void (*steps)(Record&, ParticularsAge&);
    const char* warning; // nullptr: none
};

class LeftOver : public ::testing::TestWithParam<AgeCase> {};

TEST_P(LeftOver, NamesWhatWasNotTouchedSinceTheClear) {
    Record r;
    ParticularsAge age;
    r.write(F::txtAdiSoyadi, "Ayşe Yılmaz");
    r.write(F::txtTcKNo, "10000000146");
    GetParam().steps(r, age);
    const auto w = age.warning(r);
    if (!GetParam().warning)
        EXPECT_EQ(w, std::nullopt);
    else
        EXPECT_EQ(w.value_or("(none)"), std::string("Önceki hesaptan kalan bilgiler: ") + GetParam().warning +
                                            ". Bu kişiye aitse onaylayın, değilse düzeltin ya da \"Yeni "
                                            "Personel\" ile temizleyin.");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeftOver,
    ::testing::Values(AgeCase{"first case", [](Record&, ParticularsAge&) {}, nullptr},
                      AgeCase{"cleared", [](Record&, ParticularsAge& a) { a.cleared(); },
                              "Adı Soyadı (Ayşe Yılmaz), T.C. Kimlik No"},
                      AgeCase{"only the name retyped",
                              [](Record& r, ParticularsAge& a) {
                                  a.cleared();
                                  r.write(F::txtAdiSoyadi, "Can");
                                  a.edited(F::txtAdiSoyadi);
                              },
                              "T.C. Kimlik No"},
                      AgeCase{
                          "boxes unticked and text edited before the clear",
                          [](Record& r, ParticularsAge& a) {
                              r.setCheck2(0);
                              r.write(F::txtIbraname, "Başka metin");
                              a.cleared();
                              a.edited(F::txtAdiSoyadi);
                              a.edited(F::txtTcKNo);
                          },
                          "İbraname Metni (değiştirilmiş), İhbar Tazminatı İbranameye Dahil Et (işaretsiz)"},
                      AgeCase{"a box unticked after the clear",
                              [](Record& r, ParticularsAge& a) {
                                  a.cleared();
                                  a.edited(F::txtAdiSoyadi);
                                  a.edited(F::txtTcKNo);
                                  r.setCheck2(0);
                                  a.boxEdited(2);
                              },
                              nullptr},
                      AgeCase{"confirmed",
                              [](Record&, ParticularsAge& a) {
                                  a.cleared();
                                  a.confirmed();
                              },
                              nullptr},
                      AgeCase{"emptied by hand",
                              [](Record& r, ParticularsAge& a) {
                                  a.cleared();
                                  r.write(F::txtAdiSoyadi, "");
                                  r.write(F::txtTcKNo, "");
                              },
                              nullptr}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(TcKimlikNo, OfficialCheckDigits) {
    for (const char* good : {"10000000146", "19191919190"}) {
        EXPECT_TRUE(TcKimlikNoGecerli(good)) << good;
        EXPECT_EQ(TcKimlikNoUyarisi(good), std::nullopt) << good;
    }
    // A wrong tenth digit, a wrong eleventh, a leading 0, ten digits, a letter.
    for (const char* bad : {"12345678901", "10000000147", "01000000146", "1000000014", "1000000014a"}) {
        EXPECT_FALSE(TcKimlikNoGecerli(bad)) << bad;
        EXPECT_TRUE(TcKimlikNoUyarisi(bad).has_value()) << bad;
    }
    EXPECT_EQ(TcKimlikNoUyarisi(""), std::nullopt); // not typed yet: no warning
}

TEST(VergiNo, CompanyCheckDigitOrPersonsNumber) {
    // A company's ten digits, in groups too; a person's T.C. Kimlik No.
    for (const char* good : {"1234567890", "123 456 7890", "9876543217", "0000000001", "10000000146"}) {
        EXPECT_TRUE(VergiNoGecerli(good)) << good;
        EXPECT_EQ(VergiNoUyarisi(good), std::nullopt) << good;
    }
    // A wrong tenth digit, two digits swapped, a T.C. number that fails its check, nine digits, a letter.
    for (const char* bad : {"1234567891", "2134567890", "10000000147", "123456789", "12345678a0"}) {
        EXPECT_FALSE(VergiNoGecerli(bad)) << bad;
        EXPECT_TRUE(VergiNoUyarisi(bad).has_value()) << bad;
    }
    EXPECT_EQ(VergiNoUyarisi(""), std::nullopt);
    // Typed: digits only, eleven at most.
    EXPECT_FALSE(TakesTypedKey(Field::txtVergiNo, U'a', "12"));
    EXPECT_TRUE(TakesTypedKey(Field::txtVergiNo, U'7', "12"));
    EXPECT_EQ(TypingLimit(Field::txtVergiNo), 11);
}

TEST(Iban, CheckDigits) {
    // As a bank prints it, in one run, in small letters.
    for (const char* good : {"TR33 0006 1005 1978 6457 8413 26", "TR330006100519786457841326",
                             "tr33 0006 1005 1978 6457 8413 26"}) {
        EXPECT_TRUE(IbanGecerli(good)) << good;
        EXPECT_EQ(IbanUyarisi(good), std::nullopt) << good;
    }
    // Wrong check digits, two digits swapped, a digit short, another country, a letter among the digits.
    for (const char* bad : {"TR34 0006 1005 1978 6457 8413 26", "TR33 0006 1005 1978 6457 8431 26",
                            "TR33 0006 1005 1978 6457 8413 2", "DE89 3704 0044 0532 0130 00",
                            "TR33 0006 1005 1978 6457 8413 2X"}) {
        EXPECT_FALSE(IbanGecerli(bad)) << bad;
        EXPECT_TRUE(IbanUyarisi(bad).has_value()) << bad;
    }
    EXPECT_EQ(IbanUyarisi(" "), std::nullopt); // not typed yet: no warning
}

TEST(IbranameToplami, ZeroWhenNothingIncludedAddsUp) {
    Record r;
    r.write(F::NET, "1.000,00");
    r.write(F::ITAZM, "500,00");
    EXPECT_FALSE(IbranameToplamiSifir(r));
    r.setCheck1(0);
    r.setCheck2(0);
    EXPECT_TRUE(IbranameToplamiSifir(r));
    r.write(F::YIUCRET, "0,004");
    EXPECT_TRUE(IbranameToplamiSifir(r)); // prints as 0,00
    r.write(F::YIUCRET, "0,50");
    EXPECT_FALSE(IbranameToplamiSifir(r));
    r.write(F::YIUCRET, "350");
    EXPECT_FALSE(IbranameToplamiSifir(r));
}

} // namespace
