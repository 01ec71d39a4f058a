// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archive.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "archive/schema.h"
#include "archive/sqlite.h"
#include "archive/turkish_fold.h"

namespace pamerol {

namespace {

constexpr int kBusyMilliseconds = 10000;

// Creates the file with the permissions a personal-data file needs, unless it is there already.
std::optional<std::string> CreateFile(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    struct stat st {};
    const bool shared =
        ::stat(folder.empty() ? "." : folder.c_str(), &st) == 0 && (st.st_mode & S_ISGID) != 0;
    const mode_t mode = shared ? 0660 : 0600;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        if (errno == EEXIST) return std::nullopt;
        if (errno == ENOSPC) return std::string("disk dolu");
        if (errno == ENOENT) return std::string("klasör yok");
        if (errno == EACCES || errno == EPERM || errno == EROFS) return std::string("klasöre yazma izni yok");
        return std::string(std::strerror(errno));
    }
    ::fchmod(fd, mode); // exactly this mode, whatever the process's umask
    ::close(fd);
    return std::nullopt;
}

int IntegerOf(sqlite::Connection& db, std::string_view sql) {
    sqlite::Statement s(db.handle(), sql);
    return s.step() ? static_cast<int>(s.integer(0)) : 0;
}

std::string SearchText(const CaseSheet& s) {
    std::string text;
    for (Field f :
         {Field::txtAdiSoyadi, Field::txtTcKNo, Field::txtSSkNoPer, Field::txtUnvani, Field::txtSSkNoIsv}) {
        text += TurkishFold(s.text(f));
        text += '\n';
    }
    return text;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        size_t j = i;
        while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j]))) ++j;
        if (j > i) words.push_back(TurkishFold(text.substr(i, j - i)));
        i = j;
    }
    return words;
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

std::string SystemUserName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name) return pw->pw_name;
    return "uid " + std::to_string(::geteuid());
}

std::optional<int> DayNumber(std::string_view d) {
    if (d.size() != 10 || d[2] != '.' || d[5] != '.') return std::nullopt;
    int value = 0;
    for (size_t i : {6, 7, 8, 9, 3, 4, 0, 1}) {
        if (d[i] < '0' || d[i] > '9') return std::nullopt;
        value = value * 10 + (d[i] - '0');
    }
    return value;
}

Archive::Archive(std::string path, std::unique_ptr<sqlite::Connection> db)
    : path_(std::move(path)), db_(std::move(db)), user_(SystemUserName()),
      clock_([] { return std::time(nullptr); }) {}

Archive::~Archive() = default;

std::string Archive::message(std::string_view what, const std::string& reason) const {
    return std::string(what) + ": " + path_ + ": " + reason;
}

std::unique_ptr<Archive> Archive::open(const std::string& path, std::string* error) {
    const auto fail = [&](const std::string& reason) {
        if (error) *error = "Arşiv açılamadı: " + path + ": " + reason;
        return nullptr;
    };
    if (auto why = CreateFile(path)) return fail(*why);
    try {
        auto db = std::make_unique<sqlite::Connection>(path, false);
        sqlite3_busy_timeout(db->handle(), kBusyMilliseconds);
        // The first read of the file tells whether it is a database at all.
        int version = IntegerOf(*db, "PRAGMA user_version");
        if (version == 0 && IntegerOf(*db, "SELECT count(*) FROM sqlite_master") > 0)
            return fail("bir Pamerol arşivi değil");
        if (version > archive_schema::kVersion)
            return fail("arşiv bu programın daha yeni bir sürümüyle yazılmış; programı güncelleyin");
        db->exec("PRAGMA foreign_keys = ON; PRAGMA secure_delete = ON; PRAGMA synchronous = FULL; "
                 "PRAGMA cache_size = -65536");
        if (!db->readOnly()) {
            sqlite::Statement wal(db->handle(), "PRAGMA journal_mode = WAL");
            wal.step();
        }
        while (version < archive_schema::kVersion) {
            if (db->readOnly()) return fail("dosya salt okunur ve eski bir sürümde; yazma izni gerekiyor");
            sqlite::Transaction t(*db);
            // Another process may have brought the file up to date while this one waited.
            version = IntegerOf(*db, "PRAGMA user_version");
            if (version >= archive_schema::kVersion) break;
            db->exec(archive_schema::kSteps[static_cast<size_t>(version)]);
            db->exec("PRAGMA user_version = " + std::to_string(version + 1));
            t.commit();
            ++version;
        }
        return std::unique_ptr<Archive>(new Archive(path, std::move(db)));
    } catch (const sqlite::Error& e) {
        return fail(e.reason);
    }
}

std::int64_t Archive::insertCase(const CaseSheet& s, std::string_view paper) {
    const std::int64_t now = clock_();
    sqlite::Statement c(
        db_->handle(),
        "INSERT INTO cases (stored_at, stored_by, mode, check1, check2, command3, "
        "yillik_kidem_tutari, name, tc_no, exit_date, net_severance, net_notice, search, exit_day) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    c.bind(1, now).bind(2, user_).bind(3, std::int64_t{static_cast<int>(s.mode)});
    c.bind(4, std::int64_t{s.check1}).bind(5, std::int64_t{s.check2}).bind(6, std::int64_t{s.command3});
    c.bind(7, s.yillikKidemTutari).bind(8, s.text(Field::txtAdiSoyadi)).bind(9, s.text(Field::txtTcKNo));
    c.bind(10, s.text(Field::CTarih)).bind(11, s.text(Field::NET)).bind(12, s.text(Field::ITAZM));
    c.bind(13, SearchText(s));
    if (auto day = DayNumber(s.text(Field::CTarih)))
        c.bind(14, std::int64_t{*day});
    else
        c.bindNull(14);
    c.run();
    const std::int64_t id = db_->lastInsertId();

    sqlite::Statement t(db_->handle(), "INSERT INTO case_texts (case_id, name, text) VALUES (?1, ?2, ?3)");
    for (int i = 0; i < kFieldCount; ++i) {
        t.bind(1, id).bind(2, FieldName(static_cast<Field>(i))).bind(3, s.texts[static_cast<size_t>(i)]);
        t.run();
    }
    for (const auto& [name, text] : CalculatorTexts(s)) {
        t.bind(1, id).bind(2, name).bind(3, text);
        t.run();
    }
    if (!paper.empty()) insertPaper(id, paper, now);
    return id;
}

void Archive::insertPaper(std::int64_t id, std::string_view paper, std::int64_t at) {
    sqlite::Statement p(
        db_->handle(), "INSERT INTO papers (case_id, paper, printed_at, printed_by) VALUES (?1, ?2, ?3, ?4)");
    p.bind(1, id).bind(2, paper).bind(3, at).bind(4, user_);
    p.run();
}

std::optional<std::int64_t> Archive::store(const CaseSheet& sheet, std::string_view paper,
                                           std::string* error) {
    auto ids = storeAll({{sheet, std::string(paper)}}, error);
    if (!ids) return std::nullopt;
    return ids->front();
}

std::optional<std::vector<std::int64_t>>
Archive::storeAll(const std::vector<std::pair<CaseSheet, std::string>>& cases, std::string* error) {
    try {
        std::vector<std::int64_t> ids;
        sqlite::Transaction t(*db_);
        for (const auto& [sheet, paper] : cases) ids.push_back(insertCase(sheet, paper));
        t.commit();
        return ids;
    } catch (const sqlite::Error& e) {
        if (error) *error = message("Vaka arşive kaydedilemedi", e.reason);
        return std::nullopt;
    }
}

bool Archive::addPaper(std::int64_t id, std::string_view paper, std::string* error) {
    try {
        sqlite::Transaction t(*db_);
        sqlite::Statement exists(db_->handle(), "SELECT 1 FROM cases WHERE id = ?1");
        exists.bind(1, id);
        if (!exists.step()) {
            if (error)
                *error =
                    message("Döküm arşive işlenemedi", std::to_string(id) + " numaralı vaka arşivde yok");
            return false;
        }
        insertPaper(id, paper, clock_());
        t.commit();
        return true;
    } catch (const sqlite::Error& e) {
        if (error) *error = message("Döküm arşive işlenemedi", e.reason);
        return false;
    }
}

std::optional<std::vector<ArchiveRow>> Archive::search(const ArchiveQuery& q, std::string* error) {
    const auto badDate = [&](const std::string& d) {
        if (error) *error = message("Arşivde aranamadı", "\"" + d + "\" tam bir tarih değil (gg.aa.yyyy)");
        return std::nullopt;
    };
    const auto from = DayNumber(q.exitFrom), to = DayNumber(q.exitTo);
    if (!q.exitFrom.empty() && !from) return badDate(q.exitFrom);
    if (!q.exitTo.empty() && !to) return badDate(q.exitTo);
    const std::vector<std::string> words = Words(q.text);
    std::string sql =
        "SELECT id, name, tc_no, exit_date, net_severance, net_notice, "
        "(SELECT group_concat(paper, char(10)) FROM (SELECT paper FROM papers p WHERE p.case_id = c.id "
        "ORDER BY p.rowid)), "
        "max(stored_at, coalesce((SELECT max(printed_at) FROM papers p WHERE p.case_id = c.id), 0)) "
        "FROM cases c WHERE 1";
    int n = 0;
    for (size_t i = 0; i < words.size(); ++i) sql += " AND instr(search, ?" + std::to_string(++n) + ") > 0";
    if (from) sql += " AND exit_day >= ?" + std::to_string(++n);
    if (to) sql += " AND exit_day <= ?" + std::to_string(++n);
    sql += " ORDER BY id DESC LIMIT ?" + std::to_string(++n);
    try {
        sqlite::Statement s(db_->handle(), sql);
        int k = 0;
        for (const std::string& w : words) s.bind(++k, w);
        if (from) s.bind(++k, std::int64_t{*from});
        if (to) s.bind(++k, std::int64_t{*to});
        s.bind(++k, std::int64_t{q.limit});
        std::vector<ArchiveRow> rows;
        while (s.step())
            rows.push_back({s.integer(0), s.text(1), s.text(2), s.text(3), s.text(4), s.text(5),
                            SplitPapers(s.text(6)), s.integer(7)});
        return rows;
    } catch (const sqlite::Error& e) {
        if (error) *error = message("Arşivde aranamadı", e.reason);
        return std::nullopt;
    }
}

std::optional<ArchivedCase> Archive::load(std::int64_t id, std::string* error) {
    try {
        sqlite::Statement c(db_->handle(), "SELECT stored_at, stored_by, mode, check1, check2, command3, "
                                           "yillik_kidem_tutari FROM cases WHERE id = ?1");
        c.bind(1, id);
        if (!c.step()) {
            if (error)
                *error =
                    message("Vaka arşivden açılamadı", std::to_string(id) + " numaralı vaka arşivde yok");
            return std::nullopt;
        }
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
        if (error) *error = message("Vaka arşivden açılamadı", e.reason);
        return std::nullopt;
    }
}

void Archive::foldLogIntoFile() {
    // Copies the log's pages, with the overwritten data, into the file and empties the log, so the old
    // texts survive in neither. A reader that holds the log open delays it until the next change.
    sqlite3_wal_checkpoint_v2(db_->handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
}

bool Archive::remove(std::int64_t id, std::string* error) {
    try {
        sqlite::Transaction t(*db_);
        sqlite::Statement d(db_->handle(), "DELETE FROM cases WHERE id = ?1");
        d.bind(1, id);
        d.run();
        if (sqlite3_changes(db_->handle()) == 0) {
            if (error) *error = message("Vaka silinemedi", std::to_string(id) + " numaralı vaka arşivde yok");
            return false;
        }
        t.commit();
        foldLogIntoFile();
        return true;
    } catch (const sqlite::Error& e) {
        if (error) *error = message("Vaka silinemedi", e.reason);
        return false;
    }
}

std::optional<int> Archive::removeOlderThan(int years, std::string* error) {
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
        if (error) *error = message("Eski vakalar silinemedi", e.reason);
        return std::nullopt;
    }
}

} // namespace pamerol
