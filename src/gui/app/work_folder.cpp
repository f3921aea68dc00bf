#include "gui/app/work_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// An installed copy runs from a folder that belongs to the system's package manager;
// work files must never go there, even when the user (root) could write them.
bool isSystemProgramFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    // Program Files and the system's folders: an installed program may not write there
    // (Windows redirects or refuses such writes), so its work files go to the user's.
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    for (const char* variable :
         {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot"}) {
        const QString root =
            QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable(variable)));
        if (!root.isEmpty() && root != QLatin1String(".") &&
            (path.compare(root, Qt::CaseInsensitive) == 0 ||
             path.startsWith(root + QLatin1Char('/'), Qt::CaseInsensitive)))
            return true;
    }
    return false;
#else
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    static const char* const systemRoots[] = {"/usr", "/opt", "/bin", "/sbin", "/snap"};
    for (const char* root : systemRoots) {
        const QString prefix = QString::fromLatin1(root);
        if (path == prefix || path.startsWith(prefix + QLatin1Char('/')))
            return true;
    }
    return false;
#endif
}

bool canWriteIn(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    // Try it: permission bits do not tell about read-only mounts or ACLs.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kestrava-write-test-XXXXXX")));
    return probe.open();
}

}  // namespace

QString chooseWorkFolder(const QString& programFolder, const QString& perUserFolder)
{
    if (!isSystemProgramFolder(programFolder) && canWriteIn(programFolder))
        return QDir::toNativeSeparators(QDir::cleanPath(programFolder));
    QString fallback = perUserFolder;
    if (fallback.isEmpty())
        fallback = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(fallback);
    return QDir::toNativeSeparators(QDir::cleanPath(fallback));
}

QString workFilePath(const QString& workFolder, const QString& name)
{
    return QDir::toNativeSeparators(QDir(workFolder).filePath(name));
}

QString workFolderProblem(const QString& programFolder, const QString& workFolder)
{
    if (canWriteIn(workFolder))
        return {};
    return QCoreApplication::translate(
               "WorkFolder",
               "Neither the program's folder (%1) nor the per-user folder (%2) can be written. "
               "The program keeps its work files there: no file can be opened or saved until "
               "one of them can be written.")
        .arg(QDir::toNativeSeparators(programFolder), workFolder);
}
