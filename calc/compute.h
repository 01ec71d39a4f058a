// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation itself, as one pure function: a case and the legal figures in, every figure the sheet
// shows and every intermediate one out, or the Problem that stops it. No sheet, no texts, no globals:
// the calculate command, the companion, the batch and a printed statement all call this and never
// compute again.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/date.h"
#include "base/problem.h"
#include "calc/fesih.h"
#include "calc/record.h"
#include "tax/gelir_vergisi.h"

namespace pamerol {

// The inputs of one case, read.
struct CaseInput {
    Mode mode = Mode::Dates;
    Date entry;                   // mode 1
    Date exit;                    // mode 1
    double carriedDays = 0;       // DGUN, days of service before the entry date (mode 1)
    double premiumDays = 0;       // GGUN, the premium days of mode 2
    double wage = 0;              // TBRUT, last gross wage plus extra pay (monthly)
    double carriedTaxBase = 0;    // DGVMAT, this year's income-tax base before the notice pay
    bool includeSeverance = true; // Check1: the release letter lists the severance
    bool includeNotice = true;    // Check2: the release letter lists the notice pay
    const TerminationReason* reason = &NoReasonChosen(); // FESIH: why the employment ended
    // Unused annual leave (4857 m. 59): days at the last monthly gross wage without the extra pay, or, for
    // a case without days, an amount typed as the gross.
    double leaveDays = 0;         // IZGUN
    double leaveTyped = 0;        // YIUCRET
    double baseWage = 0;          // ESUCRET
    double reportedThisMonth = 0; // AYSGKMAT: the premium base already reported for the exit month
};

// The legal figures a case is calculated with. A notice band or a bracket row is needed only when the
// case reaches it, so those keep "cannot be read" (nothing) and their text, for the message.
struct LegalFigures {
    double stampDutyPerMille = 0; // DVOR
    double severanceDays = 0;     // KGN, days' wages per full year of service
    double ceiling = 0;           // TAV, the monthly wage severance is capped at
    // The table's word on the ceiling of the case's date: the exempt part of the severance is capped at
    // the ceiling in force (GVK m. 25/7); and when no ceiling was given and the table lacks the period,
    // `ceiling` is the last one the table holds (`ceilingMissing`).
    std::optional<CeilingInForce> inForce;
    bool ceilingMissing = false;
    struct Band {
        std::optional<double> days;
        std::string text;
    };
    std::array<Band, 4> noticeDays; // DL1..DL4, in the order of kNoticeBands
    TaxTable brackets;              // O1..O5 with VD1..VD5
    std::array<std::string, 5> rateTexts, limitTexts;
    // The employee's SGK shares in percent and the monthly premium ceiling: needed only for a leave pay.
    Band sgkShare, unemploymentShare, premiumCeiling; // SGKIO, ISIO, PEKUST
};

// The severance days per full year the law sets (1475 sayılı Kanun m. 14); only these are exempt from
// income tax (GVK m. 25/7), a contract's days above them are wages.
inline constexpr double kStatutorySeveranceDays = 30;

// Money as the papers show it: whole kuruş.
using Kurus = std::int64_t;

// A length of service in years, months and days.
struct ServiceLength {
    int years = 0, months = 0;
    double days = 0;
    double totalMonths() const { return 12.0 * years + months; }
};

// Every figure of a calculation. Day counts and amounts are the values the sheet shows before they are
// put in the amount pattern; the *Kurus members are the shown amounts themselves. Every deduction is
// worked out from the shown gross, and every net is the shown gross less the shown deductions.
struct Result {
    // Service.
    ServiceLength byDates; // mode 1: from the entry date to the day after the exit, by monthly anniversaries
    int calendarDays = 0;  // mode 1: exit − entry + 1
    ServiceLength carried; // mode 1: the carried days (DGUN), 360 a year and 30 a month
    double tgunu = 0;      // TGUNU: the calendar days plus the carried days; mode 2: the premium days
    double tigunu = 0;     // TIGUNU: the same
    double kyili = 0, kayi = 0, kgunu = 0; // years, months, days of service
    bool entitled = false;                 // a full year of service
    const TerminationReason* reason = &NoReasonChosen();
    // Whether the severance is paid: a full year of service, a reason that makes it due, and a ceiling to
    // work it out with.
    bool severancePaid() const { return entitled && reason->severanceDue && !severanceUnknown; }
    bool noticePaid() const { return reason->notice == NoticeDue::Due; }

    // Severance.
    double monthlyWageUsed = 0; // the wage, or the ceiling when the wage is above it
    bool ceilingApplied = false;
    double yearly = 0;      // YillikKidemTutari: severance of one full year
    double daysDivisor = 0; // 365 (mode 1) or 360 (mode 2): the days share is days × yearly ÷ this
    double yearsShare = 0, monthsShare = 0, daysShare = 0;
    double bktaz = 0; // gross, unrounded
    // Not worked out: the ceiling of the date is missing and the wage is above the last one known.
    bool severanceUnknown = false;
    // The severance was worked out on the wage under the last ceiling known (the table lacks the date's).
    bool underLastCeiling = false;
    // The exempt part: the severance with the statutory days on the wage capped at the ceiling in force.
    double exemptCeiling = 0; // the ceiling the exempt part is capped at
    double exemptYearly = 0;
    Kurus exemptKurus = 0;
    Kurus taxableKurus = 0; // the shown gross above the exempt part, income-taxed (0 when none)
    IncomeTax severanceTax; // that part in the brackets, on top of the carried base
    double dver = 0;        // stamp duty of the shown gross, unrounded
    Kurus bktazKurus = 0, dverKurus = 0, kgverKurus = 0, netKurus = 0;

    // Notice.
    double iayi = 0, kigunu = 0; // months of service and the days over them
    int band = 0;                // 0..3: DL1..DL4
    double higunu = 0;           // notice days
    double dailyWage = 0;
    double bitzm = 0;             // gross notice pay, unrounded
    double idver = 0;             // its stamp duty from the shown gross, unrounded
    double carriedTaxBase = 0;    // as used (rounded to kuruş, as shown)
    double noticeCarriedBase = 0; // the carried base plus the taxed part of the severance
    IncomeTax tax;                // the shown notice pay in the brackets
    double igver = 0;             // total income tax, unrounded
    Kurus bitzmKurus = 0, idverKurus = 0, igverKurus = 0, itazmKurus = 0; // nothing when not paid
    Kurus owedNoticeKurus = 0; // the notice pay an employee who left without the notice period owes

    // Unused annual leave: nothing when there is none.
    bool leave = false;
    bool leaveFromDays = false;      // worked out from the days (else the typed gross)
    Kurus leaveSgkBaseKurus = 0;     // the gross up to the month's premium ceiling left
    Kurus leaveInsuranceKurus = 0;   // SGK insurance share
    Kurus leaveUnemploymentKurus = 0; // unemployment-insurance share
    double leaveCarriedBase = 0;     // the year's base it is taxed on top of
    IncomeTax leaveTax;
    Kurus izBrutKurus = 0, izSgkKurus = 0, izGverKurus = 0, izDverKurus = 0, izNetKurus = 0;
};

// The largest amount and day count a figure may hold.
inline constexpr double kMaxAmount = 999999999.99;
inline constexpr double kMaxDays = 99999;

// Whether a figure's value is in its range (never negative; amounts up to kMaxAmount, day counts up to
// kMaxDays; the ceiling, the severance days and the stamp duty above zero); the reason when it is not.
std::optional<std::string> OutOfRange(Field f, double value);

// The messages for a figure that cannot be read (empty: not entered) and for one out of its range.
Problem UnreadableFigure(Field f, const std::string& text);
Problem RangeProblem(Field f, const std::string& text, const std::string& why);

// The calculation. Mode 1 needs the exit on or after the entry.
Expected<Result> Compute(const CaseInput& in, const LegalFigures& law);

// The service from the entry date to the exit date (both worked): the largest number of months k such
// that the entry date plus k months (a day past the end of a month falls on its last day) is not after
// the day after the exit, as years and months, and the calendar days from there to the day after the
// exit (0 to 30).
ServiceLength CountService(Date entry, Date exit);

// Days counted as SGK counts premium days: 360 a year, 30 a month.
ServiceLength CountPremiumDays(double days);

// The notice band (0..3, kNoticeBands) a service of so many months and days reaches.
int NoticeBandOf(double months, double days);

// The note on the severance when the table lacks the ceiling of the case's date and none was given: it
// was worked out under the last ceiling known, or it was not worked out and the ceiling must be given.
// Nothing otherwise.
std::optional<std::string> CeilingNote(const CaseInput& in, const LegalFigures& law, const Result& r);

// What the termination reason makes of each payment, for its tab, the result box and the JSON: nothing
// when it is paid as worked out; "Hak edilmedi — İstifa (1475 m. 14/1; 4857 m. 17)" when the reason makes
// it not due; for notice pay the employee owes, the amount and that it is never paid to them.
std::optional<std::string> SeveranceDueNote(const Result& r);
std::optional<std::string> NoticeDueNote(const Result& r);

} // namespace pamerol
