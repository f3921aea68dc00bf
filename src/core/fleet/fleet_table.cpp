#include "core/fleet/fleet_table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "core/text/csv_text.h"

namespace kestrava {
namespace {

std::string shareText(double share)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", share * 100.0);
    return text;
}

// "E127" -> 127.
unsigned long codeNumber(const std::string& label)
{
    return std::strtoul(label.c_str() + (label.empty() ? 0 : 1), nullptr, 10);
}

}  // namespace

std::vector<std::string> fleetErrorColumns(const FleetSummary& summary)
{
    std::vector<std::string> columns;
    for (const auto& machine : summary.machines)
        for (const auto& row : machine.errorCodes)
            if (row.count > 0 &&
                std::find(columns.begin(), columns.end(), row.label) == columns.end())
                columns.push_back(row.label);
    std::sort(columns.begin(), columns.end(), [](const std::string& a, const std::string& b) {
        return codeNumber(a) < codeNumber(b);
    });
    return columns;
}

std::vector<std::string> fleetHeadings(const std::vector<std::string>& errorColumns)
{
    std::vector<std::string> headings = {"serial", "family", "files",  "records",
                                         "first",  "last",   "not E00"};
    headings.insert(headings.end(), errorColumns.begin(), errorColumns.end());
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

std::vector<std::string> fleetRow(const MachineSummary& machine,
                                  const std::vector<std::string>& errorColumns)
{
    std::vector<std::string> cells = {machine.serial,
                                      std::string(familyName(machine.family)),
                                      std::to_string(machine.files),
                                      std::to_string(machine.records),
                                      fleetDayText(machine.first),
                                      fleetDayText(machine.last),
                                      shareText(machine.faultShare())};
    for (const auto& column : errorColumns) {
        std::string cell;
        for (const auto& row : machine.errorCodes)
            if (row.label == column && row.count > 0)
                cell = std::to_string(row.count);
        cells.push_back(std::move(cell));
    }
    return cells;
}

std::string fleetErrorsText(const MachineSummary& machine)
{
    std::string text;
    for (const auto& row : machine.errorCodes) {
        if (row.count == 0)
            continue;
        if (!text.empty())
            text += "; ";
        text += row.label;
        text += ' ';
        text += std::to_string(row.count);
    }
    return text;
}

std::string shownSerial(std::string_view serial)
{
    if (serial.size() <= kSerialShown)
        return std::string(serial);
    std::size_t cut = kSerialShown;
    // Back to the start of a UTF-8 character, should the cut fall inside one.
    for (int back = 0;
         back < 3 && cut > 0 && (static_cast<unsigned char>(serial[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    std::string shown(serial.substr(0, cut));
    shown += "\xE2\x80\xA6";
    return shown;
}

std::string fleetCsv(const FleetSummary& summary)
{
    const auto columns = fleetErrorColumns(summary);
    std::string text;
    appendCsvRow(text, fleetHeadings(columns), CsvText::Bytes);
    for (const auto& machine : summary.machines)
        appendCsvRow(text, fleetRow(machine, columns), CsvText::Bytes);
    return text;
}

// Columns padded to their widest cell, two spaces apart; the last one unpadded. Only
// the shortened serial is held, so a long one costs nothing per row.
std::string fleetText(const FleetSummary& summary)
{
    const auto columns = fleetErrorColumns(summary);
    std::vector<std::vector<std::string>> rows = {fleetHeadings(columns)};
    std::vector<std::vector<std::size_t>> sizes;  // what each cell takes on the screen
    for (const auto& machine : summary.machines) {
        auto cells = fleetRow(machine, columns);
        cells[0] = shownSerial(machine.serial);
        rows.push_back(std::move(cells));
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::size_t> row;
        for (const auto& cell : rows[r])
            row.push_back(cell.size());
        if (r > 0 && summary.machines[r - 1].serial.size() > kSerialShown)
            row[0] -= 2;  // "…" is three bytes and one character
        sizes.push_back(std::move(row));
    }
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : sizes)
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i]);
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line.append(widths[i] - sizes[r][i] + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace kestrava
