#include <gtest/gtest.h>

#include "core/download_file.h"
#include "core/machine_family.h"
#include "core/settings_file.h"
#include "temp_folder.h"

using namespace kestrava;

TEST(DownloadFile, KindByTheLastThreeCharactersExactly)
{
    EXPECT_EQ(downloadKindOf("C:\\data\\weld.xls"), DownloadKind::Standard);
    EXPECT_EQ(downloadKindOf("/home/u/weld.pfd"), DownloadKind::Encrypted);
    EXPECT_EQ(downloadKindOf("weldxls"), DownloadKind::Standard);
    for (const char* path : {"weld.XLS", "weld.PFD", "weld.xlsx", "weld.txt", "ls", ""})
        EXPECT_EQ(downloadKindOf(path), DownloadKind::Refused) << path;
    EXPECT_TRUE(isStandardDataName("copy.xls"));
    EXPECT_FALSE(isStandardDataName("copy.XLS"));
    EXPECT_FALSE(isStandardDataName("copy"));
    EXPECT_EQ(fileTitleOf("C:\\data\\weld 12.pfd"), "weld 12");
    EXPECT_EQ(fileTitleOf("/home/u/a.b/site.xls"), "site");
    EXPECT_EQ(fileTitleOf("plain.xls"), "plain");
    EXPECT_EQ(fileTitleOf("/x/.xls"), "");
}

TEST(MachineFamilyTables, RowsMatchExactTextOnly)
{
    EXPECT_EQ(errorCodeRow(MachineFamily::T5Z, "5"), 1);
    EXPECT_EQ(errorCodeRow(MachineFamily::T5Z, "17"), 8);
    EXPECT_EQ(errorCodeRow(MachineFamily::ORV, "27"), 8);
    EXPECT_EQ(errorCodeRow(MachineFamily::ORV, "127"), 9);
    EXPECT_EQ(errorCodeRow(MachineFamily::T5Z, "127"), 9);
    EXPECT_FALSE(errorCodeRow(MachineFamily::T5Z, "05"));
    EXPECT_FALSE(errorCodeRow(MachineFamily::T5Z, " 5 "));
    EXPECT_FALSE(errorCodeRow(MachineFamily::ORV, "5"));
    auto table = freshErrorCodeTable();
    EXPECT_EQ(table[9].label, "E127");
    EXPECT_EQ(table[1].label, "E20");
    setErrorCodeLabels(table, MachineFamily::T5Z);
    EXPECT_EQ(table[1].label, "E05");
    EXPECT_EQ(table[7].label, "E16");
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
    EXPECT_FALSE(writeDefaultFolder(folder.path() / "no" / "such.txt", "x").ok());
}
