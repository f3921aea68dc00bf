#include <string>

#include "cli/cli_command.h"
#include "cli/cli_listing.h"
#include "cli/cli_output.h"

namespace kestrava::cli {

namespace {

int runCounts(const std::vector<std::string>& arguments)
{
    ListingRequest request;
    if (const int status = readListingRequest(arguments, request); status != kExitDone)
        return status;
    ListingSummary summary;
    if (const int status = runListing(request, false, summary); status != kExitDone)
        return status;
    std::string text;
    text += "family\t" + std::string(familyName(summary.family)) + "\n";
    text += "serial\t" + summary.serial + "\n";
    text += "records\t" + std::to_string(summary.records) + "\n";
    for (const auto& row : summary.errorCodes)
        text += row.label + "\t" + std::to_string(row.count) + "\n";
    writeOut(text);
    return finishOut() ? kExitDone : kExitFileFault;
}

}  // namespace

Command countsCommand()
{
    return {"counts", "counts FILE [--from DATE] [--to DATE] [--error N]",
            "Lists FILE like `list` but prints, one per line, the machine family, the\n"
            "serial number of the last listed record, the number of listed records and the\n"
            "ten error-code rows, each as NAME<TAB>VALUE:\n"
            "\n"
            "  family<TAB>ORV|5TZ|unknown\n"
            "  serial<TAB>...\n"
            "  records<TAB>N\n"
            "  E00<TAB>COUNT ... (ten rows)\n"
            "\n"
            "Options as for `list`.\n",
            runCounts};
}

}  // namespace kestrava::cli
