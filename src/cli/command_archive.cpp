// kestrava-cli archive: the weld archive (import, list, summary, protocol).
#ifdef KESTRAVA_HAVE_ARCHIVE

#include <cstdio>
#include <set>
#include <string>

#include "cli/cli_command.h"
#include "cli/cli_listing.h"
#include "cli/cli_output.h"
#include "cli/protocol_rows.h"
#include "core/archive/archive_welds.h"
#include "core/archive/weld_archive.h"
#ifdef KESTRAVA_HAVE_XLSX
#include "core/archive/archive_xlsx.h"
#endif
#include "core/settings/build_profile.h"
#include "core/files/file_io.h"
#include "core/files/path_text.h"
#include "core/fleet/fleet_table.h"

namespace kestrava::cli {

namespace {

// --archive FILE, else the per-user default; empty (after a message) when there is none.
std::filesystem::path archivePathOf(const ParsedArguments& parsed)
{
    if (const auto given = parsed.value("--archive"))
        return pathFromUtf8(*given);
    std::filesystem::path path = defaultArchivePath();
    if (path.empty())
        message("no --archive given and no data folder known (set XDG_DATA_HOME or HOME)");
    return path;
}

int openArchive(WeldArchive& archive, const ParsedArguments& parsed, bool forImport)
{
    const std::filesystem::path path = archivePathOf(parsed);
    if (path.empty())
        return kExitUsage;
    const ArchiveError error = archive.open(path, forImport);
    if (!error.ok()) {
        message(error.text);
        return kExitFileFault;
    }
    return kExitDone;
}

int runImport(const std::vector<std::string>& arguments)
{
    const auto parsed = parseArguments(arguments, {"--archive"}, {});
    if (!parsed.error.empty()) {
        message(parsed.error);
        return kExitUsage;
    }
    if (parsed.positional.empty()) {
        message("no PATH given");
        return kExitUsage;
    }
    WeldArchive archive;
    if (const int status = openArchive(archive, parsed, true); status != kExitDone)
        return status;

    std::vector<std::filesystem::path> paths;
    for (const auto& path : parsed.positional)
        paths.push_back(pathFromUtf8(path));
    const bool showProgress = standardErrorIsTerminal();
    const Progress progress =
        [showProgress, shown = std::uint64_t(0)](std::uint64_t done, std::uint64_t total) mutable {
            // Every percent at most.
            if (showProgress && total > 0 && done * 100 / total != shown) {
                shown = done * 100 / total;
                std::fprintf(stderr, "\rkestrava-cli: %3llu%% imported", (unsigned long long)shown);
            }
            return true;
        };
    const ImportReport report = archive.import(paths, progress);
    if (showProgress)
        std::fprintf(stderr, "\n");

    bool fault = false;
    for (const ImportedFile& file : report.files) {
        if (file.outcome == ImportedFile::Outcome::Added)
            continue;
        message(shownPath(file.path) + ": " + file.reason);
        fault = fault || (file.outcome == ImportedFile::Outcome::Refused &&
                          file.reason.rfind("not a weld-record download", 0) != 0);
    }
    writeOut("files added: " + std::to_string(report.filesAdded) + "\n" +
             "welds added: " + std::to_string(report.weldsAdded) + "\n" +
             "welds already there: " + std::to_string(report.weldsKnown) + "\n" +
             "files refused: " + std::to_string(report.filesRefused) + "\n");
    if (!report.error.ok()) {
        message(report.error.text);
        finishOut();
        return kExitFileFault;
    }
    if (!finishOut() || fault)
        return kExitFileFault;
    return report.filesRefused > 0 ? kExitNotDownload : kExitDone;
}

// The selection options of list and summary.
int readQuery(const ParsedArguments& parsed, const std::vector<std::string>& machines,
              ArchiveQuery& query)
{
    ListingFilter filter;
    if (const int status = readFilter(parsed, filter); status != kExitDone)
        return status;
    query = ArchiveQuery::of(filter);
    query.machines = machines;
    query.text = parsed.value("--text").value_or("");
    return kExitDone;
}

// --machine may be given many times: taken out before the other options are read.
std::vector<std::string> takeMachines(std::vector<std::string>& arguments, std::string& error)
{
    std::vector<std::string> machines;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            rest.insert(rest.end(), arguments.begin() + std::ptrdiff_t(i), arguments.end());
            break;
        }
        if (argument.rfind("--machine=", 0) == 0) {
            machines.push_back(argument.substr(10));
        } else if (argument == "--machine") {
            if (i + 1 == arguments.size()) {
                error = "--machine needs a value";
                return {};
            }
            machines.push_back(arguments[++i]);
        } else {
            rest.push_back(argument);
        }
    }
    arguments = std::move(rest);
    return machines;
}

// The arguments of a command that selects welds (list, protocol): --archive, --machine
// (any number of times), --from, --to, --error, --text, and the command's own options
// and flags; no positional argument.
int parseSelection(std::vector<std::string> arguments, std::set<std::string> options,
                   const std::set<std::string>& flags, ParsedArguments& parsed,
                   std::vector<std::string>& machines)
{
    std::string error;
    machines = takeMachines(arguments, error);
    options.insert({"--archive", "--from", "--to", "--error", "--text"});
    parsed = error.empty() ? parseArguments(arguments, options, flags)
                           : ParsedArguments{{}, {}, {}, error};
    if (!parsed.error.empty()) {
        message(parsed.error);
        return kExitUsage;
    }
    if (!parsed.positional.empty()) {
        message("unexpected argument: " + parsed.positional.front());
        return kExitUsage;
    }
    return kExitDone;
}

int runList(std::vector<std::string> arguments)
{
    ParsedArguments parsed;
    std::vector<std::string> machines;
    if (const int status = parseSelection(std::move(arguments), {"--format", "--output"},
                                          {"--force"}, parsed, machines);
        status != kExitDone)
        return status;
    // xlsx besides the two of formatOption: a workbook is written to --output only.
    const bool xlsx = parsed.value("--format") == std::optional<std::string>("xlsx");
    const std::optional<std::string> chosenFormat =
        xlsx ? "xlsx" : formatOption(parsed, "listing", "csv");
    if (!chosenFormat)
        return kExitUsage;
    const std::string& format = *chosenFormat;
    if (xlsx && !parsed.value("--output")) {
        message("--format xlsx needs --output FILE");
        return kExitUsage;
    }
#ifndef KESTRAVA_HAVE_XLSX
    if (xlsx) {
        message("this build has no xlsx export (built without libxlsxwriter)");
        return kExitUsage;
    }
#endif
    ArchiveQuery query;
    if (const int status = readQuery(parsed, machines, query); status != kExitDone)
        return status;
    WeldArchive archive;
    if (const int status = openArchive(archive, parsed, false); status != kExitDone)
        return status;
#ifdef KESTRAVA_HAVE_XLSX
    if (xlsx) {
        const XlsxResult written =
            writeArchiveXlsx(archive, query, pathFromUtf8(*parsed.value("--output")),
                             parsed.has("--force"), buildProfile().language());
        if (!written.archive.ok()) {
            message(written.archive.text);
            return kExitFileFault;
        }
        if (!written.file.ok()) {
            message(written.file);
            return kExitFileFault;
        }
        return kExitDone;
    }
#endif

    // To standard output, or to --output through a temporary file put in place whole.
    const auto output = parsed.value("--output");
    fileio::AtomicWriter writer;
    FileResult writeFault;
    if (output) {
        if (const FileResult opened = writer.open(pathFromUtf8(*output), parsed.has("--force"));
            !opened) {
            message(opened);
            return kExitFileFault;
        }
    }
    const ListingRun::Write write = [&](std::string_view bytes) {
        if (!output)
            return writeOut(bytes);
        writeFault = writer.write(bytes.data(), bytes.size());
        return writeFault.ok();
    };
    const ArchiveError listed =
        format == "csv" ? archive.csv(query, write) : archive.listing(query, write);
    if (!writeFault.ok()) {
        message(writeFault);
        return kExitFileFault;
    }
    if (!listed.ok()) {
        if (!output)
            finishOut();  // says why standard output failed
        message(listed.text);
        return kExitFileFault;
    }
    if (output) {
        if (const FileResult committed = writer.commit(); !committed) {
            message(committed);
            return kExitFileFault;
        }
        return kExitDone;
    }
    return finishOut() ? kExitDone : kExitFileFault;
}

int runProtocol(std::vector<std::string> arguments)
{
    ParsedArguments parsed;
    std::vector<std::string> machines;
    if (const int status = parseSelection(std::move(arguments), {}, {"--report"}, parsed, machines);
        status != kExitDone)
        return status;
    ArchiveQuery query;
    if (const int status = readQuery(parsed, machines, query); status != kExitDone)
        return status;
    WeldArchive archive;
    if (const int status = openArchive(archive, parsed, false); status != kExitDone)
        return status;
    const ArchiveWelds welds(archive, std::move(query), shownPath(archivePathOf(parsed)));
    return writeProtocolRows(welds, parsed.has("--report"));
}

int runSummary(const std::vector<std::string>& arguments)
{
    const auto parsed =
        parseArguments(arguments, {"--archive", "--from", "--to", "--error", "--format"}, {});
    if (!parsed.error.empty()) {
        message(parsed.error);
        return kExitUsage;
    }
    if (!parsed.positional.empty()) {
        message("unexpected argument: " + parsed.positional.front());
        return kExitUsage;
    }
    const std::optional<std::string> chosenFormat = formatOption(parsed, "text", "csv");
    if (!chosenFormat)
        return kExitUsage;
    const std::string& format = *chosenFormat;
    ArchiveQuery query;
    if (const int status = readQuery(parsed, {}, query); status != kExitDone)
        return status;
    WeldArchive archive;
    if (const int status = openArchive(archive, parsed, false); status != kExitDone)
        return status;
    FleetSummary summary;
    if (const ArchiveError error = archive.summary(query, summary); !error.ok()) {
        message(error.text);
        return kExitFileFault;
    }
    if (summary.filesRead == 0) {
        message("the archive holds no downloads");
        return kExitNotDownload;
    }
    writeOut(format == "csv" ? fleetCsv(summary) : fleetText(summary));
    return finishOut() ? kExitDone : kExitFileFault;
}

int runArchive(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) {
        message("no archive command given (import, list, summary or protocol)");
        return kExitUsage;
    }
    const std::string& what = arguments.front();
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (what == "import")
        return runImport(rest);
    if (what == "list")
        return runList(std::move(rest));
    if (what == "summary")
        return runSummary(rest);
    if (what == "protocol")
        return runProtocol(std::move(rest));
    message("unknown archive command: " + what + " (import, list, summary or protocol)");
    return kExitUsage;
}

}  // namespace

Command archiveCommand()
{
    return {
        "archive", "archive import|list|summary|protocol [--archive FILE] ...",
        "Keeps the welds of many downloads in one archive file (SQLite), each weld once,\n"
        "so that the welds of a machine, a period or an error code are found at once.\n"
        "\n"
        "  archive import [--archive FILE] PATH...\n"
        "      Adds the download files named (a folder: its files whose names end in xls\n"
        "      or pfd, with its subfolders). Each file is added whole or not at all; a\n"
        "      weld already in the archive (its machine and record line) is not added\n"
        "      again, nor is a download already there, under any name or kind. Prints\n"
        "      the files and welds added and the welds already there; files that are\n"
        "      not downloads or cannot be read are named on standard error with the\n"
        "      reason, and nothing of them is kept.\n"
        "  archive list [--archive FILE] [--machine SERIAL]... [--from DATE] [--to DATE]\n"
        "               [--error N] [--text TEXT] [--format listing|csv|xlsx]\n"
        "               [--output FILE [--force]]\n"
        "      The welds selected, in the order imported: as `list` lays them out, under\n"
        "      the header line of the download each was first seen in (--format listing,\n"
        "      the default), or as CSV of the fields under the header's names. --machine\n"
        "      (any number of times) keeps those serial numbers; --text keeps the welds\n"
        "      with TEXT in any field. --output writes FILE instead of standard output\n"
        "      (an existing FILE is replaced only with --force). --format xlsx writes an\n"
        "      Excel workbook to --output: the CSV's rows, dates as dates, numbers as\n"
        "      numbers, the header row frozen under an autofilter.\n"
        "  archive summary [--archive FILE] [--from DATE] [--to DATE] [--error N]\n"
        "                  [--format text|csv]\n"
        "      The table of `summary` from the archive: a machine's files are the\n"
        "      downloads its welds were first seen in.\n"
        "  archive protocol [--archive FILE] [--machine SERIAL]... [--from DATE] [--to DATE]\n"
        "                   [--error N] [--text TEXT] [--report]\n"
        "      The weld protocols of the welds selected, in the order imported, or with\n"
        "      --report their handover report, as the rows `protocol` writes; a weld's\n"
        "      download is the one it was first seen in.\n"
        "\n"
        "  --archive FILE  the archive; by default archive.sqlite in the data folder\n"
        "                  ($XDG_DATA_HOME/Kestrava/kestrava or\n"
        "                  ~/.local/share/Kestrava/kestrava; %LOCALAPPDATA%\\Kestrava\\kestrava\n"
        "                  on Windows). An archive of a newer version of the program, or\n"
        "                  a damaged one, is refused and left as it is.\n"
        "\n"
        "Dates and error numbers as for `list`. Exit status 3 when files given to import\n"
        "were not weld-record downloads (and nothing else went wrong).\n",
        runArchive};
}

}  // namespace kestrava::cli

#endif
