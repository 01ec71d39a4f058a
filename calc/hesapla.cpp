// SPDX-License-Identifier: GPL-3.0-or-later
#include "hesapla.h"

#include <algorithm>
#include <stdexcept>

#include "base/conversions.h"
#include "calc/fields.h"

namespace pamerol {

namespace {

std::string Num(double x) {
    return NumberText(x).value_or("");
}

std::string Amount(double x) {
    return AmountText(x).value_or("");
}

std::string_view DateLabel(Field f) {
    return f == Field::GTarih ? "Giriş tarihi" : "Çıkış tarihi";
}

// Why a date text cannot be counted from; nothing when it is a date of this sheet.
std::optional<std::string> DateProblem(Field f, const std::string& t) {
    const std::string label(DateLabel(f));
    if (t.find_first_not_of("_. ") == std::string::npos) return label + " girilmemiş.";
    // Digits where the mask has them and the two dots between: anything else is a date not typed out.
    const std::optional<Date> typed = MaskedDate(t);
    if (!typed) return label + " eksik: \"" + t + "\"";
    if (typed->year < kFirstYear || typed->year > kLastYear)
        return label + ": " + t + ", yıl " + std::to_string(kFirstYear) + " ile " +
               std::to_string(kLastYear) + " arasında olmalı.";
    if (!IsCalendarDate(typed->day, typed->month, typed->year)) return label + ": " + t + " takvimde yok.";
    return std::nullopt;
}

// Reads a figure the calculation needs; empty counts as 0 where allowed.
struct Reader {
    const Record& r;
    std::optional<Problem> problem;

    double operator()(Field f, bool emptyIsZero = false) {
        if (problem) return 0;
        const std::string& text = r.text(f);
        if (emptyIsZero && text.empty()) return 0;
        auto v = r.number(f);
        if (!v) {
            problem = UnreadableFigure(f, text);
            return 0;
        }
        if (auto why = OutOfRange(f, *v)) {
            problem = RangeProblem(f, text, *why);
            return 0;
        }
        return *v;
    }
};

} // namespace

std::optional<std::string> DatesProblem(const std::string& entry, const std::string& exit) {
    if (auto p = DateProblem(Field::GTarih, entry)) return p;
    if (auto p = DateProblem(Field::CTarih, exit)) return p;
    if (*ParseDate(exit) < *ParseDate(entry))
        return "Çıkış tarihi (" + exit + ") giriş tarihinden (" + entry + ") önce.";
    return std::nullopt;
}

Expected<SheetCase> ReadSheet(const Record& r) {
    using F = Field;
    SheetCase c;
    Reader read{r, std::nullopt};
    c.input.baseWage = read(F::ESUCRET, true);
    read(F::IUCRET, true);
    c.input.leaveDays = read(F::IZGUN, true);
    c.input.leaveTyped = read(F::YIUCRET, true);
    c.input.reportedThisMonth = read(F::AYSGKMAT, true);
    c.input.carriedTaxBase = read(F::DGVMAT, true);
    c.input.wage = read(F::TBRUT);
    // No ceiling given and none in the table for the date: the last one the table holds, which serves a
    // wage at or under it.
    c.law.inForce = r.tavanTablosu;
    c.law.ceilingMissing =
        r.text(F::TAV).empty() && r.tavanTablosu && !r.tavanTablosu->value && r.tavanTablosu->lastKnown;
    c.law.ceiling = c.law.ceilingMissing ? *r.tavanTablosu->lastKnown : read(F::TAV);
    c.law.severanceDays = read(F::KGN);
    c.input.mode = r.mode();
    if (r.mode() == Mode::Dates) {
        c.input.carriedDays = read(F::DGUN);
        if (auto d = ParseDate(r.text(F::GTarih))) c.input.entry = *d;
        if (auto d = ParseDate(r.text(F::CTarih))) c.input.exit = *d;
    } else {
        c.input.premiumDays = read(F::GGUN);
    }
    c.law.stampDutyPerMille = read(F::DVOR);
    if (read.problem) return *read.problem;
    for (size_t i = 0; i < kNoticeBands.size(); ++i)
        c.law.noticeDays[i] = {r.number(kNoticeBands[i].field), r.text(kNoticeBands[i].field)};
    for (auto [band, f] : {std::pair{&c.law.sgkShare, F::SGKIO},
                           {&c.law.unemploymentShare, F::ISIO},
                           {&c.law.premiumCeiling, F::PEKUST}})
        *band = {r.number(f), r.text(f)};
    for (size_t i = 0; i < kBracketRows.size(); ++i) {
        const std::string& limit = r.text(kBracketRows[i].limit);
        c.law.brackets[i] = {r.number(kBracketRows[i].rate), r.number(kBracketRows[i].limit), !limit.empty()};
        c.law.rateTexts[i] = r.text(kBracketRows[i].rate);
        c.law.limitTexts[i] = limit;
    }
    c.input.reason = TerminationReasonOf(r.text(F::FESIH));
    if (!c.input.reason)
        return Problem{std::string(FieldCaption(F::FESIH)), r.text(F::FESIH),
                       std::string(FieldCaption(F::FESIH)) + " okunamadı: \"" + r.text(F::FESIH) + "\""};
    c.input.includeSeverance = r.check1() == 1;
    c.input.includeNotice = r.check2() == 1;
    return c;
}

std::string ResultText(Field f, const Result& x, std::string_view bandText) {
    const ResultInfo& info = Info(f).result;
    switch (info.format) {
    case ResultFormat::DayCount: return Num(x.*info.number);
    case ResultFormat::Amount:
        if ((info.severanceOnly && !x.severancePaid()) || (info.noticeOnly && !x.noticePaid())) return {};
        return KurusText(x.*info.kurus);
    case ResultFormat::NoticeBandDays: return std::string(bandText);
    case ResultFormat::None: break;
    }
    return {};
}

bool UsesFigure(const Record& r, Field f) {
    if (f != Field::SGKIO && f != Field::ISIO && f != Field::PEKUST) return true;
    return r.number(Field::IZGUN).value_or(0) > 0 || r.number(Field::YIUCRET).value_or(0) > 0;
}

size_t FigureOrigins::place(Field f) {
    const auto at = std::find(kFigureFields.begin(), kFigureFields.end(), f);
    if (at == kFigureFields.end()) throw std::invalid_argument("not a legal figure");
    return static_cast<size_t>(at - kFigureFields.begin());
}

void WriteResult(Record& r, const SheetCase& dava, const Result& x, const FigureOrigins& origins) {
    r.yillikKidemTutari = x.yearly;
    // The band's days as the clerk typed them.
    const std::string band = r.text(kNoticeBands[static_cast<size_t>(x.band)].field);
    for (Field f : kResultFields) r.write(f, ResultText(f, x, band));

    // The calculator's record of this calculation: the table used, the bases and the slices.
    for (size_t i = 0; i < kBracketRows.size(); ++i) {
        r.ytlHesap.O[i] = r.text(kBracketRows[i].rate);
        r.ytlHesap.VD[i] = r.text(kBracketRows[i].limit);
    }
    r.ytlHesap.GM = Num(x.bitzm);
    r.ytlHesap.GM2 = Num(x.carriedTaxBase);
    for (size_t k = 0; k < r.ytlHesap.HM.size(); ++k)
        r.ytlHesap.HM[k] = static_cast<int>(k) + 1 < x.tax.startBracket ? "0" : Num(x.tax.slice[k]);
    r.ytlHesaplama.GVK = Num(x.tax.total);
    r.setHesap(std::make_shared<const Hesap>(Hesap{dava, x, origins}));
    r.setCommand3Enabled(true);
}

namespace {

// The invalid-dates message of mode 1 (two calendar dates of this sheet's years, the exit not before the
// entry); nothing when the dates can be counted from.
std::optional<std::string> DatesStop(const Record& r) {
    if (r.mode() != Mode::Dates) return std::nullopt;
    auto why = DatesProblem(r.text(Field::GTarih), r.text(Field::CTarih));
    if (!why) return std::nullopt;
    return std::string(kInvalidDatesMessage) + "\r\n" + *why;
}

// The sheet's case read and calculated, its dates already checked.
Expected<Hesap> Calculated(const Record& r, const FigureOrigins& origins, bool stored = false) {
    Expected<SheetCase> c = ReadSheet(r);
    if (!c) return c.error();
    // A case stored before the leave pay was worked out has a typed leave pay, no leave result and none of
    // the figures it would need: it is made again as it was calculated then, without the leave pay.
    if (stored && r.text(Field::IZNET).empty()) c->input.leaveDays = c->input.leaveTyped = 0;
    Expected<Result> x = Compute(c->input, c->law);
    if (!x) return x.error();
    return Hesap{std::move(*c), std::move(*x), origins};
}

} // namespace

Expected<void> HesabiGeriKoy(Record& r) {
    if (auto stop = DatesStop(r)) return Failure(*stop);
    FigureOrigins stored;
    for (FigureOrigin& o : stored.of) o.kind = FigureOrigin::StoredCase;
    // A stored case is its own figures: nothing of the table a case calculated before it looked up.
    r.tavanTablosu.reset();
    Expected<Hesap> h = Calculated(r, stored, true);
    if (!h) return h.error();
    r.setHesap(std::make_shared<const Hesap>(std::move(*h)));
    return {};
}

void Hesapla(Record& r, Messages& messages) {
    Hesapla(r, messages, FigureOrigins{});
}

void Hesapla(Record& r, Messages& messages, const FigureOrigins& origins) {
    if (auto stop = DatesStop(r)) {
        messages.show(*stop, MessageIcon::None);
        return;
    }
    const Expected<Hesap> h = Calculated(r, origins);
    if (!h) {
        messages.show(h.error().message, MessageIcon::Warning);
        return;
    }
    const SheetCase& c = h->dava;
    const Result& result = h->sonuc;

    // The carried income-tax base keeps what the user typed, shown as an amount; the results of an
    // earlier calculation are thrown away before the new ones are written.
    r.write(Field::DGVMAT, Amount(c.input.carriedTaxBase));
    BOSALT(r);
    WriteResult(r, c, result, origins);

    // A payment the termination reason makes not due says why in place of its amount.
    const auto noticeNote = NoticeDueNote(result);
    const std::string notice =
        "\r\nİhbar Tazminatı  =" + (noticeNote ? " " + *noticeNote : r.text(Field::ITAZM));
    if (!result.entitled)
        messages.show("Kıdem Tazminatı = Hak Etmemiş!" + notice, MessageIcon::Information);
    else if (result.severanceUnknown)
        messages.show("Kıdem Tazminatı = " + CeilingNote(c.input, c.law, result).value_or("hesaplanmadı.") +
                          notice,
                      MessageIcon::Information);
    else if (auto note = SeveranceDueNote(result))
        messages.show("Kıdem Tazminatı = " + *note + notice, MessageIcon::Information);
    else
        messages.show("Kıdem Tazminatı =" + r.text(Field::NET) + notice, MessageIcon::Information);
}

} // namespace pamerol
