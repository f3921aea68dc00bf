// RecentFilesMenu: the File menu's list of the last files opened, kept in the work
// folder's recent-files file. The menu reads the file each time it is about to show,
// so that two windows see each other's files; it is disabled while the list is empty.
#pragma once

#include <QMenu>
#include <QString>
#include <QStringList>

class RecentFilesMenu : public QMenu {
    Q_OBJECT

public:
    RecentFilesMenu(const QString& settingsFolder, QWidget* parent = nullptr);

    QStringList files() const;
    // path goes to the top of the list (an earlier entry of it is dropped).
    void remember(const QString& path);
    void forget(const QString& path);
    // Reads the list again and rebuilds the items.
    void refresh();

signals:
    void fileChosen(const QString& path);

private:
    void write(const QStringList& files);

    QString listFile_;
};
