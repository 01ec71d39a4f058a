// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archive.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>

#include "archive/schema.h"
#include "archive/sqlite.h"
#include "archive/turkish_fold.h"
#include "base/date.h"

namespace pamerol {

namespace {

constexpr int kBusyMilliseconds = 10000;

// The mode of a new archive: its owner's only, or its group's too in a folder with the set-group-id bit.
mode_t PrivateMode(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    struct stat st {};
    const bool shared =
        ::stat(folder.empty() ? "." : folder.c_str(), &st) == 0 && (st.st_mode & S_ISGID) != 0;
    return shared ? 0660 : 0600;
}

// Creates the file with the permissions a personal-data file needs, unless it is there already; an empty
// file that someone made beforehand for the archive gets the same permissions.
std::optional<std::string> CreateFile(const std::string& path) {
    const mode_t mode = PrivateMode(path);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        if (errno == EEXIST) {
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0 &&
                st.st_uid == ::geteuid())
                ::chmod(path.c_str(), mode);
            return std::nullopt;
        }
        if (errno == EACCES || errno == EPERM) return std::string("klasöre yazma izni yok");
        return FileErrorText(errno);
    }
    ::fchmod(fd, mode); // exactly this mode, whatever the process's umask
    ::close(fd);
    return std::nullopt;
}

// Why the archive cannot be changed, or empty when it can: the file and its folder (which takes the
// archive's log) must both be writable.
std::string WriteDenied(const std::string& path) {
    if (::access(path.c_str(), W_OK) != 0)
        return errno == EROFS ? "dosya sistemi salt okunur" : "dosya salt okunur, yazma izni yok";
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
        return errno == EROFS ? "dosya sistemi salt okunur" : "arşivin klasörüne yazma izni yok";
    return {};
}

constexpr const char* kNotAnArchive = "bir Pamerol arşivi değil";
constexpr const char* kNewer = "daha yeni bir sürümün arşivi; programı güncelleyin";

int IntegerOf(sqlite::Connection& db, std::string_view sql) {
    sqlite::Statement s(db.handle(), sql);
    return s.step() ? static_cast<int>(s.integer(0)) : 0;
}

// The texts a search looks in (name, T.C. Kimlik No, SSK No, employer, and the run's name), in the
// Turkish and the plain fold.
std::pair<std::string, std::string> SearchTexts(const CaseSheet& s, std::string_view run) {
    std::pair<std::string, std::string> texts;
    for (Field f :
         {Field::txtAdiSoyadi, Field::txtTcKNo, Field::txtSSkNoPer, Field::txtUnvani, Field::txtSSkNoIsv}) {
        const std::string_view text = f == Field::txtTcKNo ? TrimBlanks(s.text(f)) : s.text(f);
        texts.first += TurkishFold(text) + '\n';
        texts.second += PlainFold(text) + '\n';
    }
    if (!run.empty()) {
        texts.first += TurkishFold(run) + '\n';
        texts.second += PlainFold(run) + '\n';
    }
    return texts;
}

void FoldFunction(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    if (!text) return sqlite3_result_null(context);
    const std::string_view in(text, static_cast<size_t>(sqlite3_value_bytes(values[0])));
    auto fold = reinterpret_cast<std::string (*)(std::string_view)>(sqlite3_user_data(context));
    const std::string out = fold(in);
    sqlite3_result_text(context, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

// The program's folds as SQL functions, for the step that folds the texts of older archives.
void AddFoldFunctions(sqlite::Connection& db) {
    using Fold = std::string (*)(std::string_view);
    const std::pair<const char*, Fold> functions[] = {{"pamerol_turkish_fold", &TurkishFold},
                                                      {"pamerol_plain_fold", &PlainFold}};
    for (const auto& [name, fold] : functions)
        sqlite3_create_function_v2(db.handle(), name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   reinterpret_cast<void*>(fold), FoldFunction, nullptr, nullptr, nullptr);
}

// What a file is, read without changing it: empty (0 bytes, or a database without anything in it),
// this program's archive of a version it knows, or neither (the reason).
struct Identity {
    bool empty = false;
    int version = 0;
};

std::uint32_t BigEndian(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// Checks the mark and the version that a connection sees (which includes a log not yet folded into the
// file). Returns the reason when the database is not an archive this program may open.
std::optional<std::string> CheckVersion(sqlite::Connection& db, Identity& id) {
    const int mark = IntegerOf(db, "PRAGMA application_id");
    const int version = IntegerOf(db, "PRAGMA user_version");
    if (mark != 0 && mark != archive_schema::kApplicationId) return std::string(kNotAnArchive);
    if (version > archive_schema::kVersion) return std::string(kNewer);
    if (version < 0) return std::string(kNotAnArchive);
    const bool empty = IntegerOf(db, "SELECT count(*) FROM sqlite_master") == 0;
    if (version == 0 && !empty) return std::string(kNotAnArchive);
    id = {version == 0, version};
    return std::nullopt;
}

// Identifies the file from its header and, for a database without this program's mark (an archive made
// before the mark), from its tables, opened so that no log or lock file is made and nothing is written.
std::optional<std::string> Identify(const std::string& path, Identity& id) {
    unsigned char header[100];
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? std::string("dosya yok") : FileErrorText(errno);
    ssize_t n = 0, got = 0;
    while (got < static_cast<ssize_t>(sizeof header) &&
           (n = ::read(fd, header + got, sizeof header - static_cast<size_t>(got))) > 0)
        got += n;
    const int readError = n < 0 ? errno : 0;
    ::close(fd);
    if (readError) return FileErrorText(readError);
    if (got == 0) {
        id = {true, 0};
        return std::nullopt;
    }
    if (got < static_cast<ssize_t>(sizeof header) || std::memcmp(header, "SQLite format 3", 16) != 0)
        return std::string(kNotAnArchive) + " (dosya bozuk ya da başka bir programın dosyası)";
    const auto mark = static_cast<std::int32_t>(BigEndian(header + 68));
    const auto version = static_cast<std::int32_t>(BigEndian(header + 60));
    if (mark == archive_schema::kApplicationId) {
        if (version > archive_schema::kVersion) return std::string(kNewer);
        if (version < 1) return std::string(kNotAnArchive);
        id = {false, version};
        return std::nullopt;
    }
    if (mark != 0) return std::string(kNotAnArchive);
    try {
        sqlite::Connection db(path, sqlite::Connection::Access::Immutable);
        if (IntegerOf(db, "SELECT count(*) FROM sqlite_master") == 0 && version == 0) {
            id = {true, 0};
            return std::nullopt;
        }
        const bool tables =
            IntegerOf(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                          "('cases', 'case_texts', 'papers')") == 3 &&
            IntegerOf(db, "SELECT count(*) FROM pragma_table_info('cases') WHERE name IN "
                          "('id', 'name', 'tc_no', 'exit_date', 'search')") == 5;
        if (!tables || version < 1) return std::string(kNotAnArchive);
        if (version > archive_schema::kVersion) return std::string(kNewer);
        id = {false, version};
        return std::nullopt;
    } catch (const sqlite::Error&) {
        return std::string(kNotAnArchive) + " (dosya bozuk ya da başka bir programın dosyası)";
    }
}

// The distinct words of a search text, each in its Turkish and its plain fold.
std::vector<std::pair<std::string, std::string>> Words(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        size_t j = i;
        while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j]))) ++j;
        if (j > i) {
            std::pair<std::string, std::string> w{TurkishFold(text.substr(i, j - i)),
                                                  PlainFold(text.substr(i, j - i))};
            if (std::find(words.begin(), words.end(), w) == words.end()) words.push_back(std::move(w));
        }
        i = j;
    }
    return words;
}

// "instr(column, ?first) > 0 AND ..." for count parameters from first on, nested as a balanced tree so
// that a search of a thousand words stays well inside SQLite's limit on the depth of an expression.
std::string AllOf(const std::string& column, int first, int count) {
    if (count == 1) return "instr(" + column + ", ?" + std::to_string(first) + ") > 0";
    const int half = count / 2;
    return "(" + AllOf(column, first, half) + " AND " + AllOf(column, first + half, count - half) + ")";
}

std::vector<std::string> SplitPapers(const std::string& joined) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < joined.size()) {
        size_t end = joined.find('\n', start);
        if (end == std::string::npos) end = joined.size();
        out.push_back(joined.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

} // namespace

std::string FileErrorText(int error) {
    switch (error) {
    case ENOSPC: return "disk dolu";
    case ENOENT: return "klasör yok";
    case EACCES:
    case EPERM: return "erişim izni yok";
    case EROFS: return "dosya sistemi salt okunur";
    case EISDIR: return "bu bir klasör";
    default: return std::string("dosya hatası (") + std::strerror(error) + ")";
    }
}

std::string SystemUserName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name) return pw->pw_name;
    return "uid " + std::to_string(::geteuid());
}

std::optional<int> DayNumber(std::string_view d) {
    const std::optional<Date> date = ParseDate(d);
    if (!date) return std::nullopt;
    return date->key();
}

Archive::Archive(std::string path, std::unique_ptr<sqlite::Connection> db, std::string readOnly, bool empty)
    : path_(std::move(path)), db_(std::move(db)), readOnly_(std::move(readOnly)), empty_(empty),
      user_(SystemUserName()), clock_([] { return std::time(nullptr); }) {}

std::optional<Problem> Archive::refuseChange(std::string_view what) const {
    if (readOnly_.empty()) return std::nullopt;
    return Failure(message(what, readOnly_));
}

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

Archive::~Archive() = default;

std::string Archive::message(std::string_view what, const std::string& reason) const {
    return std::string(what) + ": " + path_ + ": " + reason;
}

Expected<std::unique_ptr<Archive>> Archive::open(const std::string& path, ArchiveAccess access) {
    const auto fail = [&](const std::string& reason) {
        return Failure("Arşiv açılamadı: " + path + ": " + reason);
    };
    if (access == ArchiveAccess::ReadWrite)
        if (auto why = CreateFile(path)) return fail(*why);
    Identity id;
    if (auto why = Identify(path, id)) return fail(*why);
    const std::string denied = WriteDenied(path);
    const bool behind = id.version < archive_schema::kVersion;
    if (access == ArchiveAccess::ReadOnly && behind && !id.empty) {
        // An archive of an older version is brought up to date once, by the one opening that may write.
        if (!denied.empty()) return fail("eski bir sürümün arşivi ve güncellenemiyor: " + denied);
        if (auto updated = open(path, ArchiveAccess::ReadWrite); !updated) return updated.error();
    } else if (access == ArchiveAccess::ReadWrite && behind && !denied.empty()) {
        return fail((id.empty ? std::string() : "eski bir sürümün arşivi ve güncellenemiyor: ") + denied);
    }
    try {
        if (access == ArchiveAccess::ReadWrite && denied.empty()) {
            auto db = std::make_unique<sqlite::Connection>(path, sqlite::Connection::Access::ReadWrite);
            sqlite3_busy_timeout(db->handle(), kBusyMilliseconds);
            AddFoldFunctions(*db);
            // Checked again through the log, before anything is written or the log mode is set.
            if (auto why = CheckVersion(*db, id)) return fail(*why);
            db->exec("PRAGMA foreign_keys = ON; PRAGMA secure_delete = ON; PRAGMA synchronous = FULL; "
                     "PRAGMA cache_size = -65536");
            {
                // Finished before the steps: a commit fails while this statement is still open.
                sqlite::Statement wal(db->handle(), "PRAGMA journal_mode = WAL");
                wal.step();
            }
            for (int version = id.version; version < archive_schema::kVersion; ++version) {
                sqlite::Transaction t(*db);
                // Another process may have brought the file up to date while this one waited.
                if (auto why = CheckVersion(*db, id)) return fail(*why);
                version = id.version;
                if (version >= archive_schema::kVersion) break;
                db->exec(archive_schema::kSteps[static_cast<size_t>(version)]);
                db->exec("PRAGMA user_version = " + std::to_string(version + 1) +
                         "; PRAGMA application_id = " + std::to_string(archive_schema::kApplicationId));
                t.commit();
            }
            return std::unique_ptr<Archive>(new Archive(path, std::move(db), {}, false));
        }
        // For reading only. In a folder nobody may write to, SQLite cannot make the files a reader of a
        // logged archive needs; with no log there, nobody can be writing, and the file is read as it is.
        std::unique_ptr<sqlite::Connection> db;
        std::optional<std::string> why;
        try {
            db = std::make_unique<sqlite::Connection>(path, sqlite::Connection::Access::ReadOnly);
            sqlite3_busy_timeout(db->handle(), kBusyMilliseconds);
            why = CheckVersion(*db, id);
        } catch (const sqlite::Error&) {
            std::error_code ec;
            if (std::filesystem::exists(path + "-wal", ec)) throw;
            db = std::make_unique<sqlite::Connection>(path, sqlite::Connection::Access::Immutable);
            why = CheckVersion(*db, id);
        }
        if (why) return fail(*why);
        if (!id.empty && id.version < archive_schema::kVersion)
            return fail("eski bir sürümün arşivi ve güncellenemiyor: " + denied);
        const std::string reason =
            access == ArchiveAccess::ReadOnly ? "arşiv yalnız okumak için açıldı" : denied;
        return std::unique_ptr<Archive>(new Archive(path, std::move(db), reason, id.empty));
    } catch (const sqlite::Error& e) {
        return fail(e.reason);
    }
}

std::int64_t Archive::insertCase(const CaseToStore& stored, std::optional<std::int64_t> over) {
    const CaseSheet& s = stored.sheet;
    const std::int64_t now = clock_();
    sqlite::Statement c(
        db_->handle(),
        over ? "UPDATE cases SET stored_at = ?1, stored_by = ?2, mode = ?3, check1 = ?4, "
               "check2 = ?5, command3 = ?6, yillik_kidem_tutari = ?7, name = ?8, tc_no = ?9, "
               "exit_date = ?10, net_severance = ?11, net_notice = ?12, search = ?13, "
               "exit_day = ?14, plain = ?15, run = ?16 WHERE id = ?17"
             : "INSERT INTO cases (stored_at, stored_by, mode, check1, check2, command3, "
               "yillik_kidem_tutari, name, tc_no, exit_date, net_severance, net_notice, search, "
               "exit_day, plain, run) "
               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");
    const auto [turkish, plain] = SearchTexts(s, stored.run);
    c.bind(1, now).bind(2, user_).bind(3, std::int64_t{static_cast<int>(s.mode)});
    c.bind(4, std::int64_t{s.check1}).bind(5, std::int64_t{s.check2}).bind(6, std::int64_t{s.command3});
    c.bind(7, s.yillikKidemTutari).bind(8, s.text(Field::txtAdiSoyadi)).bind(9, s.text(Field::txtTcKNo));
    c.bind(10, s.text(Field::CTarih)).bind(11, s.text(Field::NET)).bind(12, s.text(Field::ITAZM));
    c.bind(13, turkish).bind(15, plain).bind(16, stored.run);
    if (auto day = DayNumber(s.text(Field::CTarih)))
        c.bind(14, std::int64_t{*day});
    else
        c.bindNull(14);
    if (over) c.bind(17, *over);
    c.run();
    const std::int64_t id = over ? *over : db_->lastInsertId();
    if (over)
        for (const char* table : {"case_texts", "papers"}) {
            sqlite::Statement d(db_->handle(), std::string("DELETE FROM ") + table + " WHERE case_id = ?1");
            d.bind(1, id);
            d.run();
        }

    sqlite::Statement t(db_->handle(), "INSERT INTO case_texts (case_id, name, text) VALUES (?1, ?2, ?3)");
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = static_cast<Field>(i);
        // The T.C. Kimlik No is kept without the blanks around it, so that a person's export finds it.
        t.bind(1, id).bind(2, FieldName(f)).bind(3, f == Field::txtTcKNo ? TrimBlanks(s.text(f)) : s.text(f));
        t.run();
    }
    for (const auto& [name, text] : CalculatorTexts(s)) {
        t.bind(1, id).bind(2, name).bind(3, text);
        t.run();
    }
    for (const std::string& paper : stored.papers)
        if (!paper.empty()) insertPaper(id, paper, now);
    return id;
}

void Archive::insertPaper(std::int64_t id, std::string_view paper, std::int64_t at) {
    sqlite::Statement p(
        db_->handle(), "INSERT INTO papers (case_id, paper, printed_at, printed_by) VALUES (?1, ?2, ?3, ?4)");
    p.bind(1, id).bind(2, paper).bind(3, at).bind(4, user_);
    p.run();
}

Expected<std::int64_t> Archive::store(const CaseSheet& sheet, std::string_view paper) {
    CaseToStore c{sheet, {}, {}};
    if (!paper.empty()) c.papers.emplace_back(paper);
    auto ids = storeAll({c});
    if (!ids) return ids.error();
    return ids->front();
}

std::string SamePerson(std::string_view tcNo, std::string_view name, std::string_view entry,
                       std::string_view exit) {
    if (const std::string_view tc = TrimBlanks(tcNo); !tc.empty()) return "tc\n" + std::string(tc);
    return "ad\n" + TurkishFold(TrimBlanks(name)) + '\n' + std::string(TrimBlanks(entry)) + '\n' +
           std::string(TrimBlanks(exit));
}

Expected<std::vector<std::int64_t>> Archive::storeAll(const std::vector<CaseToStore>& cases, SameRun sameRun,
                                                      size_t* replaced) {
    if (auto refused = refuseChange("Vaka arşive kaydedilemedi")) return *refused;
    if (replaced) *replaced = 0;
    try {
        std::vector<std::int64_t> ids;
        sqlite::Transaction t(*db_);
        // The cases each run named here stored before, by person, oldest first.
        std::map<std::string, std::map<std::string, std::deque<std::int64_t>>> earlier;
        if (sameRun == SameRun::Replace && !empty_)
            for (const CaseToStore& c : cases) {
                if (c.run.empty() || earlier.count(c.run)) continue;
                auto& people = earlier[c.run];
                sqlite::Statement q(
                    db_->handle(), "SELECT id, tc_no, name, (SELECT text FROM case_texts t WHERE t.case_id = "
                                   "c.id AND t.name = 'GTarih'), exit_date FROM cases c WHERE run = ?1 "
                                   "ORDER BY id");
                q.bind(1, c.run);
                while (q.step())
                    people[SamePerson(q.text(1), q.text(2), q.text(3), q.text(4))].push_back(q.integer(0));
            }
        size_t over = 0;
        for (const CaseToStore& c : cases) {
            std::optional<std::int64_t> id;
            if (auto run = earlier.find(c.run); run != earlier.end()) {
                const CaseSheet& s = c.sheet;
                auto person =
                    run->second.find(SamePerson(s.text(Field::txtTcKNo), s.text(Field::txtAdiSoyadi),
                                                s.text(Field::GTarih), s.text(Field::CTarih)));
                if (person != run->second.end() && !person->second.empty()) {
                    id = person->second.front();
                    person->second.pop_front();
                    ++over;
                }
            }
            ids.push_back(insertCase(c, id));
        }
        t.commit();
        // The replaced texts, like deleted ones, are no longer anywhere on disk.
        if (over) foldLogIntoFile();
        if (replaced) *replaced = over;
        return ids;
    } catch (const sqlite::Error& e) {
        return Failure(message("Vaka arşive kaydedilemedi", e.reason));
    }
}

Expected<void> Archive::addPaper(std::int64_t id, std::string_view paper) {
    if (auto refused = refuseChange("Döküm arşive işlenemedi")) return *refused;
    try {
        sqlite::Transaction t(*db_);
        sqlite::Statement exists(db_->handle(), "SELECT 1 FROM cases WHERE id = ?1");
        exists.bind(1, id);
        if (!exists.step())
            return Failure(
                message("Döküm arşive işlenemedi", std::to_string(id) + " numaralı vaka arşivde yok"));
        insertPaper(id, paper, clock_());
        t.commit();
        return {};
    } catch (const sqlite::Error& e) {
        return Failure(message("Döküm arşive işlenemedi", e.reason));
    }
}

Expected<std::vector<ArchiveRow>> Archive::search(const ArchiveQuery& q, bool* cut) {
    const auto badDate = [&](const std::string& d) {
        return Failure(message("Arşivde aranamadı", "\"" + d + "\" tam bir tarih değil (gg.aa.yyyy)"));
    };
    const auto from = DayNumber(q.exitFrom), to = DayNumber(q.exitTo);
    if (!q.exitFrom.empty() && !from) return badDate(q.exitFrom);
    if (!q.exitTo.empty() && !to) return badDate(q.exitTo);
    if (cut) *cut = false;
    if (empty_) return std::vector<ArchiveRow>();
    const auto words = Words(q.text);
    const int count = static_cast<int>(words.size());
    // Every word in the plain fold; the cases in which every word also matches in the Turkish fold first,
    // newest first within each.
    std::string sql =
        "SELECT id, name, tc_no, exit_date, net_severance, net_notice, "
        "(SELECT group_concat(paper, char(10)) FROM (SELECT paper FROM papers p WHERE p.case_id = c.id "
        "ORDER BY p.rowid)), "
        "max(stored_at, coalesce((SELECT max(printed_at) FROM papers p WHERE p.case_id = c.id), 0)), run "
        "FROM cases c WHERE 1";
    int n = 2 * count;
    if (count > 0) sql += " AND " + AllOf("plain", 1, count);
    if (from) sql += " AND exit_day >= ?" + std::to_string(++n);
    if (to) sql += " AND exit_day <= ?" + std::to_string(++n);
    sql += " ORDER BY ";
    if (count > 0) sql += AllOf("search", count + 1, count) + " DESC, ";
    sql += "id DESC LIMIT ?" + std::to_string(++n);
    try {
        sqlite::Statement s(db_->handle(), sql);
        for (int k = 0; k < count; ++k) {
            s.bind(k + 1, words[static_cast<size_t>(k)].second);
            s.bind(count + k + 1, words[static_cast<size_t>(k)].first);
        }
        int k = 2 * count;
        if (from) s.bind(++k, std::int64_t{*from});
        if (to) s.bind(++k, std::int64_t{*to});
        // One row more than the limit tells whether the limit cut the list.
        s.bind(++k, q.limit > 0 ? std::int64_t{q.limit} + 1 : std::int64_t{-1});
        std::vector<ArchiveRow> rows;
        while (s.step()) {
            if (q.limit > 0 && rows.size() == static_cast<size_t>(q.limit)) {
                if (cut) *cut = true;
                break;
            }
            rows.push_back({s.integer(0), s.text(1), s.text(2), s.text(3), s.text(4), s.text(5),
                            SplitPapers(s.text(6)), s.integer(7), s.text(8)});
        }
        return rows;
    } catch (const sqlite::Error& e) {
        return Failure(message("Arşivde aranamadı", e.reason));
    }
}

Expected<ArchivedCase> Archive::load(std::int64_t id) {
    try {
        sqlite::Statement c(db_->handle(), empty_ ? "SELECT 1 WHERE ?1 IS NULL"
                                                  : "SELECT stored_at, stored_by, mode, check1, check2, "
                                                    "command3, yillik_kidem_tutari FROM cases WHERE id = ?1");
        c.bind(1, id);
        if (!c.step())
            return Failure(
                message("Vaka arşivden açılamadı", std::to_string(id) + " numaralı vaka arşivde yok"));
        ArchivedCase a;
        a.id = id;
        a.storedAt = c.integer(0);
        a.storedBy = c.text(1);
        a.sheet.mode = c.integer(2) == 2 ? Mode::PremiumDays : Mode::Dates;
        a.sheet.check1 = static_cast<int>(c.integer(3));
        a.sheet.check2 = static_cast<int>(c.integer(4));
        a.sheet.command3 = c.integer(5) != 0;
        a.sheet.yillikKidemTutari = c.real(6);
        // Texts of names this program does not know (from a newer one) are left out.
        sqlite::Statement t(db_->handle(), "SELECT name, text FROM case_texts WHERE case_id = ?1");
        t.bind(1, id);
        while (t.step()) {
            const std::string name = t.text(0);
            if (auto f = FieldByName(name))
                a.sheet.texts[static_cast<size_t>(*f)] = t.text(1);
            else
                SetCalculatorText(a.sheet, name, t.text(1));
        }
        sqlite::Statement p(
            db_->handle(),
            "SELECT paper, printed_at, printed_by FROM papers WHERE case_id = ?1 ORDER BY rowid");
        p.bind(1, id);
        while (p.step()) a.papers.push_back({p.text(0), p.integer(1), p.text(2)});
        return a;
    } catch (const sqlite::Error& e) {
        return Failure(message("Vaka arşivden açılamadı", e.reason));
    }
}

void Archive::foldLogIntoFile() {
    // Copies the log's pages, with the overwritten data, into the file and empties the log, so the old
    // texts survive in neither. A reader that holds the log open delays it until the next change.
    sqlite3_wal_checkpoint_v2(db_->handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
}

Expected<void> Archive::remove(std::int64_t id) {
    if (auto refused = refuseChange("Vaka silinemedi")) return *refused;
    try {
        sqlite::Transaction t(*db_);
        sqlite::Statement d(db_->handle(), "DELETE FROM cases WHERE id = ?1");
        d.bind(1, id);
        d.run();
        if (sqlite3_changes(db_->handle()) == 0)
            return Failure(message("Vaka silinemedi", std::to_string(id) + " numaralı vaka arşivde yok"));
        t.commit();
        foldLogIntoFile();
        return {};
    } catch (const sqlite::Error& e) {
        return Failure(message("Vaka silinemedi", e.reason));
    }
}

Expected<int> Archive::removeOlderThan(int years) {
    if (auto refused = refuseChange("Eski vakalar silinemedi")) return *refused;
    const std::time_t now = clock_();
    std::tm today{};
    ::localtime_r(&now, &today);
    const std::int64_t cutoff =
        std::int64_t{today.tm_year + 1900 - years} * 10000 + (today.tm_mon + 1) * 100 + today.tm_mday;
    try {
        sqlite::Transaction t(*db_);
        sqlite::Statement d(db_->handle(),
                            "DELETE FROM cases WHERE coalesce(exit_day, CAST(strftime('%Y%m%d', stored_at, "
                            "'unixepoch', 'localtime') AS INTEGER)) < ?1");
        d.bind(1, cutoff);
        d.run();
        const int count = sqlite3_changes(db_->handle());
        t.commit();
        foldLogIntoFile();
        return count;
    } catch (const sqlite::Error& e) {
        return Failure(message("Eski vakalar silinemedi", e.reason));
    }
}

} // namespace pamerol
