#include <filesystem>
#include <system_error>

#include "cli/cli_command.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "core/files/path_text.h"
#include "core/text/scrambling.h"

namespace kestrava::cli {

namespace {

int runScramble(ScrambleDirection direction, const std::vector<std::string>& arguments)
{
    const auto parsed = parseArguments(arguments, {}, {"--force"});
    if (!parsed.error.empty()) {
        message(parsed.error);
        return kExitUsage;
    }
    if (parsed.positional.size() != 2) {
        message("IN and OUT are needed");
        return kExitUsage;
    }
    const std::filesystem::path in = pathFromUtf8(parsed.positional[0]);
    const std::filesystem::path out = pathFromUtf8(parsed.positional[1]);
    std::error_code ec;
    if (std::filesystem::equivalent(in, out, ec)) {
        message("IN and OUT are the same file: " + parsed.positional[1]);
        return kExitUsage;
    }
    const auto result = scrambleFile(direction, in, out, parsed.has("--force"));
    if (result.fault == FileFault::TargetExists) {
        message(parsed.positional[1] + " already exists (use --force to replace it)");
        return kExitFileFault;
    }
    if (!result.ok()) {
        message(result);
        return kExitFileFault;
    }
    return kExitDone;
}

int runDecode(const std::vector<std::string>& arguments)
{
    return runScramble(ScrambleDirection::Decode, arguments);
}

int runEncode(const std::vector<std::string>& arguments)
{
    return runScramble(ScrambleDirection::Encode, arguments);
}

}  // namespace

Command decodeCommand()
{
    return {"decode", "decode IN OUT [--force]",
            "Decodes the scrambled (\"Encrypted Data\") file IN into the plain text OUT, of\n"
            "the same length, whatever the names. OUT is written to a temporary file beside\n"
            "it and renamed into place; an existing OUT is replaced only with --force.\n",
            runDecode};
}

Command encodeCommand()
{
    return {"encode", "encode IN OUT [--force]",
            "Scrambles the plain text IN into the \"Encrypted Data\" file OUT, of the same\n"
            "length, whatever the names; the exact inverse of decode. OUT is written to a\n"
            "temporary file beside it and renamed into place; an existing OUT is replaced\n"
            "only with --force.\n",
            runEncode};
}

}  // namespace kestrava::cli
