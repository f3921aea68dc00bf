// The weld archive's import: each file read, its welds looked for among those the
// archive holds and the new ones written, in one transaction per file.
#include "core/archive/weld_archive.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <span>
#include <tuple>

#include "core/archive/archive_schema.h"
#include "core/archive/import_keys.h"
#include "core/archive/import_reading.h"
#include "core/archive/sqlite_db.h"
#include "core/files/file_io.h"
#include "core/files/path_text.h"
#include "core/fleet/weld_set.h"
#include "core/text/download_file.h"

namespace kestrava {

using archive::Database;
using archive::KeyEntry;
using archive::ReadRecord;
using archive::RecordBatch;
using archive::SqliteError;
using archive::Statement;
using archive::Transaction;

namespace {

std::array<char, 16> hashBytes(const Hash128& hash)
{
    std::array<char, 16> bytes{};
    for (int i = 0; i < 8; ++i) {
        bytes[std::size_t(i)] = char(hash.high >> (56 - 8 * i));
        bytes[8 + std::size_t(i)] = char(hash.low >> (56 - 8 * i));
    }
    return bytes;
}

std::string_view bytesOf(const std::array<char, 16>& bytes)
{
    return {bytes.data(), bytes.size()};
}

// Rows a statement of the import inserts.
constexpr std::size_t kImportBatch = 64;

// Bytes of record lines handed over at a time by the reading of a file.
constexpr std::size_t kReadBatch = std::size_t(128) << 10;

// An INSERT of rows rows of columns values each. OR FAIL: a statement of many rows
// would otherwise copy every page it changes aside first, to take back its own rows
// alone should one of them fail; a failure here ends the file's transaction anyway.
std::string insertSql(const char* into, int columns, std::size_t rows)
{
    std::string row = "(?";
    for (int i = 1; i < columns; ++i)
        row += ",?";
    row += ")";
    std::string sql = std::string("INSERT OR FAIL INTO ") + into + " VALUES";
    for (std::size_t i = 0; i < rows; ++i)
        sql += (i ? "," : "") + row;
    return sql;
}

}  // namespace

// The statements of the import, prepared once for all the files of an archive.
struct WeldArchive::Statements {
    explicit Statements(Database& db)
        : addDownload(db, "INSERT INTO downloads(id, name, kind, size, imported, content_hash, "
                          "family, header, records) VALUES(?1, ?2, ?3, ?4, "
                          "strftime('%Y-%m-%dT%H:%M:%SZ', 'now'), ?5, ?6, ?7, ?8)"),
          sameDownload(db, "SELECT name FROM downloads WHERE content_hash = ?1"),
          addMachine(db, "INSERT INTO machines(id, serial, family, welds) VALUES(?1, ?2, ?3, ?4)"),
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
          lastMachine(db, "SELECT ifnull(max(id), 0) FROM machines"),
          lastDownload(db, "SELECT ifnull(max(id), 0) FROM downloads")
    { }

    // Each statement ready for a new file (a failure may have left one stepped).
    void reset()
    {
        for (Statement* each : {&addDownload, &sameDownload, &addMachine, &findMachine, &addWeld,
                                &addWelds, &keysOfDay, &lineOf, &addSighting, &addKey, &addKeys,
                                &addDay, &addCount, &lastWeld, &lastMachine, &lastDownload})
            each->reset();
    }

    std::int64_t last(Statement& statement)
    {
        const std::int64_t id = statement.step() ? statement.integer(0) : 0;
        statement.reset();
        return id;
    }

    Statement addDownload, sameDownload, addMachine, findMachine, addWeld, addWelds, keysOfDay,
        lineOf, addSighting, addKey, addKeys, addDay, addCount, lastWeld, lastMachine, lastDownload;
};

WeldArchive::WeldArchive() = default;
WeldArchive::~WeldArchive() = default;

void WeldArchive::dropStatements()
{
    statements_.reset();
}

// One file's import, inside its transaction, taking the file's records in batches as
// they are read. The record lines are held (up to kHold bytes of them) before any is
// written, so that a download already in the archive, found by its content hash at the
// end, costs no writes of its welds. Each weld is looked for among the keys of its
// machine and day, which are read from weld_keys once for the file; new welds are
// appended to the welds' table kBatch rows a statement, and their entries of the index
// tables are written, sorted, when the file is done. So are the download's row and
// those of the machines it adds (their ids are the next free ones: the transaction
// holds the archive): a page that went to the log early in a large file and was
// written again at its end would have every page logged after it read back at the
// commit, for the log's checksums.
struct WeldArchive::Importer {
    static constexpr std::size_t kBatch = kImportBatch;
    static constexpr std::size_t kHold = std::size_t(8) << 20;

    Importer(Statements& statements, std::uint64_t fileSize, archive::RecordReading& reading,
             std::filesystem::path log)
        : fileSize_(fileSize), reading_(reading), log_(std::move(log)),
          addDownload(statements.addDownload), sameDownload(statements.sameDownload),
          addMachine_(statements.addMachine), findMachine_(statements.findMachine),
          download(statements.last(statements.lastDownload) + 1), addWeld_(statements.addWeld),
          addWelds_(statements.addWelds), keysOfDay_(statements.keysOfDay),
          lineOf_(statements.lineOf), addSighting_(statements.addSighting),
          addKey_(statements.addKey), addKeys_(statements.addKeys), addDay_(statements.addDay),
          addCount_(statements.addCount), lastBefore_(statements.last(statements.lastWeld)),
          nextId_(lastBefore_ + 1), machinesBefore_(statements.last(statements.lastMachine))
    { }

    std::int64_t machineOf(std::string_view serial, MachineFamily family)
    {
        if (family == lastFamily_ && serial == lastSerial_)
            return lastMachineId_;
        const auto key = std::make_pair(family, std::string(serial));
        auto found = machines_.find(key);
        if (found == machines_.end()) {
            // A machine new to the archive takes the next number; its row is written
            // with its count of welds when the file is done.
            findMachine_.bindBlob(1, serial).bindText(2, familyName(family));
            const std::int64_t id =
                findMachine_.step() ? findMachine_.integer(0) : machinesBefore_ + ++newMachines_;
            findMachine_.reset();
            found = machines_.emplace(key, id).first;
        }
        lastFamily_ = family;
        lastSerial_ = serial;
        lastMachineId_ = found->second;
        return found->second;
    }

    void take(std::unique_ptr<RecordBatch> batch)
    {
        for (ReadRecord& record : batch->records) {
            const std::string_view line = batch->lineOf(record);
            record.machine =
                machineOf(line.substr(record.serialStart, record.serialSize), record.family);
        }
        heldBytes_ += batch->lines.size();
        heldRecords_ += batch->records.size();
        held_.push_back(std::move(batch));
        if (heldBytes_ >= kHold)
            place();
    }

    // Puts the welds held into the archive (the first time with room for as many as
    // the file's size suggests).
    void place()
    {
        if (!reserved_ && heldRecords_ > 0) {
            reserved_ = true;
            keys_.reserve(std::size_t(std::min<std::uint64_t>(
                std::max<std::uint64_t>(
                    fileSize_ / std::max<std::size_t>(1, heldBytes_ / heldRecords_), heldRecords_),
                std::uint64_t(1) << 26)));
        }
        // The slot of each weld's key is asked for a few welds ahead: the table is
        // larger than the processor's caches.
        constexpr std::size_t kAhead = 8;
        for (const auto& batch : held_) {
            std::span<ReadRecord> records(batch->records);
            for (std::size_t i = 0; i < records.size(); ++i) {
                if (i + kAhead < records.size()) {
                    const ReadRecord& next = records[i + kAhead];
                    keys_.prefetch(std::int32_t(next.machine), std::int32_t(next.day.value_or(0)),
                                   next.key);
                }
                place(records[i], batch->lineOf(records[i]));
            }
        }
        flushWelds();
        // The pages SQLite has put in its log so far start on their way to the disk:
        // the flush before they are copied into the archive then waits for little.
        fileio::startWriteBack(log_);
        for (auto& batch : held_)
            reading_.recycle(std::move(batch));
        held_.clear();
        heldBytes_ = 0;
    }

    // Writes the file's entries of the index tables.
    void finish()
    {
        place();
        std::vector<KeyEntry> entries = keys_.take();
        // Those of the welds this file adds, in the order of the table.
        const auto fromHere =
            std::partition(entries.begin(), entries.end(),
                           [&](const KeyEntry& entry) { return entry.weld <= lastBefore_; });
        archive::SortedEntries fresh(std::span<KeyEntry>(fromHere, entries.end()));
        std::size_t done = 0;
        for (; fresh.size() - done >= kBatch; done += kBatch) {
            int index = 1;
            for (std::size_t i = 0; i < kBatch; ++i)
                index = bindKey(addKeys_, index, fresh.next());
            addKeys_.runKeepingBindings();
        }
        for (; done < fresh.size(); ++done) {
            bindKey(addKey_, 1, fresh.next());
            addKey_.run();
        }
        fileio::startWriteBack(log_);
        std::vector<std::pair<std::int64_t, std::int64_t>> days;
        groups_.forEach(kAdded, [&](std::uint64_t group) {
            days.emplace_back(std::int64_t(group & 0xffffffffu), std::int64_t(group >> 32));
        });
        std::sort(days.begin(), days.end());
        for (const auto& [day, machine] : days)
            addDay_.bind(1, day).bind(2, machine).run();
        for (const auto& [machine, count] : addedTo_) {
            if (machine <= machinesBefore_)
                addCount_.bind(1, machine).bind(2, count).run();
        }
        for (const auto& [key, machine] : machines_) {
            if (machine > machinesBefore_) {
                const auto counted =
                    std::find_if(addedTo_.begin(), addedTo_.end(),
                                 [id = machine](const auto& each) { return each.first == id; });
                addMachine_.bind(1, machine)
                    .bindBlob(2, key.second)
                    .bindText(3, familyName(key.first))
                    .bind(4, counted == addedTo_.end() ? 0 : counted->second)
                    .run();
            }
        }
    }

private:
    std::uint64_t fileSize_;
    archive::RecordReading& reading_;
    std::filesystem::path log_;  // SQLite's write-ahead log of the archive

public:
    Statement &addDownload, &sameDownload;

private:
    Statement &addMachine_, &findMachine_;

public:
    std::int64_t download;  // the id the download's row takes
    std::uint64_t added = 0;
    std::uint64_t known = 0;

private:
    static std::uint64_t groupOf(std::int64_t machine, std::int64_t day)
    {
        return (std::uint64_t(machine) << 32) | std::uint64_t(std::uint32_t(day));
    }

    // Whether the weld already there under this id has the line.
    bool sameLine(std::int64_t id, std::string_view line)
    {
        if (id >= firstUnwritten_)
            return unwritten_[std::size_t(id - firstUnwritten_)].second == line;
        lineOf_.bind(1, id);
        const bool same = lineOf_.step() && lineOf_.bytes(0) == line;
        lineOf_.reset();
        return same;
    }

    void place(ReadRecord& weld, std::string_view line)
    {
        const auto machine = std::int32_t(weld.machine);
        const auto day = std::int32_t(weld.day.value_or(0));
        std::uint8_t& flags = groups_[groupOf(weld.machine, day)];
        if (!(flags & kLoaded)) {
            flags |= kLoaded;
            if (weld.machine <= machinesBefore_) {
                keysOfDay_.bind(1, weld.machine).bind(2, day);
                while (keysOfDay_.step())
                    keys_.add({machine, day, keysOfDay_.integer(0), keysOfDay_.integer(1)});
                keysOfDay_.reset();
            }
        }
        for (;; weld.key = archive::nextLineKey(weld.key)) {
            const std::int64_t found = keys_.find(machine, day, weld.key);
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
        keys_.add({machine, day, weld.key, weld.id});
        flags |= kAdded;
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
        unwritten_.emplace_back(&weld, line);
        if (unwritten_.size() == kBatch)
            flushWelds();
    }

    int bindWeld(Statement& statement, int index, const ReadRecord& weld, std::string_view line)
    {
        statement.bind(index, weld.id).bind(index + 1, weld.machine).bind(index + 2, download);
        statement.bind(index + 3, weld.day).bind(index + 4, weld.error).bind(index + 5, weld.row);
        statement.bindBlobInPlace(index + 6, line);
        return index + 7;
    }

    static int bindKey(Statement& statement, int index, const KeyEntry& entry)
    {
        statement.bind(index, entry.machine).bind(index + 1, entry.day).bind(index + 2, entry.key);
        statement.bind(index + 3, entry.weld);
        return index + 4;
    }

    void flushWelds()
    {
        if (unwritten_.size() == kBatch) {
            int index = 1;
            for (const auto& [weld, line] : unwritten_)
                index = bindWeld(addWelds_, index, *weld, line);
            addWelds_.runKeepingBindings();
        } else {
            for (const auto& [weld, line] : unwritten_) {
                bindWeld(addWeld_, 1, *weld, line);
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
    std::int64_t newMachines_ = 0;
    std::vector<std::unique_ptr<RecordBatch>> held_;
    std::size_t heldBytes_ = 0;
    std::uint64_t heldRecords_ = 0;  // taken so far
    bool reserved_ = false;
    // Placed, not yet written: the weld and its line.
    std::vector<std::pair<const ReadRecord*, std::string_view>> unwritten_;
    std::int64_t firstUnwritten_ = std::numeric_limits<std::int64_t>::max();
    // The machines and days met: their keys read from weld_keys (kLoaded), welds of
    // them added (kAdded).
    static constexpr std::uint8_t kLoaded = 1, kAdded = 2;
    archive::DayFlags groups_;
    archive::KeyTable keys_;
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
    if (!reading_)
        reading_ = std::make_unique<archive::RecordReading>(kReadBatch);
    std::filesystem::path log = path_;
    log += "-wal";
    Importer importer(*statements_, size, *reading_, std::move(log));
    // A large file is read on a thread of its own while the welds read before are
    // written; a failing write ends the reading, and the file's transaction is rolled
    // back.
    const bool onThread = size >= 4 * kReadBatch && listingThreads() > 1;
    const archive::ReadDownload read = reading_->read(
        path, kind == DownloadKind::Encrypted, onThread,
        [&](std::unique_ptr<RecordBatch> batch) { importer.take(std::move(batch)); },
        [&](std::uint64_t done) {
            if (progress && !progress(done, size)) {
                cancelled = true;
                return false;
            }
            return true;
        });
    const ListingFileResult& listed = read.listed;
    const std::string& header = read.header;  // as it stands, for listing the welds under it
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

    const std::array<char, 16> contentHashBytes = hashBytes(read.content);
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
    importer.addDownload.bind(1, importer.download)
        .bindText(2, utf8Text(path))
        .bindText(3, kind == DownloadKind::Encrypted ? "pfd" : "xls")
        .bind(4, std::int64_t(size))
        .bindBlob(5, contentHash)
        .bindText(6, familyName(listed.summary.family))
        .bindBlob(7, header)
        .bind(8, std::int64_t(listed.summary.records))
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
    reading_.reset();  // its batches kept for the next file, not beyond the import
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
