// SPDX-License-Identifier: GPL-3.0-or-later
// Help for the clerk at the keyboard, without a window: the hint for a refused key, the cleaning of a
// pasted amount, whether a typed case would be lost on closing, and whether the employee's particulars
// belong to an earlier case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/record.h"

namespace pamerol {

// The short hint shown beside a field whose key rule has refused a typed character, worded for the kind
// of field; nothing for a field that refuses no character.
std::optional<std::string_view> RefusedKeyHint(Field f);

// Whether the keypad's decimal key types "," in this field: every field read as a number with decimals
// (the amounts, the stamp-duty rate, the severance days and the bracket rates).
bool TypesDecimalComma(Field f);

// Whether a paste into this field is cleaned as an amount (the amount fields with a key rule).
bool CleansPastedAmount(Field f);

// A pasted amount as clerks copy it from papers and spreadsheets ("2.000,00 TL", "₺ 2.000,00",
// "2 000,00"): without currency marks (TL, YTL, TRY, ₺) and without blanks of any kind.
std::string WithoutCurrencyAndBlanks(std::string_view pasted);

// The case inputs a clerk types (dates, day counts, wages, the tax base).
bool IsCaseInput(Field f);

// Whether closing now would lose a case that was typed but not calculated: the results are not on the
// sheet, and at least one case input holds more than its cleared value (a date, a day count or an
// amount other than zero).
bool HasUncalculatedInputs(const Record& r);

// Whether the release letter would total 0,00: the amounts it lists (the severance and notice pay whose
// "İbranameye Dahil Et" box is ticked, and the annual-leave wage when it is not 0) add up to nothing.
bool IbranameToplamiSifir(const Record& r);

// The employee's particulars ("Personel" tab). "&Boşalt" keeps them for the next case, so after a clear
// they may still be the previous employee's.
bool IsParticular(Field f);

// What belongs to one employee besides the case inputs: the particulars, the release text and the two
// "İbranameye Dahil Et" boxes. "Yeni Personel" puts all of them back to how the sheet opens.
bool IsEmployeeText(Field f);

// Whether a typed character is taken by the window's box of this field: the sheet's key rules, and for
// "T.C. Kimlik No" and "Vergi No." digits only (they hold numbers of eleven digits at most).
bool TakesTypedKey(Field f, char32_t ch, const std::string& currentText);
// The most characters a clerk may type into the field's box; 0: no limit.
int TypingLimit(Field f);

// The official check of a T.C. Kimlik No: eleven digits, the first not 0, the tenth digit equal to
// (7 × the sum of digits 1, 3, 5, 7, 9 − the sum of digits 2, 4, 6, 8) mod 10, and the eleventh equal to
// the sum of the first ten mod 10.
bool TcKimlikNoGecerli(std::string_view number);
// The warning beside "T.C. Kimlik No" when its text is not empty and fails the check; nothing otherwise.
std::optional<std::string> TcKimlikNoUyarisi(std::string_view number);

// The check of an employer's tax number: ten digits for a company, whose last digit follows from the nine
// before it (each digit plus its distance from the tenth, modulo 10, weighted by a power of 2 modulo 9),
// or eleven for a person, the T.C. Kimlik No. Blanks between the groups are allowed.
bool VergiNoGecerli(std::string_view number);
// The warning beside "Vergi No." when its text is not empty and fails the check; nothing otherwise.
std::optional<std::string> VergiNoUyarisi(std::string_view number);

// An IBAN as the letters and digits it is made of: blanks left out, letters made capitals.
std::string IbanYalin(std::string_view iban);
// The check of a Turkish IBAN: "TR" and 24 digits, whose check digits (the two after "TR") make the whole
// number, its first four characters moved to its end and each letter read as 10 to 35, leave 1 when
// divided by 97. Blanks between the groups are allowed.
bool IbanGecerli(std::string_view iban);
// The warning beside "IBAN" when its text is not empty and fails the check; nothing otherwise.
std::optional<std::string> IbanUyarisi(std::string_view iban);

// Which of one employee's texts and boxes still stand from an earlier case: those not touched since the
// last "&Boşalt" or "Yeni Personel" that hold something of that case (a particular that is not empty, a
// box that is not ticked, a release text other than the standard one).
class ParticularsAge {
  public:
    // The clerk changed one of them (Check1 and Check2 count as themselves).
    void edited(Field f);
    void boxEdited(int which); // 1: Check1, 2: Check2
    // "&Boşalt" or "Yeni Personel": from now on, what stands there is left from the case before until it
    // is touched.
    void cleared();
    // The clerk confirmed that what stands there belongs to this case, or a stored case was put up with
    // its own particulars.
    void confirmed();

    // The captions of what still stands from an earlier case, in the order of the sheet.
    std::vector<std::string> leftOver(const Record& r) const;
    // The warning line for the printout dialog naming them; nothing when there are none.
    std::optional<std::string> warning(const Record& r) const;

  private:
    std::vector<Field> untouched_;
    bool check1Untouched_ = false;
    bool check2Untouched_ = false;
};

} // namespace pamerol
