// kestrava-cli: list, count, decode, encode and print weld-record download files.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include "cli/cli_command.h"
#include "cli/cli_output.h"
#include "core/files/file_io.h"
#include "core/listing/listing.h"

using namespace kestrava::cli;

namespace {

// The command table: one entry per command file.
std::vector<Command> commands()
{
    return {
        listCommand(),    countsCommand(),  decodeCommand(),   encodeCommand(),
        printCommand(),   summaryCommand(), protocolCommand(),
#ifdef KESTRAVA_HAVE_ARCHIVE
        archiveCommand(),
#endif
    };
}

void printOverview(std::FILE* stream)
{
    std::fputs("usage: kestrava-cli COMMAND ARGUMENTS...\n\ncommands:\n", stream);
    for (const auto& command : commands())
        std::fprintf(stream, "  kestrava-cli %.*s\n", int(command.synopsis.size()),
                     command.synopsis.data());
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
        struct sigaction action { };
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

int run(std::vector<std::string> arguments)
{
    if (arguments.empty()) {
        printOverview(stderr);
        return kExitUsage;
    }
    const std::string name = arguments.front();
    arguments.erase(arguments.begin());
    // KESTRAVA_THREADS=N lists on N threads (1: on one); the listing is the same.
    if (const char* threads = std::getenv("KESTRAVA_THREADS"); threads && *threads)
        kestrava::setListingThreads(unsigned(std::strtoul(threads, nullptr, 10)));
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

#ifdef _WIN32
std::string utf8FromWide(const wchar_t* text)
{
    const int length = int(std::wcslen(text));
    if (length == 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}
#endif

}  // namespace

#ifdef _WIN32
// The arguments arrive as wide text, so that every letter of a file name survives
// whatever the ANSI code page; the engine takes them as UTF-8. Standard output is
// binary: the listing's bytes, CR LF line ends included, go out exactly as written.
int wmain(int argc, wchar_t** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(utf8FromWide(argv[i]));
    return run(std::move(arguments));
}
#else
int main(int argc, char** argv)
{
    return run(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
#endif
