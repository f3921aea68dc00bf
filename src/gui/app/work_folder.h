// The program's folder for its files: its own folder while it is writable, otherwise a
// per-user data folder. The settings files live there, and the work files of the
// first running window (WorkFolderClaim).
// A folder of the system's installed programs (/usr/bin, /opt/...) never counts as
// writable: an installed copy always uses the per-user folder.
#pragma once

#include <QString>

// programFolder is the folder of the executable; perUserFolder the fallback
// (QStandardPaths::AppLocalDataLocation when empty). The chosen folder exists on return
// when it could be created.
QString chooseWorkFolder(const QString& programFolder, const QString& perUserFolder = {});

// A file in the work folder, joined with the platform's separator.
QString workFilePath(const QString& workFolder, const QString& name);

// Empty while workFolder can be written; otherwise a message in the build language
// saying that neither the program's folder nor the per-user folder (workFolder) can be
// written, so no file can be opened or saved.
QString workFolderProblem(const QString& programFolder, const QString& workFolder);
