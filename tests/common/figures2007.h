// SPDX-License-Identifier: GPL-3.0-or-later
// The legal figures of 2007 that the tests compute with, in one place: the first half's ceiling 1.960,69
// with a stamp-duty rate of 6,6 per mille, as the worked examples use them, or the second half's ceiling
// 2.030,19 with 6 per mille, as the settings file of that year held them. The 2007 wage brackets carry
// their top rate on rows with a very high limit. The employee's SGK shares (14 % and 1 %) and the monthly
// premium ceiling of each half go with them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "calc/fields.h"
#include "calc/record.h"

namespace pamerol::testing {

enum class Half2007 { First, Second };

inline std::vector<std::pair<Field, std::string>> Figures2007(Half2007 half) {
    const bool first = half == Half2007::First;
    using F = Field;
    return {
        {F::DVOR, first ? "6,6" : "6"},
        {F::KGN, "30"},
        {F::TAV, first ? "1960,69" : "2030,19"},
        {F::O1, "15"},
        {F::O2, "20"},
        {F::O3, "27"},
        {F::O4, "35"},
        {F::O5, "35"},
        {F::VD1, "7500"},
        {F::VD2, "19000"},
        {F::VD3, "43000"},
        {F::VD4, "999999999"},
        {F::VD5, "999999999"},
        {F::DL1, "14"},
        {F::DL2, "28"},
        {F::DL3, "42"},
        {F::DL4, "56"},
        {F::SGKIO, "14"},
        {F::ISIO, "1"},
        {F::PEKUST, first ? "3656,25" : "3802,50"},
    };
}

// The figures written into the sheet, and the bracket table given to the calculator as a load would.
inline void Put2007(Record& r, Half2007 half) {
    for (const auto& [f, t] : Figures2007(half)) r.write(f, t);
    CopyBracketsToCalculator(r);
}

// The figures as command-line assignments of the companion ("DVOR=6,6", ...).
inline std::vector<std::string> Assignments2007(Half2007 half) {
    std::vector<std::string> out;
    for (const auto& [f, t] : Figures2007(half)) out.push_back(std::string(FieldName(f)) + "=" + t);
    return out;
}

// The figures as a settings file: their sections in the order a save writes them, CR LF line ends.
inline std::string Ini2007(Half2007 half) {
    std::string out, section;
    for (Field f : kSettingFields)
        for (const auto& [g, t] : Figures2007(half))
            if (g == f) {
                if (Info(f).section != section) {
                    section = Info(f).section;
                    out += "[" + section + "]\r\n";
                }
                out += std::string(Info(f).key) + "=" + t + "\r\n";
            }
    return out;
}

} // namespace pamerol::testing
