// A fresh folder for one test, removed with everything in it afterwards (names are
// UTF-8 text), and whole-file helpers the engine's tests share.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/files/path_text.h"
#include "core/listing/print_layout.h"
#include "../support/sample_download.h"

// The whole of a file; empty when it cannot be read.
inline std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Records every print operation as text ("|TEXT" for a printed line); fails the
// operation numbered failAt (from 1).
class RecordingSurface final : public kestrava::PrintSurface {
public:
    std::vector<std::string> ops;
    int failAt = 0;

    bool setFontName(std::string_view name) override
    {
        return record(std::string("font ").append(name));
    }
    bool setFontSize(int points) override { return record("size " + std::to_string(points)); }
    bool setBold(bool on) override { return record(on ? "bold on" : "bold off"); }
    bool printLine(std::string_view text) override { return record(std::string("|").append(text)); }
    bool endDocument() override { return record("end"); }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> printed;
        for (const std::string& op : ops)
            if (op.starts_with('|'))
                printed.push_back(op.substr(1));
        return printed;
    }

private:
    bool record(std::string op)
    {
        ops.push_back(std::move(op));
        return failAt == 0 || int(ops.size()) != failAt;
    }
};

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
        return fileText(path_ / kestrava::pathFromUtf8(name));
    }

    bool exists(const std::string& name) const
    {
        return std::filesystem::exists(path_ / kestrava::pathFromUtf8(name));
    }

    // The names in the folder, or in its subfolder sub.
    std::set<std::string> names(const std::string& sub = "") const
    {
        std::set<std::string> found;
        for (const auto& entry :
             std::filesystem::directory_iterator(path_ / kestrava::pathFromUtf8(sub)))
            found.insert(entry.path().filename().string());
        return found;
    }
    std::size_t entries() const { return names().size(); }

private:
    std::filesystem::path path_;
};
