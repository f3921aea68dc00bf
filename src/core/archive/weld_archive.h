// The weld archive: every weld of many downloads in one SQLite file, each weld once,
// so that the welds of a machine, a period or an error code are found without
// opening the downloads again.
//
// Downloads are read as the listing reads them (a "pfd" file decoded on the way,
// nothing written beside it); each is imported in one transaction, so that a file is
// in the archive whole or not at all, whatever stops the program. A weld is the
// machine (serial number and family) and the bytes of its record line, as in the
// fleet summary: overlapping downloads add each weld once, and a download already in
// the archive (the same plain text, under any name or kind) adds nothing.
//
// An archive written by a newer version of the program, or a damaged one, is refused
// before anything is written to it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/files/file_result.h"
#include "core/fleet/fleet_summary.h"
#include "core/listing/listing.h"
#include "core/listing/record_filter.h"

namespace kestrava {

namespace archive {
class Database;
class RecordReading;
}  // namespace archive

// The layout this program writes (PRAGMA user_version); an archive of a later one is
// refused.
constexpr int kArchiveSchemaVersion = 3;

// archive.sqlite in the per-user data folder: $XDG_DATA_HOME/Kestrava/kestrava (else
// ~/.local/share/Kestrava/kestrava), %LOCALAPPDATA%\Kestrava\kestrava on Windows.
// Empty when neither the variables nor a home folder say where that is.
std::filesystem::path defaultArchivePath();

enum class ArchiveFault {
    None,
    Missing,  // no archive there (reading)
    Open,  // the file cannot be opened or created
    NotArchive,  // not an SQLite file, or one without the archive's tables
    Newer,  // written by a newer version of the program
    Damaged,  // the integrity check found faults
    Failed,  // a query or a write failed (disk full, locked too long, ...)
};

struct ArchiveError {
    ArchiveFault fault = ArchiveFault::None;
    std::string text;  // English, for the command line
    bool ok() const { return fault == ArchiveFault::None; }
};

// One file given to an import and what became of it.
struct ImportedFile {
    enum class Outcome {
        Added,  // its welds are in the archive now (some may have been there)
        AlreadyThere,  // the same download is in the archive already: nothing added
        Refused,  // not read: see reason; nothing of it is kept
    };
    std::filesystem::path path;
    Outcome outcome = Outcome::Refused;
    std::string reason;  // Refused, AlreadyThere: English, as the command line says it
    std::uint64_t weldsAdded = 0;  // Added
    std::uint64_t weldsKnown = 0;  // Added: record lines whose weld the archive held already
    // Refused, AlreadyThere: the reason, for a window to word in its language (no path:
    // the archive failed, and the report says so).
    UnreadFile why;
};

struct ImportReport {
    std::vector<ImportedFile> files;  // in the order imported
    std::uint64_t filesAdded = 0;
    std::uint64_t weldsAdded = 0;
    std::uint64_t weldsKnown = 0;
    std::uint64_t filesRefused = 0;
    bool cancelled = false;  // the files imported before the cancel stay
    ArchiveError error;  // the archive itself failed: the import stopped there
};

// The selection of a query. Empty lists and unset bounds select everything.
struct ArchiveQuery {
    std::vector<std::string> machines;  // serial numbers, exactly as in the files
    std::optional<Day> from;  // record dates, whole days, both included
    std::optional<Day> to;
    std::vector<std::int16_t> errors;  // error numbers, as the listing's error filter reads them
    std::string text;  // bytes found anywhere in the record line

    // The query of a listing filter (its bounds, its one error number).
    static ArchiveQuery of(const ListingFilter& filter);
};

// A weld as the archive keeps it.
struct StoredWeld {
    std::int64_t id = 0;
    std::string serial;
    MachineFamily family = MachineFamily::Unknown;
    std::optional<Day> day;
    std::optional<std::int16_t> error;
    std::string line;  // the record line
    std::string header;  // the header line of the download it was first seen in
    std::string firstFile;  // that download's name
};

struct ErrorCount {
    MachineFamily family = MachineFamily::Unknown;
    std::string label;  // the family's code ("E20"); empty for an error field that names no code
    std::uint64_t count = 0;
};

struct MonthCount {
    int year = 0;  // 0 with month 0: records without a readable date
    unsigned month = 0;
    std::uint64_t count = 0;
    std::uint64_t notE00 = 0;  // of count: records whose error code is not the family's E00
};

// The order of a page of welds: as imported, or by date, machine or error number, each
// then by the order imported. Welds without a date or error number come first in an
// ascending order and last in a descending one.
enum class WeldOrder { Imported, Date, Machine, Error };

struct ArchivedMachine {
    std::string serial;
    MachineFamily family = MachineFamily::Unknown;
    std::uint64_t welds = 0;
};

struct ArchivedDownload {
    std::string name;
    std::string kind;  // "xls" or "pfd"
    std::uint64_t size = 0;
    std::string imported;  // UTC, ISO 8601
    std::uint64_t records = 0;
};

class WeldArchive {
public:
    WeldArchive();
    ~WeldArchive();
    WeldArchive(const WeldArchive&) = delete;
    WeldArchive& operator=(const WeldArchive&) = delete;

    // Opens the archive at path. forImport: created (with its folder) when missing.
    // Refuses, without writing to it, a file that is not an archive, one of a newer
    // layout, and a damaged one.
    ArchiveError open(const std::filesystem::path& path, bool forImport);

    // Imports the download files named by paths (files by their name, folders searched
    // with their subfolders for names ending in xls or pfd), largest first as the
    // fleet summary takes them. bytesRead counts the bytes of all files against their
    // sizes; returning false cancels: the files finished stay, the one being read
    // leaves nothing.
    ImportReport import(const std::vector<std::filesystem::path>& paths,
                        const Progress& bytesRead = {});

    // Calls seen with each weld selected, in the order imported (a download's welds in
    // the order of its lines), until it returns false.
    ArchiveError forEachWeld(const ArchiveQuery& query,
                             const std::function<bool(const StoredWeld&)>& seen);

    // The fixed-column listing of the welds selected, as the listing run writes it:
    // the welds under the header line of the download each was first seen in, one
    // listing after the other for each header (in the order of their first weld).
    ArchiveError listing(const ArchiveQuery& query, const ListingRun::Write& write);

    // CSV (csv_text.h, bytes as in the files): a row of the header's column names,
    // then a row of fields per weld; a weld under another header starts with a row of
    // that header's names.
    ArchiveError csv(const ArchiveQuery& query, const ListingRun::Write& write);

    // The welds selected as the CSV has them: group(header line, family) before each
    // header's welds, then weld(record line) for each in the order imported; either
    // returning false ends the walk.
    ArchiveError
    forEachGroup(const ArchiveQuery& query,
                 const std::function<bool(std::string_view header, MachineFamily family)>& group,
                 const std::function<bool(std::string_view line)>& weld);

    // The counts of the welds selected per error code (by family, in the order of the
    // family's table, then the records whose error field names no code) and per month.
    ArchiveError errorCounts(const ArchiveQuery& query, std::vector<ErrorCount>& counts);
    ArchiveError monthCounts(const ArchiveQuery& query, std::vector<MonthCount>& counts);

    // Up to limit welds of the selection in order, those after the weld after (the last
    // of the page before; none: from the first). Each page is found through the
    // indexes from where the last one ended, however far into the selection it is.
    ArchiveError page(const ArchiveQuery& query, WeldOrder order, bool descending,
                      const StoredWeld* after, std::size_t limit, std::vector<StoredWeld>& welds);

    // Every machine of the archive with its number of welds, by serial number.
    ArchiveError machines(std::vector<ArchivedMachine>& machines);

    // The downloads a weld stands in, the one it was first seen in first.
    ArchiveError filesOf(std::int64_t weldId, std::vector<ArchivedDownload>& files);

    // The fleet summary of the welds selected: a machine's files are the downloads in
    // which its selected welds were first seen.
    ArchiveError summary(const ArchiveQuery& query, FleetSummary& summary);

    ArchiveError downloads(std::vector<ArchivedDownload>& files);

private:
    struct Importer;
    ImportedFile importFile(const std::filesystem::path& path, std::uint64_t size,
                            const Progress& progress, bool& cancelled);
    ArchiveError failed(const std::exception& error) const;
    // Lets the import's statements go, before the connection they were prepared on.
    void dropStatements();

    struct Statements;
    std::unique_ptr<archive::Database> db_;
    std::unique_ptr<Statements> statements_;  // of the import, made by the first one
    std::unique_ptr<archive::RecordReading> reading_;  // of the import, likewise
    std::filesystem::path path_;
};

}  // namespace kestrava
