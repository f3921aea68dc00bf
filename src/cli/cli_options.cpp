#include "cli/cli_options.h"

#include "cli/cli_output.h"

namespace kestrava::cli {

std::optional<std::string> ParsedArguments::value(const std::string& option) const
{
    const auto found = values.find(option);
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

ParsedArguments parseArguments(const std::vector<std::string>& arguments,
                               const std::set<std::string>& valued,
                               const std::set<std::string>& flags)
{
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (valued.count(name)) {
            std::string text;
            if (equals != std::string::npos) {
                text = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                text = arguments[++i];
            } else {
                parsed.error = name + " needs a value";
                return parsed;
            }
            if (parsed.values.count(name)) {
                parsed.error = name + " given twice";
                return parsed;
            }
            parsed.values[name] = text;
        } else if ((flags.count(name) || name == "--help") && equals == std::string::npos) {
            parsed.flags.insert(name);
        } else {
            parsed.error = "unknown option " + argument;
            return parsed;
        }
    }
    return parsed;
}

std::optional<std::string> formatOption(const ParsedArguments& parsed, const std::string& first,
                                        const std::string& second)
{
    std::string format = parsed.value("--format").value_or(first);
    if (format != first && format != second) {
        message("invalid --format: " + format + " (" + first + " or " + second + ")");
        return std::nullopt;
    }
    return format;
}

}  // namespace kestrava::cli
