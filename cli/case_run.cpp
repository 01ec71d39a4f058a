// SPDX-License-Identifier: GPL-3.0-or-later
#include "case_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "calc/fields.h"
#include "sheet/profile.h"
#include "yasal.h"

namespace pamerol {

// One assignment as the window would make it: a field's text, the mode or an include flag.
void Apply(Pamerol& sheet, const std::string& name, const std::string& value) {
    Record& r = sheet.record();
    if (name == "Option1" || name == "Option2") {
        if (value != "0" && value != "1")
            throw UsageError{name + " yalnız 0 ya da 1 olabilir, \"" + Excerpt(value) + "\" olamaz"};
        bool first = (name == "Option1") == (value == "1");
        r.setMode(first ? Mode::Dates : Mode::PremiumDays);
    } else if (name == "Check1" || name == "Check2") {
        if (value != "0" && value != "1" && value != "2")
            throw UsageError{name + " yalnız 0, 1 ya da 2 olabilir, \"" + Excerpt(value) + "\" olamaz"};
        (r.*(name == "Check1" ? &Record::setCheck1 : &Record::setCheck2))(value[0] - '0');
    } else if (auto f = FieldByName(name)) {
        // The boxes of several lines hand their text over with CR LF line breaks, and so does a settings
        // load; a text given here with LF or CR breaks is stored the same way.
        r.write(*f, Info(*f).kind == Kind::MultiLineText ? WithCrLfLineBreaks(value) : value);
    } else {
        throw UsageError{UnknownField(name)};
    }
}

// Whether two paths name the same file.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Copying the settings fields and the calculator's table equals loading them from the same file.
void CopySettings(const Record& from, Record& to) {
    for (Field f : kSettingFields) to.write(f, from.text(f));
    to.ytlHesap.O = from.ytlHesap.O;
    to.ytlHesap.VD = from.ytlHesap.VD;
}

// A fresh sheet with the settings (if any), the assignments, the calculator's table and the calculation.
void RunCase(const Settings* settings, const Assignments& assignments, ResultWriter& writer, std::string& out,
             const SaveTarget* saveTo, std::ostream* err, int* status, const Printout* printout,
             ArchiveRun* archive, size_t order, const YasalDegerler* table, const CalculatedCase& calculated,
             CaseOutcome* outcome) {
    RecordedMessages messages;
    Pamerol sheet(messages);
    if (settings) CopySettings(settings->record, sheet.record());
    for (const auto& [name, value] : assignments) Apply(sheet, name, value);
    // A run that names settings fields only (rolling out a new ceiling) has no case to calculate.
    const bool settingsRun = !printout && OnlySettings(assignments);
    std::optional<YasalRapor> yasal;
    if (table && !settingsRun) yasal = YasalDegerleriUygula(sheet.record(), *table, assignments);
    CopyBracketsToCalculator(sheet.record());
    if (!settingsRun) sheet.hesapla();
    // A calculation that stopped on a date or a figure it cannot read leaves the printouts unavailable.
    if (status && !settingsRun && !sheet.record().command3Enabled()) *status = 1;
    writer.write(sheet.record(), messages, out);
    if (calculated) calculated(sheet.record(), messages);
    if (yasal) {
        const std::vector<YasalUyari> uyarilar = yasal->date && sheet.record().command3Enabled()
                                                     ? YasalUyarilar(sheet.record(), *table, *yasal->date)
                                                     : std::vector<YasalUyari>{};
        YasalRaporuEkle(*yasal, *table, sheet.record(), uyarilar, out);
        if (outcome) outcome->uyarilar = uyarilar;
        // Calculated, but with figures that are not the law of the exit date: the caller must look.
        if (status && !uyarilar.empty()) *status = WorseStatus(*status, kStatusWarning);
    }
    if (outcome) {
        for (int i = 0; i < kFieldCount; ++i)
            outcome->texts[static_cast<size_t>(i)] = sheet.record().text(static_cast<Field>(i));
        outcome->calculated = !settingsRun && sheet.record().command3Enabled();
        for (const auto& m : messages.entries) outcome->messages.push_back(m.text);
    }
    if (saveTo) {
        if (auto error = AyarlariYaz(sheet.record(), saveTo->path, saveTo->loaded)) {
            *err << "pamerol-hesap: " << *error << '\n';
            *status = 1;
        }
    }
    const bool printed = printout && DokumKaydet(sheet.record(), printout->dokum, printout->path, *err) == 0;
    if (printout && !printed) *status = 1;
    if (archive) archive->keep(sheet.record(), printed ? &printout->dokum : nullptr, order);
}

int WorseStatus(int a, int b) {
    // From the least to the most serious: calculated, calculated with a warning, refused, misused.
    const auto rank = [](int s) { return s == 0 ? 0 : s == kStatusWarning ? 1 : s == 1 ? 2 : 3; };
    return rank(a) >= rank(b) ? a : b;
}

bool OnlySettings(const Assignments& assignments) {
    return std::all_of(assignments.begin(), assignments.end(), [](const auto& a) {
        auto f = FieldByName(a.first);
        return f && std::find(kSettingFields.begin(), kSettingFields.end(), *f) != kSettingFields.end();
    });
}

std::string UnknownField(const std::string& name) {
    return "bilinmeyen alan \"" + Excerpt(name) + "\"";
}

bool KnownName(const std::string& name) {
    return name == "Option1" || name == "Option2" || name == "Check1" || name == "Check2" ||
           FieldByName(name);
}

// Whether everything written to out has reached it; if not, says so once on err.
bool OutputWritten(std::ostream& out, std::ostream& err) {
    errno = 0;
    out.flush();
    if (out) return true;
    const int why = errno;
    err << "pamerol-hesap: çıktı yazılamadı" << (why ? std::string(" (") + std::strerror(why) + ")" : "")
        << '\n';
    return false;
}

} // namespace pamerol
