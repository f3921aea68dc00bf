// The loaded download: the file the user opened, its work files and the state of its
// last listing run, with the commands that work on it (open, relist under a filter,
// save a copy, write the print copy, print).
//
// Every command returns an Outcome: its value, or a DownloadFault saying at which step
// it failed. A command that fails (or is cancelled through its Progress) leaves the
// loaded download as it was: the same file, filter and listing, and its work files
// untouched (each is written to a temporary file and put in place only when complete;
// only a failure to put the working copy in place after the listing file can leave the
// new listing file, which nothing reads before a successful run).
// A name Open refuses never becomes the loaded file.
//
// The download is kept either with work files (the window: the listing goes to the
// listing file, a "pfd" file is decoded into the working copy, which the later commands
// read) or without them (kestrava-cli: the listing goes to a sink, and a "pfd" file is
// decoded on the way wherever it is read, so that its plain text is never written).
//
// The commands are long work: the window runs them on a worker thread, one at a time,
// and reads the accessors only while none is running. Nothing here is shared between
// objects.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/settings/build_profile.h"
#include "core/text/download_file.h"
#include "core/files/file_result.h"
#include "core/listing/listing.h"
#include "core/document/outcome.h"
#include "core/listing/print_layout.h"
#include "core/listing/record_filter.h"

namespace kestrava {

// The work files of the loaded download, all in the work folder (the window's own: no
// other window writes there). They stay there after each command and are replaced by
// the next one.
struct WorkFiles {
    static constexpr std::string_view workingCopyName = "view_only.tmp";  // decoded "pfd" file
    static constexpr std::string_view listingName = "display_only.tmp";  // the listing
    static constexpr std::string_view saveWorkName =
        "temp_only.tmp";  // scrambled copy before saving
    static constexpr std::string_view printCopyName = printCopyFileName;  // "print_only.tmp"

    std::filesystem::path folder;

    std::filesystem::path workingCopy() const { return folder / workingCopyName; }
    std::filesystem::path listing() const { return folder / listingName; }
    std::filesystem::path saveWork() const { return folder / saveWorkName; }
    std::filesystem::path printCopy() const { return folder / printCopyName; }
};

// Where a command failed.
enum class DownloadStep {
    Name,  // Open: the name does not end in "xls" or "pfd"; file.path is the name
    NothingLoaded,  // a command that needs a loaded file ran without one
    Reading,  // Open or relist: the chosen (or loaded) file could not be read
    WorkingCopy,  // Open: the decoded working copy could not be written
    Listing,  // Open or relist: the listing file could not be written
    SaveWorkFile,  // Save: the scrambled work file could not be written
    SaveTarget,  // Save: the chosen file could not be written (or exists: TargetExists)
    PrintCopy,  // the print copy could not be written or read back
    Printer,  // the printer (the surface) failed
    NoWorkFiles,  // save or the print copy on a download kept without work files
};

struct DownloadFault {
    DownloadStep step = DownloadStep::NothingLoaded;
    FileResult file;  // the file and the system's reason, where a file was at fault

    // The Progress asked to stop; the download is as before the command.
    bool cancelled() const { return file.fault == FileFault::Cancelled; }
};

// Where the listing of open and relist goes.
struct ListingDestination {
    enum class Kind {
        ListingFile,  // the listing file among the work files (the window)
        Sink,  // a sink, which gets a listed file's listing only (kestrava-cli)
        SummaryOnly,  // nowhere: the summary alone, no listing formatted
    };
    Kind kind = Kind::ListingFile;
    ListingRun::Write sink;  // Kind::Sink
};

template <typename T>
using DownloadOutcome = Outcome<T, DownloadFault>;

// The value of a command that yields nothing but its success.
using Done = std::monostate;

class LoadedDownload {
public:
    // With work files in workFolder.
    explicit LoadedDownload(std::filesystem::path workFolder);
    // Without work files: the listing of open and relist goes to sink (returning false
    // ends the run with step Listing, fault TargetWrite), but only for a file that is
    // listed (outcome Listed); nothing of any other file. With stopAtUnknownHeader a
    // file whose header is not recognised is read only until that is known (its
    // summary holds what was read by then). An empty sink: the commands give the
    // listing's summary alone, and no listing is formatted.
    explicit LoadedDownload(ListingRun::Write sink, bool stopAtUnknownHeader = false);

    // With work files: reading stops as soon as the header is known not to be
    // recognised (a scrambled file is still decoded to its end into the working copy),
    // and lineStarts, when set, is told where the lines of the listing written to the
    // listing file start (ListingRun::setLineStarts). The window indexes the listing it
    // shows that way, without reading the listing file.
    void setStopAtUnknownHeader(bool on) { stopAtUnknownHeader_ = on; }
    void setLineStarts(ListingRun::LineStarts lineStarts) { lineStarts_ = std::move(lineStarts); }

    // Opens a download file: decodes a "pfd" file into the working copy and lists the
    // plain text into the listing file under filter, in one pass over the file. The
    // value is the listing's summary; its outcome says whether the listing can be
    // shown (Listed) or the file goes to the spreadsheet program (NoFamily,
    // HeaderNotRecognised); in every case the file is loaded. A refused name (step
    // Name) or a failed run changes nothing.
    DownloadOutcome<ListingSummary> open(const std::filesystem::path& chosen,
                                         const ListingFilter& filter,
                                         const Progress& progress = {});

    // Lists the loaded file again under filter.
    DownloadOutcome<ListingSummary> relist(const ListingFilter& filter,
                                           const Progress& progress = {});

    // Saves a copy of the loaded file under target: plain under a name ending in "xls",
    // scrambled under any other. An existing target is never replaced (SaveTarget,
    // TargetExists). The value is the target.
    DownloadOutcome<std::filesystem::path> save(const std::filesystem::path& target,
                                                const Progress& progress = {});

    // Writes the print copy: the header line and the records of the last listing's
    // filter, as printout cells. The value is the copy's path.
    DownloadOutcome<std::filesystem::path> writePrintCopy(const Progress& progress = {});

    // Prints the print copy on surface (heading, note, rows, end of the document). The
    // note says whether the last listing was filtered. progress is called after every
    // printed row.
    DownloadOutcome<Done> print(Language language, PrintSurface& surface,
                                const Progress& progress = {});

    // Prints the header line and the selected records straight from the loaded file,
    // without the print copy: the same rows as print() after writePrintCopy(). A failed
    // write of the surface is step Printer.
    DownloadOutcome<Done> printSelection(Language language, PrintSurface& surface,
                                         const Progress& progress = {});

    // Lets the loaded file go: no file is loaded. The machine serial number stays.
    void close();

    // --- state (read while no command runs) ---
    bool loaded() const { return loaded_.has_value(); }
    // The chosen file as the user named it (empty when none is loaded).
    std::filesystem::path chosenFile() const;
    DownloadKind kind() const;
    // The plain file the listing reads: the chosen "xls" file or the working copy of a
    // "pfd" file; without work files the chosen file (empty when none is loaded).
    std::filesystem::path loadedFilePath() const;
    // The filter of the last listing run, and whether it selected anything.
    const ListingFilter& filter() const { return filter_; }
    bool listingFiltered() const { return filter_.any(); }
    // The summary of the last listing run; empty before the first and after close().
    const std::optional<ListingSummary>& lastListing() const { return listing_; }
    MachineFamily machineFamily() const;
    // The error-code rows of the last listing run (the chart's data); empty when none.
    std::optional<ErrorCodeTable> errorCodeTable() const;
    // The serial number of the last listed record, kept across files and close().
    const std::string& machineSerial() const;
    // Empty (no folder) for a download kept without work files.
    const WorkFiles& workFiles() const { return files_; }

private:
    struct Loaded {
        std::filesystem::path chosen;
        DownloadKind kind = DownloadKind::Standard;
    };
    // The plain text the later commands read, and whether it is read decoded.
    struct PlainSource {
        std::filesystem::path path;
        bool scrambled = false;
    };
    PlainSource plainSourceOf(const Loaded& file) const;
    bool withWorkFiles() const
    {
        return destination_.kind == ListingDestination::Kind::ListingFile;
    }
    // The fault of a command that needs a loaded file kept with work files, if any.
    std::optional<DownloadFault> workFilesFault() const;
    // The one listing run of open and relist, into the destination; with
    // writeWorkingCopy every plain piece also goes to the working copy.
    DownloadOutcome<ListingSummary> list(const PlainSource& source, bool writeWorkingCopy,
                                         const ListingFilter& filter,
                                         const Progress& progress) const;

    WorkFiles files_;
    ListingDestination destination_;
    bool stopAtUnknownHeader_ = false;
    ListingRun::LineStarts lineStarts_;  // with work files
    std::optional<Loaded> loaded_;
    ListingFilter filter_;
    std::optional<ListingSummary> listing_;
    std::string serialAfterClose_;  // the serial while no listing is held
};

}  // namespace kestrava
