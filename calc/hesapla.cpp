#include "hesapla.h"

#include <algorithm>
#include <cmath>

#include "conversions.h"

namespace pamerol {

namespace {

// A step that cannot read or write its value ends the computation it belongs to.
struct Abort {};

double Read(const Record& r, Field f) {
    auto v = r.number(f);
    if (!v) throw Abort{};
    return *v;
}

std::string Num(double x) {
    auto t = NumberText(x);
    if (!t) throw Abort{};
    return *t;
}

std::string Amount(double x) {
    auto t = AmountText(x);
    if (!t) throw Abort{};
    return *t;
}

// Rewrites a field's text in the amount pattern.
void ShowAsAmount(Record& r, Field f) {
    r.write(f, Amount(Read(r, f)));
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
    // Exactly 6, 18 or 36 months stays in the lower band.
    Field band = months <= 6    ? Field::DL1
                 : months <= 18 ? Field::DL2
                 : months <= 36 ? Field::DL3
                                : Field::DL4;
    r.write(Field::HIGUNU, r.text(band));
    r.write(Field::IAYI, Num(std::floor(Read(r, Field::IAYI))));
    r.write(Field::BITZM, Num(Read(r, Field::HIGUNU) * (Read(r, Field::TBRUT) / 30)));
    r.write(Field::IDVER, Num(Read(r, Field::BITZM) * (Read(r, Field::DVOR) / 10) / 100));

    // Income tax of the notice pay on top of the year's carried base.
    r.ytlHesaplama.GVK = "0";
    r.ytlHesap.GM = r.text(Field::BITZM);
    r.ytlHesap.GM2 = Num(Read(r, Field::DGVMAT));
    r.ytlHesap.GelVerHesapla(r.ytlHesaplama);
    auto gvk = ParseNumber(r.ytlHesaplama.GVK);
    if (!gvk) throw Abort{};
    r.write(Field::IGVER, Num(*gvk));

    // The taxes are deducted as shown (two decimals), the gross amount unrounded.
    const double gross = Read(r, Field::BITZM);
    auto stamp = RoundedAsShown(Read(r, Field::IDVER));
    auto tax = RoundedAsShown(Read(r, Field::IGVER));
    if (!stamp || !tax) throw Abort{};
    r.write(Field::ITAZM, Num(gross - (*stamp + *tax)));

    for (Field f : {Field::BITZM, Field::ITAZM, Field::IDVER, Field::IGVER}) ShowAsAmount(r, f);
}

} // namespace

double ServiceDays(const std::string& entry, const std::string& exit) {
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

bool KıdemHesapla(Record& r) {
    try {
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
        r.write(Field::DVER, Num(Read(r, Field::BKTAZ) * (Read(r, Field::DVOR) / 10) / 100));
        r.write(Field::NET, Amount(Read(r, Field::BKTAZ) - Read(r, Field::DVER)));
        ShowAsAmount(r, Field::DVER);
        ShowAsAmount(r, Field::BKTAZ);
        return true;
    } catch (const Abort&) {
        return false;
    }
}

void Hesapla(Record& r, Messages& messages) {
    // Mode 1 needs two calendar dates, the exit not before the entry.
    if (r.mode() == Mode::Dates) {
        const std::string& g = r.text(Field::GTarih);
        const std::string& c = r.text(Field::CTarih);
        if (!IsValidDateText(g) || !IsValidDateText(c) || Before(Parts(c), Parts(g))) {
            messages.show(std::string(kInvalidDatesMessage), MessageIcon::None);
            return;
        }
    }

    // The carried income-tax base keeps what the user typed, shown as an amount; the results of an
    // earlier calculation are always thrown away.
    {
        auto base = r.number(Field::DGVMAT);
        auto shown = base ? AmountText(*base) : std::nullopt;
        r.write(Field::DGVMAT, shown ? *shown : "0,00");
        BOSALT(r);
    }

    // Yearly severance on the wage limited to the ceiling.
    const double wage = r.number(Field::TBRUT).value_or(0.0);
    const double ceiling = r.number(Field::TAV).value_or(0.0);
    if (auto kgn = r.number(Field::KGN)) {
        const double y = *kgn * ((wage > ceiling ? ceiling : wage) / 30);
        if (std::isfinite(y)) r.yillikKidemTutari = y;
    }

    if (r.mode() == Mode::Dates) {
        const double s = ServiceDays(r.text(Field::GTarih), r.text(Field::CTarih));
        if (auto carried = r.number(Field::DGUN))
            if (auto t = NumberText(*carried + s)) r.write(Field::TGUNU, *t);
    } else {
        r.write(Field::TGUNU, r.text(Field::GGUN));
    }
    r.write(Field::TIGUNU, r.text(Field::TGUNU));
    KıdemHesapla(r);

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

} // namespace pamerol
