// kestrava-cli protocol: the weld protocols of a download's welds, or its handover
// report, as text rows on standard output.
#include <charconv>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/cli_listing.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/protocol_rows.h"
#include "core/document/loaded_download.h"
#include "core/files/path_text.h"
#include "core/protocol/weld_source.h"
#include "core/text/download_file.h"

namespace kestrava::cli {

namespace {

bool readNumber(std::string_view text, std::uint64_t& number)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "N-M" or "N": 1-based listing lines, N <= M.
bool readLines(const std::string& text, std::uint64_t& first, std::uint64_t& last)
{
    const std::size_t dash = text.find('-');
    if (!readNumber(std::string_view(text).substr(0, dash), first))
        return false;
    if (dash == std::string::npos)
        last = first;
    else if (!readNumber(std::string_view(text).substr(dash + 1), last))
        return false;
    return first >= 1 && first <= last;
}

int runProtocol(const std::vector<std::string>& arguments)
{
    const auto parsed =
        parseArguments(arguments, {"--from", "--to", "--error", "--lines"}, {"--report"});
    if (!parsed.error.empty()) {
        message(parsed.error);
        return kExitUsage;
    }
    if (parsed.positional.size() != 1) {
        message(parsed.positional.empty() ? "no FILE given" : "only one FILE can be given");
        return kExitUsage;
    }
    ListingRequest request;
    request.file = parsed.positional[0];
    const DownloadKind kind = downloadKindOf(request.file);
    if (kind == DownloadKind::Refused) {
        message("Invalid file: " + request.file + " (the name must end in xls or pfd)");
        return kExitUsage;
    }
    if (const int status = readFilter(parsed, request.filter); status != kExitDone)
        return status;
    std::uint64_t firstLine = 0;
    std::uint64_t lastLine = 0;
    const auto lines = parsed.value("--lines");
    if (lines && !readLines(*lines, firstLine, lastLine)) {
        message("invalid lines for --lines: " + *lines + " (N-M, listing lines from 1, N <= M)");
        return kExitUsage;
    }

    // The file is listed first: one that is no weld-record download is refused as
    // list refuses it.
    {
        LoadedDownload download(ListingRun::Write(), /*stopAtUnknownHeader=*/true);
        ListingSummary summary;
        if (const int status = openDownload(download, request, false, summary); status != kExitDone)
            return status;
    }

    const std::filesystem::path path = pathFromUtf8(request.file);
    DownloadWelds welds(path, kind == DownloadKind::Encrypted, request.filter,
                        utf8Text(path.filename()));
    if (lines)
        welds.setListingLines(firstLine, lastLine);

    return writeProtocolRows(welds, parsed.has("--report"));
}

}  // namespace

Command protocolCommand()
{
    return {"protocol",
            "protocol FILE [--lines N-M] [--from DATE] [--to DATE] [--error N] [--report]",
            "Writes the weld protocols of FILE's welds as text rows, one block per weld, the\n"
            "blocks split by an empty line; each row is a name and its cells, split by tabs:\n"
            "\n"
            "  protocol<TAB>N                 the weld's place in the selection\n"
            "  download<TAB>FILE NAME\n"
            "  machine<TAB>SERIAL<TAB>FAMILY\n"
            "  date<TAB>DATE<TAB>TIME\n"
            "  error<TAB>NUMBER<TAB>DESCRIPTION\n"
            "  field<TAB>COLUMN NAME<TAB>VALUE  every field of the record, in order\n"
            "\n"
            "With --report, the handover report instead: its cover (machine<TAB>SERIAL<TAB>\n"
            "FAMILY<TAB>WELDS, period<TAB>FIRST<TAB>LAST, welds<TAB>N, welds not E00<TAB>N,\n"
            "code<TAB>DESCRIPTION<TAB>COUNT for each error code), the table (columns<TAB>\n"
            "the column names, then weld<TAB>the fields for every weld), an empty line and\n"
            "the protocols of the welds not E00. Field bytes are written as they stand.\n"
            "\n"
            "  FILE          a download file; its name must end in \"xls\" (plain) or \"pfd\"\n"
            "                (scrambled, decoded on the way)\n"
            "  --lines N-M   only the welds shown on lines N to M of `kestrava-cli list`\n"
            "                (with the same --from, --to and --error)\n"
            "  --from DATE   welds dated on or after DATE (day/month/year)\n"
            "  --to DATE     welds dated on or before DATE\n"
            "  --error N     welds whose error number is N\n"
            "  --report      the handover report\n",
            runProtocol};
}

}  // namespace kestrava::cli
