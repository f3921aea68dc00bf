// Time and peak memory of the weld archive window over an archive (the benchmark's
// archive of 20 million welds, made by archive_scale): the window opened and shown
// with every weld, pages of the table fetched, sorted by date both ways, then one
// machine and a quarter chosen and that page fetched.
//
//   gui_archive_window ARCHIVE [PAGES]
//
// Prints the seconds of each step and the peak memory. Runs on the offscreen
// platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>

#include <cstdio>
#include <cstdlib>

#include "gui/archive/archive_window.h"
#include "gui/archive/weld_table_model.h"
#include "gui/platform/fs_path.h"
#include "gui/services/system_services.h"
#include "process_memory.h"

namespace {

double secondsOf(QElapsedTimer& clock)
{
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    return seconds;
}

void fetchPages(WeldTableModel& model, int pages)
{
    for (int page = 0; page < pages && model.canFetchMore({}); ++page)
        model.fetchMore({});
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: gui_archive_window ARCHIVE [PAGES]\n");
        return 2;
    }
    const int pages = argc > 2 ? std::atoi(argv[2]) : 20;
    SystemServices system;
    const AppServices services = system.complete({});

    QElapsedTimer clock;
    clock.start();
    ArchiveWindow window(toFsPath(QString::fromLocal8Bit(argv[1])), kestrava::Language::English,
                         services.dialogs, QStringLiteral("."));
    window.show();
    while (window.Label_Count->text().isEmpty())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    const double opened = secondsOf(clock);
    std::printf("opened and shown: %.2f s (%s; %d machines), peak memory so far %.1f MB\n", opened,
                qPrintable(window.Label_Count->text()), window.List_Machines->count(),
                statusMegabytes("VmHWM"));

    fetchPages(*window.Welds_Model, pages);
    std::printf("%d pages as imported: %.2f s (%d rows)\n", pages, secondsOf(clock),
                window.Welds_Model->rowCount());
    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        window.Table_Welds->sortByColumn(WeldTableModel::Date, order);
        fetchPages(*window.Welds_Model, pages);
        std::printf("%d pages by date, %s: %.2f s\n", pages,
                    order == Qt::AscendingOrder ? "rising" : "falling", secondsOf(clock));
    }
    if (window.List_Machines->count() > 500)
        window.List_Machines->item(500)->setSelected(true);
    window.Text_From->setText(QStringLiteral("01/10/2015"));
    window.Text_To->setText(QStringLiteral("31/12/2015"));
    window.Command_Apply_Click();
    fetchPages(*window.Welds_Model, pages);
    std::printf("one machine, a quarter: %.2f s (%s)\n", secondsOf(clock),
                qPrintable(window.Label_Count->text()));
    std::printf("peak memory: %.1f MB\n", statusMegabytes("VmHWM"));
    return 0;
}
