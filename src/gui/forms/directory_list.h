// A directory list: the chain of folders from the drive's root down to the open
// folder, then the open folder's subfolders. Double-click or Enter on an entry opens
// it; merely highlighting an entry does not change the open folder.
#pragma once

#include <QListWidget>
#include <QString>

class DirectoryList : public QListWidget {
    Q_OBJECT

public:
    explicit DirectoryList(QWidget* parent = nullptr);

    // The open folder, absolute, in native separators (a root keeps its separator);
    // empty until a folder has been opened.
    QString path() const { return path_; }

    // Opens folder. false, and nothing changes, when it is not a readable folder.
    bool setPath(const QString& folder);

    // The folder an entry stands for.
    static QString folderOf(const QListWidgetItem* item);

signals:
    void pathChanged(const QString& path);

private:
    void openEntry(QListWidgetItem* item);
    void fill(const QString& folder);

    QString path_;
};
