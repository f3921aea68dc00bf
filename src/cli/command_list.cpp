#include "cli/cli_command.h"
#include "cli/cli_listing.h"
#include "cli/cli_output.h"

namespace kestrava::cli {

namespace {

int runList(const std::vector<std::string>& arguments)
{
    ListingRequest request;
    if (const int status = readListingRequest(arguments, request); status != kExitDone)
        return status;
    ListingSummary summary;
    if (const int status = runListing(request, true, summary); status != kExitDone)
        return status;
    return finishOut() ? kExitDone : kExitFileFault;
}

}  // namespace

Command listCommand()
{
    return {"list", "list FILE [--from DATE] [--to DATE] [--error N]",
            "Writes the fixed-column listing of the weld records in FILE to standard output,\n"
            "byte for byte as the window's listing file (lines end with CR LF, the header\n"
            "is repeated after every 40 records).\n"
            "\n"
            "  FILE          a download file; its name must end in \"xls\" (plain) or \"pfd\"\n"
            "                (scrambled, decoded on the way)\n"
            "  --from DATE   keep records dated on or after DATE (day/month/year)\n"
            "  --to DATE     keep records dated on or before DATE\n"
            "  --error N     keep records whose error number is N\n",
            runList};
}

}  // namespace kestrava::cli
