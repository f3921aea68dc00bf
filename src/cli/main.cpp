// kestrava-cli: list, count, decode, encode and print weld-record download files.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/cli_output.h"

using namespace kestrava::cli;

namespace {

// The command table: one entry per command file.
std::vector<Command> commands()
{
    return {listCommand(), countsCommand(), decodeCommand(), encodeCommand(), printCommand()};
}

void printOverview(std::FILE* stream)
{
    std::fputs("usage: kestrava-cli COMMAND ARGUMENTS...\n\ncommands:\n", stream);
    for (const auto& command : commands())
        std::fprintf(stream, "  kestrava-cli %.*s\n", int(command.synopsis.size()), command.synopsis.data());
    std::fputs("\n'kestrava-cli COMMAND --help' describes a command.\n"
               "Exit status: 0 done; 1 a file could not be read or written, or OUT exists\n"
               "without --force; 2 bad usage or argument; 3 not a weld-record download.\n",
               stream);
}

bool asksForHelp(const std::vector<std::string>& arguments)
{
    for (const auto& argument : arguments) {
        if (argument == "--")
            return false;
        if (argument == "--help")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (arguments.empty()) {
        printOverview(stderr);
        return kExitUsage;
    }
    const std::string name = arguments.front();
    arguments.erase(arguments.begin());
    if (name == "--help" || name == "-h" || name == "help") {
        printOverview(stdout);
        return finishOut() ? kExitDone : kExitFileFault;
    }
    for (const auto& command : commands()) {
        if (command.name != name)
            continue;
        if (asksForHelp(arguments)) {
            std::printf("usage: kestrava-cli %.*s\n\n%.*s", int(command.synopsis.size()),
                        command.synopsis.data(), int(command.help.size()), command.help.data());
            return finishOut() ? kExitDone : kExitFileFault;
        }
        return command.run(arguments);
    }
    message("unknown command: " + name);
    printOverview(stderr);
    return kExitUsage;
}
