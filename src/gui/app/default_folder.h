// The starting folder of the Open and Save dialogs and of the default-folder forms,
// read from a settings file in the settings folder.
#pragma once

#include <QString>

// The folder stored in settingsFolder/fileName by the reading rule of the engine.
// A file that cannot be opened gives the fallback folder: "c:\" on systems with drive
// letters, the user's home folder elsewhere. An empty file gives the empty text (the
// dialog's own default folder).
QString startFolderFromSettings(const QString& settingsFolder, const QString& fileName);

// The fallback folder used when no settings file exists.
QString fallbackStartFolder();
