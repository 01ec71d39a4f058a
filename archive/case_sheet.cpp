// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/case_sheet.h"

#include <algorithm>

#include "calc/fields.h"
#include "calc/hesapla.h"

namespace pamerol {

bool CaseSheet::operator==(const CaseSheet& o) const {
    const auto calc = [](const CaseSheet& s) { return CalculatorTexts(s); };
    return texts == o.texts && mode == o.mode && check1 == o.check1 && check2 == o.check2 &&
           command3 == o.command3 && yillikKidemTutari == o.yillikKidemTutari && calc(*this) == calc(o);
}

CaseSheet SheetOf(const Record& r) {
    CaseSheet s;
    for (int i = 0; i < kFieldCount; ++i) s.texts[static_cast<size_t>(i)] = r.text(static_cast<Field>(i));
    s.mode = r.mode();
    s.check1 = r.check1();
    s.check2 = r.check2();
    s.command3 = r.command3Enabled();
    s.yillikKidemTutari = r.yillikKidemTutari;
    s.ytlHesap = r.ytlHesap;
    s.ytlHesaplama = r.ytlHesaplama;
    return s;
}

namespace {

// Every text of the calculator, by name.
template <typename Sheet, typename Visit> void EachCalculatorText(Sheet& s, Visit visit) {
    visit("YTLHesap.GM", s.ytlHesap.GM);
    visit("YTLHesap.GM2", s.ytlHesap.GM2);
    for (size_t i = 0; i < s.ytlHesap.VD.size(); ++i)
        visit("YTLHesap.VD" + std::to_string(i + 1), s.ytlHesap.VD[i]);
    for (size_t i = 0; i < s.ytlHesap.O.size(); ++i)
        visit("YTLHesap.O" + std::to_string(i + 1), s.ytlHesap.O[i]);
    for (size_t i = 0; i < s.ytlHesap.HM.size(); ++i)
        visit("YTLHesap.HM" + std::to_string(i + 1), s.ytlHesap.HM[i]);
    visit("YTLHesaplama.GVK", s.ytlHesaplama.GVK);
}

} // namespace

std::vector<std::pair<std::string, std::string>> CalculatorTexts(const CaseSheet& s) {
    std::vector<std::pair<std::string, std::string>> out;
    EachCalculatorText(
        s, [&](const std::string& name, const std::string& text) { out.emplace_back(name, text); });
    return out;
}

bool SetCalculatorText(CaseSheet& s, const std::string& name, std::string text) {
    bool found = false;
    EachCalculatorText(s, [&](const std::string& n, std::string& slot) {
        if (!found && n == name) {
            slot = std::move(text);
            found = true;
        }
    });
    return found;
}

std::string FieldLabel(Field f) {
    const FieldInfo& info = Info(f);
    for (size_t i = 0; i < kBracketRows.size(); ++i) {
        const std::string row = "Gelir Vergisi " + std::to_string(i + 1) + ". Dilim ";
        if (f == kBracketRows[i].rate) return row + "Oranı";
        if (f == kBracketRows[i].limit) return row + "Tutarı";
    }
    if (f == Field::O6) return "Gelir Vergisi 6. Dilim Oranı";
    if (f == Field::VD6) return "Gelir Vergisi 6. Dilim Tutarı";
    if (info.caption.empty()) return std::string(info.frame);
    if (!info.result.label.empty()) return std::string(info.result.label);
    // A caption that another field shows too ("Toplam Gün", "SSK No") is told apart by its frame.
    const bool shared = std::any_of(kFieldTable.begin(), kFieldTable.end(), [&](const FieldInfo& other) {
        return other.field != f && other.caption == info.caption;
    });
    if (!shared || info.frame.empty()) return std::string(info.caption);
    return std::string(info.caption) + " (" + std::string(info.frame) + ")";
}

static_assert(Field::GGUN > Field::DGUN && Field::GGUN > Field::TGUN && Field::TBRUT > Field::ESUCRET &&
                  Field::TBRUT > Field::IUCRET,
              "a derived total is written after the inputs its rule reads");

void RestoreSheet(const CaseSheet& s, Record& r) {
    const auto isResult = [](Field f) {
        return std::find(kResultFields.begin(), kResultFields.end(), f) != kResultFields.end();
    };
    // The mode's rule and the inputs' rules clear results and derive totals, so the mode goes first, the
    // other fields next and the results last. A rule that derives a field (GGUN, TBRUT) derives one that
    // comes after its inputs in the field order, so that field's stored text is written after the rule
    // has run, and no result field has a rule: one pass leaves every text as stored.
    r.setMode(s.mode);
    for (bool results : {false, true})
        for (int i = 0; i < kFieldCount; ++i)
            if (isResult(static_cast<Field>(i)) == results)
                r.write(static_cast<Field>(i), s.texts[static_cast<size_t>(i)]);
    r.setCheck1(s.check1);
    r.setCheck2(s.check2);
    r.setCommand3Enabled(s.command3);
    r.yillikKidemTutari = s.yillikKidemTutari;
    r.ytlHesap = s.ytlHesap;
    r.ytlHesaplama = s.ytlHesaplama;
    // The papers and the statement read the calculation itself: it is made again from the stored case,
    // and the statement names any stored result that it does not give.
    r.setHesap(nullptr);
    if (s.command3) HesabiGeriKoy(r);
}

} // namespace pamerol
