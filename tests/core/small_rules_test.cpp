#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "core/settings/build_profile.h"
#include "core/text/download_file.h"
#include "core/files/file_io.h"
#include "core/files/path_text.h"
#include "core/settings/recent_files.h"
#include "core/settings/settings_file.h"
#include "core/files/system_error_text.h"
#include "temp_folder.h"

using namespace kestrava;

TEST(DownloadFile, KindByTheLastThreeCharactersExactly)
{
    EXPECT_EQ(downloadKindOf("C:\\data\\weld.xls"), DownloadKind::Standard);
    EXPECT_EQ(downloadKindOf("/home/u/weld.pfd"), DownloadKind::Encrypted);
    EXPECT_EQ(downloadKindOf("weldxls"), DownloadKind::Standard);
    for (const char* path : {"weld.XLS", "weld.PFD", "weld.xlsx", "weld.txt", "ls", ""})
        EXPECT_EQ(downloadKindOf(path), DownloadKind::Refused) << path;
    EXPECT_TRUE(isStandardDataName("copy.xls") && !isStandardDataName("copy.XLS") &&
                !isStandardDataName("copy"));
    for (const auto& [path, title] : {std::pair{"C:\\data\\weld 12.pfd", "weld 12"},
                                      {"/home/u/a.b/site.xls", "site"},
                                      {"plain.xls", "plain"},
                                      {"/x/.xls", ""}})
        EXPECT_EQ(fileTitleOf(path), title);
}

TEST(DownloadFile, SaveNamesAreOnesTheOpenCommandReads)
{
    const std::tuple<const char*, bool, std::optional<std::string>> cases[] = {
        {"/d/weld", false, "/d/weld.pfd"},
        {"/d/weld", true, "/d/weld.xls"},
        {"C:\\d\\weld", true, "C:\\d\\weld.xls"},
        {"/d/weld.pfd", true, "/d/weld.pfd"},
        {"/d/weld.xls", false, "/d/weld.xls"},
        {"/d/weldxls", false, "/d/weldxls"},
        {"/d.x/.weld", false, "/d.x/.weld.pfd"},
        {"/d/weld.XLS", true, std::nullopt},
        {"/d/weld.xlsx", false, std::nullopt},
        {"/d/weld.txt", true, std::nullopt},
        {"/d/", false, std::nullopt}};
    for (const auto& [chosen, standard, expected] : cases)
        EXPECT_EQ(saveTargetName(chosen, standard), expected) << chosen;
}

TEST(SystemErrorText, CommonCausesInTheBuildLanguage)
{
    const std::tuple<std::errc, const char*, const char*> cases[] = {
        {std::errc::permission_denied, "access denied", "brak dostepu"},
        {std::errc::operation_not_permitted, "access denied", "brak dostepu"},
        {std::errc::no_space_on_device, "disk full", "dysk jest pelny"}};
    for (const auto& [code, english, polish] : cases) {
        const auto error = std::make_error_code(code);
        EXPECT_EQ(systemErrorText(error, Language::English), english);
        EXPECT_EQ(systemErrorText(error, Language::Polish), polish);
    }
    const auto io = std::make_error_code(std::errc::io_error);
    EXPECT_EQ(systemErrorText(io, Language::Polish), "blad systemu: " + io.message());
    EXPECT_EQ(systemErrorText({}, Language::Polish), "");

    // The file layer keeps the system's error with the fault.
    fileio::Reader reader;
    EXPECT_EQ(faultReasonText(reader.open("/no-such-folder/weld.xls"), Language::Polish),
              "nie ma takiego pliku");

    FileResult missing;
    missing.fault = FileFault::SourceNotRegular;
    missing.detail = "not a regular file";
    EXPECT_EQ(faultReasonText(missing, Language::Polish),
              "to nie jest plik (folder lub urzadzenie)");
    missing.fault = FileFault::SourceRead;
    EXPECT_EQ(faultReasonText(missing, Language::Polish), "");
    TempFolder folder;
    fileio::AtomicWriter writer;
    EXPECT_EQ(faultReasonText(writer.open(folder.path() / "gone" / "a.pfd"), Language::Polish),
              "nie ma takiego folderu");
#ifdef __linux__
    // A folder that is there but refuses new files ("no such file" from the system).
    const FileResult refused = fileio::AtomicWriter().open("/proc/ro.xls");
    EXPECT_EQ(faultReasonText(refused, Language::Polish),
              "w tym folderze nie mozna tworzyc plikow");
    EXPECT_EQ(faultReasonText(refused, Language::English), "the folder takes no new files");
#endif
}

TEST(RecentFiles, MostRecentFirstWithoutRepeatsAndAtMostEight)
{
    RecentFiles list = recentFilesFromText("  /a.pfd\r\n\r\n\"/b, c.xls\"\n/a.pfd\r\n");
    EXPECT_EQ(list, (RecentFiles{"/a.pfd", "/b, c.xls"}));
    list = withRecentFile(list, "/b, c.xls");
    EXPECT_EQ(list, (RecentFiles{"/b, c.xls", "/a.pfd"}));
    for (int i = 0; i < 9; ++i)
        list = withRecentFile(list, "/" + std::to_string(i) + ".xls");
    EXPECT_EQ(list.size(), kRecentFilesKept);
    EXPECT_EQ(list.front(), "/8.xls");
    EXPECT_EQ(list.back(), "/1.xls");
    list = withoutRecentFile(list, "/5.xls");
    EXPECT_EQ(list.size(), kRecentFilesKept - 1);
}

// Only names of regular files, in the file-name encoding, of a sane length, from a
// settings file that is itself a small regular file named as it is.
TEST(RecentFiles, ReadWithLimits)
{
    TempFolder folder;
    const std::string a = utf8Text(folder.write("a.pfd", "x")),
                      b = utf8Text(folder.write(" lead.pfd", "x"));
    std::filesystem::create_directory(folder.path() / "dir.xls");
    const std::string dir = utf8Text(folder.path() / "dir.xls"),
                      gone = utf8Text(folder.path() / "gone.xls");
    const auto file = folder.path() / kRecentFilesName;

    EXPECT_TRUE(readRecentFiles(file).empty());
    ASSERT_TRUE(writeRecentFiles(file, {b, a}));
    EXPECT_EQ(readRecentFiles(file), (RecentFiles{b, a}));  // a leading blank written quoted
    EXPECT_EQ(fileText(file), b + "\r\n" + a + "\r\n");  // names that need no quotes get none

    std::string many;  // twenty files that are there
    for (int i = 0; i < 20; ++i)
        many += utf8Text(folder.write("a.pfd" + std::to_string(i), "x")) + "\r\n";
    const struct {
        std::string contents;
        RecentFiles kept;
    } cases[] = {
        {gone + "\r\n" + dir + "\r\n" + a + "\r\n", {a}},  // no regular file: dropped
        {a + "\x1b[31m\r\n" + a + "\x01\r\n" + b + "\r\n", {b}},  // control characters
        {"/\xff\xfe.pfd\r\n" + a + "\r\n", {a}},  // not UTF-8
        {"/" + std::string(5000, 'x') + "\r\n" + a + "\r\n", {a}},  // a line too long
        {many, {}},  // eight at most, checked
        {std::string(40000, '\0') + "\n" + a + "\r\n", {a}},  // binary junk
        {a + "\r\n" + std::string(70 * 1024, 'x'), {}},  // larger than 64 KiB
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(std::filesystem::remove(file));
        folder.write(kRecentFilesName, c.contents);
        const RecentFiles read = readRecentFiles(file);
        if (&c == &cases[4]) {
            EXPECT_EQ(read.size(), kRecentFilesKept);
            EXPECT_EQ(read.back(), a + "7");
        } else {
            EXPECT_EQ(read, c.kept) << c.contents.substr(0, 60);
        }
    }

#ifndef _WIN32
    // A link is not followed, to a list or to any other file.
    ASSERT_TRUE(std::filesystem::remove(file));
    folder.write("other.txt", a + "\r\n");
    std::filesystem::create_symlink(folder.path() / "other.txt", file);
    EXPECT_TRUE(readRecentFiles(file).empty());
    std::filesystem::create_symlink(folder.path() / "other.txt",
                                    folder.path() / kDefaultLoadFileName);
    EXPECT_FALSE(readDefaultFolder(folder.path() / kDefaultLoadFileName));
#endif
}

TEST(SettingsFile, ReadsTheWholeFirstLine)
{
    EXPECT_EQ(defaultFolderFromText("C:\\Data\\Welds\r\n"), "C:\\Data\\Welds");
    EXPECT_EQ(defaultFolderFromText("   /home/u/a, b\r\nsecond\r\n"), "/home/u/a, b");
    EXPECT_EQ(defaultFolderFromText("\"C:\\Quoted, dir\" tail\r\n"), "C:\\Quoted, dir");
    EXPECT_EQ(defaultFolderFromText("\"unclosed\r\nnext"), "unclosed");
    EXPECT_EQ(defaultFolderFromText(""), "");
    EXPECT_EQ(defaultFolderFromText("\r\n"), "");

    TempFolder folder;
    const auto file = folder.path() / kDefaultLoadFileName;
    EXPECT_FALSE(readDefaultFolder(file));
    ASSERT_TRUE(writeDefaultFolder(file, "/srv/welds, 2009").ok());
    EXPECT_EQ(folder.read(kDefaultLoadFileName), "/srv/welds, 2009\r\n");
    EXPECT_EQ(readDefaultFolder(file), "/srv/welds, 2009");
    folder.write("empty.txt", "");
    EXPECT_EQ(readDefaultFolder(folder.path() / "empty.txt"), "");
    EXPECT_FALSE(readDefaultFolder(folder.path()));
    folder.write("large.txt", "/srv\r\n" + std::string(kSettingsFileLargest, ' '));
    EXPECT_FALSE(readDefaultFolder(folder.path() / "large.txt"));
}

TEST(BuildProfile, LanguageNamesAreExactAndCaseSensitive)
{
    for (const auto& [name, language] : {std::pair{"English", Language::English},
                                         {"Polish", Language::Polish},
                                         {"polish", Language::Other},
                                         {"", Language::Other}})
        EXPECT_EQ(languageFromName(name), language) << name;
}
