// SPDX-License-Identifier: GPL-3.0-or-later
// The calculate command ("&Hesapla"): the sheet's view of the calculation. It reads the sheet's texts
// once into a case and its legal figures, calls Compute and writes the results once.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "calc/compute.h"
#include "calc/fields.h"
#include "messages.h"
#include "record.h"

namespace pamerol {

inline constexpr std::string_view kInvalidDatesMessage = "Personelin Giriş Çıkış Tarihleri Geçersiz.";

// The years a date of this sheet may have; anything else is taken for a typing mistake.
inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2099;

// Checks the dates (mode 1), reads the case and the figures, calculates, writes every result, reports
// both payable amounts and enables the printouts.
//
// A calculation either completes or changes nothing: when a date is not valid, or a figure it would use
// cannot be read or is out of its range, it shows one message that says which and why, and the results
// and the printouts command stay as they were. An empty wage or carried tax base counts as 0; an empty
// settings figure cannot be read. The bracket rows are read from the fields each time, so an edited
// bracket is used at once.
void Hesapla(Record& r, Messages& messages);

// The second line of the invalid-dates message: which date and why (not entered, incomplete, a year
// outside kFirstYear..kLastYear, not in the calendar, exit before entry); nothing when both are valid.
std::optional<std::string> DatesProblem(const std::string& entry, const std::string& exit);

// The sheet's case and legal figures, read from its texts; the Problem of the first figure that cannot
// be read or is out of its range. The dates must have passed DatesProblem in mode 1.
struct SheetCase {
    CaseInput input;
    LegalFigures law;
};
Expected<SheetCase> ReadSheet(const Record& r);

// Whether the sheet's case uses a legal figure: the SGK shares and the premium ceiling only with a leave
// pay (leave days or a typed leave pay), every other figure always.
bool UsesFigure(const Record& r, Field f);

// Where a legal figure of a calculation came from.
struct FigureOrigin {
    enum Kind {
        SettingsFile, // the settings the sheet was loaded with (the clerk's own figures)
        Table,        // the table of legal figures, for the case's date
        TypedForCase, // typed (or given to the companion) for this case
        StoredCase,   // the figure of a case reopened from the archive, as it was stored
    };
    Kind kind = SettingsFile;
    std::string period;  // Table: the period the figure is in force, "01.07.2007 – 31.12.2007"
    std::string sources; // Table: the sources the table names for it
};

// The origin of each legal figure (kFigureFields), in that order.
struct FigureOrigins {
    std::array<FigureOrigin, kFigureCount> of;
    FigureOrigin& operator[](Field f) { return of[place(f)]; }
    const FigureOrigin& operator[](Field f) const { return of[place(f)]; }

  private:
    static size_t place(Field f); // f's place in kFigureFields; f must be a legal figure
};

// Hesapla with the origins of the legal figures on the sheet, which the calculation keeps.
void Hesapla(Record& r, Messages& messages, const FigureOrigins& origins);

// A calculation as it was made: the case and the legal figures as the sheet gave them, where each figure
// came from, and every figure that came out. The sheet's result fields are its texts; the papers, the
// statement and the results table take their numbers from it.
struct Hesap {
    SheetCase dava;
    Result sonuc;
    FigureOrigins kaynaklar;
};

// Writes a calculation's results into the sheet's result fields (the not-entitled case leaves the
// severance amounts empty) and the calculator's record of the last calculation, keeps the calculation
// with the sheet (Record::hesap) and enables the printouts. The results must have been emptied first.
void WriteResult(Record& r, const SheetCase& dava, const Result& result, const FigureOrigins& origins = {});

// For a sheet whose results were put back as texts (a case reopened from the archive): the calculation
// of its case, kept with the sheet without writing any text, so that the papers and the statement have
// it; the sheet's own result texts stay as stored, and the statement names any that differ. Nothing
// happens, and the Problem says why, when the sheet cannot be read or calculated.
Expected<void> HesabiGeriKoy(Record& r);

} // namespace pamerol
