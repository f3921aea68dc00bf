// A thin hold on SQLite for the weld archive: a connection and prepared statements
// that finalise themselves, and failures as exceptions carrying SQLite's own words.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace kestrava::archive {

struct SqliteError : std::runtime_error {
    SqliteError(int code, const std::string& text) : std::runtime_error(text), code(code) { }
    int code;  // SQLite's primary result code
};

class Database {
public:
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Opens path; a missing file is created only when create. Throws SqliteError.
    void open(const std::filesystem::path& path, bool writable, bool create);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    void exec(const char* sql);
    // The first column of the first row of sql, as an integer or as text.
    std::int64_t integer(const char* sql);
    std::string text(const char* sql);
    std::int64_t lastInsertId() const;
    int changes() const;

    // After each commit that leaves 1,000 pages or more in the write-ahead log, they
    // are copied into the database file (as SQLite's own checkpoint after a commit
    // does), the pages copied put on their way to the disk while the copying goes on,
    // so that the flush that ends the checkpoint has little left to wait for. file:
    // the database file's path.
    void checkpointAfterCommits(const std::filesystem::path& file);

    sqlite3* handle() const { return db_; }
    [[noreturn]] void fail(int code) const;

private:
    sqlite3* db_ = nullptr;
    std::filesystem::path checkpointed_;
};

class Statement {
public:
    Statement(Database& db, std::string_view sql);
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Parameters from 1; a null optional binds NULL.
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::optional<std::int64_t> value);
    Statement& bindText(int index, std::string_view value);
    Statement& bindBlob(int index, std::string_view value);
    // Binds the bytes without a copy: they must stay as they are until the statement
    // is stepped and reset (run() does both).
    Statement& bindBlobInPlace(int index, std::string_view value);
    Statement& bindNull(int index);

    // True while there is a row to read.
    bool step();
    // Steps a statement that gives no row.
    void run();
    // The same, its parameters kept bound (those bound in place too: every one is to
    // be bound again before the next run).
    void runKeepingBindings();
    void reset();

    bool isNull(int column) const;
    std::int64_t integer(int column) const;
    // Text or blob bytes of a column, valid until the next step or reset.
    std::string_view bytes(int column) const;

private:
    Database& db_;
    sqlite3_stmt* statement_ = nullptr;
};

// A transaction rolled back unless committed.
class Transaction {
public:
    explicit Transaction(Database& db, const char* begin = "BEGIN IMMEDIATE");
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void commit();

private:
    Database& db_;
    bool open_ = true;
};

}  // namespace kestrava::archive
