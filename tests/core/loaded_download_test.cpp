#include "core/document/loaded_download.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/document/save_copy.h"
#include "temp_folder.h"

using namespace kestrava;
namespace fs = std::filesystem;

const fs::path examples = KESTRAVA_EXAMPLES_DIR;

// Both kinds list as the listing run lists their plain text, the scrambled one from its
// decoded working copy; print copy and printout follow the last listing's filter.
TEST(LoadedDownload, OpensListsAndPrintsBothKinds)
{
    for (const char* name : {"orv_sample.xls", "orv_sample.pfd", "5tz_sample.pfd"}) {
        SCOPED_TRACE(name);
        TempFolder work;
        LoadedDownload download(work.path());
        const auto opened = download.open(examples / name, {});
        ASSERT_TRUE(opened.ok());
        const std::string plain = fileText(download.loadedFilePath());
        std::string expected;
        listText(plain, {}, "", expected);
        EXPECT_EQ(fileText(download.workFiles().listing()), expected);
        EXPECT_EQ(plain, fileText(fs::path(examples / name).replace_extension(".xls")));
        EXPECT_NE(download.machineFamily(), MachineFamily::Unknown);
        const auto relisted = download.relist({.errorOn = true});
        ASSERT_TRUE(relisted.ok());
        EXPECT_LT(relisted.value().records, opened.value().records);
        EXPECT_TRUE(download.listingFiltered());
        ASSERT_TRUE(download.writePrintCopy().ok());
        RecordingSurface surface;
        ASSERT_TRUE(download.print(Language::English, surface).ok());
        const auto lines = surface.lines();
        EXPECT_EQ(lines[2], printNoteText(Language::English, true));
        EXPECT_EQ(std::count(lines.begin(), lines.end(), printRuleRow()),
                  1 + relisted.value().records)
            << "a rule under the header and under every listed record";
    }
}

// A command that fails or is cancelled leaves the loaded download as it was, down to
// its work files; a refused name does not become the loaded file.
TEST(LoadedDownload, AFailedCommandChangesNothing)
{
    TempFolder work;
    const Progress stop = [](std::uint64_t, std::uint64_t) { return false; };
    const auto faultOf = [](const auto& outcome) {
        return outcome.ok() ? DownloadFault{} : outcome.fault();
    };
    const fs::path taken = work.write("taken.pfd", "own file");
    struct Case {
        const char* what;
        std::function<DownloadFault(LoadedDownload&)> command;
        DownloadStep step;
        FileFault fault;
    };
    const std::vector<Case> cases = {
        {"refused name",
         [&](LoadedDownload& d) { return faultOf(d.open(examples / "5tz_sample.pfd.XLS", {})); },
         DownloadStep::Name, FileFault::None},
        {"cancelled open",
         [&](LoadedDownload& d) { return faultOf(d.open(examples / "5tz_sample.pfd", {}, stop)); },
         DownloadStep::Reading, FileFault::Cancelled},
        {"cancelled relist",
         [&](LoadedDownload& d) {
             return faultOf(d.relist({.errorOn = true, .errorNumber = 5}, stop));
         },
         DownloadStep::Reading, FileFault::Cancelled},
        {"cancelled save",
         [&](LoadedDownload& d) { return faultOf(d.save(work.path() / "new.xls", stop)); },
         DownloadStep::SaveTarget, FileFault::Cancelled},
        {"cancelled scrambled save",
         [&](LoadedDownload& d) { return faultOf(d.save(work.path() / "new.pfd", stop)); },
         DownloadStep::SaveWorkFile, FileFault::Cancelled},
        {"save over a file", [&](LoadedDownload& d) { return faultOf(d.save(taken)); },
         DownloadStep::SaveTarget, FileFault::TargetExists},
        {"cancelled print copy", [&](LoadedDownload& d) { return faultOf(d.writePrintCopy(stop)); },
         DownloadStep::PrintCopy, FileFault::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedDownload download(work.path());
        ASSERT_TRUE(download.open(examples / "orv_sample.pfd", {}).ok());
        const std::string listing = fileText(download.workFiles().listing());
        const std::string copy = fileText(download.workFiles().workingCopy());
        const auto records = download.lastListing()->records;
        const DownloadFault fault = c.command(download);
        EXPECT_EQ(fault.step, c.step);
        EXPECT_EQ(fault.file.fault, c.fault);
        EXPECT_EQ(download.chosenFile(), examples / "orv_sample.pfd");
        EXPECT_EQ(download.lastListing()->records, records);
        EXPECT_FALSE(download.listingFiltered());
        EXPECT_EQ(fileText(download.workFiles().listing()), listing);
        EXPECT_EQ(fileText(download.workFiles().workingCopy()), copy);
        EXPECT_FALSE(fs::exists(work.path() / "new.xls") || fs::exists(work.path() / "new.pfd"));
        EXPECT_EQ(fileText(taken), "own file");
        EXPECT_FALSE(fs::exists(download.workFiles().printCopy()));
    }

    // Nothing loaded, or no work files to save or print from.
    RecordingSurface surface;
    LoadedDownload none(work.path());
    for (const DownloadFault& fault :
         {faultOf(none.relist({})), faultOf(none.save(work.path() / "x.pfd")),
          faultOf(none.writePrintCopy()), faultOf(none.print(Language::English, surface)),
          faultOf(none.printSelection(Language::English, surface))})
        EXPECT_EQ(fault.step, DownloadStep::NothingLoaded);
    LoadedDownload sink(ListingRun::Write{});
    ASSERT_TRUE(sink.open(examples / "orv_sample.pfd", {}).ok());
    EXPECT_EQ(faultOf(sink.save(work.path() / "x.pfd")).step, DownloadStep::NoWorkFiles);
    EXPECT_EQ(faultOf(sink.writePrintCopy()).step, DownloadStep::NoWorkFiles);
    EXPECT_TRUE(surface.ops.empty());
}

// A file the listing hands over (no date in the first record) is loaded all the same:
// it is saved and printed as the window does.
TEST(LoadedDownload, AHandedOverFileIsTheLoadedFile)
{
    TempFolder work;
    const fs::path source = work.write("sheet.xls", "Name\tValue\r\nlength\t12\r\nwidth\t3\r\n");
    LoadedDownload download(work.path());
    const auto opened = download.open(source, {});
    ASSERT_TRUE(opened.ok());
    EXPECT_EQ(opened.value().outcome, ListingOutcome::NoFamily);
    EXPECT_EQ(download.loadedFilePath(), source);
    ASSERT_TRUE(download.save(work.path() / "copy.pfd").ok());
    EXPECT_EQ(download.save(work.path() / "copy.pfd").fault().file.fault, FileFault::TargetExists);
    ASSERT_TRUE(download.open(work.path() / "copy.pfd", {}).ok());
    EXPECT_EQ(fileText(download.loadedFilePath()), fileText(source));
    ASSERT_TRUE(download.writePrintCopy().ok());
    EXPECT_EQ(fileText(download.workFiles().printCopy()).size(), 3 * 2 * 25 + 3 * 2);
}

// A file named like the work file stays the loaded file: saving it scrambled must not
// overwrite it with its own scrambled form.
TEST(SaveCopy, AScrambledSaveOfTheWorkFileItselfKeepsIt)
{
    TempFolder work;
    const fs::path workFile = work.write("temp_only.tmp", "1\t2\t3\r\n4");
    ASSERT_TRUE(saveCopy(workFile, work.path() / "w.pfd", SaveForm::Scrambled, workFile).ok());
    EXPECT_EQ(fileText(workFile), "1\t2\t3\r\n4");
    EXPECT_EQ(fileText(work.path() / "w.pfd"), sample::scrambled("1\t2\t3\r\n4"));
}
