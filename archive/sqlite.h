// SPDX-License-Identifier: GPL-3.0-or-later
// A thin layer over SQLite's C interface: a connection and a prepared statement that finalise themselves,
// and the clerk's wording of SQLite's failures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace pamerol::sqlite {

// A failed SQLite call: its result code and the text a clerk can act on.
struct Error {
    int code = 0;
    std::string reason;
};

// The clerk's wording of a result code: read-only file, full disk, damaged file, busy, and so on.
std::string Reason(int code, sqlite3* db);

class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql); // throws Error
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in SQL's ?1, ?2, ...
    Statement& bind(int i, std::string_view text);
    Statement& bind(int i, std::int64_t value);
    Statement& bind(int i, double value);
    Statement& bindNull(int i);

    // One step: true when a row is there to read, false when the statement is done. Throws Error.
    bool step();
    // Steps to the end and makes the statement ready to run again with new parameters.
    void run();
    void reset();

    std::string text(int column) const; // columns count from 0
    std::int64_t integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class Connection {
  public:
    // ReadWrite: for reading and writing (SQLite falls back to reading when the file is write-protected).
    // ReadOnly: for reading only. Immutable: for reading a file that nobody can change while it is open,
    // without its log or lock files (which are then neither read nor created).
    enum class Access { ReadWrite, ReadOnly, Immutable };
    // Opens an existing database file. Throws Error.
    Connection(const std::string& path, Access access);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return db_; }
    void exec(std::string_view sql); // one or more statements without results; throws Error
    std::int64_t lastInsertId() const;
    bool readOnly() const;

  private:
    sqlite3* db_ = nullptr;
};

// A write transaction taken at once (BEGIN IMMEDIATE), so a second writer waits at its start for the busy
// timeout instead of failing halfway. Rolled back unless committed.
class Transaction {
  public:
    explicit Transaction(Connection& c);
    ~Transaction();
    void commit();

  private:
    Connection& c_;
    bool done_ = false;
};

} // namespace pamerol::sqlite
