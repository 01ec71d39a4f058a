// SPDX-License-Identifier: GPL-3.0-or-later
// The case archive: one SQLite file that keeps every stored case, finds it again by name, T.C. Kimlik No,
// SSK No or employer and by exit date, reopens it exactly as stored, exports one person's cases and
// deletes cases for good.
//
// The file is created readable and writable by its owner only (0600), or by its group too (0660) when
// its folder has the set-group-id bit, which is how an administrator marks a folder shared by a group of
// clerks; an existing file keeps its permissions. It runs in write-ahead-log mode with a busy timeout, so
// two clerks on one shared archive wait for each other instead of failing; every change is one
// transaction, so a process killed at any moment leaves every committed case whole. Deleted data is
// overwritten (secure delete) and the log is folded back into the file at once, so a deleted name is no
// longer anywhere on disk.
//
// Every operation that can fail returns an Expected (base/problem.h) whose Problem's message is the clerk's
// sentence: what failed, the file and the reason ("disk dolu", "dosya salt okunur, ...", "dosya bozuk
// ..."). The caller goes on calculating and printing: the archive never stands in the way of either.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/case_sheet.h"
#include "base/problem.h"

namespace pamerol {

namespace sqlite {
class Connection;
}

// One case as a search lists it.
struct ArchiveRow {
    std::int64_t id = 0;
    std::string name;                // txtAdiSoyadi
    std::string tcNo;                // txtTcKNo
    std::string exitDate;            // CTarih as stored
    std::string netSeverance;        // NET
    std::string netNotice;           // ITAZM
    std::vector<std::string> papers; // the papers printed, oldest first
    std::int64_t lastAt = 0; // when the case was stored or its last paper printed (seconds since 1970)
    std::string run;         // the run of a table of employees it was computed in; empty for one case
};

// A case to store: the sheet, the papers printed from it in order, and the name of the run of a table of
// employees it was computed in (empty for a single case). A search finds the case by the run's name too.
struct CaseToStore {
    CaseSheet sheet;
    std::vector<std::string> papers;
    std::string run;
};

struct ArchiveQuery {
    // Words that must all occur in the name, T.C. Kimlik No, SSK No or employer, matched as PlainFold
    // folds them (so "sukru" finds "Şükrü"); the cases in which they also match as TurkishFold folds them
    // come first. An empty text matches every case.
    std::string text;
    // Exit dates "dd.mm.yyyy", both ends included; a case without a complete exit date is left out
    // when either end is given.
    std::string exitFrom, exitTo;
    int limit = 1000; // at most this many (0: no limit), newest first after the Turkish matches
};

// How an archive is opened.
enum class ArchiveAccess {
    // For reading and writing; a missing file is created and an older archive brought up to date. When
    // the file or its folder cannot be written, an archive that is up to date is opened for reading:
    // it can be searched and its cases reopened, and each change says why it cannot be made.
    ReadWrite,
    // For reading only (a search, an export, a reopened case): a missing file is not created, and nothing
    // is written, except that an archive of an older version is brought up to date first when it can be.
    ReadOnly,
};

// A paper printed from a case, with when and by whom.
struct ArchivePaper {
    std::string paper;
    std::int64_t printedAt = 0;
    std::string printedBy;
};

// A stored case as it was stored.
struct ArchivedCase {
    std::int64_t id = 0;
    std::int64_t storedAt = 0;
    std::string storedBy;
    CaseSheet sheet;
    std::vector<ArchivePaper> papers;
};

class Archive {
  public:
    // Opens the archive at path, creating it (and bringing an older one up to date) as needed. A Problem
    // when it cannot be opened or is not an archive of this program. The
    // file is identified before anything is written to it: an empty file, or a database with this
    // program's mark (or, made before the mark, its tables) and a version from 1 to the newest this
    // program knows. Anything else ("bir Pamerol arşivi değil", "daha yeni bir sürümün arşivi") is left
    // byte for byte as it was.
    static Expected<std::unique_ptr<Archive>> open(const std::string& path,
                                                   ArchiveAccess access = ArchiveAccess::ReadWrite);
    ~Archive();

    const std::string& path() const { return path_; }

    // Stores a new case and, when paper is given, that it was printed. Returns the case's id, which the
    // caller keeps to add later papers of the same calculation.
    Expected<std::int64_t> store(const CaseSheet& sheet, std::string_view paper = {});
    // Stores many cases in one transaction (a batch run); the ids in the order given. With SameRun::Replace,
    // a case of a run takes the place of a case stored earlier under the same run's name for the same
    // person (SamePerson), keeping its id: its texts and papers are the new ones, and *replaced counts
    // them. Each earlier case is taken once, so two rows of one person replace two cases; the cases of
    // another run, and single cases, are never replaced.
    enum class SameRun { Add, Replace };
    Expected<std::vector<std::int64_t>> storeAll(const std::vector<CaseToStore>& cases,
                                                 SameRun sameRun = SameRun::Add, size_t* replaced = nullptr);
    // Records that another paper of a stored case was printed. Fails when the case is gone.
    Expected<void> addPaper(std::int64_t id, std::string_view paper);

    // *cut tells whether the query's limit left matching cases out.
    Expected<std::vector<ArchiveRow>> search(const ArchiveQuery& query, bool* cut = nullptr);
    // The stored case, or a Problem when it is not there or cannot be read.
    Expected<ArchivedCase> load(std::int64_t id);

    // Deletes one case; a Problem when it is not there or cannot be deleted.
    Expected<void> remove(std::int64_t id);
    // Deletes every case whose exit date lies more than the given number of whole years before today (a
    // case without an exit date counts from the day it was stored). Returns how many were deleted.
    Expected<int> removeOlderThan(int years);

    // The clock and the user name recorded with each change; the tests set a clock of their own.
    void setClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

  private:
    Archive(std::string path, std::unique_ptr<sqlite::Connection> db, std::string readOnly, bool empty);
    std::string message(std::string_view what, const std::string& reason) const;
    // Why no change can be made when the archive was opened for reading only.
    std::optional<Problem> refuseChange(std::string_view what) const;
    // A new case, or the case `over` written anew.
    std::int64_t insertCase(const CaseToStore& c, std::optional<std::int64_t> over = std::nullopt);
    void insertPaper(std::int64_t id, std::string_view paper, std::int64_t at);
    void foldLogIntoFile();

    std::string path_;
    std::unique_ptr<sqlite::Connection> db_;
    std::string readOnly_; // why no change can be made; empty when it can
    bool empty_;           // an empty file opened for reading: it holds no case and no table yet
    std::string user_;
    std::function<std::time_t()> clock_;
};

// Who a stored case is about, for telling whether a run stored the person already: the T.C. Kimlik No when
// there is one, else the name (in the Turkish fold, without the blanks around it) with the entry and exit
// dates as written.
std::string SamePerson(std::string_view tcNo, std::string_view name, std::string_view entry,
                       std::string_view exit);

// The name of the user the process runs as, for the record of who stored or printed a case.
std::string SystemUserName();

// The clerk's wording of a failed file operation's errno ("disk dolu", "erişim izni yok", ...).
std::string FileErrorText(int error);

// The text without the blanks, tabs and line breaks around it (a T.C. Kimlik No as stored and searched).
std::string_view TrimBlanks(std::string_view text);

// A date "dd.mm.yyyy" as the number yyyymmdd, or empty when the text is not a complete date.
std::optional<int> DayNumber(std::string_view date);

} // namespace pamerol
