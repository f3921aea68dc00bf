// kestrava-cli print: the lines of the record printout on standard output.
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/cli_listing.h"
#include "cli/cli_output.h"
#include "core/settings/build_profile.h"
#include "core/document/loaded_download.h"
#include "core/listing/print_layout.h"

namespace kestrava::cli {

namespace {

// Each printed line goes out as it stands, ended by a line feed; fonts and sizes have
// no meaning on standard output.
class StandardOutputSurface final : public PrintSurface {
public:
    bool setFontName(std::string_view) override { return true; }
    bool setFontSize(int) override { return true; }
    bool setBold(bool) override { return true; }
    bool printLine(std::string_view text) override { return writeOut(text) && writeOut("\n"); }
    bool endDocument() override { return true; }
};

// Takes --language out of the arguments; the rest are those of the listing.
bool takeLanguage(const std::vector<std::string>& arguments, std::vector<std::string>& rest,
                  std::optional<std::string>& language)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            rest.insert(rest.end(), arguments.begin() + std::ptrdiff_t(i), arguments.end());
            return true;
        }
        std::optional<std::string> value;
        if (argument == "--language") {
            if (i + 1 == arguments.size()) {
                message("--language needs a value");
                return false;
            }
            value = arguments[++i];
        } else if (argument.rfind("--language=", 0) == 0) {
            value = argument.substr(11);
        } else {
            rest.push_back(argument);
            continue;
        }
        if (language) {
            message("--language given twice");
            return false;
        }
        language = value;
    }
    return true;
}

int runPrint(const std::vector<std::string>& arguments)
{
    std::vector<std::string> listingArguments;
    std::optional<std::string> languageName;
    if (!takeLanguage(arguments, listingArguments, languageName))
        return kExitUsage;
    Language language = buildProfile().language();
    if (languageName) {
        language = languageFromName(*languageName);
        if (language == Language::Other) {
            message("invalid language for --language: " + *languageName + " (English or Polish)");
            return kExitUsage;
        }
    }

    ListingRequest request;
    if (const int status = readListingRequest(listingArguments, request); status != kExitDone)
        return status;
    // As Print Records in the window: the file is listed first, which decides the
    // machine family whose date and error fields the selection reads; a file the
    // listing hands over to the spreadsheet program is printed all the same. A
    // scrambled file is decoded on the way: its plain text is never written to disk.
    LoadedDownload download{ListingRun::Write()};
    ListingSummary summary;
    if (const int status = openDownload(download, request, true, summary); status != kExitDone)
        return status;

    StandardOutputSurface out;
    const auto printed = download.printSelection(language, out);
    if (!printed) {
        if (printed.fault().step == DownloadStep::Printer) {
            finishOut();
            return kExitFileFault;
        }
        message(printed.fault().file);
        return kExitFileFault;
    }
    return finishOut() ? kExitDone : kExitFileFault;
}

}  // namespace

Command printCommand()
{
    return {"print", "print FILE [--from DATE] [--to DATE] [--error N] [--language English|Polish]",
            "Writes the record printout of FILE to standard output, one printed line per\n"
            "output line (LF), for lpr or a file: the heading, the note saying whether the\n"
            "records are a filtered selection, then every selected line of the file in\n"
            "25-character cells (field, spaces, \": \"), 125 characters to a row, each line\n"
            "closed by a dashed rule. Field bytes are written as they stand in the file.\n"
            "\n"
            "  FILE          a download file; its name must end in \"xls\" (plain) or \"pfd\"\n"
            "                (scrambled, decoded on the way)\n"
            "  --from DATE   print records dated on or after DATE (day/month/year)\n"
            "  --to DATE     print records dated on or before DATE\n"
            "  --error N     print records whose error number is N\n"
            "  --language L  the heading's language, English or Polish (default: the\n"
            "                program's own)\n",
            runPrint};
}

}  // namespace kestrava::cli
