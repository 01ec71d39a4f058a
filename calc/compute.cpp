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

// The notice band a service of so many months (with fraction) reaches.
int BandOf(double months) {
    for (size_t i = 0; i < kNoticeBands.size(); ++i)
        if (months < kNoticeBands[i].upToMonths ||
            (kNoticeBands[i].upToIncluded && months == kNoticeBands[i].upToMonths))
            return static_cast<int>(i);
    return static_cast<int>(kNoticeBands.size()) - 1;
}

void Notice(const LegalFigures& law, Result& r, double wage) {
    // The service before the extra days of the severance count decides the notice.
    const double months = r.tigunu / 30;
    r.iayi = W(std::floor(W(months)));
    r.kigunu = W(r.tigunu - std::floor(months) * 30);
    r.band = BandOf(months);
    const LegalFigures::Band& band = law.noticeDays[static_cast<size_t>(r.band)];
    const Field bandField = kNoticeBands[static_cast<size_t>(r.band)].field;
    if (!band.days) throw Stop{UnreadableFigure(bandField, band.text)};
    r.higunu = *band.days;
    r.dailyWage = wage / 30;
    r.bitzm = W(r.higunu * r.dailyWage);
    r.idver = W(r.bitzm * (law.stampDutyPerMille / 10) / 100);

    // Income tax of the notice pay on top of the year's carried base.
    if (auto bad = FindUnreadableBracket(r.bitzm, r.carriedTaxBase, law.brackets)) {
        const size_t k = static_cast<size_t>(bad->row - 1);
        const std::string& text = bad->rate ? law.rateTexts[k] : law.limitTexts[k];
        throw Stop{UnreadableFigure(bad->rate ? kBracketRows[k].rate : kBracketRows[k].limit, text)};
    }
    r.tax = GelirVergisi(r.bitzm, r.carriedTaxBase, law.brackets);
    r.igver = W(r.tax.total);

    // The taxes are deducted as shown (two decimals), the gross amount unrounded.
    r.itazm = W(r.bitzm - (Rounded(r.idver) + Rounded(r.igver)));
    r.bitzmKurus = Shown(r.bitzm);
    r.idverKurus = Shown(r.idver);
    r.igverKurus = Shown(r.igver);
    r.itazmKurus = Shown(r.itazm);
}

Result Run(const CaseInput& in, const LegalFigures& law) {
    for (auto [f, v] : {std::pair{Field::TBRUT, in.wage},
                        {Field::DGVMAT, in.carriedTaxBase},
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
    r.carriedTaxBase = Rounded(in.carriedTaxBase);

    // Yearly severance on the wage limited to the ceiling.
    r.ceilingApplied = in.wage > law.ceiling;
    r.monthlyWageUsed = r.ceilingApplied ? law.ceiling : in.wage;
    r.yearly = Finite(law.severanceDays * (r.monthlyWageUsed / 30));

    if (in.mode == Mode::Dates) {
        if (in.exit < in.entry)
            throw Stop{{"Çıkış Tarihi", DateText(in.exit), "Çıkış tarihi giriş tarihinden önce."}};
        const ServiceLength length = CountService(in.entry, in.exit);
        r.serviceYears = length.years;
        r.serviceMonths = length.months;
        r.serviceDays = length.days;
        r.countedDays = length.counted();
        r.tigunu = W(in.carriedDays + r.countedDays);
        r.extraDays = 5 * std::floor(r.tigunu / 360);
        r.tgunu = W(r.tigunu + r.extraDays);
    } else {
        r.tigunu = r.tgunu = in.premiumDays;
    }
    r.kyili = W(std::floor(r.tgunu / 365));
    r.kayi = W(std::floor((r.tgunu - r.kyili * 365) / 30));
    r.kgunu = W(r.tgunu - (r.kyili * 365 + r.kayi * 30));
    r.entitled = r.kyili >= 1;

    Notice(law, r, in.wage);

    r.yearsShare = r.kyili * r.yearly;
    r.monthsShare = r.kayi * (r.yearly / 12);
    r.daysShare = r.kgunu * (r.yearly / 365);
    r.bktaz = W(r.yearsShare + r.monthsShare + r.daysShare);
    r.dver = W(r.bktaz * (law.stampDutyPerMille / 10) / 100);
    r.net = Finite(r.bktaz - r.dver);
    // A payment no paper can show is no result: the figures that led to it are out of proportion.
    if (r.bktaz > kMaxAmount || r.bitzm > kMaxAmount)
        throw Stop{{"", "",
                    "Hesap yapılamadı: sonuç 999.999.999,99'dan büyük; ücreti, günleri ve yasal "
                    "değerleri kontrol edin."}};
    r.bktazKurus = Shown(r.bktaz);
    r.dverKurus = Shown(r.dver);
    r.netKurus = Shown(r.net);
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

ServiceLength CountService(Date entry, Date exit) {
    const Date next = DayAfter(exit);
    ServiceLength s{next.year - entry.year, next.month - entry.month, next.day - entry.day};
    if (s.days < 0) {
        s.days += 30;
        --s.months;
    }
    if (s.months < 0) {
        s.months += 12;
        --s.years;
    }
    // Thirty days left over in a 31-day month are a day short of a month.
    s.days = std::min(s.days, 29);
    return s;
}

Expected<Result> Compute(const CaseInput& in, const LegalFigures& law) {
    try {
        return Run(in, law);
    } catch (const Stop& s) {
        return s.problem;
    }
}

} // namespace pamerol
