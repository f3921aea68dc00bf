// Runs the built kestrava-cli and captures what it printed: through the shell on
// POSIX systems, through CreateProcessW with wide arguments on Windows (so that file
// names with letters outside the ANSI code page reach it whole).
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include "../core/temp_folder.h"
#include "core/path_text.h"

struct CliOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

#ifdef _WIN32
// One argument quoted as the C runtime splits a command line: backslashes double
// only before a quote.
inline std::wstring windowsQuoted(const std::wstring& text)
{
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

inline CliOutcome cli(const std::vector<std::string>& arguments)
{
    static TempFolder capture;
    std::wstring command = windowsQuoted(std::filesystem::path(KESTRAVA_CLI_PATH).wstring());
    for (const auto& argument : arguments)
        command += L" " + windowsQuoted(kestrava::pathFromUtf8(argument).wstring());
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto openCapture = [&](const char* name) {
        return CreateFileW((capture.path() / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE out = openCapture("out");
    HANDLE err = openCapture("err");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    CliOutcome outcome;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code))
            outcome.status = int(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    outcome.out = capture.read("out");
    outcome.err = capture.read("err");
    return outcome;
}
#else
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
#endif

// A fresh folder handing out paths as UTF-8 strings, as the command line takes them.
struct CliFolder : TempFolder {
    std::string operator/(const std::string& name) const
    {
        return kestrava::utf8Text(path() / kestrava::pathFromUtf8(name));
    }
    std::string write(const std::string& name, const std::string& contents) const
    {
        return kestrava::utf8Text(TempFolder::write(name, contents));
    }
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(kestrava::pathFromUtf8(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
