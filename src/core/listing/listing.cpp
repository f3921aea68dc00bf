#include "core/listing/listing.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "core/listing/field_scan.h"
#include "core/files/file_io.h"
#include "core/text/plain_reader.h"
#include "core/listing/record_filter.h"

namespace kestrava {

namespace {

constexpr std::size_t kFlushAt = std::size_t(1) << 20;
// A record whose listing line may need more than this is formatted piece by piece,
// so that a very long line never needs an output buffer of its own size.
constexpr std::size_t kShortRecord = std::size_t(64) << 10;
constexpr int kRecordsPerHeader = 40;
constexpr std::string_view kHeaderTail = "    | ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::uint8_t kLongField = 255;
// A job given to a worker thread holds about this much of the source, and stops
// formatting (the caller's thread lists the rest of it) once its listing reaches
// kJobListing: a job costs a few hundred KiB whatever its lines hold.
constexpr std::size_t kJobSource = std::size_t(256) << 10;
constexpr std::size_t kJobListing = std::size_t(1) << 20;

constexpr char kSpaces[16] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                              ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
// Bytes a record's formatting may write beyond its end: fields and fills go out in
// whole 16-byte stores.
constexpr std::size_t kStoreSlack = 64;

// Copies count bytes to `to`, which has room for at least max(count, 16) bytes; the
// bytes after to + count are left undefined. Bytes of [from, limit) may be read.
inline void copyField(char* to, const char* from, std::size_t count, const char* limit)
{
    if (count <= 16) {
        if (limit - from >= 16) {
            std::memcpy(to, from, 16);
        } else if (count >= 8) {
            std::memcpy(to, from, 8);
            std::memcpy(to + count - 8, from + count - 8, 8);
        } else if (count >= 4) {
            std::memcpy(to, from, 4);
            std::memcpy(to + count - 4, from + count - 4, 4);
        } else if (count >= 2) {
            std::memcpy(to, from, 2);
            std::memcpy(to + count - 2, from + count - 2, 2);
        } else if (count == 1) {
            *to = *from;
        }
        return;
    }
    if (count > 256) {
        std::memcpy(to, from, count);
        return;
    }
    for (std::size_t i = 0; i + 16 < count; i += 16)
        std::memcpy(to + i, from + i, 16);
    std::memcpy(to + count - 16, from + count - 16, 16);
}

// Writes count spaces (count > 0) in 16-byte stores: up to 15 more may follow them.
inline void fillSpaces16(char* to, std::size_t count)
{
    if (count > 256) {
        std::memset(to, ' ', count);
        return;
    }
    for (std::size_t i = 0; i < count; i += 16)
        std::memcpy(to + i, kSpaces, 16);
}

inline char* fillSpaces(char* to, std::size_t count)
{
    std::memset(to, ' ', count);
    return to + count;
}

inline const char* findTab(const char* from, const char* end)
{
    return static_cast<const char*>(std::memchr(from, '\t', std::size_t(end - from)));
}

inline const char* findCR(const char* from, const char* end)
{
    return static_cast<const char*>(std::memchr(from, '\r', std::size_t(end - from)));
}

// The CR ending the line at `from` in a job's text, whose last line ends with one; end
// should the CR be gone (a mapped file cut short reads as zeros from there on, and the
// file is then reported as changed).
inline const char* lineEndIn(const char* from, const char* end)
{
    const char* cr = findCR(from, end);
    return cr ? cr : end;
}

// The last CR of [from, end), null when there is none.
inline const char* findLastCR(const char* from, const char* end)
{
    while (end > from)
        if (*--end == '\r')
            return end;
    return nullptr;
}

std::uint64_t countCRs(const char* from, const char* end)
{
    std::uint64_t count = 0;
#ifdef KESTRAVA_FIELD_SCAN_SSE2
    // Each byte of the sum counts the CRs at its place in up to 255 blocks of 16.
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - from >= 16) {
        __m128i sum = _mm_setzero_si128();
        for (int blocks = 0; blocks < 255 && end - from >= 16; ++blocks, from += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            sum = _mm_sub_epi8(sum, _mm_cmpeq_epi8(bytes, cr));
        }
        const __m128i halves = _mm_sad_epu8(sum, _mm_setzero_si128());
        count += unsigned(_mm_extract_epi16(halves, 0)) + unsigned(_mm_extract_epi16(halves, 4));
    }
#endif
    for (; from < end; ++from)
        count += *from == '\r';
    return count;
}

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
    std::uint64_t lines = 0;          // counted by the worker
    std::uint64_t splitterLines = 0;  // of those, lines that came through the splitter
    std::uint64_t number = 0;         // jobs given out before this one
    // Records since the header at the job's start, passed on by the job before.
    int recordsSinceHeader = 0;
    // Results.
    OutputBuffer listing;
    std::vector<std::uint32_t> selected;     // filtered: where each line the filter keeps begins
    std::vector<std::uint64_t> lineStarts;   // when tracking: every line's start
    std::array<std::int64_t, std::tuple_size_v<ErrorCodeTable>> counts{};
    std::uint64_t records = 0;
    const char* serial = nullptr;
    std::size_t serialLength = 0;
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
        recordsSinceHeader = 0;
        listing.clear();
        selected.clear();
        lineStarts.clear();
        counts.fill(0);
        records = 0;
        serial = nullptr;
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

bool isRecognisedHeader(std::string_view listingStart)
{
    if (listingStart.size() < 3)
        return false;
    const auto start = listingStart.substr(0, 3);
    for (const std::string_view word : {"Wel", "Log", "Num", "NUM", "Sch", "Nom"})
        if (start == word)
            return true;
    return false;
}

ListingRun::ListingRun(const ListingFilter& filter, std::string previousSerial, Write write,
                       std::size_t longestLine)
    : filter_(filter), write_(std::move(write)), splitter_(longestLine)
{
    summary_.serial = std::move(previousSerial);
    // The output buffer grows as the listing needs it: a short file costs no megabyte.
}

bool ListingRun::feed(std::string_view piece, const std::shared_ptr<const void>& keeper)
{
    if (stopped_ || finished_)
        return false;
    if (pieceSeen_)
        pieceSeen_(piece);
    pieceKeeper_ = keeper ? &keeper : nullptr;
    const Readable readable(*this, piece);
    const struct Forget {
        const std::shared_ptr<const void>*& kept;
        ~Forget() { kept = nullptr; }
    } forget{pieceKeeper_};
    if (parallel_) {
        feedPieces(piece);
        if (out_.size() >= kFlushAt)
            flush();
        return !stopped_;
    }
    const auto inPiece = [piece](const char* at) {
        return std::greater_equal<const char*>()(at, piece.data()) &&
               std::less_equal<const char*>()(at, piece.data() + piece.size());
    };
    const char* const pieceEnd = piece.data() + piece.size();
    const char* resume = nullptr;
    if (!splitter_.feed(piece, [&](std::string_view line) {
            handleLine(line);
            // A line collected over pieces is gone after this call; one inside the
            // piece lasts until feed returns.
            if (lastSerial_ && !inPiece(lastSerial_))
                takeSerial();
            if (!stopped_ && parallelReady()) {
                // The rest of the piece goes to the worker threads. A line collected
                // over pieces ended at the piece's first CR.
                const char* cr = inPiece(line.data()) ? line.data() + line.size()
                                                      : findCR(piece.data(), pieceEnd);
                resume = cr + 1;
                if (resume < pieceEnd && *resume == '\n')
                    ++resume;
                parallel_ = true;
                filtered_ = filter_.dateOn || filter_.errorOn;
                startChain();
                return false;
            }
            return !stopped_;
        }) &&
        !resume)
        stopped_ = true;
    takeSerial();
    if (resume)
        feedPieces(piece.substr(std::size_t(resume - piece.data())));
    if (out_.size() >= kFlushAt)
        flush();
    return !stopped_;
}

// Records are formatted on worker threads once the header is written and the family
// decided, for a run that writes a listing of short header.
bool ListingRun::parallelReady() const
{
    return threads_ > 1 && write_ && !recordSeen_ && headerWritten_ && headerWhole_ &&
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
                return !stopped_;
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
    while (!stopped_) {
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
    if (6 * line.size() + recordBound_ > kShortRecord) {
        dispatch();
        takeFinished(0);
        if (!stopped_)
            handleRecord(line);
        takeSerial();
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
    if (writeFailed_)
        return;
    summary_.records += job.records;
    for (std::size_t row = 0; row < job.counts.size(); ++row)
        summary_.errorCodes[row].count += job.counts[row];
    if (job.serial)
        summary_.serial.assign(job.serial, job.serialLength);
    // Repeated headers already in place: the listing goes out as it stands.
    const std::string_view listing = job.listing.view();
    flush();
    if (tracking_)
        for (const std::uint64_t at : job.lineStarts)
            lineStartsHeld_.push_back(delivered_ + at);
    if (!listing.empty() && !writeFailed_ && !deliver(listing)) {
        writeFailed_ = true;
        stopped_ = true;
    }
    recordsSinceHeader_ = int((std::uint64_t(recordsSinceHeader_) + job.records) % kRecordsPerHeader);
    // The rest of a job that stopped (a long line, or a listing grown large) is listed
    // here.
    const std::string_view text = job.text();
    const Readable readable(*this, text);
    const char* s = text.data() + std::min(job.stoppedAt, text.size());
    const char* const end = text.data() + text.size();
    while (s < end && !stopped_) {
        const char* const cr = lineEndIn(s, end);
        handleRecord({s, std::size_t(cr - s)});
        takeSerial();
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
    job.recordsSinceHeader = since;
    if (fault)
        std::rethrow_exception(fault);

    OutputBuffer& out = job.listing;
    const std::string& header = summary_.headerLine;
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
        const std::size_t bound = 6 * line.size() + recordBound_;
        if (bound > kShortRecord || out.size() >= kJobListing) {
            job.stoppedAt = std::size_t(s - begin);
            return;
        }
        s = cr + 1;
        if (s < end && *s == '\n')
            ++s;
        char* const start = out.reserve(bound + kStoreSlack);
        const std::size_t at = out.size();
        if (tracking_)
            job.lineStarts.push_back(at);
        int errorRow;
        const char* serial;
        std::size_t serialLength = 0;
        char* p = formatFields(line, end, start, errorRow, serial, serialLength);
        if (errorRow >= 0)
            ++job.counts[std::size_t(errorRow)];
        if (serial) {
            job.serial = serial;
            job.serialLength = serialLength;
        }
        ++job.records;
        if (++since == kRecordsPerHeader) {
            since = 0;
            if (tracking_) {
                job.lineStarts.push_back(at + std::size_t(p - start));
                job.lineStarts.push_back(at + std::size_t(p - start) + 2);
            }
            std::memcpy(p, "\r\n", 2);
            p += 2;
            std::memcpy(p, header.data(), header.size());
            p += header.size();
            std::memcpy(p, "\r\n", 2);
            p += 2;
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
    chain_ = jobsGiven_ << 8 | std::uint64_t(recordsSinceHeader_);
}

void ListingRun::settle()
{
    if (parallel_ && !finished_) {
        dispatch();
        takeFinished(0);
    }
}

ListingSummary ListingRun::finish()
{
    if (!finished_) {
        if (parallel_) {
            // The jobs before the last line (or the refused one), in order.
            dispatch();
            takeFinished(0);
        }
        if (!stopped_)
            splitter_.finish([this](std::string_view line) {
                handleLine(line);
                takeSerial();
            });
        finished_ = true;
        if (headerDone_ && !headerWritten_)
            writeHeader();
        flush();
        if (summary_.outcome != ListingOutcome::NoFamily && !isRecognisedHeader(summary_.headerLine))
            summary_.outcome = ListingOutcome::HeaderNotRecognised;
    }
    return summary_;
}

void ListingRun::takeSerial()
{
    if (lastSerial_) {
        summary_.serial.assign(lastSerial_, lastSerialLength_);
        lastSerial_ = nullptr;
    }
}

void ListingRun::handleLine(std::string_view line)
{
    if (!headerDone_)
        handleHeader(line);
    else
        handleRecord(line);
}

void ListingRun::handleHeader(std::string_view line)
{
    summary_.lineFeedsOnly = std::memchr(line.data(), '\n', line.size()) != nullptr;
    const auto tabs = std::size_t(std::count(line.begin(), line.end(), '\t'));
    headerFields_.reserve(tabs + 1);
    headerText_.reserve(line.size() - tabs);
    const char* s = line.data();
    const char* const end = s + line.size();
    for (;;) {
        const char* tab = findTab(s, end);
        const char* stop = tab ? tab : end;
        const auto length = std::size_t(stop - s);
        if (length < kLongField) {
            headerFields_.push_back(std::uint8_t(length));
        } else {
            headerFields_.push_back(kLongField);
            longFields_.emplace_back(headerFields_.size(), length);
        }
        headerText_.append(s, length);
        if (!tab)
            break;
        s = tab + 1;
    }
    headerSize_ = line.size();
    const std::size_t formattedSize = headerText_.size() + headerFields_.size() * kHeaderTail.size();
    headerWhole_ = formattedSize <= kHeaderLineKept;
    formatHeader(kHeaderLineKept);
    // A record field within the header's count is filled to at most its header text
    // + 4, the first one beyond to at most 2 and each later one to at most 3; each adds
    // "| " (the 5 bytes per record byte cover those beyond the header); a repeated
    // header adds an empty line and the header.
    recordBound_ = headerSize_ + 6 * headerFields_.size() + formattedSize + 16;
    recordsSinceHeader_ = 0;
    headerDone_ = true;
}

// Formats the header into summary_.headerLine, at most `most` bytes of it.
void ListingRun::formatHeader(std::size_t most)
{
    std::string& formatted = summary_.headerLine;
    formatted.clear();
    const char* text = headerText_.data();
    auto longField = longFields_.begin();
    for (std::size_t k = 1; k <= headerFields_.size() && formatted.size() < most; ++k) {
        std::size_t length = headerFields_[k - 1];
        if (length == kLongField)
            length = (longField++)->second;
        formatted.append(text, std::min(length, most - formatted.size()));
        formatted.append(kHeaderTail.substr(0, std::min(kHeaderTail.size(), most - formatted.size())));
        text += length;
    }
}

// The width field k of a record is filled to: H(k + 1) - H(k) + 3 of the header's
// position table (negative for the first field beyond the header: never filled).
inline std::int64_t ListingRun::columnWidth(std::size_t k) const
{
    if (k <= headerFields_.size()) {
        const std::uint8_t length = headerFields_[k - 1];
        if (length != kLongField)
            return std::int64_t(length) + 4;
        const auto found = std::lower_bound(
            longFields_.begin(), longFields_.end(), std::make_pair(k, std::size_t(0)));
        return std::int64_t(found->second) + 4;
    }
    return k == headerFields_.size() + 1 ? 2 - std::int64_t(headerSize_) : 3;
}

void ListingRun::writeHeader()
{
    headerWritten_ = true;
    markLine();
    if (headerWhole_) {
        put(summary_.headerLine.data(), summary_.headerLine.size());
        put(kLineEnd.data(), kLineEnd.size());
        return;
    }
    // A long header is formatted straight into the output, a long field going out as
    // it stands.
    const char* text = headerText_.data();
    auto longField = longFields_.begin();
    for (std::size_t k = 1; k <= headerFields_.size() && !stopped_; ++k) {
        std::size_t length = headerFields_[k - 1];
        if (length == kLongField) {
            length = (longField++)->second;
            put(text, length);
            put(kHeaderTail.data(), kHeaderTail.size());
        } else {
            char* p = out_.reserve(length + kHeaderTail.size());
            std::memcpy(p, text, length);
            std::memcpy(p + length, kHeaderTail.data(), kHeaderTail.size());
            out_.commit(p + length + kHeaderTail.size());
            if (out_.size() >= kFlushAt)
                flush();
        }
        text += length;
    }
    put(kLineEnd.data(), kLineEnd.size());
}

bool ListingRun::decideFamily(std::string_view line)
{
    // The 10 characters from the start of field 3 or 4, fewer at the line's end; they
    // may run on into the next field.
    const auto dateIn = [line](int field) {
        const std::size_t start = fieldStart(line, field);
        return start != std::string_view::npos && parseDateText(line.substr(start, 10));
    };
    MachineFamily family = MachineFamily::Unknown;
    if (dateIn(3))
        family = MachineFamily::ORV;
    if (dateIn(4))
        family = MachineFamily::T5Z;
    if (family == MachineFamily::Unknown)
        return false;
    takeFamily(family);
    return true;
}

void ListingRun::takeFamily(MachineFamily family)
{
    summary_.family = family;
    setErrorCodeLabels(summary_.errorCodes, family);
    // The row of every error number whose text can name one: an error field's text
    // matches a row only when it is such a number written plainly.
    for (std::size_t number = 0; number < errorRows_.size(); ++number) {
        const auto row = errorCodeRow(family, std::to_string(number));
        errorRows_[number] = std::int8_t(row ? *row : -1);
    }
}

void ListingRun::presetFamily(MachineFamily family)
{
    if (family != MachineFamily::Unknown)
        takeFamily(family);
}

// The row the record's error field names, -1 for none.
inline int ListingRun::errorRowOf(const char* text, std::size_t length) const
{
    // Only "0" and numbers without a leading zero name a row.
    if (length == 0 || length > 3 || (text[0] == '0' && length > 1))
        return -1;
    unsigned number = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const auto digit = unsigned(static_cast<unsigned char>(text[i])) - unsigned('0');
        if (digit > 9)
            return -1;
        number = number * 10 + digit;
    }
    return number < errorRows_.size() ? errorRows_[number] : -1;
}

void ListingRun::handleRecord(std::string_view line)
{
    summary_.lineFeedsOnly = false;  // a line end came after the header
    if (summary_.family == MachineFamily::Unknown) {
        const bool decided = decideFamily(line);
        if (!decided)
            summary_.outcome = ListingOutcome::NoFamily;
        if (!headerWritten_)
            writeHeader();
        if (!decided) {
            stopped_ = true;
            return;
        }
    } else if (!headerWritten_) {
        writeHeader();  // the family was preset
    }
    const MachineFamily family = summary_.family;

    if ((filter_.dateOn || filter_.errorOn) && !recordSelected(line, family, filter_))
        return;
    if (recordSeen_)
        recordSeen_(line, family);
    if (!write_) {
        countRecord(line);
        return;
    }
    const std::size_t bound = 6 * line.size() + recordBound_;
    if (bound > kShortRecord || !headerWhole_) {
        formatLong(line);
        return;
    }
    formatRecord(line, bound);
}

// A record of a run that writes no listing: only its serial and error fields are read.
void ListingRun::countRecord(std::string_view line)
{
    const auto errorField = std::size_t(errorFieldOf(summary_.family));
    const auto serialField = std::size_t(serialFieldOf(summary_.family));
    const std::size_t lastField = std::max(errorField, serialField);
    std::size_t k = 0;
    forEachField(line.data(), line.data() + line.size(), [&](const char* from, const char* to) {
        ++k;
        if (k == serialField) {
            lastSerial_ = from;
            lastSerialLength_ = std::size_t(to - from);
        } else if (k == errorField) {
            if (const int row = errorRowOf(from, std::size_t(to - from)); row >= 0)
                ++summary_.errorCodes[std::size_t(row)].count;
        }
        return k < lastField;
    });
    ++summary_.records;
    if (++recordsSinceHeader_ == kRecordsPerHeader)
        recordsSinceHeader_ = 0;
}

// Writes the record's fields at p (bytes up to limit may be read, the record ends
// first) and returns the end; errorRow gets the row its error field names (-1 none),
// serial its serial field (null when it has none).
[[gnu::always_inline]] inline char* ListingRun::formatFields(std::string_view line, const char* limit, char* p,
                                      int& errorRow, const char*& serial,
                                      std::size_t& serialLength) const
{
    const auto errorField = std::size_t(errorFieldOf(summary_.family));
    const auto serialField = std::size_t(serialFieldOf(summary_.family));
    // The header's field lengths held locally: the byte stores below may alias anything
    // reached through this.
    const std::uint8_t* const headerFields = headerFields_.data();
    const std::size_t headerFieldCount = headerFields_.size();
    errorRow = -1;
    serial = nullptr;
    std::size_t k = 0;
    forEachField(line.data(), line.data() + line.size(), [&](const char* from, const char* to)
                                                             __attribute__((always_inline)) {
        ++k;
        const auto length = std::size_t(to - from);
        copyField(p, from, length, limit);
        p += length;
        std::int64_t width;
        if (k <= headerFieldCount && headerFields[k - 1] != kLongField)
            width = std::int64_t(headerFields[k - 1]) + 4;
        else
            width = columnWidth(k);
        if (const std::int64_t fill = width - std::int64_t(length); fill > 0) {
            fillSpaces16(p, std::size_t(fill));
            p += fill;
        }
        std::memcpy(p, "| ", 2);
        p += 2;
        if (k == serialField) {
            serial = from;
            serialLength = length;
        } else if (k == errorField) {
            errorRow = errorRowOf(from, length);
        }
        return true;
    });
    std::memcpy(p, "\r\n", 2);
    return p + 2;
}

void ListingRun::formatRecord(std::string_view line, std::size_t bound)
{
    char* const start = out_.reserve(bound + kStoreSlack);
    if (tracking_)
        markLine();
    int errorRow;
    const char* serial;
    std::size_t serialLength = 0;
    // Fields are copied in whole 16-byte loads where the bytes after the line may be
    // read: those of the piece being fed.
    const char* const lineEnd = line.data() + line.size();
    const char* limit = lineEnd;
    if (std::greater_equal<const char*>()(line.data(), readable_.data()) &&
        std::less_equal<const char*>()(lineEnd, readable_.data() + readable_.size()))
        limit = readable_.data() + readable_.size();
    char* p = formatFields(line, limit, start, errorRow, serial, serialLength);
    if (errorRow >= 0)
        ++summary_.errorCodes[std::size_t(errorRow)].count;
    if (serial) {
        lastSerial_ = serial;
        lastSerialLength_ = serialLength;
    }
    ++summary_.records;
    if (++recordsSinceHeader_ == kRecordsPerHeader) {
        recordsSinceHeader_ = 0;
        if (tracking_) {
            markLine(std::size_t(p - start));
            markLine(std::size_t(p - start) + 2);
        }
        std::memcpy(p, "\r\n", 2);
        p += 2;
        std::memcpy(p, summary_.headerLine.data(), summary_.headerLine.size());
        p += summary_.headerLine.size();
        std::memcpy(p, "\r\n", 2);
        p += 2;
    }
    out_.commit(p);
    if (out_.size() >= kFlushAt)
        flush();
}

// The same formatting for a record whose listing line may be large: written in
// pieces through the output buffer, long fields and fills straight to the listing.
void ListingRun::formatLong(std::string_view line)
{
    const auto errorField = std::size_t(errorFieldOf(summary_.family));
    const auto serialField = std::size_t(serialFieldOf(summary_.family));
    markLine();
    std::size_t k = 0;
    forEachField(line.data(), line.data() + line.size(), [&](const char* from, const char* to) {
        ++k;
        const auto length = std::size_t(to - from);
        const std::int64_t fill = columnWidth(k) - std::int64_t(length);
        put(from, length);
        if (fill > 0)
            putSpaces(std::size_t(fill));
        put("| ", 2);
        if (k == serialField) {
            // The serial is taken at once: the line may be gone before the next
            // record is formatted.
            lastSerial_ = nullptr;
            summary_.serial.assign(from, length);
        } else if (k == errorField) {
            if (const int row = errorRowOf(from, length); row >= 0)
                ++summary_.errorCodes[std::size_t(row)].count;
        }
        return !stopped_;
    });
    put(kLineEnd.data(), kLineEnd.size());
    ++summary_.records;
    if (++recordsSinceHeader_ == kRecordsPerHeader) {
        recordsSinceHeader_ = 0;
        markLine();
        put(kLineEnd.data(), kLineEnd.size());
        writeHeader();
    }
}

void ListingRun::put(const char* bytes, std::size_t count)
{
    if (count < kFlushAt) {
        append({bytes, count});
        return;
    }
    // Large enough to go out on its own, without a copy.
    flush();
    if (write_ && !writeFailed_ && !deliver({bytes, count})) {
        writeFailed_ = true;
        stopped_ = true;
    }
}

void ListingRun::putSpaces(std::size_t count)
{
    while (count > 0 && !stopped_) {
        const std::size_t part = std::min(count, kFlushAt);
        out_.commit(fillSpaces(out_.reserve(part), part));
        count -= part;
        if (out_.size() >= kFlushAt)
            flush();
    }
}

void ListingRun::append(std::string_view bytes)
{
    out_.append(bytes);
    if (out_.size() >= kFlushAt)
        flush();
}

void ListingRun::flush()
{
    if (writeFailed_)
        out_.clear();
    if (out_.empty())
        return;
    if (write_ && !deliver(out_.view())) {
        writeFailed_ = true;
        stopped_ = true;
    }
    out_.clear();
}

// Notes that a listing line begins `ahead` bytes after the end of the output buffer.
void ListingRun::markLine(std::size_t ahead)
{
    if (tracking_)
        lineStartsHeld_.push_back(delivered_ + out_.size() + ahead);
}

// Hands a piece of the listing to write_, after the starts of the lines that begin in
// it (a start noted for a line whose first byte is still to come stays held).
bool ListingRun::deliver(std::string_view piece)
{
    if (tracking_) {
        const std::uint64_t end = delivered_ + piece.size();
        const auto held = std::lower_bound(lineStartsHeld_.begin(), lineStartsHeld_.end(), end);
        const auto count = std::size_t(held - lineStartsHeld_.begin());
        if (count > 0)
            lineStarts_(lineStartsHeld_.data(), count);
        lineStartsHeld_.erase(lineStartsHeld_.begin(), held);
    }
    delivered_ += piece.size();
    return write_(piece);
}

FileResult lineTooLongFault(const std::filesystem::path& source, const ListingRun& run)
{
    FileResult result;
    result.fault = FileFault::LineTooLong;
    result.path = source.string();
    result.line = run.refusedLine();
    result.detail = "more than " + std::to_string(run.longestLine()) + " bytes";
    return result;
}

ListingSummary listText(std::string_view plain, const ListingFilter& filter,
                        const std::string& previousSerial, std::string& listing)
{
    listing.clear();
    ListingRun run(filter, previousSerial, [&listing](std::string_view bytes) {
        listing.append(bytes);
        return true;
    });
    run.feed(plain);
    return run.finish();
}

namespace {

ListingFileResult listDownloadPieces(const std::filesystem::path& source, bool scrambled,
                                     ListingRun& run, const Progress& progress)
{
    ListingFileResult result;
    fileio::Reader reader;
    if (result.file = reader.open(source); !result.file.ok())
        return result;
    result.file = readPlainPieces(
        reader, source, scrambled,
        [&run](std::string_view piece, const std::shared_ptr<const void>& keeper) { return run.feed(piece, keeper); },
        [&run] { run.settle(); }, progress);
    if (!result.file.ok())
        return result;
    result.summary = run.finish();
    if (run.writeFailed())
        result.file.fault = FileFault::TargetWrite;
    else if (run.refusedLine() != 0)
        result.file = lineTooLongFault(source, run);
    return result;
}

}  // namespace

ListingFileResult listDownload(const std::filesystem::path& source, bool scrambled,
                               ListingRun& run, const Progress& progress)
{
    try {
        return listDownloadPieces(source, scrambled, run, progress);
    } catch (const std::bad_alloc&) {
        // A line or header too large for the memory there is: the run ends with a
        // fault instead of taking the program down.
        ListingFileResult result;
        result.file.fault = FileFault::OutOfMemory;
        result.file.path = source.string();
        return result;
    }
}

ListingFileResult listFile(const std::filesystem::path& plainSource,
                           const std::filesystem::path& listingFile,
                           const ListingFilter& filter,
                           const std::string& previousSerial,
                           const Progress& progress)
{
    fileio::AtomicWriter writer;
    FileResult writeFault;
    ListingRun run(filter, previousSerial, [&](std::string_view bytes) {
        writeFault = writer.write(bytes.data(), bytes.size());
        return writeFault.ok();
    });

    ListingFileResult result;
    if (auto created = writer.open(listingFile, true, /*durable=*/false); !created) {
        result.file = created;
    } else {
        result = listDownload(plainSource, false, run, progress);
        if (!writeFault.ok())
            result.file = writeFault;
        else if (result.file.ok())
            result.file = writer.commit();
    }
    if (!result.file.ok()) {
        // A listing that could not be finished must not stay behind looking current.
        writer.abandon();
        fileio::removeFile(listingFile);
        if (result.file.fault == FileFault::Cancelled)
            result.file.path = listingFile.string();
    }
    return result;
}

}  // namespace kestrava
