#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "cli/cli_command.h"
#include "cli/cli_listing.h"
#include "cli/cli_output.h"
#include "core/fleet_summary.h"
#include "core/path_text.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kestrava::cli {

namespace {

bool standardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

std::string dayText(const std::optional<Day>& day)
{
    if (!day)
        return "";
    const std::chrono::year_month_day date(*day);
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", unsigned(date.day()), unsigned(date.month()),
                  int(date.year()));
    return text;
}

std::string shareText(double share)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", share * 100.0);
    return text;
}

// The error codes that occur, "E20 3; E27 1" (the family's labels, in table order).
std::string errorsText(const MachineSummary& machine)
{
    std::string text;
    for (const auto& row : machine.errorCodes) {
        if (row.count == 0)
            continue;
        if (!text.empty())
            text += "; ";
        text += row.label + " " + std::to_string(row.count);
    }
    return text;
}

std::vector<std::string> rowOf(const MachineSummary& machine)
{
    return {machine.serial,
            std::string(familyName(machine.family)),
            std::to_string(machine.files),
            std::to_string(machine.records),
            dayText(machine.first),
            dayText(machine.last),
            shareText(machine.faultShare()),
            errorsText(machine)};
}

const std::vector<std::string> kHeadings = {"serial", "family", "files", "records", "first",
                                            "last",   "not E00", "errors"};

// RFC 4180: a field with a comma, a quote or a line end is quoted, its quotes doubled.
std::string csvField(const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::string csvTable(const std::vector<std::vector<std::string>>& rows)
{
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            text += (i ? "," : "") + csvField(row[i]);
        text += "\r\n";
    }
    return text;
}

// Columns padded to their widest cell, two spaces apart; the last one unpadded.
std::string alignedTable(const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths(kHeadings.size(), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += std::string(widths[i] - row[i].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + "\n";
    }
    return text;
}

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
    const std::string format = parsed.value("--format").value_or("text");
    if (format != "text" && format != "csv") {
        message("invalid --format: " + format + " (text or csv)");
        return kExitUsage;
    }
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

    for (const auto& file : unread)
        message(utf8Text(file.path) + ": " + file.reason);
    if (summary->filesRead == 0) {
        if (files.empty())
            message("no download files (names ending in xls or pfd) were found");
        const bool anyFault = files.empty() || std::any_of(unread.begin(), unread.end(), [](const UnreadFile& f) {
            return f.reason.rfind("not a weld-record download", 0) != 0;
        });
        return anyFault ? kExitFileFault : kExitNotDownload;
    }

    std::vector<std::vector<std::string>> rows = {kHeadings};
    for (const auto& machine : summary->machines)
        rows.push_back(rowOf(machine));
    writeOut(format == "csv" ? csvTable(rows) : alignedTable(rows));
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
            "Files are read on every core; nothing is written but the table.\n"
            "\n"
            "  --format text   an aligned table (the default)\n"
            "  --format csv    RFC 4180: comma-separated, a header row, CR LF line ends\n"
            "\n"
            "Filters as for `list`. Files that cannot be read or are not weld-record\n"
            "downloads are named on standard error with the reason; progress goes there too\n"
            "when it is a terminal. Exit status 0 when at least one file was summed up.\n",
            runSummary};
}

}  // namespace kestrava::cli
