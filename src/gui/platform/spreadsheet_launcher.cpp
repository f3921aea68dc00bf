#include "gui/platform/spreadsheet_launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#endif

bool SystemSpreadsheetLauncher::openInSpreadsheet(QWidget* parent, const QString& file,
                                                  const QString& workingFolder)
{
#ifdef Q_OS_WIN
    HWND owner = parent ? reinterpret_cast<HWND>(parent->window()->winId()) : nullptr;
    // The path is quoted so that folders and names with blanks reach Excel whole.
    const QString parameters = QLatin1Char('"') + file + QLatin1Char('"');
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", L"Excel.exe", reinterpret_cast<LPCWSTR>(parameters.utf16()),
                      reinterpret_cast<LPCWSTR>(workingFolder.utf16()), SW_SHOWNORMAL));
    started_ = QStringLiteral("Excel");
    return result > 32;  // ShellExecute reports success with a value above 32
#else
    Q_UNUSED(parent);
    struct Candidate {
        const char* program;
        const char* name;
        QStringList arguments;
    };
    const Candidate candidates[] = {
        {"libreoffice", "LibreOffice Calc", {QStringLiteral("--calc"), file}},
        {"localc", "LibreOffice Calc", {file}},
        {"gnumeric", "Gnumeric", {file}},
    };
    for (const Candidate& candidate : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(candidate.program));
        if (path.isEmpty())
            continue;
        if (QProcess::startDetached(path, candidate.arguments, workingFolder)) {
            started_ = QString::fromLatin1(candidate.name);
            return true;
        }
    }
    started_.clear();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
#endif
}
