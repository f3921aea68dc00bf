#include "cli/cli_listing.h"

#include "cli/cli_command.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "core/download_file.h"
#include "core/regional.h"

namespace kestrava::cli {

int readListingRequest(const std::vector<std::string>& arguments, ListingRequest& request)
{
    const auto parsed = parseArguments(arguments, {"--from", "--to", "--error"}, {});
    if (!parsed.error.empty()) {
        message(parsed.error);
        return kExitUsage;
    }
    if (parsed.positional.size() != 1) {
        message(parsed.positional.empty() ? "no FILE given" : "only one FILE can be listed");
        return kExitUsage;
    }
    request.file = parsed.positional[0];
    if (downloadKindOf(request.file) == DownloadKind::Refused) {
        message("Invalid file: " + request.file + " (the name must end in xls or pfd)");
        return kExitUsage;
    }

    const auto from = parsed.value("--from");
    const auto to = parsed.value("--to");
    request.filter.dateOn = from || to;
    request.filter.from = Day::min();
    request.filter.to = Day::max();
    if (from) {
        const auto day = parseTypedDate(*from, currentLocalYear());
        if (!day) {
            message("invalid date for --from: " + *from + " (day/month/year)");
            return kExitUsage;
        }
        request.filter.from = *day;
    }
    if (to) {
        const auto day = parseTypedDate(*to, currentLocalYear());
        if (!day) {
            message("invalid date for --to: " + *to + " (day/month/year)");
            return kExitUsage;
        }
        request.filter.to = *day;
    }
    if (const auto error = parsed.value("--error")) {
        const auto number = errorNumberFromText(*error, Language::English);
        if (!number) {
            message("invalid error number for --error: " + *error + " (a number from -32768 to 32767)");
            return kExitUsage;
        }
        request.filter.errorOn = true;
        request.filter.errorNumber = *number;
    }
    return kExitDone;
}

int runListing(const ListingRequest& request, bool printListing, ListingSummary& summary)
{
    // Output is held back until the run has shown the file to be a weld-record
    // download: a recognised header and a decided family (or the end of the file).
    std::string held;
    bool passing = false;
    ListingRun* runPointer = nullptr;
    const auto write = [&](std::string_view bytes) {
        if (!printListing)
            return true;
        if (!passing && runPointer->summarySoFar().family != MachineFamily::Unknown &&
            isRecognisedHeader(runPointer->summarySoFar().headerLine)) {
            passing = true;
            const bool ok = writeOut(held);
            held.clear();
            held.shrink_to_fit();
            if (!ok)
                return false;
        }
        if (passing)
            return writeOut(bytes);
        held.append(bytes);
        return true;
    };
    ListingRun run(request.filter, std::string(), write);
    runPointer = &run;

    // Stop reading as soon as the header is known not to be recognised.
    bool notRecognised = false;
    const auto progress = [&](std::uint64_t, std::uint64_t) {
        // Three bytes of the first line decide it: a long first line (a file with no
        // line end at all) is not read to its end only to be refused.
        const std::string_view start = run.headerStartSoFar();
        notRecognised = (run.headerDone() || start.size() >= 3) && !isRecognisedHeader(start);
        return !notRecognised;
    };
    const bool scrambled = downloadKindOf(request.file) == DownloadKind::Encrypted;
    const auto result = listDownload(request.file, scrambled, run, progress);
    if (result.file.fault == FileFault::TargetWrite) {
        finishOut();
        return kExitFileFault;
    }
    if (!result.file.ok() && !(notRecognised && result.file.fault == FileFault::Cancelled)) {
        message(result.file);
        return kExitFileFault;
    }
    summary = notRecognised ? run.summarySoFar() : result.summary;
    if (notRecognised || summary.outcome == ListingOutcome::HeaderNotRecognised) {
        message("not a weld-record download: the header line does not start with a known word (" +
                request.file + ")");
        return kExitNotDownload;
    }
    if (summary.outcome == ListingOutcome::NoFamily) {
        message("not a weld-record download: the first record line has no date in field 3 or 4 (" +
                request.file + ")");
        return kExitNotDownload;
    }
    if (printListing && !held.empty() && !writeOut(held)) {
        finishOut();
        return kExitFileFault;
    }
    if (summary.lineFeedsOnly)
        message("warning: " + request.file +
                " has line feeds but no carriage returns; lines end only at CR or CR LF, so "
                "the whole file was read as its header line and no record was listed");
    return kExitDone;
}

}  // namespace kestrava::cli
