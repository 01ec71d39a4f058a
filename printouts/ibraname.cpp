// SPDX-License-Identifier: GPL-3.0-or-later
#include "printouts/ibraname.h"

#include <array>
#include <utility>

#include "archive/turkish_fold.h"
#include "base/conversions.h"
#include "base/csv.h"
#include "base/date.h"
#include "figures/yasal_degerler.h"
#include "sheet/entry_aids.h"

namespace pamerol {

namespace {

std::string Trimmed(std::string_view s) {
    return std::string(CellTrimmed(s));
}

bool Blank(std::string_view s) {
    return CellTrimmed(s).empty();
}

// A date field's text, or nothing for an empty mask or a text that is no date.
std::optional<int> TypedDate(const Record& r, Field f) {
    return DateKey(r.text(f));
}

// The phrases of a blanket release, folded as PlainFold folds the text, with the words the clerk knows
// them by.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kGenelIbra{{
    {"bilcumle alacak", "bilcümle alacak"},
    {"hicbir alacagimin kalmadigini", "hiçbir alacağımın kalmadığını"},
    {"hicbir alacagim kalmadigini", "hiçbir alacağım kalmadığını"},
    {"butun ucretlerimi", "bütün ücretlerimi"},
    {"tum alacaklarimi", "tüm alacaklarımı"},
    {"her turlu alacak", "her türlü alacak"},
    {"hicbir hak ve alacag", "hiçbir hak ve alacağım"},
}};

} // namespace

int IbranameTarihi(const Record& r, int today) {
    return TypedDate(r, Field::txtIbranameTarihi).value_or(today);
}

int IbranameIlkTarih(int exit) {
    int y = exit / 10000, m = exit / 100 % 100 + 1, d = exit % 100;
    if (m > 12) m = 1, ++y;
    while (d > 28 && !IsCalendarDate(d, m, y)) --d;
    return y * 10000 + m * 100 + d;
}

std::optional<IbranameEngeli> IbranameEngeliVar(const Record& r, int today) {
    const std::optional<int> exit = TypedDate(r, Field::CTarih);
    if (!TypedDate(r, Field::GTarih) || !exit)
        return IbranameEngeli{"İbraname için işe giriş ve işten çıkış tarihlerini yazın: ibraname hangi "
                              "çalışma döneminin alacaklarını kapsadığını göstermeli ve TBK m. 420'nin bir "
                              "aylık süresi çıkış tarihinden sayılır.",
                              false};
    const int date = IbranameTarihi(r, today);
    if (date >= IbranameIlkTarih(*exit)) return std::nullopt;
    return IbranameEngeli{"İbraname tarihi (" + DateText(date) + ") çıkış tarihinden (" + DateText(*exit) +
                              ") sonra bir ay geçmeden: " + std::string(kIbranameBirAyHukmu) +
                              " İbraname en erken " + DateText(IbranameIlkTarih(*exit)) +
                              " tarihli olabilir.",
                          true};
}

EkOdemeler EkOdemeleriOku(const std::string& text) {
    EkOdemeler out;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t to = std::min(text.find('\n', from), text.size());
        const std::string line = Trimmed(std::string_view(text).substr(from, to - from));
        from = to + 1;
        if (line.empty()) continue;
        const size_t cut = line.find_last_of(":\t");
        std::optional<Kurus> kurus;
        std::string kind;
        if (cut != std::string::npos) {
            kind = Trimmed(std::string_view(line).substr(0, cut));
            const std::string amount = Trimmed(std::string_view(line).substr(cut + 1));
            if (auto v = ReadAmount(amount, AmountForms::Table); v && *v > 0) kurus = KurusAsShown(*v);
        }
        if (kind.empty() || !kurus)
            out.okunamayan.push_back(line);
        else
            out.satirlar.push_back({kind, *kurus});
    }
    return out;
}

std::vector<std::string> GenelIbraIfadeleri(const std::string& text) {
    // Folded, with every run of blanks and line breaks made one blank.
    std::string folded;
    for (char c : PlainFold(text)) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (blank && (folded.empty() || folded.back() == ' ')) continue;
        folded += blank ? ' ' : c;
    }
    std::vector<std::string> out;
    for (const auto& [key, shown] : kGenelIbra)
        if (folded.find(key) != std::string::npos) out.emplace_back(shown);
    return out;
}

std::vector<std::string> IbranameUyarilari(const Record& r) {
    std::vector<std::string> out;
    std::vector<std::string> missing;
    if (!TypedDate(r, Field::txtOdemeTarihi)) missing.emplace_back(FieldCaption(Field::txtOdemeTarihi));
    if (Blank(r.text(Field::txtBanka))) missing.emplace_back(FieldCaption(Field::txtBanka));
    if (Blank(r.text(Field::txtIBAN))) missing.emplace_back(FieldCaption(Field::txtIBAN));
    if (!missing.empty()) {
        std::string names;
        for (size_t i = 0; i < missing.size(); ++i)
            names += (i == 0 ? "" : i + 1 == missing.size() ? " ve " : ", ") + ("\"" + missing[i] + "\"");
        out.push_back("İbranamede " + names +
                      " yok: TBK m. 420 uyarınca ödeme banka aracılığıyla yapılmalı; "
                      "ibraname tutarların hangi gün hangi hesaba ödendiğini göstermeli.");
    }
    if (auto iban = IbanUyarisi(r.text(Field::txtIBAN))) out.push_back(*iban);
    if (const auto phrases = GenelIbraIfadeleri(r.text(Field::txtIbraname)); !phrases.empty()) {
        std::string names;
        for (size_t i = 0; i < phrases.size(); ++i) names += (i ? "\", \"" : "\"") + phrases[i];
        out.push_back("İbraname metninde genel ibra ifadesi var (" + names +
                      "\"): TBK m. 420 uyarınca ibraname alacağın türünü ve miktarını göstermeli; türü ve "
                      "tutarı yazılmayan alacaklar için ibra kesin olarak hükümsüzdür.");
    }
    for (const std::string& line : EkOdemeleriOku(r.text(Field::txtEkOdemeler)).okunamayan)
        out.push_back("Diğer Ödemeler: \"" + line +
                      "\" okunamadı; her satıra türü, iki nokta ve net tutarı yazın (Son ay ücreti: "
                      "12.345,67). Bu satır ibranameye yazılmaz.");
    return out;
}

std::string OdemeBeyani(const Record& r) {
    const std::optional<int> paid = TypedDate(r, Field::txtOdemeTarihi);
    const std::string bank = Trimmed(r.text(Field::txtBanka));
    std::string iban = IbanYalin(r.text(Field::txtIBAN));
    if (!paid || bank.empty() || iban.empty()) return {};
    // The IBAN in groups of four, as a bank prints it.
    std::string grouped;
    for (size_t i = 0; i < iban.size(); i += 4) grouped += (i ? " " : "") + iban.substr(i, 4);
    return "Yukarıdaki tutarların her biri " + DateText(*paid) + " tarihinde " + bank + " nezdindeki " +
           grouped + " IBAN numaralı hesabıma ödenmiştir.";
}

} // namespace pamerol
