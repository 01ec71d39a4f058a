// SPDX-License-Identifier: GPL-3.0-or-later
#include "yasal_degerler.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/conversions.h"
#include "base/files.h"
#include "sheet/places.h"

namespace pamerol {

namespace {

constexpr std::string_view kHeader = "alan;baslangic;bitis;deger;durum;kaynaklar";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Columns(std::string_view line) {
    std::vector<std::string_view> out;
    for (size_t from = 0;;) {
        size_t semi = line.find(';', from);
        out.push_back(Trim(line.substr(from, semi == std::string_view::npos ? semi : semi - from)));
        if (semi == std::string_view::npos) return out;
        from = semi + 1;
    }
}

std::optional<Field> TableField(std::string_view name) {
    auto f = FieldByName(name);
    if (!f) return std::nullopt;
    for (Field k : kYasalAlanlar)
        if (k == *f) return f;
    return std::nullopt;
}

bool KnownStatus(std::string_view s) {
    return s == "2+" || s == "1" || s == "2+ ƒ" || s == "1 ƒ" || s == "✗";
}

std::string Quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

std::string Period(const YasalDeger& row) {
    return DateText(row.start) + " - " + (row.end ? DateText(*row.end) : std::string("..."));
}

constexpr int kNoEnd = 99999999;

bool Overlap(const YasalDeger& a, const YasalDeger& b) {
    return a.start <= b.end.value_or(kNoEnd) && b.start <= a.end.value_or(kNoEnd);
}

// One row of the table after the header; nothing, with the reason in why, when it cannot be used.
std::optional<YasalDeger> ParseRow(std::string_view line, int number, std::string& why) {
    auto fail = [&](std::string reason) {
        why = std::move(reason);
        return std::nullopt;
    };
    auto c = Columns(line);
    if (c.size() != 6) return fail("6 sütun olmalı, " + std::to_string(c.size()) + " sütun var");
    YasalDeger row{Field::DVOR,       0,     std::nullopt, std::string(c[3]), std::string(c[4]),
                   std::string(c[5]), number};
    auto field = TableField(c[0]);
    if (!field) return fail("tabloda olmayan alan " + Quoted(c[0]));
    row.field = *field;
    auto start = DateKey(c[1]);
    if (!start) return fail("başlangıç tarihi " + Quoted(c[1]) + " geçerli bir tarih değil");
    row.start = *start;
    if (!c[2].empty()) {
        row.end = DateKey(c[2]);
        if (!row.end) return fail("bitiş tarihi " + Quoted(c[2]) + " geçerli bir tarih değil");
        if (*row.end < row.start) return fail("bitiş tarihi başlangıçtan önce");
    }
    if (!KnownStatus(row.status))
        return fail("durum " + Quoted(row.status) + " olamaz (2+, 1, 2+ ƒ, 1 ƒ ya da ✗)");
    if (row.status == "✗") {
        if (!row.value.empty()) return fail("durumu ✗ olan dönemin değeri boş kalmalı");
    } else {
        if (row.value.empty()) return fail("değer boş; kaynağı bulunmayan dönemin durumu ✗ olmalı");
        auto v = ParseNumber(row.value);
        if (!v) return fail("değer " + Quoted(row.value) + " okunamıyor");
        if (*v < 0) return fail("değer " + Quoted(row.value) + " eksi olamaz");
        if (row.sources.empty()) return fail("değerin kaynağı yazılmamış");
    }
    return row;
}

// Whether two of the first count rows of one field share a day. Sorted by field and start, a row
// overlaps an earlier one exactly when it starts on or before the furthest end of the rows before it.
bool AnyOverlap(const std::vector<YasalDeger>& rows, size_t count) {
    std::vector<const YasalDeger*> sorted;
    sorted.reserve(count);
    for (size_t i = 0; i < count; ++i) sorted.push_back(&rows[i]);
    std::sort(sorted.begin(), sorted.end(), [](const YasalDeger* a, const YasalDeger* b) {
        return std::pair(a->field, a->start) < std::pair(b->field, b->start);
    });
    int reach = 0;
    for (size_t k = 0; k < sorted.size(); ++k) {
        const YasalDeger& row = *sorted[k];
        if (k > 0 && row.field == sorted[k - 1]->field && row.start <= reach) return true;
        const int end = row.end.value_or(kNoEnd);
        reach = k > 0 && row.field == sorted[k - 1]->field ? std::max(reach, end) : end;
    }
    return false;
}

// The overlap the file shows first: the first row that shares a day with a row above it, named with the
// first such row. The rows up to it are found by halving, so a sound table is checked in one sort.
std::optional<std::string> FirstOverlap(const std::vector<YasalDeger>& rows) {
    if (!AnyOverlap(rows, rows.size())) return std::nullopt;
    size_t clean = 1, overlapping = rows.size(); // one row alone never overlaps
    while (overlapping - clean > 1) {
        const size_t mid = clean + (overlapping - clean) / 2;
        (AnyOverlap(rows, mid) ? overlapping : clean) = mid;
    }
    const YasalDeger& row = rows[overlapping - 1];
    for (size_t i = 0; i + 1 < overlapping; ++i)
        if (rows[i].field == row.field && Overlap(rows[i], row))
            return "satır " + std::to_string(row.line) + ": " + std::string(FieldName(row.field)) + " için " +
                   Period(row) + " dönemi satır " + std::to_string(rows[i].line) + " ile çakışıyor";
    return std::nullopt;
}

// Names of consecutive table fields of one kind joined as a range: "O1–O5", "DL1–DL4".
std::string Names(const std::vector<Field>& fields) {
    auto kind = [](Field f) {
        std::string_view n = FieldName(f);
        return n.substr(0, n.find_first_of("0123456789"));
    };
    std::string out;
    for (size_t i = 0; i < fields.size();) {
        size_t j = i;
        while (j + 1 < fields.size() && kind(fields[j + 1]) == kind(fields[i]) &&
               static_cast<int>(fields[j + 1]) == static_cast<int>(fields[j]) + 1)
            ++j;
        if (!out.empty()) out += ", ";
        out += FieldName(fields[i]);
        if (j > i) {
            out += j == i + 1 ? ", " : "–";
            out += FieldName(fields[j]);
        }
        i = j + 1;
    }
    return out;
}

} // namespace

std::string YasalDegerlerYolu(const std::string& programFolder) {
    if (programFolder.empty()) return std::string(kYasalDegerlerDosyasi);
    return programFolder + (programFolder.back() == '/' ? "" : "/") + std::string(kYasalDegerlerDosyasi);
}

std::optional<int> DateKey(std::string_view t) {
    const std::optional<Date> d = ParseDate(t);
    if (!d) return std::nullopt;
    return d->key();
}

std::string DateText(int key) {
    return DateText(Date::FromKey(key));
}

Expected<YasalDegerler> YasalDegerler::Parse(std::string_view text) {
    YasalDegerler table;
    bool header = false;
    int number = 0;
    // The first malformed row stops the reading; an overlap among the rows above it comes first in the
    // file and is named instead.
    std::optional<std::string> malformed;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3); // a byte-order mark some editors add
    for (size_t from = 0; from < text.size() && !malformed;) {
        size_t eol = text.find('\n', from);
        std::string_view line = Trim(text.substr(from, eol == std::string_view::npos ? eol : eol - from));
        from = eol == std::string_view::npos ? text.size() : eol + 1;
        ++number;
        if (line.empty() || line.front() == '#') continue;
        if (!header) {
            if (line != kHeader)
                return Failure("satır " + std::to_string(number) + ": başlık satırı " + Quoted(kHeader) +
                               " olmalı");
            header = true;
            continue;
        }
        std::string why;
        if (auto row = ParseRow(line, number, why))
            table.rows_.push_back(std::move(*row));
        else
            malformed = "satır " + std::to_string(number) + ": " + why;
    }
    if (!header)
        return Failure(text.empty() ? "dosya boş"
                                    : "satır " + std::to_string(number) + ": başlık satırı yok");
    if (auto overlap = FirstOverlap(table.rows_)) return Failure(*overlap);
    if (malformed) return Failure(*malformed);
    return table;
}

Expected<YasalDegerler> YasalDegerler::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    // Copying an empty file inserts nothing, which the stream counts as a failure: an empty file is read
    // (and named as empty), anything else that gives nothing could not be read.
    std::error_code ec;
    const bool empty =
        std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) == 0;
    if (!in || (!empty && !(text << in.rdbuf()))) return Failure(path + ": dosya okunamadı");
    auto table = Parse(text.str());
    if (!table) return Failure(path + ", " + table.error().message);
    return table;
}

const YasalDeger* YasalDegerler::inForce(Field f, int date) const {
    for (const YasalDeger& row : rows_)
        if (row.field == f && row.start <= date && (!row.end || date <= *row.end)) return &row;
    return nullptr;
}

std::optional<int> CikisTarihi(const Record& r) {
    if (r.mode() != Mode::Dates) return std::nullopt;
    return DateKey(r.text(Field::CTarih));
}

Getirilen YasalDegerleriYaz(Record& r, const YasalDegerler& table, int date,
                            const std::function<bool(Field)>& keep, AsgariKurali asgari) {
    Getirilen out;
    std::vector<const YasalDeger*> gaps;
    for (Field f : kYasalAlanlar) {
        if (keep && keep(f)) continue;
        const YasalDeger* row = table.inForce(f, date);
        if (row && !row->value.empty()) {
            if (asgari == AsgariKurali::Yukseltir && AsgariYasalDeger(f)) {
                auto held = r.number(f);
                auto law = ParseNumber(row->value);
                if (held && law && *held >= *law) continue; // a contract's figure
            }
            r.write(f, row->value);
            out.filled.push_back(f);
        } else if (UsesFigure(r, f)) { // a figure the case does not use is not missed
            out.missing.push_back(f);
            if (row) gaps.push_back(row);
        }
    }
    const std::string day = DateText(date);
    out.message = out.filled.empty()
                      ? day + " tarihi için tabloda yasal değer yok."
                      : day + " tarihinde geçerli yasal değerler yazıldı: " + Names(out.filled) + ".";
    if (!out.missing.empty()) {
        out.message += "\r\nTabloda olmayanlar (alanda yazılı değer kaldı): " + Names(out.missing);
        for (const YasalDeger* gap : gaps)
            out.message += "; " + std::string(FieldName(gap->field)) + " için " + Period(*gap) +
                           " döneminin kaynağı bulunamadı";
        out.message += ".";
    }
    return out;
}

std::optional<std::string> TavanUyarisi(const YasalDegerler& table, int exitDate, const std::string& tav) {
    const YasalDeger* row = table.inForce(Field::TAV, exitDate);
    auto used = ParseNumber(tav);
    if (!used) return std::nullopt;
    auto shownUsed = AmountText(*used);
    if (!shownUsed) return std::nullopt;
    // A period no source gives: whatever ceiling was used, the clerk must know it was not checked.
    if (!row || row->value.empty())
        return "Çıkış tarihindeki tavan tabloda yok; hesapta " + *shownUsed + " kullanıldı.";
    auto inForce = ParseNumber(row->value);
    if (!inForce) return std::nullopt;
    auto shownInForce = AmountText(*inForce);
    if (!shownUsed || !shownInForce || *shownUsed == *shownInForce) return std::nullopt;
    return "Çıkış tarihinde geçerli tavan " + *shownInForce + "; hesapta " + *shownUsed + " kullanıldı.";
}

std::optional<std::string_view> AsgariUcretIstisnasiNotu(int exitDate) {
    if (exitDate < 20220101) return std::nullopt;
    return "Asgari ücret istisnası uygulanmadı: ihbar tazminatının gelir ve damga vergisi ile kıdem "
           "tazminatının damga vergisi istisnasız hesaplandı.";
}

SonucNotlari HesapNotlari(const Record& r, const YasalDegerler* table, int today) {
    SonucNotlari out;
    if (!r.command3Enabled()) return out;
    const std::optional<int> exit = CikisTarihi(r);
    const Hesap* calculated = r.hesap();
    const bool severanceDue =
        !calculated || (calculated->sonuc.entitled && calculated->sonuc.reason->severanceDue);
    if (exit && table && severanceDue) out.tavanUyarisi = TavanUyarisi(*table, *exit, r.text(Field::TAV));
    if (auto note = AsgariUcretIstisnasiNotu(r.mode() == Mode::PremiumDays ? today : exit.value_or(0)))
        out.asgariUcretNotu = std::string(*note);
    if (const Hesap* h = r.hesap()) {
        if (h->sonuc.entitled)
            out.kidemDurumu = h->sonuc.severanceUnknown ? CeilingNote(h->dava.input, h->dava.law, h->sonuc)
                                                        : SeveranceDueNote(h->sonuc);
        out.ihbarDurumu = NoticeDueNote(h->sonuc);
    }
    return out;
}

std::string_view ParaBirimi(int date) {
    return date < 20090101 ? "YTL." : "TL";
}

int TodayKey() {
    return Today().key();
}

std::string_view KagitParaBirimi(const Record& r) {
    return ParaBirimi(CikisTarihi(r).value_or(TodayKey()));
}

} // namespace pamerol

namespace pamerol {

namespace {} // namespace

std::string YasalBaslik(Field f) {
    for (size_t i = 0; i < kBracketRows.size(); ++i) {
        if (f == kBracketRows[i].rate) return "Gelir Vergisi " + std::to_string(i + 1) + ". Dilim Oranı";
        if (f == kBracketRows[i].limit) return "Gelir Vergisi " + std::to_string(i + 1) + ". Dilim Sınırı";
    }
    return std::string(FieldCaption(f));
}

namespace {

// A figure as compared: amounts and rates to the kuruş, as the sheet shows them.
std::optional<std::string> Shown(const std::string& text) {
    auto v = ParseNumber(text);
    if (!v) return std::nullopt;
    return AmountText(*v);
}

// The figure as the clerk reads it in a sentence: amounts in the amount pattern, the rest as written.
std::string Okunan(Field f, const std::string& text) {
    if (Info(f).kind == Kind::Amount)
        if (auto s = Shown(text)) return *s;
    return text;
}

} // namespace

bool AsgariYasalDeger(Field f) {
    if (f == Field::KGN) return true;
    for (const NoticeBand& b : kNoticeBands)
        if (b.field == f) return true;
    return false;
}

std::string DonemMetni(const YasalDeger& row) {
    return DateText(row.start) + " – " +
           (row.end ? DateText(*row.end) : std::string("yeni düzenlemeye kadar"));
}

CeilingInForce TarihinTavani(const YasalDegerler& table, int date) {
    CeilingInForce out;
    const YasalDeger* row = table.inForce(Field::TAV, date);
    if (row && !row->value.empty()) {
        out.value = ParseNumber(row->value);
        if (out.value) return out;
    }
    const YasalDeger* last = nullptr;
    for (const YasalDeger& r : table.rows())
        if (r.field == Field::TAV && !r.value.empty() && r.start <= date && ParseNumber(r.value) &&
            (!last || r.start > last->start))
            last = &r;
    if (last) {
        out.lastKnown = ParseNumber(last->value);
        out.lastPeriod = DonemMetni(*last);
    }
    out.missingPeriod = row ? DonemMetni(*row) : DateText(date) + " tarihini kapsayan dönem";
    return out;
}

YasalRapor TarihinYasalDegerleriniUygula(Record& r, const YasalDegerler& table, std::optional<int> date,
                                         const std::function<bool(Field)>& keep, FigureOrigins* origins) {
    YasalRapor report;
    report.date = date;
    if (!date) {
        report.message = kCikisTarihiGerekli;
        return report;
    }
    Getirilen g = YasalDegerleriYaz(r, table, *date, keep, AsgariKurali::Yukseltir);
    for (Field f : g.filled) {
        report.filled.emplace_back(f, r.text(f));
        if (origins)
            if (const YasalDeger* row = table.inForce(f, *date))
                (*origins)[f] = {FigureOrigin::Table, DonemMetni(*row), row->sources};
    }
    report.missing = std::move(g.missing);
    report.message = std::move(g.message);
    return report;
}

std::vector<YasalUyari> YasalUyarilar(const Record& r, const YasalDegerler& table, int date) {
    std::vector<YasalUyari> out;
    const std::string day = DateText(date);
    const bool lastCeilingTaken = r.hesap() && r.hesap()->dava.law.ceilingMissing;
    // The ceiling matters only where a severance is due; a case reckoned on another day than its exit date
    // (the window's premium-day case, on the day of the calculation) says so.
    const bool severanceDue =
        !r.hesap() || (r.hesap()->sonuc.entitled && r.hesap()->sonuc.reason->severanceDue);
    const bool premium = DateKey(r.text(Field::CTarih)) != date;
    for (Field f : kYasalAlanlar) {
        if (!UsesFigure(r, f)) continue;
        if (f == Field::TAV && !severanceDue) continue;
        const std::string& used = r.text(f);
        const YasalDeger* row = table.inForce(f, date);
        YasalUyari u{f, YasalBaslik(f), used, std::nullopt, {}};
        if (!row || row->value.empty()) {
            if (f == Field::TAV && lastCeilingTaken) continue;
            u.metin = (premium ? "Hesap günündeki (" : "Çıkış tarihindeki (") + day + ") " + u.baslik +
                      " tabloda yok; hesapta " + Okunan(f, used) + " kullanıldı. " + u.baslik +
                      " değerini Sabitler sekmesinde kontrol edin.";
            out.push_back(std::move(u));
            continue;
        }
        const auto usedShown = Shown(used), lawShown = Shown(row->value);
        if (usedShown && lawShown && *usedShown == *lawShown) continue;
        if (AsgariYasalDeger(f)) {
            auto held = ParseNumber(used);
            auto law = ParseNumber(row->value);
            if (held && law && *held >= *law) continue; // above the statutory minimum: a contract's figure
        }
        u.yururlukte = row->value;
        u.metin = (premium ? "Hesap gününde (" : "Çıkış tarihinde (") + day + ") geçerli " + u.baslik + " " +
                  Okunan(f, row->value) + "; hesapta " +
                  (used.empty() ? std::string("boş") : Okunan(f, used)) + " kullanıldı.";
        out.push_back(std::move(u));
    }
    return out;
}

std::optional<int> YasalTarih(const Record& r, int today) {
    if (r.mode() == Mode::PremiumDays) return today;
    return CikisTarihi(r);
}

std::string UyariParagrafi(const std::vector<YasalUyari>& uyarilar) {
    std::string out;
    for (const YasalUyari& u : uyarilar) {
        if (!out.empty()) out += "\r\n";
        out += u.metin;
    }
    return out;
}

Expected<YasalDegerler> ProgramYasalDegerleri() {
    const Places places = ChoosePlaces(ProgramFolder(), PlaceEnvironment::FromProcess());
    return YasalDegerler::Load(YasalDegerlerYolu(places.resources));
}

} // namespace pamerol
