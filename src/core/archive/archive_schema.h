// The archive's tables, the checks made before an archive is used, and the day
// numbers its dates are kept in. Shared by the import and the queries.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <string_view>

#include "core/archive/weld_archive.h"
#include "core/settings/regional.h"

namespace kestrava::archive {

class Database;

// PRAGMA application_id of an archive ("KSWA"): an SQLite file of another program is
// not taken for one.
constexpr std::int64_t kApplicationId = 0x4b535741;

struct SchemaCheck {
    int version = 0;  // 0: an empty database, the tables still to be made
    ArchiveFault fault = ArchiveFault::None;
    std::string error;  // empty when the archive may be used
};

// Reads the version and runs PRAGMA quick_check; writes nothing.
SchemaCheck checkSchema(Database& db);

// The settings of every connection (WAL journal and full syncs when writing).
void prepareConnection(Database& db, bool writing);

// Makes the tables of an empty database and sets its version.
void createSchema(Database& db);

// Brings an archive of an older layout (version `from`, 1 to the current one less one)
// to the current layout: first a whole copy of it is written to `copy` (which must not
// exist), then the changes from each layout to the next are made in one transaction. Throws SqliteError; on a throw
// the archive is as it was.
void upgradeSchema(Database& db, int from, const std::filesystem::path& copy);

// The key of a weld: a 64-bit hash of its record line under its family.
std::int64_t lineKey(std::string_view line, MachineFamily family);

// The key of a weld in weld_keys: a 64-bit hash of its record line under its family;
// a line whose key another line of its machine and day holds takes the next free one.
std::int64_t lineKey(std::string_view line, MachineFamily family);
std::int64_t nextLineKey(std::int64_t key);

// Dates are kept as Julian day numbers (2440588 is 1 January 1970), which SQLite's
// date functions read as they stand: date(day) gives the ISO date.
std::int64_t julianDayOf(Day day);
Day dayOfJulian(std::int64_t julianDay);

// The archive's path as messages name it.
std::string shownArchive(const std::filesystem::path& path);

}  // namespace kestrava::archive
