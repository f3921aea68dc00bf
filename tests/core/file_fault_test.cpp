// Every file operation of the engine's file work, made to fail one at a time: each
// failure must be reported as a fault naming the file, leave no half-written target
// and no temporary file behind, and leave the source as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/listing.h"
#include "core/loaded_download.h"
#include "core/print_layout.h"
#include "core/save_copy.h"
#include "core/scrambling.h"
#include "core/settings_file.h"
#include "temp_folder.h"

#include <sys/stat.h>

using namespace kestrava;
using fileio::Operation;

namespace {

const char* operationName(Operation operation)
{
    switch (operation) {
    case Operation::Status: return "status";
    case Operation::OpenRead: return "open";
    case Operation::Read: return "read";
    case Operation::CreateTemp: return "create";
    case Operation::Write: return "write";
    case Operation::Close: return "close";
    case Operation::Rename: return "rename";
    case Operation::Remove: return "remove";
    case Operation::Sync: return "sync";
    }
    return "?";
}

std::set<std::string> namesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A record text of both families' shape, several read chunks long, so that reads and
// writes happen many times.
std::string bigDownload(std::size_t records)
{
    std::string text = "Weld No\tSerial\tDate\tTime\tError\r\n";
    for (std::size_t i = 0; i < records; ++i)
        text += std::to_string(i) + "\tS-1\t14/03/2009\t10:00\t" + (i % 3 ? "0" : "20") + "\r\n";
    return text;
}

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = char(generator());
    return bytes;
}

struct FailurePoint {
    int index = 0;
    Operation operation{};
    FileResult result;
};

// Runs work with the k-th file operation failing, for k = 1, 2, ... until a run in
// which fewer than k operations happened; that last run must succeed. check is
// called after every failing run. Returns the operations that were made to fail.
std::vector<Operation> walkFailurePoints(const std::function<void()>& prepare,
                                         const std::function<FileResult()>& work,
                                         const std::function<void(const FailurePoint&)>& check)
{
    std::vector<Operation> failed;
    for (int k = 1; k < 1000; ++k) {
        prepare();
        int count = 0;
        FailurePoint point;
        point.index = k;
        fileio::setFaultHook([&](Operation operation) {
            if (++count != k)
                return false;
            point.operation = operation;
            return true;
        });
        point.result = work();
        fileio::setFaultHook({});
        if (count < k) {
            EXPECT_TRUE(point.result.ok()) << "the run without a failure failed: " << describe(point.result);
            return failed;
        }
        failed.push_back(point.operation);
        SCOPED_TRACE(std::string("failing operation ") + std::to_string(k) + " (" +
                     operationName(point.operation) + ")");
        EXPECT_FALSE(point.result.ok()) << "a failed " << operationName(point.operation)
                                        << " was reported as success";
        EXPECT_FALSE(point.result.path.empty());
        EXPECT_NE(describe(point.result).find(point.result.path), std::string::npos);
        check(point);
    }
    ADD_FAILURE() << "the work never ran without a failure";
    return failed;
}

bool contains(const std::vector<Operation>& operations, Operation operation)
{
    return std::find(operations.begin(), operations.end(), operation) != operations.end();
}

class FileFaults : public ::testing::Test {
protected:
    void TearDown() override { fileio::setFaultHook({}); }
    TempFolder folder;
};

}  // namespace

TEST_F(FileFaults, DecodingAndEncodingIntoAFileKeepTheEarlierTargetWhole)
{
    // Several read chunks, an odd length (the trailing byte takes the carry).
    const std::string source = randomBytes((std::size_t(3) << 19) + 1, 7);
    for (const auto direction : {ScrambleDirection::Decode, ScrambleDirection::Encode}) {
        SCOPED_TRACE(direction == ScrambleDirection::Decode ? "decode" : "encode");
        const auto sourcePath = folder.write("in.pfd", source);
        const auto target = folder.path() / "view_only.tmp";
        const auto operations = walkFailurePoints(
            [&] { folder.write("view_only.tmp", "the earlier working copy"); },
            [&] { return scrambleFile(direction, sourcePath, target); },
            [&](const FailurePoint&) {
                EXPECT_EQ(folder.read("view_only.tmp"), "the earlier working copy");
                EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"in.pfd", "view_only.tmp"}));
                EXPECT_EQ(folder.read("in.pfd"), source);
            });
        for (const auto operation : {Operation::Status, Operation::OpenRead, Operation::Read,
                                     Operation::CreateTemp, Operation::Write, Operation::Sync,
                                     Operation::Close, Operation::Rename})
            EXPECT_TRUE(contains(operations, operation)) << operationName(operation);
        const std::string done = folder.read("view_only.tmp");
        EXPECT_EQ(done.size(), source.size());
        const std::vector<std::uint8_t> bytes(source.begin(), source.end());
        const auto expected = direction == ScrambleDirection::Decode ? decodeBytes(bytes) : encodeBytes(bytes);
        EXPECT_TRUE(std::equal(done.begin(), done.end(), expected.begin(), expected.end(),
                               [](char a, std::uint8_t b) { return std::uint8_t(a) == b; }));
    }
}

TEST_F(FileFaults, AFailedListingLeavesNoListingThatCouldPassForCurrent)
{
    const std::string source = bigDownload(80'000);  // about 2.6 MB
    const auto sourcePath = folder.write("in.xls", source);
    const auto listing = folder.path() / "display_only.tmp";
    std::uint64_t records = 0;
    const auto operations = walkFailurePoints(
        [&] { folder.write("display_only.tmp", "an earlier listing"); },
        [&] {
            const auto result = listFile(sourcePath, listing, {}, "");
            records = result.summary.records;
            return result.file;
        },
        [&](const FailurePoint&) {
            EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"in.xls"});
            EXPECT_EQ(folder.read("in.xls"), source);
        });
    EXPECT_TRUE(contains(operations, Operation::Read));
    EXPECT_TRUE(contains(operations, Operation::Write));
    EXPECT_TRUE(contains(operations, Operation::Rename));
    EXPECT_EQ(records, 80'000u);
    EXPECT_EQ(folder.read("display_only.tmp").substr(0, 7), "Weld No");
}

// Opening another file fails at any point: the download loaded before stays loaded,
// with its working copy, and no temporary file is left in the work folder.
TEST_F(FileFaults, AFailedOpenKeepsTheLoadedDownload)
{
    const auto scrambledOf = [](const std::string& text) {
        const auto bytes = encodeBytes(std::vector<std::uint8_t>(text.begin(), text.end()));
        return std::string(bytes.begin(), bytes.end());
    };
    const std::string earlier = bigDownload(3);
    const auto earlierPath = folder.write("earlier.pfd", scrambledOf(earlier));
    const auto next = folder.write("next.pfd", scrambledOf(bigDownload(80'000)));
    const auto work = folder.path() / "work";
    std::filesystem::create_directory(work);
    std::optional<LoadedDownload> download;
    walkFailurePoints(
        [&] {
            download.emplace(work);
            ASSERT_TRUE(download->open(earlierPath, {}).ok());
        },
        [&] {
            const auto opened = download->open(next, {});
            return opened ? FileResult{} : opened.fault().file;
        },
        [&](const FailurePoint&) {
            EXPECT_EQ(download->chosenFile(), earlierPath);
            EXPECT_EQ(download->lastListing()->records, 3u);
            EXPECT_EQ(folder.read("work/view_only.tmp"), earlier);
            EXPECT_EQ(namesIn(work), (std::set<std::string>{"display_only.tmp", "view_only.tmp"}));
        });
    EXPECT_EQ(download->lastListing()->records, 80'000u);
}

TEST_F(FileFaults, SettingsFileIsReplacedWholeOrNotAtAll)
{
    const auto file = folder.path() / kDefaultLoadFileName;
    const auto operations = walkFailurePoints(
        [&] { folder.write(kDefaultLoadFileName, "c:\\earlier\r\n"); },
        [&] { return writeDefaultFolder(file, "d:\\welds\\2009"); },
        [&](const FailurePoint&) {
            EXPECT_EQ(folder.read(kDefaultLoadFileName), "c:\\earlier\r\n");
            EXPECT_EQ(folder.entries(), 1u);
        });
    EXPECT_TRUE(contains(operations, Operation::Write));
    EXPECT_TRUE(contains(operations, Operation::Rename));
    EXPECT_EQ(folder.read(kDefaultLoadFileName), "d:\\welds\\2009\r\n");

    // A settings file that cannot be read gives no value (the caller's default), never
    // a value made of what was read before the failure.
    walkFailurePoints([] {},
                      [&] {
                          FileResult result;
                          if (!readDefaultFolder(file)) {
                              result.fault = FileFault::SourceRead;
                              result.path = file.string();
                          }
                          return result;
                      },
                      [](const FailurePoint&) {});
    EXPECT_EQ(folder.read(kDefaultLoadFileName), "d:\\welds\\2009\r\n");
}

TEST_F(FileFaults, PrintCopyIsWrittenWholeOrNotAtAll)
{
    const std::string source = bigDownload(8'000);
    const auto sourcePath = folder.write("in.xls", source);
    const auto copy = folder.path() / "print_only.tmp";
    const auto operations = walkFailurePoints(
        [&] { folder.write("print_only.tmp", "an earlier copy"); },
        [&] { return writePrintCopy(sourcePath, copy, MachineFamily::ORV, {}); },
        [&](const FailurePoint&) {
            EXPECT_EQ(folder.read("print_only.tmp"), "an earlier copy");
            EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"in.xls", "print_only.tmp"}));
            EXPECT_EQ(folder.read("in.xls"), source);
        });
    EXPECT_TRUE(contains(operations, Operation::Read));
    EXPECT_TRUE(contains(operations, Operation::Write));
    EXPECT_TRUE(contains(operations, Operation::Rename));
    EXPECT_EQ(folder.read("print_only.tmp").substr(0, 7), "Weld No");

    // Reading the copy back for printing: a failed read is a CopyRead fault.
    struct NullSurface final : PrintSurface {
        bool setFontName(std::string_view) override { return true; }
        bool setFontSize(int) override { return true; }
        bool setBold(bool) override { return true; }
        bool printLine(std::string_view) override { return true; }
        bool endDocument() override { return true; }
    } surface;
    const auto readOperations = walkFailurePoints(
        [] {},
        [&] {
            const PrintResult printed = printCopyFile(copy, Language::English, false, surface);
            if (printed.ok())
                return FileResult{};
            EXPECT_EQ(printed.fault, PrintFault::CopyRead);
            return printed.file;
        },
        [](const FailurePoint&) {});
    EXPECT_TRUE(contains(readOperations, Operation::Read));
}

TEST_F(FileFaults, ASourceThatChangesWhileItIsReadIsReported)
{
    // Between two reads another program cuts the file short, appends to it, rewrites
    // it in place or puts a new file under its name: the work must not pass what it
    // read off as the whole file.
    const std::string source = bigDownload(80'000);
    const auto sourcePath = folder.path() / "in.xls";
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"shrunk", [&] { std::filesystem::resize_file(sourcePath, 1000); }},
        {"grown", [&] { std::ofstream(sourcePath, std::ios::app) << "1\tS-1\t14/03/2009\r\n"; }},
        {"rewritten", [&] {
             std::fstream(sourcePath, std::ios::in | std::ios::out | std::ios::binary) << "Log";
             std::filesystem::last_write_time(sourcePath, std::filesystem::last_write_time(sourcePath) +
                                                              std::chrono::seconds(2));
         }},
#ifndef _WIN32  // Windows refuses to replace a file that is open
        {"replaced", [&] {
             folder.write("new.xls", source);
             std::filesystem::rename(folder.path() / "new.xls", sourcePath);
         }},
#endif
    };
    const std::vector<std::pair<const char*, std::function<FileResult()>>> works = {
        {"listing", [&] { return listFile(sourcePath, folder.path() / "display_only.tmp", {}, "").file; }},
        {"decode", [&] { return scrambleFile(ScrambleDirection::Decode, sourcePath, folder.path() / "view_only.tmp"); }},
        {"print copy", [&] { return writePrintCopy(sourcePath, folder.path() / "print_only.tmp", MachineFamily::ORV, {}); }},
    };
    for (const auto& [change, makeChange] : changes) {
        for (const auto& [work, run] : works) {
            SCOPED_TRACE(std::string(change) + ", " + work);
            folder.write("in.xls", source);
            int reads = 0;
            fileio::setFaultHook([&](Operation operation) {
                if (operation == Operation::Read && ++reads == 2)
                    makeChange();
                return false;
            });
            const FileResult result = run();
            fileio::setFaultHook({});
            EXPECT_EQ(result.fault, FileFault::SourceChanged) << describe(result);
            EXPECT_NE(describe(result).find("the file changed while it was read"), std::string::npos);
            EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"in.xls"});
        }
    }
}

TEST_F(FileFaults, AFileThatAppearsAtTheTargetMeanwhileIsKept)
{
    // Another program creates the target after the writer has checked the name and
    // before it puts its file in place: that file is kept and the writer reports the
    // name as taken.
    const auto sourcePath = folder.write("in.xls", bigDownload(100));
    const auto target = folder.path() / "out.pfd";
    const auto workFile = folder.path() / "temp_only.tmp";
    const std::vector<std::pair<const char*, std::function<FileResult()>>> works = {
        {"decode", [&] { return scrambleFile(ScrambleDirection::Decode, sourcePath, target, false); }},
        {"encode", [&] { return scrambleFile(ScrambleDirection::Encode, sourcePath, target, false); }},
        {"save plain", [&] { return saveCopy(sourcePath, target, SaveForm::Plain, workFile).file; }},
        {"save scrambled", [&] { return saveCopy(sourcePath, target, SaveForm::Scrambled, workFile).file; }},
    };
    for (const auto& [work, run] : works) {
        SCOPED_TRACE(work);
        fileio::setFaultHook([&](Operation operation) {
            if (operation == Operation::Rename && !folder.exists("out.pfd"))
                folder.write("out.pfd", "written meanwhile");
            return false;
        });
        const FileResult result = run();
        fileio::setFaultHook({});
        EXPECT_EQ(result.fault, FileFault::TargetExists) << describe(result);
        EXPECT_EQ(folder.read("out.pfd"), "written meanwhile");
        std::filesystem::remove(target);
        std::filesystem::remove(workFile);
        EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"in.xls"});
    }
}

#ifndef _WIN32  // FIFOs, modes and symbolic links
TEST_F(FileFaults, ASourceSwappedForAFifoIsRefusedWithoutWaiting)
{
    // The name leads to a FIFO by the time it is opened: refused at once, never read
    // (a read would wait for a writer that never comes).
    const auto sourcePath = folder.write("in.xls", bigDownload(3));
    fileio::setFaultHook([&](Operation operation) {
        if (operation == Operation::OpenRead) {
            std::filesystem::remove(sourcePath);
            ::mkfifo(sourcePath.c_str(), 0600);
        }
        return false;
    });
    const auto result = listFile(sourcePath, folder.path() / "display_only.tmp", {}, "");
    fileio::setFaultHook({});
    EXPECT_EQ(result.file.fault, FileFault::SourceNotRegular) << describe(result.file);
}

TEST_F(FileFaults, AReplacedFileKeepsItsPermissions)
{
    const auto sourcePath = folder.write("in.xls", bigDownload(3));
    const auto target = folder.write("out.pfd", "old");
    ::chmod(target.c_str(), 0600);
    ASSERT_TRUE(scrambleFile(ScrambleDirection::Encode, sourcePath, target, true).ok());
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_NE(folder.read("out.pfd"), "old");
}

TEST_F(FileFaults, TargetsThatAreNoRegularFilesAreNeverReplacedOrRemoved)
{
    const auto source = folder.write("in.xls", bigDownload(3));
    const auto fifo = folder.path() / "fifo.xls";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto link = folder.path() / "link.xls";
    std::filesystem::create_symlink(fifo, link);
    const auto dir = folder.path() / "display_only.tmp";
    std::filesystem::create_directory(dir);

    for (const auto& target : {fifo, link, dir}) {
        SCOPED_TRACE(target.filename().string());
        const auto decoded = scrambleFile(ScrambleDirection::Decode, source, target);
        EXPECT_EQ(decoded.fault, FileFault::TargetNotRegular) << describe(decoded);
        EXPECT_FALSE(listFile(source, target, {}, "").file.ok());
        EXPECT_FALSE(writeDefaultFolder(target, "c:\\").ok());
        EXPECT_FALSE(writePrintCopy(source, target, MachineFamily::ORV, {}).ok());
    }
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(fifo)));
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(link)));
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    EXPECT_EQ(folder.entries(), 4u);  // nothing added beside them
}
#endif

TEST_F(FileFaults, ATargetWithTheLongestNameTheSystemAllowsIsWritten)
{
    // The temporary file beside the target must not need a longer name than the target.
    const auto source = folder.write("in.xls", bigDownload(3));
    const std::string name = std::string(251, 'n') + ".pfd";
    const auto written = scrambleFile(ScrambleDirection::Encode, source, folder.path() / name);
    EXPECT_TRUE(written.ok()) << describe(written);
    EXPECT_TRUE(writeDefaultFolder(folder.path() / name, "c:\\").ok());
    EXPECT_EQ(folder.entries(), 2u);
}
