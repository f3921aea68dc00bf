// Time from choosing a download file to its listing shown in the main window, the CPU
// time it took (all threads), and the program's peak memory, for files of 10 000, 100 000 and 1 000 000 records.
//
//   gui_open_listing [--scrambled] [RECORDS...]
//
// With --scrambled the file is a .pfd (the window then also writes its plain working
// copy).
// Each size runs in a fresh process (so that its peak memory is its own) on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

#include "core/settings/build_profile.h"
#include "core/text/scrambling.h"
#include "gui/window/kestrava_main.h"
#include "gui/view/listing_view.h"
#include "gui/app/translations.h"
#include "gui/services/system_services.h"
#include "process_memory.h"
#include "../tests/support/sample_download.h"

namespace {

// User and system time of the process so far, all threads, in seconds.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One size, in this process: prints "records seconds listingMB baseMB peakMB cpuSeconds".
int measureOne(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString file = QString::fromLocal8Bit(argv[2]);
    const QString workFolder = QString::fromLocal8Bit(argv[3]);
    const kestrava::BuildProfile profile = kestrava::buildProfile();
    installTranslations(profile.language());

    SystemServices system;
    AppServices services = system.complete({});
    services.settingsFolder = workFolder;
    services.workFolder = workFolder;
    Kestrava_Main window(profile, services);
    window.show();
    QCoreApplication::processEvents();
    const double baseMB = statusMegabytes("VmRSS");

    const double cpuBefore = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    window.openPath(QDir::toNativeSeparators(file));
    window.Text1->viewport()->repaint();
    QCoreApplication::processEvents();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;

    const double peakMB = statusMegabytes("VmHWM");
    const double listingMB =
        double(QFileInfo(QDir(workFolder).filePath(QStringLiteral("display_only.tmp"))).size()) /
        (1024.0 * 1024.0);
    std::printf("%s %.3f %.1f %.1f %.1f %.3f\n", argv[4], seconds, listingMB, baseMB, peakMB, cpu);
    return window.session().FileLoaded() ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 5 && QByteArray(argv[1]) == "--one")
        return measureOne(argc, argv);

    QCoreApplication app(argc, argv);
    QList<int> sizes;
    bool scrambled = false;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--scrambled")
            scrambled = true;
        else
            sizes << QByteArray(argv[i]).toInt();
    }
    if (sizes.isEmpty())
        sizes = {10000, 100000, 1000000};

    QTextStream out(stdout);
    out << "records   file MB  listing MB  shown after s   cpu s  base MB  peak MB  "
           "(peak-base)/listing\n";
    for (int records : sizes) {
        QTemporaryDir folder;
        const QString file =
            QDir(folder.path())
                .filePath(scrambled ? QStringLiteral("bench.pfd") : QStringLiteral("bench.xls"));
        {
            std::string text = sample::wideDownload(std::size_t(records));
            if (scrambled) {
                const auto bytes = kestrava::encodeBytes(
                    {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
                text.assign(bytes.begin(), bytes.end());
            }
            QFile written(file);
            if (!written.open(QIODevice::WriteOnly) ||
                written.write(text.data(), qint64(text.size())) != qint64(text.size()))
                return 1;
        }
        // The chosen file on the disk, as a download is when the user opens it, and
        // nothing of it waiting to be written while the window writes its own files.
        ::sync();
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--one"), file, folder.path(), QString::number(records)});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            out << records << ": the window did not show the listing\n";
            continue;
        }
        const QStringList v =
            QString::fromLatin1(child.readAllStandardOutput()).split(QLatin1Char(' '));
        if (v.size() < 6)
            continue;
        const double listing = v[2].toDouble();
        const double base = v[3].toDouble();
        const double peak = v[4].toDouble();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                   .arg(records, 7)
                   .arg(double(QFileInfo(file).size()) / (1024.0 * 1024.0), 9, 'f', 1)
                   .arg(listing, 11, 'f', 1)
                   .arg(v[1].toDouble(), 14, 'f', 3)
                   .arg(v[5].toDouble(), 7, 'f', 3)
                   .arg(base, 8, 'f', 1)
                   .arg(peak, 8, 'f', 1)
                   .arg(listing > 0 ? (peak - base) / listing : 0.0, 20, 'f', 2);
        out.flush();
    }
    return 0;
}
