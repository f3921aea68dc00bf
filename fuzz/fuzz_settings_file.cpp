// The default-folder settings file read from arbitrary bytes: the value is a piece of
// the first line, never holds a line end, and a folder the program wrote itself is
// read back unchanged, through a real file too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "core/settings/settings_file.h"
#include "fuzz_check.h"

namespace {

using namespace kestrava;

const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("kestrava-fuzz-settings-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string contents(reinterpret_cast<const char*>(data), size);
    const std::string value = defaultFolderFromText(contents);

    // A piece of the first line, without line ends.
    const std::string_view firstLine =
        std::string_view(contents).substr(0, contents.find_first_of("\r\n"));
    FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(value.size() <= firstLine.size());
    FUZZ_CHECK(firstLine.find(value) != std::string_view::npos);

    // What the program writes, it reads back: any folder text without line ends that
    // does not start with a blank or a quote.
    const std::string folder(firstLine);
    if (!folder.empty() && folder.front() != ' ' && folder.front() != '"') {
        FUZZ_CHECK(defaultFolderFromText(folder + "\r\n") == folder);
        // The whole round trip through the file, now and then (it costs a rename).
        if (size % 16 == 0) {
            const auto file = scratchFolder() / "defaultpathload.txt";
            const FileResult written = writeDefaultFolder(file, folder);
            FUZZ_CHECK(written.ok());
            const auto read = readDefaultFolder(file);
            FUZZ_CHECK(read && *read == folder);
        }
    }
    // Reading a file never fails on its contents, up to the size a settings file may have.
    if (size % 16 == 1 && size <= kSettingsFileLargest) {
        const auto file = scratchFolder() / "defaultpathsave.txt";
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out.write(contents.data(), std::streamsize(contents.size()));
        }
        const auto read = readDefaultFolder(file);
        FUZZ_CHECK(read && *read == value);
    }
    return 0;
}
