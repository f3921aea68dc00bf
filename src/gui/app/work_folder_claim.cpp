#include "gui/app/work_folder_claim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

namespace {

const QLatin1String kSharedLockName("kestrava.lock");
const QLatin1String kInstancesName("instances");
const QLatin1String kLockSuffix(".lock");

std::unique_ptr<QLockFile> tryLocking(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // Held for the whole run: stale only once the process that took it is gone, never
    // for its age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

// The own folders (and lone locks) of windows that are gone: every one whose lock can be
// taken. Each is removed while its lock is held, so that no window starting meanwhile
// takes it.
void removeLeftOvers(const QDir& instances)
{
    QSet<QString> names;
    const auto entries = instances.entryInfoList(QDir::Dirs | QDir::Files | QDir::Hidden |
                                                 QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        QString name = entry.fileName();
        if (entry.isSymLink() || entry.isJunction())
            continue;  // never made here: what it leads to is not the program's to remove
        if (!entry.isDir()) {
            if (!name.endsWith(kLockSuffix))
                continue;
            name.chop(kLockSuffix.size());
        }
        names.insert(name);
    }
    for (const QString& name : names) {
        const auto lock = tryLocking(instances.filePath(name + kLockSuffix));
        if (!lock)
            continue;  // a running window's
        const QFileInfo folder(instances.filePath(name));
        if (folder.isDir() && !folder.isSymLink() && !folder.isJunction())
            QDir(folder.filePath()).removeRecursively();
    }
}

}  // namespace

WorkFolderClaim::WorkFolderClaim(const QString& sharedFolder) : folder_(sharedFolder)
{
    const QDir shared(sharedFolder);
    const QDir instances(shared.filePath(kInstancesName));
    if (instances.exists())
        removeLeftOvers(instances);

    auto sharedLock = std::make_unique<QLockFile>(shared.filePath(kSharedLockName));
    sharedLock->setStaleLockTime(0);
    if (sharedLock->tryLock(0)) {
        lock_ = std::move(sharedLock);
        return;
    }
    if (sharedLock->error() != QLockFile::LockFailedError)
        return;  // no lock can be made there: nothing can be written there at all

    // Another window has the shared folder: one of this window's own, named after the
    // process (another name should that one be held, by a process of another machine
    // sharing the folder).
    if (!shared.mkpath(kInstancesName))
        return;
    const QString pid = QString::number(QCoreApplication::applicationPid());
    for (int attempt = 0; attempt < 100 && !lock_; ++attempt) {
        const QString name = attempt == 0 ? pid : QStringLiteral("%1-%2").arg(pid).arg(attempt);
        auto lock = tryLocking(instances.filePath(name + kLockSuffix));
        if (!lock)
            continue;
        // Left by a window that crashed under the same number: started afresh.
        const QString folder = QDir::toNativeSeparators(instances.filePath(name));
        if (QFileInfo(folder).isSymLink() || QFileInfo(folder).isJunction())
            continue;
        QDir(folder).removeRecursively();
        if (!instances.mkdir(name))
            return;
        lock_ = std::move(lock);
        folder_ = folder;
        ownFolder_ = true;
    }
}

WorkFolderClaim::~WorkFolderClaim()
{
    if (ownFolder_)
        QDir(folder_).removeRecursively();  // before its lock goes
}
