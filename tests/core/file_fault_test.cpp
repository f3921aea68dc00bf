// Every file operation of the engine's file work, made to fail one at a time: each
// failure must be reported as a fault naming the file, leave no half-written target
// and no temporary file behind, and leave the source as it was.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <set>

#include "core/files/file_io.h"
#include "core/listing/listing.h"
#include "core/document/loaded_download.h"
#include "core/document/save_copy.h"
#include "core/text/scrambling.h"
#include "core/settings/settings_file.h"
#include "temp_folder.h"

#include <sys/stat.h>

using namespace kestrava;
using fileio::Operation;

namespace {

// Lists a download to nowhere, as the protocols and the archive read one.
ListingFileResult listFile(const std::filesystem::path& source)
{
    ListingRun run({}, "", [](std::string_view) { return true; });
    return listDownload(source, false, run);
}

const char* operationName(Operation operation)
{
    return std::array{"status", "open",   "read",   "create", "write",
                      "close",  "rename", "remove", "sync"}[int(operation)];
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

// Runs work with the k-th file operation failing, for k = 1, 2, ... until a run in
// which fewer than k operations happened; that last run must succeed. check is
// called after every failing run. Returns the operations that were made to fail.
std::set<Operation> walkFailurePoints(const std::function<void()>& prepare,
                                      const std::function<FileResult()>& work,
                                      const std::function<void()>& check)
{
    std::set<Operation> failed;
    for (int k = 1; k < 1000; ++k) {
        prepare();
        int count = 0;
        Operation failing{};
        fileio::setFaultHook(
            [&](Operation operation) { return ++count == k && (failing = operation, true); });
        const FileResult result = work();
        fileio::setFaultHook({});
        if (count < k) {
            EXPECT_TRUE(result.ok()) << "the run without a failure failed: " << describe(result);
            return failed;
        }
        failed.insert(failing);
        SCOPED_TRACE(std::string("failing operation ") + std::to_string(k) + " (" +
                     operationName(failing) + ")");
        EXPECT_FALSE(result.ok()) << "a failed " << operationName(failing)
                                  << " was reported as success";
        EXPECT_FALSE(result.path.empty());
        EXPECT_NE(describe(result).find(result.path), std::string::npos);
        check();
    }
    ADD_FAILURE() << "the work never ran without a failure";
    return failed;
}

class FileFaults : public ::testing::Test {
protected:
    void TearDown() override { fileio::setFaultHook({}); }
    TempFolder folder;
};

}  // namespace

// Each file work of the engine with every one of its file operations failing in turn.
TEST_F(FileFaults, EveryFailingOperationIsReportedAndLeavesTheEarlierStateWhole)
{
    const auto names = [&](std::set<std::string> expected) { EXPECT_EQ(folder.names(), expected); };
    // Several read chunks, an odd length (the trailing byte takes the carry).
    std::string random((std::size_t(3) << 19) + 1, '\0');
    std::mt19937 generator(7);
    for (char& byte : random)
        byte = char(generator());
    const std::string records = bigDownload(80'000);  // about 2.6 MB
    const std::filesystem::path in = folder.path() / "in.xls", target = folder.path() / "out.tmp";
    const std::filesystem::path work = folder.path() / "work",
                                settings = folder.path() / kDefaultLoadFileName;
    const std::string printSource = bigDownload(8'000);
    std::optional<LoadedDownload> download;
    std::uint64_t listed = 0;
    RecordingSurface surface;
    // The source and an earlier target.
    const auto given = [&](const std::string& sourceText, const char* earlierText) {
        return [&, sourceText, earlierText] {
            folder.write("in.xls", sourceText);
            folder.write("out.tmp", earlierText);
        };
    };
    // The earlier target and the source as they were, nothing else in the folder.
    const auto kept = [&](const char* earlierText, const std::string& sourceText) {
        return [&, earlierText] {
            EXPECT_EQ(folder.read("out.tmp"), earlierText);
            names({"in.xls", "out.tmp"});
            EXPECT_EQ(folder.read("in.xls"), sourceText);
        };
    };
    using O = Operation;
    struct Walk {
        const char* what;
        std::function<void()> prepare;
        std::function<FileResult()> work;
        std::function<void()> checkFailed;  // after every failed run
        std::vector<Operation> mustFail;  // operations the work must have done
        std::function<void()> checkDone;  // after the run without a failure
    };
    const std::vector<Walk> walks = {
        {"decode",
         given(random, "the earlier copy"),
         [&] { return scrambleFile(ScrambleDirection::Decode, in, target); },
         kept("the earlier copy", random),
         {O::Status, O::OpenRead, O::Read, O::CreateTemp, O::Write, O::Sync, O::Close, O::Rename},
         [&] { EXPECT_EQ(sample::scrambled(folder.read("out.tmp")), random); }},
        {"listing",
         [&] { folder.write("in.xls", records); },
         [&] {
             const auto result = listFile(in);
             listed = result.summary.records;
             return result.file;
         },
         [&] {
             names({"in.xls"});
             EXPECT_EQ(folder.read("in.xls"), records);
         },
         {O::Read},
         [&] { EXPECT_EQ(listed, 80'000u); }},
        // Opening another file: the download loaded before stays loaded, with its
        // working copy, and no temporary file is left in the work folder.
        {"open",
         [&] {
             folder.write("earlier.pfd", sample::scrambled(bigDownload(3)));
             folder.write("next.pfd", sample::scrambled(records));
             std::filesystem::create_directories(work);
             download.emplace(work);
             ASSERT_TRUE(download->open(folder.path() / "earlier.pfd", {}).ok());
         },
         [&] {
             const auto opened = download->open(folder.path() / "next.pfd", {});
             return opened ? FileResult{} : opened.fault().file;
         },
         [&] {
             EXPECT_EQ(download->chosenFile(), folder.path() / "earlier.pfd");
             EXPECT_EQ(download->lastListing()->records, 3u);
             EXPECT_EQ(folder.read("work/view_only.tmp"), bigDownload(3));
             EXPECT_EQ(folder.names("work"),
                       (std::set<std::string>{"display_only.tmp", "view_only.tmp"}));
         },
         {O::Read, O::Write, O::Rename},
         [&] { EXPECT_EQ(download->lastListing()->records, 80'000u); }},
        {"settings",
         [&] { folder.write(kDefaultLoadFileName, "c:\\earlier\r\n"); },
         [&] { return writeDefaultFolder(settings, "d:\\welds\\2009"); },
         [&] {
             EXPECT_EQ(folder.read(kDefaultLoadFileName), "c:\\earlier\r\n");
             EXPECT_EQ(folder.entries(), 1u);
         },
         {O::Write, O::Rename},
         [&] { EXPECT_EQ(folder.read(kDefaultLoadFileName), "d:\\welds\\2009\r\n"); }},
        // A settings file that cannot be read gives no value (the caller's default),
        // never a value made of what was read before the failure.
        {"settings read",
         [&] { folder.write(kDefaultLoadFileName, "d:\\welds\r\n"); },
         [&] {
             const bool read = readDefaultFolder(settings).has_value();
             return read ? FileResult{}
                         : FileResult{FileFault::SourceRead, settings.string(), {}, {}, 0};
         },
         [] {},
         {O::Read},
         [] {}},
        {"print copy",
         given(printSource, "an earlier copy"),
         [&] { return writePrintCopy(in, target, MachineFamily::ORV, {}); },
         kept("an earlier copy", printSource),
         {O::Read, O::Write, O::Rename},
         [&] { EXPECT_EQ(folder.read("out.tmp").substr(0, 7), "Weld No"); }},
        {"printing the copy",
         [&] { folder.write("out.tmp", "1\r\n2\r\n"); },
         [&] {
             const PrintResult printed = printCopyFile(target, Language::English, false, surface);
             EXPECT_TRUE(printed.ok() || printed.fault == PrintFault::CopyRead);
             return printed.file;
         },
         [] {},
         {O::Read},
         [] {}},
    };
    for (const Walk& walk : walks) {
        SCOPED_TRACE(walk.what);
        const auto failed = walkFailurePoints(walk.prepare, walk.work, walk.checkFailed);
        for (const Operation operation : walk.mustFail)
            EXPECT_TRUE(failed.count(operation)) << operationName(operation);
        walk.checkDone();
        std::filesystem::remove_all(work);
        for (const char* name :
             {"in.xls", "out.tmp", "earlier.pfd", "next.pfd", kDefaultLoadFileName})
            std::filesystem::remove(folder.path() / name);
    }

    // A save either succeeds with the right bytes or leaves nothing in the target's
    // folder (no target, no temporary); the source never changes.
    std::filesystem::create_directories(work);
    const auto plain = folder.write("work/view_only.tmp", random);
    for (const SaveForm form : {SaveForm::Plain, SaveForm::Scrambled}) {
        SCOPED_TRACE(form == SaveForm::Plain ? "save plain" : "save scrambled");
        const auto out = folder.path() / "out";
        walkFailurePoints(
            [&] {
                std::filesystem::remove_all(out);
                std::filesystem::create_directory(out);
            },
            [&] { return saveCopy(plain, out / "saved.pfd", form, work / "temp_only.tmp").file; },
            [&] {
                EXPECT_TRUE(std::filesystem::is_empty(out));
                EXPECT_EQ(folder.read("work/view_only.tmp"), random);
            });
        EXPECT_EQ(folder.read("out/saved.pfd"),
                  form == SaveForm::Plain ? random : sample::scrambled(random));
    }
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
        {"rewritten",
         [&] {
             std::fstream(sourcePath, std::ios::in | std::ios::out | std::ios::binary) << "Log";
             std::filesystem::last_write_time(sourcePath,
                                              std::filesystem::last_write_time(sourcePath) +
                                                  std::chrono::seconds(2));
         }},
#ifndef _WIN32  // Windows refuses to replace a file that is open
        {"replaced",
         [&] {
             folder.write("new.xls", source);
             std::filesystem::rename(folder.path() / "new.xls", sourcePath);
         }},
#endif
    };
    const std::vector<std::pair<const char*, std::function<FileResult()>>> works = {
        {"listing", [&] { return listFile(sourcePath).file; }},
        {"decode",
         [&] {
             return scrambleFile(ScrambleDirection::Decode, sourcePath,
                                 folder.path() / "view_only.tmp");
         }},
        {"print copy",
         [&] {
             return writePrintCopy(sourcePath, folder.path() / "print_only.tmp", MachineFamily::ORV,
                                   {});
         }},
        {"open to a sink",
         [&] {
             LoadedDownload download([](std::string_view) { return true; });
             const auto opened = download.open(sourcePath, {});
             return opened ? FileResult{} : opened.fault().file;
         }},
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
            EXPECT_NE(describe(result).find("the file changed while it was read"),
                      std::string::npos);
            EXPECT_EQ(folder.names(), std::set<std::string>{"in.xls"});
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
        {"decode",
         [&] { return scrambleFile(ScrambleDirection::Decode, sourcePath, target, false); }},
        {"save plain",
         [&] { return saveCopy(sourcePath, target, SaveForm::Plain, workFile).file; }},
        {"save scrambled",
         [&] { return saveCopy(sourcePath, target, SaveForm::Scrambled, workFile).file; }},
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
        EXPECT_EQ(folder.names(), std::set<std::string>{"in.xls"});
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
    const auto result = listFile(sourcePath);
    fileio::setFaultHook({});
    EXPECT_EQ(result.file.fault, FileFault::SourceNotRegular) << describe(result.file);
}

TEST_F(FileFaults, AReplacedFileKeepsItsPermissions)
{
    const auto sourcePath = folder.write("in.xls", bigDownload(3));
    const auto target = folder.write("out.pfd", "old");
    ::chmod(target.c_str(), 0600);
    ASSERT_TRUE(scrambleFile(ScrambleDirection::Encode, sourcePath, target, true).ok());
    struct stat status { };
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_NE(folder.read("out.pfd"), "old");
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
