#include "core/fleet/fleet_table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kestrava {
namespace {

std::string shareText(double share)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", share * 100.0);
    return text;
}

std::string errorsText(const MachineSummary& machine)
{
    std::string text;
    for (const auto& row : machine.errorCodes) {
        if (row.count == 0)
            continue;
        if (!text.empty())
            text += "; ";
        text += row.label + " " + std::to_string(row.count);
    }
    return text;
}

std::vector<std::vector<std::string>> rowsOf(const FleetSummary& summary)
{
    std::vector<std::vector<std::string>> rows = {fleetHeadings()};
    for (const auto& machine : summary.machines)
        rows.push_back(fleetRow(machine));
    return rows;
}

// RFC 4180: a field with a comma, a quote or a line end is quoted, its quotes doubled.
std::string csvField(const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

}  // namespace

const std::vector<std::string>& fleetHeadings()
{
    static const std::vector<std::string> headings = {"serial", "family", "files",   "records",
                                                      "first",  "last",   "not E00", "errors"};
    return headings;
}

std::string fleetDayText(const std::optional<Day>& day)
{
    if (!day)
        return "";
    const std::chrono::year_month_day date(*day);
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", unsigned(date.day()), unsigned(date.month()),
                  int(date.year()));
    return text;
}

std::vector<std::string> fleetRow(const MachineSummary& machine)
{
    return {machine.serial,
            std::string(familyName(machine.family)),
            std::to_string(machine.files),
            std::to_string(machine.records),
            fleetDayText(machine.first),
            fleetDayText(machine.last),
            shareText(machine.faultShare()),
            errorsText(machine)};
}

std::string fleetCsv(const FleetSummary& summary)
{
    std::string text;
    for (const auto& row : rowsOf(summary)) {
        for (std::size_t i = 0; i < row.size(); ++i)
            text += (i ? "," : "") + csvField(row[i]);
        text += "\r\n";
    }
    return text;
}

// Columns padded to their widest cell, two spaces apart; the last one unpadded.
std::string fleetText(const FleetSummary& summary)
{
    const auto rows = rowsOf(summary);
    std::vector<std::size_t> widths(fleetHeadings().size(), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += std::string(widths[i] - row[i].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + "\n";
    }
    return text;
}

}  // namespace kestrava
