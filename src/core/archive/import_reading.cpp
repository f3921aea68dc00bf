#include "core/archive/import_reading.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/archive/archive_schema.h"
#include "core/listing/record_filter.h"

namespace kestrava::archive {

namespace {

// Batches read ahead of the one being written.
constexpr std::size_t kQueued = 3;

void addRecord(RecordBatch& batch, std::string_view line, MachineFamily family)
{
    ReadRecord record;
    record.start = std::uint32_t(batch.lines.size());
    record.size = std::uint32_t(line.size());
    if (const std::string_view serial = fieldOf(line, serialFieldOf(family)); !serial.empty()) {
        record.serialStart = std::uint32_t(serial.data() - line.data());
        record.serialSize = std::uint32_t(serial.size());
    }
    record.family = family;
    record.key = lineKey(line, family);
    if (const auto date = recordDay(line, family))
        record.day = julianDayOf(*date);
    if (const auto number = recordErrorNumber(line, family))
        record.error = *number;
    if (const auto found = errorCodeRow(family, fieldOf(line, errorFieldOf(family))))
        record.row = *found;
    batch.lines.append(line);
    batch.records.push_back(record);
}

// The file read into batches: hand(batch) with each full one and the last, which
// returns false to stop; going(bytes read) after each piece, likewise.
ReadDownload readBatches(const std::filesystem::path& path, bool scrambled, std::size_t batchBytes,
                         const std::function<std::unique_ptr<RecordBatch>()>& spare,
                         const std::function<bool(std::unique_ptr<RecordBatch>)>& hand,
                         const std::function<bool(std::uint64_t)>& going)
{
    ReadDownload read;
    bool headerEnded = false;
    TextHash text;
    bool handing = true;
    bool reading = true;
    std::unique_ptr<RecordBatch> batch = spare();
    ListingRun run(ListingFilter{}, std::string(), ListingRun::Write());
    run.setPieceSeen([&](std::string_view piece) {
        text.add(piece);
        if (!headerEnded) {
            const std::size_t end = piece.find('\r');
            read.header.append(piece.substr(0, end));
            headerEnded = end != std::string_view::npos;
        }
    });
    run.setRecordSeen([&](std::string_view line, MachineFamily family) {
        if (!handing)
            return;
        addRecord(*batch, line, family);
        if (batch->lines.size() >= batchBytes) {
            handing = hand(std::move(batch));
            batch = spare();
        }
    });
    // A refused batch ends the reading at the next piece.
    const Progress progress = [&](std::uint64_t done, std::uint64_t) {
        reading = reading && handing && going(done);
        return reading;
    };
    read.listed = listDownload(path, scrambled, run, progress);
    if (reading && handing && !batch->records.empty())
        hand(std::move(batch));
    read.content = text.result();
    return read;
}

}  // namespace

struct RecordReading::Queue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::unique_ptr<RecordBatch>> full;
    std::vector<std::unique_ptr<RecordBatch>> spare;
    std::uint64_t bytesRead = 0;
    bool ended = false;  // the reading handed over its last batch
    bool stopped = false;  // no more batches wanted
};

RecordReading::RecordReading(std::size_t batchBytes)
    : batchBytes_(batchBytes), queue_(std::make_unique<Queue>())
{ }

RecordReading::~RecordReading() = default;

std::unique_ptr<RecordBatch> RecordReading::spare()
{
    {
        const std::lock_guard<std::mutex> hold(queue_->lock);
        if (!queue_->spare.empty()) {
            std::unique_ptr<RecordBatch> batch = std::move(queue_->spare.back());
            queue_->spare.pop_back();
            return batch;
        }
    }
    auto batch = std::make_unique<RecordBatch>();
    batch->lines.reserve(batchBytes_ + batchBytes_ / 8);
    return batch;
}

void RecordReading::recycle(std::unique_ptr<RecordBatch> batch)
{
    batch->lines.clear();
    batch->records.clear();
    const std::lock_guard<std::mutex> hold(queue_->lock);
    queue_->spare.push_back(std::move(batch));
}

ReadDownload RecordReading::readHere(const std::filesystem::path& path, bool scrambled,
                                     const Take& take, const Going& going)
{
    std::exception_ptr takeFailed;
    bool stopped = false;
    std::uint64_t lastRead = 0;
    ReadDownload read = readBatches(
        path, scrambled, batchBytes_, [this] { return spare(); },
        [&](std::unique_ptr<RecordBatch> batch) {
            try {
                take(std::move(batch));
                return true;
            } catch (...) {
                takeFailed = std::current_exception();
                return false;
            }
        },
        [&](std::uint64_t done) {
            lastRead = done;
            stopped = stopped || !going(done);
            return !stopped;
        });
    if (takeFailed)
        std::rethrow_exception(takeFailed);
    if (!stopped)
        going(lastRead);
    return read;
}

ReadDownload RecordReading::read(const std::filesystem::path& path, bool scrambled, bool onThread,
                                 const Take& take, const Going& going)
{
    if (!onThread)
        return readHere(path, scrambled, take, going);
    const auto spareBatch = [this] { return spare(); };
    std::exception_ptr takeFailed;
    Queue& queue = *queue_;
    {
        const std::lock_guard<std::mutex> hold(queue.lock);
        queue.full.clear();
        queue.bytesRead = 0;
        queue.ended = queue.stopped = false;
    }
    ReadDownload read;
    std::exception_ptr readFailed;
    std::thread reader;
    try {
        reader = std::thread([&] {
            try {
                read = readBatches(
                    path, scrambled, batchBytes_, spareBatch,
                    [&](std::unique_ptr<RecordBatch> batch) {
                        std::unique_lock<std::mutex> hold(queue.lock);
                        queue.changed.wait(
                            hold, [&] { return queue.stopped || queue.full.size() < kQueued; });
                        if (queue.stopped)
                            return false;
                        batch->bytesRead = queue.bytesRead;
                        queue.full.push_back(std::move(batch));
                        queue.changed.notify_all();
                        return true;
                    },
                    [&](std::uint64_t done) {
                        const std::lock_guard<std::mutex> hold(queue.lock);
                        queue.bytesRead = done;
                        return !queue.stopped;
                    });
            } catch (...) {
                readFailed = std::current_exception();
            }
            const std::lock_guard<std::mutex> hold(queue.lock);
            queue.ended = true;
            queue.changed.notify_all();
        });
    } catch (const std::system_error&) {
        return readHere(path, scrambled, take, going);  // no thread to be had
    }
    const auto stop = [&] {
        const std::lock_guard<std::mutex> hold(queue.lock);
        queue.stopped = true;
        queue.changed.notify_all();
    };
    // Whatever ends this function, the reading is stopped and waited for first.
    struct Joined {
        std::thread& reader;
        const decltype(stop)& stopping;
        ~Joined()
        {
            if (reader.joinable()) {
                stopping();
                reader.join();
            }
        }
    } joined{reader, stop};
    bool stopped = false;
    for (;;) {
        std::unique_ptr<RecordBatch> batch;
        {
            std::unique_lock<std::mutex> hold(queue.lock);
            queue.changed.wait(hold, [&] { return queue.ended || !queue.full.empty(); });
            if (queue.full.empty())
                break;
            batch = std::move(queue.full.front());
            queue.full.pop_front();
            queue.changed.notify_all();
        }
        if (stopped) {
            recycle(std::move(batch));
            continue;
        }
        try {
            const std::uint64_t done = batch->bytesRead;
            take(std::move(batch));
            stopped = !going(done);
        } catch (...) {
            takeFailed = std::current_exception();
            stopped = true;
        }
        if (stopped)
            stop();
    }
    reader.join();
    if (takeFailed)
        std::rethrow_exception(takeFailed);
    if (readFailed)
        std::rethrow_exception(readFailed);
    if (!stopped)
        going(queue.bytesRead);
    return read;
}

}  // namespace kestrava::archive
