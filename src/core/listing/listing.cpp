#include "core/listing/listing.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

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

ListingRun::ListingRun(const ListingFilter& filter, std::string previousSerial, Write write,
                       std::size_t longestLine)
    : filter_(filter), write_(std::move(write)), splitter_(longestLine)
{
    summary_.serial = std::move(previousSerial);
    // The output buffer grows as the listing needs it: a short file costs no megabyte.
}

bool ListingRun::feed(std::string_view piece)
{
    if (stopped_ || finished_)
        return false;
    const auto inPiece = [piece](const char* at) {
        return std::greater_equal<const char*>()(at, piece.data()) &&
               std::less_equal<const char*>()(at, piece.data() + piece.size());
    };
    if (!splitter_.feed(piece, [&](std::string_view line) {
            handleLine(line);
            // A line collected over pieces is gone after this call; one inside the
            // piece lasts until feed returns.
            if (lastSerial_ && !inPiece(lastSerial_))
                takeSerial();
            return !stopped_;
        }))
        stopped_ = true;
    takeSerial();
    if (out_.size() >= kFlushAt)
        flush();
    return !stopped_;
}

ListingSummary ListingRun::finish()
{
    if (!finished_) {
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
    summary_.family = family;
    setErrorCodeLabels(summary_.errorCodes, family);
    // The row of every error number whose text can name one: an error field's text
    // matches a row only when it is such a number written plainly.
    for (std::size_t number = 0; number < errorRows_.size(); ++number) {
        const auto row = errorCodeRow(family, std::to_string(number));
        errorRows_[number] = std::int8_t(row ? *row : -1);
    }
    return true;
}

// Counts the record's error field in its row, if it names one.
inline void ListingRun::countErrorCode(const char* text, std::size_t length)
{
    // Only "0" and numbers without a leading zero name a row.
    if (length == 0 || length > 3 || (text[0] == '0' && length > 1))
        return;
    unsigned number = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const auto digit = unsigned(static_cast<unsigned char>(text[i])) - unsigned('0');
        if (digit > 9)
            return;
        number = number * 10 + digit;
    }
    if (number < errorRows_.size() && errorRows_[number] >= 0)
        ++summary_.errorCodes[std::size_t(errorRows_[number])].count;
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
            countErrorCode(from, std::size_t(to - from));
        }
        return k < lastField;
    });
    ++summary_.records;
    if (++recordsSinceHeader_ == kRecordsPerHeader)
        recordsSinceHeader_ = 0;
}

void ListingRun::formatRecord(std::string_view line, std::size_t bound)
{
    const auto errorField = std::size_t(errorFieldOf(summary_.family));
    const auto serialField = std::size_t(serialFieldOf(summary_.family));
    // The header's field lengths held locally: the byte stores below may alias anything
    // reached through this.
    const std::uint8_t* const headerFields = headerFields_.data();
    const std::size_t headerFieldCount = headerFields_.size();
    const char* const end = line.data() + line.size();
    const char* serial = nullptr;
    std::size_t serialLength = 0;
    char* const start = out_.reserve(bound + kStoreSlack);
    char* p = start;
    if (tracking_)
        markLine();
    std::size_t k = 0;
    forEachField(line.data(), end, [&](const char* from, const char* to) {
        ++k;
        const auto length = std::size_t(to - from);
        copyField(p, from, length, end);
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
            countErrorCode(from, length);
        }
        return true;
    });
    if (serial) {
        lastSerial_ = serial;
        lastSerialLength_ = serialLength;
    }
    std::memcpy(p, "\r\n", 2);
    p += 2;
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
            countErrorCode(from, length);
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
    result.file = readPlainText(
        source, scrambled, [&run](std::string_view piece) { return run.feed(piece); }, progress);
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
