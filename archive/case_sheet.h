// SPDX-License-Identifier: GPL-3.0-or-later
// Everything of a calculation sheet that the archive keeps: every field's text by its name, the mode,
// the include flags, whether the printouts were available, the severance of one year kept between the
// stages of a calculation, and the income-tax calculator's bracket copy and working values.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calc/record.h"

namespace pamerol {

struct CaseSheet {
    std::array<std::string, kFieldCount> texts;
    Mode mode = Mode::Dates;
    int check1 = 1;
    int check2 = 1;
    bool command3 = false;
    double yillikKidemTutari = 0;
    YTLHesap ytlHesap;
    YTLHesaplama ytlHesaplama;

    const std::string& text(Field f) const { return texts[static_cast<size_t>(f)]; }
    bool operator==(const CaseSheet& o) const;
};

CaseSheet SheetOf(const Record& r);

// The calculator's texts by the names the archive stores them under ("YTLHesap.O1", "YTLHesap.VD3",
// "YTLHesaplama.GVK", ...), and the way back.
std::vector<std::pair<std::string, std::string>> CalculatorTexts(const CaseSheet& s);
// Returns false for a name that is not one of the calculator's.
bool SetCalculatorText(CaseSheet& s, const std::string& name, std::string text);

// The caption a clerk reads for a field: the window's caption beside it, told apart by its frame where
// another field has the same caption ("Toplam Gün (Kıdem Gün Dökümü)"), and a caption of its own for the
// fields shown without one (the bracket rows, the release text).
std::string FieldLabel(Field f);

// Puts the stored sheet into a record so that it reads back exactly as stored, without calculating:
// the texts are written in an order that leaves no change rule's work standing (a rule that writes
// another field is followed by that field's stored text; results come last).
void RestoreSheet(const CaseSheet& s, Record& r);

} // namespace pamerol
