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
// Every operation that can fail returns an empty result and gives the clerk's message in *error: what
// failed, the file and the reason ("disk dolu", "dosya salt okunur, ...", "dosya bozuk ..."). The caller
// goes on calculating and printing: the archive never stands in the way of either.
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
};

struct ArchiveQuery {
    // Words that must all occur in the name, T.C. Kimlik No, SSK No or employer, matched as TurkishFold
    // folds them; an empty text matches every case.
    std::string text;
    // Exit dates "dd.mm.yyyy", both ends included; a case without a complete exit date is left out
    // when either end is given.
    std::string exitFrom, exitTo;
    int limit = 1000; // newest first
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
    // Opens the archive at path, creating it (and bringing an older one up to date) as needed. Empty,
    // with the message in *error, when it cannot be opened or is not an archive of this program.
    static std::unique_ptr<Archive> open(const std::string& path, std::string* error = nullptr);
    ~Archive();

    const std::string& path() const { return path_; }

    // Stores a new case and, when paper is given, that it was printed. Returns the case's id, which the
    // caller keeps to add later papers of the same calculation.
    std::optional<std::int64_t> store(const CaseSheet& sheet, std::string_view paper = {},
                                      std::string* error = nullptr);
    // Stores many cases in one transaction (a batch run); the ids in the order given.
    std::optional<std::vector<std::int64_t>>
    storeAll(const std::vector<std::pair<CaseSheet, std::string>>& cases, std::string* error = nullptr);
    // Records that another paper of a stored case was printed. Fails when the case is gone.
    bool addPaper(std::int64_t id, std::string_view paper, std::string* error = nullptr);

    std::optional<std::vector<ArchiveRow>> search(const ArchiveQuery& query, std::string* error = nullptr);
    // The stored case, or empty when it is not there (with a message) or cannot be read.
    std::optional<ArchivedCase> load(std::int64_t id, std::string* error = nullptr);

    // Deletes one case; false when it is not there or cannot be deleted.
    bool remove(std::int64_t id, std::string* error = nullptr);
    // Deletes every case whose exit date lies more than the given number of whole years before today (a
    // case without an exit date counts from the day it was stored). Returns how many were deleted.
    std::optional<int> removeOlderThan(int years, std::string* error = nullptr);

    // The clock and the user name recorded with each change; the tests set a clock of their own.
    void setClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

  private:
    Archive(std::string path, std::unique_ptr<sqlite::Connection> db);
    std::string message(std::string_view what, const std::string& reason) const;
    std::int64_t insertCase(const CaseSheet& sheet, std::string_view paper);
    void insertPaper(std::int64_t id, std::string_view paper, std::int64_t at);
    void foldLogIntoFile();

    std::string path_;
    std::unique_ptr<sqlite::Connection> db_;
    std::string user_;
    std::function<std::time_t()> clock_;
};

// The name of the user the process runs as, for the record of who stored or printed a case.
std::string SystemUserName();

// A date "dd.mm.yyyy" as the number yyyymmdd, or empty when the text is not a complete date.
std::optional<int> DayNumber(std::string_view date);

} // namespace pamerol
