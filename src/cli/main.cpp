// kestrava-cli: list, count, decode, encode and print weld-record download files.
#include <csignal>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/cli_output.h"
#include "core/file_io.h"

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

// A run ended by a signal removes its half-written temporary files first, then ends
// as the signal would have ended it.
extern "C" void endOnSignal(int signalNumber)
{
    kestrava::fileio::removeOpenTemporaries();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void removeTemporariesOnSignals()
{
#ifndef _WIN32
    for (const int signalNumber : {SIGINT, SIGTERM, SIGPIPE, SIGHUP}) {
        struct sigaction action {};
        action.sa_handler = endOnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signalNumber, &action, nullptr);
    }
#else
    std::signal(SIGINT, endOnSignal);
    std::signal(SIGTERM, endOnSignal);
#endif
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
        removeTemporariesOnSignals();
        try {
            return command.run(arguments);
        } catch (const std::bad_alloc&) {
            // Whatever was being written is abandoned (its temporary removed) on the way
            // out of the command.
            message("not enough memory to finish the " + name + " command");
            return kExitFileFault;
        }
    }
    message("unknown command: " + name);
    printOverview(stderr);
    return kExitUsage;
}
