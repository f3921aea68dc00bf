// Draws the README's pictures of the error-code chart, the fleet summary window and the
// weld archive window from sample figures, offscreen unless QT_QPA_PLATFORM says
// otherwise.
//
//   readme_pictures FOLDER     writes FOLDER/chart_window.png, FOLDER/fleet_summary.png
//                              and FOLDER/archive_window.png (in a build with the archive)
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

#include "core/fleet/fleet_summary.h"
#include "core/settings/build_profile.h"
#include "gui/app/translations.h"
#include "gui/reports/fleet_summary_window.h"
#include "gui/reports/form_chart.h"
#include "gui/services/system_services.h"
#ifdef KESTRAVA_HAVE_ARCHIVE
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include "core/archive/weld_archive.h"
#include "gui/archive/archive_window.h"
#include "gui/platform/fs_path.h"
#endif

namespace {

bool save(QWidget& window, const QString& file)
{
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().toImage().save(file);
    if (!saved)
        std::fprintf(stderr, "readme_pictures: cannot write %s\n", qPrintable(file));
    return saved;
}

// An ORV download's counts, in English.
bool chartPicture(const AppServices& services, const QString& file)
{
    installTranslations(kestrava::Language::English);
    ChartValues shared;
    shared.language = kestrava::Language::English;
    shared.MachineFamily = kestrava::MachineFamily::ORV;
    kestrava::ErrorCodeTable table = kestrava::freshErrorCodeTable();
    kestrava::setErrorCodeLabels(table, kestrava::MachineFamily::ORV);
    const int counts[] = {38, 2, 5, 0, 3, 1, 6, 0, 2, 4};
    for (int i = 0; i < 10; ++i)
        table[i].count = counts[i];
    shared.ErrorCodeTable = table;
    shared.MachineSerial = "ORV-20931";
    shared.LoadedFileTitle = QStringLiteral("orv_sample");
    FormChart form(shared, services);
    return save(form, file);
}

// Eight machines of a fleet and one file that is no download, in Polish, the second
// machine's files listed.
bool fleetPicture(const AppServices& services, const QString& file)
{
    installTranslations(kestrava::Language::Polish);
    kestrava::FleetSummary fleet;
    const int faults[] = {30, 141, 0, 52, 17, 95, 4, 29};
    for (int i = 0; i < 8; ++i) {
        kestrava::MachineSummary machine;
        machine.serial = "ORV-2041" + std::to_string(i);
        machine.family = kestrava::MachineFamily::ORV;
        machine.files = 3 + i % 4;
        machine.records = 200 * machine.files;
        machine.errorCodes[0].count = std::int64_t(machine.records) - faults[i];
        machine.errorCodes[3].count = faults[i];
        machine.first = kestrava::Day(std::chrono::year(2009) / 3 / (1 + i));
        machine.last = kestrava::Day(std::chrono::year(2009) / 9 / (10 + i));
        machine.paths = {"/media/downloads/" + machine.serial + "/weld.pfd"};
        fleet.machines.push_back(machine);
    }
    fleet.unread.push_back(
        {"/media/downloads/notes.xls", kestrava::UnreadFile::Why::UnknownHeader, {}, {}, {}});
    QTemporaryDir saves;
    FleetSummaryWindow window(fleet, kestrava::Language::Polish, services.dialogs, saves.path());
    window.Table_Machines_DoubleClick(window.Machines_Model->index(1, 0));
    window.resize(1320, window.height());  // wide enough for every column of the table
    return save(window, file);
}

#ifdef KESTRAVA_HAVE_ARCHIVE
// Three machines' downloads over eighteen months in an archive, in Polish, two machines
// chosen and the first half year.
bool archivePicture(const AppServices& services, const QString& file)
{
    installTranslations(kestrava::Language::Polish);
    QTemporaryDir work;
    std::vector<std::filesystem::path> downloads;
    const char* const errors[] = {"0",  "0", "0", "0", "20", "0", "0",
                                  "27", "0", "0", "0", "23", "0", "127"};
    for (int machine = 0; machine < 3; ++machine) {
        QByteArray text = "Weld No\tSerial No\tDate\tTime\tError\tFitting\tDiameter\tOperator\r\n";
        for (int weld = 0; weld < 540; ++weld) {
            const QDate day = QDate(2009, 3, 2).addDays(weld + machine * 7);
            text += QByteArray::number(1000 + weld) + "\tORV-2093" + QByteArray::number(machine) +
                    '\t' + day.toString(u"dd/MM/yyyy").toLatin1() + "\t" +
                    QByteArray::number(7 + weld % 10) + ":15\t" +
                    errors[(weld * (machine + 3) / 5) % 14] + "\tCoupler\t" +
                    QByteArray::number(63 + 20 * (weld % 4)) + "\tOperator " +
                    char('A' + weld % 6) + "\r\n";
        }
        const QString path = work.filePath(QStringLiteral("orv-2093%1.xls").arg(machine));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size())
            return false;
        downloads.push_back(toFsPath(path));
    }
    const QString archivePath = work.filePath(QStringLiteral("archive.sqlite"));
    {
        kestrava::WeldArchive archive;
        if (!archive.open(toFsPath(archivePath), true).ok() ||
            !archive.import(downloads).error.ok())
            return false;
    }
    ArchiveWindow window(toFsPath(archivePath), kestrava::Language::Polish, services.dialogs,
                         work.path());
    window.resize(1320, 720);
    window.show();
    for (int turn = 0; turn < 200 && window.Label_Count->text().isEmpty(); ++turn)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    for (int row : {0, 1})
        window.List_Machines->item(row)->setSelected(true);
    window.Text_From->setText(QStringLiteral("01/03/2009"));
    window.Text_To->setText(QStringLiteral("31/08/2009"));
    window.Command_Apply_Click();
    return save(window, file);
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: readme_pictures FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    SystemServices system;
    const AppServices services = system.complete({});
    const bool chart = chartPicture(services, folder.filePath(QStringLiteral("chart_window.png")));
    const bool fleetDone =
        fleetPicture(services, folder.filePath(QStringLiteral("fleet_summary.png")));
#ifdef KESTRAVA_HAVE_ARCHIVE
    const bool archiveDone =
        archivePicture(services, folder.filePath(QStringLiteral("archive_window.png")));
#else
    const bool archiveDone = true;
#endif
    return chart && fleetDone && archiveDone ? 0 : 1;
}
