// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/hesapla.h"

#include <algorithm>
#include <cmath>

#include "base/conversions.h"
#include "calc/fields.h"

namespace pamerol::legacy {

namespace {

// A step that cannot read a figure ends the computation it belongs to, naming the figure.
struct Unreadable {
    Field field;
};
// A bracket row of the income-tax calculator that cannot be read.
struct UnreadableBracketRow {
    UnreadableBracket row;
};
// A result too large to be written as a number.
struct NotFinite {};

double Read(const Record& r, Field f) {
    auto v = r.number(f);
    if (!v) throw Unreadable{f};
    return *v;
}

std::string Num(double x) {
    auto t = NumberText(x);
    if (!t) throw NotFinite{};
    return *t;
}

std::string Amount(double x) {
    auto t = AmountText(x);
    if (!t) throw NotFinite{};
    return *t;
}

// Rewrites a field's text in the amount pattern.
void ShowAsAmount(Record& r, Field f) {
    r.write(f, Amount(Read(r, f)));
}

// The stamp duty on the amount in a field: the amount times the per-mille rate DVOR, unrounded.
double StampDuty(const Record& r, Field amount) {
    return Read(r, amount) * (Read(r, Field::DVOR) / 10) / 100;
}

struct DateParts {
    int day, month, year;
};

DateParts Parts(const std::string& t) {
    auto part = [&](size_t at, size_t n) {
        return static_cast<int>(LeadingNumber(t.size() > at ? std::string_view(t).substr(at, n) : ""));
    };
    return {part(0, 2), part(3, 2), part(6, 4)};
}

bool Before(const DateParts& a, const DateParts& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
}

// Notice-pay steps, run in the middle of the severance computation.
void IhbarHesapla(Record& r) {
    r.write(Field::IAYI, Num(Read(r, Field::TGUNU) / 30));
    const double months = Read(r, Field::TGUNU) / 30;
    r.write(Field::KIGUNU, Num(Read(r, Field::TGUNU) - std::floor(months) * 30));
    r.write(Field::HIGUNU, "0");
    // A service of exactly a band's upper limit stays in that band.
    Field band = kNoticeBands.back().field;
    for (const NoticeBand& b : kNoticeBands)
        if (months <= b.upToMonths) {
            band = b.field;
            break;
        }
    Read(r, band); // an unreadable band names itself, not the copy in HIGUNU
    r.write(Field::HIGUNU, r.text(band));
    r.write(Field::IAYI, Num(std::floor(Read(r, Field::IAYI))));
    r.write(Field::BITZM, Num(Read(r, Field::HIGUNU) * (Read(r, Field::TBRUT) / 30)));
    r.write(Field::IDVER, Num(StampDuty(r, Field::BITZM)));

    // Income tax of the notice pay on top of the year's carried base.
    r.ytlHesaplama.GVK = "0";
    r.ytlHesap.GM = r.text(Field::BITZM);
    r.ytlHesap.GM2 = Num(Read(r, Field::DGVMAT));
    r.ytlHesap.GelVerHesapla(r.ytlHesaplama);
    if (auto row = FindUnreadableBracket(ParseNumber(r.ytlHesap.GM).value_or(0), ParseNumber(r.ytlHesap.GM2).value_or(0), r.ytlHesap.table())) throw UnreadableBracketRow{*row};
    auto gvk = ParseNumber(r.ytlHesaplama.GVK);
    if (!gvk) throw NotFinite{};
    r.write(Field::IGVER, Num(*gvk));

    // The taxes are deducted as shown (two decimals), the gross amount unrounded.
    const double gross = Read(r, Field::BITZM);
    auto stamp = RoundedAsShown(Read(r, Field::IDVER));
    auto tax = RoundedAsShown(Read(r, Field::IGVER));
    if (!stamp || !tax) throw NotFinite{};
    r.write(Field::ITAZM, Num(gross - (*stamp + *tax)));

    for (Field f : {Field::BITZM, Field::ITAZM, Field::IDVER, Field::IGVER}) ShowAsAmount(r, f);
}

} // namespace

double OldServiceDays(const std::string& entry, const std::string& exit) {
    DateParts g = Parts(entry), c = Parts(exit);
    // Entry month: the calendar days from the entry day to the month's end, at most 30.
    int e = 0;
    for (int i = g.day; i <= 31; ++i)
        if (IsCalendarDate(i, g.month, g.year)) ++e;
    e = std::min(e, 30);
    // Exit month: the exit day itself, at most 30.
    int x = std::min(c.day >= 1 ? c.day : 0, 30);
    // Whole months strictly between the two, 30 days each.
    long first = static_cast<long>(g.year) * 12 + g.month + 1;
    long last = static_cast<long>(c.year) * 12 + c.month - 1;
    double m = last >= first ? 30.0 * static_cast<double>(last - first + 1) : 0.0;
    if (entry.size() >= 10 && exit.size() >= 10 && entry.compare(3, 7, exit, 3, 7) == 0)
        return m + std::min(c.day - g.day + 1, 30);
    return m + x + e;
}

namespace {

// Years, months and days of service, the notice pay, then the severance amounts; throws at the first
// figure it cannot read or result it cannot write.
void Kidem(Record& r) {
    if (r.mode() == Mode::Dates) {
        const double days = Read(r, Field::TGUNU);
        r.write(Field::TGUNU, Num(days + 5 * std::floor(days / 360)));
    }
    r.write(Field::KYILI, Num(std::floor(Read(r, Field::TGUNU) / 365)));
    r.write(Field::KAYI, Num(std::floor((Read(r, Field::TGUNU) - Read(r, Field::KYILI) * 365) / 30)));
    r.write(Field::KGUNU,
            Num(Read(r, Field::TGUNU) - (Read(r, Field::KYILI) * 365 + Read(r, Field::KAYI) * 30)));

    IhbarHesapla(r);

    const double y = r.yillikKidemTutari;
    const double years = Read(r, Field::KYILI) * y;
    const double months = Read(r, Field::KAYI) * (y / 12);
    const double days = Read(r, Field::KGUNU) * (y / 365);
    r.write(Field::BKTAZ, Num(years + months + days));
    r.write(Field::DVER, Num(StampDuty(r, Field::BKTAZ)));
    r.write(Field::NET, Amount(Read(r, Field::BKTAZ) - Read(r, Field::DVER)));
    ShowAsAmount(r, Field::DVER);
    ShowAsAmount(r, Field::BKTAZ);
}

// A wage field counts as 0 when empty, as if 0 were typed; a text that is there must be readable.
void ReadWage(const Record& r, Field f) {
    if (!r.text(f).empty()) Read(r, f);
}

// Everything of a calculation after the date check: the carried tax base, the yearly severance under
// the ceiling, the day count and the computation. Throws at the first figure it cannot read.
void Compute(Record& r) {
    ReadWage(r, Field::ESUCRET);
    ReadWage(r, Field::IUCRET);

    // The carried income-tax base keeps what the user typed, shown as an amount; the results of an
    // earlier calculation are always thrown away.
    {
        auto base = r.number(Field::DGVMAT);
        auto shown = base ? AmountText(*base) : std::nullopt;
        r.write(Field::DGVMAT, shown ? *shown : "0,00");
        BOSALT(r);
    }

    // Yearly severance on the wage limited to the ceiling.
    const double wage = Read(r, Field::TBRUT);
    const double ceiling = Read(r, Field::TAV);
    const double y = Read(r, Field::KGN) * ((wage > ceiling ? ceiling : wage) / 30);
    if (!std::isfinite(y)) throw NotFinite{};
    r.yillikKidemTutari = y;

    if (r.mode() == Mode::Dates) {
        const double s = OldServiceDays(r.text(Field::GTarih), r.text(Field::CTarih));
        r.write(Field::TGUNU, Num(Read(r, Field::DGUN) + s));
    } else {
        Read(r, Field::GGUN);
        r.write(Field::TGUNU, r.text(Field::GGUN));
    }
    r.write(Field::TIGUNU, r.text(Field::TGUNU));
    Kidem(r);
}

// The message for a figure the calculation cannot read.
std::string UnreadableMessage(const Record& r, Field f) {
    const std::string& text = r.text(f);
    std::string m(FieldCaption(f));
    m += text.empty() ? " girilmemiş." : " okunamadı: \"" + text + "\"";
    if (Info(f).tab == Tab::Sabitler) m += "\r\n\"Sabitler\" sekmesinde düzeltip yeniden hesaplayın.";
    return m;
}

std::string BracketMessage(const Record& r, UnreadableBracket row) {
    const auto k = static_cast<size_t>(row.row - 1);
    const std::string& text = row.rate ? r.ytlHesap.O[k] : r.ytlHesap.VD[k];
    std::string m =
        "GV Dilim. ve Oranları, " + std::to_string(row.row) + ". dilimin " + (row.rate ? "oranı" : "sınırı");
    m += text.empty() ? " girilmemiş." : " okunamadı: \"" + text + "\"";
    m += "\r\n\"Sabitler\" sekmesinde düzeltip yeniden hesaplayın.";
    return m;
}

// Runs the computation; returns the message for the clerk when it cannot be completed.
std::optional<std::string> TryCompute(Record& r) {
    try {
        Compute(r);
        return std::nullopt;
    } catch (const Unreadable& u) {
        return UnreadableMessage(r, u.field);
    } catch (const UnreadableBracketRow& b) {
        return BracketMessage(r, b.row);
    } catch (const NotFinite&) {
        return std::string("Hesap yapılamadı: tutarlar gösterilemeyecek kadar büyük.");
    }
}

// A copy of the sheet's texts, mode and calculator without the change rules or the view, for a trial
// run that must not touch the sheet.
Record TrialCopy(const Record& r) {
    Record trial;
    for (int i = 0; i < kFieldCount; ++i) trial.write(static_cast<Field>(i), r.text(static_cast<Field>(i)));
    trial.setMode(r.mode());
    trial.yillikKidemTutari = r.yillikKidemTutari;
    trial.ytlHesap = r.ytlHesap;
    trial.ytlHesaplama = r.ytlHesaplama;
    return trial;
}

std::string_view DateLabel(Field f) {
    return f == Field::GTarih ? "Giriş tarihi" : "Çıkış tarihi";
}

// Why a date text cannot be counted from; nothing when it is a date of this sheet.
std::optional<std::string> DateProblem(Field f, const std::string& t) {
    const std::string label(DateLabel(f));
    if (t.find_first_not_of("_. ") == std::string::npos) return label + " girilmemiş.";
    if (!IsValidDateText(t)) {
        const bool complete =
            t.size() == 10 && t[2] == '.' && t[5] == '.' &&
            std::all_of(t.begin(), t.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
        if (!complete) return label + " eksik: \"" + t + "\"";
    }
    const DateParts d = Parts(t);
    if (d.year < kFirstYear || d.year > kLastYear)
        return label + ": " + t + ", yıl " + std::to_string(kFirstYear) + " ile " +
               std::to_string(kLastYear) + " arasında olmalı.";
    if (!IsCalendarDate(d.day, d.month, d.year)) return label + ": " + t + " takvimde yok.";
    return std::nullopt;
}

} // namespace

std::optional<std::string> OldDatesProblem(const std::string& entry, const std::string& exit) {
    if (auto p = DateProblem(Field::GTarih, entry)) return p;
    if (auto p = DateProblem(Field::CTarih, exit)) return p;
    if (Before(Parts(exit), Parts(entry)))
        return "Çıkış tarihi (" + exit + ") giriş tarihinden (" + entry + ") önce.";
    return std::nullopt;
}

bool OldKidemHesapla(Record& r) {
    try {
        Kidem(r);
        return true;
    } catch (...) {
        return false;
    }
}

void Hesapla(Record& r, Messages& messages) {
    // Mode 1 needs two calendar dates of this sheet's years, the exit not before the entry.
    if (r.mode() == Mode::Dates) {
        if (auto why = OldDatesProblem(r.text(Field::GTarih), r.text(Field::CTarih))) {
            messages.show(std::string(kInvalidDatesMessage) + "\r\n" + *why, MessageIcon::None);
            return;
        }
    }

    // A trial run on a copy finds a figure that cannot be read before anything on the sheet changes, so
    // a calculation either completes or leaves the sheet as it was, with one message naming the figure.
    {
        Record trial = TrialCopy(r);
        if (auto problem = TryCompute(trial)) {
            messages.show(*problem, MessageIcon::Warning);
            return;
        }
    }
    if (auto problem = TryCompute(r)) { // the same figures cannot fail twice; kept as a safety net
        BOSALT(r);
        messages.show(*problem, MessageIcon::Warning);
        return;
    }

    const std::string notice = "\r\nİhbar Tazminatı  =" + r.text(Field::ITAZM);
    auto years = r.number(Field::KYILI);
    if (!years || *years < 1) {
        r.write(Field::BKTAZ, "");
        r.write(Field::DVER, "");
        r.write(Field::NET, "");
        messages.show("Kıdem Tazminatı = Hak Etmemiş!" + notice, MessageIcon::Information);
    } else {
        messages.show("Kıdem Tazminatı =" + r.text(Field::NET) + notice, MessageIcon::Information);
    }
    r.setCommand3Enabled(true);
}

} // namespace pamerol::legacy
