// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/compute.h"

#include <algorithm>
#include <cmath>

#include "base/conversions.h"
#include "calc/fields.h"

namespace pamerol {

namespace {

// Stops the calculation: a figure out of its range, a bracket row that cannot be read, a result that
// cannot be written.
struct Stop {
    Problem problem;
};

// The figure as the clerk knows it: its caption, or for a bracket row its place in the table.
std::string Caption(Field f) {
    for (size_t i = 0; i < kBracketRows.size(); ++i)
        if (f == kBracketRows[i].rate || f == kBracketRows[i].limit)
            return "GV Dilim. ve Oranları, " + std::to_string(i + 1) + ". dilimin " +
                   (f == kBracketRows[i].rate ? "oranı" : "sınırı");
    return std::string(FieldCaption(f));
}

const std::string kFixOnSabitler = "\r\n\"Sabitler\" sekmesinde düzeltip yeniden hesaplayın.";

[[noreturn]] void TooLarge() {
    throw Stop{{"", "", "Hesap yapılamadı: tutarlar gösterilemeyecek kadar büyük."}};
}

double Finite(double x) {
    if (!std::isfinite(x)) TooLarge();
    return x;
}

// The value as written to a field and read back: rounded to its 15 significant digits.
double W(double x) {
    return Significant15(Finite(x));
}

// The value as the amount pattern shows it, in kuruş.
Kurus Shown(double x) {
    auto k = KurusAsShown(x);
    if (!k) TooLarge();
    return *k;
}

double Rounded(double x) {
    return static_cast<double>(Shown(x)) / 100;
}

void CheckRange(Field f, double v) {
    if (auto why = OutOfRange(f, v)) throw Stop{RangeProblem(f, NumberText(v).value_or(""), *why)};
}

void CheckTaxTable(const LegalFigures& law, double base, double carried) {
    if (auto bad = FindUnreadableBracket(base, carried, law.brackets)) {
        const size_t k = static_cast<size_t>(bad->row - 1);
        const std::string& text = bad->rate ? law.rateTexts[k] : law.limitTexts[k];
        throw Stop{UnreadableFigure(bad->rate ? kBracketRows[k].rate : kBracketRows[k].limit, text)};
    }
}

// The income tax of an amount on top of a carried base, and the tax rounded to the kuruş.
IncomeTax Taxed(const LegalFigures& law, double base, double carried) {
    CheckTaxTable(law, base, carried);
    return GelirVergisi(base, carried, law.brackets);
}

double StampDuty(const LegalFigures& law, Kurus gross) {
    return W(static_cast<double>(gross) / 100 * (law.stampDutyPerMille / 10) / 100);
}

void Notice(const LegalFigures& law, Result& r, double wage) {
    r.iayi = r.kyili * 12 + r.kayi;
    r.kigunu = r.kgunu;
    r.band = NoticeBandOf(r.iayi, r.kigunu);
    const LegalFigures::Band& band = law.noticeDays[static_cast<size_t>(r.band)];
    const Field bandField = kNoticeBands[static_cast<size_t>(r.band)].field;
    if (!band.days) throw Stop{UnreadableFigure(bandField, band.text)};
    r.higunu = *band.days;
    r.dailyWage = wage / 30;
    r.bitzm = W(r.higunu * r.dailyWage);
    r.bitzmKurus = Shown(r.bitzm);
    if (!r.noticePaid()) {
        if (r.reason->notice == NoticeDue::OwedByEmployee) r.owedNoticeKurus = r.bitzmKurus;
        r.bitzmKurus = 0;
        return;
    }
    const double gross = static_cast<double>(r.bitzmKurus) / 100;

    r.idver = StampDuty(law, r.bitzmKurus);
    r.idverKurus = Shown(r.idver);
    // The notice pay is taxed on top of the year's carried base and the taxed part of the severance.
    r.noticeCarriedBase = r.carriedTaxBase + static_cast<double>(r.taxableKurus) / 100;
    r.tax = Taxed(law, gross, r.noticeCarriedBase);
    r.igver = W(r.tax.total);
    r.igverKurus = Shown(r.igver);
    r.itazmKurus = r.bitzmKurus - r.idverKurus - r.igverKurus;
}

// Unused annual leave is wage (4857 m. 59): the employee's SGK shares on it up to the month's premium
// ceiling left (5510 m. 80, 82; 4447 m. 49), income tax on what is left of it on top of the year's base
// with the severance's taxed part and the notice pay, stamp duty on the gross.
void Leave(const CaseInput& in, const LegalFigures& law, Result& r) {
    if (in.leaveDays <= 0 && in.leaveTyped <= 0) return;
    r.leave = true;
    r.leaveFromDays = in.leaveDays > 0;
    r.izBrutKurus = Shown(r.leaveFromDays ? W(in.leaveDays * (in.baseWage / 30)) : in.leaveTyped);
    const auto figure = [](Field f, const LegalFigures::Band& b) {
        if (!b.days) throw Stop{UnreadableFigure(f, b.text)};
        CheckRange(f, *b.days);
        return *b.days;
    };
    const double insurance = figure(Field::SGKIO, law.sgkShare);
    const double unemployment = figure(Field::ISIO, law.unemploymentShare);
    const Kurus ceiling = Shown(figure(Field::PEKUST, law.premiumCeiling));
    r.leaveSgkBaseKurus = std::clamp<Kurus>(ceiling - Shown(in.reportedThisMonth), 0, r.izBrutKurus);
    const double base = static_cast<double>(r.leaveSgkBaseKurus) / 100;
    r.leaveInsuranceKurus = Shown(W(base * insurance / 100));
    r.leaveUnemploymentKurus = Shown(W(base * unemployment / 100));
    r.izSgkKurus = r.leaveInsuranceKurus + r.leaveUnemploymentKurus;
    r.leaveCarriedBase = r.carriedTaxBase + static_cast<double>(r.taxableKurus + r.bitzmKurus) / 100;
    r.leaveTax = Taxed(law, static_cast<double>(r.izBrutKurus - r.izSgkKurus) / 100, r.leaveCarriedBase);
    r.izGverKurus = Shown(W(r.leaveTax.total));
    r.izDverKurus = Shown(StampDuty(law, r.izBrutKurus));
    r.izNetKurus = r.izBrutKurus - r.izSgkKurus - r.izGverKurus - r.izDverKurus;
}

// The severance on a yearly amount: the years, months and days shares of the service.
double Shares(const Result& r, double yearly) {
    return r.kyili * yearly + r.kayi * (yearly / 12) + r.kgunu * (yearly / r.daysDivisor);
}

void Severance(const CaseInput& in, const LegalFigures& law, Result& r) {
    r.yearsShare = r.kyili * r.yearly;
    r.monthsShare = r.kayi * (r.yearly / 12);
    r.daysShare = r.kgunu * (r.yearly / r.daysDivisor);
    r.bktaz = W(r.yearsShare + r.monthsShare + r.daysShare);
    // A ceiling the table lacks: the last one known holds only for a wage at or under it, since a
    // ceiling has never gone down; above it nothing can be said.
    if (law.ceilingMissing) {
        if (r.ceilingApplied) {
            r.severanceUnknown = true;
            r.bktaz = 0;
            r.yearsShare = r.monthsShare = r.daysShare = 0;
            return;
        }
        r.underLastCeiling = true;
    }
    if (r.bktaz > kMaxAmount) return;
    // A reason that makes no severance due: nothing of it is paid, and nothing of it is taxed.
    if (!r.reason->severanceDue) return;
    r.bktazKurus = Shown(r.bktaz);

    // Only the statutory severance is exempt from income tax (GVK m. 25/7): 30 days' wage a year, the
    // wage capped at the ceiling in force on the exit date. A contract's days, or a ceiling above the
    // law's, pay wage income taxed by the tariff on top of the year's carried base.
    r.exemptCeiling = law.inForce && law.inForce->value ? *law.inForce->value : law.ceiling;
    r.exemptYearly = Finite(kStatutorySeveranceDays * (std::min(in.wage, r.exemptCeiling) / 30));
    r.exemptKurus = Shown(W(Shares(r, r.exemptYearly)));
    r.taxableKurus = r.entitled ? std::max<Kurus>(0, r.bktazKurus - r.exemptKurus) : 0;
    if (r.taxableKurus > 0) {
        r.severanceTax = Taxed(law, static_cast<double>(r.taxableKurus) / 100, r.carriedTaxBase);
        r.kgverKurus = Shown(W(r.severanceTax.total));
    }
    r.dver = StampDuty(law, r.bktazKurus);
    r.dverKurus = Shown(r.dver);
    r.netKurus = r.bktazKurus - r.dverKurus - r.kgverKurus;
}

Result Run(const CaseInput& in, const LegalFigures& law) {
    for (auto [f, v] : {std::pair{Field::TBRUT, in.wage},
                        {Field::DGVMAT, in.carriedTaxBase},
                        {Field::IZGUN, in.leaveDays},
                        {Field::YIUCRET, in.leaveTyped},
                        {Field::AYSGKMAT, in.reportedThisMonth},
                        {Field::DVOR, law.stampDutyPerMille},
                        {Field::KGN, law.severanceDays},
                        {Field::TAV, law.ceiling}})
        CheckRange(f, v);
    CheckRange(in.mode == Mode::Dates ? Field::DGUN : Field::GGUN,
               in.mode == Mode::Dates ? in.carriedDays : in.premiumDays);
    for (size_t i = 0; i < law.noticeDays.size(); ++i)
        if (law.noticeDays[i].days) CheckRange(kNoticeBands[i].field, *law.noticeDays[i].days);
    for (size_t i = 0; i < law.brackets.size(); ++i) {
        if (law.brackets[i].rate) CheckRange(kBracketRows[i].rate, *law.brackets[i].rate);
        if (law.brackets[i].limit) CheckRange(kBracketRows[i].limit, *law.brackets[i].limit);
    }

    Result r;
    r.reason = in.reason;
    r.carriedTaxBase = Rounded(in.carriedTaxBase);

    // Yearly severance on the wage limited to the ceiling.
    r.ceilingApplied = in.wage > law.ceiling;
    r.monthlyWageUsed = r.ceilingApplied ? law.ceiling : in.wage;
    r.yearly = Finite(law.severanceDays * (r.monthlyWageUsed / 30));

    ServiceLength service;
    if (in.mode == Mode::Dates) {
        if (in.exit < in.entry)
            throw Stop{{"Çıkış Tarihi", DateText(in.exit), "Çıkış tarihi giriş tarihinden önce."}};
        r.byDates = CountService(in.entry, in.exit);
        r.calendarDays = DaysBetween(in.entry, in.exit) + 1;
        r.carried = CountPremiumDays(in.carriedDays);
        service = r.byDates;
        if (in.carriedDays > 0) {
            // Days carried from earlier service join the anniversaries' count: 30 days make a month, 12
            // months a year.
            service.years += r.carried.years;
            service.months += r.carried.months;
            service.days += r.carried.days;
            if (service.days >= 30) {
                service.days -= 30;
                ++service.months;
            }
            if (service.months >= 12) {
                service.months -= 12;
                ++service.years;
            }
        }
        r.tgunu = W(r.calendarDays + in.carriedDays);
        r.daysDivisor = 365;
    } else {
        service = CountPremiumDays(in.premiumDays);
        r.tgunu = in.premiumDays;
        r.daysDivisor = 360;
    }
    r.tigunu = r.tgunu;
    r.kyili = service.years;
    r.kayi = service.months;
    r.kgunu = W(service.days);
    r.entitled = r.kyili >= 1;

    Severance(in, law, r);
    Notice(law, r, in.wage);
    Leave(in, law, r);

    // A payment no paper can show is no result: the figures that led to it are out of proportion.
    if (r.bktaz > kMaxAmount || r.bitzm > kMaxAmount)
        throw Stop{{"", "",
                    "Hesap yapılamadı: sonuç 999.999.999,99'dan büyük; ücreti, günleri ve yasal "
                    "değerleri kontrol edin."}};
    return r;
}

} // namespace

Problem UnreadableFigure(Field f, const std::string& text) {
    std::string m = Caption(f);
    m += text.empty() ? " girilmemiş." : " okunamadı: \"" + text + "\"";
    if (Info(f).tab == Tab::Sabitler) m += kFixOnSabitler;
    return {Caption(f), text, m};
}

Problem RangeProblem(Field f, const std::string& text, const std::string& why) {
    std::string m = Caption(f) + " " + why + ": \"" + text + "\"";
    if (Info(f).tab == Tab::Sabitler) m += kFixOnSabitler;
    return {Caption(f), text, m};
}

std::optional<std::string> OutOfRange(Field f, double v) {
    if (!std::isfinite(v)) return "okunamadı";
    if (v < 0) return "eksi olamaz";
    const Kind kind = Info(f).kind;
    if ((f == Field::TAV || f == Field::KGN || f == Field::DVOR) && v == 0) return "sıfır olamaz";
    if (kind == Kind::Amount && v > kMaxAmount) return "en çok 999.999.999,99 olabilir";
    if (kind == Kind::DayCount && v > kMaxDays) return "en çok 99.999 olabilir";
    // Rates in percent (the brackets) and per mille (the stamp duty) far above any the law has had, and
    // more severance days than a year has, are typing mistakes.
    if (f == Field::KGN && v > 365) return "en çok 365 olabilir";
    if (kind == Kind::Rate && f != Field::KGN && v > 50) return "en çok 50 olabilir";
    return std::nullopt;
}

namespace {

// The date so many months after d; a day past the end of that month falls on its last day.
Date MonthsAfter(Date d, int months) {
    const int index = d.year * 12 + (d.month - 1) + months;
    Date out{d.day, index % 12 + 1, index / 12};
    out.day = std::min(d.day, DaysInMonth(out.month, out.year));
    return out;
}

} // namespace

ServiceLength CountService(Date entry, Date exit) {
    const Date next = DayAfter(exit);
    int k = (next.year - entry.year) * 12 + (next.month - entry.month);
    while (k > 0 && next < MonthsAfter(entry, k)) --k;
    k = std::max(k, 0);
    return {k / 12, k % 12, static_cast<double>(DaysBetween(MonthsAfter(entry, k), next))};
}

ServiceLength CountPremiumDays(double days) {
    const double years = std::floor(days / 360);
    const double months = std::floor((days - years * 360) / 30);
    return {static_cast<int>(years), static_cast<int>(months), W(days - years * 360 - months * 30)};
}

int NoticeBandOf(double months, double days) {
    for (size_t i = 0; i < kNoticeBands.size(); ++i)
        if (months < kNoticeBands[i].upToMonths ||
            (kNoticeBands[i].upToIncluded && months == kNoticeBands[i].upToMonths && days == 0))
            return static_cast<int>(i);
    return static_cast<int>(kNoticeBands.size()) - 1;
}

std::optional<std::string> CeilingNote(const CaseInput& in, const LegalFigures& law, const Result& r) {
    if (!law.ceilingMissing || !law.inForce || !r.entitled) return std::nullopt;
    const std::string missing = law.inForce->missingPeriod, last = law.inForce->lastPeriod;
    const std::string wage = AmountText(in.wage).value_or(""), ceiling = AmountText(law.ceiling).value_or("");
    if (r.severanceUnknown)
        return "Kıdem tazminatı hesaplanmadı: " + missing + " dönemi için " + Caption(Field::TAV) +
               " tabloda yok ve ücret (" + wage + ") tablodaki son tavanın (" + ceiling + ", " + last +
               ") üstünde. Tavanı verin: pencerede \"Sabitler\" sekmesine yazarak, hesap aracında --ayar "
               "ile ya da tabloda \"" +
               Caption(Field::TAV) + "\" sütunuyla. İhbar tazminatı hesaplandı.";
    return missing + " dönemi için " + Caption(Field::TAV) + " tabloda yok; ücret (" + wage +
           ") tablodaki son tavanın (" + ceiling + ", " + last +
           ") altında olduğundan kıdem tazminatı tavansız hesaplandı (tavan hiç düşmediği için sonuç "
           "kesindir).";
}

namespace {

std::string Reason(const TerminationReason& reason) {
    return std::string(reason.caption) + " (" + std::string(reason.article) + ")";
}

} // namespace

std::optional<std::string> SeveranceDueNote(const Result& r) {
    if (r.reason->severanceDue) return std::nullopt;
    return "Hak edilmedi — " + Reason(*r.reason);
}

std::optional<std::string> NoticeDueNote(const Result& r) {
    switch (r.reason->notice) {
    case NoticeDue::Due: return std::nullopt;
    case NoticeDue::NotDue: return "Hak edilmedi — " + Reason(*r.reason);
    case NoticeDue::OwedByEmployee:
        return "İşçinin Ödeyeceği İhbar Tazminatı: " + KurusText(r.owedNoticeKurus) + " — " +
               Reason(*r.reason) + "; işçiye ödenmez, ibranameye girmez.";
    }
    return std::nullopt;
}

Expected<Result> Compute(const CaseInput& in, const LegalFigures& law) {
    try {
        return Run(in, law);
    } catch (const Stop& s) {
        return s.problem;
    }
}

} // namespace pamerol
