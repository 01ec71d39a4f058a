// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/schema.h"

namespace pamerol::archive_schema {

const std::array<std::string_view, 4> kSteps = {
    // 1: cases with the columns a search lists and a folded search text; every text of the sheet by its
    // name; the papers printed from each case. Ids are never reused, so a case id that a window still
    // holds cannot come to name another person's case after a deletion.
    R"sql(
CREATE TABLE cases (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    stored_at INTEGER NOT NULL,
    stored_by TEXT NOT NULL,
    mode INTEGER NOT NULL,
    check1 INTEGER NOT NULL,
    check2 INTEGER NOT NULL,
    command3 INTEGER NOT NULL,
    yillik_kidem_tutari REAL NOT NULL,
    name TEXT NOT NULL,
    tc_no TEXT NOT NULL,
    exit_date TEXT NOT NULL,
    net_severance TEXT NOT NULL,
    net_notice TEXT NOT NULL,
    search TEXT NOT NULL
);
CREATE TABLE case_texts (
    case_id INTEGER NOT NULL REFERENCES cases(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    text TEXT NOT NULL,
    PRIMARY KEY (case_id, name)
) WITHOUT ROWID;
CREATE TABLE papers (
    case_id INTEGER NOT NULL REFERENCES cases(id) ON DELETE CASCADE,
    paper TEXT NOT NULL,
    printed_at INTEGER NOT NULL,
    printed_by TEXT NOT NULL
);
CREATE INDEX papers_by_case ON papers(case_id);
)sql",
    // 2: the exit date as a number YYYYMMDD for date ranges and the age-based deletion; NULL when the case
    // has no complete exit date (a case computed from premium days).
    R"sql(
ALTER TABLE cases ADD COLUMN exit_day INTEGER;
UPDATE cases SET exit_day = CAST(substr(exit_date, 7, 4) || substr(exit_date, 4, 2) || substr(exit_date, 1, 2)
                                 AS INTEGER)
    WHERE exit_date GLOB '[0-9][0-9].[0-9][0-9].[0-9][0-9][0-9][0-9]';
CREATE INDEX cases_by_exit ON cases(exit_day);
)sql",
    // 3: the plain-folded search text, so that a name typed without Turkish letters finds its case; the
    // Turkish-folded text folded again by today's rules (a letter stored as a base letter and a combining
    // mark); the T.C. Kimlik No without the blanks around it, in the column and in the case's texts. The
    // fold functions are the program's own, given to the connection that runs this step.
    R"sql(
ALTER TABLE cases ADD COLUMN plain TEXT NOT NULL DEFAULT '';
UPDATE cases SET search = pamerol_turkish_fold(search), plain = pamerol_plain_fold(search),
                 tc_no = trim(tc_no, ' ' || char(9, 10, 13));
UPDATE case_texts SET text = trim(text, ' ' || char(9, 10, 13)) WHERE name = 'txtTcKNo';
)sql",
    // 4: the name of the run of a table of employees a case was computed in, empty for a single case; a
    // search finds the run's cases by it (the name is part of the search texts of the cases it stores).
    R"sql(
ALTER TABLE cases ADD COLUMN run TEXT NOT NULL DEFAULT '';
)sql",
};

} // namespace pamerol::archive_schema
