// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry_aids.h"

#include <array>
#include <cmath>

#include "base/conversions.h"
#include "calc/fields.h"
#include "sheet/pamerol.h"

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

bool IbranameToplamiSifir(const Record& r) {
    double total = 0;
    const auto add = [&](bool included, F f) {
        if (!included) return;
        if (auto v = ParseNumber(r.text(f))) total += *v;
    };
    add(r.check1() == 1, F::NET);
    add(r.check2() == 1, F::ITAZM);
    add(ParseNumber(r.text(F::YIUCRET)).value_or(0) != 0, F::YIUCRET); // read as the letter reads it
    return std::llround(total * 100) == 0;
}

bool IsParticular(F f) {
    return Info(f).tab == Tab::Personel;
}

bool IsEmployeeText(F f) {
    return IsParticular(f) || f == F::txtIbraname;
}

bool TakesTypedKey(F f, char32_t ch, const std::string& currentText) {
    if (f == F::txtTcKNo || f == F::txtVergiNo) return (ch >= U'0' && ch <= U'9') || ch == 8;
    return Pamerol::acceptsKey(f, ch, currentText);
}

int TypingLimit(F f) {
    return f == F::txtTcKNo || f == F::txtVergiNo ? 11 : Pamerol::maxLength(f);
}

bool TcKimlikNoGecerli(std::string_view number) {
    if (number.size() != 11 || number[0] == '0') return false;
    std::array<int, 11> d{};
    for (size_t i = 0; i < 11; ++i) {
        if (number[i] < '0' || number[i] > '9') return false;
        d[i] = number[i] - '0';
    }
    const int odd = d[0] + d[2] + d[4] + d[6] + d[8];
    const int even = d[1] + d[3] + d[5] + d[7];
    if (((odd * 7 - even) % 10 + 10) % 10 != d[9]) return false;
    int sum = 0;
    for (size_t i = 0; i < 10; ++i) sum += d[i];
    return sum % 10 == d[10];
}

std::optional<std::string> TcKimlikNoUyarisi(std::string_view number) {
    if (number.empty() || TcKimlikNoGecerli(number)) return std::nullopt;
    if (number.size() != 11) return "T.C. Kimlik No 11 haneli olmalı; lütfen kontrol edin.";
    return "Bu T.C. Kimlik No geçerli bir numara değil (kontrol rakamları tutmuyor); lütfen kontrol edin.";
}

namespace {
// A number as the characters it is made of: the blanks between its groups left out.
std::string WithoutBlanks(std::string_view number) {
    std::string out;
    for (char c : number)
        if (c != ' ' && c != '\t') out += c;
    return out;
}
} // namespace

bool VergiNoGecerli(std::string_view number) {
    const std::string digits = WithoutBlanks(number);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return false;
    if (digits.size() == 11) return TcKimlikNoGecerli(digits);
    if (digits.size() != 10) return false;
    int sum = 0;
    for (int i = 0; i < 9; ++i) {
        const int shifted = (digits[static_cast<size_t>(i)] - '0' + 9 - i) % 10;
        if (shifted == 0) continue;
        const int weighted = shifted * (1 << (9 - i)) % 9;
        sum += weighted == 0 ? 9 : weighted;
    }
    return (10 - sum % 10) % 10 == digits[9] - '0';
}

std::optional<std::string> VergiNoUyarisi(std::string_view number) {
    if (number.find_first_not_of(' ') == std::string_view::npos || VergiNoGecerli(number))
        return std::nullopt;
    const std::string digits = WithoutBlanks(number);
    if ((digits.size() != 10 && digits.size() != 11) ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return "Vergi No. 10 rakam (şirket) ya da 11 rakam (şahıs: T.C. Kimlik No) olmalı; lütfen kontrol "
               "edin.";
    return "Bu vergi numarası geçerli değil (kontrol rakamı tutmuyor); lütfen kontrol edin.";
}

std::string IbanYalin(std::string_view iban) {
    std::string out = WithoutBlanks(iban);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool IbanGecerli(std::string_view iban) {
    const std::string s = IbanYalin(iban);
    if (s.size() != 26 || s.compare(0, 2, "TR") != 0) return false;
    for (size_t i = 2; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    // The number read from the fifth character on, then "TR" (29, 27), then the check digits, modulo 97.
    const std::string moved = s.substr(4) + "2927" + s.substr(2, 2);
    int rest = 0;
    for (char c : moved) rest = (rest * 10 + (c - '0')) % 97;
    return rest == 1;
}

std::optional<std::string> IbanUyarisi(std::string_view iban) {
    const std::string s = IbanYalin(iban);
    if (s.empty() || IbanGecerli(s)) return std::nullopt;
    if (s.size() != 26 || s.compare(0, 2, "TR") != 0 ||
        s.find_first_not_of("0123456789", 2) != std::string::npos)
        return "IBAN TR ve 24 rakamdan oluşmalı (TR12 3456 ...); lütfen kontrol edin.";
    return "Bu IBAN geçerli değil (kontrol rakamları tutmuyor); lütfen kontrol edin.";
}

void ParticularsAge::edited(F f) {
    std::erase(untouched_, f);
}

void ParticularsAge::boxEdited(int which) {
    (which == 1 ? check1Untouched_ : check2Untouched_) = false;
}

void ParticularsAge::cleared() {
    untouched_.clear();
    for (int i = 0; i < kFieldCount; ++i)
        if (IsEmployeeText(F(i))) untouched_.push_back(F(i));
    check1Untouched_ = check2Untouched_ = true;
}

void ParticularsAge::confirmed() {
    untouched_.clear();
    check1Untouched_ = check2Untouched_ = false;
}

std::vector<std::string> ParticularsAge::leftOver(const Record& r) const {
    std::vector<std::string> out;
    for (F f : untouched_) {
        const std::string& text = r.text(f);
        if (f == F::txtIbraname) {
            if (text != kDefaultReleaseText) out.emplace_back("İbraname Metni (değiştirilmiş)");
        } else if (!text.empty() && text != kEmptyDate) { // an empty date box holds only its mask
            std::string item(Info(f).caption);
            if (f == F::txtAdiSoyadi) item += " (" + text + ")";
            out.push_back(std::move(item));
        }
    }
    if (check1Untouched_ && r.check1() != 1)
        out.emplace_back("Kıdem Tazminatı İbranameye Dahil Et (işaretsiz)");
    if (check2Untouched_ && r.check2() != 1)
        out.emplace_back("İhbar Tazminatı İbranameye Dahil Et (işaretsiz)");
    return out;
}

std::optional<std::string> ParticularsAge::warning(const Record& r) const {
    const std::vector<std::string> left = leftOver(r);
    if (left.empty()) return std::nullopt;
    std::string line = "Önceki hesaptan kalan bilgiler: ";
    for (size_t i = 0; i < left.size(); ++i) line += (i ? ", " : "") + left[i];
    return line + ". Bu kişiye aitse onaylayın, değilse düzeltin ya da \"Yeni Personel\" ile temizleyin.";
}

} // namespace pamerol
