#include <gtest/gtest.h>

#include <algorithm>
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

std::vector<std::string> entriesOf(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SaveCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path()
               / ("kestrava-save-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())
                  + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "work");
        fs::create_directories(root / "out");
        source = root / "work" / "view_only.tmp";
        workFile = root / "work" / "temp_only.tmp";
    }
    void TearDown() override
    {
        kestrava::fileio::setFaultHook({});
        fs::remove_all(root);
    }

    fs::path root, source, workFile;
};

}  // namespace

TEST_F(SaveCopyTest, PlainCopyIsByteForByte)
{
    // CR, LF, NUL and high bytes must all pass untouched.
    Bytes text = {'W', 'e', 'l', 'd', '\t', 0, 0xFF, 0x80, '\r', '\n', '\r'};
    const Bytes big = randomBytes(200'001, 7);  // several chunks, odd length
    for (const Bytes& content : {text, big, Bytes{}}) {
        writeAll(source, content);
        const fs::path target = root / "out" / ("copy" + std::to_string(content.size()) + ".xls");
        const auto result = kestrava::saveCopy(source, target, SaveForm::Plain, workFile);
        ASSERT_TRUE(result.ok()) << kestrava::describe(result.file);
        EXPECT_EQ(readAll(target), content);
        EXPECT_EQ(readAll(source), content);
        EXPECT_FALSE(fs::exists(workFile)) << "a plain save needs no work file";
    }
}

TEST_F(SaveCopyTest, ScrambledCopyDecodesBackForEveryLength)
{
    // Odd lengths keep their last byte; units near 0xFFFF wrap when the key is added.
    for (std::size_t size : {0u, 1u, 2u, 3u, 4u, 5u, 131'073u, 131'074u}) {
        Bytes content = randomBytes(size, static_cast<unsigned>(size));
        if (size >= 4) {
            content[size - 2 - size % 2] = 0xFF;
            content[size - 1 - size % 2] = 0xFF;
        }
        writeAll(source, content);
        const fs::path target = root / "out" / ("WELD" + std::to_string(size) + ".pfd");
        const auto result = kestrava::saveCopy(source, target, SaveForm::Scrambled, workFile);
        ASSERT_TRUE(result.ok()) << size << ": " << kestrava::describe(result.file);
        const Bytes saved = readAll(target);
        ASSERT_EQ(saved.size(), size);
        EXPECT_EQ(kestrava::decodeBytes(saved), content) << "length " << size;
        EXPECT_EQ(readAll(workFile), saved) << "the work file holds the scrambled copy";
        EXPECT_EQ(readAll(source), content);
    }
}

TEST_F(SaveCopyTest, ExistingTargetIsKeptUntouched)
{
    writeAll(source, {'n', 'e', 'w'});
    const Bytes old = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
    for (SaveForm form : {SaveForm::Plain, SaveForm::Scrambled}) {
        const fs::path target = root / "out" / "kept.pfd";
        writeAll(target, old);
        const auto result = kestrava::saveCopy(source, target, form, workFile);
        EXPECT_EQ(result.file.fault, FileFault::TargetExists);
        EXPECT_EQ(result.stage, SaveStage::Target);
        EXPECT_EQ(readAll(target), old);
        EXPECT_EQ(entriesOf(root / "out"), std::vector<std::string>{"kept.pfd"});
    }
    // Saving onto the loaded file itself is the same case: it stays as it is.
    const auto onto = kestrava::saveCopy(source, source, SaveForm::Scrambled, workFile);
    EXPECT_EQ(onto.file.fault, FileFault::TargetExists);
    EXPECT_EQ(readAll(source), (Bytes{'n', 'e', 'w'}));
}

TEST_F(SaveCopyTest, FailuresAreReportedAndLeaveNoTargetBehind)
{
    // Missing source: nothing is made.
    {
        const auto result = kestrava::saveCopy(root / "work" / "gone.xls", root / "out" / "a.pfd",
                                               SaveForm::Scrambled, workFile);
        EXPECT_EQ(result.file.fault, FileFault::SourceMissing);
        EXPECT_EQ(result.stage, SaveStage::WorkFile);
        EXPECT_TRUE(entriesOf(root / "out").empty());
    }
    // A folder that does not exist.
    {
        writeAll(source, randomBytes(99, 1));
        const auto result = kestrava::saveCopy(source, root / "out" / "no" / "such.xls",
                                               SaveForm::Plain, workFile);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.stage, SaveStage::Target);
    }
    // Every single failing file operation, one at a time: either the save succeeds or
    // it reports a fault, and then no file of the target's name (nor a temporary one)
    // is left in the target's folder and the source is unchanged.
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
            EXPECT_EQ(readAll(source), content);
            if (result.ok()) {
                const Bytes saved = readAll(target);
                EXPECT_EQ(form == SaveForm::Plain ? saved : kestrava::decodeBytes(saved), content);
                continue;
            }
            ++failures;
            EXPECT_NE(result.stage, SaveStage::None);
            EXPECT_TRUE(entriesOf(root / "out").empty())
                << "operation " << failAt << " left " << entriesOf(root / "out").front();
        }
    }
    EXPECT_GT(failures, 0) << "the hook never made an operation fail";
}

TEST_F(SaveCopyTest, CancelledSaveLeavesNothing)
{
    writeAll(source, randomBytes(300'000, 5));
    for (SaveForm form : {SaveForm::Plain, SaveForm::Scrambled}) {
        std::uint64_t lastDone = 0, lastTotal = 0;
        int calls = 0;
        const auto result = kestrava::saveCopy(
            source, root / "out" / "x.pfd", form, workFile,
            [&](std::uint64_t done, std::uint64_t total) {
                EXPECT_GE(done, lastDone) << "progress never goes back";
                lastDone = done;
                lastTotal = total;
                return ++calls < 3;
            });
        EXPECT_EQ(result.file.fault, FileFault::Cancelled);
        EXPECT_TRUE(entriesOf(root / "out").empty());
        EXPECT_LE(lastDone, lastTotal);
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
