#include "core/protocol/protocol_text.h"

#include "core/fleet/fleet_table.h"

namespace kestrava {

namespace {

void row(std::string& out, std::string_view name, std::string_view a)
{
    out.append(name).append("\t").append(a).append("\n");
}

void row(std::string& out, std::string_view name, std::string_view a, std::string_view b)
{
    out.append(name).append("\t").append(a).append("\t").append(b).append("\n");
}

}  // namespace

std::string errorDescriptionText(const WeldProtocol& weld)
{
    if (!weld.hasErrorField)
        return "no error field";
    if (!weld.errorRow)
        return "unknown code";
    return std::string(errorDescription(weld.family, *weld.errorRow));
}

void appendProtocolText(std::string& out, const WeldProtocol& weld)
{
    row(out, "protocol", std::to_string(weld.number));
    row(out, "download", weld.download);
    row(out, "machine", weld.serial, familyName(weld.family));
    row(out, "date", weld.date, weld.time);
    row(out, "error", weld.errorText, errorDescriptionText(weld));
    for (const ProtocolField& field : weld.fields)
        row(out, "field", field.name, field.value);
}

std::string reportCodeText(const ReportCover& cover, const ReportErrorCount& bar)
{
    const std::string_view description = errorDescription(bar.family, bar.row);
    if (!cover.mixedFamilies())
        return std::string(description);
    return std::string(familyName(bar.family)) + " " + std::string(description);
}

void appendCoverText(std::string& out, const ReportCover& cover)
{
    for (const ReportMachine& machine : cover.machines) {
        out.append("machine\t")
            .append(machine.serial)
            .append("\t")
            .append(familyName(machine.family));
        out.append("\t").append(std::to_string(machine.welds)).append("\n");
    }
    if (cover.machinesNotKept > 0)
        row(out, "more machines", std::to_string(cover.machinesNotKept));
    row(out, "period", fleetDayText(cover.firstDay), fleetDayText(cover.lastDay));
    row(out, "welds", std::to_string(cover.welds));
    row(out, "welds not E00", std::to_string(cover.weldsNotOk));
    for (const ReportErrorCount& bar : cover.errorCounts())
        row(out, "code", reportCodeText(cover, bar), std::to_string(bar.count));
}

void appendColumnsText(std::string& out, std::string_view header)
{
    row(out, "columns", header);
}

void appendTableRowText(std::string& out, const WeldProtocol& weld)
{
    out.append("weld");
    for (const ProtocolField& field : weld.fields)
        out.append("\t").append(field.value);
    out.append("\n");
}

}  // namespace kestrava
