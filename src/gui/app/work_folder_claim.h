// Whose work files are where. The first running window keeps its work files (the
// working copy, the listing, the print copy...) in the shared folder and holds a lock
// on it while it runs; a window started meanwhile keeps them in a folder of its own,
// "instances/<process id>" inside the shared folder, removed when it ends, so that no
// window ever reads or replaces another's. The settings files stay in the shared folder.
//
// Every lock is one the system lets go of when the process dies (QLockFile), and each
// own folder has its lock beside it ("instances/<name>.lock"): a folder whose lock is
// not held was left by a window that crashed, and is removed by the next window that
// starts in an own folder.
#pragma once

#include <QString>
#include <memory>

class QLockFile;

class WorkFolderClaim {
public:
    explicit WorkFolderClaim(const QString& sharedFolder);
    ~WorkFolderClaim();  // an own folder is removed with everything in it
    WorkFolderClaim(const WorkFolderClaim&) = delete;
    WorkFolderClaim& operator=(const WorkFolderClaim&) = delete;

    // Where this window's work files go: the shared folder, or one of its own. The
    // shared folder also when no lock can be had there (a folder that cannot be
    // written: the window says so at its start).
    QString folder() const { return folder_; }
    bool ownFolder() const { return ownFolder_; }

private:
    QString folder_;
    bool ownFolder_ = false;
    std::unique_ptr<QLockFile> lock_;
};
