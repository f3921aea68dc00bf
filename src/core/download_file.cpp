#include "core/download_file.h"

namespace kestrava {

namespace {

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

DownloadKind downloadKindOf(std::string_view path)
{
    if (endsWith(path, "xls"))
        return DownloadKind::Standard;
    if (endsWith(path, "pfd"))
        return DownloadKind::Encrypted;
    return DownloadKind::Refused;
}

bool isStandardDataName(std::string_view path)
{
    return endsWith(path, "xls");
}

std::string fileTitleOf(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() <= 4)
        return {};
    return std::string(name.substr(0, name.size() - 4));
}

}  // namespace kestrava
