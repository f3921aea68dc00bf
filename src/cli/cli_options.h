// Command-line arguments of one command: positional arguments and --options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava::cli {

struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // "--from" -> "01/02/2009"
    std::set<std::string> flags;  // "--force", "--help"
    std::string error;  // set when the arguments cannot be read

    bool has(const std::string& flag) const { return flags.count(flag) > 0; }
    std::optional<std::string> value(const std::string& option) const;
};

// valued: options that take a value ("--from DATE" or "--from=DATE"); flags: options
// without one. "--help" is always known; "--" ends the options.
ParsedArguments parseArguments(const std::vector<std::string>& arguments,
                               const std::set<std::string>& valued,
                               const std::set<std::string>& flags);

// The value of --format: one of two names, the first when not given. Another name is
// reported on standard error ("invalid --format: X (a or b)") and gives nothing.
std::optional<std::string> formatOption(const ParsedArguments& parsed, const std::string& first,
                                        const std::string& second);

}  // namespace kestrava::cli
