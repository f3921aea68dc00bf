#include "core/archive/sqlite_db.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include <sqlite3.h>

#include "core/files/file_io.h"

namespace kestrava::archive {

Database::~Database()
{
    close();
}

void Database::close()
{
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Database::open(const std::filesystem::path& path, bool writable, bool create)
{
    close();
    int flags = writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    if (writable && create)
        flags |= SQLITE_OPEN_CREATE;
    // SQLite takes file names as UTF-8 on every system.
    const auto name = path.u8string();
    const int code = sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db_,
                                     flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        const std::string text = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        close();
        throw SqliteError(code, text);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, 10000);  // another program importing: wait for it
}

void Database::checkpointAfterCommits(const std::filesystem::path& file)
{
    checkpointed_ = file;
    const auto afterCommit = [](void* context, sqlite3* db, const char* name, int pages) {
        constexpr int kCheckpointFrom = 1000;  // SQLite's own
        if (pages < kCheckpointFrom)
            return SQLITE_OK;
        const std::filesystem::path& file = static_cast<Database*>(context)->checkpointed_;
        std::mutex lock;
        std::condition_variable ended;
        bool copied = false;
        std::thread writeBack;
        try {
            writeBack = std::thread([&] {
                std::unique_lock<std::mutex> hold(lock);
                while (!ended.wait_for(hold, std::chrono::milliseconds(20), [&] { return copied; }))
                    fileio::startWriteBack(file);
            });
        } catch (const std::system_error&) {
            // No thread to be had: the flush waits for all of it.
        }
        // A checkpoint that cannot be made now (a reader in the way) is made later.
        sqlite3_wal_checkpoint_v2(db, name, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        if (writeBack.joinable()) {
            {
                const std::lock_guard<std::mutex> hold(lock);
                copied = true;
            }
            ended.notify_one();
            writeBack.join();
        }
        return SQLITE_OK;
    };
    sqlite3_wal_hook(db_, afterCommit, this);
}

void Database::fail(int code) const
{
    throw SqliteError(code & 0xff, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
}

void Database::exec(const char* sql)
{
    if (const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); code != SQLITE_OK)
        fail(code);
}

std::int64_t Database::integer(const char* sql)
{
    Statement statement(*this, sql);
    return statement.step() ? statement.integer(0) : 0;
}

std::string Database::text(const char* sql)
{
    Statement statement(*this, sql);
    return statement.step() ? std::string(statement.bytes(0)) : std::string();
}

std::int64_t Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}
int Database::changes() const
{
    return sqlite3_changes(db_);
}

Statement::Statement(Database& db, std::string_view sql) : db_(db)
{
    if (const int code = sqlite3_prepare_v3(db.handle(), sql.data(), int(sql.size()),
                                            SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
        code != SQLITE_OK)
        db.fail(code);
}

Statement::~Statement()
{
    sqlite3_finalize(statement_);
}

Statement& Statement::bind(int index, std::int64_t value)
{
    if (const int code = sqlite3_bind_int64(statement_, index, value); code != SQLITE_OK)
        db_.fail(code);
    return *this;
}

Statement& Statement::bind(int index, std::optional<std::int64_t> value)
{
    return value ? bind(index, *value) : bindNull(index);
}

Statement& Statement::bindText(int index, std::string_view value)
{
    if (const int code = sqlite3_bind_text64(statement_, index, value.data(), value.size(),
                                             SQLITE_TRANSIENT, SQLITE_UTF8);
        code != SQLITE_OK)
        db_.fail(code);
    return *this;
}

namespace {

int bindBytes(sqlite3_stmt* statement, int index, std::string_view value, void (*keep)(void*))
{
    // An empty blob is still a blob, not NULL.
    static const char nothing = 0;
    return sqlite3_bind_blob64(statement, index, value.empty() ? &nothing : value.data(),
                               value.size(), keep);
}

}  // namespace

Statement& Statement::bindBlob(int index, std::string_view value)
{
    if (const int code = bindBytes(statement_, index, value, SQLITE_TRANSIENT); code != SQLITE_OK)
        db_.fail(code);
    return *this;
}

Statement& Statement::bindBlobInPlace(int index, std::string_view value)
{
    if (const int code = bindBytes(statement_, index, value, SQLITE_STATIC); code != SQLITE_OK)
        db_.fail(code);
    return *this;
}

Statement& Statement::bindNull(int index)
{
    if (const int code = sqlite3_bind_null(statement_, index); code != SQLITE_OK)
        db_.fail(code);
    return *this;
}

bool Statement::step()
{
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    sqlite3_reset(statement_);
    db_.fail(code);
}

void Statement::run()
{
    while (step()) {
    }
    reset();
}

void Statement::runKeepingBindings()
{
    while (step()) {
    }
    sqlite3_reset(statement_);
}

void Statement::reset()
{
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

std::string_view Statement::bytes(int column) const
{
    const void* data = sqlite3_column_blob(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return data ? std::string_view(static_cast<const char*>(data), std::size_t(size))
                : std::string_view();
}

Transaction::Transaction(Database& db, const char* begin) : db_(db)
{
    db_.exec(begin);
}

Transaction::~Transaction()
{
    if (open_)
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    db_.exec("COMMIT");
    open_ = false;
}

}  // namespace kestrava::archive
