#include "core/settings/settings_file.h"

#include "core/files/file_io.h"

namespace kestrava {

std::string defaultFolderFromText(std::string_view contents)
{
    const auto lineEnd = contents.find_first_of("\r\n");
    std::string_view line = contents.substr(0, lineEnd);
    while (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    if (!line.empty() && line.front() == '"') {
        line.remove_prefix(1);
        const auto closing = line.find('"');
        return std::string(line.substr(0, closing));
    }
    return std::string(line);
}

std::optional<std::string> readDefaultFolder(const std::filesystem::path& file)
{
    std::string contents;
    if (auto read = fileio::readSmallFile(file, contents, kSettingsFileLargest); !read)
        return std::nullopt;
    return defaultFolderFromText(contents);
}

FileResult writeDefaultFolder(const std::filesystem::path& file, std::string_view folder)
{
    fileio::AtomicWriter writer;
    if (auto opened = writer.open(file); !opened)
        return opened;
    std::string line(folder);
    line += "\r\n";
    if (auto written = writer.write(line.data(), line.size()); !written)
        return written;
    return writer.commit();
}

}  // namespace kestrava
