#include "core/fleet/fleet_summary.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <tuple>

#include "core/files/file_io.h"
#include "core/fleet/weld_set.h"
#include "core/listing/listing.h"
#include "core/text/download_file.h"

namespace kestrava {

namespace {

using MachineKey = std::pair<std::string, MachineFamily>;
using Machines = std::map<MachineKey, MachineSummary>;

bool isDownloadName(const std::filesystem::path& path)
{
    return downloadKindOf(path.string()) != DownloadKind::Refused;
}

std::string kindText(fileio::EntryKind kind)
{
    switch (kind) {
    case fileio::EntryKind::Fifo: return "a FIFO";
    case fileio::EntryKind::Device: return "a device";
    case fileio::EntryKind::Socket: return "a socket";
    default: return "neither file nor folder";
    }
}

UnreadFile unreadOf(const std::filesystem::path& path, UnreadFile::Why why, FileResult fault,
                    std::string reason, std::filesystem::path original = {})
{
    UnreadFile file;
    file.path = path;
    file.why = why;
    file.fault = std::move(fault);
    file.reason = std::move(reason);
    file.original = std::move(original);
    return file;
}

// The search of the paths given: every file and folder once by its identity.
class Search {
public:
    explicit Search(std::vector<UnreadFile>& unread) : unread_(unread) { }

    void given(const std::filesystem::path& path)
    {
        if (std::find(givenPaths_.begin(), givenPaths_.end(), path) != givenPaths_.end()) {
            unread_.push_back(
                unreadOf(path, UnreadFile::Why::SameFile, {}, "given more than once"));
            return;
        }
        givenPaths_.push_back(path);
        fileio::PathStatus status;
        if (const FileResult fault = fileio::pathStatus(path, status); !fault) {
            unread_.push_back(unreadOf(path, UnreadFile::Why::NotFound, fault,
                                       "cannot be read (" + fault.detail + ")"));
            return;
        }
        switch (status.kind) {
        case fileio::EntryKind::File: addFile(path, status.identity); return;
        case fileio::EntryKind::Folder: searchFolder(path, status.identity); return;
        case fileio::EntryKind::Missing:
            unread_.push_back(unreadOf(path, UnreadFile::Why::NotFound, {}, "not found"));
            return;
        default: {
            FileResult fault;
            fault.fault = FileFault::SourceNotRegular;
            unread_.push_back(unreadOf(path, UnreadFile::Why::NotFound, fault,
                                       "not a file or folder (" + kindText(status.kind) + ")"));
            return;
        }
        }
    }

    std::vector<std::filesystem::path> files() &&
    {
        std::sort(files_.begin(), files_.end());
        return std::move(files_);
    }

private:
    void addFile(const std::filesystem::path& path, const fileio::FileIdentity& identity)
    {
        const auto [seen, fresh] = fileNames_.try_emplace(identity, path);
        if (fresh)
            files_.push_back(path);
        else if (seen->second == path)  // given, and found in a folder given
            unread_.push_back(
                unreadOf(path, UnreadFile::Why::SameFile, {}, "given more than once"));
        else
            unread_.push_back(
                unreadOf(path, UnreadFile::Why::SameFile, {}, "the same file as", seen->second));
    }

    // Folders are searched from a list rather than by recursion, so that no depth of
    // subfolders runs out of stack.
    void searchFolder(const std::filesystem::path& top, const fileio::FileIdentity& identity)
    {
        std::vector<std::pair<std::filesystem::path, fileio::FileIdentity>> waiting{
            {top, identity}};
        std::vector<std::filesystem::path> names;
        while (!waiting.empty()) {
            const auto [folder, id] = std::move(waiting.back());
            waiting.pop_back();
            const auto [seen, fresh] = folderNames_.try_emplace(id, folder);
            if (!fresh) {
                unread_.push_back(unreadOf(folder, UnreadFile::Why::SameFile, {},
                                           "the same folder as", seen->second));
                continue;
            }
            if (const FileResult fault = fileio::folderEntries(folder, names); !fault)
                unread_.push_back(
                    unreadOf(folder, UnreadFile::Why::FolderCut, fault,
                             "the folder could not be searched to its end (" + fault.detail + ")"));
            const std::size_t before = waiting.size();
            for (auto name = names.begin(); name != names.end(); ++name) {
                fileio::PathStatus status;
                const FileResult fault = fileio::pathStatus(*name, status);
                if (fault && status.kind == fileio::EntryKind::Folder) {
                    waiting.emplace_back(*name, status.identity);
                    continue;
                }
                if (!isDownloadName(*name))
                    continue;  // not a download by its name, as Open would refuse it
                if (!fault)
                    unread_.push_back(unreadOf(*name, UnreadFile::Why::NotFound, fault,
                                               "cannot be read (" + fault.detail + ")"));
                else if (status.kind == fileio::EntryKind::File)
                    addFile(*name, status.identity);
                else if (status.kind == fileio::EntryKind::Missing)
                    unread_.push_back(unreadOf(*name, UnreadFile::Why::NotFound, {},
                                               "not found (a link that leads nowhere)"));
                else {
                    FileResult notRegular;
                    notRegular.fault = FileFault::SourceNotRegular;
                    unread_.push_back(
                        unreadOf(*name, UnreadFile::Why::NotRegular, notRegular,
                                 "not a regular file (" + kindText(status.kind) + ")"));
                }
            }
            // Subfolders are taken from the back: reversed, they are searched in name order.
            std::reverse(waiting.begin() + std::ptrdiff_t(before), waiting.end());
        }
    }

    std::vector<UnreadFile>& unread_;
    std::vector<std::filesystem::path> givenPaths_;
    std::vector<std::filesystem::path> files_;
    std::map<fileio::FileIdentity, std::filesystem::path> fileNames_;
    std::map<fileio::FileIdentity, std::filesystem::path> folderNames_;
};

// A kept record as a file's reader hands it to the summary: the key of its weld and
// what it adds to its machine.
struct Weld {
    Hash128 key;
    std::int32_t day = INT32_MIN;  // days since 1970, INT32_MIN for none
    std::int8_t row = -1;  // error-code row, -1 for none
    std::uint32_t part = 0;  // the machine, among those of the file
};

constexpr std::size_t kWeldsHeld = std::size_t(1) << 16;  // per reader, before it waits its turn
// Files read to their end before their turn wait parked, so that their readers go on
// with the next files; beyond these bounds a reader waits instead.
constexpr std::size_t kFilesParked = 256;
constexpr std::size_t kWeldsParked = std::size_t(1) << 18;

// A machine's records in one file.
struct Part {
    const std::string* serial;  // the key in ReadFile::partOf
    MachineFamily family;
    MachineSummary* machine = nullptr;  // once the file has its turn
    std::uint64_t added = 0;  // welds this file was the first to bring
};

// What one file brings to the summary, held until its turn.
struct ReadFile {
    std::size_t turn = 0;
    const std::filesystem::path* path = nullptr;
    bool listed = false;  // a weld-record download read whole: it counts
    std::array<std::map<std::string, std::uint32_t, std::less<>>, 3> partOf;  // by family
    std::vector<Part> parts;
    std::vector<Weld> held;
    Hash128 text;  // of its plain text
};

// What the readers share. The files take turns, in the order of the list, to add
// their welds: the one whose turn it is alone touches welds, downloads and machines.
struct Fleet {
    std::mutex lock;
    std::condition_variable moved;
    std::size_t turn = 0;
    bool stop = false;
    std::map<std::size_t, ReadFile> parked;  // by turn
    std::size_t weldsParked = 0;

    WeldSet welds;
    std::map<Hash128, std::filesystem::path> downloads;  // plain texts summed up
    Machines machines;
    std::uint64_t repeated = 0;
    std::uint64_t filesRead = 0;

    // False when the run stopped first.
    bool waitTurn(std::size_t file)
    {
        std::unique_lock hold(lock);
        moved.wait(hold, [&] { return turn == file || stop; });
        return !stop;
    }
    void stopAll()
    {
        {
            const std::lock_guard hold(lock);
            stop = true;
        }
        moved.notify_all();
    }

    // With the turn of the weld's file.
    void add(ReadFile& file, const Weld& weld)
    {
        if (!welds.insert(weld.key)) {
            ++repeated;
            return;
        }
        Part& part = file.parts[weld.part];
        if (!part.machine) {
            auto [entry, fresh] = machines.try_emplace(MachineKey(*part.serial, part.family));
            part.machine = &entry->second;
            if (fresh) {
                part.machine->serial = *part.serial;
                part.machine->family = part.family;
                setErrorCodeLabels(part.machine->errorCodes, part.family);
            }
        }
        ++part.added;
        MachineSummary& machine = *part.machine;
        ++machine.records;
        if (weld.day != INT32_MIN) {
            const Day day{std::chrono::days(weld.day)};
            if (!machine.first || day < *machine.first)
                machine.first = day;
            if (!machine.last || day > *machine.last)
                machine.last = day;
        }
        if (weld.row >= 0)
            ++machine.errorCodes[std::size_t(weld.row)].count;
    }

    // Hands a read file over: added now when its turn has come (holding: the reader
    // has it already), else parked for the reader whose file comes before it.
    void finish(ReadFile&& file, bool holding, std::vector<UnreadFile>& unread)
    {
        if (!holding) {
            std::unique_lock hold(lock);
            if (!stop && turn != file.turn && parked.size() < kFilesParked &&
                weldsParked + file.held.size() <= kWeldsParked) {
                weldsParked += file.held.size();
                parked.emplace(file.turn, std::move(file));
                return;
            }
            moved.wait(hold, [&] { return turn == file.turn || stop; });
            if (stop)
                return;
        }
        complete(file, unread);
        // The turn goes on, through the parked files whose turns follow.
        for (;;) {
            std::optional<ReadFile> next;
            {
                const std::lock_guard hold(lock);
                ++turn;
                if (auto found = parked.find(turn); found != parked.end()) {
                    next = std::move(found->second);
                    parked.erase(found);
                    weldsParked -= next->held.size();
                }
            }
            if (!next)
                break;
            complete(*next, unread);
        }
        moved.notify_all();
    }

private:
    void complete(ReadFile& file, std::vector<UnreadFile>& unread)
    {
        for (const Weld& weld : file.held)
            add(file, weld);
        file.held = {};
        if (!file.listed)
            return;
        const auto [original, fresh] = downloads.try_emplace(file.text, *file.path);
        if (!fresh) {
            unread.push_back(unreadOf(*file.path, UnreadFile::Why::SameDownload, {},
                                      "the same download as", original->second));
            return;
        }
        ++filesRead;
        for (Part& part : file.parts) {
            if (part.added == 0)
                continue;
            ++part.machine->files;
            part.machine->paths.push_back(*file.path);
        }
    }
};

// One file's reading: its welds held until its turn, then added.
class FileReader {
public:
    FileReader(Fleet& fleet, std::size_t turn, const std::filesystem::path& path) : fleet_(fleet)
    {
        file_.turn = turn;
        file_.path = &path;
    }

    // Reads the file, then hands it over; every file passes its turn on, whatever became
    // of it (unless the run stopped).
    void read(const ListingFilter& filter, std::vector<UnreadFile>& unread,
              const Progress& progress)
    {
        const std::filesystem::path& path = *file_.path;
        ListingRun run(filter, std::string(), ListingRun::Write());  // the summary, no listing
        run.setRecordSeen([this](std::string_view record, MachineFamily family) {
            try {
                seen(record, family);
            } catch (const std::bad_alloc&) {
                summaryOutOfMemory_ = true;  // the run takes it for its own: see below
                throw;
            }
        });
        TextHash text;
        run.setPieceSeen([&text](std::string_view piece) { text.add(piece); });
        const ListingFileResult listed = listDownload(
            path, downloadKindOf(path.string()) == DownloadKind::Encrypted, run, progress);
        // The summary's own memory ran out (not the run's, for a line of this file): the
        // summary cannot go on without all the welds.
        if (summaryOutOfMemory_)
            throw std::bad_alloc();
        if (stopped_)
            return;
        if (!listed.file.ok()) {
            FileResult fault = listed.file;
            if (fault.path.empty())
                fault.path = path.string();
            FileResult shown = fault;  // the name stands before the reason already
            shown.path.clear();
            unread.push_back(unreadOf(path, UnreadFile::Why::FileFault, fault, describe(shown)));
        } else if (listed.summary.outcome == ListingOutcome::NoFamily) {
            unread.push_back(unreadOf(path, UnreadFile::Why::NoDateField, {},
                                      notDownloadReason(listed.summary.outcome)));
        } else if (listed.summary.outcome == ListingOutcome::HeaderNotRecognised) {
            unread.push_back(unreadOf(path, UnreadFile::Why::UnknownHeader, {},
                                      notDownloadReason(listed.summary.outcome)));
        } else {
            file_.listed = true;
            file_.text = text.result();
        }
        if (!file_.listed)
            file_.held = {};  // a file not summed up adds none of the welds it held
        fleet_.finish(std::move(file_), holding_, unread);
    }

private:
    void seen(std::string_view record, MachineFamily family)
    {
        if (stopped_)
            return;
        std::vector<Part>& parts = file_.parts;
        const std::string_view serial = fieldOf(record, serialFieldOf(family));
        if (last_ >= parts.size() || *parts[last_].serial != serial ||
            parts[last_].family != family) {
            auto& ofFamily = file_.partOf[std::size_t(family) % file_.partOf.size()];
            auto found = ofFamily.find(serial);
            if (found == ofFamily.end()) {
                found = ofFamily.emplace(std::string(serial), std::uint32_t(parts.size())).first;
                parts.push_back({&found->first, family});
            }
            last_ = found->second;
        }
        // The weld's key is the serial number and the line's bytes: the serial is a
        // field of the line, so the line under its family's seed stands for both.
        Weld weld;
        weld.key = hashText(record, std::uint64_t(family));
        weld.part = std::uint32_t(last_);
        // The date is the 10 characters from the start of the date field, as the filter
        // reads it.
        if (const std::size_t start = fieldStart(record, dateFieldOf(family));
            start != std::string_view::npos)
            if (const auto day = parseDateText(record.substr(start, 10)))
                weld.day = std::int32_t(day->time_since_epoch().count());
        if (const auto row = errorCodeRow(family, fieldOf(record, errorFieldOf(family))))
            weld.row = std::int8_t(*row);

        if (holding_) {
            fleet_.add(file_, weld);
            return;
        }
        file_.held.push_back(weld);
        // A long file waits for its turn rather than holding its welds without bound.
        if (file_.held.size() >= kWeldsHeld) {
            if (!fleet_.waitTurn(file_.turn)) {
                stopped_ = true;
                return;
            }
            holding_ = true;
            for (const Weld& each : file_.held)
                fleet_.add(file_, each);
            file_.held = {};
        }
    }

    Fleet& fleet_;
    ReadFile file_;
    std::size_t last_ = 0;  // the part of the last record
    bool holding_ = false;
    bool stopped_ = false;
    bool summaryOutOfMemory_ = false;
};

}  // namespace

std::string notDownloadReason(ListingOutcome outcome)
{
    return outcome == ListingOutcome::NoFamily
               ? "not a weld-record download: the first record line has no date in field 3 or 4"
               : "not a weld-record download: the header line does not start with a known word";
}

double MachineSummary::faultShare() const
{
    if (records == 0)
        return 0.0;
    const std::int64_t fine = errorCodes[0].count;  // row 0 is the family's "E00"
    return double(records - std::uint64_t(fine)) / double(records);
}

std::vector<std::filesystem::path> downloadFilesIn(const std::vector<std::filesystem::path>& paths,
                                                   std::vector<UnreadFile>& unread)
{
    Search search(unread);
    for (const auto& path : paths)
        search.given(path);
    return std::move(search).files();
}

std::optional<FleetSummary> summariseFleet(const std::vector<std::filesystem::path>& files,
                                           const ListingFilter& filter, unsigned threads,
                                           const Progress& progress, const Progress& bytesRead)
{
    // Largest first, so that a download counts before the shorter ones whose records it
    // holds, then plain before scrambled (the same download as either counts as the
    // plain one), then by name: the same order whatever the order given.
    struct Ranked {
        std::uint64_t size;
        bool scrambled;
        const std::filesystem::path* path;
    };
    std::vector<Ranked> order;
    order.reserve(files.size());
    for (const auto& path : files) {
        fileio::PathStatus status;
        fileio::pathStatus(path, status);
        order.push_back(
            {status.size, downloadKindOf(path.string()) == DownloadKind::Encrypted, &path});
    }
    std::sort(order.begin(), order.end(), [](const Ranked& a, const Ranked& b) {
        return std::tuple(b.size, a.scrambled, *a.path) < std::tuple(a.size, b.scrambled, *b.path);
    });

    threads = std::clamp<unsigned>(threads, 1, std::max<std::size_t>(1, files.size()));
    Fleet fleet;
    std::vector<std::vector<UnreadFile>> unread(threads);
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> outOfMemory{false};
    std::mutex progressLock;  // the caller's progress is called from one thread at a time

    std::uint64_t bytesTotal = 0;
    for (const Ranked& file : order)
        bytesTotal += file.size;
    std::uint64_t bytesDone = 0;  // under progressLock
    // Adds what a file has read since its last report to the run's bytes.
    const auto addBytes = [&](std::uint64_t& fileReported, std::uint64_t fileDone) {
        if (fileDone <= fileReported)
            return !cancelled.load();
        const std::lock_guard lock(progressLock);
        bytesDone += fileDone - fileReported;
        fileReported = fileDone;
        if (!cancelled.load() && !bytesRead(bytesDone, bytesTotal)) {
            cancelled.store(true);
            fleet.stopAll();
        }
        return !cancelled.load();
    };

    const auto work = [&](std::vector<UnreadFile>& result) {
        for (std::size_t i;
             !cancelled.load() && !outOfMemory.load() && (i = next.fetch_add(1)) < files.size();) {
            const std::filesystem::path& path = *order[i].path;
            std::uint64_t fileReported = 0;
            Progress fileProgress;
            if (bytesRead)
                fileProgress = [&](std::uint64_t fileDone, std::uint64_t) {
                    return addBytes(fileReported, fileDone);
                };
            try {
                FileReader reader(fleet, i, path);
                reader.read(filter, result, fileProgress);
            } catch (const std::bad_alloc&) {
                // The summary cannot go on without all of a file's welds: it ends here.
                outOfMemory.store(true);
                fleet.stopAll();
                return;
            }
            // A file read in fewer bytes than its size (it shrank, or a fault ended it)
            // still counts whole, so that the bytes reach their total.
            if (bytesRead)
                addBytes(fileReported, std::max(fileReported, order[i].size));
            const std::uint64_t finished = done.fetch_add(1) + 1;
            if (progress) {
                const std::lock_guard lock(progressLock);
                if (!progress(finished, files.size())) {
                    cancelled.store(true);
                    fleet.stopAll();
                }
            }
        }
    };
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 1; t < threads; ++t)
            workers.emplace_back(work, std::ref(unread[t]));
        work(unread[0]);
    }
    if (outOfMemory.load())
        throw std::bad_alloc();
    if (cancelled.load())
        return std::nullopt;

    FleetSummary summary;
    summary.filesRead = fleet.filesRead;
    summary.repeatedRecords = fleet.repeated;
    for (auto& part : unread)
        summary.unread.insert(summary.unread.end(), std::make_move_iterator(part.begin()),
                              std::make_move_iterator(part.end()));
    summary.machines.reserve(fleet.machines.size());
    for (auto& [key, machine] : fleet.machines) {
        std::sort(machine.paths.begin(), machine.paths.end());
        summary.machines.push_back(std::move(machine));
    }
    // Whichever thread read a file, the list comes out in the same order.
    std::sort(summary.unread.begin(), summary.unread.end(),
              [](const UnreadFile& a, const UnreadFile& b) {
                  return std::tie(a.path, a.why, a.reason) < std::tie(b.path, b.why, b.reason);
              });
    return summary;
}

}  // namespace kestrava
