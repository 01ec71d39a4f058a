// SPDX-License-Identifier: GPL-3.0-or-later
// Help for the clerk at the keyboard, without a window: the hint for a refused key, the cleaning of a
// pasted amount, whether a typed case would be lost on closing, and whether the employee's particulars
// belong to an earlier case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// The employee's particulars ("Personel" tab). "&Boşalt" keeps them for the next case, so after a clear
// they may still be the previous employee's.
bool IsParticular(Field f);

class ParticularsAge {
  public:
    void edited() { editedSinceClear_ = true; }
    void cleared() {
        clearedOnce_ = true;
        editedSinceClear_ = false;
    }
    // The warning line for the printout dialog when the particulars on the sheet were last edited before
    // the last "&Boşalt": "Personel bilgileri önceki hesaptan: " and the name. Nothing otherwise, and
    // nothing while every particular is empty.
    std::optional<std::string> warning(const Record& r) const;

  private:
    bool clearedOnce_ = false;
    bool editedSinceClear_ = false;
};

} // namespace pamerol
