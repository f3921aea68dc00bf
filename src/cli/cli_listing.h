// The listing run as list, counts and print use it: FILE's kind by its name, the filters
// from --from, --to and --error, and the listing held back until the file is known
// to be a weld-record download.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "core/listing/listing.h"
#include "core/document/loaded_download.h"

namespace kestrava::cli {

struct ListingRequest {
    std::string file;
    ListingFilter filter;
};

// Reads the filter options --from DATE, --to DATE and --error N. Returns kExitDone or,
// after a message, kExitUsage.
int readFilter(const ParsedArguments& parsed, ListingFilter& filter);

// Reads FILE [--from DATE] [--to DATE] [--error N]. Returns kExitDone or, after a
// message, kExitUsage.
int readListingRequest(const std::vector<std::string>& arguments, ListingRequest& request);

// Opens request.file into download under request.filter. A file the listing hands
// over to the spreadsheet program is refused (kExitNotDownload) unless handOverToo.
// Returns the exit status, with a message for anything but kExitDone (and the
// line-feed warning).
int openDownload(LoadedDownload& download, const ListingRequest& request, bool handOverToo,
                 ListingSummary& summary);

// Runs the listing; with printListing the listing goes to standard output, but only
// once the header is recognised and the family decided (nothing at all otherwise).
// Returns the exit status, with a message for anything but kExitDone.
int runListing(const ListingRequest& request, bool printListing, ListingSummary& summary);

}  // namespace kestrava::cli
