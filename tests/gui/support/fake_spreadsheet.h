// A SpreadsheetLauncher for tests: records the files handed over, starts nothing.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include "gui/platform/spreadsheet_launcher.h"

class FakeSpreadsheet final : public SpreadsheetLauncher {
public:
    bool startSucceeds = true;  // what openInSpreadsheet reports
    QList<QString> files;  // every file handed over, in order
    QList<QString> folders;  // the working folder of each hand-over
    QList<QString> titles;  // the parent window's title at each hand-over
    QString program = QStringLiteral("Excel");  // the program it says it started
    QString startedProgram() const override { return program; }

    bool openInSpreadsheet(QWidget* parent, const QString& file,
                           const QString& workingFolder) override
    {
        titles.append(parent ? parent->window()->windowTitle() : QString());
        files.append(file);
        folders.append(workingFolder);
        return startSucceeds;
    }
};
