#include "core/archive/archive_schema.h"

#include "core/archive/sqlite_db.h"
#include "core/files/path_text.h"

namespace kestrava::archive {

namespace {

// Version 2 (version 1 kept the first download of each weld in sightings too, and
// had the key UNIQUE(machine, line_hash) with indexes by machine and day and by
// machine and error).
//
// A weld's fields are not kept one by one: the record line is kept whole, with its
// bytes as in the file, and the header line once per download, so that field k of a
// weld stands under column k of its download's header. The line is what the listing
// and CSV show and what makes the weld's identity; a table of fields would hold every
// record 19 or more times over (a row per field) to serve only the search in any field,
// which instr() on the line does. The fields the queries select on (date, error
// number, machine) are columns of their own, read from the line by the listing's
// rules when it is imported.
//
// A weld is unique by its machine and a 128-bit hash of its line (the fleet summary's
// key), not by the line: an index of the lines would hold every line twice. The date
// read from the line stands between them in the key, so that the one index serves the
// queries by machine and date, and the welds of a download (mostly in date order)
// go into it near each other. The key does not tell apart welds without a date (NULLs
// are never equal in SQL): the import looks for those before adding one.
constexpr const char* kSchema = R"sql(
CREATE TABLE machines(
    id INTEGER PRIMARY KEY,
    serial BLOB NOT NULL,            -- the serial field's bytes, as in the files
    family TEXT NOT NULL,            -- 'ORV' or '5TZ'
    UNIQUE(serial, family));
CREATE TABLE downloads(
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL,              -- the path imported (UTF-8)
    kind TEXT NOT NULL,              -- 'xls' (plain) or 'pfd' (scrambled)
    size INTEGER NOT NULL,           -- bytes of the file
    content_hash BLOB UNIQUE,        -- 128-bit hash of the plain text; set when the file is read whole
    imported TEXT NOT NULL,          -- UTC, ISO 8601
    family TEXT,                     -- decided on its first record line
    header BLOB,                     -- the header line: the column names, tab-separated
    records INTEGER);                -- record lines of the file
CREATE TABLE welds(
    id INTEGER PRIMARY KEY,          -- in the order imported, a download's in its line order
    machine INTEGER NOT NULL REFERENCES machines(id),
    download INTEGER NOT NULL REFERENCES downloads(id),  -- the download of first sight
    day INTEGER,                     -- Julian day number of the record's date; NULL: no date
    error INTEGER,                   -- error number as the error filter reads it; NULL: none
    error_row INTEGER,               -- row of the family's error-code table; NULL: no code
    line BLOB NOT NULL,              -- the record line
    line_hash BLOB NOT NULL,
    UNIQUE(machine, day, line_hash));  -- also the index by machine and date
CREATE INDEX welds_by_day ON welds(day);
-- The other downloads each weld stands in (the first is welds.download).
CREATE TABLE sightings(
    weld INTEGER NOT NULL REFERENCES welds(id),
    download INTEGER NOT NULL REFERENCES downloads(id),
    PRIMARY KEY(weld, download)) WITHOUT ROWID;
)sql";

}  // namespace

SchemaCheck checkSchema(Database& db)
{
    SchemaCheck check;
    check.version = int(db.integer("PRAGMA user_version"));
    const std::int64_t application = db.integer("PRAGMA application_id");
    const std::int64_t tables = db.integer("SELECT count(*) FROM sqlite_master");
    if (check.version > kArchiveSchemaVersion) {
        check.fault = ArchiveFault::Newer;
        check.error = "the archive was written by a newer version of Kestrava (layout " +
                      std::to_string(check.version) + ", this version reads up to " +
                      std::to_string(kArchiveSchemaVersion) + "); it was left as it is";
        return check;
    }
    if ((check.version == 0 && tables > 0) || (check.version > 0 && application != kApplicationId)) {
        check.fault = ArchiveFault::NotArchive;
        check.error = "not a weld archive (an SQLite database of another kind); it was left as it is";
        return check;
    }
    const std::string verdict = db.text("PRAGMA quick_check");
    if (verdict != "ok") {
        check.fault = ArchiveFault::Damaged;
        check.error = "the archive is damaged (" + verdict.substr(0, 200) +
                      "); it was left as it is: restore it from a copy";
    }
    return check;
}

void prepareConnection(Database& db, bool writing)
{
    if (writing) {
        db.exec("PRAGMA journal_mode = WAL");
        // In WAL mode a killed program loses no committed file; a power cut may lose
        // the last files imported, never leave one in part.
        db.exec("PRAGMA synchronous = NORMAL");
        db.exec("PRAGMA journal_size_limit = 67108864");  // the log kept at 64 MiB after a checkpoint
    }
    db.exec("PRAGMA cache_size = -65536");  // 64 MiB
    db.exec("PRAGMA temp_store = MEMORY");
}

void createSchema(Database& db)
{
    Transaction transaction(db);
    if (db.integer("PRAGMA user_version") == 0) {  // another program may have made it meanwhile
        db.exec(kSchema);
        db.exec(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
        db.exec(("PRAGMA user_version = " + std::to_string(kArchiveSchemaVersion)).c_str());
    }
    transaction.commit();
}

void upgradeSchema(Database& db, int from, const std::filesystem::path& copy)
{
    // VACUUM INTO writes a consistent copy, the write-ahead log's pages included.
    {
        Statement keep(db, "VACUUM INTO ?1");
        const auto name = copy.u8string();
        keep.bindText(1, std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
        keep.step();
    }
    Transaction transaction(db);
    if (db.integer("PRAGMA user_version") == from && from == 1) {
        // The key of a weld takes its date (the rule of SQLite for a changed constraint:
        // a new table, the rows copied, the old one dropped, the new one renamed).
        db.exec(R"sql(
DROP INDEX IF EXISTS welds_by_machine_day;
DROP INDEX IF EXISTS welds_by_machine_error;
DROP INDEX IF EXISTS welds_by_day;
CREATE TABLE welds_upgraded(
    id INTEGER PRIMARY KEY,
    machine INTEGER NOT NULL REFERENCES machines(id),
    download INTEGER NOT NULL REFERENCES downloads(id),
    day INTEGER,
    error INTEGER,
    error_row INTEGER,
    line BLOB NOT NULL,
    line_hash BLOB NOT NULL,
    UNIQUE(machine, day, line_hash));
INSERT INTO welds_upgraded(id, machine, download, day, error, error_row, line, line_hash)
    SELECT id, machine, download, day, error, error_row, line, line_hash FROM welds;
DROP TABLE welds;
ALTER TABLE welds_upgraded RENAME TO welds;
CREATE INDEX welds_by_day ON welds(day);
DELETE FROM sightings
    WHERE download = (SELECT w.download FROM welds AS w WHERE w.id = sightings.weld);
)sql");
        db.exec(("PRAGMA user_version = " + std::to_string(kArchiveSchemaVersion)).c_str());
    }
    transaction.commit();
}

std::int64_t julianDayOf(Day day) { return std::int64_t(day.time_since_epoch().count()) + 2440588; }

Day dayOfJulian(std::int64_t julianDay) { return Day(std::chrono::days(julianDay - 2440588)); }

std::string shownArchive(const std::filesystem::path& path) { return shownPath(path); }

}  // namespace kestrava::archive
