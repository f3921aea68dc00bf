// The listing run: a plain download file in, the fixed-column listing out.
//
// Lines end at CR or CR LF (a lone LF is part of the line; text after the last line
// end is a last line). Line 1 is the header; every later line is a record. Each kept
// record becomes one line whose columns are as wide as the header's; the header is
// repeated after an empty line after every 40 records. Output lines end with CR LF.
// Field bytes are copied as they stand in the file (never re-encoded).
// The run streams: memory does not grow with the number of records. It holds the line
// being read, the header's text without its tabs and one byte per header field (more
// only for header fields of 255 bytes or longer), so a header costs at most its own
// size; a long header is formatted piece by piece whenever it is written. A line longer
// than kLongestListedLine is refused.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/file_io.h"
#include "core/files/file_result.h"
#include "core/listing/column_layout.h"
#include "core/listing/listing_output.h"
#include "core/listing/machine_family.h"
#include "core/listing/record_filter.h"
#include "core/listing/record_tally.h"
#include "core/settings/regional.h"
#include "core/text/line_splitter.h"

namespace kestrava {

// The longest line the listing run takes (256 MiB, CR and LF not counted).
constexpr std::size_t kLongestListedLine = std::size_t(256) << 20;

// The most of the formatted header line a summary keeps (ListingSummary::headerLine).
constexpr std::size_t kHeaderLineKept = std::size_t(64) << 10;

// The number of threads a listing run formats on unless told otherwise (setThreads):
// the processor count, at most 4. 1 formats on the caller's thread alone.
void setListingThreads(unsigned count);
unsigned listingThreads();

enum class ListingOutcome {
    Listed,  // the listing is complete and its header is recognised
    NoFamily,  // hand-over A: the first record line has no date in field 3 or 4
    HeaderNotRecognised,  // hand-over B: the listing does not start with a known header word
};

struct ListingSummary {
    ListingOutcome outcome = ListingOutcome::Listed;
    MachineFamily family = MachineFamily::Unknown;
    ErrorCodeTable errorCodes = freshErrorCodeTable();
    std::string serial;  // serial field of the last listed record, else the previous serial
    // The formatted header line (without CR LF), whole when it is at most
    // kHeaderLineKept bytes long, else its first kHeaderLineKept bytes.
    std::string headerLine;
    std::uint64_t records = 0;  // record lines written to the listing
    // The file's only line holds line feeds: its lines end in LF alone, which ends no
    // line here, so the whole file was read as the header and no record was listed.
    bool lineFeedsOnly = false;
};

struct ListingFileResult {
    FileResult file;  // a fault reading the source or writing the listing
    ListingSummary summary;  // meaningful only when file.ok()
};

// The listing run on a source that arrives in pieces, writing the listing through a
// callback. Memory is bounded by the longest line (plus the output buffer).
class ListingRun {
public:
    // Receives the listing bytes in large pieces; returning false stops the run. A
    // run given no write callback writes no listing and formats no record: its summary
    // is the same, at less cost.
    using Write = ListingOutput::Write;

    ListingRun(const ListingFilter& filter, std::string previousSerial, Write write,
               std::size_t longestLine = kLongestListedLine);
    ~ListingRun();
    ListingRun(const ListingRun&) = delete;
    ListingRun& operator=(const ListingRun&) = delete;

    // With 2 or more threads, once the header is written and the family decided, the
    // records are formatted in pieces on that many worker threads while the caller's
    // thread reads and writes; the listing, the summary and the line starts are the same
    // byte for byte. Set before the first feed.
    void setThreads(unsigned count) { threads_ = count; }

    // For records whose family was decided when they were first read (the weld
    // archive lists the records it keeps): the run takes that family instead of
    // deciding it on its first record line, which need not hold a date. Set before the
    // first feed.
    void presetFamily(MachineFamily family);

    // With stopAtUnknownHeader the run stops as soon as the first three bytes of the
    // header line are known not to be a recognised header (a long first line, a file
    // with no line end at all, is not read to its end only to be refused): feed then
    // returns false, and finish() gives the summary so far, its outcome
    // HeaderNotRecognised, writing nothing more. Set before the first feed.
    void setStopAtUnknownHeader(bool on) { stopAtUnknownHeader_ = on; }
    bool headerRefused() const { return headerRefused_; }

    // Feeds the next piece of the plain source. Returns false once the run has
    // stopped: no family on the first record line, a refused write, or a line longer
    // than longestLine. keeper, when set, keeps the piece readable for as long as it is
    // held: the worker threads then read its lines in place instead of a copy of them.
    bool feed(std::string_view piece, const std::shared_ptr<const void>& keeper = {});

    // Formats and writes all the records given out to the worker threads, so that the
    // run reads nothing more of the pieces fed so far.
    void settle();

    // Ends the source (text after the last line end is the last line), flushes the
    // listing and returns the summary.
    ListingSummary finish();

    // Called with every record line kept under the filter (and the decided family), so
    // that a caller can read its fields without parsing the listing.
    using RecordSeen = std::function<void(std::string_view record, MachineFamily family)>;
    void setRecordSeen(RecordSeen seen) { recordSeen_ = std::move(seen); }

    // Called with every piece of the plain source fed to the run, before it is read, so
    // that a caller can tell two sources of the same text apart from others.
    using PieceSeen = std::function<void(std::string_view piece)>;
    void setPieceSeen(PieceSeen seen) { pieceSeen_ = std::move(seen); }

    // Called before each piece goes to the write callback with the offsets (from the
    // start of the listing, in bytes) of the listing lines that begin in that piece, in
    // order; a line that runs on into later pieces is reported with the piece it begins
    // in. The empty line before a repeated header is a line too. Offsets are collected
    // only while a callback is set.
    using LineStarts = ListingOutput::LineStarts;
    void setLineStarts(LineStarts starts) { output_.setLineStarts(std::move(starts)); }

    // True when the write callback refused a piece.
    bool writeFailed() const { return output_.failed(); }

    // The number of the line (1 for the header) that was longer than the longest a
    // run takes, 0 when there was none. Such a run lists nothing after that line.
    std::uint64_t refusedLine() const
    {
        return splitter_.tooLong() ? splitter_.lines() + piecedLines_ + 1 : 0;
    }
    std::size_t longestLine() const { return splitter_.longestLine(); }

    // True once finish() has been called: the header is then final even when no
    // record line decided the family.
    bool sourceEnded() const { return finished_; }

    // The summary so far (its counts and serial as of the last piece fed), and whether
    // the header line has been read: a caller that
    // must not show a partial listing can hold the output back until the header is
    // known to be recognised and the family decided.
    const ListingSummary& summarySoFar() const { return summary_; }
    bool headerDone() const { return headerDone_; }
    // The first bytes (at most 3) of the header line while it is still being read, so
    // that a caller can give up on a file whose header can never be recognised
    // without holding a long first line.
    std::string_view headerStartSoFar() const
    {
        return headerDone_ ? std::string_view(summary_.headerLine).substr(0, 3)
                           : splitter_.pending().substr(0, 3);
    }

private:
    struct Job;
    struct Pool;

    // listing_run.cpp: the run on the caller's thread.
    bool feedPiece(std::string_view piece, const std::shared_ptr<const void>& keeper);
    bool stopped() const { return stopped_ || output_.failed(); }
    void handleLine(std::string_view line);
    void handleHeader(std::string_view line);
    void handleRecord(std::string_view line);
    bool decideFamily(std::string_view line);
    void takeFamily(MachineFamily family);
    void writeHeader();
    void countRecord(std::string_view line);
    void formatRecord(std::string_view line, std::size_t bound);
    void formatLong(std::string_view line);
    void takeTally();

    // listing_jobs.cpp: the records formatted on worker threads.
    bool parallelReady() const;
    void feedPieces(std::string_view piece);
    void startJob();
    void startChain();
    void addLine(std::string_view line);
    void addLines(const char* from, const char* to);
    void joinJob(const char* from, std::size_t count);
    void dispatch();
    void takeFinished(std::size_t keep);
    void take(Job& job);
    void formatJob(Job& job) const;
    void workerLoop();

    ListingFilter filter_;
    RecordSeen recordSeen_;
    PieceSeen pieceSeen_;
    ListingSummary summary_;
    ColumnLayout layout_;
    ErrorRows errorRows_;
    // The records listed on this thread since their counts and serial last went to
    // summary_: the serial still lies in the piece being fed (it is copied to the
    // summary before that piece goes).
    RecordTally tally_;
    LineSplitter splitter_;  // the source cut into lines
    ListingOutput output_;
    bool headerDone_ = false;
    bool headerWritten_ = false;
    bool stopped_ = false;
    bool finished_ = false;
    bool stopAtUnknownHeader_ = false;
    bool headerRefused_ = false;

    // Formatting on worker threads.
    unsigned threads_ = listingThreads();
    bool parallel_ = false;  // records now go to jobs
    bool filtered_ = false;
    std::uint64_t piecedLines_ = 0;  // lines listed in jobs, not counted by the splitter
    std::uint64_t jobsGiven_ = 0;
    // Passed from job to job on the worker threads: the number of the job whose turn it
    // is to read it (above the low 8 bits) and the records since the header before it.
    // A mutex and a condition variable, not an atomic wait: MinGW's libstdc++ has no
    // futex and its atomic waits lost wake-ups there.
    mutable std::mutex chainLock_;
    mutable std::condition_variable chainMoved_;
    mutable std::uint64_t chain_ = 0;
    std::unique_ptr<Job> current_;  // the job being filled
    const std::shared_ptr<const void>* pieceKeeper_ = nullptr;  // of the piece being fed
    // The source text being listed on the caller's thread (a piece fed, or the rest of a
    // job), which a record's formatting may read past the record's end.
    std::string_view readable_;
    struct Readable {
        ListingRun& run;
        std::string_view before;
        Readable(ListingRun& listing, std::string_view text)
            : run(listing), before(listing.readable_)
        {
            run.readable_ = text;
        }
        ~Readable() { run.readable_ = before; }
    };
    std::deque<std::unique_ptr<Job>> inFlight_;  // given out, in listing order
    std::vector<std::unique_ptr<Job>> spare_;
    std::unique_ptr<Pool> pool_;
};

// What a caller does with every plain piece of a download besides listing it (the
// window's working copy of a scrambled file): called before the run reads the piece;
// returning false ends the reading (the caller keeps its own fault). With a tap the
// file is read to its end even once the run has stopped, unless a write was refused.
using PieceTap = std::function<bool(std::string_view piece)>;

// The run on a download file of either kind: a scrambled one is decoded on the way.
// A refused write ends the run with FileFault::TargetWrite (empty path: the caller
// knows where it wrote). Reading stops early once the run has stopped. A run that
// cannot get the memory it needs ends with FileFault::OutOfMemory, one that meets a
// line longer than the run takes with FileFault::LineTooLong; the summary is then
// meaningless. The one way every caller lists a download file.
ListingFileResult listDownload(const std::filesystem::path& source, bool scrambled, ListingRun& run,
                               const Progress& progress = {}, const PieceTap& tap = {});
// The same on a source the caller has opened (so that it can tell a source that
// cannot be opened from its own faults).
ListingFileResult listDownload(fileio::Reader& opened, const std::filesystem::path& source,
                               bool scrambled, ListingRun& run, const Progress& progress = {},
                               const PieceTap& tap = {});

// The whole run on an in-memory text (tests, small files): the listing is returned in
// listing.
ListingSummary listText(std::string_view plain, const ListingFilter& filter,
                        const std::string& previousSerial, std::string& listing);

// The recognition test on the first characters of a listing (or header line):
// "Wel", "Log", "Num", "NUM", "Sch", "Nom", case-sensitive.
bool isRecognisedHeader(std::string_view listingStart);

}  // namespace kestrava
