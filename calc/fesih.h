// SPDX-License-Identifier: GPL-3.0-or-later
// Why the employment ended, and what that makes due. Severance (1475 sayılı Kanun m. 14, kept in force by
// 4857 sayılı Kanun geçici m. 6) is due on the employer's termination except for the employee's immoral or
// dishonest conduct (4857 m. 25/II), on the employee's just-cause termination (4857 m. 24), on leaving for
// military service, for a retirement pension or lump sum, on completing the pension's insurance years and
// premium days except age, on a woman's leaving within a year of marriage, and on death. Notice pay (4857
// m. 17) is due only where the employer ends an indefinite contract without the notice period; an employee
// who leaves without it owes the same amount. The table is the one place that says so.
#pragma once

#include <array>
#include <string_view>

namespace pamerol {

// What a termination reason makes of the notice pay.
enum class NoticeDue {
    Due,            // the employer pays it
    NotDue,         // nobody pays it
    OwedByEmployee, // the employee who left without the notice period owes it; never paid to them
};

struct TerminationReason {
    std::string_view code;    // the companion's FESIH= and the record's text; empty: not chosen
    std::string_view caption; // as the clerk chooses it
    bool severanceDue;        // with a full year of service
    NoticeDue notice;
    std::string_view article; // what says so, for the statement and the tab's note
};

inline constexpr std::array<TerminationReason, 14> kTerminationReasons{{
    {"", "Belirtilmedi", true, NoticeDue::Due, ""},
    {"isveren", "İşveren feshi, bildirimsiz", true, NoticeDue::Due, "1475 m. 14; 4857 m. 17"},
    {"isveren-bildirimli", "İşveren feshi, bildirim süresi kullandırıldı", true, NoticeDue::NotDue,
     "1475 m. 14; 4857 m. 17"},
    {"25-2", "İşverenin haklı feshi, m. 25/II", false, NoticeDue::NotDue, "1475 m. 14/1; 4857 m. 25/II"},
    {"25-diger", "İşverenin haklı feshi, m. 25/I, III, IV", true, NoticeDue::NotDue,
     "1475 m. 14/1; 4857 m. 25"},
    {"24", "İşçinin haklı feshi, m. 24", true, NoticeDue::NotDue, "1475 m. 14/1; 4857 m. 24"},
    {"emeklilik", "Emeklilik (yaşlılık, malullük aylığı, toptan ödeme)", true, NoticeDue::NotDue,
     "1475 m. 14/1-4"},
    {"yas-disi", "Yaş dışındaki emeklilik şartlarının tamamlanması", true, NoticeDue::NotDue,
     "1475 m. 14/1-5"},
    {"askerlik", "Askerlik", true, NoticeDue::NotDue, "1475 m. 14/1-3"},
    {"evlilik", "Kadın işçinin evlilik nedeniyle ayrılması (bir yıl içinde)", true, NoticeDue::NotDue,
     "1475 m. 14/1-6"},
    {"olum", "Ölüm (mirasçılara)", true, NoticeDue::NotDue, "1475 m. 14/1"},
    {"belirli-sure", "Belirli süreli sözleşmenin sona ermesi", true, NoticeDue::NotDue,
     "1475 m. 14; 4857 m. 11, 17"},
    {"istifa", "İstifa", false, NoticeDue::NotDue, "1475 m. 14/1; 4857 m. 17"},
    {"istifa-bildirimsiz", "İstifa, bildirim süresine uyulmadan", false, NoticeDue::OwedByEmployee,
     "1475 m. 14/1; 4857 m. 17/son"},
}};

// The reason a text names: its code or its caption (letter case and blanks around aside); an empty text
// is "Belirtilmedi". Null for any other text.
const TerminationReason* TerminationReasonOf(std::string_view text);

// "Belirtilmedi": the default, for old files and cases.
inline const TerminationReason& NoReasonChosen() {
    return kTerminationReasons.front();
}

} // namespace pamerol
