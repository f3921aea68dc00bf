// The listing run on the caller's thread: the header, the family, and every record
// listed here (all of them until the worker threads take over, and the long ones).
#include <algorithm>
#include <cstring>
#include <functional>

#include "core/listing/field_scan.h"
#include "core/listing/listing.h"
#include "core/listing/listing_bytes.h"
#include "core/listing/record_filter.h"

namespace kestrava {

namespace {

// A record whose listing line may need more than this is formatted piece by piece,
// so that a very long line never needs an output buffer of its own size.
constexpr std::size_t kShortRecord = std::size_t(64) << 10;
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

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

bool ListingRun::feed(std::string_view piece, const std::shared_ptr<const void>& keeper)
{
    if (!feedPiece(piece, keeper))
        return false;
    if (stopAtUnknownHeader_) {
        const std::string_view start = headerStartSoFar();
        if ((headerDone_ || start.size() >= 3) && !isRecognisedHeader(start)) {
            headerRefused_ = true;
            stopped_ = true;
            return false;
        }
    }
    return true;
}

bool ListingRun::feedPiece(std::string_view piece, const std::shared_ptr<const void>& keeper)
{
    if (stopped() || finished_)
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
        output_.flushIfFull();
        return !stopped();
    }
    const auto inPiece = [piece](const char* at) {
        return std::greater_equal<const char*>()(at, piece.data()) &&
               std::less_equal<const char*>()(at, piece.data() + piece.size());
    };
    const char* const pieceEnd = piece.data() + piece.size();
    const char* resume = nullptr;
    if (!splitter_.feed(piece,
                        [&](std::string_view line) {
                            handleLine(line);
                            // A line collected over pieces is gone after this call; one inside the
                            // piece lasts until feed returns.
                            if (tally_.serial.data() && !inPiece(tally_.serial.data()))
                                takeTally();
                            if (!stopped() && parallelReady()) {
                                // The rest of the piece goes to the worker threads. A line collected
                                // over pieces ended at the piece's first CR.
                                const char* cr =
                                    inPiece(line.data())
                                        ? line.data() + line.size()
                                        : listing_bytes::findCR(piece.data(), pieceEnd);
                                resume = cr + 1;
                                if (resume < pieceEnd && *resume == '\n')
                                    ++resume;
                                parallel_ = true;
                                filtered_ = filter_.dateOn || filter_.errorOn;
                                startChain();
                                return false;
                            }
                            return !stopped();
                        }) &&
        !resume)
        stopped_ = true;
    takeTally();
    if (resume)
        feedPieces(piece.substr(std::size_t(resume - piece.data())));
    output_.flushIfFull();
    return !stopped();
}

ListingSummary ListingRun::finish()
{
    if (headerRefused_) {
        finished_ = true;
        summary_.outcome = ListingOutcome::HeaderNotRecognised;
        return summary_;
    }
    if (!finished_) {
        if (parallel_) {
            // The jobs before the last line (or the refused one), in order.
            dispatch();
            takeFinished(0);
        }
        if (!stopped())
            splitter_.finish([this](std::string_view line) {
                handleLine(line);
                takeTally();
            });
        finished_ = true;
        if (headerDone_ && !headerWritten_)
            writeHeader();
        output_.flush();
        if (summary_.outcome != ListingOutcome::NoFamily &&
            !isRecognisedHeader(summary_.headerLine))
            summary_.outcome = ListingOutcome::HeaderNotRecognised;
    }
    return summary_;
}

// The records listed on this thread into the summary.
void ListingRun::takeTally()
{
    tally_.moveInto(summary_.errorCodes, summary_.records, summary_.serial);
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
    layout_.read(line, kHeaderLineKept);
    layout_.formatHeader(summary_.headerLine, kHeaderLineKept);
    tally_.sinceHeader = 0;
    headerDone_ = true;
}

void ListingRun::writeHeader()
{
    headerWritten_ = true;
    output_.markLine();
    if (layout_.whole()) {
        output_.put(summary_.headerLine.data(), summary_.headerLine.size());
        output_.put(kLineEnd.data(), kLineEnd.size());
        return;
    }
    // A long header is formatted straight into the output, a long field going out as
    // it stands.
    if (!stopped())
        layout_.forEachHeaderField([this](const char* text, std::size_t length, bool isLong) {
            if (isLong) {
                output_.put(text, length);
                output_.put(kHeaderTail.data(), kHeaderTail.size());
            } else {
                char* p = output_.reserve(length + kHeaderTail.size());
                std::memcpy(p, text, length);
                std::memcpy(p + length, kHeaderTail.data(), kHeaderTail.size());
                output_.commit(p + length + kHeaderTail.size());
            }
            return !stopped();
        });
    output_.put(kLineEnd.data(), kLineEnd.size());
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
    errorRows_.setFamily(family);
}

void ListingRun::presetFamily(MachineFamily family)
{
    if (family != MachineFamily::Unknown)
        takeFamily(family);
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
    if (!output_.writes()) {
        countRecord(line);
        return;
    }
    const std::size_t bound = 6 * line.size() + layout_.recordBound();
    if (bound > kShortRecord || !layout_.whole()) {
        formatLong(line);
        return;
    }
    formatRecord(line, bound);
}

// A record of a run that writes no listing: only its serial and error fields are read.
void ListingRun::countRecord(std::string_view line)
{
    const RecordRoles roles(summary_.family, errorRows_);
    const std::size_t lastField = std::max(roles.errorField, roles.serialField);
    RecordFields found;
    std::size_t k = 0;
    forEachField(line.data(), line.data() + line.size(), [&](const char* from, const char* to) {
        found.see(roles, ++k, from, std::size_t(to - from));
        return k < lastField;
    });
    tally_.add(found);  // no header is written again in a run that writes nothing
}

void ListingRun::formatRecord(std::string_view line, std::size_t bound)
{
    char* const start = output_.reserve(bound + listing_bytes::kStoreSlack);
    output_.markLine();
    // Fields are copied in whole 16-byte loads where the bytes after the line may be
    // read: those of the piece being fed.
    const char* const lineEnd = line.data() + line.size();
    const char* limit = lineEnd;
    if (std::greater_equal<const char*>()(line.data(), readable_.data()) &&
        std::less_equal<const char*>()(lineEnd, readable_.data() + readable_.size()))
        limit = readable_.data() + readable_.size();
    RecordFields found;
    char* p =
        layout_.formatRecord(line, limit, start, RecordRoles(summary_.family, errorRows_), found);
    if (tally_.add(found)) {
        output_.markLine(std::size_t(p - start));
        output_.markLine(std::size_t(p - start) + 2);
        p = putRepeatedHeader(p, summary_.headerLine);
    }
    output_.commit(p);
}

// The same formatting for a record whose listing line may be large: written in
// pieces through the output buffer, long fields and fills straight to the listing.
void ListingRun::formatLong(std::string_view line)
{
    const RecordRoles roles(summary_.family, errorRows_);
    output_.markLine();
    RecordFields found;
    std::size_t k = 0;
    forEachField(line.data(), line.data() + line.size(), [&](const char* from, const char* to) {
        ++k;
        const auto length = std::size_t(to - from);
        const std::int64_t fill = layout_.columnWidth(k) - std::int64_t(length);
        output_.put(from, length);
        if (fill > 0)
            output_.putSpaces(std::size_t(fill));
        output_.put("| ", 2);
        found.see(roles, k, from, length);
        return !stopped();
    });
    output_.put(kLineEnd.data(), kLineEnd.size());
    const bool headerAgain = tally_.add(found);
    // The serial is taken at once: the line may be gone before the next record is
    // formatted.
    takeTally();
    if (headerAgain) {
        output_.markLine();
        output_.put(kLineEnd.data(), kLineEnd.size());
        writeHeader();
    }
}

}  // namespace kestrava
