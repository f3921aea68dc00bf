#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>

#include "cli/cli_command.h"
#include "cli/cli_listing.h"
#include "cli/cli_output.h"
#include "core/fleet/fleet_table.h"
#include "core/files/path_text.h"

namespace kestrava::cli {

namespace {

int runSummary(const std::vector<std::string>& arguments)
{
    const auto parsed = parseArguments(arguments, {"--from", "--to", "--error", "--format"}, {});
    if (!parsed.error.empty()) {
        message(parsed.error);
        return kExitUsage;
    }
    if (parsed.positional.empty()) {
        message("no PATH given");
        return kExitUsage;
    }
    const std::optional<std::string> chosenFormat = formatOption(parsed, "text", "csv");
    if (!chosenFormat)
        return kExitUsage;
    const std::string& format = *chosenFormat;
    ListingFilter filter;
    if (const int status = readFilter(parsed, filter); status != kExitDone)
        return status;

    std::vector<std::filesystem::path> paths;
    for (const auto& path : parsed.positional)
        paths.push_back(pathFromUtf8(path));
    std::vector<UnreadFile> unread;
    const std::vector<std::filesystem::path> files = downloadFilesIn(paths, unread);

    const bool showProgress = standardErrorIsTerminal();
    const Progress progress = [showProgress](std::uint64_t done, std::uint64_t total) {
        if (showProgress && (done % 64 == 0 || done == total))
            std::fprintf(stderr, "\rkestrava-cli: %llu of %llu files", (unsigned long long)done,
                         (unsigned long long)total);
        return true;
    };
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::optional<FleetSummary> summary = summariseFleet(files, filter, threads, progress);
    if (showProgress && !files.empty())
        std::fprintf(stderr, "\n");
    if (!summary)
        return kExitFileFault;
    unread.insert(unread.end(), summary->unread.begin(), summary->unread.end());

    // Names come from the disk, so they are shown escaped: a name holding a line end
    // or a terminal's escape sequence cannot forge a message or recolour the screen.
    for (const auto& file : unread) {
        std::string text = shownPath(file.path) + ": " + file.reason;
        if (!file.original.empty()) {
            text += ' ';
            text += shownPath(file.original);
        }
        message(text);
    }
    if (summary->repeatedRecords > 0)
        message(std::to_string(summary->repeatedRecords) +
                " repeated records left out: each weld counts once, however many downloads of "
                "its machine hold it");
    if (summary->filesRead == 0) {
        if (files.empty())
            message("no download files (names ending in xls or pfd) were found");
        const bool anyFault =
            files.empty() || std::any_of(unread.begin(), unread.end(),
                                         [](const UnreadFile& f) { return !f.notDownload(); });
        return anyFault ? kExitFileFault : kExitNotDownload;
    }

    writeOut(format == "csv" ? fleetCsv(*summary) : fleetText(*summary));
    return finishOut() ? kExitDone : kExitFileFault;
}

}  // namespace

Command summaryCommand()
{
    return {"summary", "summary [--from DATE] [--to DATE] [--error N] [--format text|csv] PATH...",
            "Sums up many download files per machine: for every serial number (the family's\n"
            "serial field of each record) the files, the records, the first and last record\n"
            "date, the share of records whose error code is not E00, and the error codes that\n"
            "occur with their counts. A PATH that is a folder is searched with its subfolders\n"
            "for names ending in xls or pfd (case-sensitive, as Open accepts them).\n"
            "Each file counts once, whatever name or link reaches it, and so does each\n"
            "download kept twice (as xls and pfd, or copied): the copies are named. A record\n"
            "line found in more than one download of its machine counts once; standard\n"
            "error says how many repeated records were left out.\n"
            "Files are read on every core; nothing is written but the table.\n"
            "\n"
            "  --format text   an aligned table (the default)\n"
            "  --format csv    RFC 4180: comma-separated, a header row, CR LF line ends, one\n"
            "                  column per error code; a field that a spreadsheet would take\n"
            "                  as a formula (=, +, -, @) starts with ', control bytes are ?\n"
            "\n"
            "Filters as for `list`. Files that cannot be read or are not weld-record\n"
            "downloads are named on standard error with the reason; progress goes there too\n"
            "when it is a terminal. Exit status 0 when at least one file was summed up.\n",
            runSummary};
}

}  // namespace kestrava::cli
