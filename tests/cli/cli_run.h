// Runs the built kestrava-cli and captures what it printed: through fork and exec on
// POSIX systems (standard output to a file of the test's, a time limit, the peak
// memory), through CreateProcessW with wide arguments on Windows (so that file names
// with letters outside the ANSI code page reach it whole).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
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
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "../core/temp_folder.h"
#include "core/files/path_text.h"

struct CliOutcome {
    int status = -1;  // exit status; -1 when ended by a signal
    std::string out;  // standard output, unless it went to a file of the test's
    std::string err;
    bool timedOut = false;  // still running after the time limit, then killed (POSIX)
    long peakKib = 0;  // peak resident memory (POSIX)
};

#ifdef _WIN32
// One argument quoted as the C runtime splits a command line: a run of backslashes
// doubles only before a quote (its own or the closing one), and the quote is escaped.
inline std::wstring windowsQuoted(const std::wstring& text)
{
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'"')
            out.append(backslashes + 1, L'\\');
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        out += c;
    }
    return out.append(backslashes, L'\\') + L"\"";
}

inline CliOutcome cli(const std::vector<std::string>& arguments)
{
    static TempFolder capture;
    std::wstring command = windowsQuoted(std::filesystem::path(KESTRAVA_CLI_PATH).wstring());
    for (const auto& argument : arguments)
        command += L" " + windowsQuoted(kestrava::pathFromUtf8(argument).wstring());
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto openCapture = [&](const char* name) {
        return CreateFileW((capture.path() / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                           &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
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
// Starts kestrava-cli with standard input from /dev/null, standard output to outFd and
// standard error to errFd (-1: /dev/null), TMPDIR set when tmpFolder is not empty, and
// its data (heap and private mappings) limited to dataLimitMib when that is not 0.
inline pid_t startCli(const std::vector<std::string>& arguments, int outFd, int errFd = -1,
                      const std::string& tmpFolder = "", long dataLimitMib = 0)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (dataLimitMib > 0) {
            const rlimit limit{rlim_t(dataLimitMib) << 20, rlim_t(dataLimitMib) << 20};
            ::setrlimit(RLIMIT_DATA, &limit);
        }
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(outFd < 0 ? null : outFd, 1);
        ::dup2(errFd < 0 ? null : errFd, 2);
        if (!tmpFolder.empty())
            ::setenv("TMPDIR", tmpFolder.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(KESTRAVA_CLI_PATH)};
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(126);
    }
    return child;
}

// Runs kestrava-cli with standard output to stdoutPath (captured when empty) and kills
// it after limitSeconds; dataLimitMib as for startCli.
inline CliOutcome cli(const std::vector<std::string>& arguments, const std::string& stdoutPath = "",
                      int limitSeconds = 60, long dataLimitMib = 0)
{
    static TempFolder capture;
    const std::string outFile = stdoutPath.empty() ? (capture.path() / "out").string() : stdoutPath;
    const std::string errFile = (capture.path() / "err").string();
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = startCli(arguments, out, err, "", dataLimitMib);
    ::close(out);
    ::close(err);
    CliOutcome outcome;
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, WNOHANG, &usage) != child) {
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(limitSeconds)) {
            outcome.timedOut = true;
            ::kill(child, SIGKILL);
            ::wait4(child, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.peakKib = usage.ru_maxrss;
    outcome.err = capture.read("err");
    if (stdoutPath.empty())
        outcome.out = capture.read("out");
    return outcome;
}
#endif

// A command line as typed, for a failure's trace.
inline std::string shown(const std::vector<std::string>& arguments)
{
    std::string text = "kestrava-cli";
    for (const auto& argument : arguments)
        text += " " + argument;
    return text;
}

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

// Whether text holds part; a failure shows the text.
inline testing::AssertionResult has(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

inline std::string readFile(const std::string& path)
{
    return fileText(kestrava::pathFromUtf8(path));
}
