// The record printout: the print copy of the loaded file and the rows it prints as.
//
// Print copy ("print_only.tmp"): one line per selected line of the plain download file
// (the header line always, then the record lines the listing's filters keep), each
// field laid out as a cell: the field's bytes, spaces up to 23 characters, then ": ".
// A field of 23 characters or more gets no spaces. Every field of a line is laid out.
// Lines end with CR LF. Source lines end at CR or CR LF, as in the listing run.
//
// Printed rows: a heading block, then for each copy line of L characters the text rows
// "    :" followed by 125 characters each (L div 125 of them), one more text row with
// the remaining L mod 125 characters (only "    :" when nothing remains), and a rule
// row of four spaces and 125 "-". Bytes go to the surface as they stand in the file.
//
// Both steps stream: memory does not grow with the size of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/settings/build_profile.h"
#include "core/files/file_result.h"
#include "core/listing/listing.h"
#include "core/listing/machine_family.h"

namespace kestrava {

inline constexpr std::string_view printCopyFileName = "print_only.tmp";
inline constexpr std::size_t printCellWidth = 23;  // field plus padding, before ": "
inline constexpr std::size_t printRowLength = 125;  // copy characters per text row
// The longest line of a file that is printed (8 MiB, about 1,100 pages of one line); a
// longer line stops the printout before anything is printed (FileFault::LineTooLong).
inline constexpr std::size_t kLongestPrintedLine = std::size_t(8) << 20;
// The longest line of a print copy: every byte of a printed line a field of its own
// at most (a cell and ": " each).
inline constexpr std::size_t kLongestPrintCopyLine =
    (kLongestPrintedLine + 1) * (printCellWidth + 3);
inline constexpr std::string_view printTextRowPrefix = "    :";
inline constexpr std::string_view printFontName = "Courier New";
inline constexpr int printBodyPoints = 7;
inline constexpr int printHeadingPoints = 12;
inline constexpr int printNotePoints = 10;

// Appends the cells of one line (split at tabs) to out.
void appendPrintCells(std::string& out, std::string_view line);

// Calls copyLine with the print-copy line (without its line end) of every selected
// line of source, in order; stops when it returns false (fault TargetWrite). A
// scrambled source is decoded on the way (nothing decoded is written anywhere).
FileResult forEachPrintCopyLine(const std::filesystem::path& source, MachineFamily family,
                                const ListingFilter& filter,
                                const std::function<bool(std::string_view copyLine)>& copyLine,
                                const Progress& progress = {}, bool scrambled = false);

// Writes the print copy of source into copy (replaced). When the source cannot be
// opened (fault SourceMissing, SourceNotRegular or SourceOpen) the copy is left as it
// was. progress is called after every piece read (bytes read, source size).
FileResult writePrintCopy(const std::filesystem::path& source, const std::filesystem::path& copy,
                          MachineFamily family, const ListingFilter& filter,
                          const Progress& progress = {});

// A text printer as the printout drives it. Every operation returns false when the
// printer failed; the printout then stops at once (the caller abandons the job).
class PrintSurface {
public:
    virtual ~PrintSurface() = default;
    virtual bool setFontName(std::string_view name) = 0;
    virtual bool setFontSize(int points) = 0;
    virtual bool setBold(bool on) = 0;
    // Prints text and moves to the next line; a full page continues on a new one.
    virtual bool printLine(std::string_view text) = 0;
    // Sends the finished job to the printer.
    virtual bool endDocument() = 0;
};

// The heading texts in a language. Another language has no heading text and no note.
std::string_view printHeadingText(Language language);
// The note under the heading: the filtered-selection note or the all-records note.
std::string_view printNoteText(Language language, bool filtered);

std::string printRuleRow();

// Calls row for every text row of one copy line (see above); stops early and returns
// false when row returns false.
bool forEachPrintTextRow(std::string_view copyLine,
                         const std::function<bool(std::string_view row)>& row);

// The start of the job: font and size, then the heading block (a blank line and the
// heading in 12 point bold, the note in 10 point, an empty line, back to 7 point).
// false when an operation failed.
bool printHeadingBlock(PrintSurface& surface, Language language, bool filtered);

// The text rows and the rule row of one copy line.
bool printCopyLineRows(PrintSurface& surface, std::string_view copyLine,
                       const std::function<bool()>& afterRow = {});

enum class PrintFault {
    None,
    CopyRead,  // the print copy could not be read back
    Printer,  // an operation of the surface failed
    Cancelled,  // progress asked to stop
};

struct PrintResult {
    PrintFault fault = PrintFault::None;
    FileResult file;  // for CopyRead
    bool ok() const { return fault == PrintFault::None; }
};

// Prints the copy file on surface: font and size, the heading block, every copy line
// as its text rows and rule row, then ends the document. The document is ended only
// when everything before succeeded. progress is called after every printed row.
PrintResult printCopyFile(const std::filesystem::path& copy, Language language, bool filtered,
                          PrintSurface& surface, const Progress& progress = {});

}  // namespace kestrava
