#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/save_copy.h"
#include "core/scrambling.h"
#include "temp_folder.h"

namespace fs = std::filesystem;
using kestrava::FileFault;
using kestrava::SaveForm;
using kestrava::SaveStage;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

class SaveCopyTest : public ::testing::Test {
protected:
    SaveCopyTest()
    {
        fs::create_directories(root / "work");
        fs::create_directories(root / "out");
    }
    void TearDown() override { kestrava::fileio::setFaultHook({}); }

    TempFolder folder;
    const fs::path root = folder.path();
    const fs::path source = root / "work" / "view_only.tmp";
    const fs::path workFile = root / "work" / "temp_only.tmp";
};

}  // namespace

TEST_F(SaveCopyTest, EveryFailingOperationIsReportedAndLeavesNoTarget)
{
    // Fail each file operation in turn: the save either succeeds with the right bytes
    // or reports a fault and leaves nothing (no target, no temporary) in the target's
    // folder; the source never changes. Several chunks, odd length.
    const Bytes content = randomBytes(150'001, 3);
    writeAll(source, content);
    int failures = 0;
    for (int failAt = 1; failAt < 200; ++failAt) {
        for (SaveForm form : {SaveForm::Plain, SaveForm::Scrambled}) {
            fs::remove_all(root / "out");
            fs::create_directories(root / "out");
            const fs::path target = root / "out" / "saved.dat";
            int count = 0;
            kestrava::fileio::setFaultHook([&](kestrava::fileio::Operation) { return ++count == failAt; });
            const auto result = kestrava::saveCopy(source, target, form, workFile);
            kestrava::fileio::setFaultHook({});
            ASSERT_EQ(readAll(source), content);
            if (result.ok()) {
                const Bytes saved = readAll(target);
                EXPECT_EQ(form == SaveForm::Plain ? saved : kestrava::decodeBytes(saved), content);
                continue;
            }
            ++failures;
            EXPECT_NE(result.stage, SaveStage::None);
            EXPECT_TRUE(fs::is_empty(root / "out")) << "failing operation " << failAt;
        }
    }
    EXPECT_GT(failures, 0) << "the hook never made an operation fail";

    fs::remove_all(root / "out");
    fs::create_directories(root / "out");
    const auto missing = kestrava::saveCopy(root / "work" / "gone.xls", root / "out" / "a.pfd",
                                            SaveForm::Scrambled, workFile);
    EXPECT_EQ(missing.file.fault, FileFault::SourceMissing);
    EXPECT_EQ(missing.stage, SaveStage::WorkFile);
    EXPECT_TRUE(fs::is_empty(root / "out"));
}

TEST_F(SaveCopyTest, CancelledSaveLeavesNothing)
{
    writeAll(source, randomBytes(300'000, 5));
    for (SaveForm form : {SaveForm::Plain, SaveForm::Scrambled}) {
        int calls = 0;
        const auto result = kestrava::saveCopy(source, root / "out" / "x.pfd", form, workFile,
                                               [&](std::uint64_t done, std::uint64_t total) {
                                                   EXPECT_LE(done, total);
                                                   return ++calls < 3;
                                               });
        EXPECT_EQ(result.file.fault, FileFault::Cancelled);
        EXPECT_TRUE(fs::is_empty(root / "out"));
    }
}

TEST_F(SaveCopyTest, ScrambledSaveOfTheWorkFileItselfKeepsIt)
{
    // A refused file named like the work file stays the loaded file: saving it must
    // not overwrite it with its own scrambled form.
    const Bytes content = randomBytes(1001, 9);
    writeAll(workFile, content);
    const auto result = kestrava::saveCopy(workFile, root / "out" / "w.pfd", SaveForm::Scrambled, workFile);
    ASSERT_TRUE(result.ok()) << kestrava::describe(result.file);
    EXPECT_EQ(readAll(workFile), content);
    EXPECT_EQ(kestrava::decodeBytes(readAll(root / "out" / "w.pfd")), content);
}

TEST_F(SaveCopyTest, ExampleFilesSaveBackToThemselves)
{
    // Open a .pfd (decode into the working copy), save it as .pfd and as .xls: the
    // first is the original file again, the second its plain text (odd lengths too).
    int examples = 0;
    for (const auto& entry : fs::directory_iterator(KESTRAVA_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".pfd")
            continue;
        ++examples;
        const fs::path name = entry.path().stem();
        ASSERT_TRUE(kestrava::scrambleFile(kestrava::ScrambleDirection::Decode, entry.path(), source));
        ASSERT_TRUE(kestrava::saveCopy(source, root / "out" / (name.string() + ".pfd"),
                                       SaveForm::Scrambled, workFile).ok());
        ASSERT_TRUE(kestrava::saveCopy(source, root / "out" / (name.string() + ".xls"),
                                       SaveForm::Plain, workFile).ok());
        EXPECT_EQ(readAll(root / "out" / (name.string() + ".pfd")), readAll(entry.path()));
        fs::path plain = entry.path();
        plain.replace_extension(".xls");
        if (fs::exists(plain)) {
            EXPECT_EQ(readAll(root / "out" / (name.string() + ".xls")), readAll(plain));
        }
    }
    EXPECT_GT(examples, 0);
}
