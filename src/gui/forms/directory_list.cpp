#include "gui/forms/directory_list.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace {
constexpr int kFolderRole = Qt::UserRole;
constexpr int kIndentPerLevel = 2;  // spaces per folder level
}  // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // Double-click and Enter both arrive as activation.
    connect(this, &QListWidget::itemActivated, this, &DirectoryList::openEntry);
}

QString DirectoryList::folderOf(const QListWidgetItem* item)
{
    return item ? item->data(kFolderRole).toString() : QString();
}

bool DirectoryList::setPath(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QString opened = QDir::toNativeSeparators(QDir::cleanPath(info.absoluteFilePath()));
    if (opened == path_)
        return true;
    path_ = opened;
    fill(opened);
    emit pathChanged(path_);
    return true;
}

void DirectoryList::openEntry(QListWidgetItem* item)
{
    const QString folder = folderOf(item);
    if (!folder.isEmpty())
        setPath(folder);
}

void DirectoryList::fill(const QString& folder)
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);

    // The chain from the root down to the open folder.
    QStringList chain;
    QDir dir(QDir::fromNativeSeparators(folder));
    do {
        chain.prepend(QDir::cleanPath(dir.absolutePath()));
    } while (dir.cdUp());

    QListWidgetItem* current = nullptr;
    int level = 0;
    for (const QString& link : std::as_const(chain)) {
        const QString name =
            level == 0 ? QDir::toNativeSeparators(link) : QFileInfo(link).fileName();
        auto* item = new QListWidgetItem(
            openIcon, QString(level * kIndentPerLevel, QLatin1Char(' ')) + name, this);
        item->setData(kFolderRole, QDir::toNativeSeparators(link));
        current = item;
        ++level;
    }

    const QFileInfoList children =
        QDir(QDir::fromNativeSeparators(folder))
            .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& child : children) {
        auto* item = new QListWidgetItem(
            closedIcon, QString(level * kIndentPerLevel, QLatin1Char(' ')) + child.fileName(),
            this);
        item->setData(kFolderRole,
                      QDir::toNativeSeparators(QDir::cleanPath(child.absoluteFilePath())));
    }
    setCurrentItem(current);
}
