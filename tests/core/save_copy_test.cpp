#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

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

    TempFolder folder;
    const fs::path root = folder.path();
    const fs::path source = root / "work" / "view_only.tmp";
    const fs::path workFile = root / "work" / "temp_only.tmp";
};

}  // namespace

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
