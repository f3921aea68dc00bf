// The weld archive at scale: MACHINES machines of WELDS welds each (1,000 x 20,000 by
// default) imported once into FOLDER/archive-MACHINESxWELDS.sqlite through the engine's
// import of generated downloads (a later run finds it there and imports nothing), then
// the time of the queries the window makes: the first page of the welds of one machine
// in a period, and its counts per error code; and the archive's bytes per weld beyond
// the record lines.   Usage: archive_scale FOLDER [MACHINES [WELDS]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "core/archive/weld_archive.h"
#include "core/settings/regional.h"
#include "../tests/support/sample_download.h"

using namespace kestrava;
using Clock = std::chrono::steady_clock;

namespace {

std::string serialOf(int machine)
{
    char text[16];
    std::snprintf(text, sizeof text, "ORV-%05d", machine);
    return text;
}

// A download of one machine's welds, about 13 a day from 1 January 2015, in date order.
std::string downloadOf(int machine, int welds)
{
    static const char* const errors[] = {"0", "0",   "0", "20", "0", "27",
                                         "0", "127", "0", "0",  "0", "5"};
    std::string text = sample::kWideHeader + "\r\n";
    const auto first = std::chrono::sys_days(std::chrono::year(2015) / 1 / 1);
    const std::string serial = serialOf(machine);
    char line[160];
    for (int i = 0; i < welds; ++i) {
        const std::chrono::year_month_day day(first + std::chrono::days(i * 3 / 40 + machine % 7));
        std::snprintf(line, sizeof line,
                      "%d\t%s\t%02u/%02u/%04d\t%02d:%02d\t%s\tElectrofusion coupler\t%d\t39.5\t%d\t"
                      "Operator %c\r\n",
                      100000 + i, serial.c_str(), unsigned(day.day()), unsigned(day.month()),
                      int(day.year()), 7 + i % 12, (i * 7) % 60, errors[(i + machine) % 12],
                      63 + 10 * (i % 9), 60 + i % 240, char('A' + (i + machine) % 26));
        text += line;
    }
    return text;
}

// The median of runs of what, in milliseconds, and the first run's.
struct Timing {
    double first = 0, median = 0;
};

Timing timed(int runs, const std::function<void()>& what)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        what();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    Timing timing;
    timing.first = ms.front();
    std::sort(ms.begin(), ms.end());
    timing.median = ms[ms.size() / 2];
    return timing;
}

long long sqliteNumber(const std::filesystem::path& path, const char* sql)
{
    sqlite3* db = nullptr;
    long long value = -1;
    if (sqlite3_open_v2(path.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            value = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return value;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: archive_scale FOLDER [MACHINES [WELDS]]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const int machines = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int welds = argc > 3 ? std::atoi(argv[3]) : 20000;
    const auto path =
        folder / ("archive-" + std::to_string(machines) + "x" + std::to_string(welds) + ".sqlite");
    std::filesystem::create_directories(folder);

    // Made once: the machines' downloads one after the other, each written, imported and
    // removed; a run stopped half way goes on from the machines already there.
    {
        WeldArchive archive;
        if (const ArchiveError error = archive.open(path, true); !error.ok()) {
            std::fprintf(stderr, "%s\n", error.text.c_str());
            return 1;
        }
        std::vector<ArchivedMachine> there;
        archive.machines(there);
        const auto start = Clock::now();
        double cpuStart = double(std::clock());
        int imported = 0;
        for (int machine = int(there.size()); machine < machines; ++machine) {
            const auto file = folder / ("download-" + serialOf(machine) + ".xls");
            std::ofstream(file, std::ios::binary) << downloadOf(machine, welds);
            const ImportReport report = archive.import({file});
            std::filesystem::remove(file);
            if (!report.error.ok() || report.filesAdded != 1) {
                std::fprintf(stderr, "import failed: %s\n", report.error.text.c_str());
                return 1;
            }
            if (++imported % 100 == 0)
                std::fprintf(stderr, "%d machines imported\n", machine + 1);
        }
        if (imported > 0) {
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            std::printf("made %s: %d machines imported in %.1f s (%.1f s CPU), %.2f us a weld\n",
                        path.filename().string().c_str(), imported, seconds,
                        (double(std::clock()) - cpuStart) / CLOCKS_PER_SEC,
                        seconds * 1e6 / imported / welds);
        }
    }

    const long long total = sqliteNumber(path, "SELECT count(*) FROM welds");
    const long long lineBytes = sqliteNumber(path, "SELECT sum(length(line)) FROM welds");
    const auto bytes = std::filesystem::file_size(path);
    std::printf("archive: %lld welds, %.1f MB, %.1f bytes a weld beyond its line (target <= 200)\n",
                total, double(bytes) / 1e6,
                total > 0 ? double(bytes - std::uint64_t(lineBytes)) / double(total) : 0.0);

    WeldArchive archive;
    const auto openStart = Clock::now();
    if (const ArchiveError error = archive.open(path, false); !error.ok()) {
        std::fprintf(stderr, "%s\n", error.text.c_str());
        return 1;
    }
    std::printf("%-58s %8.1f ms\n", "open (with the integrity check)",
                std::chrono::duration<double, std::milli>(Clock::now() - openStart).count());

    // One machine in the middle, over a quarter of a year in the middle of its welds.
    ArchiveQuery oneMachine;
    oneMachine.machines = {serialOf(machines / 2)};
    ArchiveQuery period = oneMachine;
    period.from = Day(std::chrono::sys_days(std::chrono::year(2015) / 10 / 1));
    period.to = Day(std::chrono::sys_days(std::chrono::year(2015) / 12 / 31));
    ArchiveQuery allInPeriod = period;
    allInPeriod.machines.clear();

    const auto report = [](const char* what, Timing timing, double target) {
        std::printf("%-58s %8.1f ms (first %.1f ms)%s\n", what, timing.median, timing.first,
                    target > 0 ? (timing.median < target ? "  ok" : "  OVER TARGET") : "");
    };
    std::vector<StoredWeld> page;
    std::size_t rows = 0;
    const auto firstPage = [&](const ArchiveQuery& query, WeldOrder order, bool descending) {
        return [&, order, descending] {
            archive.page(query, order, descending, nullptr, 500, page);
            rows = page.size();
        };
    };
    report("first page, one machine, a quarter, by date",
           timed(5, firstPage(period, WeldOrder::Date, false)), 50);
    std::printf("    (%zu welds on it)\n", rows);
    report("first page, one machine, a quarter, by date going down",
           timed(5, firstPage(period, WeldOrder::Date, true)), 50);
    report("first page, one machine, a quarter, as imported",
           timed(5, firstPage(period, WeldOrder::Imported, false)), 50);
    report("first page, one machine, a quarter, by error",
           timed(5, firstPage(period, WeldOrder::Error, false)), 50);
    report("first page, one machine, by date",
           timed(5, firstPage(oneMachine, WeldOrder::Date, false)), 50);
    report("first page, all machines, a quarter, by date",
           timed(5, firstPage(allInPeriod, WeldOrder::Date, false)), 50);
    report("first page, all machines, by date", timed(5, firstPage({}, WeldOrder::Date, false)),
           50);
    report("first page, all machines, by date going down",
           timed(5, firstPage({}, WeldOrder::Date, true)), 50);
    report("first page, all machines, as imported",
           timed(5, firstPage({}, WeldOrder::Imported, false)), 50);
    if (!page.empty()) {
        const StoredWeld last = page.back();
        report(
            "next page, all machines, by date",
            timed(5,
                  [&] { archive.page(ArchiveQuery{}, WeldOrder::Date, false, &last, 500, page); }),
            50);
    }

    std::vector<ErrorCount> counts;
    report("counts per error code, one machine",
           timed(5, [&] { archive.errorCounts(oneMachine, counts); }), 100);
    std::uint64_t counted = 0;
    for (const auto& count : counts)
        counted += count.count;
    std::printf("    (%zu codes, %llu welds)\n", counts.size(),
                static_cast<unsigned long long>(counted));
    report("counts per error code, one machine, a quarter",
           timed(5, [&] { archive.errorCounts(period, counts); }), 100);
    std::vector<MonthCount> months;
    report("counts per month, one machine",
           timed(5, [&] { archive.monthCounts(oneMachine, months); }), 0);
    std::vector<ArchivedMachine> list;
    report("machines with their welds", timed(3, [&] { archive.machines(list); }), 0);
    return 0;
}
