#include "gui/platform/drive_provider.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

namespace {

#ifndef Q_OS_WIN
// Kernel and container file systems that hold no user folders.
bool isPseudoFileSystem(const QByteArray& type)
{
    static const QSet<QByteArray> pseudo = {
        "proc",      "sysfs",       "devtmpfs", "devpts",          "cgroup",
        "cgroup2",   "securityfs",  "pstore",   "debugfs",         "tracefs",
        "configfs",  "fusectl",     "mqueue",   "hugetlbfs",       "bpf",
        "autofs",    "binfmt_misc", "nsfs",     "rpc_pipefs",      "efivarfs",
        "selinuxfs", "squashfs",    "ramfs",    "fuse.gvfsd-fuse", "fuse.portal"};
    return pseudo.contains(type);
}

// Mount points of the system's own run-time trees; removable media mounted under
// /run/media stay.
bool isSystemMountPoint(const QString& root)
{
    const auto under = [&root](const QString& folder) {
        return root == folder || root.startsWith(folder + QLatin1Char('/'));
    };
    if (under(QStringLiteral("/run/media")))
        return false;
    return under(QStringLiteral("/proc")) || under(QStringLiteral("/sys")) ||
           under(QStringLiteral("/dev")) || under(QStringLiteral("/run")) ||
           under(QStringLiteral("/var/run")) || under(QStringLiteral("/snap")) ||
           under(QStringLiteral("/var/lib/docker")) || under(QStringLiteral("/boot/efi"));
}

#endif

QString cleanDrive(const QString& drive)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(drive));
}

}  // namespace

QStringList SystemDriveProvider::drives() const
{
    QStringList result;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives())
        result << QDir::toNativeSeparators(drive.absoluteFilePath());
#else
    QStringList mountPoints;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::cleanPath(volume.rootPath());
        if (!volume.isValid() || root == QLatin1String("/") || isSystemMountPoint(root) ||
            isPseudoFileSystem(volume.fileSystemType()))
            continue;
        // Containers bind single files (/etc/hosts) as mounts: only folders are drives.
        if (!QFileInfo(root).isDir() || mountPoints.contains(root))
            continue;
        mountPoints << root;
    }
    mountPoints.sort();
    result << QStringLiteral("/") << mountPoints;
#endif
    return result;
}

bool SystemDriveProvider::isReadable(const QString& drive) const
{
    const QString root = cleanDrive(drive);
    const QFileInfo info(root);
    if (root.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QStorageInfo storage(root);
    if (!storage.isValid() || !storage.isReady())
        return false;
#ifdef Q_OS_WIN
    return true;
#else
    // A mount point whose volume has gone is an empty folder of the volume above it.
    return root == QLatin1String("/") || QDir::cleanPath(storage.rootPath()) == root;
#endif
}

QString driveOfPath(const QStringList& drives, const QString& path)
{
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    if (path.isEmpty())
        return {};
    const QString target = QDir::cleanPath(QDir::fromNativeSeparators(path));
    QString best;
    qsizetype bestLength = -1;
    for (const QString& drive : drives) {
        QString root = cleanDrive(drive);
        if (root.isEmpty())
            continue;
        if (!root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        // "/media/usb/" holds "/media/usb" and "/media/usb/x", never "/media/usb2".
        const bool holds = target.startsWith(root, cs) ||
                           QString::compare(target + QLatin1Char('/'), root, cs) == 0;
        if (holds && root.size() > bestLength) {
            best = drive;
            bestLength = root.size();
        }
    }
    return best;
}
