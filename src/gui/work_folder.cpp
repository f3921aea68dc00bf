#include "gui/work_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

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
    if (canWriteIn(programFolder))
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
