// Runs the built kestrava-cli through the shell and captures what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../core/temp_folder.h"

struct CliOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline CliOutcome cli(const std::vector<std::string>& arguments)
{
    static TempFolder capture;
    std::string command = shellQuoted(KESTRAVA_CLI_PATH);
    for (const auto& argument : arguments)
        command.append(" ").append(shellQuoted(argument));
    command.append(" >").append(shellQuoted((capture.path() / "out").string()));
    command.append(" 2>").append(shellQuoted((capture.path() / "err").string()));
    const int raw = std::system(command.c_str());
    CliOutcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.out = capture.read("out");
    outcome.err = capture.read("err");
    return outcome;
}

// A fresh folder handing out paths as strings, as the command line takes them.
struct CliFolder : TempFolder {
    std::string operator/(const std::string& name) const { return (path() / name).string(); }
    std::string write(const std::string& name, const std::string& contents) const
    {
        return TempFolder::write(name, contents).string();
    }
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
