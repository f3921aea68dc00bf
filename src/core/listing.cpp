#include "core/listing.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/file_io.h"
#include "core/plain_reader.h"
#include "core/record_filter.h"

namespace kestrava {

namespace {

constexpr std::size_t kFlushAt = std::size_t(1) << 20;
constexpr int kRecordsPerHeader = 40;
constexpr std::string_view kHeaderTail = "    | ";
constexpr std::string_view kLineEnd = "\r\n";

// Positions of a line (1-based): entry 0 is 0, entry j the position of the j-th tab,
// the last entry the line's length + 1. Field k spans positions entry[k-1]+1 ..
// entry[k]-1.
void buildPositions(std::string_view line, std::vector<std::int64_t>& positions)
{
    // Fields are short: a plain scan beats a library search per field.
    positions.clear();
    positions.push_back(0);
    const char* data = line.data();
    const std::size_t size = line.size();
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] == '\t')
            positions.push_back(std::int64_t(i) + 1);
    positions.push_back(std::int64_t(size) + 1);
}

// Copies a short run of bytes; library calls cost more than the copy for a few bytes.
inline char* copyBytes(char* to, const char* from, std::size_t count)
{
    if (count > 32) {
        std::memcpy(to, from, count);
        return to + count;
    }
    for (std::size_t i = 0; i < count; ++i)
        to[i] = from[i];
    return to + count;
}

inline char* fillSpaces(char* to, std::size_t count)
{
    if (count > 32) {
        std::memset(to, ' ', count);
        return to + count;
    }
    for (std::size_t i = 0; i < count; ++i)
        to[i] = ' ';
    return to + count;
}

std::string_view fieldOf(std::string_view line, const std::vector<std::int64_t>& positions, int k)
{
    const auto start = std::size_t(positions[std::size_t(k) - 1]);
    const auto stop = std::size_t(positions[std::size_t(k)]) - 1;
    return line.substr(start, stop - start);
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

ListingRun::ListingRun(const ListingFilter& filter, std::string previousSerial, Write write)
    : filter_(filter), write_(std::move(write))
{
    summary_.serial = std::move(previousSerial);
    // The output buffer grows as the listing needs it: a short file costs no megabyte.
}

bool ListingRun::feed(std::string_view piece)
{
    if (stopped_ || finished_)
        return false;
    splitter_.feed(piece, [this](std::string_view line) {
        handleLine(line);
        return !stopped_;
    });
    if (out_.size() >= kFlushAt)
        flush();
    return !stopped_;
}

ListingSummary ListingRun::finish()
{
    if (!finished_) {
        if (!stopped_)
            splitter_.finish([this](std::string_view line) { handleLine(line); });
        finished_ = true;
        flush();
        if (summary_.outcome != ListingOutcome::NoFamily && !isRecognisedHeader(summary_.headerLine))
            summary_.outcome = ListingOutcome::HeaderNotRecognised;
    }
    return summary_;
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
    buildPositions(line, header_);
    std::string formatted;
    formatted.reserve(line.size() + header_.size() * kHeaderTail.size());
    for (std::size_t k = 1; k < header_.size(); ++k) {
        formatted.append(fieldOf(line, header_, int(k)));
        formatted.append(kHeaderTail);
    }
    summary_.headerLine = std::move(formatted);
    // A record field within the header's count is filled to at most its header text
    // + 4, the first one beyond to at most 2 and each later one to at most 3 (counted
    // per field); a repeated header adds an empty line and the header.
    recordBound_ = line.size() + 4 * header_.size() + summary_.headerLine.size() + 16;
    append(summary_.headerLine);
    append(kLineEnd);
    recordsSinceHeader_ = 0;
    headerDone_ = true;
}

std::string_view ListingRun::dateTextOf(std::string_view line, int field) const
{
    // The 10 characters from the start of the field, fewer at the line's end; they may
    // run on into the next field.
    const auto start = std::size_t(fields_[std::size_t(field) - 1]);
    return line.substr(start, 10);
}

bool ListingRun::decideFamily(std::string_view line)
{
    const int fieldCount = int(fields_.size()) - 1;
    MachineFamily family = MachineFamily::Unknown;
    if (fieldCount >= 3 && parseDateText(dateTextOf(line, 3)))
        family = MachineFamily::ORV;
    if (fieldCount >= 4 && parseDateText(dateTextOf(line, 4)))
        family = MachineFamily::T5Z;
    if (family == MachineFamily::Unknown)
        return false;
    summary_.family = family;
    setErrorCodeLabels(summary_.errorCodes, family);
    return true;
}

void ListingRun::handleRecord(std::string_view line)
{
    summary_.lineFeedsOnly = false;  // a line end came after the header
    buildPositions(line, fields_);
    const int fieldCount = int(fields_.size()) - 1;

    if (summary_.family == MachineFamily::Unknown && !decideFamily(line)) {
        summary_.outcome = ListingOutcome::NoFamily;
        stopped_ = true;
        return;
    }
    const MachineFamily family = summary_.family;

    if ((filter_.dateOn || filter_.errorOn) && !recordSelected(line, family, filter_))
        return;
    const int errorField = errorFieldOf(family);

    const int serialField = serialFieldOf(family);
    const auto headerEntry = [this](std::size_t k) -> std::int64_t {
        return k - 1 < header_.size() ? header_[k - 1] : 0;
    };
    char* p = out_.reserve(line.size() + recordBound_ + 5 * std::size_t(fieldCount));
    for (int k = 1; k <= fieldCount; ++k) {
        const std::size_t uk = std::size_t(k);
        const std::size_t start = std::size_t(fields_[uk - 1]);
        const std::size_t length = std::size_t(fields_[uk]) - start - 1;
        const std::int64_t fill = (headerEntry(uk + 1) - headerEntry(uk) + 4) - std::int64_t(length + 1);
        p = copyBytes(p, line.data() + start, length);
        if (fill > 0)
            p = fillSpaces(p, std::size_t(fill));
        *p++ = '|';
        *p++ = ' ';
        if (k == serialField)
            summary_.serial.assign(line.data() + start, length);
        if (k == errorField) {
            if (const auto row = errorCodeRow(family, line.substr(start, length)))
                ++summary_.errorCodes[std::size_t(*row)].count;
        }
    }
    *p++ = '\r';
    *p++ = '\n';
    ++summary_.records;
    if (++recordsSinceHeader_ == kRecordsPerHeader) {
        recordsSinceHeader_ = 0;
        *p++ = '\r';
        *p++ = '\n';
        std::memcpy(p, summary_.headerLine.data(), summary_.headerLine.size());
        p += summary_.headerLine.size();
        *p++ = '\r';
        *p++ = '\n';
    }
    out_.commit(p);
    if (out_.size() >= kFlushAt)
        flush();
}

void ListingRun::append(std::string_view bytes)
{
    out_.append(bytes);
    if (out_.size() >= kFlushAt)
        flush();
}

void ListingRun::flush()
{
    if (out_.empty() || writeFailed_)
        return;
    if (write_ && !write_(out_.view())) {
        writeFailed_ = true;
        stopped_ = true;
    }
    out_.clear();
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
