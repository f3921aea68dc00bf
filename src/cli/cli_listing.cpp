#include "cli/cli_listing.h"

#include "cli/cli_command.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "core/text/download_file.h"
#include "core/files/path_text.h"
#include "core/settings/regional.h"

namespace kestrava::cli {

int readFilter(const ParsedArguments& parsed, ListingFilter& filter)
{
    const auto from = parsed.value("--from");
    const auto to = parsed.value("--to");
    filter.dateOn = from || to;
    filter.from = Day::min();
    filter.to = Day::max();
    if (from) {
        const auto day = parseTypedDate(*from, currentLocalYear());
        if (!day) {
            message("invalid date for --from: " + *from + " (day/month/year)");
            return kExitUsage;
        }
        filter.from = *day;
    }
    if (to) {
        const auto day = parseTypedDate(*to, currentLocalYear());
        if (!day) {
            message("invalid date for --to: " + *to + " (day/month/year)");
            return kExitUsage;
        }
        filter.to = *day;
    }
    if (const auto error = parsed.value("--error")) {
        const auto number = errorNumberFromText(*error, Language::English);
        if (!number) {
            message("invalid error number for --error: " + *error +
                    " (a number from -32768 to 32767)");
            return kExitUsage;
        }
        filter.errorOn = true;
        filter.errorNumber = *number;
    }
    return kExitDone;
}

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

    return readFilter(parsed, request.filter);
}

int openDownload(LoadedDownload& download, const ListingRequest& request, bool handOverToo,
                 ListingSummary& summary)
{
    const auto opened = download.open(pathFromUtf8(request.file), request.filter);
    if (!opened) {
        const DownloadFault& fault = opened.fault();
        if (fault.step == DownloadStep::Name) {
            message("Invalid file: " + request.file + " (the name must end in xls or pfd)");
            return kExitUsage;
        }
        if (fault.step == DownloadStep::Listing && fault.file.fault == FileFault::TargetWrite) {
            finishOut();  // standard output failed; finishOut says so
            return kExitFileFault;
        }
        message(fault.file);
        return kExitFileFault;
    }
    summary = opened.value();
    if (!handOverToo && summary.outcome == ListingOutcome::HeaderNotRecognised) {
        message("not a weld-record download: the header line does not start with a known word (" +
                request.file + ")");
        return kExitNotDownload;
    }
    if (!handOverToo && summary.outcome == ListingOutcome::NoFamily) {
        message("not a weld-record download: the first record line has no date in field 3 or 4 (" +
                request.file + ")");
        return kExitNotDownload;
    }
    if (summary.lineFeedsOnly)
        message("warning: " + request.file +
                " has line feeds but no carriage returns; lines end only at CR or CR LF, so "
                "the whole file was read as its header line and no record was listed");
    return kExitDone;
}

int runListing(const ListingRequest& request, bool printListing, ListingSummary& summary)
{
    // The listing goes to standard output only for a file that is listed; reading
    // stops as soon as the header is known not to be recognised.
    LoadedDownload download(
        printListing ? ListingRun::Write([](std::string_view bytes) { return writeOut(bytes); })
                     : ListingRun::Write(),
        /*stopAtUnknownHeader=*/true);
    return openDownload(download, request, false, summary);
}

}  // namespace kestrava::cli
