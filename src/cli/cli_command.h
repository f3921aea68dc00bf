// The commands of kestrava-cli: each lives in its own file and is listed in the
// command table of main.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrava::cli {

// Exit statuses, the same for every command.
enum ExitStatus : int {
    kExitDone = 0,
    kExitFileFault = 1,  // a file could not be read or written, or OUT exists without --force
    kExitUsage = 2,  // bad usage or a bad argument (date, number, refused file kind)
    kExitNotDownload = 3,  // not a weld-record download
};

struct Command {
    std::string_view name;
    std::string_view synopsis;  // one line for the overview: "list FILE [--from DATE] ..."
    std::string_view help;  // the command's own --help text (after the synopsis)
    int (*run)(const std::vector<std::string>& arguments);  // arguments after the command name
};

Command listCommand();
Command countsCommand();
Command decodeCommand();
Command encodeCommand();
Command printCommand();
Command summaryCommand();
Command protocolCommand();
#ifdef KESTRAVA_HAVE_ARCHIVE
Command archiveCommand();
#endif

}  // namespace kestrava::cli
