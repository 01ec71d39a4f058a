// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/sqlite.h"

#include <sqlite3.h>

namespace pamerol::sqlite {

namespace {
[[noreturn]] void Fail(int code, sqlite3* db) {
    throw Error{code, Reason(code, db)};
}
} // namespace

std::string Reason(int code, sqlite3* db) {
    switch (code) {
    case SQLITE_READONLY_DIRECTORY:
    case SQLITE_READONLY_CANTINIT:
    case SQLITE_READONLY_CANTLOCK: return "arşivin klasörüne yazma izni yok";
    default: break;
    }
    switch (code & 0xff) {
    case SQLITE_READONLY: return "dosya salt okunur, yazma izni yok";
    case SQLITE_FULL: return "disk dolu";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return "dosya bozuk ya da bir arşiv dosyası değil";
    case SQLITE_CANTOPEN: return "dosya açılamadı (klasör yok ya da erişim izni yok)";
    case SQLITE_PERM:
    case SQLITE_AUTH: return "erişim izni yok";
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "arşiv başka bir kullanıcının işlemiyle meşgul; biraz sonra yeniden deneyin";
    case SQLITE_IOERR: return "diske yazılamadı ya da diskten okunamadı (disk dolu ya da erişilemiyor)";
    case SQLITE_NOMEM: return "bellek yetmedi";
    default:
        return std::string("veritabanı hatası (") + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code)) + ")";
    }
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) Fail(rc, db);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement& Statement::bind(int i, std::string_view text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bind(int i, std::int64_t value) {
    sqlite3_bind_int64(stmt_, i, value);
    return *this;
}

Statement& Statement::bind(int i, double value) {
    sqlite3_bind_double(stmt_, i, value);
    return *this;
}

Statement& Statement::bindNull(int i) {
    sqlite3_bind_null(stmt_, i);
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    Fail(rc, db_);
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string Statement::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}
double Statement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}
bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

namespace {
// A file name as an SQLite URI ("file:" and the path with "%", "?" and "#" escaped).
std::string Uri(const std::string& path, std::string_view query) {
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[static_cast<unsigned char>(c) >> 4];
            uri += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            uri += c;
        }
    }
    return query.empty() ? uri : uri + "?" + std::string(query);
}
} // namespace

Connection::Connection(const std::string& path, Access access) {
    int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
    std::string name = Uri(path, "");
    switch (access) {
    case Access::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
    case Access::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case Access::Immutable:
        flags |= SQLITE_OPEN_READONLY;
        name = Uri(path, "immutable=1");
        break;
    }
    const int rc = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        Error e{rc, Reason(rc, db_)};
        sqlite3_close(db_);
        db_ = nullptr;
        throw e;
    }
    sqlite3_extended_result_codes(db_, 1);
}

Connection::~Connection() {
    sqlite3_close(db_);
}

void Connection::exec(std::string_view sql) {
    const std::string text(sql);
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Fail(rc, db_);
}

std::int64_t Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}
bool Connection::readOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

Transaction::Transaction(Connection& c) : c_(c) {
    c_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_) sqlite3_exec(c_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    c_.exec("COMMIT");
    done_ = true;
}

} // namespace pamerol::sqlite
