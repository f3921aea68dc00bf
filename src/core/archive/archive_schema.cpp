#include "core/archive/archive_schema.h"

#include "core/archive/sqlite_db.h"
#include "core/files/path_text.h"
#include "core/fleet/weld_set.h"

namespace kestrava::archive {

namespace {

// Version 3. Version 2 had the weld's key as a 128-bit blob in the welds' table, with
// UNIQUE(machine, day, line_hash) and an index by day kept by SQLite row by row;
// version 1 also kept the first download of each weld in sightings, and had the key
// UNIQUE(machine, line_hash) with indexes by machine and day and by machine and error.
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
// The welds' table has no index of its own: the rows of a file are appended in its
// line order, and the import writes the file's entries of the two index tables at its
// end, sorted, in the same transaction (an index kept by SQLite costs a search of the
// tree for every row).
//
// weld_keys: a weld is unique by its machine, its date and a 64-bit key of its line,
// not by the line (an index of the lines would hold every line twice). Two lines of
// one machine and day under one key are told apart by the import, which compares their
// bytes and gives the later one the next free key. The date stands before the key so
// that the table also serves the queries by machine and date. Day 0 stands for no date.
//
// machine_days: the machines that have welds on each day (0: welds without a date),
// a row per machine and day rather than per weld: the welds of all machines in date
// order are found through it and weld_keys.
constexpr const char* kIndexTables = R"sql(
CREATE TABLE weld_keys(
    machine INTEGER NOT NULL,
    day INTEGER NOT NULL,            -- Julian day number; 0: no date
    line_key INTEGER NOT NULL,       -- lineKey() of the line, or the next free one
    weld INTEGER NOT NULL,
    PRIMARY KEY(machine, day, line_key)) WITHOUT ROWID;
CREATE TABLE machine_days(
    day INTEGER NOT NULL,
    machine INTEGER NOT NULL,
    PRIMARY KEY(day, machine)) WITHOUT ROWID;
)sql";

constexpr const char* kWeldsTable = R"sql(
CREATE TABLE welds(
    id INTEGER PRIMARY KEY,          -- in the order imported, a download's in its line order
    machine INTEGER NOT NULL REFERENCES machines(id),
    download INTEGER NOT NULL REFERENCES downloads(id),  -- the download of first sight
    day INTEGER,                     -- Julian day number of the record's date; NULL: no date
    error INTEGER,                   -- error number as the error filter reads it; NULL: none
    error_row INTEGER,               -- row of the family's error-code table; NULL: no code
    line BLOB NOT NULL);             -- the record line
)sql";

constexpr const char* kSchema = R"sql(
CREATE TABLE machines(
    id INTEGER PRIMARY KEY,
    serial BLOB NOT NULL,            -- the serial field's bytes, as in the files
    family TEXT NOT NULL,            -- 'ORV' or '5TZ'
    welds INTEGER NOT NULL DEFAULT 0,  -- its welds in the archive
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
-- The other downloads each weld stands in (the first is welds.download).
CREATE TABLE sightings(
    weld INTEGER NOT NULL REFERENCES welds(id),
    download INTEGER NOT NULL REFERENCES downloads(id),
    PRIMARY KEY(weld, download)) WITHOUT ROWID;
)sql";

// Version 1 to 2: the key of a weld takes its date, and a weld's first download is no
// longer among its sightings.
constexpr const char* kUpgradeTo2 = R"sql(
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
)sql";

MachineFamily familyNamed(std::string_view name)
{
    for (const MachineFamily family : {MachineFamily::ORV, MachineFamily::T5Z}) {
        if (name == familyName(family))
            return family;
    }
    return MachineFamily::Unknown;
}

// Version 2 to 3: the welds' table without its key and indexes, the index tables made
// from it (each weld's key computed from its line as the import computes it), and the
// number of welds of each machine.
void upgradeTo3(Database& db)
{
    // A new table, the rows copied, the old one dropped, the new one renamed (renaming
    // the old one instead would change the references to it).
    std::string upgraded = kWeldsTable;
    upgraded.replace(upgraded.find("welds("), 6, "welds_upgraded(");
    db.exec(upgraded.c_str());
    db.exec("INSERT INTO welds_upgraded(id, machine, download, day, error, error_row, line) "
            "SELECT id, machine, download, day, error, error_row, line FROM welds ORDER BY id");
    db.exec("DROP TABLE welds");
    db.exec("ALTER TABLE welds_upgraded RENAME TO welds");
    db.exec(kIndexTables);
    db.exec("INSERT INTO machine_days(day, machine) SELECT DISTINCT ifnull(day, 0), machine FROM "
            "welds");
    db.exec("ALTER TABLE machines ADD COLUMN welds INTEGER NOT NULL DEFAULT 0");
    db.exec(
        "UPDATE machines SET welds = (SELECT count(*) FROM welds w WHERE w.machine = machines.id)");
    Statement welds(
        db, "SELECT w.id, w.machine, ifnull(w.day, 0), w.line, m.family "
            "FROM welds w JOIN machines m ON m.id = w.machine ORDER BY w.machine, w.day, w.id");
    Statement add(
        db, "INSERT OR IGNORE INTO weld_keys(machine, day, line_key, weld) VALUES(?1, ?2, ?3, ?4)");
    while (welds.step()) {
        // The welds of version 2 are all different: a key taken is another line's.
        std::int64_t key = lineKey(welds.bytes(3), familyNamed(welds.bytes(4)));
        for (;; key = nextLineKey(key)) {
            add.bind(1, welds.integer(1))
                .bind(2, welds.integer(2))
                .bind(3, key)
                .bind(4, welds.integer(0))
                .run();
            if (db.changes() > 0)
                break;
        }
    }
}

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
    if ((check.version == 0 && tables > 0) ||
        (check.version > 0 && application != kApplicationId)) {
        check.fault = ArchiveFault::NotArchive;
        check.error =
            "not a weld archive (an SQLite database of another kind); it was left as it is";
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
        // Pages of 16 KiB for a new archive (an archive made already keeps its own):
        // a quarter of the writes of the default's for the same rows.
        db.exec("PRAGMA page_size = 16384");
        db.exec("PRAGMA journal_mode = WAL");
        // In WAL mode a killed program loses no committed file; a power cut may lose
        // the last files imported, never leave one in part.
        db.exec("PRAGMA synchronous = NORMAL");
        db.exec(
            "PRAGMA journal_size_limit = 67108864");  // the log kept at 64 MiB after a checkpoint
    }
    // Readers keep 64 MiB of pages. An import appends pages it does not read again:
    // 8 MiB keeps the trees' upper pages, and the pages beyond go to the log as they
    // fill instead of into fresh memory (whose first touch costs more than the write).
    db.exec(writing ? "PRAGMA cache_size = -8192" : "PRAGMA cache_size = -65536");
    db.exec("PRAGMA temp_store = MEMORY");
}

void createSchema(Database& db)
{
    Transaction transaction(db);
    if (db.integer("PRAGMA user_version") == 0) {  // another program may have made it meanwhile
        db.exec(kSchema);
        db.exec(kWeldsTable);
        db.exec(kIndexTables);
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
    if (db.integer("PRAGMA user_version") == from) {  // another program may have done it meanwhile
        if (from < 2)
            db.exec(kUpgradeTo2);
        if (from < 3)
            upgradeTo3(db);
        db.exec(("PRAGMA user_version = " + std::to_string(kArchiveSchemaVersion)).c_str());
    }
    transaction.commit();
}

std::int64_t lineKey(std::string_view line, MachineFamily family)
{
    // The high half of the fleet summary's hash of the weld (its serial is a field of
    // the line).
    return std::int64_t(hashText(line, std::uint64_t(family)).high);
}

std::int64_t nextLineKey(std::int64_t key)
{
    return std::int64_t(std::uint64_t(key) + 1);
}

std::int64_t julianDayOf(Day day)
{
    return std::int64_t(day.time_since_epoch().count()) + 2440588;
}

Day dayOfJulian(std::int64_t julianDay)
{
    return Day(std::chrono::days(julianDay - 2440588));
}

std::string shownArchive(const std::filesystem::path& path)
{
    return shownPath(path);
}

}  // namespace kestrava::archive
