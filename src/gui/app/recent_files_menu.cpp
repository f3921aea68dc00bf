#include "gui/app/recent_files_menu.h"

#include <QDir>

#include "core/settings/recent_files.h"
#include "gui/platform/fs_path.h"
#include "gui/app/work_folder.h"

namespace {

// Paths are kept in the system's code page, like the default-folder files.
QStringList fromList(const kestrava::RecentFiles& list)
{
    QStringList files;
    for (const std::string& path : list)
        files << QString::fromLocal8Bit(path.data(), qsizetype(path.size()));
    return files;
}

kestrava::RecentFiles toList(const QStringList& files)
{
    kestrava::RecentFiles list;
    for (const QString& path : files)
        list.push_back(path.toLocal8Bit().toStdString());
    return list;
}

}  // namespace

RecentFilesMenu::RecentFilesMenu(const QString& settingsFolder, QWidget* parent)
    : QMenu(parent),
      listFile_(workFilePath(settingsFolder, QString::fromLatin1(kestrava::kRecentFilesName)))
{
    refresh();
}

QStringList RecentFilesMenu::files() const
{
    return fromList(kestrava::readRecentFiles(toFsPath(listFile_)));
}

void RecentFilesMenu::remember(const QString& path)
{
    const kestrava::RecentFiles before = kestrava::readRecentFiles(toFsPath(listFile_));
    const kestrava::RecentFiles after =
        kestrava::withRecentFile(before, path.toLocal8Bit().toStdString());
    if (after != before)
        write(fromList(after));
}

void RecentFilesMenu::forget(const QString& path)
{
    write(fromList(kestrava::withoutRecentFile(kestrava::readRecentFiles(toFsPath(listFile_)),
                                               path.toLocal8Bit().toStdString())));
}

void RecentFilesMenu::write(const QStringList& files)
{
    // A list that cannot be written is only a convenience lost; the file opened anyway.
    (void)kestrava::writeRecentFiles(toFsPath(listFile_), toList(files));
    refresh();
}

void RecentFilesMenu::refresh()
{
    clear();
    const QStringList list = files();
    int number = 0;
    for (const QString& path : list) {
        // A "&" in a name would be taken for a key marker: shown as it is.
        QString text = QStringLiteral("%1 %2").arg(++number).arg(QDir::toNativeSeparators(path));
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = addAction(text);
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { emit fileChosen(path); });
    }
    setEnabled(!list.isEmpty());
}
