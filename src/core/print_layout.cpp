#include "core/print_layout.h"

#include <cstring>
#include <optional>
#include <vector>

#include "core/file_io.h"
#include "core/regional.h"
#include "core/scrambling.h"

namespace kestrava {

namespace {

constexpr std::size_t readChunk = 64 * 1024;

FileResult fault(FileFault kind, const std::filesystem::path& path)
{
    FileResult result;
    result.fault = kind;
    result.path = path.string();
    return result;
}

// Reads a file line by line: a line ends at CR or CR LF (the terminator is not part of
// the line, a lone LF is), and text after the last terminator is a last line. A
// scrambled file is decoded on the way, so that its plain text is never written out.
class LineReader {
public:
    explicit LineReader(fileio::Reader& file, bool scrambled = false)
        : file_(file), buffer_(readChunk, '\0')
    {
        if (scrambled) {
            decoder_.emplace(ScrambleDirection::Decode);
            raw_.resize(readChunk);
        }
    }

    // false at the end of the file or on a read fault (see failed()).
    bool next(std::string& line)
    {
        line.clear();
        bool any = false;
        for (;;) {
            if (pos_ == end_ && !fill())
                return any && !failed();
            any = true;
            const char* start = buffer_.data() + pos_;
            const void* cr = std::memchr(start, '\r', end_ - pos_);
            if (!cr) {
                line.append(start, end_ - pos_);
                pos_ = end_;
                continue;
            }
            const std::size_t length = static_cast<const char*>(cr) - start;
            line.append(start, length);
            pos_ += length + 1;
            if (pos_ == end_ && !fill())
                return !failed();
            if (buffer_[pos_] == '\n')
                ++pos_;
            return true;
        }
    }

    bool failed() const { return !fault_.ok(); }
    const FileResult& fault() const { return fault_; }
    std::uint64_t bytesRead() const { return consumed_ + pos_; }

private:
    bool fill()
    {
        consumed_ += end_;
        pos_ = end_ = 0;
        if (failed())
            return false;
        if (!decoder_) {
            end_ = file_.read(buffer_.data(), buffer_.size(), fault_);
            if (failed())
                end_ = 0;
            return end_ > 0;
        }
        // Decoded pieces can be one byte short of the piece read (a unit split
        // between two reads); a piece that decodes to nothing is followed by the next.
        buffer_.clear();
        while (buffer_.empty() && !decoderDone_) {
            const std::size_t got = file_.read(raw_.data(), raw_.size(), fault_);
            if (failed())
                return false;
            if (got == 0) {
                decoder_->finish(buffer_);
                decoderDone_ = true;
            } else {
                decoder_->feed({reinterpret_cast<const std::uint8_t*>(raw_.data()), got}, buffer_);
            }
        }
        end_ = buffer_.size();
        return end_ > 0;
    }

    fileio::Reader& file_;
    std::string buffer_;
    std::optional<ScrambleStream> decoder_;
    std::string raw_;
    bool decoderDone_ = false;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::uint64_t consumed_ = 0;
    FileResult fault_;
};

// Start of 1-based field k of line (the character after the (k-1)-th tab), or npos
// when the line has fewer fields.
std::size_t fieldStart(std::string_view line, int k)
{
    std::size_t start = 0;
    for (int tabs = 1; tabs < k; ++tabs) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos)
            return std::string_view::npos;
        start = tab + 1;
    }
    return start;
}

// Calls copyLine with the print-copy line of every selected line of an opened source.
FileResult copyLinesOf(fileio::Reader& in, const std::filesystem::path& source,
                       MachineFamily family, const ListingFilter& filter,
                       const std::function<bool(std::string_view copyLine)>& copyLine,
                       const Progress& progress, bool scrambled = false)
{
    const std::uint64_t total = in.size();
    LineReader reader(in, scrambled);
    std::string line;
    std::string cells;
    bool header = true;
    while (reader.next(line)) {
        if (header || recordSelectedForPrint(line, family, filter)) {
            cells.clear();
            appendPrintCells(cells, line);
            if (!copyLine(cells))
                return fault(FileFault::TargetWrite, {});
        }
        header = false;
        if (progress && !progress(reader.bytesRead(), total))
            return fault(FileFault::Cancelled, source);
    }
    return reader.fault();
}

}  // namespace

void appendPrintCells(std::string& out, std::string_view line)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        const std::string_view field =
            line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        out.append(field);
        if (field.size() < printCellWidth)
            out.append(printCellWidth - field.size(), ' ');
        out.append(": ");
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
}

bool recordSelectedForPrint(std::string_view record, MachineFamily family,
                            const ListingFilter& filter)
{
    if (filter.dateOn) {
        const std::size_t start = fieldStart(record, dateFieldOf(family));
        if (start == std::string_view::npos)
            return false;
        const std::optional<Day> day = parseDateText(record.substr(start, 10));
        if (!day || *day < filter.from || *day > filter.to)
            return false;
    }
    if (filter.errorOn) {
        const std::size_t start = fieldStart(record, errorFieldOf(family));
        if (start == std::string_view::npos)
            return false;
        const std::size_t end = record.find('\t', start);
        // From the tab before the field to the field's end; the tab reads as a blank.
        const std::size_t from = start == 0 ? 0 : start - 1;
        const std::string_view text = record.substr(
            from, end == std::string_view::npos ? std::string_view::npos : end - from);
        const std::optional<std::int16_t> number = roundToInt16(leadingNumericValue(text));
        if (!number || *number != filter.errorNumber)
            return false;
    }
    return true;
}

FileResult forEachPrintCopyLine(const std::filesystem::path& source, MachineFamily family,
                                const ListingFilter& filter,
                                const std::function<bool(std::string_view copyLine)>& copyLine,
                                const Progress& progress, bool scrambled)
{
    fileio::Reader in;
    if (FileResult opened = in.open(source); !opened.ok())
        return opened;
    return copyLinesOf(in, source, family, filter, copyLine, progress, scrambled);
}

FileResult writePrintCopy(const std::filesystem::path& source,
                          const std::filesystem::path& copy, MachineFamily family,
                          const ListingFilter& filter, const Progress& progress)
{
    // The copy is created only once the source is open, and replaces the earlier copy
    // only when it is complete: a failure leaves the earlier copy as it was.
    fileio::Reader in;
    if (FileResult opened = in.open(source); !opened.ok())
        return opened;
    fileio::AtomicWriter out;
    if (FileResult created = out.open(copy); !created.ok())
        return created;
    // Lines are gathered and written in large pieces.
    std::string pending;
    pending.reserve(readChunk + 4096);
    FileResult writeFault;
    const auto writePending = [&] {
        writeFault = out.write(pending.data(), pending.size());
        pending.clear();
        return writeFault.ok();
    };
    FileResult result = copyLinesOf(
        in, source, family, filter,
        [&](std::string_view cells) {
            pending.append(cells);
            pending.append("\r\n");
            return pending.size() < readChunk || writePending();
        },
        progress);
    if (result.ok() && !writePending())
        return writeFault;
    if (result.fault == FileFault::TargetWrite)
        return writeFault;
    if (!result.ok())
        return result;
    return out.commit();
}

std::string_view printHeadingText(Language language)
{
    switch (language) {
    case Language::English: return "   KESTRAVA PRINTOUT";
    case Language::Polish: return "   WYDRUK DANYCH";
    case Language::Other: break;
    }
    return {};
}

std::string_view printNoteText(Language language, bool filtered)
{
    switch (language) {
    case Language::English:
        return filtered ? "    ! This is a filtered selection of the records !"
                        : "    All records shown from download";
    case Language::Polish:
        return filtered ? "    ! Zaznaczone rekordy sa przefiltrowane !"
                        : "    Pokazano wszystkie pobrane rekordy";
    case Language::Other: break;
    }
    return {};
}

std::string printRuleRow()
{
    return std::string(4, ' ') + std::string(printRowLength, '-');
}

bool forEachPrintTextRow(std::string_view copyLine,
                         const std::function<bool(std::string_view row)>& row)
{
    std::string text;
    std::size_t start = 0;
    for (;;) {
        const std::string_view part = copyLine.substr(start, printRowLength);
        text.assign(printTextRowPrefix);
        text.append(part);
        if (!row(text))
            return false;
        // A full row is followed by another one, which may hold only the prefix.
        if (part.size() < printRowLength)
            return true;
        start += printRowLength;
    }
}

bool printHeadingBlock(PrintSurface& surface, Language language, bool filtered)
{
    if (!surface.setFontName(printFontName) || !surface.setFontSize(printBodyPoints))
        return false;
    if (!surface.setFontSize(printHeadingPoints) || !surface.setBold(true)
        || !surface.printLine(" ") || !surface.printLine(printHeadingText(language))
        || !surface.setFontSize(printNotePoints) || !surface.setBold(false))
        return false;
    if (language != Language::Other && !surface.printLine(printNoteText(language, filtered)))
        return false;
    return surface.printLine("") && surface.setFontSize(printBodyPoints);
}

bool printCopyLineRows(PrintSurface& surface, std::string_view copyLine,
                       const std::function<bool()>& afterRow)
{
    static const std::string rule = printRuleRow();
    bool stopped = false;
    const auto next = [&] {
        if (afterRow && !afterRow()) {
            stopped = true;
            return false;
        }
        return true;
    };
    const bool rows = forEachPrintTextRow(copyLine, [&](std::string_view row) {
        return surface.printLine(row) && next();
    });
    if (!rows)
        return false;
    return surface.printLine(rule) && next();
}

PrintResult printCopyFile(const std::filesystem::path& copy, Language language,
                          bool filtered, PrintSurface& surface, const Progress& progress)
{
    PrintResult result;
    fileio::Reader in;
    if (FileResult opened = in.open(copy); !opened.ok()) {
        result.fault = PrintFault::CopyRead;
        result.file = opened;
        return result;
    }
    const std::uint64_t total = in.size();

    if (!printHeadingBlock(surface, language, filtered)) {
        result.fault = PrintFault::Printer;
        return result;
    }

    LineReader reader(in);
    std::string line;
    bool cancelled = false;
    const auto afterRow = [&] {
        if (progress && !progress(reader.bytesRead(), total))
            cancelled = true;
        return !cancelled;
    };
    while (reader.next(line)) {
        if (!printCopyLineRows(surface, line, afterRow)) {
            result.fault = cancelled ? PrintFault::Cancelled : PrintFault::Printer;
            return result;
        }
    }
    if (reader.failed()) {
        result.fault = PrintFault::CopyRead;
        result.file = reader.fault();
        return result;
    }
    if (!surface.endDocument())
        result.fault = PrintFault::Printer;
    return result;
}

}  // namespace kestrava
