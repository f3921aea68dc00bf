#include "core/settings/recent_files.h"

#include <algorithm>

#include "core/files/file_io.h"
#include "core/files/path_text.h"
#include "core/settings/settings_file.h"

namespace kestrava {

RecentFiles recentFilesFromText(std::string_view contents,
                                const std::function<bool(const std::string&)>& names)
{
    RecentFiles list;
    while (!contents.empty() && list.size() < kRecentFilesKept) {
        const auto lineEnd = contents.find('\n');
        const std::string_view line = contents.substr(0, lineEnd);
        contents.remove_prefix(lineEnd == std::string_view::npos ? contents.size() : lineEnd + 1);
        if (line.size() > kRecentFileLongest + 3)  // the name, its quotes and the CR
            continue;
        std::string path = defaultFolderFromText(line);
        if (path.empty() || path.size() > kRecentFileLongest || !isFileNameText(path) ||
            std::find(list.begin(), list.end(), path) != list.end() || (names && !names(path)))
            continue;
        list.push_back(std::move(path));
    }
    return list;
}

RecentFiles withRecentFile(RecentFiles list, std::string_view path)
{
    list = withoutRecentFile(std::move(list), path);
    list.insert(list.begin(), std::string(path));
    if (list.size() > kRecentFilesKept)
        list.resize(kRecentFilesKept);
    return list;
}

RecentFiles withoutRecentFile(RecentFiles list, std::string_view path)
{
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    return list;
}

RecentFiles readRecentFiles(const std::filesystem::path& file)
{
    std::string contents;
    if (auto read = fileio::readSmallFile(file, contents, kSettingsFileLargest); !read)
        return {};
    return recentFilesFromText(contents, [](const std::string& path) {
        fileio::PathStatus status;
        return fileio::pathStatus(pathFromFileNameText(path), status).ok() &&
               status.kind == fileio::EntryKind::File;
    });
}

FileResult writeRecentFiles(const std::filesystem::path& file, const RecentFiles& list)
{
    std::string text;
    for (const std::string& path : list) {
        // A path with a leading blank or quote would read back as another: quoted.
        const bool quote = !path.empty() && (path.front() == ' ' || path.front() == '"');
        text += quote ? '"' + path + '"' : path;
        text += "\r\n";
    }
    fileio::AtomicWriter writer;
    if (auto opened = writer.open(file); !opened)
        return opened;
    if (auto written = writer.write(text.data(), text.size()); !written)
        return written;
    return writer.commit();
}

}  // namespace kestrava
