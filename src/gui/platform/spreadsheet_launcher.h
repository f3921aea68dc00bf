// Hands a plain-text download file to a spreadsheet program, for files the listing
// cannot show.
#pragma once

#include <QString>

class QWidget;

class SpreadsheetLauncher {
public:
    virtual ~SpreadsheetLauncher() = default;

    // Starts a spreadsheet program on file, with workingFolder as its current folder.
    // True when a program was started (not whether it managed to open the file).
    virtual bool openInSpreadsheet(QWidget* parent, const QString& file,
                                   const QString& workingFolder) = 0;

    // The name of the program the last successful call started ("Excel", "LibreOffice
    // Calc"); empty when the desktop chose the program.
    virtual QString startedProgram() const = 0;
};

// The real one. Windows: the shell's "open" of "Excel.exe" with the file. Elsewhere:
// the first of libreoffice --calc, localc, gnumeric found on the PATH, else the
// desktop's default program for the file.
class SystemSpreadsheetLauncher final : public SpreadsheetLauncher {
public:
    bool openInSpreadsheet(QWidget* parent, const QString& file,
                           const QString& workingFolder) override;
    QString startedProgram() const override { return started_; }

private:
    QString started_;
};
