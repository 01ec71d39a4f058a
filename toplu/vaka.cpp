// SPDX-License-Identifier: GPL-3.0-or-later
#include "vaka.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "base/conversions.h"
#include "calc/fields.h"
#include "sheet/profile.h"

namespace pamerol {

std::string Excerpt(std::string_view text) {
    constexpr std::size_t kMax = 100;
    std::size_t chars = 0, i = 0;
    for (; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue; // inside a letter
        if (chars++ == kMax) return std::string(text.substr(0, i)) + "…";
    }
    return std::string(text);
}

Expected<void> Apply(Pamerol& sheet, const std::string& name, const std::string& value) {
    Record& r = sheet.record();
    if (name == "Option1" || name == "Option2") {
        if (value != "0" && value != "1")
            return Failure(name + " yalnız 0 ya da 1 olabilir, \"" + Excerpt(value) + "\" olamaz");
        bool first = (name == "Option1") == (value == "1");
        r.setMode(first ? Mode::Dates : Mode::PremiumDays);
    } else if (name == "Check1" || name == "Check2") {
        if (value != "0" && value != "1" && value != "2")
            return Failure(name + " yalnız 0, 1 ya da 2 olabilir, \"" + Excerpt(value) + "\" olamaz");
        (r.*(name == "Check1" ? &Record::setCheck1 : &Record::setCheck2))(value[0] - '0');
    } else if (auto f = FieldByName(name)) {
        // The boxes of several lines hand their text over with CR LF line breaks, and so does a settings
        // load; a text given here with LF or CR breaks is stored the same way.
        std::string text = Info(*f).kind == Kind::MultiLineText ? WithCrLfLineBreaks(value) : value;
        // A day count as a clerk writes it in a table ("2.500"), which the day fields' own reading (the
        // number before a ".") would take for 2,5. One out of range keeps its text for the message.
        if (Info(*f).kind == Kind::DayCount)
            if (auto days = ReadAmount(text, AmountForms::Table);
                days && *days >= 0 && *days <= kMaxDays && *days == std::trunc(*days))
                if (auto written = NumberText(*days)) text = std::move(*written);
        r.write(*f, std::move(text));
    } else {
        return Failure(UnknownField(name));
    }
    return {};
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void CopySettings(const Record& from, Record& to) {
    for (Field f : kSettingFields) to.write(f, from.text(f));
    to.ytlHesap.O = from.ytlHesap.O;
    to.ytlHesap.VD = from.ytlHesap.VD;
}

bool KnownName(const std::string& name) {
    return name == "Option1" || name == "Option2" || name == "Check1" || name == "Check2" ||
           FieldByName(name);
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

namespace {

bool Given(const Assignments& assignments, Field f) {
    for (const auto& a : assignments)
        if (a.first == FieldName(f)) return true;
    return false;
}

// The date a case's legal figures are of: its exit date, in either mode. A case counted from premium days
// that gives its exit date (a row of a table, a reference date) takes the figures of that day; the window,
// which has no exit date in that mode, takes the day of the calculation.
std::optional<int> VakaTarihi(const Record& r) {
    return DateKey(r.text(Field::CTarih));
}

} // namespace

YasalRapor YasalDegerleriUygula(Record& r, const YasalDegerler& table, const Assignments& assignments,
                                FigureOrigins* origins) {
    return TarihinYasalDegerleriniUygula(
        r, table, VakaTarihi(r), [&](Field f) { return Given(assignments, f); }, origins);
}

namespace {

// What comparing a case's figures with the table's, without taking them, reports: the date compared for.
YasalRapor Karsilastirilan(const Record& r) {
    YasalRapor report;
    report.date = VakaTarihi(r);
    report.message = report.date
                         ? "Yasal değerler alınmadı (ayar dosyasındaki değerler kullanıldı); " +
                               DateText(*report.date) + " tarihinde geçerli olanlarla karşılaştırıldı."
                         : "Kullanılan değerler çıkış tarihinin yasal değerleriyle karşılaştırılır: "
                           "geçerli bir çıkış tarihi yok.";
    return report;
}

} // namespace

Expected<void> VakaHesapla(Vaka& vaka, const Settings* settings, const Assignments& assignments,
                           YasalTablo tablo, bool printout) {
    const YasalDegerler* table = tablo.degerler;
    Record& r = vaka.sheet.record();
    if (settings) CopySettings(settings->record, r);
    for (const auto& [name, value] : assignments)
        if (auto applied = Apply(vaka.sheet, name, value); !applied) return applied;
    // A run that names settings fields only (rolling out a new ceiling) has no case to calculate.
    vaka.settingsRun = !printout && OnlySettings(assignments);
    // A figure the case gives is its own; one the table gives has the table's period and sources.
    FigureOrigins origins;
    for (Field f : kFigureFields)
        if (Given(assignments, f)) origins[f].kind = FigureOrigin::TypedForCase;
    if (table && !vaka.settingsRun) {
        vaka.yasalUygulandi = tablo.uygulanir;
        vaka.yasal =
            tablo.uygulanir ? YasalDegerleriUygula(r, *table, assignments, &origins) : Karsilastirilan(r);
    }
    CopyBracketsToCalculator(r);
    if (vaka.settingsRun) return {};
    // The table's ceiling of the date caps the exempt part of the severance, whether or not its figures
    // are taken; with no ceiling given, the table's last one serves a wage under it.
    if (table)
        if (const std::optional<int> date = VakaTarihi(r) ? VakaTarihi(r) : YasalTarih(r, TodayKey()))
            r.tavanTablosu = TarihinTavani(*table, *date);
    vaka.sheet.hesapla({}, nullptr, origins);
    if (!r.command3Enabled()) return {};
    if (const Hesap* h = r.hesap()) vaka.tavanNotu = CeilingNote(h->dava.input, h->dava.law, h->sonuc);
    if (vaka.yasal && vaka.yasal->date) vaka.uyarilar = YasalUyarilar(r, *table, *vaka.yasal->date);
    return {};
}

} // namespace pamerol
