// The parallel formatting of a listing run: once the header is written and the family
// decided, whole record lines go in jobs of about kJobSource bytes to a pool of worker
// threads, and the caller's thread writes the formatted jobs in order. The records
// since the header pass from job to job through a chain (a mutex and a condition
// variable), so that every job knows where the header comes again before it formats.
#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/listing/listing.h"
#include "core/listing/listing_bytes.h"
#include "core/listing/record_filter.h"

namespace kestrava {

namespace {

using listing_bytes::countCRs;
using listing_bytes::findCR;
using listing_bytes::findLastCR;
using listing_bytes::lineEndIn;

// A record whose listing line may need more than this is formatted on the caller's
// thread, piece by piece.
constexpr std::size_t kShortRecord = std::size_t(64) << 10;
// A job given to a worker thread holds about this much of the source, and stops
// formatting (the caller's thread lists the rest of it) once its listing reaches
// kJobListing: a job costs a few hundred KiB whatever its lines hold.
constexpr std::size_t kJobSource = std::size_t(256) << 10;
constexpr std::size_t kJobListing = std::size_t(1) << 20;

std::atomic<unsigned> defaultThreads{0};

}  // namespace

void setListingThreads(unsigned count)
{
    defaultThreads = std::max(count, 1u);
}

unsigned listingThreads()
{
    if (const unsigned set = defaultThreads)
        return set;
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

// A piece of whole record lines formatted on a worker thread.
struct ListingRun::Job {
    // Record lines, each ended by CR (a LF after a CR skipped): copied into source, or
    // where they lie in a piece that keeper keeps readable (then source is empty).
    std::string source;
    std::string_view inPlace;
    std::shared_ptr<const void> keeper;
    std::uint64_t lines = 0;  // counted by the worker
    std::uint64_t splitterLines = 0;  // of those, lines that came through the splitter
    std::uint64_t number = 0;  // jobs given out before this one
    // Results.
    OutputBuffer listing;
    std::vector<std::uint32_t> selected;  // filtered: where each line the filter keeps begins
    std::vector<std::uint64_t> lineStarts;  // when tracking: every line's start
    RecordTally tally;  // its serial in the job's text
    std::size_t stoppedAt = std::string::npos;  // the caller's thread lists source from here
    std::exception_ptr fault;
    bool done = false;

    std::string_view text() const { return keeper ? inPlace : std::string_view(source); }

    void reset()
    {
        source.clear();
        inPlace = {};
        keeper.reset();
        lines = 0;
        splitterLines = 0;
        listing.clear();
        selected.clear();
        lineStarts.clear();
        tally = {};
        stoppedAt = std::string::npos;
        fault = nullptr;
        done = false;
    }
};

struct ListingRun::Pool {
    std::mutex lock;
    std::condition_variable work;
    std::condition_variable finished;
    std::deque<Job*> waiting;
    bool closing = false;
    std::vector<std::thread> threads;
};

// Made and ended where the jobs and the pool are known.
ListingRun::ListingRun(const ListingFilter& filter, std::string previousSerial, Write write,
                       std::size_t longestLine)
    : filter_(filter), splitter_(longestLine), output_(std::move(write))
{
    summary_.serial = std::move(previousSerial);
    // The output buffer grows as the listing needs it: a short file costs no megabyte.
}

ListingRun::~ListingRun()
{
    if (pool_) {
        {
            const std::lock_guard<std::mutex> hold(pool_->lock);
            pool_->closing = true;
        }
        pool_->work.notify_all();
        for (auto& thread : pool_->threads)
            thread.join();
    }
}

// Records are formatted on worker threads once the header is written and the family
// decided, for a run that writes a listing of short header.
bool ListingRun::parallelReady() const
{
    return threads_ > 1 && output_.writes() && !recordSeen_ && headerWritten_ && layout_.whole() &&
           summary_.family != MachineFamily::Unknown && isRecognisedHeader(summary_.headerLine) &&
           splitter_.longestLine() >= kJobSource;
}

// A piece of source in the parallel run: whole lines go to jobs in bulk; the line
// continuing from the last piece and the start of the next one go through the splitter
// (which every bulk part leaves just after a CR).
void ListingRun::feedPieces(std::string_view piece)
{
    const char* const end = piece.data() + piece.size();
    const auto throughSplitter = [this](const char* from, const char* to) {
        if (!splitter_.feed({from, std::size_t(to - from)}, [this](std::string_view line) {
                addLine(line);
                return !stopped();
            }))
            stopped_ = true;
    };
    const char* first = findCR(piece.data(), end);
    if (!first) {
        throughSplitter(piece.data(), end);
        return;
    }
    throughSplitter(piece.data(), first + 1);
    const char* afterCR = first + 1;
    while (!stopped()) {
        const char* s = afterCR;
        if (s < end && *s == '\n')
            ++s;
        startJob();
        // A job reads its lines where they lie in a lasting piece, or copies them; the
        // two are not mixed, and lines in place run on without a gap.
        const Job& job = *current_;
        if (pieceKeeper_ ? !job.text().empty() && !(job.keeper && job.inPlace.end() == afterCR)
                         : bool(job.keeper)) {
            dispatch();
            continue;
        }
        const std::size_t room = kJobSource - std::min(kJobSource, job.text().size());
        const char* windowEnd = std::size_t(end - s) > room ? s + room : end;
        const char* cut = findLastCR(s, windowEnd);
        if (!cut) {
            if (windowEnd == end || job.text().empty()) {
                throughSplitter(afterCR, end);
                return;
            }
            dispatch();
            continue;
        }
        addLines(s, cut + 1);
        afterCR = cut + 1;
        if (current_->text().size() >= kJobSource - kJobSource / 8)
            dispatch();
    }
}

// A line through the splitter in the parallel run: a short one joins the job being
// filled; a long one is listed here, in its place, once the jobs before it are written.
void ListingRun::addLine(std::string_view line)
{
    if (6 * line.size() + layout_.recordBound() > kShortRecord) {
        dispatch();
        takeFinished(0);
        if (!stopped())
            handleRecord(line);
        takeTally();
        startChain();
        return;
    }
    startJob();
    if (current_->keeper) {
        dispatch();
        startJob();
    }
    joinJob(line.data(), line.size());
    current_->source.push_back('\r');
    ++current_->splitterLines;
    if (current_->source.size() >= kJobSource)
        dispatch();
}

// A job to fill, unless one is being filled: a finished one's buffers are used again.
void ListingRun::startJob()
{
    if (current_)
        return;
    if (spare_.empty()) {
        current_ = std::make_unique<Job>();
    } else {
        current_ = std::move(spare_.back());
        spare_.pop_back();
    }
}

// Text after a line end joins the job being filled. The job's source ends with the CR
// of its last line, and a LF straight after a CR is read as part of that line end: a
// line that begins with a LF of its own gets one more, so that its LF is kept.
void ListingRun::joinJob(const char* from, std::size_t count)
{
    std::string& source = current_->source;
    if (count > 0 && *from == '\n' && !source.empty())
        source.push_back('\n');
    source.append(from, count);
}

// Whole lines [from, to) (to just after a CR) join the job being filled.
void ListingRun::addLines(const char* from, const char* to)
{
    Job& job = *current_;
    if (!pieceKeeper_) {
        joinJob(from, std::size_t(to - from));
    } else if (!job.keeper) {
        job.keeper = *pieceKeeper_;
        job.inPlace = {from, std::size_t(to - from)};
    } else {
        // Straight after the lines in place (a LF between is skipped as before).
        job.inPlace = {job.inPlace.data(), std::size_t(to - job.inPlace.data())};
    }
}

void ListingRun::dispatch()
{
    if (!current_ || current_->text().empty())
        return;
    Job& job = *current_;
    job.number = jobsGiven_++;
    if (!pool_) {
        pool_ = std::make_unique<Pool>();
        try {
            for (unsigned i = 0; i < threads_; ++i)
                pool_->threads.emplace_back([this] { workerLoop(); });
        } catch (const std::system_error&) {
            // Fewer threads than asked for (none: the jobs are formatted here).
        }
    }
    if (pool_->threads.empty()) {
        formatJob(job);
        job.done = true;
    } else {
        {
            const std::lock_guard<std::mutex> hold(pool_->lock);
            pool_->waiting.push_back(&job);
        }
        pool_->work.notify_one();
    }
    inFlight_.push_back(std::move(current_));
    // One job being written while the others are formatted.
    takeFinished(std::size_t(threads_) + 1);
}

// Writes the finished jobs at the front, in order, waiting for them while more than
// `keep` are given out.
void ListingRun::takeFinished(std::size_t keep)
{
    while (!inFlight_.empty()) {
        Job& job = *inFlight_.front();
        if (pool_ && !pool_->threads.empty()) {
            std::unique_lock<std::mutex> hold(pool_->lock);
            if (!job.done) {
                if (inFlight_.size() <= keep)
                    return;
                pool_->finished.wait(hold, [&job] { return job.done; });
            }
        }
        std::unique_ptr<Job> taken = std::move(inFlight_.front());
        inFlight_.pop_front();
        take(*taken);
        taken->reset();
        spare_.push_back(std::move(taken));
    }
}

// A formatted job into the listing and the summary.
void ListingRun::take(Job& job)
{
    if (job.fault)
        std::rethrow_exception(job.fault);
    piecedLines_ += job.lines - job.splitterLines;
    if (output_.failed())
        return;
    const std::uint64_t records = job.tally.records;
    job.tally.moveInto(summary_.errorCodes, summary_.records, summary_.serial);
    // Repeated headers already in place: the listing goes out as it stands.
    output_.putFormatted(job.listing.view(), job.lineStarts);
    tally_.sinceHeader = int((std::uint64_t(tally_.sinceHeader) + records) % kRecordsPerHeader);
    // The rest of a job that stopped (a long line, or a listing grown large) is listed
    // here.
    const std::string_view text = job.text();
    const Readable readable(*this, text);
    const char* s = text.data() + std::min(job.stoppedAt, text.size());
    const char* const end = text.data() + text.size();
    while (s < end && !stopped()) {
        const char* const cr = lineEndIn(s, end);
        handleRecord({s, std::size_t(cr - s)});
        takeTally();
        s = cr + 1;
        if (s < end && *s == '\n')
            ++s;
    }
}

// Formats a job on a worker thread: reads only what stays fixed while the records are
// listed (header, family, filter), writes only the job.
void ListingRun::formatJob(Job& job) const
{
    const std::string_view text = job.text();
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const MachineFamily family = summary_.family;
    // The job's lines are counted here rather than where they are given out, so that
    // the caller's thread never reads them; in a filtered run the lines the filter keeps
    // are picked first. The repeated headers go by the records listed before the job:
    // it waits for the job before to pass on that count, then passes on its own, before
    // formatting anything.
    job.lines = countCRs(begin, end);
    std::uint64_t listed = job.lines;
    // A job that fails before it has passed the count on still passes one on, so that
    // the jobs after it never wait for it; the run ends with its fault.
    std::exception_ptr fault;
    if (filtered_) {
        try {
            for (const char* s = begin; s < end;) {
                const char* const cr = lineEndIn(s, end);
                if (recordSelected({s, std::size_t(cr - s)}, family, filter_))
                    job.selected.push_back(std::uint32_t(s - begin));
                s = cr + 1;
                if (s < end && *s == '\n')
                    ++s;
            }
        } catch (...) {
            fault = std::current_exception();
        }
        listed = job.selected.size();
    }
    int since;
    {
        std::unique_lock<std::mutex> hold(chainLock_);
        chainMoved_.wait(hold, [this, &job] { return chain_ >> 8 == job.number; });
        since = int(chain_ & 0xFF);
        chain_ = (job.number + 1) << 8 | (std::uint64_t(since) + listed) % kRecordsPerHeader;
    }
    chainMoved_.notify_all();
    job.tally.sinceHeader = since;
    if (fault)
        std::rethrow_exception(fault);

    OutputBuffer& out = job.listing;
    const std::string& header = summary_.headerLine;
    const bool tracking = output_.tracking();
    const RecordRoles roles(family, errorRows_);
    std::size_t picked = 0;
    for (const char* s = begin;;) {
        if (filtered_) {
            if (picked == job.selected.size())
                return;
            s = begin + job.selected[picked++];
        } else if (s >= end) {
            return;
        }
        const char* const cr = lineEndIn(s, end);
        const std::string_view line(s, std::size_t(cr - s));
        const std::size_t bound = 6 * line.size() + layout_.recordBound();
        if (bound > kShortRecord || out.size() >= kJobListing) {
            job.stoppedAt = std::size_t(s - begin);
            return;
        }
        s = cr + 1;
        if (s < end && *s == '\n')
            ++s;
        char* const start = out.reserve(bound + listing_bytes::kStoreSlack);
        const std::size_t at = out.size();
        if (tracking)
            job.lineStarts.push_back(at);
        RecordFields found;
        char* p = layout_.formatRecord(line, end, start, roles, found);
        if (job.tally.add(found)) {
            if (tracking) {
                job.lineStarts.push_back(at + std::size_t(p - start));
                job.lineStarts.push_back(at + std::size_t(p - start) + 2);
            }
            p = putRepeatedHeader(p, header);
        }
        out.commit(p);
    }
}

void ListingRun::workerLoop()
{
    for (;;) {
        Job* job;
        {
            std::unique_lock<std::mutex> hold(pool_->lock);
            pool_->work.wait(hold, [this] { return pool_->closing || !pool_->waiting.empty(); });
            if (pool_->closing)
                return;
            job = pool_->waiting.front();
            pool_->waiting.pop_front();
        }
        try {
            formatJob(*job);
        } catch (...) {
            job->fault = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> hold(pool_->lock);
            job->done = true;
        }
        pool_->finished.notify_all();
    }
}

// Unfiltered jobs from here on follow the records listed so far. Only while no job is
// given out.
void ListingRun::startChain()
{
    const std::lock_guard<std::mutex> hold(chainLock_);
    chain_ = jobsGiven_ << 8 | std::uint64_t(tally_.sinceHeader);
}

void ListingRun::settle()
{
    if (parallel_ && !finished_) {
        dispatch();
        takeFinished(0);
    }
}

}  // namespace kestrava
