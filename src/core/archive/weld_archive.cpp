#include "core/archive/weld_archive.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <map>
#include <span>
#include <tuple>
#include <unordered_set>

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
    statements_.reset();
    db_.reset();
    path_ = path;
    fileio::PathStatus status;
    if (const FileResult fault = fileio::pathStatus(path, status); !fault)
        return refusal(ArchiveFault::Open, path, "cannot be read (" + fault.detail + ")");
    if (status.kind == fileio::EntryKind::Missing && !forImport)
        return refusal(ArchiveFault::Missing, path,
                       "no archive there (import downloads into it first)");
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
                return refusal(ArchiveFault::NotArchive, path,
                               "not a weld archive (not an SQLite database)");
            if (error.code == 11)  // SQLITE_CORRUPT
                return refusal(ArchiveFault::Damaged, path,
                               std::string("the archive is damaged (") + error.what() +
                                   "); it was left as it is");
            return refusal(ArchiveFault::Open, path,
                           std::string("cannot be opened (") + error.what() + ")");
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
            if (fileio::pathStatus(copy, copyStatus) &&
                copyStatus.kind != fileio::EntryKind::Missing)
                return refusal(
                    ArchiveFault::Open, path,
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
        return refusal(ArchiveFault::Open, path,
                       std::string("cannot be opened (") + error.what() + ")");
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

std::string_view bytesOf(const std::array<char, 16>& bytes)
{
    return {bytes.data(), bytes.size()};
}

// Rows a statement of the import inserts.
constexpr std::size_t kImportBatch = 64;

// An INSERT of rows rows of columns values each.
std::string insertSql(const char* into, int columns, std::size_t rows)
{
    std::string row = "(?";
    for (int i = 1; i < columns; ++i)
        row += ",?";
    row += ")";
    std::string sql = std::string("INSERT INTO ") + into + " VALUES";
    for (std::size_t i = 0; i < rows; ++i)
        sql += (i ? "," : "") + row;
    return sql;
}

}  // namespace

// The statements of the import, prepared once for all the files of an archive.
struct WeldArchive::Statements {
    explicit Statements(Database& db)
        : addDownload(db, "INSERT INTO downloads(name, kind, size, imported) "
                          "VALUES(?1, ?2, ?3, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))"),
          sameDownload(db, "SELECT name FROM downloads WHERE content_hash = ?1"),
          finishDownload(db, "UPDATE downloads SET content_hash = ?1, family = ?2, header = ?3, "
                             "records = ?4 WHERE id = ?5"),
          addMachine(db, "INSERT OR IGNORE INTO machines(serial, family) VALUES(?1, ?2)"),
          findMachine(db, "SELECT id FROM machines WHERE serial = ?1 AND family = ?2"),
          addWeld(db, insertSql("welds(id, machine, download, day, error, error_row, line)", 7, 1)),
          addWelds(db, insertSql("welds(id, machine, download, day, error, error_row, line)", 7,
                                 kImportBatch)),
          keysOfDay(db, "SELECT line_key, weld FROM weld_keys WHERE machine = ?1 AND day = ?2"),
          lineOf(db, "SELECT line FROM welds WHERE id = ?1"),
          addSighting(db, "INSERT OR IGNORE INTO sightings(weld, download) VALUES(?1, ?2)"),
          addKey(db, insertSql("weld_keys(machine, day, line_key, weld)", 4, 1)),
          addKeys(db, insertSql("weld_keys(machine, day, line_key, weld)", 4, kImportBatch)),
          addDay(db, "INSERT OR IGNORE INTO machine_days(day, machine) VALUES(?1, ?2)"),
          addCount(db, "UPDATE machines SET welds = welds + ?2 WHERE id = ?1"),
          lastWeld(db, "SELECT ifnull(max(id), 0) FROM welds"),
          lastMachine(db, "SELECT ifnull(max(id), 0) FROM machines")
    { }

    // Each statement ready for a new file (a failure may have left one stepped).
    void reset()
    {
        for (Statement* each :
             {&addDownload, &sameDownload, &finishDownload, &addMachine, &findMachine, &addWeld,
              &addWelds, &keysOfDay, &lineOf, &addSighting, &addKey, &addKeys, &addDay, &addCount,
              &lastWeld, &lastMachine})
            each->reset();
    }

    std::int64_t last(Statement& statement)
    {
        const std::int64_t id = statement.step() ? statement.integer(0) : 0;
        statement.reset();
        return id;
    }

    Statement addDownload, sameDownload, finishDownload, addMachine, findMachine, addWeld, addWelds,
        keysOfDay, lineOf, addSighting, addKey, addKeys, addDay, addCount, lastWeld, lastMachine;
};

// One file's import, inside its transaction. The file's record lines are held (up to
// kHold bytes of them) before any is written, so that a download already in the
// archive, found by its content hash at the end, costs no writes of its welds. Each weld is
// looked for among the keys of its machine and day, which are read from weld_keys once
// for the file; new welds are appended to the welds' table kBatch rows a statement,
// and their entries of the index tables are written, sorted, when the file is done.
struct WeldArchive::Importer {
    static constexpr std::size_t kBatch = kImportBatch;
    static constexpr std::size_t kHold = std::size_t(8) << 20;

    Importer(Statements& statements, std::uint64_t fileSize)
        : fileSize_(fileSize), addDownload(statements.addDownload),
          sameDownload(statements.sameDownload), finishDownload(statements.finishDownload),
          addMachine(statements.addMachine), findMachine(statements.findMachine),
          addWeld_(statements.addWeld), addWelds_(statements.addWelds),
          keysOfDay_(statements.keysOfDay), lineOf_(statements.lineOf),
          addSighting_(statements.addSighting), addKey_(statements.addKey),
          addKeys_(statements.addKeys), addDay_(statements.addDay), addCount_(statements.addCount),
          lastBefore_(statements.last(statements.lastWeld)), nextId_(lastBefore_ + 1),
          machinesBefore_(statements.last(statements.lastMachine))
    { }

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
        Held weld;
        weld.machine = machineOf(fieldOf(line, serialFieldOf(family)), family);
        weld.key = archive::lineKey(line, family);
        if (const auto date = recordDay(line, family))
            weld.day = archive::julianDayOf(*date);
        if (const auto number = recordErrorNumber(line, family))
            weld.error = *number;
        if (const auto found = errorCodeRow(family, fieldOf(line, errorFieldOf(family))))
            weld.row = *found;
        weld.start = lines_.size();
        weld.size = line.size();
        lines_.append(line);
        held_.push_back(weld);
        if (lines_.size() >= kHold)
            place();
    }

    // Puts the welds held into the archive (the first time with room for as many as
    // the file's size suggests).
    void place()
    {
        if (!reserved_ && !held_.empty()) {
            reserved_ = true;
            keys_.reserve(std::size_t(std::min<std::uint64_t>(
                std::max<std::uint64_t>(fileSize_ /
                                            std::max<std::size_t>(1, lines_.size() / held_.size()),
                                        held_.size()),
                std::uint64_t(1) << 26)));
        }
        for (Held& weld : held_)
            place(weld);
        flushWelds();
        held_.clear();
        lines_.clear();
    }

    // Writes the file's entries of the index tables.
    void finish()
    {
        place();
        std::vector<Entry> entries = keys_.take();
        // Those of the welds this file adds, in the order of the table.
        const auto fromHere =
            std::partition(entries.begin(), entries.end(),
                           [&](const Entry& entry) { return entry.weld <= lastBefore_; });
        const std::span<const Entry> fresh(fromHere, entries.end());
        std::sort(fromHere, entries.end());
        std::size_t done = 0;
        for (; fresh.size() - done >= kBatch; done += kBatch) {
            int index = 1;
            for (std::size_t i = done; i < done + kBatch; ++i)
                index = bindKey(addKeys_, index, fresh[i]);
            addKeys_.run();
        }
        for (; done < fresh.size(); ++done) {
            bindKey(addKey_, 1, fresh[done]);
            addKey_.run();
        }
        std::vector<std::pair<std::int64_t, std::int64_t>> days;
        days.reserve(days_.size());
        for (const std::uint64_t group : days_)
            days.emplace_back(std::int64_t(group & 0xffffffffu), std::int64_t(group >> 32));
        std::sort(days.begin(), days.end());
        for (const auto& [day, machine] : days)
            addDay_.bind(1, day).bind(2, machine).run();
        for (const auto& [machine, count] : addedTo_)
            addCount_.bind(1, machine).bind(2, count).run();
    }

private:
    std::uint64_t fileSize_;

public:
    Statement &addDownload, &sameDownload, &finishDownload, &addMachine, &findMachine;
    std::int64_t download = 0;
    std::uint64_t added = 0;
    std::uint64_t known = 0;

private:
    struct Held {
        std::int64_t machine = 0;
        std::int64_t key = 0;
        std::optional<std::int64_t> day;
        std::optional<std::int64_t> error;
        std::optional<std::int64_t> row;
        std::size_t start = 0;  // the line in lines_
        std::size_t size = 0;
        std::int64_t id = 0;  // once placed as a new weld
    };

    // A weld's entry of weld_keys.
    struct Entry {
        std::int64_t machine, day, key, weld;
        auto operator<=>(const Entry&) const = default;
    };

    // The keys of the machines and days met, those read from weld_keys and those of
    // the welds this file adds: entries_ in an open-addressing table of their indexes.
    class Keys {
    public:
        // The id of the weld with the key, or 0.
        std::int64_t find(std::int64_t machine, std::int64_t day, std::int64_t key) const
        {
            if (slots_.empty())
                return 0;
            for (std::size_t i = slotOf(machine, day, key);; i = (i + 1) & (slots_.size() - 1)) {
                if (slots_[i] == 0)
                    return 0;
                const Entry& entry = entries_[slots_[i] - 1];
                if (entry.key == key && entry.machine == machine && entry.day == day)
                    return entry.weld;
            }
        }

        void add(const Entry& entry)
        {
            if (2 * (entries_.size() + 1) > slots_.size())
                grow();
            entries_.push_back(entry);
            place(entries_.size());
        }

        // Room for count entries in all.
        void reserve(std::size_t count)
        {
            if (2 * count <= slots_.size())
                return;
            entries_.reserve(count);
            std::size_t size = 1024;
            while (size < 2 * count)
                size *= 2;
            slots_.assign(size, 0);
            for (std::size_t index = 1; index <= entries_.size(); ++index)
                place(index);
        }

        // The entries, the table emptied.
        std::vector<Entry> take()
        {
            slots_ = {};
            return std::move(entries_);
        }

    private:
        std::size_t slotOf(std::int64_t machine, std::int64_t day, std::int64_t key) const
        {
            // The key is a hash already; the machine and day only tell groups apart.
            const std::uint64_t mixed = std::uint64_t(key) ^
                                        (std::uint64_t(machine) * 0x9e3779b97f4a7c15u) ^
                                        (std::uint64_t(day) * 0xc2b2ae3d27d4eb4fu);
            return std::size_t(mixed >> 20) & (slots_.size() - 1);
        }

        void place(std::size_t index)
        {
            const Entry& entry = entries_[index - 1];
            std::size_t i = slotOf(entry.machine, entry.day, entry.key);
            while (slots_[i] != 0)
                i = (i + 1) & (slots_.size() - 1);
            slots_[i] = std::uint32_t(index);
        }

        void grow()
        {
            slots_.assign(std::max<std::size_t>(1024, slots_.size() * 2), 0);
            for (std::size_t index = 1; index <= entries_.size(); ++index)
                place(index);
        }

        std::vector<Entry> entries_;
        std::vector<std::uint32_t> slots_;  // 1 + an index of entries_; 0: free
    };

    std::string_view lineOf(const Held& weld) const
    {
        return std::string_view(lines_).substr(weld.start, weld.size);
    }

    static std::uint64_t groupOf(std::int64_t machine, std::int64_t day)
    {
        return (std::uint64_t(machine) << 32) | std::uint64_t(std::uint32_t(day));
    }

    // Whether the weld already there under this id has the line.
    bool sameLine(std::int64_t id, std::string_view line)
    {
        if (id >= firstUnwritten_)
            return lineOf(*unwritten_[std::size_t(id - firstUnwritten_)]) == line;
        lineOf_.bind(1, id);
        const bool same = lineOf_.step() && lineOf_.bytes(0) == line;
        lineOf_.reset();
        return same;
    }

    void place(Held& weld)
    {
        const std::int64_t day = weld.day.value_or(0);
        if (loaded_.insert(groupOf(weld.machine, day)).second && weld.machine <= machinesBefore_) {
            keysOfDay_.bind(1, weld.machine).bind(2, day);
            while (keysOfDay_.step())
                keys_.add({weld.machine, day, keysOfDay_.integer(0), keysOfDay_.integer(1)});
            keysOfDay_.reset();
        }
        const std::string_view line = lineOf(weld);
        for (;; weld.key = archive::nextLineKey(weld.key)) {
            const std::int64_t found = keys_.find(weld.machine, day, weld.key);
            if (found == 0)
                break;
            if (sameLine(found, line)) {
                ++known;
                // One of an earlier download: it stands in this one too.
                if (found <= lastBefore_)
                    addSighting_.bind(1, found).bind(2, download).run();
                return;
            }
        }
        weld.id = nextId_++;
        keys_.add({weld.machine, day, weld.key, weld.id});
        days_.insert(groupOf(weld.machine, day));
        if (addedTo_.empty() || addedTo_.back().first != weld.machine) {
            const auto found =
                std::find_if(addedTo_.begin(), addedTo_.end(),
                             [&](const auto& each) { return each.first == weld.machine; });
            if (found == addedTo_.end())
                addedTo_.emplace_back(weld.machine, 0);
            else
                std::iter_swap(found, addedTo_.end() - 1);
        }
        ++addedTo_.back().second;
        ++added;
        if (unwritten_.empty())
            firstUnwritten_ = weld.id;
        unwritten_.push_back(&weld);
        if (unwritten_.size() == kBatch)
            flushWelds();
    }

    int bindWeld(Statement& statement, int index, const Held& weld)
    {
        statement.bind(index, weld.id).bind(index + 1, weld.machine).bind(index + 2, download);
        statement.bind(index + 3, weld.day).bind(index + 4, weld.error).bind(index + 5, weld.row);
        statement.bindBlobInPlace(index + 6, lineOf(weld));
        return index + 7;
    }

    static int bindKey(Statement& statement, int index, const Entry& entry)
    {
        statement.bind(index, entry.machine).bind(index + 1, entry.day).bind(index + 2, entry.key);
        statement.bind(index + 3, entry.weld);
        return index + 4;
    }

    void flushWelds()
    {
        if (unwritten_.size() == kBatch) {
            int index = 1;
            for (const Held* weld : unwritten_)
                index = bindWeld(addWelds_, index, *weld);
            addWelds_.run();
        } else {
            for (const Held* weld : unwritten_) {
                bindWeld(addWeld_, 1, *weld);
                addWeld_.run();
            }
        }
        unwritten_.clear();
        firstUnwritten_ = std::numeric_limits<std::int64_t>::max();
    }

    Statement &addWeld_, &addWelds_, &keysOfDay_, &lineOf_, &addSighting_, &addKey_, &addKeys_,
        &addDay_, &addCount_;
    std::int64_t lastBefore_;  // the welds of this file have larger ids
    std::int64_t nextId_;
    std::int64_t machinesBefore_;  // the machines this file adds have no welds yet
    std::vector<Held> held_;
    bool reserved_ = false;
    std::string lines_;
    std::vector<const Held*> unwritten_;  // placed, not yet written
    std::int64_t firstUnwritten_ = std::numeric_limits<std::int64_t>::max();
    std::unordered_set<std::uint64_t> loaded_;  // the machines and days whose keys were read
    Keys keys_;
    std::unordered_set<std::uint64_t> days_;
    std::vector<std::pair<std::int64_t, std::int64_t>>
        addedTo_;  // machine, welds added; the last one's last
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
        file.why = {path, UnreadFile::Why::NotDownloadName, {}, file.reason, {}};
        return file;
    }

    Transaction transaction(*db_);
    if (!statements_)
        statements_ = std::make_unique<Statements>(*db_);
    statements_->reset();
    Importer importer(*statements_, size);
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
    const ListingFileResult listed =
        listDownload(path, kind == DownloadKind::Encrypted, run, fileProgress);
    if (writeFailed)
        throw *writeFailed;
    if (cancelled)
        return file;
    if (!listed.file.ok()) {
        FileResult shown = listed.file;  // the name stands before the reason already
        shown.path.clear();
        file.reason = describe(shown);
        file.why = {path, UnreadFile::Why::FileFault, listed.file, file.reason, {}};
        return file;
    }
    if (listed.summary.outcome != ListingOutcome::Listed) {
        file.reason = notDownloadReason(listed.summary.outcome);
        file.why = {path,
                    listed.summary.outcome == ListingOutcome::NoFamily
                        ? UnreadFile::Why::NoDateField
                        : UnreadFile::Why::UnknownHeader,
                    {},
                    file.reason,
                    {}};
        return file;
    }

    const std::array<char, 16> contentHashBytes = hashBytes(text.result());
    const std::string_view contentHash = bytesOf(contentHashBytes);
    importer.sameDownload.bindBlob(1, contentHash);
    if (importer.sameDownload.step()) {
        file.outcome = ImportedFile::Outcome::AlreadyThere;
        const std::string original(importer.sameDownload.bytes(0));
        file.reason = "the same download as " + original + ", already in the archive";
        file.why = {path, UnreadFile::Why::SameDownload, {}, file.reason, pathFromUtf8(original)};
        importer.sameDownload.reset();
        file.weldsKnown = listed.summary.records;
        return file;  // rolled back: nothing of it is kept
    }
    importer.sameDownload.reset();
    importer.finish();
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

ImportReport WeldArchive::import(const std::vector<std::filesystem::path>& paths,
                                 const Progress& bytesRead)
{
    ImportReport report;
    std::vector<UnreadFile> unread;
    const std::vector<std::filesystem::path> files = downloadFilesIn(paths, unread);
    for (const UnreadFile& file : unread) {
        ImportedFile refused;
        refused.path = file.path;
        refused.reason = file.reason;
        refused.why = file;
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
        order.push_back(
            {status.size, downloadKindOf(path.string()) == DownloadKind::Encrypted, path});
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
            report.files.push_back({each.path,
                                    ImportedFile::Outcome::Refused,
                                    "not imported: the archive could not be written",
                                    0,
                                    0,
                                    {}});
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
