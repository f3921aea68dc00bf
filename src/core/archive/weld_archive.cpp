#include "core/archive/weld_archive.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <tuple>

#include "core/archive/archive_schema.h"
#include "core/archive/sqlite_db.h"
#include "core/files/file_io.h"
#include "core/files/path_text.h"
#include "core/fleet/weld_set.h"
#include "core/text/download_file.h"

namespace kestrava {

using archive::Database;
using archive::SqliteError;
using archive::Statement;
using archive::Transaction;

std::filesystem::path defaultArchivePath()
{
    const auto fromVariable = [](const char* name) -> std::filesystem::path {
        const char* value = std::getenv(name);
        return value && *value ? pathFromUtf8(value) : std::filesystem::path();
    };
#ifdef _WIN32
    std::filesystem::path base = fromVariable("LOCALAPPDATA");
#else
    std::filesystem::path base = fromVariable("XDG_DATA_HOME");
    if (base.empty()) {
        const std::filesystem::path home = fromVariable("HOME");
        if (!home.empty())
            base = home / ".local" / "share";
    }
#endif
    if (base.empty())
        return {};
    return base / "Kestrava" / "kestrava" / "archive.sqlite";
}

ArchiveQuery ArchiveQuery::of(const ListingFilter& filter)
{
    ArchiveQuery query;
    if (filter.dateOn) {
        // The command line leaves an open end at the calendar's limits.
        if (filter.from != Day::min())
            query.from = filter.from;
        if (filter.to != Day::max())
            query.to = filter.to;
    }
    if (filter.errorOn)
        query.errors.push_back(filter.errorNumber);
    return query;
}

WeldArchive::WeldArchive() = default;
WeldArchive::~WeldArchive() = default;

ArchiveError WeldArchive::failed(const std::exception& error) const
{
    return {ArchiveFault::Failed, archive::shownArchive(path_) + ": " + error.what()};
}

namespace {

ArchiveError refusal(ArchiveFault fault, const std::filesystem::path& path, const std::string& why)
{
    return {fault, archive::shownArchive(path) + ": " + why};
}

}  // namespace

ArchiveError WeldArchive::open(const std::filesystem::path& path, bool forImport)
{
    db_.reset();
    path_ = path;
    fileio::PathStatus status;
    if (const FileResult fault = fileio::pathStatus(path, status); !fault)
        return refusal(ArchiveFault::Open, path, "cannot be read (" + fault.detail + ")");
    if (status.kind == fileio::EntryKind::Missing && !forImport)
        return refusal(ArchiveFault::Missing, path, "no archive there (import downloads into it first)");
    if (status.kind != fileio::EntryKind::Missing && status.kind != fileio::EntryKind::File)
        return refusal(ArchiveFault::Open, path, "not a file");

    // Everything that decides whether the file may be used is read through a
    // connection that cannot write, so that a refused archive is left as it was.
    int version = 0;
    if (status.kind == fileio::EntryKind::File) {
        try {
            Database check;
            archive::SchemaCheck checked;
            try {
                check.open(path, false, false);
                checked = archive::checkSchema(check);
            } catch (const SqliteError& error) {
                if (error.code != 8)  // SQLITE_READONLY
                    throw;
                // A program killed while writing left a log that only a connection that
                // may write can take back in (it changes nothing of what was committed).
                check.open(path, true, false);
                checked = archive::checkSchema(check);
            }
            if (!checked.error.empty())
                return refusal(checked.fault, path, checked.error);
            version = checked.version;
        } catch (const SqliteError& error) {
            if (error.code == 26)  // SQLITE_NOTADB
                return refusal(ArchiveFault::NotArchive, path, "not a weld archive (not an SQLite database)");
            if (error.code == 11)  // SQLITE_CORRUPT
                return refusal(ArchiveFault::Damaged, path,
                               std::string("the archive is damaged (") + error.what() + "); it was left as it is");
            return refusal(ArchiveFault::Open, path, std::string("cannot be opened (") + error.what() + ")");
        }
    } else {
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
    }

    auto db = std::make_unique<Database>();
    try {
        if (version > 0 && version < kArchiveSchemaVersion) {
            // An archive of an older version is brought up to date once, a copy of it
            // kept beside it under the old version's number.
            std::filesystem::path copy = path;
            copy += ".v" + std::to_string(version) + ".bak";
            fileio::PathStatus copyStatus;
            if (fileio::pathStatus(copy, copyStatus) && copyStatus.kind != fileio::EntryKind::Missing)
                return refusal(ArchiveFault::Open, path,
                               "written by an older version; it is to be brought up to date, but its copy " +
                                   shownPath(copy) + " is in the way: move that file elsewhere first");
            Database upgrade;
            upgrade.open(path, true, false);
            archive::prepareConnection(upgrade, true);
            archive::upgradeSchema(upgrade, version, copy);
        }
        db->open(path, forImport, forImport);
        archive::prepareConnection(*db, forImport);
        if (forImport && version == 0)
            archive::createSchema(*db);
    } catch (const SqliteError& error) {
        return refusal(ArchiveFault::Open, path, std::string("cannot be opened (") + error.what() + ")");
    }
    db_ = std::move(db);
    return {};
}

namespace {

std::array<char, 16> hashBytes(const Hash128& hash)
{
    std::array<char, 16> bytes{};
    for (int i = 0; i < 8; ++i) {
        bytes[std::size_t(i)] = char(hash.high >> (56 - 8 * i));
        bytes[std::size_t(8 + i)] = char(hash.low >> (56 - 8 * i));
    }
    return bytes;
}

std::string_view bytesOf(const std::array<char, 16>& bytes) { return {bytes.data(), bytes.size()}; }

}  // namespace

// The statements of one file's import, inside its transaction. Welds go in kBatch at
// a time, one statement for them all, unless a weld has no date (the key does not
// tell such welds apart: each is looked for first) or the batch had welds already
// there (each is then looked up for its sighting).
struct WeldArchive::Importer {
    static constexpr std::size_t kBatch = 64;

    explicit Importer(Database& db)
        : addDownload(db, "INSERT INTO downloads(name, kind, size, imported) "
                          "VALUES(?1, ?2, ?3, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))"),
          sameDownload(db, "SELECT name FROM downloads WHERE content_hash = ?1"),
          finishDownload(db, "UPDATE downloads SET content_hash = ?1, family = ?2, header = ?3, "
                             "records = ?4 WHERE id = ?5"),
          addMachine(db, "INSERT OR IGNORE INTO machines(serial, family) VALUES(?1, ?2)"),
          findMachine(db, "SELECT id FROM machines WHERE serial = ?1 AND family = ?2"),
          addWeld(db, insertSql(1)),
          addWelds(db, insertSql(kBatch)),
          findWeld(db, "SELECT id FROM welds WHERE machine = ?1 AND day IS ?2 AND line_hash = ?3"),
          addSighting(db, "INSERT OR IGNORE INTO sightings(weld, download) VALUES(?1, ?2)"),
          db_(db),
          lastBefore_(db.integer("SELECT ifnull(max(id), 0) FROM welds"))
    {
        pending_.reserve(kBatch);
    }

    std::int64_t machineOf(std::string_view serial, MachineFamily family)
    {
        if (family == lastFamily_ && serial == lastSerial_)
            return lastMachineId_;
        const auto key = std::make_pair(family, std::string(serial));
        auto found = machines_.find(key);
        if (found == machines_.end()) {
            const std::string_view name = familyName(family);
            addMachine.bindBlob(1, serial).bindText(2, name).run();
            findMachine.bindBlob(1, serial).bindText(2, name);
            findMachine.step();
            const std::int64_t id = findMachine.integer(0);
            findMachine.reset();
            found = machines_.emplace(key, id).first;
        }
        lastFamily_ = family;
        lastSerial_ = serial;
        lastMachineId_ = found->second;
        return found->second;
    }

    void record(std::string_view line, MachineFamily family)
    {
        Pending weld;
        weld.machine = machineOf(fieldOf(line, serialFieldOf(family)), family);
        // The key of the fleet summary: the line's bytes under the family's seed (the
        // serial is a field of the line).
        weld.key = hashBytes(hashText(line, std::uint64_t(family)));
        if (const auto date = recordDay(line, family))
            weld.day = archive::julianDayOf(*date);
        if (const auto number = recordErrorNumber(line, family))
            weld.error = *number;
        if (const auto found = errorCodeRow(family, fieldOf(line, errorFieldOf(family))))
            weld.row = *found;
        if (!weld.day) {
            flush();  // the welds keep the order of their lines
            if (!sightingOf(weld))
                insertOne(weld, line);
            return;
        }
        weld.start = lines_.size();
        weld.size = line.size();
        lines_.append(line);
        pending_.push_back(weld);
        if (pending_.size() == kBatch)
            flush();
    }

    // Puts the welds still held into the archive.
    void flush()
    {
        if (pending_.size() == kBatch) {
            int index = 1;
            for (const Pending& weld : pending_)
                index = bindWeld(addWelds, index, weld, lineOf(weld));
            addWelds.run();
            const auto inserted = std::uint64_t(db_.changes());
            added += inserted;
            if (inserted < kBatch) {
                for (const Pending& weld : pending_)
                    sightingOf(weld, /*count=*/false);
                known += kBatch - inserted;
            }
        } else {
            for (const Pending& weld : pending_)
                insertOne(weld, lineOf(weld));
        }
        pending_.clear();
        lines_.clear();
    }

    Statement addDownload, sameDownload, finishDownload, addMachine, findMachine, addWeld, addWelds, findWeld,
        addSighting;
    std::int64_t download = 0;
    std::uint64_t added = 0;
    std::uint64_t known = 0;

private:
    struct Pending {
        std::int64_t machine = 0;
        std::array<char, 16> key{};
        std::optional<std::int64_t> day;
        std::optional<std::int64_t> error;
        std::optional<std::int64_t> row;
        std::size_t start = 0;  // the line in lines_
        std::size_t size = 0;
    };

    static std::string insertSql(std::size_t rows)
    {
        std::string sql = "INSERT OR IGNORE INTO welds(machine, download, day, error, error_row, line, line_hash) VALUES";
        for (std::size_t i = 0; i < rows; ++i)
            sql += i ? ",(?,?,?,?,?,?,?)" : "(?,?,?,?,?,?,?)";
        return sql;
    }

    std::string_view lineOf(const Pending& weld) const { return std::string_view(lines_).substr(weld.start, weld.size); }

    int bindWeld(Statement& statement, int index, const Pending& weld, std::string_view line)
    {
        statement.bind(index, weld.machine).bind(index + 1, download).bind(index + 2, weld.day);
        statement.bind(index + 3, weld.error).bind(index + 4, weld.row);
        statement.bindBlobInPlace(index + 5, line).bindBlobInPlace(index + 6, bytesOf(weld.key));
        return index + 7;
    }

    void insertOne(const Pending& weld, std::string_view line)
    {
        bindWeld(addWeld, 1, weld, line);
        addWeld.run();
        if (db_.changes() > 0)
            ++added;
        else
            sightingOf(weld);
    }

    // Whether the weld is in the archive already; one of an earlier download then
    // stands in this one too.
    bool sightingOf(const Pending& weld, bool count = true)
    {
        findWeld.bind(1, weld.machine).bind(2, weld.day).bindBlobInPlace(3, bytesOf(weld.key));
        const bool found = findWeld.step();
        const std::int64_t id = found ? findWeld.integer(0) : 0;
        findWeld.reset();
        if (!found)
            return false;
        if (count)
            ++known;
        if (id <= lastBefore_)
            addSighting.bind(1, id).bind(2, download).run();
        return true;
    }

    Database& db_;
    std::int64_t lastBefore_;  // the welds of this file have larger ids
    std::vector<Pending> pending_;
    std::string lines_;
    std::map<std::pair<MachineFamily, std::string>, std::int64_t> machines_;
    MachineFamily lastFamily_ = MachineFamily::Unknown;
    std::string lastSerial_ = std::string(1, '\n');  // no serial field holds a line end
    std::int64_t lastMachineId_ = 0;
};

ImportedFile WeldArchive::importFile(const std::filesystem::path& path, std::uint64_t size,
                                     const Progress& progress, bool& cancelled)
{
    ImportedFile file;
    file.path = path;
    const DownloadKind kind = downloadKindOf(path.string());
    if (kind == DownloadKind::Refused) {
        file.reason = "not a download file: the name must end in xls or pfd";
        return file;
    }

    Transaction transaction(*db_);
    Importer importer(*db_);
    importer.addDownload.bindText(1, utf8Text(path))
        .bindText(2, kind == DownloadKind::Encrypted ? "pfd" : "xls")
        .bind(3, std::int64_t(size))
        .run();
    importer.download = db_->lastInsertId();

    // The header line as it stands, for listing the welds under it later.
    std::string header;
    bool headerEnded = false;
    TextHash text;
    ListingRun run(ListingFilter{}, std::string(), ListingRun::Write());
    run.setPieceSeen([&](std::string_view piece) {
        text.add(piece);
        if (!headerEnded) {
            const std::size_t end = piece.find('\r');
            header.append(piece.substr(0, end));
            headerEnded = end != std::string_view::npos;
        }
    });
    // A failing write ends the run through its progress: the file's transaction is
    // rolled back.
    std::optional<SqliteError> writeFailed;
    run.setRecordSeen([&](std::string_view record, MachineFamily family) {
        if (writeFailed)
            return;
        try {
            importer.record(record, family);
        } catch (const SqliteError& error) {
            writeFailed = error;
        }
    });
    const Progress fileProgress = [&](std::uint64_t done, std::uint64_t total) {
        if (writeFailed)
            return false;
        if (progress && !progress(done, total)) {
            cancelled = true;
            return false;
        }
        return true;
    };
    const ListingFileResult listed = listDownload(path, kind == DownloadKind::Encrypted, run, fileProgress);
    if (writeFailed)
        throw *writeFailed;
    if (!cancelled && listed.file.ok())
        importer.flush();
    if (cancelled)
        return file;
    if (!listed.file.ok()) {
        FileResult shown = listed.file;  // the name stands before the reason already
        shown.path.clear();
        file.reason = describe(shown);
        return file;
    }
    if (listed.summary.outcome != ListingOutcome::Listed) {
        file.reason = notDownloadReason(listed.summary.outcome);
        return file;
    }

    const std::array<char, 16> contentHashBytes = hashBytes(text.result());
    const std::string_view contentHash = bytesOf(contentHashBytes);
    importer.sameDownload.bindBlob(1, contentHash);
    if (importer.sameDownload.step()) {
        file.outcome = ImportedFile::Outcome::AlreadyThere;
        file.reason = "the same download as " + std::string(importer.sameDownload.bytes(0)) +
                      ", already in the archive";
        file.weldsKnown = importer.known + importer.added;
        return file;  // rolled back: nothing of it is kept
    }
    importer.sameDownload.reset();
    importer.finishDownload.bindBlob(1, contentHash)
        .bindText(2, familyName(listed.summary.family))
        .bindBlob(3, header)
        .bind(4, std::int64_t(listed.summary.records))
        .bind(5, importer.download)
        .run();
    transaction.commit();
    file.outcome = ImportedFile::Outcome::Added;
    file.weldsAdded = importer.added;
    file.weldsKnown = importer.known;
    return file;
}

ImportReport WeldArchive::import(const std::vector<std::filesystem::path>& paths, const Progress& bytesRead)
{
    ImportReport report;
    std::vector<UnreadFile> unread;
    const std::vector<std::filesystem::path> files = downloadFilesIn(paths, unread);
    for (const UnreadFile& file : unread) {
        ImportedFile refused;
        refused.path = file.path;
        refused.reason = file.reason;
        if (!file.original.empty()) {
            refused.reason += ' ';
            refused.reason += utf8Text(file.original);
        }
        report.files.push_back(std::move(refused));
    }

    // Largest first, then plain before scrambled, then by name, as the fleet summary
    // takes them: a weld's first download is then the one the summary counts it for.
    struct Ranked {
        std::uint64_t size;
        bool scrambled;
        std::filesystem::path path;
    };
    std::vector<Ranked> order;
    std::uint64_t total = 0;
    for (const auto& path : files) {
        fileio::PathStatus status;
        fileio::pathStatus(path, status);
        order.push_back({status.size, downloadKindOf(path.string()) == DownloadKind::Encrypted, path});
        total += status.size;
    }
    std::sort(order.begin(), order.end(), [](const Ranked& a, const Ranked& b) {
        return std::tie(b.size, a.scrambled, a.path) < std::tie(a.size, b.scrambled, b.path);
    });

    std::uint64_t before = 0;
    for (const Ranked& each : order) {
        const Progress fileProgress = [&](std::uint64_t done, std::uint64_t) {
            return !bytesRead || bytesRead(before + std::min(done, each.size), total);
        };
        bool cancelled = false;
        try {
            report.files.push_back(importFile(each.path, each.size, fileProgress, cancelled));
        } catch (const SqliteError& error) {
            report.error = failed(error);
            report.files.push_back({each.path, ImportedFile::Outcome::Refused,
                                    "not imported: the archive could not be written", 0, 0});
            break;
        }
        if (cancelled) {
            report.files.pop_back();
            report.cancelled = true;
            break;
        }
        before += each.size;
        if (bytesRead && !bytesRead(before, total)) {
            report.cancelled = true;
            break;
        }
    }
    for (const ImportedFile& file : report.files) {
        if (file.outcome == ImportedFile::Outcome::Added)
            ++report.filesAdded;
        else if (file.outcome == ImportedFile::Outcome::Refused)
            ++report.filesRefused;
        report.weldsAdded += file.weldsAdded;
        report.weldsKnown += file.weldsKnown;
    }
    return report;
}

}  // namespace kestrava
