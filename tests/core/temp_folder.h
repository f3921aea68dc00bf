// A fresh folder for one test, removed with everything in it afterwards. Names are
// UTF-8 text.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include "core/files/path_text.h"

class TempFolder {
public:
    TempFolder()
    {
        std::random_device device;
        path_ = std::filesystem::temp_directory_path() /
                ("kestrava-test-" + std::to_string(device()) + std::to_string(device()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path write(const std::string& name, const std::string& contents) const
    {
        const auto file = path_ / kestrava::pathFromUtf8(name);
        std::ofstream out(file, std::ios::binary);
        out << contents;
        return file;
    }

    std::string read(const std::string& name) const
    {
        std::ifstream in(path_ / kestrava::pathFromUtf8(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / kestrava::pathFromUtf8(name)); }

    // The names in the folder, or in its subfolder sub.
    std::set<std::string> names(const std::string& sub = "") const
    {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(path_ / kestrava::pathFromUtf8(sub)))
            found.insert(entry.path().filename().string());
        return found;
    }
    std::size_t entries() const { return names().size(); }

private:
    std::filesystem::path path_;
};
