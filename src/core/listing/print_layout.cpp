#include "core/listing/print_layout.h"

#include <cstring>
#include <vector>

#include "core/files/file_io.h"
#include "core/text/line_splitter.h"
#include "core/text/plain_reader.h"
#include "core/listing/record_filter.h"
#include "core/settings/regional.h"

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

FileResult tooLong(const std::filesystem::path& path, const LineSplitter& splitter,
                   std::size_t longest)
{
    FileResult result = fault(FileFault::LineTooLong, path);
    result.line = splitter.lines() + 1;
    result.detail = "more than " + std::to_string(longest) + " bytes";
    return result;
}

// Calls copyLine with the print-copy line of every selected line of an opened source.
FileResult copyLinesOf(fileio::Reader& in, const std::filesystem::path& source,
                       MachineFamily family, const ListingFilter& filter,
                       const std::function<bool(std::string_view copyLine)>& copyLine,
                       const Progress& progress, bool scrambled = false)
{
    LineSplitter splitter(kLongestPrintedLine);
    std::string cells;
    bool header = true;
    bool refused = false;
    const auto line = [&](std::string_view text) {
        if (header || recordSelected(text, family, filter)) {
            cells.clear();
            appendPrintCells(cells, text);
            refused = !copyLine(cells);
        }
        header = false;
        return !refused;
    };
    FileResult result = readPlainText(
        in, source, scrambled, [&](std::string_view piece) { return splitter.feed(piece, line); },
        progress);
    if (splitter.tooLong())
        return tooLong(source, splitter, kLongestPrintedLine);
    if (result.ok() && !refused)
        splitter.finish(line);
    if (refused)
        return fault(FileFault::TargetWrite, {});
    return result;
}

}  // namespace

void appendPrintCells(std::string& out, std::string_view line)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        const std::string_view field = line.substr(
            start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        out.append(field);
        if (field.size() < printCellWidth)
            out.append(printCellWidth - field.size(), ' ');
        out.append(": ");
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
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

FileResult writePrintCopy(const std::filesystem::path& source, const std::filesystem::path& copy,
                          MachineFamily family, const ListingFilter& filter,
                          const Progress& progress)
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
    if (!surface.setFontSize(printHeadingPoints) || !surface.setBold(true) ||
        !surface.printLine(" ") || !surface.printLine(printHeadingText(language)) ||
        !surface.setFontSize(printNotePoints) || !surface.setBold(false))
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
    const bool rows = forEachPrintTextRow(
        copyLine, [&](std::string_view row) { return surface.printLine(row) && next(); });
    if (!rows)
        return false;
    return surface.printLine(rule) && next();
}

PrintResult printCopyFile(const std::filesystem::path& copy, Language language, bool filtered,
                          PrintSurface& surface, const Progress& progress)
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

    LineSplitter splitter(kLongestPrintCopyLine);
    std::uint64_t done = 0;
    bool cancelled = false;
    bool printerFailed = false;
    const auto afterRow = [&] {
        if (progress && !progress(done, total))
            cancelled = true;
        return !cancelled;
    };
    const auto line = [&](std::string_view text) {
        printerFailed = !printCopyLineRows(surface, text, afterRow);
        return !printerFailed;
    };
    const FileResult read = readPlainText(in, copy, false, [&](std::string_view piece) {
        done += piece.size();
        return splitter.feed(piece, line);
    });
    if (splitter.tooLong()) {
        result.fault = PrintFault::CopyRead;
        result.file = tooLong(copy, splitter, kLongestPrintCopyLine);
        return result;
    }
    if (read.ok() && !printerFailed)
        splitter.finish(line);
    if (printerFailed) {
        result.fault = cancelled ? PrintFault::Cancelled : PrintFault::Printer;
        return result;
    }
    if (!read.ok()) {
        result.fault = PrintFault::CopyRead;
        result.file = read;
        return result;
    }
    if (!surface.endDocument())
        result.fault = PrintFault::Printer;
    return result;
}

}  // namespace kestrava
