// kestrava-cli on folders, FIFOs and devices named like downloads, unwritable targets,
// a full disk, a 100 MB line, a signal: each ends quickly with a message and status 1
// (or lists normally), never hangs or grows without bound, never leaves a half target.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <set>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include "cli_run.h"
#include "../support/sample_download.h"

namespace fs = std::filesystem;

namespace {

// The command failed cleanly: status 1, a message with words, nothing listed, in good time.
void expectRefused(const std::vector<std::string>& arguments, const std::string& words)
{
    const CliOutcome outcome = cli(arguments, "", 20);
    SCOPED_TRACE(shown(arguments));
    EXPECT_FALSE(outcome.timedOut) << "still running after 20 s";
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(has(outcome.err, words));
    EXPECT_EQ(outcome.err.find("--force"), std::string::npos) << "--force could not help";
}

const std::string kHeader = sample::kOrvHeader + "\r\n";
const std::string kRecord = sample::orvRecord("1", "S-7", "14/03/2009", "0") + "\r\n";

}  // namespace

TEST(CliHostile, NoRegularFilesAndUnwritableTargetsAreRefusedAndNothingIsLeft)
{
    CliFolder folder;
    const std::string source = folder.write("in.xls", kHeader + kRecord);
    const std::string notAFolder = folder.write("plain.txt", "a file, not a folder");
    fs::create_directory(folder.path() / "folder.xls");
    ASSERT_EQ(::mkfifo((folder / "pipe.pfd").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder.path() / "zero.xls");
    const auto before = folder.names();
    for (const std::string name : {"folder.xls", "pipe.pfd", "zero.xls"}) {
        for (const std::string command : {"list", "counts", "print"})
            expectRefused({command, folder / name}, "not a regular file");
        expectRefused({"decode", folder / name, folder / "out.xls"}, "not a regular file");
        // An existing folder, FIFO or device as the target is never replaced, even forced.
        expectRefused({"encode", "--force", source, folder / name}, "not a regular file");
        expectRefused({"encode", source, folder / name}, "not a regular file");
    }
    // Fails for root too: the target's folder is a file; /proc takes no new files.
    expectRefused({"encode", source, notAFolder + "/out.pfd"}, "cannot create");
    expectRefused({"encode", source, "/proc/kestrava-out.pfd"}, "cannot create");
    if (::geteuid() != 0) {  // root reads and writes anything
        fs::permissions(folder.path() / "in.xls", fs::perms::none);
        expectRefused({"list", source}, "cannot open");
        fs::permissions(folder.path() / "in.xls", fs::perms::owner_all);
    }
    EXPECT_EQ(readFile(source), kHeader + kRecord);
    EXPECT_EQ(folder.names(), before);
}

TEST(CliHostile, AFullDiskOnStandardOutputIsAFault)
{
    CliFolder folder;
    std::string text = kHeader;  // large enough that the listing is written while it runs
    for (int i = 0; i < 60'000; ++i)
        text += kRecord;
    const auto source = folder.write("in.xls", text);
    const auto scrambled = folder / "in.pfd";
    ASSERT_EQ(cli({"encode", source, scrambled}).status, 0);
    const std::vector<std::string> runs[] = {{"list", source},   {"list", scrambled},
                                             {"counts", source}, {"print", scrambled},
                                             {"--help"},         {"list", "--help"}};
    for (const auto& arguments : runs) {
        SCOPED_TRACE(shown(arguments));
        const CliOutcome outcome = cli(arguments, "/dev/full");
        EXPECT_EQ(outcome.status, 1);
        EXPECT_TRUE(has(outcome.err, "cannot write standard output"));
    }
}

TEST(CliHostile, A100MegabyteLineKeepsMemoryBoundedByTheLine)
{
    CliFolder folder;
    constexpr std::size_t kLine = std::size_t(100) << 20;
    // A few copies of the line at most: the line as read, its laid-out form, the
    // output buffer and the listing held back until the file is known to be a
    // download (about six lines' worth, growth slack included).
    const long fewLines = 8 * long(kLine >> 10) + 64 * 1024;
    const struct {
        const char* name;
        std::string before;  // then kLine bytes of fill, no line end
        char fill;
        int status;
        long peakKib;
    } cases[] = {
        {"header.xls", "Weld", 'x', 0, fewLines},  // a header of 100 MB, recognised
        {"tabs.xls", "Wel", '\t', 0, fewLines},  // a header of 100 M empty fields
        {"junk.xls", "", 'x', 3, 64 * 1024},  // not recognised: refused on its first bytes
        {"record.xls", kHeader + "1\tS-7\t14/03/2009\t", 'x', 0, fewLines},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Written in pieces: the child starts as a copy of the test, whose memory counts.
        const auto source = folder.write(c.name, c.before);
        for (std::size_t written = 0; written < kLine; written += std::size_t(1) << 20)
            std::ofstream(source, std::ios::binary | std::ios::app)
                << std::string(std::size_t(1) << 20, c.fill);
        const CliOutcome outcome = cli({"list", source}, "/dev/null", 120);
        EXPECT_FALSE(outcome.timedOut);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
#ifndef __SANITIZE_ADDRESS__  // which keeps freed memory in quarantine
        EXPECT_LT(outcome.peakKib, c.peakKib) << "peak " << outcome.peakKib / 1024 << " MiB";
#endif
        fs::remove(source);
    }
}

// 1 GB of random bytes after a valid start, every random line a record to lay out: long,
// and 1 GB of disk, so run with KESTRAVA_SLOW_TESTS=1 (ctest -L slow, as scripts/fuzz does).
TEST(CliSlow, AGigabyteOfRandomBytesIsListedToTheEnd)
{
    if (std::getenv("KESTRAVA_SLOW_TESTS") == nullptr)
        GTEST_SKIP() << "set KESTRAVA_SLOW_TESTS=1 to run";
    CliFolder folder;
    const auto source = folder / "random.xls";
    {
        std::ofstream out(source, std::ios::binary);
        out << kHeader << kRecord;
        std::mt19937_64 random(2026);
        std::vector<std::uint64_t> piece((std::size_t(1) << 20) / 8);
        for (int megabyte = 0; megabyte < 1024; ++megabyte) {
            std::generate(piece.begin(), piece.end(), std::ref(random));
            out.write(reinterpret_cast<const char*>(piece.data()),
                      std::streamsize(piece.size() * 8));
        }
    }
    const auto scrambled = folder / "random.pfd";
    ASSERT_EQ(cli({"encode", source, scrambled}, "", 600).status, 0);
    for (const auto& arguments :
         {std::vector<std::string>{"list", source}, {"counts", source}, {"counts", scrambled}}) {
        SCOPED_TRACE(shown(arguments));
        const bool counts = arguments[0] == "counts";
        const CliOutcome outcome = cli(arguments, counts ? "" : "/dev/null", 600);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        if (counts) {  // about one line end in 256 random bytes: some four million records
            const auto at = outcome.out.find("records\t");
            ASSERT_NE(at, std::string::npos) << outcome.out;
            EXPECT_GT(std::stoull(outcome.out.substr(at + 8)), 3'000'000u) << outcome.out;
        }
#ifndef __SANITIZE_ADDRESS__
        std::printf("%s: peak %ld MiB\n", shown(arguments).c_str(), outcome.peakKib / 1024);
        EXPECT_LT(outcome.peakKib, 256 * 1024);
#endif
    }
}

TEST(CliHostile, ARunEndedByASignalLeavesNothingBehind)
{
    CliFolder folder;
    fs::create_directory(folder.path() / "tmp");
    const std::string tmp = folder / "tmp";
    // A sparse source large enough that decoding it is still running when the signal
    // comes: the half-written temporary beside the target must go.
    const std::string big = folder / "big.pfd";
    std::ofstream(big, std::ios::binary) << "Weld";
    fs::resize_file(big, std::uintmax_t(2) << 30);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        const pid_t child = startCli({"decode", big, folder / "out.xls"}, -1, -1, tmp);
        for (int wait = 0; wait < 5000 && folder.names().size() <= 2; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_GT(folder.names().size(), 2u) << "no temporary file appeared";
        ::kill(child, signalNumber);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        EXPECT_EQ(folder.names(), (std::set<std::string>{"big.pfd", "tmp"}));
    }

    // print into a pipe that nobody reads (as under "| head"): ended by SIGPIPE, and no
    // decoded text in the temporary folder, then or ever.
    const std::string plain = folder.write("in.xls", kHeader + kRecord + kRecord);
    ASSERT_EQ(cli({"encode", plain, folder / "in.pfd"}).status, 0);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    const pid_t child = startCli({"print", folder / "in.pfd"}, ends[1], -1, tmp);
    ::close(ends[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
    EXPECT_TRUE(fs::is_empty(folder.path() / "tmp"));
}

// The summary of a download, its scrambled copy and a download of its first 60 records
// is the summary of the download alone; the copy and the repeats are named.
TEST(CliHostile, SummaryCountsEachDownloadAndEachWeldOnce)
{
    CliFolder folder;
    std::string text = kHeader;
    for (int i = 0; i < 100; ++i)
        text += std::to_string(i) + "\tS-" + std::to_string(i % 3) + "\t1" + std::to_string(i % 9) +
                "/03/2009\t10:00\t" + (i % 4 ? "0" : "27") + "\r\n";
    std::string head = kHeader;
    for (std::size_t at = kHeader.size(), line = 0; line < 60; ++line, at = text.find('\n', at) + 1)
        head += text.substr(at, text.find('\n', at) + 1 - at);
    const auto plain = folder.write("a.xls", text);
    ASSERT_EQ(cli({"encode", plain, folder / "a.pfd"}).status, 0);
    const auto part = folder.write("a-head.xls", head);
    for (const std::string format : {"text", "csv"}) {
        SCOPED_TRACE(format);
        const CliOutcome alone = cli({"summary", "--format", format, plain});
        const CliOutcome all = cli({"summary", "--format", format, folder / "a.pfd", part, plain});
        EXPECT_EQ(alone.status, 0);
        EXPECT_EQ(all.status, 0) << all.err;
        EXPECT_EQ(all.out, alone.out);
        EXPECT_EQ(alone.err, "");
        EXPECT_TRUE(has(all.err, "a.pfd: the same download as " + plain));
        EXPECT_TRUE(has(all.err, "160 repeated records left out"));
    }
}

// Under a small limit on its memory: a serial of a megabyte in 50 records beside 200
// other machines is shown shortened in the table and whole (once) in the CSV; a million
// different welds in 12 MiB end the summary with a message, not with the program killed.
TEST(CliHostile, SummaryCostsASerialItsLengthOnceAndRunningOutOfMemoryIsAMessage)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer's shadow memory does not fit a limit on the data segment";
#endif
    CliFolder folder;
    const std::string serial(std::size_t(1) << 20, 'S');
    const auto source = folder / "big.xls";
    const auto many = folder / "many.xls";
    {
        std::ofstream out(source, std::ios::binary);
        out << kHeader;
        for (int i = 0; i < 50; ++i)
            out << i << '\t' << serial << "\t14/03/2009\t10:00\t0\r\n";
        for (int m = 0; m < 200; ++m)
            out << m << "\tM-" << m << "\t14/03/2009\t10:00\t20\r\n";
        std::ofstream welds(many, std::ios::binary);
        welds << kHeader;
        for (int i = 0; i < 1'000'000; ++i)
            welds << i << "\tS-7\t14/03/2009\t10:00\t0\r\n";
    }
    const CliOutcome text = cli({"summary", source}, "", 60, 48);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_LT(text.out.size(),
              202u * 200u);  // a line a machine, none wider than the shortened serial
    EXPECT_TRUE(has(text.out, std::string(64, 'S') + "\u2026  ORV"));
    const CliOutcome csv = cli({"summary", "--format", "csv", source}, "", 60, 48);
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_LT(csv.out.size(), serial.size() + 202u * 64u);
    const auto at = csv.out.find("\r\n" + serial + ",ORV,1,50,");
    EXPECT_NE(at, std::string::npos);
    EXPECT_EQ(csv.out.find(serial, at + serial.size()), std::string::npos);
    EXPECT_LT(text.peakKib, 40 * 1024);
    EXPECT_LT(csv.peakKib, 40 * 1024);

    const CliOutcome outcome = cli({"summary", many}, "", 60, 12);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(has(outcome.err, "not enough memory to finish the summary command"));
}

// Every name the summary does not sum up is on standard error with its reason, escaped.
TEST(CliHostile, SummaryNamesWhatItSkipsWithControlCharactersEscaped)
{
    CliFolder folder;
    fs::create_directories(folder.path() / "in" / "shut");
    const auto good = folder.write("in/a.xls", kHeader + kRecord);
    folder.write("in/shut/b.xls", kHeader + kRecord);
    folder.write("in/x\n\x1b[31m.xls", "hello\r\n");
    ASSERT_EQ(::mkfifo((folder / "in/pipe.xls").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", folder.path() / "in" / "null.pfd");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder / "in/socket.xls";
    socketPath.copy(address.sun_path, std::min(socketPath.size(), sizeof address.sun_path - 1));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::permissions(folder.path() / "in" / "shut", fs::perms::none);

    const CliOutcome outcome = cli({"summary", folder / "in", good}, "", 20);
    ::close(sock);
    fs::permissions(folder.path() / "in" / "shut", fs::perms::owner_all);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos) << outcome.err;
    std::vector<std::string> expected = {
        good + ": given more than once",
        folder / "in/pipe.xls" + ": not a regular file (a FIFO)",
        folder / "in/null.pfd" + ": not a regular file (a device)",
        folder / "in/socket.xls" + ": not a regular file (a socket)",
        folder / "in/x\\n\\x1b[31m.xls" + ": not a weld-record download",
    };
    if (::geteuid() != 0)  // root searches any folder
        expected.push_back(folder / "in/shut" + ": the folder could not be searched to its end");
    for (const auto& line : expected)
        EXPECT_TRUE(has(outcome.err, "kestrava-cli: " + line));
}
