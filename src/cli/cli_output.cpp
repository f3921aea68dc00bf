#include "cli/cli_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kestrava::cli {

bool standardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

namespace {
bool outputFailed = false;
int outputError = 0;
}  // namespace

bool writeOut(std::string_view bytes)
{
    if (outputFailed)
        return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
        outputFailed = true;
        outputError = errno;
    }
    return !outputFailed;
}

bool finishOut()
{
    if (!outputFailed && std::fflush(stdout) != 0) {
        outputFailed = true;
        outputError = errno;
    }
    if (outputFailed) {
        std::string text = "cannot write standard output";
        if (outputError != 0)
            text += std::string(" (") + std::strerror(outputError) + ")";
        message(text);
    }
    return !outputFailed;
}

void message(std::string_view text)
{
    std::fprintf(stderr, "kestrava-cli: %.*s\n", int(text.size()), text.data());
}

void message(const FileResult& fault)
{
    message(describe(fault));
}

}  // namespace kestrava::cli
