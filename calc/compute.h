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
};

// The legal figures a case is calculated with. A notice band or a bracket row is needed only when the
// case reaches it, so those keep "cannot be read" (nothing) and their text, for the message.
struct LegalFigures {
    double stampDutyPerMille = 0; // DVOR
    double severanceDays = 0;     // KGN, days' wages per full year of service
    double ceiling = 0;           // TAV, the monthly wage severance is capped at
    struct Band {
        std::optional<double> days;
        std::string text;
    };
    std::array<Band, 4> noticeDays; // DL1..DL4, in the order of kNoticeBands
    TaxTable brackets;              // O1..O5 with VD1..VD5
    std::array<std::string, 5> rateTexts, limitTexts;
};

// Money as the papers show it: whole kuruş.
using Kurus = std::int64_t;

// Every figure of a calculation. Day counts and amounts are the values the sheet shows before they are
// put in the amount pattern; the *Kurus members are the shown amounts themselves.
struct Result {
    // Service.
    double countedDays = 0; // mode 1: the days between the dates (360 a year, 30 a month)
    int serviceYears = 0, serviceMonths = 0, serviceDays = 0; // mode 1: the same as the calendar gives them
    double tigunu = 0;    // TIGUNU: the service days before the extra days (carried days included)
    double extraDays = 0; // mode 1: 5 days for every full 360
    double tgunu = 0;     // TGUNU
    double kyili = 0, kayi = 0, kgunu = 0; // years, months, days of service (365-day years)
    bool entitled = false;                 // a full year of service: severance is owed

    // Severance.
    double monthlyWageUsed = 0; // the wage, or the ceiling when the wage is above it
    bool ceilingApplied = false;
    double yearly = 0; // YillikKidemTutari: severance of one full year
    double yearsShare = 0, monthsShare = 0, daysShare = 0;
    double bktaz = 0, dver = 0, net = 0; // unrounded gross, stamp duty, and the payable as computed
    Kurus bktazKurus = 0, dverKurus = 0, netKurus = 0;

    // Notice.
    double iayi = 0, kigunu = 0; // whole months of service and the days over them
    int band = 0;                // 0..3: DL1..DL4
    double higunu = 0;           // notice days
    double dailyWage = 0;
    double bitzm = 0, idver = 0; // gross notice pay and its stamp duty, unrounded
    double carriedTaxBase = 0;   // as used (rounded to kuruş, as shown)
    IncomeTax tax;               // the notice pay in the brackets
    double igver = 0;            // total income tax
    double itazm = 0;            // payable
    Kurus bitzmKurus = 0, idverKurus = 0, igverKurus = 0, itazmKurus = 0;
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

// The days of service between two dates in 360-day years and 30-day months, with the years, months and
// days as a clerk subtracts them: the day after the exit minus the entry, a month borrowed as 30 days,
// a year as 12 months, the days at most 29.
struct ServiceLength {
    int years = 0, months = 0, days = 0;
    int counted() const { return 360 * years + 30 * months + days; }
};
ServiceLength CountService(Date entry, Date exit);

} // namespace pamerol
