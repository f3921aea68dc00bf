#include "core/fleet/fleet_summary.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>

#include "core/text/download_file.h"
#include "core/listing/listing.h"

namespace kestrava {

namespace {

std::string_view fieldOf(std::string_view record, int field)
{
    const std::size_t start = fieldStart(record, field);
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = record.find('\t', start);
    return record.substr(start, end == std::string_view::npos ? std::string_view::npos
                                                              : end - start);
}

using MachineKey = std::pair<std::string, MachineFamily>;
using Machines = std::map<MachineKey, MachineSummary>;

void addRecord(Machines& machines, std::string_view record, MachineFamily family)
{
    const std::string_view serial = fieldOf(record, serialFieldOf(family));
    auto [entry, fresh] = machines.try_emplace(MachineKey(std::string(serial), family));
    MachineSummary& machine = entry->second;
    if (fresh) {
        machine.serial = std::string(serial);
        machine.family = family;
        setErrorCodeLabels(machine.errorCodes, family);
    }
    ++machine.records;
    // The date is the 10 characters from the start of the date field, as the filter
    // reads it.
    if (const std::size_t start = fieldStart(record, dateFieldOf(family));
        start != std::string_view::npos) {
        if (const auto day = parseDateText(record.substr(start, 10))) {
            if (!machine.first || *day < *machine.first)
                machine.first = *day;
            if (!machine.last || *day > *machine.last)
                machine.last = *day;
        }
    }
    if (const auto row = errorCodeRow(family, fieldOf(record, errorFieldOf(family))))
        ++machine.errorCodes[std::size_t(*row)].count;
}

// Adds part (a file's, or a worker's) into the machine of key.
void addInto(Machines& machines, const MachineKey& key, MachineSummary&& part)
{
    auto [entry, fresh] = machines.try_emplace(key);
    MachineSummary& total = entry->second;
    if (fresh) {
        total = std::move(part);
        return;
    }
    total.files += part.files;
    total.records += part.records;
    total.paths.insert(total.paths.end(), std::make_move_iterator(part.paths.begin()),
                       std::make_move_iterator(part.paths.end()));
    if (part.first && (!total.first || *part.first < *total.first))
        total.first = part.first;
    if (part.last && (!total.last || *part.last > *total.last))
        total.last = part.last;
    for (std::size_t row = 0; row < total.errorCodes.size(); ++row)
        total.errorCodes[row].count += part.errorCodes[row].count;
}

struct WorkerResult {
    Machines machines;
    std::vector<UnreadFile> unread;
    std::uint64_t filesRead = 0;
};

void summariseFile(const std::filesystem::path& path, const ListingFilter& filter,
                   WorkerResult& result, const Progress& progress)
{
    Machines machines;
    ListingRun run(filter, std::string(), ListingRun::Write());  // the summary, no listing
    run.setRecordSeen([&machines](std::string_view record, MachineFamily family) {
        addRecord(machines, record, family);
    });
    const ListingFileResult listed =
        listDownload(path, downloadKindOf(path.string()) == DownloadKind::Encrypted, run, progress);
    if (!listed.file.ok()) {
        FileResult fault = listed.file;
        if (fault.path.empty())
            fault.path = path.string();
        result.unread.push_back({path, UnreadFile::Why::FileFault, fault, describe(fault)});
        return;
    }
    switch (listed.summary.outcome) {
    case ListingOutcome::NoFamily:
        result.unread.push_back(
            {path, UnreadFile::Why::NoDateField, {},
             "not a weld-record download: the first record line has no date in field 3 or 4"});
        return;
    case ListingOutcome::HeaderNotRecognised:
        result.unread.push_back(
            {path, UnreadFile::Why::UnknownHeader, {},
             "not a weld-record download: the header line does not start with a known word"});
        return;
    case ListingOutcome::Listed:
        break;
    }
    ++result.filesRead;
    for (auto& [key, machine] : machines) {
        machine.files = 1;
        machine.paths = {path};
        addInto(result.machines, key, std::move(machine));
    }
}

}  // namespace

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
    std::vector<std::filesystem::path> files;
    for (const auto& path : paths) {
        std::error_code error;
        const auto status = std::filesystem::status(path, error);
        if (std::filesystem::is_regular_file(status)) {
            files.push_back(path);
            continue;
        }
        if (!std::filesystem::is_directory(status)) {
            FileResult fault;
            fault.error = error;
            unread.push_back({path, UnreadFile::Why::NotFound, fault,
                              error ? "cannot be read (" + error.message() + ")"
                                    : std::string("not a file or folder")});
            continue;
        }
        std::filesystem::recursive_directory_iterator walk(
            path, std::filesystem::directory_options::skip_permission_denied, error);
        for (; !error && walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
            std::error_code typeError;
            if (walk->is_regular_file(typeError) &&
                downloadKindOf(walk->path().string()) != DownloadKind::Refused)
                files.push_back(walk->path());
        }
        if (error) {
            FileResult fault;
            fault.error = error;
            unread.push_back({path, UnreadFile::Why::FolderCut, fault,
                              "the folder could not be searched to its end (" + error.message() +
                                  ")"});
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

std::optional<FleetSummary> summariseFleet(const std::vector<std::filesystem::path>& files,
                                           const ListingFilter& filter, unsigned threads,
                                           const Progress& progress, const Progress& bytesRead)
{
    threads = std::clamp<unsigned>(threads, 1, std::max<std::size_t>(1, files.size()));
    std::vector<WorkerResult> results(threads);
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> stop{false};
    std::mutex progressLock;  // the caller's progress is called from one thread at a time

    std::uint64_t bytesTotal = 0;
    if (bytesRead) {
        for (const auto& file : files) {
            std::error_code error;
            const std::uintmax_t size = std::filesystem::file_size(file, error);
            if (!error)
                bytesTotal += size;
        }
    }
    std::uint64_t bytesDone = 0;  // under progressLock
    // Adds what a file has read since its last report to the run's bytes.
    const auto addBytes = [&](std::uint64_t& fileReported, std::uint64_t fileDone) {
        if (fileDone <= fileReported)
            return true;
        const std::lock_guard lock(progressLock);
        bytesDone += fileDone - fileReported;
        fileReported = fileDone;
        if (!bytesRead(bytesDone, bytesTotal))
            stop.store(true);
        return !stop.load();
    };

    const auto work = [&](WorkerResult& result) {
        for (std::size_t i; !stop.load() && (i = next.fetch_add(1)) < files.size();) {
            std::uint64_t fileReported = 0;
            Progress fileProgress;
            if (bytesRead)
                fileProgress = [&](std::uint64_t done, std::uint64_t) {
                    return addBytes(fileReported, done);
                };
            try {
                summariseFile(files[i], filter, result, fileProgress);
            } catch (const std::bad_alloc&) {
                FileResult memory;
                memory.fault = FileFault::OutOfMemory;
                memory.path = files[i].string();
                result.unread.push_back({files[i], UnreadFile::Why::FileFault, memory,
                                         "not enough memory to read this file"});
            }
            if (bytesRead) {
                // A file read in fewer bytes than its size (it shrank, or a fault ended
                // it) still counts whole, so that the bytes reach their total.
                std::error_code error;
                const std::uintmax_t size = std::filesystem::file_size(files[i], error);
                addBytes(fileReported, error ? fileReported : std::max<std::uint64_t>(fileReported, size));
            }
            const std::uint64_t finished = done.fetch_add(1) + 1;
            if (progress) {
                const std::lock_guard lock(progressLock);
                if (!progress(finished, files.size()))
                    stop.store(true);
            }
        }
    };
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 1; t < threads; ++t)
            workers.emplace_back(work, std::ref(results[t]));
        work(results[0]);
    }
    if (stop.load())
        return std::nullopt;

    Machines machines;
    FleetSummary summary;
    for (WorkerResult& result : results) {
        summary.filesRead += result.filesRead;
        for (auto& [key, machine] : result.machines)
            addInto(machines, key, std::move(machine));
        summary.unread.insert(summary.unread.end(), std::make_move_iterator(result.unread.begin()),
                              std::make_move_iterator(result.unread.end()));
    }
    for (auto& [key, machine] : machines) {
        std::sort(machine.paths.begin(), machine.paths.end());
        summary.machines.push_back(std::move(machine));
    }
    std::sort(summary.unread.begin(), summary.unread.end(),
              [](const UnreadFile& a, const UnreadFile& b) { return a.path < b.path; });
    return summary;
}

}  // namespace kestrava
