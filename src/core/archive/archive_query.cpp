// The queries of the weld archive: the selection of welds, their listing and CSV,
// counts and the fleet summary.
#include <algorithm>
#include <limits>
#include <map>
#include <variant>

#include "core/archive/archive_schema.h"
#include "core/archive/sqlite_db.h"
#include "core/archive/weld_archive.h"
#include "core/files/path_text.h"
#include "core/text/csv_text.h"

namespace kestrava {

using archive::Statement;

namespace {

constexpr const char* kWeldsJoined =
    " FROM welds w JOIN machines m ON m.id = w.machine JOIN downloads d ON d.id = w.download";

// The ids of the machines with these serial numbers (of any family).
std::vector<std::int64_t> machineIdsOf(archive::Database& db,
                                       const std::vector<std::string>& serials)
{
    std::vector<std::int64_t> ids;
    Statement find(db, "SELECT id FROM machines WHERE serial = ?1");
    for (const auto& serial : serials) {
        find.bindBlob(1, serial);
        while (find.step())
            ids.push_back(find.integer(0));
        find.reset();
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

// column is one of ids: "= ?" for one, so that SQLite reads that machine's entries in
// their order.
std::string machineTerm(const char* column, std::size_t count)
{
    if (count == 0)
        return "0";
    if (count == 1)
        return std::string(column) + " = ?";
    std::string text = std::string(column) + " IN (";
    for (std::size_t i = 0; i < count; ++i)
        text += i ? ", ?" : "?";
    return text + ")";
}

// The WHERE clause of a query and the values bound to it, in order. The machines and
// dates select the welds through the index tables (the welds' table has no index).
struct Selection {
    std::string where;
    std::vector<std::variant<std::int64_t, std::string>> values;  // a string binds as a blob
    std::vector<std::int64_t> machineIds;  // of the serial numbers of the query

    // byDate: the terms of the machines and dates are left to the caller, which reads
    // the index tables in date order; only the other terms are made here.
    Selection(archive::Database& db, const ArchiveQuery& query, bool byDate = false)
    {
        if (!query.machines.empty())
            machineIds = machineIdsOf(db, query.machines);
        std::vector<std::string> terms;
        if (!byDate) {
            if (!query.machines.empty()) {
                std::string driver = "w.id IN (SELECT k.weld FROM weld_keys k WHERE " +
                                     machineTerm("k.machine", machineIds.size());
                addMachines();
                if (query.from || query.to) {
                    driver += " AND k.day BETWEEN ? AND ?";
                    addDays(query);
                }
                terms.push_back(driver + ")");
            } else if (query.from || query.to) {
                terms.push_back(
                    "w.id IN (SELECT k.weld FROM machine_days md CROSS JOIN weld_keys k "
                    "ON k.machine = md.machine AND k.day = md.day + 0 WHERE md.day BETWEEN ? AND "
                    "?)");
                addDays(query);
            }
        }
        if (!query.errors.empty()) {
            std::string list = "w.error IN (";
            for (std::size_t i = 0; i < query.errors.size(); ++i)
                list += i ? ", ?" : "?";
            terms.push_back(list + ")");
            for (const auto error : query.errors)
                values.emplace_back(std::int64_t(error));
        }
        if (!query.text.empty()) {
            terms.push_back("instr(w.line, ?) > 0");
            values.emplace_back(query.text);
        }
        for (std::size_t i = 0; i < terms.size(); ++i)
            where += (i ? " AND " : " WHERE ") + terms[i];
    }

    void addMachines()
    {
        for (const auto id : machineIds)
            values.emplace_back(id);
    }

    // The dates' bounds; day 0 (no date) is outside every range.
    void addDays(const ArchiveQuery& query)
    {
        values.emplace_back(query.from ? archive::julianDayOf(*query.from) : std::int64_t(1));
        values.emplace_back(query.to ? archive::julianDayOf(*query.to)
                                     : std::numeric_limits<std::int64_t>::max());
    }

    // The clause with more terms after it.
    std::string withTerm(const std::string& more) const
    {
        return where + (where.empty() ? " WHERE " : " AND ") + more;
    }

    // Binds the values from parameter first; returns the next parameter's number.
    int bind(Statement& statement, int first = 1) const
    {
        int index = first;
        for (const auto& value : values) {
            if (const auto* number = std::get_if<std::int64_t>(&value))
                statement.bind(index++, *number);
            else
                statement.bindBlob(index++, std::get<std::string>(value));
        }
        return index;
    }
};

MachineFamily familyOf(std::string_view name)
{
    if (name == familyName(MachineFamily::ORV))
        return MachineFamily::ORV;
    if (name == familyName(MachineFamily::T5Z))
        return MachineFamily::T5Z;
    return MachineFamily::Unknown;
}

// The header and family of each group of welds listed together, in the order of their
// first weld.
struct Group {
    std::string header;
    MachineFamily family;
};

std::vector<Group> groupsOf(archive::Database& db, const Selection& selection)
{
    Statement groups(db, std::string("SELECT d.header, m.family, MIN(w.id)") + kWeldsJoined +
                             selection.where + " GROUP BY d.header, m.family ORDER BY 3");
    selection.bind(groups);
    std::vector<Group> found;
    while (groups.step())
        found.push_back({std::string(groups.bytes(0)), familyOf(groups.bytes(1))});
    return found;
}

// The welds of one group, in the order imported.
std::string groupWeldsSql(const Selection& selection)
{
    return std::string("SELECT w.line") + kWeldsJoined +
           selection.withTerm("d.header = ? AND m.family = ?") + " ORDER BY w.id";
}

void bindGroup(Statement& welds, const Selection& selection, const Group& group)
{
    const int next = selection.bind(welds);
    welds.bindBlob(next, group.header).bindText(next + 1, familyName(group.family));
}

std::vector<std::string> fieldsOf(std::string_view line)
{
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(
            start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

}  // namespace

namespace {

constexpr const char* kWeldColumns =
    "SELECT w.id, m.serial, m.family, w.day, w.error, w.line, d.header, d.name";

StoredWeld weldOf(const Statement& row)
{
    StoredWeld weld;
    weld.id = row.integer(0);
    weld.serial = row.bytes(1);
    weld.family = familyOf(row.bytes(2));
    if (!row.isNull(3))
        weld.day = archive::dayOfJulian(row.integer(3));
    if (!row.isNull(4))
        weld.error = std::int16_t(row.integer(4));
    weld.line = row.bytes(5);
    weld.header = row.bytes(6);
    weld.firstFile = row.bytes(7);
    return weld;
}

// The terms that keep the welds after a page's last one in an order by key, then by
// id; key may be NULL (first when ascending, last when descending).
std::string afterTerm(const char* key, bool keyNull, bool descending)
{
    const std::string k(key);
    if (!descending) {
        if (keyNull)
            return "(" + k + " IS NOT NULL OR w.id > ?2)";
        return "(" + k + " > ?1 OR (" + k + " = ?1 AND w.id > ?2))";
    }
    if (keyNull)
        return "(" + k + " IS NULL AND w.id < ?2)";
    return "(" + k + " < ?1 OR " + k + " IS NULL OR (" + k + " = ?1 AND w.id < ?2))";
}

}  // namespace

ArchiveError WeldArchive::forEachWeld(const ArchiveQuery& query,
                                      const std::function<bool(const StoredWeld&)>& seen)
{
    try {
        const Selection selection(*db_, query);
        Statement welds(*db_, kWeldColumns + std::string(kWeldsJoined) + selection.where +
                                  " ORDER BY w.id");
        selection.bind(welds);
        while (welds.step()) {
            if (!seen(weldOf(welds)))
                break;
        }
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

ArchiveError WeldArchive::page(const ArchiveQuery& query, WeldOrder order, bool descending,
                               const StoredWeld* after, std::size_t limit,
                               std::vector<StoredWeld>& welds)
{
    welds.clear();
    const bool byDate = order == WeldOrder::Date;
    const char* key = byDate                        ? (query.machines.empty() ? "md.day" : "k.day")
                      : order == WeldOrder::Machine ? "m.serial"
                      : order == WeldOrder::Error   ? "w.error"
                                                    : nullptr;
    try {
        Selection selection(*db_, query, byDate);
        std::string from = kWeldsJoined;
        if (byDate) {
            // In date order through the index tables (day 0, no date, first going up
            // and last going down): one machine's welds by machine and day, all
            // machines' by the days of machine_days.
            std::vector<std::string> terms;
            Selection driver(*db_, ArchiveQuery{}, true);
            driver.machineIds = selection.machineIds;
            if (!query.machines.empty()) {
                from = " FROM weld_keys k CROSS JOIN welds w ON w.id = k.weld"
                       " JOIN machines m ON m.id = w.machine JOIN downloads d ON d.id = w.download";
                terms.push_back(machineTerm("k.machine", driver.machineIds.size()));
                driver.addMachines();
            } else {
                // (+ 0: SQLite would otherwise read weld_keys by the range of the days
                // rather than by the day of each row of machine_days.)
                from = " FROM machine_days md CROSS JOIN weld_keys k ON k.machine = md.machine AND "
                       "k.day = md.day + 0"
                       " CROSS JOIN welds w ON w.id = k.weld"
                       " JOIN machines m ON m.id = w.machine JOIN downloads d ON d.id = w.download";
            }
            if (query.from || query.to) {
                terms.push_back(std::string(key) + " BETWEEN ? AND ?");
                driver.addDays(query);
            }
            if (!selection.where.empty())
                terms.push_back(selection.where.substr(7));  // " WHERE "
            for (std::size_t i = 0; i < terms.size(); ++i)
                driver.where += (i ? " AND " : " WHERE ") + terms[i];
            driver.values.insert(driver.values.end(), selection.values.begin(),
                                 selection.values.end());
            selection = std::move(driver);
        }
        // The keys of the page before take ?1 and ?2; the selection's values follow.
        std::string where = selection.where;
        for (std::size_t i = 0, n = 1; (i = where.find('?', i)) != std::string::npos; i += 2)
            where.replace(i, 1, "?" + std::to_string(2 + n++));
        std::string sql = kWeldColumns + from + where;
        bool keyNull = false;
        if (after) {
            keyNull = order == WeldOrder::Error && !after->error;
            const std::string k = key ? key : "";
            const std::string term =
                byDate ? "(" + k +
                             (descending ? " <= ?1 AND (" + k + " < ?1 OR w.id < ?2))"
                                         : " >= ?1 AND (" + k + " > ?1 OR w.id > ?2))")
                : key ? afterTerm(key, keyNull, descending)
                      : std::string(descending ? "w.id < ?2" : "w.id > ?2");
            sql += (where.empty() ? " WHERE " : " AND ") + term;
        }
        const char* direction = descending ? " DESC" : "";
        sql += " ORDER BY ";
        if (key)
            sql += key + std::string(direction) + ", ";
        sql += "w.id" + std::string(direction) + " LIMIT " + std::to_string(limit);

        Statement rows(*db_, sql);
        if (after) {
            if (order == WeldOrder::Machine)
                rows.bindBlob(1, after->serial);
            else if (byDate)
                rows.bind(1, after->day ? archive::julianDayOf(*after->day) : std::int64_t(0));
            else if (order == WeldOrder::Error && after->error)
                rows.bind(1, std::int64_t(*after->error));
            rows.bind(2, after->id);
        }
        selection.bind(rows, 3);
        while (rows.step())
            welds.push_back(weldOf(rows));
    } catch (const archive::SqliteError& error) {
        welds.clear();
        return failed(error);
    }
    return {};
}

ArchiveError WeldArchive::machines(std::vector<ArchivedMachine>& machines)
{
    machines.clear();
    try {
        Statement rows(*db_, "SELECT serial, family, welds FROM machines ORDER BY serial, family");
        while (rows.step())
            machines.push_back({std::string(rows.bytes(0)), familyOf(rows.bytes(1)),
                                std::uint64_t(rows.integer(2))});
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

ArchiveError WeldArchive::listing(const ArchiveQuery& query, const ListingRun::Write& write)
{
    try {
        const Selection selection(*db_, query);
        for (const Group& group : groupsOf(*db_, selection)) {
            // The stored header and record lines go through the listing run as a
            // download of their own would.
            ListingRun run(ListingFilter{}, std::string(), write);
            run.presetFamily(group.family);
            bool going = run.feed(group.header) && run.feed("\r\n");
            Statement welds(*db_, groupWeldsSql(selection));
            bindGroup(welds, selection, group);
            while (going && welds.step())
                going = run.feed(welds.bytes(0)) && run.feed("\r\n");
            run.finish();
            if (run.writeFailed())
                return {ArchiveFault::Failed, "the listing could not be written"};
        }
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

ArchiveError
WeldArchive::forEachGroup(const ArchiveQuery& query,
                          const std::function<bool(std::string_view, MachineFamily)>& group,
                          const std::function<bool(std::string_view)>& weld)
{
    try {
        const Selection selection(*db_, query);
        for (const Group& each : groupsOf(*db_, selection)) {
            if (!group(each.header, each.family))
                return {};
            Statement welds(*db_, groupWeldsSql(selection));
            bindGroup(welds, selection, each);
            while (welds.step()) {
                if (!weld(welds.bytes(0)))
                    return {};
            }
        }
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

ArchiveError WeldArchive::csv(const ArchiveQuery& query, const ListingRun::Write& write)
{
    std::string out;
    bool writeFailed = false;
    const auto flush = [&](std::size_t atLeast) {
        if (out.size() >= atLeast) {
            writeFailed = !write(out);
            out.clear();
        }
        return !writeFailed;
    };
    const ArchiveError walked = forEachGroup(
        query,
        [&](std::string_view header, MachineFamily) {
            appendCsvRow(out, fieldsOf(header), CsvText::Bytes);
            return flush(std::size_t(1) << 20);
        },
        [&](std::string_view line) {
            appendCsvRow(out, fieldsOf(line), CsvText::Bytes);
            return flush(std::size_t(1) << 20);
        });
    if (!walked.ok())
        return walked;
    if (writeFailed || !flush(1))
        return {ArchiveFault::Failed, "the CSV could not be written"};
    return {};
}

ArchiveError WeldArchive::errorCounts(const ArchiveQuery& query, std::vector<ErrorCount>& counts)
{
    counts.clear();
    try {
        const Selection selection(*db_, query);
        Statement rows(*db_, std::string("SELECT m.family, w.error_row, count(*)") + kWeldsJoined +
                                 selection.where + " GROUP BY m.family, w.error_row");
        selection.bind(rows);
        while (rows.step()) {
            ErrorCount count;
            count.family = familyOf(rows.bytes(0));
            if (!rows.isNull(1)) {
                ErrorCodeTable table = freshErrorCodeTable();
                setErrorCodeLabels(table, count.family);
                count.label = table[std::size_t(rows.integer(1)) % table.size()].label;
            }
            count.count = std::uint64_t(rows.integer(2));
            counts.push_back(std::move(count));
        }
        // By family, then by the row of its table, the records of no code last.
        std::stable_sort(
            counts.begin(), counts.end(), [](const ErrorCount& a, const ErrorCount& b) {
                return std::pair(a.family, a.label.empty()) < std::pair(b.family, b.label.empty());
            });
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

ArchiveError WeldArchive::monthCounts(const ArchiveQuery& query, std::vector<MonthCount>& counts)
{
    counts.clear();
    try {
        // The rows are counted here as they come, a day at a time, rather than grouped
        // by SQLite, whose sorter would hold every weld of a large selection.
        struct DayCount {
            std::uint64_t count = 0;
            std::uint64_t notE00 = 0;
        };
        std::map<std::int64_t, DayCount> days;  // by Julian day; 0: no date
        auto last = days.end();
        const Selection selection(*db_, query);
        Statement rows(*db_, std::string("SELECT ifnull(w.day, 0), w.error_row IS 0") +
                                 kWeldsJoined + selection.where);
        selection.bind(rows);
        while (rows.step()) {
            const std::int64_t day = rows.integer(0);
            if (last == days.end() || last->first != day)
                last = days.try_emplace(day).first;
            ++last->second.count;
            last->second.notE00 += rows.integer(1) == 0 ? 1 : 0;
        }
        for (const auto& [day, count] : days) {
            int year = 0;
            unsigned month = 0;
            if (day != 0) {
                const std::chrono::year_month_day date(archive::dayOfJulian(day));
                year = int(date.year());
                month = unsigned(date.month());
            }
            if (counts.empty() || counts.back().year != year || counts.back().month != month)
                counts.push_back({year, month, 0, 0});
            counts.back().count += count.count;
            counts.back().notE00 += count.notE00;
        }
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

namespace {

ArchivedDownload downloadOf(const Statement& row)
{
    ArchivedDownload file;
    file.name = row.bytes(0);
    file.kind = row.bytes(1);
    file.size = std::uint64_t(row.integer(2));
    file.imported = row.bytes(3);
    file.records = std::uint64_t(row.integer(4));
    return file;
}

}  // namespace

ArchiveError WeldArchive::filesOf(std::int64_t weldId, std::vector<ArchivedDownload>& files)
{
    files.clear();
    try {
        // The first download is the weld's own; the others are its sightings (an
        // archive may list the first among them too).
        Statement rows(*db_,
                       "SELECT d.name, d.kind, d.size, d.imported, d.records FROM downloads d "
                       "JOIN (SELECT download, 0 AS later FROM welds WHERE id = ?1 UNION "
                       "SELECT download, 1 FROM sightings WHERE weld = ?1 AND download != "
                       "(SELECT download FROM welds WHERE id = ?1)) s ON d.id = s.download "
                       "ORDER BY s.later, d.id");
        rows.bind(1, weldId);
        while (rows.step())
            files.push_back(downloadOf(rows));
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

ArchiveError WeldArchive::downloads(std::vector<ArchivedDownload>& files)
{
    files.clear();
    try {
        Statement rows(*db_,
                       "SELECT name, kind, size, imported, records FROM downloads ORDER BY id");
        while (rows.step())
            files.push_back(downloadOf(rows));
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

ArchiveError WeldArchive::summary(const ArchiveQuery& query, FleetSummary& summary)
{
    summary = {};
    try {
        const Selection selection(*db_, query);
        // Two passes over the welds selected, without the downloads' table: per machine
        // and error-code row, then per machine and download of first sight.
        const std::string from = " FROM welds w JOIN machines m ON m.id = w.machine";
        std::map<std::int64_t, MachineSummary> machines;
        Statement rows(
            *db_,
            "SELECT w.machine, m.serial, m.family, w.error_row, count(*), min(w.day), max(w.day)" +
                from + selection.where + " GROUP BY w.machine, w.error_row");
        selection.bind(rows);
        while (rows.step()) {
            const auto [entry, fresh] = machines.try_emplace(rows.integer(0));
            MachineSummary& machine = entry->second;
            if (fresh) {
                machine.serial = rows.bytes(1);
                machine.family = familyOf(rows.bytes(2));
                setErrorCodeLabels(machine.errorCodes, machine.family);
            }
            if (!rows.isNull(3))
                machine.errorCodes[std::size_t(rows.integer(3)) % machine.errorCodes.size()].count =
                    rows.integer(4);
            machine.records += std::uint64_t(rows.integer(4));
            if (!rows.isNull(5)) {
                const Day first = archive::dayOfJulian(rows.integer(5));
                const Day last = archive::dayOfJulian(rows.integer(6));
                if (!machine.first || first < *machine.first)
                    machine.first = first;
                if (!machine.last || last > *machine.last)
                    machine.last = last;
            }
        }
        // A machine's files: the downloads its selected welds were first seen in.
        std::map<std::int64_t, std::filesystem::path> names;
        Statement downloads(*db_, "SELECT id, name FROM downloads");
        while (downloads.step())
            names[downloads.integer(0)] = pathFromUtf8(downloads.bytes(1));
        Statement files(*db_, "SELECT DISTINCT w.machine, w.download" + from + selection.where);
        selection.bind(files);
        while (files.step()) {
            MachineSummary& machine = machines[files.integer(0)];
            ++machine.files;
            machine.paths.push_back(names[files.integer(1)]);
        }
        summary.filesRead = std::uint64_t(db_->integer("SELECT count(*) FROM downloads"));
        for (auto& [id, machine] : machines) {
            std::sort(machine.paths.begin(), machine.paths.end());
            summary.machines.push_back(std::move(machine));
        }
        std::sort(summary.machines.begin(), summary.machines.end(),
                  [](const MachineSummary& a, const MachineSummary& b) {
                      return std::tie(a.serial, a.family) < std::tie(b.serial, b.family);
                  });
    } catch (const archive::SqliteError& error) {
        return failed(error);
    }
    return {};
}

}  // namespace kestrava
