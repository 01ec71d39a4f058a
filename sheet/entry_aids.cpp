// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry_aids.h"

#include <array>

#include "base/conversions.h"
#include "calc/fields.h"

namespace pamerol {

namespace {

using F = Field;

// The kinds of field by their key rules: amounts take digits and one comma, day counts digits only.
bool IsAmount(F f) {
    return Info(f).filter == KeyFilter::DigitsAndComma;
}
bool IsDayCount(F f) {
    return Info(f).filter == KeyFilter::Digits;
}

} // namespace

std::optional<std::string_view> RefusedKeyHint(F f) {
    if (f == F::GTarih || f == F::CTarih) return "Bu alana yalnızca tarih rakamları girilir (GG.AA.YYYY).";
    if (IsDayCount(f)) return "Bu alana yalnızca rakam girilir.";
    if (IsAmount(f)) return "Bu alana yalnızca rakam ve virgül girilir.";
    return std::nullopt;
}

bool TypesDecimalComma(F f) {
    return IsAmount(f) || Info(f).kind == Kind::Rate;
}

bool CleansPastedAmount(F f) {
    return IsAmount(f);
}

std::string WithoutCurrencyAndBlanks(std::string_view pasted) {
    // Longest marks first, so that "YTL" goes whole rather than leaving its "Y".
    static constexpr std::array<std::string_view, 12> kDrop = {
        "YTL", "ytl", "TRY", "try", "TL", "tl", "Tl", "\u20BA", "\u00A0", "\u202F", "\u2009", " "};
    std::string out;
    for (size_t i = 0; i < pasted.size();) {
        bool dropped = false;
        for (std::string_view mark : kDrop)
            if (pasted.substr(i, mark.size()) == mark) {
                i += mark.size();
                dropped = true;
                break;
            }
        if (dropped) continue;
        if (pasted[i] == '\t' || pasted[i] == '\r' || pasted[i] == '\n') {
            ++i;
            continue;
        }
        out += pasted[i++];
    }
    return out;
}

bool IsCaseInput(F f) {
    // The upper area's typed fields; the totals are written by the sheet.
    return Info(f).tab == Tab::Upper && !Info(f).readOnly;
}

bool HasUncalculatedInputs(const Record& r) {
    if (r.command3Enabled()) return false;
    for (int i = 0; i < kFieldCount; ++i) {
        const F f = static_cast<F>(i);
        if (!IsCaseInput(f)) continue;
        const std::string& text = r.text(f);
        if (f == F::GTarih || f == F::CTarih) {
            if (text != kEmptyDate) return true;
        } else if (!text.empty() && ParseNumber(text) != std::optional<double>(0.0)) {
            return true;
        }
    }
    return false;
}

bool IsParticular(F f) {
    return Info(f).tab == Tab::Personel;
}

std::optional<std::string> ParticularsAge::warning(const Record& r) const {
    if (!clearedOnce_ || editedSinceClear_) return std::nullopt;
    bool any = false;
    // An empty date box holds its mask, which is no particular either.
    for (int i = 0; i < kFieldCount; ++i)
        any = any || (IsParticular(F(i)) && !r.text(F(i)).empty() && r.text(F(i)) != kEmptyDate);
    if (!any) return std::nullopt;
    const std::string& name = r.text(F::txtAdiSoyadi);
    return "Personel bilgileri önceki hesaptan: " + (name.empty() ? std::string("(adı yazılmamış)") : name);
}

} // namespace pamerol
