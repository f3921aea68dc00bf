#include "core/text/download_file.h"

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

std::optional<std::string> saveTargetName(std::string_view chosen, bool standardTypeChosen)
{
    if (downloadKindOf(chosen) != DownloadKind::Refused)
        return std::string(chosen);
    const auto slash = chosen.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? chosen : chosen.substr(slash + 1);
    // A dot only at the start (".weld") does not begin an extension.
    const auto dot = name.rfind('.');
    if (name.empty() || (dot != std::string_view::npos && dot > 0))
        return std::nullopt;
    return std::string(chosen) + (standardTypeChosen ? ".xls" : ".pfd");
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
